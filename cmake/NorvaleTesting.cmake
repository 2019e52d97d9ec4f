# nv_add_test(name SOURCES ... LIBRARIES ... [GUI] [XSERVER] [LABELS ...] [TIMEOUT s])
# A GoogleTest executable registered with CTest, one CTest test per case.
# Its main comes from tests/support: every case runs in a scratch world of
# its own (registry store, config home, home folder), made below the
# system's temporary folder and removed after it, so cases can run in
# parallel and in any order. Not in the build tree: a case that hands a
# folder to an unprivileged user needs every folder above it open to that
# user, and a checkout in a private home (root's /root is 0700) is not.
# Every test runs on Qt's offscreen platform: no display is needed. With
# XSERVER (implies GUI) each case runs instead on a virtual X server of its
# own, on Qt's xcb platform, through tests/support/xserver.sh, and the
# program links tests/support/realx.h to click and type through xdotool;
# without Xvfb or xdotool such a case fails and names the Debian package.
# The cases are listed when the tests run, so building runs no test program.
find_package(GTest REQUIRED)
include(GoogleTest)

function(nv_add_test name)
  cmake_parse_arguments(ARG "GUI;XSERVER" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI OR ARG_XSERVER)
    set(main nvguitestmain)
  else()
    set(main nvtestmain)
  endif()
  target_link_libraries(${name} PRIVATE ${main} ${ARG_LIBRARIES} nvtestsupport GTest::gtest GTest::gmock)
  set(env "QT_QPA_PLATFORM=offscreen")
  if(ARG_XSERVER)
    target_link_libraries(${name} PRIVATE nvrealx)
    # gtest_discover_tests lists and runs the cases through the target's
    # emulator, so every case gets a server of its own.
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
      sh ${PROJECT_SOURCE_DIR}/tests/support/xserver.sh)
    set(env "QT_QPA_PLATFORM=xcb")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # Test names without the printed parameter values: those may hold addresses.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
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
