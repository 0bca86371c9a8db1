// Image decoding for the hosts: stb_image built here with only its PNG decoder (the game's
// images are PNG; the other decoders are left out), never flipped on load. Every allocation
// the decoder makes is bounded by the file's size: deflate expands at most about 1032 to 1 and
// a palette index becomes at most four bytes, so no valid PNG needs a block larger than
// kMaxExpansion times its file; one that asks for more is hostile and yields none.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "runtime/kp_game.h"

namespace {

constexpr size_t kMaxExpansion = 1040 * 4;      // largest block allowed per byte of file
constexpr size_t kMinAllowance = 1 << 20;       // small files may still use a megabyte
constexpr int kMaxDimension = 1 << 14;          // no side longer than any texture we draw
thread_local size_t allocationLimit = SIZE_MAX; // set around each decode

void* boundedMalloc(size_t size) {
    return size <= allocationLimit ? std::malloc(size) : nullptr;
}

void* boundedRealloc(void* block, size_t size) {
    return size <= allocationLimit ? std::realloc(block, size) : nullptr;
}

} // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_FAILURE_USERMSG
#define STBI_MAX_DIMENSIONS kMaxDimension
#define STBI_MALLOC boundedMalloc
#define STBI_REALLOC boundedRealloc
#define STBI_FREE std::free
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

KpBytes kpDecodeImageFile(FILE* file, int* width, int* height, int* depth) {
    if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    const long size = std::ftell(file);
    std::rewind(file);
    if (size <= 0) return nullptr;
    allocationLimit = std::max(static_cast<size_t>(size) * kMaxExpansion, kMinAllowance);
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load_from_file(file, &w, &h, &n, 0);
    allocationLimit = SIZE_MAX;
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *depth = n;
    return KpBytes(pixels);
}
