// Image decoding for the hosts: stb_image built here with only its PNG decoder (the game's
// images are PNG; the other decoders are left out), never flipped on load.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_FAILURE_USERMSG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "runtime/kp_game.h"

KpBytes kpDecodeImageFile(FILE* file, int* width, int* height, int* depth) {
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load_from_file(file, &w, &h, &n, 0);
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *depth = n;
    return KpBytes(pixels);
}
