// The stb image libraries' code, compiled once for the whole program.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "picture/stb_config.h"
