# nv_add_test(name SOURCES ... LIBRARIES ... [GUI] [LABELS ...])
# A GoogleTest executable registered with CTest. Every test runs with its own
# scratch registry store and config home, so no test touches a real user's
# store; GUI tests run on the offscreen platform.
find_package(GTest REQUIRED)
include(GoogleTest)

function(nv_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} nvtestsupport GTest::gtest GTest::gmock)
  set(scratch ${CMAKE_BINARY_DIR}/test-scratch/${name})
  set(env
    "NORVALE_REGISTRY_DIR=${scratch}/registry"
    "XDG_CONFIG_HOME=${scratch}/config"
    "NV_TEST_SCRATCH=${scratch}"
    "QT_QPA_PLATFORM=offscreen")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  # The discovered tests get their properties from a script that CTest reads
  # after discovery: passing lists through gtest_discover_tests splits them.
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${script}"
    "if(DEFINED ${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${env}]==]"
    " TIMEOUT ${ARG_TIMEOUT} LABELS [==[${ARG_LABELS}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
