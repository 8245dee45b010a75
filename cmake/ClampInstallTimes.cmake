# Run by CPack between installing the files to package and packing them: every installed file and
# folder takes the time of the last commit (SOURCE_DATE_EPOCH), since the installer, the zip and
# the .deb all keep the times they find, and two builds must give the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
  execute_process(COMMAND touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH}
                          ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${entries} COMMAND_ERROR_IS_FATAL ANY)
endif()
