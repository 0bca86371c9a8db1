// gxtkSurface: premultiplying pixel copies, lazy texture creation with the power-of-two
// retry, partial updates from ARGB ints, texture release bound to the context that made it,
// and the rows of ink (texels with alpha above 0) that the device scissors drawing to.
#include "graphics/gxtkSurface.h"

#include <GL/gl.h>
#include <algorithm>

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
    // The pixel copy and the driver's copy in the texture, which go at once.
    const size_t pixels =
        static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
    size_t released = data ? pixels * static_cast<size_t>(depth) : 0;
    // A texture of an older context went away with that context; only ours is deleted.
    if (seq > 0 && seq == glfwGraphicsSeq) {
        glDeleteTextures(1, &texture);
        seq = kNoTextureSeq;
        released += pixels * kMaxDepth;
    }
    data.reset();
    if (released > 0 && KpGame::_game) KpGame::_game->NoteMemoryReleased(released);
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
    inkFrom.clear();
    inkTo.clear();
    solidFrom.clear();
    solidTo.clear();
    findInk(0, h);
}

void gxtkSurface::findInk(int first, int last) {
    // Only alpha tells clear texels apart; widths past 16 bits are left without a record.
    if (!data || (depth != 2 && depth != 4) || width > UINT16_MAX) return;
    if (inkFrom.empty()) {
        inkFrom.assign(static_cast<size_t>(height), 0);
        inkTo.assign(static_cast<size_t>(height), 0);
        solidFrom.assign(static_cast<size_t>(height), 0);
        solidTo.assign(static_cast<size_t>(height), 0);
    }
    const int alphaAt = depth - 1;
    for (int y = first; y < last; ++y) {
        const unsigned char* row = data.get() + static_cast<size_t>(y) * width * depth + alphaAt;
        int from = 0, to = width;
        while (from < width && row[static_cast<size_t>(from) * depth] == 0) ++from;
        while (to > from && row[static_cast<size_t>(to - 1) * depth] == 0) --to;
        inkFrom[y] = static_cast<uint16_t>(from);
        inkTo[y] = static_cast<uint16_t>(to);
        int best = 0, bestFrom = 0;
        for (int x = from; x < to;) {
            if (row[static_cast<size_t>(x) * depth] != kMaxByte) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < to && row[static_cast<size_t>(x) * depth] == kMaxByte) ++x;
            if (x - start > best) {
                best = x - start;
                bestFrom = start;
            }
        }
        solidFrom[y] = static_cast<uint16_t>(bestFrom);
        solidTo[y] = static_cast<uint16_t>(bestFrom + best);
    }
}

bool gxtkSurface::SolidBox(int x0, int y0, int x1, int y1) const {
    if (padded || width <= 0 || height <= 0 || x0 >= x1 || y0 >= y1) return false;
    if (opaque) return true;
    if (solidFrom.empty()) return false;
    // Texels past an edge sample the edge itself.
    const int bx0 = std::clamp(x0, 0, width - 1), bx1 = std::clamp(x1, bx0 + 1, width);
    const int by0 = std::clamp(y0, 0, height - 1), by1 = std::clamp(y1, by0 + 1, height);
    for (int y = by0; y < by1; ++y) {
        if (solidFrom[y] > bx0 || solidTo[y] < bx1) return false;
    }
    return true;
}

bool gxtkSurface::InkBox(int& x0, int& y0, int& x1, int& y1) const {
    if (inkFrom.empty() || padded) return false;
    const int bx0 = std::max(x0, 0), by0 = std::max(y0, 0);
    const int bx1 = std::min(x1, width), by1 = std::min(y1, height);
    int ix0 = bx1, iy0 = by1, ix1 = bx0, iy1 = by0;
    for (int y = by0; y < by1; ++y) {
        // The row's ink within the box's columns, widened to the row's whole ink: a box that
        // holds more than the ink is still a box around all of it.
        const int from = std::max<int>(inkFrom[y], bx0), to = std::min<int>(inkTo[y], bx1);
        if (from >= to) continue;
        ix0 = std::min(ix0, from);
        ix1 = std::max(ix1, to);
        iy0 = std::min(iy0, y);
        iy1 = y + 1;
    }
    if (ix0 >= ix1) {
        x0 = x1 = bx0;
        y0 = y1 = by0;
        return true;
    }
    x0 = ix0;
    y0 = iy0;
    x1 = ix1;
    y1 = iy1;
    return true;
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
    findInk(y, y + h);
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
    padded = texWidth != width || texHeight != height;
    if (padded) opaque = false;
    uscale = 1.0f / static_cast<float>(texWidth > 0 ? texWidth : 1);
    vscale = 1.0f / static_cast<float>(texHeight > 0 ? texHeight : 1);

    if (data) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE,
                        data.get());
    }
}
