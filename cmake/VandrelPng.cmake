# libspng, the PNG decoder of picture fitting, and zlib under it. Linux links Debian's packages;
# the Windows build compiles libspng from Debian's source package, which scripts/install-deps
# unpacks under build/third-party, and links the zlib of Debian's libz-mingw-w64-dev.
find_package(ZLIB REQUIRED)
if(WIN32)
  enable_language(C)
  set(VANDREL_SPNG_SOURCE ${PROJECT_SOURCE_DIR}/build/third-party/libspng CACHE PATH
      "libspng source tree (Debian's source package)")
  if(NOT EXISTS ${VANDREL_SPNG_SOURCE}/spng/spng.c)
    message(FATAL_ERROR "No libspng sources in ${VANDREL_SPNG_SOURCE}: run scripts/install-deps")
  endif()
  add_library(vandrel_spng STATIC ${VANDREL_SPNG_SOURCE}/spng/spng.c)
  target_include_directories(vandrel_spng SYSTEM PUBLIC ${VANDREL_SPNG_SOURCE}/spng)
  target_compile_definitions(vandrel_spng PUBLIC SPNG_STATIC)
  target_link_libraries(vandrel_spng PUBLIC ZLIB::ZLIB)
else()
  vandrel_system_library(vandrel_spng spng.h spng ZLIB::ZLIB)
endif()
