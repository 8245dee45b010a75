#pragma once

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs the definitions of size_t and FILE before it
#include <jpeglib.h>

namespace vandrel {

// libjpeg-turbo reports a fault by calling error_exit, which must not return: it jumps back to
// `back`, where the decoding or encoding gives up. Warnings (a file cut short, a corrupt
// stretch) cost only the pixels they spoil, as in any viewer.
struct JpegErrorRecord {
  jpeg_error_mgr manager;  // first, so that the library's pointer to it is the record's
  std::jmp_buf back;
};

// `record`'s manager, set up so: the error manager of a decoder or an encoder.
jpeg_error_mgr* UseJpegErrorRecord(JpegErrorRecord& record);

}  // namespace vandrel
