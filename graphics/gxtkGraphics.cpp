// gxtkGraphics: frame set-up, the batching rule, the primitives with their CPU-side transform
// and baked colours, blend and scissor state, and pixel read-back and write. The overdraw
// shortcuts that the batching consults live in gxtkOverdraw.cpp.
#include "graphics/gxtkGraphics.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

constexpr int kPolyStride = 2;  // x, y per DrawPoly point
constexpr int kPoly2Stride = 4; // x, y, u, v per DrawPoly2 vertex
constexpr int kMinOvalSegments = 12;
constexpr int kOvalSegmentsBelow = 11; // counts at or below this get kMinOvalSegments
constexpr float kTwoPi = 6.2831855f;
constexpr size_t kTexOffset = 8;
constexpr size_t kColorOffset = 16;

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and frames
// ---------------------------------------------------------------------------------------------
gxtkGraphics::gxtkGraphics() {
    if (KpGame::_game) {
        width = KpGame::_game->GetDeviceWidth();
        height = KpGame::_game->GetDeviceHeight();
    }
    // Quad q is drawn as the triangles (4q, 4q+1, 4q+2) and (4q, 4q+2, 4q+3).
    for (int q = 0; q < kMaxQuads; ++q) {
        uint16_t base = static_cast<uint16_t>(q * kQuadCorners);
        uint16_t* idx = quadIndices + q * kIndicesPerQuad;
        idx[0] = base;
        idx[1] = base + 1;
        idx[2] = base + 2;
        idx[3] = base;
        idx[4] = base + 2;
        idx[5] = base + 3;
    }
}

bool gxtkGraphics::hasContext() {
    return glfwGraphicsSeq != 0;
}

int gxtkGraphics::BeginRender() {
    if (KpGame::_game) {
        width = KpGame::_game->GetDeviceWidth();
        height = KpGame::_game->GetDeviceHeight();
    }
    vertexCount = 0;
    bandRun = false;
    rowOn = false;
    drawCalls = 0;
    // The frame starts with alpha blending; the scissor left by the last frame is unknown.
    blendState = kBlendAlpha;
    scissorKnown = false;
    setClip(0, 0, width, height);
    blending = true;
    texturing = false;
    boundTexture = 0;
    if (!hasContext()) return 1;

    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const unsigned char* base = reinterpret_cast<const unsigned char*>(vertices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, kVertexBytes, base);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kVertexBytes, base + kTexOffset);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, kVertexBytes, base + kColorOffset);

    // Textures are premultiplied, and the default modulate mode lets the colour tint them.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    return 1;
}

void gxtkGraphics::EndRender() {
    flush();
}

// ---------------------------------------------------------------------------------------------
// Surfaces
// ---------------------------------------------------------------------------------------------
std::unique_ptr<gxtkSurface> gxtkGraphics::LoadSurface(const String& path) {
    auto surface = std::make_unique<gxtkSurface>();
    if (!LoadSurface__UNSAFE__(surface.get(), path)) return nullptr;
    surface->Bind();
    boundTexture = 0;
    return surface;
}

std::unique_ptr<gxtkSurface> gxtkGraphics::CreateSurface(int w, int h) {
    auto surface = std::make_unique<gxtkSurface>();
    surface->SetData(nullptr, w, h, 4);
    surface->Bind();
    boundTexture = 0;
    return surface;
}

bool gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, const String& path) {
    if (!KpGame::_game) return false;
    int w = 0, h = 0, depth = 0;
    KpBytes pixels = KpGame::_game->LoadImageData(path, &w, &h, &depth);
    if (!pixels || kpSurfaceFormat(depth) == 0) return false;
    surface->SetData(std::move(pixels), w, h, depth);
    return true;
}

