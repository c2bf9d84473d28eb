/* The image decoder built into the target, so that the fuzzer sees its branches. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
