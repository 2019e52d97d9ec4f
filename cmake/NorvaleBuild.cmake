# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)
# One include folder for the project's headers: an include names its file by
# its path from the source root ("platform/com/server/dualobject.h"); headers
# generated at configure time sit at the same path below the binary root.
include_directories(${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
# Warnings stop the build only where the project chooses so (its test,
# sanitizer and CI builds pass -DCMAKE_COMPILE_WARNING_AS_ERROR=ON): a
# packager's or a newer compiler's build is not stopped by a new warning.

if(NORVALE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# A component module: a shared object without the "lib" prefix that exports
# only the four entry points of the component model. Building one changes
# nothing outside the build tree: the build tree's program finds it through
# its class list (written by the norvale3-classlist target), an install through the
# registration the install makes.
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
  set_property(GLOBAL APPEND PROPERTY NORVALE_COMPONENT_MODULES ${target})
endfunction()
