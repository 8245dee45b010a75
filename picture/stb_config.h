#pragma once

#include <cstdlib>

// The one configuration of the stb image headers, shared by every file that includes them: only
// the four decoders a handset picture can come in, memory in and memory out, and the decoder's
// pixels allocated with malloc so that a RasterImage can take them over as they are.
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_WRITE_NO_STDIO
#define STBI_MALLOC(size) std::malloc(size)
#define STBI_REALLOC(pointer, size) std::realloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)

#include <stb_image.h>
#include <stb_image_write.h>
