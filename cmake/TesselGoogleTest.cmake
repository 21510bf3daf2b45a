# GoogleTest is built from its Debian source tree, once per toolchain.
set(TESSEL_GOOGLETEST_DIR "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${TESSEL_GOOGLETEST_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "No GoogleTest sources in ${TESSEL_GOOGLETEST_DIR}; set TESSEL_GOOGLETEST_DIR")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TESSEL_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

# A GoogleTest program whose tests ctest lists and runs one by one. Under the
# cross build the listing runs through the Wine wrapper at test time.
# PROPERTIES adds test properties to every test of the program.
#
# A test passes only when GoogleTest says so: a program that ends early with
# exit code 0 (a process that dies quietly in the middle of a test) fails.
# The pattern uses bracket expressions, which pass unharmed through the test
# script that the discovery writes.
function(tessel_add_gtest name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gmock GTest::gtest_main)
  set_property(GLOBAL APPEND PROPERTY TESSEL_EXECUTABLES ${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 PASS_REGULAR_EXPRESSION "[[]  PASSED  []] 1 test[.]"
                                  ${arg_PROPERTIES})
endfunction()
