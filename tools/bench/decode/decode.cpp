// PNG decoding benchmark: every "-hd2" image of a generated data folder decoded from memory by
// stb_image, libspng and libpng's simplified reader, each to the file's own channel count at
// 8 bits, and by the game's loader (libpng from a FILE, as the game calls it). Prints per
// decoder the main thread's CPU time, best of a few passes over the whole set, so a busy
// machine inflates it least, and checks that all hand back the same pixels as stb_image.
//
// Usage: decode [folder holding the PNG files] [passes]   (default: ./data, 5 passes)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <png.h>
#include <spng.h>
#include <string>
#include <time.h>
#include <vector>

#include "runtime/kp_game.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

constexpr int kDefaultPasses = 5;
constexpr const char* kSuffix = "-hd2.png";

// Thread CPU time in ms: on a machine shared with other work, wall time measures the others.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
using Bytes = std::vector<unsigned char>;

struct Image {
    int w = 0, h = 0, n = 0;
    Bytes pixels;
};

bool decodeStb(const Bytes& file, Image& out) {
    unsigned char* p = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &out.w,
                                             &out.h, &out.n, 0);
    if (!p) return false;
    out.pixels.assign(p, p + static_cast<size_t>(out.w) * out.h * out.n);
    stbi_image_free(p);
    return true;
}

bool decodeSpng(const Bytes& file, Image& out) {
    spng_ctx* ctx = spng_ctx_new(0);
    if (!ctx) return false;
    bool ok = false;
    spng_ihdr ihdr{};
    spng_trns trns{};
    if (spng_set_png_buffer(ctx, file.data(), file.size()) == 0 && spng_get_ihdr(ctx, &ihdr) == 0) {
        const bool alpha =
            spng_get_trns(ctx, &trns) == 0 || ihdr.color_type == 4 || ihdr.color_type == 6;
        const bool grey = ihdr.color_type == 0 || ihdr.color_type == 4;
        out.n = grey ? (alpha ? 2 : 1) : (alpha ? 4 : 3);
        const int fmt = out.n == 4 ? SPNG_FMT_RGBA8 : out.n == 3 ? SPNG_FMT_RGB8 : SPNG_FMT_GA8;
        size_t size = 0;
        if (out.n != 1 && spng_decoded_image_size(ctx, fmt, &size) == 0) {
            out.w = static_cast<int>(ihdr.width);
            out.h = static_cast<int>(ihdr.height);
            out.pixels.resize(size);
            ok = spng_decode_image(ctx, out.pixels.data(), size, fmt, SPNG_DECODE_TRNS) == 0;
        }
    }
    spng_ctx_free(ctx);
    return ok;
}

bool decodeLibpng(const Bytes& file, Image& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const bool colour = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
    image.format = colour ? (alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB)
                          : (alpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY);
    out.w = static_cast<int>(image.width);
    out.h = static_cast<int>(image.height);
    out.n = static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(image.format));
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
}

// The game's own loader, on the bytes as a file.
bool decodeLoader(const Bytes& file, Image& out) {
    FILE* f = fmemopen(const_cast<unsigned char*>(file.data()), file.size(), "rb");
    if (!f) return false;
    KpBytes p = kpDecodeImageFile(f, &out.w, &out.h, &out.n);
    std::fclose(f);
    if (!p) return false;
    out.pixels.assign(p.get(), p.get() + static_cast<size_t>(out.w) * out.h * out.n);
    return true;
}

struct Decoder {
    const char* name;
    bool (*decode)(const Bytes&, Image&);
};
constexpr Decoder kDecoders[] = {{"stb_image", decodeStb},
                                 {"libspng", decodeSpng},
                                 {"libpng", decodeLibpng},
                                 {"loader", decodeLoader}};

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "data";
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultPasses;
    std::vector<Bytes> files;
    size_t bytes = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < std::strlen(kSuffix) ||
            name.compare(name.size() - std::strlen(kSuffix), std::string::npos, kSuffix) != 0) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        bytes += files.back().size();
    }
    if (files.empty()) {
        std::fprintf(stderr, "no *%s files in %s\n", kSuffix, folder.c_str());
        return 1;
    }
    std::printf("%zu files, %.1f MB compressed, best of %d passes\n", files.size(),
                bytes / 1048576.0, passes);
    std::printf("%-10s %10s %12s\n", "decoder", "cpu ms", "MB out");

    std::vector<Image> reference(files.size());
    for (size_t i = 0; i < files.size(); ++i) decodeStb(files[i], reference[i]);
    for (const Decoder& decoder : kDecoders) {
        double best = 1e30;
        size_t out = 0;
        Image image;
        for (int pass = 0; pass < passes; ++pass) {
            out = 0;
            const double start = cpuMs();
            for (size_t i = 0; i < files.size(); ++i) {
                if (!decoder.decode(files[i], image)) {
                    std::fprintf(stderr, "%s failed on file %zu\n", decoder.name, i);
                    return 1;
                }
                out += image.pixels.size();
                if (pass == 0 && (image.w != reference[i].w || image.n != reference[i].n ||
                                  image.pixels != reference[i].pixels)) {
                    std::fprintf(stderr, "%s differs from stb_image on file %zu\n", decoder.name,
                                 i);
                    return 1;
                }
            }
            best = std::min(best, cpuMs() - start);
        }
        std::printf("%-10s %10.1f %12.1f\n", decoder.name, best, out / 1048576.0);
    }
    return 0;
}
