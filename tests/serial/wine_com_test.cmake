# Runs the Windows transfer check against a Linux peer: pty-peer (built by the linux preset)
# links $WINEPREFIX/dosdevices/com<PORT> to a new pseudo-terminal and runs the test under Wine.
# Arguments: -DPEER=<pty-peer> -DWINE=<wine> -DTEST_EXE=<exe> -DPORT=<number>
if(NOT EXISTS "${PEER}")
  message(FATAL_ERROR "pty-peer not built: ${PEER} (build the linux preset first, or set VANDREL_PTY_PEER)")
endif()
# tests/without-wine stands in for a missing Wine and says so: the test is skipped.
execute_process(COMMAND ${WINE} --version OUTPUT_VARIABLE wine_version)
if(wine_version MATCHES "^SKIP: ")
  message("${wine_version}")
  return()
endif()
if(DEFINED ENV{WINEPREFIX})
  set(prefix "$ENV{WINEPREFIX}")
else()
  set(prefix "$ENV{HOME}/.wine")
endif()
execute_process(
  COMMAND "${PEER}" check "${prefix}/dosdevices/com${PORT}" --
          "${CMAKE_COMMAND}" -E env "VANDREL_TEST_COM_PORT=${PORT}" ${WINE} "${TEST_EXE}" --gtest_brief=1
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Wine COM transfer check failed: ${result}")
endif()