// ---------------------------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------------------------
void gxtkGraphics::Cls(float red, float green, float blue) {
    vertexCount = 0;
    bandRun = false;
    rowOn = false;
    if (!hasContext()) return;
    glClearColor(red / kByteMax, green / kByteMax, blue / kByteMax, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void gxtkGraphics::SetAlpha(float a) {
    alpha = a;
    updateColor();
}

void gxtkGraphics::SetColor(float red, float green, float blue) {
    r = red;
    g = green;
    b = blue;
    updateColor();
}

void gxtkGraphics::updateColor() {
    uint32_t a = static_cast<uint32_t>(static_cast<int>(alpha * kByteMax)) & kByteMax;
    uint32_t pb = static_cast<uint32_t>(static_cast<int>(b * alpha)) & kByteMax;
    uint32_t pg = static_cast<uint32_t>(static_cast<int>(g * alpha)) & kByteMax;
    uint32_t pr = static_cast<uint32_t>(static_cast<int>(r * alpha)) & kByteMax;
    color = a << 24 | pb << 16 | pg << 8 | pr;
}

// A setter that leaves the state as it is keeps the batch: callers that set the blend and
// scissor before every command (the game's replay does) still get one draw call per batch.
void gxtkGraphics::SetBlend(int mode) {
    int state = mode == kBlendAdditive ? kBlendAdditive : kBlendAlpha;
    if (state == blendState) return;
    flush();
    blendState = state;
    if (!hasContext()) return;
    glBlendFunc(GL_ONE, state == kBlendAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

void gxtkGraphics::SetScissor(int x, int y, int w, int h) {
    ScissorBox box = {x, y, w, h};
    if (scissorKnown && box == scissor) return;
    flush();
    scissor = box;
    scissorKnown = true;
    const bool whole = x == 0 && y == 0 && w == Width() && h == Height();
    if (whole) {
        setClip(0, 0, Width(), Height());
    } else {
        setClip(x, y, w, h);
    }
    if (!hasContext()) return;
    if (whole) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, Height() - y - h, w, h); // OpenGL counts rows from the bottom
}

// The box is kept within the window: OpenGL draws nothing outside it either way.
void gxtkGraphics::setClip(int x, int y, int w, int h) {
    clipX0 = static_cast<float>(std::max(x, 0));
    clipY0 = static_cast<float>(std::max(y, 0));
    clipX1 = static_cast<float>(std::min(x + w, width));
    clipY1 = static_cast<float>(std::min(y + h, height));
}

void gxtkGraphics::SetMatrix(float mix, float miy, float mjx, float mjy, float mtx, float mty) {
    ix = mix;
    iy = miy;
    jx = mjx;
    jy = mjy;
    tx = mtx;
    ty = mty;
    tformed = ix != 1.0f || iy != 0.0f || jx != 0.0f || jy != 1.0f || tx != 0.0f || ty != 0.0f;
}

// ---------------------------------------------------------------------------------------------
// Primitives
// ---------------------------------------------------------------------------------------------
void gxtkGraphics::DrawPoint(float x, float y) {
    KpVertex* v = reserve(kPoints, nullptr, 1);
    put(v[0], x, y, 0, 0);
}

void gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    quad(nullptr, x, y, w, h, 0, 0, 0, 0);
}

void gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
    KpVertex* v = reserve(kLines, nullptr, 2);
    put(v[0], x1, y1, 0, 0);
    put(v[1], x2, y2, 0, 0);
}

void gxtkGraphics::DrawOval(float x, float y, float w, float h) {
    float rx = w * 0.5f, ry = h * 0.5f;
    float cx = x + rx, cy = y + ry;

    // Enough segments for the radii as they land on screen, a multiple of 4 in 12..1024.
    int length;
    if (tformed) {
        float ax = rx * ix, ay = rx * iy, bx = ry * jx, by = ry * jy;
        length = static_cast<int>(std::sqrt(ax * ax + ay * ay) + std::sqrt(bx * bx + by * by));
    } else {
        length = std::abs(static_cast<int>(rx)) + std::abs(static_cast<int>(ry));
    }
    int n;
    if (length <= kOvalSegmentsBelow) {
        n = kMinOvalSegments;
    } else if (length <= kMaxVertices) {
        n = length & ~3;
    } else {
        n = kMaxVertices;
    }

    KpVertex* v = reserve(n, nullptr, n);
    for (int i = 0; i < n; ++i) {
        float th = static_cast<float>(i) * kTwoPi / static_cast<float>(n);
        put(v[i], cx + std::cos(th) * rx, cy - std::sin(th) * ry, 0, 0);
    }
}

void gxtkGraphics::DrawPoly(std::span<const float> points) {
    int n = static_cast<int>(points.size() / kPolyStride);
    if (n == 0 || n > kMaxVertices) return;
    KpVertex* v = reserve(n, nullptr, n);
    for (int i = 0; i < n; ++i) put(v[i], points[i * 2], points[i * 2 + 1], 0, 0);
}

void gxtkGraphics::DrawPoly2(std::span<const float> verts, gxtkSurface* surface, float sx,
                             float sy) {
    int n = static_cast<int>(verts.size() / kPoly2Stride);
    if (!surface || n == 0 || n > kMaxVertices) return;
    KpVertex* v = reserve(n, surface, n);
    for (int i = 0; i < n; ++i) {
        const float* p = &verts[static_cast<size_t>(i) * kPoly2Stride];
        put(v[i], p[0], p[1], (p[2] + sx) * surface->uscale, (p[3] + sy) * surface->vscale);
    }
}

void gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    if (!surface) return;
    float w = static_cast<float>(surface->Width()), h = static_cast<float>(surface->Height());
    quad(surface, x, y, w, h, 0, 0, w * surface->uscale, h * surface->vscale);
}

void gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int sx, int sy, int sw,
                                int sh) {
    if (!surface) return;
    float w = static_cast<float>(sw), h = static_cast<float>(sh);
    float u0 = static_cast<float>(sx) * surface->uscale;
    float v0 = static_cast<float>(sy) * surface->vscale;
    float u1 = static_cast<float>(sx + sw) * surface->uscale;
    float v1 = static_cast<float>(sy + sh) * surface->vscale;
    quad(surface, x, y, w, h, u0, v0, u1, v1);
}

void gxtkGraphics::quad(gxtkSurface* surf, float x, float y, float w, float h, float u0, float v0,
                        float u1, float v1) {
    // The corners as they land in the window, in drawing order.
    float px[kQuadCorners] = {x, x + w, x + w, x};
    float py[kQuadCorners] = {y, y, y + h, y + h};
    if (tformed) {
        for (int i = 0; i < kQuadCorners; ++i) {
            const float cx = px[i], cy = py[i];
            px[i] = cx * ix + cy * jx + tx;
            py[i] = cx * iy + cy * jy + ty;
        }
    }
    const float us[kQuadCorners] = {u0, u1, u1, u0};
    const float vs[kQuadCorners] = {v0, v0, v1, v1};
    // Only upright quads tell their reach: a turned one would seldom spare a pixel, and the
    // sprite path is spared the arithmetic.
    const bool upright = px[0] == px[3] && px[1] == px[2] && py[0] == py[1] && py[2] == py[3];
    QuadReach reach = {};
    if (shortcuts && upright) {
        reach = reachOf(surf, px, py, u0, v0, u1, v1);
        // No texel with ink under it: drawing it would leave every pixel as it is.
        if (reach.ink.x0 >= reach.ink.x1) return;
    }
    const bool covers = coversBelow(surf);
    const bool inRun = bandRun; // reserve ends it, as it does for every other primitive
    KpVertex* v =
        reserve(kQuads, surf, kQuadCorners, covers, shortcuts && upright ? &reach : nullptr);
    for (int i = 0; i < kQuadCorners; ++i) v[i] = {px[i], py[i], us[i], vs[i], color};
    int at = static_cast<int>(v - vertices);
    if (!shortcuts) return;
    const int held = vertexCount;
    noteBand(covers, px, py, at, inRun && at > 0);
    if (vertexCount != held) {
        // The run dropped what the row had gathered so far.
        at -= held - vertexCount;
        rowOn = false;
    }
    if (upright) noteRow(coverOf(surf, px, py, u0, v0, u1, v1), at);
}

// ---------------------------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------------------------
namespace {

// Whether h rows of w ints, pitch apart from offset, fit in an array of size ints.
bool boxFits(size_t size, int w, int h, int offset, int pitch) {
    if (w <= 0 || h <= 0) return false;
    if (offset < 0 || pitch < w) return false;
    size_t last = static_cast<size_t>(offset) + static_cast<size_t>(h - 1) * pitch + w;
    return last <= size;
}

} // namespace

