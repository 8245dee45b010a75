# libsamplerate, the resampler of the sound preparation. Linux links Debian's package; the
# Windows build compiles the same library from Debian's source package, which
# scripts/install-deps unpacks under build/third-party (as GoogleTest's sources are compiled).
if(WIN32)
  enable_language(C)
  set(VANDREL_SAMPLERATE_SOURCE ${PROJECT_SOURCE_DIR}/build/third-party/libsamplerate CACHE PATH
      "libsamplerate source tree (Debian's source package)")
  if(NOT EXISTS ${VANDREL_SAMPLERATE_SOURCE}/src/samplerate.c)
    message(FATAL_ERROR "No libsamplerate sources in ${VANDREL_SAMPLERATE_SOURCE}: "
                        "run scripts/install-deps")
  endif()
  # The version the library reports (src_get_version) is the one its own build declares.
  file(STRINGS ${VANDREL_SAMPLERATE_SOURCE}/CMakeLists.txt samplerate_project
       REGEX "^project\\(libsamplerate VERSION [0-9.]+")
  string(REGEX MATCH "VERSION ([0-9.]+)" samplerate_version "${samplerate_project}")
  set(samplerate_version ${CMAKE_MATCH_1})
  add_library(vandrel_samplerate STATIC
    ${VANDREL_SAMPLERATE_SOURCE}/src/samplerate.c
    ${VANDREL_SAMPLERATE_SOURCE}/src/src_linear.c
    ${VANDREL_SAMPLERATE_SOURCE}/src/src_sinc.c
    ${VANDREL_SAMPLERATE_SOURCE}/src/src_zoh.c
  )
  target_include_directories(vandrel_samplerate SYSTEM PUBLIC ${VANDREL_SAMPLERATE_SOURCE}/include)
  # Only the converter the preparation uses: the better ones' coefficient tables would add more
  # than a megabyte to every statically linked program.
  target_compile_definitions(vandrel_samplerate PRIVATE HAVE_STDBOOL_H ENABLE_SINC_FAST_CONVERTER
    PACKAGE="libsamplerate" VERSION="${samplerate_version}")
else()
  find_path(VANDREL_SAMPLERATE_INCLUDE samplerate.h REQUIRED)
  find_library(VANDREL_SAMPLERATE_LIBRARY samplerate REQUIRED)
  add_library(vandrel_samplerate INTERFACE)
  target_include_directories(vandrel_samplerate SYSTEM INTERFACE ${VANDREL_SAMPLERATE_INCLUDE})
  target_link_libraries(vandrel_samplerate INTERFACE ${VANDREL_SAMPLERATE_LIBRARY})
endif()
