# giflib, the GIF decoder of picture fitting. Linux links Debian's package; the Windows build
# compiles the decoding half of the same library from Debian's source package, which
# scripts/install-deps unpacks under build/third-party.
if(WIN32)
  enable_language(C)
  set(VANDREL_GIF_SOURCE ${PROJECT_SOURCE_DIR}/build/third-party/giflib CACHE PATH
      "giflib source tree (Debian's source package)")
  if(NOT EXISTS ${VANDREL_GIF_SOURCE}/dgif_lib.c)
    message(FATAL_ERROR "No giflib sources in ${VANDREL_GIF_SOURCE}: run scripts/install-deps")
  endif()
  add_library(vandrel_gif STATIC
    ${VANDREL_GIF_SOURCE}/dgif_lib.c
    ${VANDREL_GIF_SOURCE}/gif_err.c
    ${VANDREL_GIF_SOURCE}/gifalloc.c
    ${VANDREL_GIF_SOURCE}/openbsd-reallocarray.c
  )
  target_include_directories(vandrel_gif SYSTEM PUBLIC ${VANDREL_GIF_SOURCE})
else()
  vandrel_system_library(vandrel_gif gif_lib.h gif)
endif()
