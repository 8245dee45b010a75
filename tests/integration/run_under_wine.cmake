# Runs a Linux end-to-end driver against the Windows programs under Wine.
# Arguments: -DDRIVER=<driver> -DCLI=<vandrel-cli.exe> -DWINE=<wine> -DPORTS=<21-29>
# and, for the fault suite, -DFAULT_CLI=<fault-cli.exe>.
if(NOT EXISTS "${DRIVER}")
  message(FATAL_ERROR "driver not built: ${DRIVER} (build the linux preset first)")
endif()
# tests/without-wine stands in for a missing Wine and says so: the test is skipped.
execute_process(COMMAND ${WINE} --version OUTPUT_VARIABLE wine_version)
if(wine_version MATCHES "^SKIP: ")
  message("${wine_version}")
  return()
endif()
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env "VANDREL_E2E_CLI=${CLI}" "VANDREL_E2E_WINE=${WINE}"
          "VANDREL_E2E_PORTS=${PORTS}" "VANDREL_E2E_FAULT_CLI=${FAULT_CLI}" "${DRIVER}"
          --gtest_brief=1
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "end-to-end tests under Wine failed: ${result}")
endif()
