# Release packages: on Windows a zip and an installer of the two programs, on Linux a .deb of
# the command line and the simulated handset. `make dist` builds and smoke-tests them.
install(TARGETS vandrel-cli RUNTIME DESTINATION ${VANDREL_BIN_DIR})
if(NOT WIN32)
  install(TARGETS handset-sim RUNTIME DESTINATION ${VANDREL_BIN_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/man/vandrel-cli.1 ${PROJECT_SOURCE_DIR}/man/handset-sim.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${VANDREL_DOC_DIR})

set(CPACK_PACKAGE_NAME vandrel)
set(CPACK_PACKAGE_VENDOR "Vandrel developers")
set(CPACK_PACKAGE_CONTACT "Vandrel developers <vandrel@example.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Sends pictures, animations, ringtones and vCards to a Kesta handset over a serial port")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vandrel)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/dist)

if(WIN32)
  set(CPACK_GENERATOR "ZIP;NSIS")
  set(CPACK_PACKAGE_EXECUTABLES "vandrel;Vandrel")
  set(CPACK_NSIS_DISPLAY_NAME Vandrel)
  set(CPACK_NSIS_PACKAGE_NAME Vandrel)
  set(CPACK_NSIS_INSTALLED_ICON_NAME vandrel.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/artwork/vandrel.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/artwork/vandrel.ico)
  # The uninstaller removes what it installed and nothing else: the user's settings under
  # Software\Kesta stay where they are.
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # a 64-bit installer for 64-bit programs (and for a 64-bit Wine without its 32-bit half)
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_SECTION comm)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()

include(CPack)
