#pragma once

// The one configuration of the stb image headers, shared by every file that includes them: only
// the four decoders a handset picture can come in, and memory in, memory out.
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_WRITE_NO_STDIO

#include <stb_image.h>
#include <stb_image_resize.h>
#include <stb_image_write.h>
