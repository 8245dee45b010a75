# Release packages: on Windows a zip and an installer of the two programs, on Linux a .deb of
# the command line and the simulated handset, with its debugging symbols in a -dbgsym package.
# `make dist` builds and smoke-tests them.
set(VANDREL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PACKAGE_CONTACT "Vandrel developers <vandrel@example.invalid>")

# Debian compresses manual pages and changelogs at the highest level and without the name and
# time of the uncompressed file, so that two builds give the same bytes.
function(vandrel_gzip source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The machine-readable copyright file takes its licence text from LICENSE, so the two never
# differ.
function(vandrel_debian_copyright output)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]*)\\.\n\n(.*)")
    message(FATAL_ERROR "LICENSE: no \"Copyright (c) YEAR HOLDER.\" line before the licence")
  endif()
  set(VANDREL_COPYRIGHT ${CMAKE_MATCH_1})
  string(STRIP "${CMAKE_MATCH_2}" text)
  string(REPLACE "\n\n" "\n.\n" text "${text}")
  string(REPLACE "\n" "\n " text "${text}")
  set(VANDREL_LICENSE_TEXT " ${text}")
  configure_file(${VANDREL_PACKAGING_DIR}/deb/copyright.in ${output} @ONLY)
endfunction()

# The Debian changelog names the package's version; a release that forgets it is refused here.
function(vandrel_check_changelog changelog)
  file(STRINGS ${changelog} top LIMIT_COUNT 1)
  if(NOT top MATCHES "^vandrel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "${changelog}: the first entry is not version ${PROJECT_VERSION}")
  endif()
endfunction()

install(TARGETS vandrel-cli RUNTIME DESTINATION ${VANDREL_BIN_DIR})
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
          DESTINATION ${VANDREL_DOC_DIR})
else()
  install(TARGETS handset-sim RUNTIME DESTINATION ${VANDREL_BIN_DIR})
  set(debian_docs ${CMAKE_BINARY_DIR}/debian-docs)
  file(MAKE_DIRECTORY ${debian_docs})
  foreach(page vandrel-cli.1 handset-sim.1)
    vandrel_gzip(${PROJECT_SOURCE_DIR}/man/${page} ${debian_docs}/${page}.gz)
    install(FILES ${debian_docs}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  vandrel_check_changelog(${VANDREL_PACKAGING_DIR}/deb/changelog)
  vandrel_gzip(${VANDREL_PACKAGING_DIR}/deb/changelog ${debian_docs}/changelog.gz)
  vandrel_debian_copyright(${debian_docs}/copyright)
  # the licence is in the copyright file, where Debian looks for it
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${debian_docs}/changelog.gz
                ${debian_docs}/copyright DESTINATION ${VANDREL_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME vandrel)
set(CPACK_PACKAGE_VENDOR "Vandrel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "send pictures, ringtones and vCards to a Kesta handset")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${VANDREL_PACKAGING_DIR}/description.txt)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vandrel)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/dist)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/ClampInstallTimes.cmake)

if(WIN32)
  set(CPACK_GENERATOR "ZIP;NSIS")
  set(CPACK_STRIP_FILES ON)
  # our own installer script: per-user or per-machine, and a complete Apps & Features entry
  set(CPACK_MODULE_PATH ${VANDREL_PACKAGING_DIR}/nsis)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vandrel)
  set(CPACK_PACKAGE_EXECUTABLES "vandrel;Vandrel")
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_DISPLAY_NAME Vandrel)
  set(CPACK_NSIS_PACKAGE_NAME Vandrel)
  set(CPACK_NSIS_INSTALLED_ICON_NAME vandrel.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/artwork/vandrel.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/artwork/vandrel.ico)
  # a 64-bit installer for 64-bit programs (and for a 64-bit Wine without its 32-bit half)
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_SECTION comm)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # stripped programs; their debugging information goes to vandrel-dbgsym, for crash reports
  set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RepairDebugPackageSums.cmake)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()

include(CPack)
