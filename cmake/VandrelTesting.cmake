option(VANDREL_TESTS "Build the test suites" ON)

if(VANDREL_TESTS)
  enable_testing()
  # GoogleTest from the sources Debian ships, so the very same tests build for Linux and Windows.
  set(VANDREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${VANDREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# What a test prints when a tool it needs (wine, xvfb-run) is missing: ctest counts it skipped.
set(VANDREL_SKIP_MISSING_TOOL "SKIP: [-a-z]+ is not installed")

# One ctest test per executable: under Wine every process start costs seconds, so each suite
# runs as a whole rather than one process per test case.
function(vandrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
                       SKIP_REGULAR_EXPRESSION "${VANDREL_SKIP_MISSING_TOOL}")
endfunction()

# The Windows suite drives the Linux build's tools (the simulated handset, the pseudo-terminal
# peer) from its Wine-side tests; `make check` builds the linux preset first.
set(VANDREL_LINUX_BUILD ${PROJECT_SOURCE_DIR}/build/linux CACHE PATH
    "Linux build tree whose tools the Windows suite uses")
set(VANDREL_HANDSET_SIM ${VANDREL_LINUX_BUILD}/tools/handset-sim/handset-sim CACHE FILEPATH
    "The simulated handset, a Linux program")

# A test of the Windows suite that runs a Linux end-to-end driver (built by the linux preset)
# against the Windows programs under Wine, on the Wine COM numbers `ports` ("41-46"). Further
# arguments are passed on as definitions to tests/integration/run_under_wine.cmake.
function(vandrel_add_wine_driver_test name driver ports)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DDRIVER=${driver} -DCLI=$<TARGET_FILE:vandrel-cli>
                   "-DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}" -DPORTS=${ports} ${ARGN}
                   -P ${PROJECT_SOURCE_DIR}/tests/integration/run_under_wine.cmake)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900
                       SKIP_REGULAR_EXPRESSION "driver not built;${VANDREL_SKIP_MISSING_TOOL}")
endfunction()
