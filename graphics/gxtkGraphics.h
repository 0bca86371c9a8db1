// gxtkGraphics: the render device, the one object that talks to OpenGL (1.x, fixed function).
// Every primitive is appended, transformed and coloured on the CPU, to one client-side buffer
// of kMaxVertices vertices that is drawn with one call when the primitive kind or texture
// changes, when it is full, on blend or scissor changes and at the end of the frame.
// Colours and textures are premultiplied by alpha. No OpenGL call is made while no context
// exists (glfwGraphicsSeq 0): primitives are then batched and counted but not drawn.
// Shortcuts that leave the picture unchanged (gxtkOverdraw.cpp, which says what each assumes)
// spare a software rasteriser most of its work: a batch of primitives that all cover what lies
// below is drawn without blending, a batch is scissored to the pixels its texels with ink can
// reach (a quad over clear texels only is not sent), primitives hidden under covering bands or
// a row of hiding quads across the clip box are dropped from the batch, a plain rectangle over
// the whole window that the frame starts with is drawn as a clear, and texture binding and
// texturing are switched only when they change. Quads wholly outside the window are still
// sent: the driver takes a group of vertices that reaches outside the window through its
// clipping code, which can round a sample that lies exactly on a texel's edge the other way,
// so leaving such quads out could move an edge of a nearby sprite by a pixel.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "graphics/gxtkSurface.h"
#include "runtime/kp_object.h"

// One vertex as OpenGL reads it through the client arrays (stride kVertexBytes).
struct KpVertex {
    float x;
    float y;
    float u;
    float v;
    uint32_t color; // bytes in memory order red, green, blue, alpha, premultiplied
};

class gxtkGraphics : public Object {
  public:
    static constexpr int kMaxVertices = 1024;
    static constexpr int kMaxQuads = kMaxVertices / 4;
    static constexpr int kIndicesPerQuad = 6; // two triangles
    static constexpr int kQuadIndices = kMaxQuads * kIndicesPerQuad;
    static constexpr int kVertexBytes = 20;
    // Primitive kinds: vertices per primitive; any other count is one convex polygon.
    static constexpr int kPoints = 1;
    static constexpr int kLines = 2;
    static constexpr int kTriangles = 3;
    static constexpr int kQuads = 4;
    static constexpr int kBlendAlpha = 0;
    static constexpr int kBlendAdditive = 1;

    // Reads the drawable size from the host and fills the quad index list; no OpenGL call.
    gxtkGraphics();

    virtual int Width() { return width; }
    virtual int Height() { return height; }
    // Sets up the frame's OpenGL state; answers 1 (render).
    virtual int BeginRender();
    // Draws what is left in the batch; the host swaps buffers.
    virtual void EndRender();
    virtual void DiscardGraphics() {}
    // None when the file cannot be read or decoded.
    virtual std::unique_ptr<gxtkSurface> LoadSurface(const String& path);
    // An empty RGBA surface with no pixel copy.
    virtual std::unique_ptr<gxtkSurface> CreateSurface(int width, int height);
    virtual bool LoadSurface__UNSAFE__(gxtkSurface* surface, const String& path);
    // Drops the pending batch and clears the colour buffer to (r, g, b), 0..255.
    virtual void Cls(float r, float g, float b);
    virtual void SetAlpha(float alpha);
    virtual void SetColor(float r, float g, float b);
    // 1 additive, anything else premultiplied alpha.
    virtual void SetBlend(int mode);
    // Top-left origin; the whole window switches the scissor test off.
    virtual void SetScissor(int x, int y, int w, int h);
    virtual void SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
    virtual void DrawPoint(float x, float y);
    virtual void DrawRect(float x, float y, float w, float h);
    virtual void DrawLine(float x1, float y1, float x2, float y2);
    virtual void DrawOval(float x, float y, float w, float h);
    // Points as x0, y0, x1, y1, ...: one convex polygon.
    virtual void DrawPoly(std::span<const float> points);
    // Records x, y, u, v with texture coordinates in pixels of the surface offset by (sx, sy).
    virtual void DrawPoly2(std::span<const float> vertices, gxtkSurface* surface, float sx,
                           float sy);
    virtual void DrawSurface(gxtkSurface* surface, float x, float y);
    virtual void DrawSurface2(gxtkSurface* surface, float x, float y, int sx, int sy, int sw,
                              int sh);
    // Reads the w x h box at (x, y) as ARGB ints into pixels[offset...], rows pitch apart.
    virtual void ReadPixels(std::span<int> pixels, int x, int y, int w, int h, int offset,
                            int pitch);
    virtual void WritePixels2(gxtkSurface* surface, std::span<const int> pixels, int x, int y,
                              int w, int h, int offset, int pitch);

    // Switches the shortcuts that leave the picture unchanged on (the default) or off, for
    // comparisons of their effect; takes effect with the next batch.
    void SetShortcuts(bool on) { shortcuts = on; }
    bool Shortcuts() const { return shortcuts; }

    // Draw calls (batch flushes) since the frame began.
    int DrawCalls() const { return drawCalls; }
    // Vertices waiting in the batch.
    int VertexCount() const { return vertexCount; }
    int PrimType() const { return primType; }