void gxtkGraphics::ReadPixels(std::span<int> pixels, int x, int y, int w, int h, int offset,
                              int pitch) {
    flush();
    if (!hasContext() || !boxFits(pixels.size(), w, h, offset, pitch)) return;
    std::vector<int> rows(static_cast<size_t>(w) * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // BGRA bytes on a little-endian machine read back as one ARGB int per pixel.
    glReadPixels(x, Height() - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    // OpenGL hands the bottom row first; the caller wants the top row first.
    for (int row = 0; row < h; ++row) {
        const int* src = rows.data() + static_cast<size_t>(h - 1 - row) * w;
        int* dst = pixels.data() + offset + static_cast<size_t>(row) * pitch;
        for (int col = 0; col < w; ++col) dst[col] = src[col];
    }
}

void gxtkGraphics::WritePixels2(gxtkSurface* surface, std::span<const int> pixels, int x, int y,
                                int w, int h, int offset, int pitch) {
    flush();
    boundTexture = 0; // the upload binds the surface's texture
    if (!surface || !boxFits(pixels.size(), w, h, offset, pitch)) return;
    surface->SetSubData(x, y, w, h, pixels.data() + offset, pitch);
}

// ---------------------------------------------------------------------------------------------
// Batching
// ---------------------------------------------------------------------------------------------
KpVertex* gxtkGraphics::reserve(int kind, gxtkSurface* surf, int n, bool opaque,
                                const QuadReach* reach) {
    bandRun = false; // any primitive ends a run of bands; quad() carries it on for bands
    if (primType != kind || primSurf != surf || vertexCount + n > kMaxVertices) {
        flush();
        primType = kind;
        primSurf = surf;
        batchOpaque = shortcuts;
    }
    if (vertexCount == 0) {
        batchTrims = shortcuts;
        batchReach = {{clipX1, clipY1, clipX0, clipY0}, {clipX1, clipY1, clipX0, clipY0}};
    }
    if (reach) {
        PixelBox& ink = batchReach.ink;
        PixelBox& bounds = batchReach.bounds;
        ink = {std::min(ink.x0, reach->ink.x0), std::min(ink.y0, reach->ink.y0),
               std::max(ink.x1, reach->ink.x1), std::max(ink.y1, reach->ink.y1)};
        bounds = {std::min(bounds.x0, reach->bounds.x0), std::min(bounds.y0, reach->bounds.y0),
                  std::max(bounds.x1, reach->bounds.x1), std::max(bounds.y1, reach->bounds.y1)};
    } else {
        batchTrims = false;
    }
    // One primitive that lets the background through makes the whole batch blend: blending
    // draws the covering ones unchanged, so the batch need not be split.
    batchOpaque = batchOpaque && opaque;
    KpVertex* start = vertices + vertexCount;
    vertexCount += n;
    return start;
}

void gxtkGraphics::put(KpVertex& out, float x, float y, float u, float v) const {
    if (tformed) {
        out.x = x * ix + y * jx + tx;
        out.y = x * iy + y * jy + ty;
    } else {
        out.x = x;
        out.y = y;
    }
    out.u = u;
    out.v = v;
    out.color = color;
}

void gxtkGraphics::flush() {
    bandRun = false; // a run or row hides only what its own batch holds
    rowOn = false;
    if (vertexCount == 0) return;
    ++drawCalls;
    if (hasContext()) {
        prepareDraw();
        // The frame's first batch, when it starts with a plain rectangle over the whole window,
        // starts with a clear instead: the same pixels, at a fraction of the cost.
        const int first = clearsWindow() ? kQuadCorners : 0;
        if (first != 0) {
            const uint32_t c = vertices[0].color;
            glClearColor(static_cast<float>(c & kByteMax) / kByteMax,
                         static_cast<float>(c >> 8 & kByteMax) / kByteMax,
                         static_cast<float>(c >> 16 & kByteMax) / kByteMax, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        const bool trimmed = first < vertexCount && trimScissor();
        switch (first < vertexCount ? primType : 0) {
        case 0:
            break; // the clear was all
        case kPoints:
            glDrawArrays(GL_POINTS, 0, vertexCount);
            break;
        case kLines:
            glDrawArrays(GL_LINES, 0, vertexCount);
            break;
        case kTriangles:
            glDrawArrays(GL_TRIANGLES, 0, vertexCount);
            break;
        case kQuads:
            if (shortcuts) {
                // The range spares the driver a scan of the indices for the vertices used.
                glDrawRangeElements(
                    GL_TRIANGLES, static_cast<GLuint>(first), static_cast<GLuint>(vertexCount - 1),
                    (vertexCount - first) / kQuadCorners * kIndicesPerQuad, GL_UNSIGNED_SHORT,
                    quadIndices + first / kQuadCorners * kIndicesPerQuad);
            } else {
                glDrawElements(GL_TRIANGLES, vertexCount / kQuadCorners * kIndicesPerQuad,
                               GL_UNSIGNED_SHORT, quadIndices);
            }
            break;
        default:
            // One fan per polygon of primType vertices.
            for (int first = 0; first + primType <= vertexCount; first += primType) {
                glDrawArrays(GL_TRIANGLE_FAN, first, primType);
            }
            break;
        }
        if (trimmed) restoreScissor();
        if (!shortcuts) {
            // Without the shortcuts every batch leaves texturing and blending as the frame began.
            if (primSurf) glDisable(GL_TEXTURE_2D);
            if (!blending) glEnable(GL_BLEND);
            texturing = false;
            blending = true;
            boundTexture = 0;
        }
    }
    vertexCount = 0;
}

// Switches an OpenGL capability to want, unless state says it already is.
void gxtkGraphics::setCapability(unsigned int capability, bool want, bool& state) {
    if (want == state) return;
    if (want) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
    state = want;
}

void gxtkGraphics::prepareDraw() {
    setCapability(GL_TEXTURE_2D, primSurf != nullptr, texturing);
    // A surface whose texture is not (yet) of this context binds itself, making it anew.
    if (primSurf && (primSurf->seq != glfwGraphicsSeq || primSurf->texture != boundTexture)) {
        primSurf->Bind();
        boundTexture = primSurf->texture;
    }
    setCapability(GL_BLEND, !batchOpaque, blending);
}
