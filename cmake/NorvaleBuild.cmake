# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra -Werror)

if(NORVALE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# A component module: a shared object without the "lib" prefix that exports
# only the four entry points of the component model.
function(norvale_add_component_module target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${NORVALE_MODULE_OUTPUT_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  target_link_options(${target} PRIVATE
    "-Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/component-module.map")
  if(NOT NORVALE_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,-z,defs)
  endif()
  install(TARGETS ${target} LIBRARY DESTINATION ${NORVALE_MODULE_INSTALL_DIR})
  if(NORVALE_REGISTER_ON_BUILD)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND norvale-reg register $<TARGET_FILE:${target}>
      COMMENT "Registering ${target} in the user's component store"
      VERBATIM)
  endif()
  # An install registers the installed copy (machine-wide when run as root).
  install(CODE "
    if(DEFINED ENV{DESTDIR} AND NOT \"\$ENV{DESTDIR}\" STREQUAL \"\")
      message(STATUS \"Staged install: not registering ${target}\")
    else()
      execute_process(COMMAND \"${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/norvale-reg\" register --install
        \"${CMAKE_INSTALL_PREFIX}/${NORVALE_MODULE_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>\"
        RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(WARNING \"Could not register ${target}\")
      endif()
    endif()")
endfunction()
