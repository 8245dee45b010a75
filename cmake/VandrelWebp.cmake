# libwebp, the WebP decoder of picture fitting. Linux links Debian's package; the Windows build
# compiles the decoding half of the same library from Debian's source package, which
# scripts/install-deps unpacks under build/third-party.
if(WIN32)
  enable_language(C)
  set(VANDREL_WEBP_SOURCE ${PROJECT_SOURCE_DIR}/build/third-party/libwebp CACHE PATH
      "libwebp source tree (Debian's source package)")
  set(webp_src ${VANDREL_WEBP_SOURCE}/src)
  if(NOT EXISTS ${webp_src}/dec/webp_dec.c)
    message(FATAL_ERROR "No libwebp sources in ${VANDREL_WEBP_SOURCE}: run scripts/install-deps")
  endif()
  set(webp_sources)
  foreach(file alpha_dec buffer_dec frame_dec idec_dec io_dec quant_dec tree_dec vp8_dec vp8l_dec
               webp_dec)
    list(APPEND webp_sources ${webp_src}/dec/${file}.c)
  endforeach()
  foreach(file bit_reader_utils color_cache_utils filters_utils huffman_utils
               quant_levels_dec_utils rescaler_utils random_utils thread_utils utils)
    list(APPEND webp_sources ${webp_src}/utils/${file}.c)
  endforeach()
  # the portable code and its SSE2 forms, which every x86-64 processor runs
  foreach(file alpha_processing cpu dec dec_clip_tables filters lossless rescaler upsampling yuv
               alpha_processing_sse2 dec_sse2 filters_sse2 lossless_sse2 rescaler_sse2
               upsampling_sse2 yuv_sse2)
    list(APPEND webp_sources ${webp_src}/dsp/${file}.c)
  endforeach()
  add_library(vandrel_webp STATIC ${webp_sources})
  target_include_directories(vandrel_webp PRIVATE ${VANDREL_WEBP_SOURCE})
  target_include_directories(vandrel_webp SYSTEM PUBLIC ${webp_src})
else()
  vandrel_system_library(vandrel_webp webp/decode.h webp)
endif()