    int width = 0;
    int height = 0;
    uint32_t color = 0;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float alpha = 0.0f;
    float ix = 1.0f;
    float iy = 0.0f;
    float jx = 0.0f;
    float jy = 1.0f;
    float tx = 0.0f;
    float ty = 0.0f;
    bool tformed = false;
    KpVertex vertices[kMaxVertices] = {};
    uint16_t quadIndices[kQuadIndices] = {};
    int primType = 0;
    int vertexCount = 0;
    gxtkSurface* primSurf = nullptr;

  private:
    static constexpr int kByteMax = 255;
    static constexpr int kQuadCorners = kQuads;
    // A box of window pixels, x0 and y0 included, x1 and y1 not.
    struct PixelBox {
        float x0, y0, x1, y1;
    };
    // The pixels a quad may change: those its texels with ink reach, and its whole bounds.
    struct QuadReach {
        PixelBox ink;
        PixelBox bounds;
    };
    // Where an upright quad surely replaces the pixels under it. Pixel centres from lo to hi
    // (columns) and within its rows less inY at either edge are drawn from texels with full
    // alpha; seamLo and seamHi tell whether that holds right up to the left and right edges,
    // for a neighbour that shares the edge.
    struct Cover {
        bool hides;
        float x0, y0, x1, y1; // its edges in the window
        float lo, hi, inY;
        bool seamLo, seamHi;
    };

    // Room for n vertices of kind with texture surf, flushing first when the batch cannot
    // take them; returns where to write them. opaque: the primitive covers what lies below;
    // reach: the pixels a quad may change (none: anywhere in the clip box).
    KpVertex* reserve(int kind, gxtkSurface* surf, int n, bool opaque = false,
                      const QuadReach* reach = nullptr);
    // The pixels the upright quad with corners px, py may change; when textured, only around
    // the texels of u0, v0 to u1, v1 with alpha above 0. Empty ink: it changes none.
    QuadReach reachOf(gxtkSurface* surf, const float* px, const float* py, float u0, float v0,
                      float u1, float v1) const;
    // Scissors the batch about to be drawn to the pixels it can change, when that spares a
    // good share of its bounds; true if it did (restoreScissor then undoes it).
    bool trimScissor();
    // Whether the frame's first batch starts with an opaque rectangle of one colour,
    // untextured and alpha blended, that covers every pixel of the window: a clear to that
    // colour draws the same.
    bool clearsWindow() const;
    void restoreScissor();
    void flush();
    // Sets texturing, the texture and blending for the batch about to be drawn.
    void prepareDraw();
    static void setCapability(unsigned int capability, bool want, bool& state);
    void put(KpVertex& out, float x, float y, float u, float v) const;
    // Appends the rectangle (x, y, w, h) with texture coordinates (u0, v0) to (u1, v1) of surf
    // (none: untextured), unless the shortcuts find it draws over clear texels only.
    void quad(gxtkSurface* surf, float x, float y, float w, float h, float u0, float v0, float u1,
              float v1);
    // Whether a primitive in the current colour (and surf, if any) hides what lies below.
    bool coversBelow(gxtkSurface* surf) const;
    // Follows runs of covering rectangles across the clip box, given the quad just written at
    // vertex at with its corners px, py and whether the batch was in a run before it; drops
    // what such a run hides from the batch.
    void noteBand(bool covers, const float* px, const float* py, int at, bool inRun);
    // Where the upright quad with corners px, py and texture coordinates u0, v0 to u1, v1 of
    // surf (none: untextured) surely hides what lies under it.
    Cover coverOf(gxtkSurface* surf, const float* px, const float* py, float u0, float v0, float u1,
                  float v1) const;
    // Follows a row of hiding quads side by side, given the one just written at vertex at;
    // once the row spans the clip box, drops the quads before it that lie within its rows.
    void noteRow(const Cover& cover, int at);
    // Drops the quads before vertex before whose pixels all lie in rows r0 to r1 - 1.
    void dropHidden(int before, float r0, float r1);
    void setClip(int x, int y, int w, int h);
    // Whether OpenGL may be called: a window (and so a context) has been opened.
    static bool hasContext();
    void updateColor();

    int drawCalls = 0;
    // The blend and scissor in force, so that setting them again does not split a batch.
    struct ScissorBox {
        int x, y, w, h;
        bool operator==(const ScissorBox&) const = default;
    };
    int blendState = kBlendAlpha;
    ScissorBox scissor = {};
    bool scissorKnown = false;

    bool shortcuts = true;
    bool batchOpaque = false; // every primitive of the batch covers what lies below
    // Whether every primitive of the batch told its reach, and the union of those reaches.
    bool batchTrims = false;
    QuadReach batchReach = {};
    // The run of covering rectangles, as wide as the clip box, that the batch ends with: the
    // vertex it starts at and the rows it spans.
    bool bandRun = false;
    int bandFrom = 0;
    float bandY0 = 0, bandY1 = 0;
    // The row of hiding quads the batch is gathering: the vertex its first quad starts at,
    // its edges, the span of columns it surely hides, and whether it has already been used.
    bool rowOn = false;
    bool rowUsed = false;
    int rowFrom = 0;
    Cover row = {};
    // The OpenGL state as this device last set it within the frame.
    bool blending = true;
    bool texturing = false;
    unsigned int boundTexture = 0; // 0: unknown, bind before drawing
    // Pixels outside this box are never drawn: the window, or the scissor box within it.
    float clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;
};

static_assert(sizeof(KpVertex) == gxtkGraphics::kVertexBytes, "vertex layout read by OpenGL");
