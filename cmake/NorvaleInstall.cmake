# What an install does beyond copying files: it registers the installed
# modules with the installed norvale-reg, and `uninstall` undoes both.
# Included last, so that every module is known and the install scripts run
# after every file is in place.

get_property(_modules GLOBAL PROPERTY NORVALE_COMPONENT_MODULES)
set(_names "")
foreach(_m IN LISTS _modules)
  list(APPEND _names "$<TARGET_FILE_NAME:${_m}>")
endforeach()

# The record of what the install registered, read by `uninstall`.
set(NORVALE_REGISTERED_RECORD ${CMAKE_BINARY_DIR}/install_registered.txt)

# The prefix is the one given at install time (cmake --install --prefix P),
# hence the escaped variable: it is read when the install runs.
install(CODE "
  set(NORVALE_MODULES \"${_names}\")
  set(NORVALE_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(NORVALE_MODULEDIR \"${NORVALE_MODULE_INSTALL_DIR}\")
  set(NORVALE_RECORD \"${NORVALE_REGISTERED_RECORD}\")
  set(NORVALE_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/register-installed.cmake\")")

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND}
    -DNORVALE_MANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
    -DNORVALE_RECORD=${NORVALE_REGISTERED_RECORD}
    -P ${CMAKE_SOURCE_DIR}/cmake/uninstall.cmake
  COMMENT "Unregistering and removing the installed files"
  VERBATIM)
