# Run by CPack after it built the .deb and its -dbgsym package. CPack writes the -dbgsym
# package's md5sums with its own staging folder in front of each path, so dpkg could never check
# those files (and the package would name the build folder). The package is unpacked, its
# md5sums given the installed paths, and built again by dpkg-deb, which keeps SOURCE_DATE_EPOCH.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.ddeb$")
    set(tree "${package}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    file(STRINGS "${tree}/DEBIAN/md5sums" sums)
    list(TRANSFORM sums REPLACE "^([0-9a-f]+  )/.*-dbgsym/" "\\1")
    list(JOIN sums "\n" sums)
    file(WRITE "${tree}/DEBIAN/md5sums" "${sums}\n")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${package}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
  endif()
endforeach()
