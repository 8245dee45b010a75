# libjpeg-turbo, the JPEG decoder of picture fitting. Linux links Debian's package; the Windows
# build compiles the same library from Debian's source package, which scripts/install-deps
# unpacks under build/third-party, with the library's own build (its configuration headers are
# generated there). Its SIMD code would need nasm in every build: the Windows build goes without,
# since a handset's picture is decoded at an eighth of its size anyway.
if(WIN32)
  include(ExternalProject)
  set(VANDREL_JPEG_SOURCE ${PROJECT_SOURCE_DIR}/build/third-party/libjpeg-turbo CACHE PATH
      "libjpeg-turbo source tree (Debian's source package)")
  if(NOT EXISTS ${VANDREL_JPEG_SOURCE}/jdapimin.c)
    message(FATAL_ERROR "No libjpeg-turbo sources in ${VANDREL_JPEG_SOURCE}: "
                        "run scripts/install-deps")
  endif()
  set(jpeg_build ${CMAKE_BINARY_DIR}/libjpeg-turbo)
  ExternalProject_Add(vandrel_jpeg_build
    SOURCE_DIR ${VANDREL_JPEG_SOURCE}
    BINARY_DIR ${jpeg_build}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_INSTALL_PREFIX=${jpeg_build}/unused
               -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${jpeg_build} --target jpeg-static
    BUILD_BYPRODUCTS ${jpeg_build}/libjpeg.a
    INSTALL_COMMAND "")
  add_library(vandrel_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(vandrel_jpeg PROPERTIES IMPORTED_LOCATION ${jpeg_build}/libjpeg.a)
  file(MAKE_DIRECTORY ${jpeg_build})
  target_include_directories(vandrel_jpeg SYSTEM INTERFACE ${VANDREL_JPEG_SOURCE} ${jpeg_build})
  add_dependencies(vandrel_jpeg vandrel_jpeg_build)
else()
  find_package(JPEG REQUIRED)
  add_library(vandrel_jpeg INTERFACE)
  target_link_libraries(vandrel_jpeg INTERFACE JPEG::JPEG)
endif()
