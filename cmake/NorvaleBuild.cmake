# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)
# Warnings stop the build only where the project chooses so (its test,
# sanitizer and CI builds pass -DCMAKE_COMPILE_WARNING_AS_ERROR=ON): a
# packager's or a newer compiler's build is not stopped by a new warning.

# One include folder for the project's headers: an include names its file by
# its path from the source root ("platform/com/server/dualobject.h"). A
# header generated at configure time sits at the same path below the binary
# root, which the target that makes it gives its users.
include_directories(${PROJECT_SOURCE_DIR})

# The project's helpers are named nv_, as its targets are.

if(NORVALE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# What every library and module of the project shares: position-independent
# code with hidden symbols. The component modules link several of the
# libraries statically and must export nothing of them but their entry points.
function(nv_library_defaults target)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# The one library or module a source folder builds is named nv_ and the
# folder's path from the source root with "_" for "/" (platform/com/server ->
# nv_platform_com_server); the one program a folder builds is named like the
# folder (tools/norvale-reg -> norvale-reg).
function(nv_check_folder_target target)
  file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARGC GREATER 1 AND ARGV1 STREQUAL "PROGRAM")
    get_filename_component(expected ${path} NAME)
  else()
    string(REPLACE "/" "_" expected "nv_${path}")
  endif()
  if(NOT target STREQUAL expected)
    message(FATAL_ERROR "The target of ${path}/ is named ${expected}, not ${target}")
  endif()
endfunction()

# nv_add_program(<target> <sources>...): the folder's program. Test and
# benchmark programs (tests/, bench/) are made by their own helpers.
function(nv_add_program target)
  nv_check_folder_target(${target} PROGRAM)
  add_executable(${target} ${ARGN})
endfunction()

# nv_add_library(<target> INTERFACE | <sources>...): the folder's
# library, static, or INTERFACE for a folder of headers only.
function(nv_add_library target)
  nv_check_folder_target(${target})
  if(ARGN STREQUAL "INTERFACE")
    add_library(${target} INTERFACE)
  else()
    add_library(${target} STATIC ${ARGN})
    nv_library_defaults(${target})
  endif()
endfunction()

# A component module: a shared object without the "lib" prefix that exports
# only the four entry points of the component model, the folder's one target
# (named after the folder; OUTPUT_NAME is the module's file name). Building
# one changes nothing outside the build tree: the build tree's program finds
# it through its class list (the norvale3-classlist target writes it), an
# install through the registration the install makes.
function(nv_add_component_module target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;LIBRARIES" ${ARGN})
  nv_check_folder_target(${target})
  add_library(${target} MODULE ${ARG_SOURCES})
  nv_library_defaults(${target})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
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
