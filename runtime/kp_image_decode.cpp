// Image decoding for the hosts: PNG through libpng (the fastest of the decoders we measured on
// the game's art; fuzzed upstream and maintained by the distribution), never flipped, 8 bits
// a channel, keeping the file's channel count: grey 1, grey and alpha 2, colour 3, colour and
// alpha 4, a transparency chunk adding the alpha channel. No gamma or colour-space change is
// made. Every allocation is bounded by the file's size: deflate expands at most about 1032 to
// 1 and a palette index becomes at most four bytes, so no valid PNG needs a block larger than
// kMaxExpansion times its file; one that asks for more is hostile and yields none.
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <png.h>

#include "runtime/kp_game.h"

namespace {

constexpr size_t kMaxExpansion = 1040 * 4; // largest block allowed per byte of file
constexpr size_t kMinAllowance = 1 << 20;  // small files may still use a megabyte
constexpr int kMaxDimension = 1 << 14;     // no side longer than any texture we draw
constexpr int kSignatureBytes = 8;

// The read's bound, reached from the allocation callback through libpng's memory pointer.
struct Bound {
    size_t limit;
};

png_voidp boundedMalloc(png_structp png, png_alloc_size_t size) {
    const auto* bound = static_cast<const Bound*>(png_get_mem_ptr(png));
    return size <= bound->limit ? std::malloc(size) : nullptr;
}

void release(png_structp, png_voidp block) {
    std::free(block);
}

// libpng reports errors by jumping back to the setjmp in decodePng; warnings are ignored.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit channels (16-bit ones keep their high byte), palettes and low-depth
// greys expanded, and the transparency chunk as an alpha channel.
void requestEightBitChannels(png_structp png, png_infop info) {
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Decodes into a block from malloc, or null. Nothing with a destructor lives in this frame,
// since libpng's errors leave it by longjmp.
unsigned char* decodePng(FILE* file, size_t limit, int* width, int* height, int* depth) {
    Bound bound{limit};
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning,
                                               &bound, boundedMalloc, release);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        std::free(pixels);
        std::free(rows);
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return nullptr;
    }
    png_set_user_limits(png, kMaxDimension, kMaxDimension);
    // Every chunk's CRC still guards the data, so the stream's own Adler-32 sum (about a sixth
    // of the decoding time) is not checked as well.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_set_chunk_malloc_max(png, limit);
    png_init_io(png, file);
    png_read_info(png, info);
    requestEightBitChannels(png, info);

    const size_t w = png_get_image_width(png, info);
    const size_t h = png_get_image_height(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    // Both sides are at most kMaxDimension, so none of these products overflows.
    if (rowBytes != w * channels || rowBytes * h > limit || h * sizeof(png_bytep) > limit) {
        png_error(png, "image larger than its file allows");
    }
    pixels = static_cast<unsigned char*>(std::malloc(rowBytes * h));
    rows = static_cast<png_bytep*>(std::malloc(h * sizeof(png_bytep)));
    if (!pixels || !rows) png_error(png, "out of memory");
    for (size_t y = 0; y < h; ++y) rows[y] = pixels + y * rowBytes;
    png_read_image(png, rows);

    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    *depth = channels;
    return pixels;
}

} // namespace

KpBytes kpDecodeImageFile(FILE* file, int* width, int* height, int* depth) {
    if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    const long size = std::ftell(file);
    std::rewind(file);
    if (size < kSignatureBytes) return nullptr;
    png_byte signature[kSignatureBytes];
    if (std::fread(signature, 1, kSignatureBytes, file) != kSignatureBytes ||
        png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
        return nullptr;
    }
    std::rewind(file);
    const size_t limit = std::max(static_cast<size_t>(size) * kMaxExpansion, kMinAllowance);
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = decodePng(file, limit, &w, &h, &n);
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *depth = n;
    return KpBytes(pixels);
}
