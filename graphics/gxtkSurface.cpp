// gxtkSurface: premultiplying pixel copies, lazy texture creation with the power-of-two
// retry, partial updates from ARGB ints, and texture release bound to the context that made it.
#include "graphics/gxtkSurface.h"

#include <GL/gl.h>

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

constexpr int kMaxByte = 255;
constexpr int kArgbBytes = 4;
constexpr int kNoTextureSeq = -1;

// The OpenGL format of each depth, indexed by bytes per pixel.
constexpr int kFormats[gxtkSurface::kMaxDepth + 1] = {0, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB,
                                                      GL_RGBA};

constexpr int kMaxPendingGlErrors = 32; // more error flags than any driver keeps

// Smallest power of two at or above size; sizes of 1 or less become 1.
int powerOfTwo(int size) {
    int p = 1;
    while (p < size) p *= 2;
    return p;
}

// Whether every pixel of count pixels of the given depth has full alpha.
bool allOpaque(const unsigned char* pixels, int count, int depth) {
    if (depth == 1 || depth == 3) return true;
    const int alphaAt = depth - 1;
    for (int i = 0; i < count; ++i, pixels += depth) {
        if (pixels[alphaAt] != kMaxByte) return false;
    }
    return true;
}

// Clears errors left by earlier calls, so the next check sees only the allocation's own.
void drainGlErrors() {
    // Bounded, in case a lost context keeps reporting an error on every call.
    for (int i = 0; i < kMaxPendingGlErrors && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------------------------
int kpSurfaceFormat(int depth) {
    return depth >= 1 && depth <= gxtkSurface::kMaxDepth ? kFormats[depth] : 0;
}

void kpPremultiply(unsigned char* pixels, int count, int depth) {
    if (depth == 2) {
        for (int i = 0; i < count; ++i, pixels += 2) pixels[0] = pixels[0] * pixels[1] / kMaxByte;
    } else if (depth == 4) {
        for (int i = 0; i < count; ++i, pixels += 4) {
            // Most pixels of the art are opaque or clear: those need no arithmetic.
            const int a = pixels[3];
            if (a == kMaxByte) continue;
            if (a == 0) {
                pixels[0] = pixels[1] = pixels[2] = 0;
                continue;
            }
            pixels[0] = pixels[0] * a / kMaxByte;
            pixels[1] = pixels[1] * a / kMaxByte;
            pixels[2] = pixels[2] * a / kMaxByte;
        }
    }
}

gxtkSurface::~gxtkSurface() {
    Discard();
}

void gxtkSurface::Discard() {
    // A texture of an older context went away with that context; only ours is deleted.
    if (seq > 0 && seq == glfwGraphicsSeq) {
        glDeleteTextures(1, &texture);
        seq = kNoTextureSeq;
    }
    data.reset();
}

void gxtkSurface::SetData(KpBytes pixels, int w, int h, int d) {
    data = std::move(pixels);
    width = w;
    height = h;
    depth = d;
    format = kpSurfaceFormat(d);
    // Until a texture exists, texture coordinates assume one of exactly the image's size.
    uscale = 1.0f / static_cast<float>(w > 0 ? w : 1);
    vscale = 1.0f / static_cast<float>(h > 0 ? h : 1);
    if (data) kpPremultiply(data.get(), w * h, d);
    opaque = data && allOpaque(data.get(), w * h, d);
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const int* pixels, int pitch) {
    if (format != GL_RGBA) return;
    // A box reaching outside the surface would write past the pixel copy: refuse it.
    if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > width || y + h > height) return;
    if (!data) {
        data.reset(static_cast<unsigned char*>(
            std::calloc(static_cast<size_t>(width) * height * kArgbBytes, 1)));
        if (!data) return;
        opaque = false; // the rest of the new copy is clear
    }
    for (int row = 0; row < h; ++row) {
        const int* src = pixels + static_cast<ptrdiff_t>(row) * pitch;
        unsigned char* dst = data.get() + (static_cast<size_t>(y + row) * width + x) * kArgbBytes;
        for (int col = 0; col < w; ++col, dst += kArgbBytes) {
            unsigned int argb = static_cast<unsigned int>(src[col]);
            int a = (argb >> 24) & kMaxByte;
            dst[0] = ((argb >> 16) & kMaxByte) * a / kMaxByte;
            dst[1] = ((argb >> 8) & kMaxByte) * a / kMaxByte;
            dst[2] = (argb & kMaxByte) * a / kMaxByte;
            dst[3] = static_cast<unsigned char>(a);
            if (a != kMaxByte) opaque = false;
        }
    }
    if (seq == 0 || seq != glfwGraphicsSeq) return; // the next Bind uploads the whole copy

    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const unsigned char* start = data.get() + static_cast<size_t>(y) * width * kArgbBytes;
    if (w == width) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, start);
        return;
    }
    for (int row = 0; row < h; ++row) {
        const unsigned char* line = start + (static_cast<size_t>(row) * width + x) * kArgbBytes;
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + row, w, 1, GL_RGBA, GL_UNSIGNED_BYTE, line);
    }
}

void gxtkSurface::Bind() {
    if (glfwGraphicsSeq == 0) return; // no context yet
    if (seq == glfwGraphicsSeq) {
        glBindTexture(GL_TEXTURE_2D, texture);
        return;
    }

    seq = glfwGraphicsSeq;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    // Drivers without non-power-of-two textures refuse the exact size; retry padded.
    int texWidth = width, texHeight = height;
    drainGlErrors();
    glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE,
                 nullptr);
    if (glGetError() != GL_NO_ERROR) {
        texWidth = powerOfTwo(width);
        texHeight = powerOfTwo(height);
        glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE,
                     nullptr);
    }
    if (texWidth != width || texHeight != height) opaque = false;
    uscale = 1.0f / static_cast<float>(texWidth > 0 ? texWidth : 1);
    vscale = 1.0f / static_cast<float>(texHeight > 0 ? texHeight : 1);

    if (data) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE,
                        data.get());
    }
}
