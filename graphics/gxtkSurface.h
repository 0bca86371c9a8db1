// gxtkSurface: one image's pixels and its OpenGL texture. The surface keeps its own
// premultiplied copy of the pixels for its whole life, so a texture lost with an old OpenGL
// context is rebuilt on the next Bind under the new one (glfwGraphicsSeq tells them apart).
// Textures are made lazily; with no context yet (glfwGraphicsSeq 0) nothing touches OpenGL.
// It also records, row by row, where its texels with alpha above 0 lie, so that drawing can
// leave out pixels that only clear texels would reach, and its longest run of texels with
// full alpha, so that drawing can tell which quads hide what lies under them.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/kp_game.h"
#include "runtime/kp_object.h"

class gxtkSurface : public Object {
  public:
    // Depth (bytes per pixel) and the OpenGL pixel format it maps to.
    static constexpr int kMaxDepth = 4;

    gxtkSurface() = default;
    ~gxtkSurface() override;
    gxtkSurface(const gxtkSurface&) = delete;
    gxtkSurface& operator=(const gxtkSurface&) = delete;

    // Deletes the texture if it belongs to the current context and frees the pixel copy.
    virtual void Discard();
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual bool Loaded() { return true; }
    // Called when the pixels have arrived: makes the texture if a context exists.
    virtual void OnUnsafeLoadComplete() { Bind(); }

    // Adopts pixels (rows top to bottom, depth bytes each) and premultiplies them by alpha.
    void SetData(KpBytes pixels, int width, int height, int depth);
    // Stores a w x h box of ARGB ints (rows pitch ints apart) at (x, y), premultiplied, and
    // uploads it to a live texture. RGBA surfaces only; others ignore it.
    void SetSubData(int x, int y, int w, int h, const int* pixels, int pitch);
    // Makes the texture current, creating it under the current context when needed.
    void Bind();
    // Whether every texel a frame can sample has full alpha, so drawing it at full alpha
    // covers what lies below exactly as blending would.
    bool Opaque() const { return opaque; }
    // The smallest box holding every texel with alpha above 0 in the texel box box (x0, y0)
    // to (x1, y1), exclusive, kept within the surface: an empty box when it has none. False
    // when the surface cannot tell (no alpha kept, or a texture larger than the image whose
    // extra texels are unknown); box is then unchanged.
    bool InkBox(int& x0, int& y0, int& x1, int& y1) const;
    // Whether every texel of the texel box (x0, y0) to (x1, y1), exclusive, has full alpha.
    // Coordinates past the image are taken at its nearest edge, as the texture clamps them.
    // False for an empty box and when the surface cannot tell (no alpha kept, or a texture
    // larger than the image).
    bool SolidBox(int x0, int y0, int x1, int y1) const;

    KpBytes data;
    int width = 0;
    int height = 0;
    int depth = 0;
    int format = 0;
    int seq = 0;
    unsigned int texture = 0;
    float uscale = 0.0f;
    float vscale = 0.0f;

  private:
    // Records, for rows first to last - 1, which columns hold texels with alpha above 0 and
    // the longest run of columns with full alpha.
    void findInk(int first, int last);

    // Every pixel of the copy has full alpha and the texture is exactly the image's size
    // (a padded texture has texels of undefined content next to the image).
    bool opaque = false;
    bool padded = false; // the texture is larger than the image
    // Per row of the copy, the first column with alpha above 0 and one past the last (equal
    // for a clear row); empty for surfaces without alpha or without a copy.
    std::vector<uint16_t> inkFrom, inkTo;
    // Per row, the first column of its longest run of texels with full alpha and one past its
    // last (equal when it has none).
    std::vector<uint16_t> solidFrom, solidTo;
};

// The OpenGL pixel format for a depth of 1 to 4 bytes per pixel; 0 for any other depth.
int kpSurfaceFormat(int depth);
// Premultiplies count pixels of the given depth in place (depths 2 and 4; others unchanged).
void kpPremultiply(unsigned char* pixels, int count, int depth);
