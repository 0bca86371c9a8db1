// PNG writing for the graphics tests with the system's stb_image_write.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "png_writer.h"

#include <filesystem>

void writePng(const std::string& path, int w, int h, int depth,
              const std::vector<unsigned char>& pixels) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    stbi_write_png(path.c_str(), w, h, depth, pixels.data(), w * depth);
}

void writeSolidPng(const std::string& path, int w, int h, unsigned char r, unsigned char g,
                   unsigned char b, unsigned char a) {
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < w * h; ++i) pixels.insert(pixels.end(), {r, g, b, a});
    writePng(path, w, h, 4, pixels);
}
