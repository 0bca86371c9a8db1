// Drawing primitives of the asset generator: an RGBA float canvas and a pen that paints
// shapes given as signed distance functions in frame units (1 unit = 1 pixel of the 1x set).
// The pen's scale turns the same painter into the 1x, 2x and 4x images; pixel mode snaps
// every sample to the 1x grid and drops anti-aliasing, for the themes drawn as pixel art.
// Colours are straight (non-premultiplied) 0..1; compositing is "over".
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// Colour helpers.
Rgba rgb(int r, int g, int b, float a = 1.0f);
Rgba hex(uint32_t rgb24, float a = 1.0f);
Rgba mix(const Rgba& x, const Rgba& y, float t);
Rgba shade(const Rgba& c, float k); // k > 0 lightens towards white, k < 0 darkens to black
Rgba withAlpha(const Rgba& c, float a);
Rgba hsv(float hueDegrees, float sat, float val, float a = 1.0f);
// Relative luminance of a straight sRGB colour (0 black .. 1 white), and the contrast ratio
// of two such luminances (1..21, whichever is lighter).
double luminance(const Rgba& c);
double contrastRatio(double l1, double l2);

class Canvas {
  public:
    Canvas(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    // Blends colour c with coverage k over the pixel (x, y); out-of-range pixels are ignored.
    void blend(int x, int y, const Rgba& c, float k);
    void set(int x, int y, const Rgba& c);
    // Removes coverage k of the pixel (x, y): a knockout.
    void erase(int x, int y, float k);
    Rgba get(int x, int y) const;
    // Straight 8-bit RGBA, rows top to bottom.
    std::vector<uint8_t> toRgba8() const;

  private:
    int width_;
    int height_;
    std::vector<float> px_; // premultiplied
};

// One ring of an outline: its width in frame units and its colour.
struct Stroke {
    float width;
    Rgba colour;
};

// Signed distance in frame units at (x, y): negative inside.
using Sdf = std::function<float(float x, float y)>;
// Colour at (x, y) in frame units.
using Paint = std::function<Rgba(float x, float y)>;

class Pen {
  public:
    Pen(Canvas& canvas, int originX, int originY, int frameW, int frameH, float scale,
        bool pixel = false);
    float scale() const { return scale_; }
    bool pixel() const { return pixel_; }
    float frameW() const { return frameW_; }
    float frameH() const { return frameH_; }
    // The same frame with pixel mode switched (smooth icons inside a pixel-art font).
    Pen withPixel(bool pixel) const {
        Pen p(canvas_, ox_, oy_, static_cast<int>(frameW_), static_cast<int>(frameH_), scale_,
              pixel);
        p.zoom_ = zoom_;
        return p;
    }
    // The same frame with everything painted through it shrunk (zoom < 1) or grown about the
    // frame's centre, so a painter's shapes can make room for an outline inside the cell.
    Pen zoomed(float zoom) const {
        Pen p = *this;
        p.zoom_ *= zoom;
        return p;
    }
    // A pen for another family's w by h frame (a ball, say) painted into this one with its top
    // left corner at whole units (x, y), enlarged by `zoom`.
    Pen sub(int x, int y, int w, int h, float zoom = 1.0f) const {
        return Pen(canvas_, ox_ + static_cast<int>(static_cast<float>(x) * scale_),
                   oy_ + static_cast<int>(static_cast<float>(y) * scale_), w, h, scale_ * zoom,
                   pixel_);
    }
    // Paints `body` and rings it with strokes round its silhouette, the first stroke
    // outermost, each stroke's width measured outwards from the one inside it. Pixel-art pens
    // round the widths to whole 1x pixels and keep to the grid.
    void outlined(const std::vector<Stroke>& strokes, const std::function<void(Pen&)>& body);

    // Fills the shape inside the box (x0, y0)-(x1, y1), clipped to the frame.
    void fill(float x0, float y0, float x1, float y1, const Sdf& sdf, const Paint& paint);
    void fill(float x0, float y0, float x1, float y1, const Sdf& sdf, const Rgba& colour);
    // Convenience shapes.
    void circle(float cx, float cy, float r, const Paint& paint);
    void circle(float cx, float cy, float r, const Rgba& colour);
    void ellipse(float cx, float cy, float rx, float ry, const Rgba& colour);
    void rect(float x, float y, float w, float h, const Rgba& colour);
    void roundRect(float x, float y, float w, float h, float radius, const Paint& paint);
    void roundRect(float x, float y, float w, float h, float radius, const Rgba& colour);
    void line(float x0, float y0, float x1, float y1, float width, const Rgba& colour);
    void ring(float cx, float cy, float r, float width, const Rgba& colour);
    void polygon(const std::vector<float>& xy, const Paint& paint);
    void polygon(const std::vector<float>& xy, const Rgba& colour);
    // A soft glow: colour fading out from radius r0 to r1.
    void glow(float cx, float cy, float r0, float r1, const Rgba& colour);
    // Whole-frame paint (alpha from the paint), e.g. gradients and textures.
    void wash(const Paint& paint);
    // Cuts the shape out of what is painted already: amount 1 leaves it clear, less fades it.
    void cut(float x0, float y0, float x1, float y1, const Sdf& sdf, float amount = 1.0f);

  private:
    Canvas& canvas_;
    int ox_;
    int oy_;
    float frameW_;
    float frameH_;
    float scale_;
    bool pixel_;
    float zoom_ = 1.0f;
    float cutAmount_ = 1.0f;
};

// Signed distance helpers (frame units).
float sdCircle(float x, float y, float cx, float cy, float r);
float sdEllipse(float x, float y, float cx, float cy, float rx, float ry);
float sdBox(float x, float y, float cx, float cy, float hw, float hh, float radius = 0);
float sdSegment(float x, float y, float x0, float y0, float x1, float y1, float halfWidth);
float sdPolygon(float x, float y, const std::vector<float>& xy);

// Points of a star with n tips alternating radii r0 (tips) and r1, first tip at angle a0.
std::vector<float> starPoints(float cx, float cy, int n, float r0, float r1, float a0Degrees);

} // namespace assetgen
