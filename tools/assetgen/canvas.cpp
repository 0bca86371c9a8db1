// Canvas storage, colour helpers and the pen's shape filling. A pixel's coverage comes from the
// shape's signed distance at the pixel centre (half a pixel of soft edge), so every scale gets
// clean anti-aliased edges without supersampling; pixel mode samples the 1x grid instead.
#include "tools/assetgen/canvas.h"

namespace assetgen {

namespace {

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

} // namespace

Rgba rgb(int r, int g, int b, float a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Rgba hex(uint32_t v, float a) {
    return rgb(static_cast<int>((v >> 16) & 255), static_cast<int>((v >> 8) & 255),
               static_cast<int>(v & 255), a);
}

Rgba mix(const Rgba& x, const Rgba& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Rgba shade(const Rgba& c, float k) {
    if (k >= 0) return {c.r + (1 - c.r) * k, c.g + (1 - c.g) * k, c.b + (1 - c.b) * k, c.a};
    return {c.r * (1 + k), c.g * (1 + k), c.b * (1 + k), c.a};
}

Rgba withAlpha(const Rgba& c, float a) {
    return {c.r, c.g, c.b, a};
}

Rgba hsv(float h, float s, float v, float a) {
    h = std::fmod(std::fmod(h, 360.0f) + 360.0f, 360.0f) / 60.0f;
    int i = static_cast<int>(h);
    float f = h - static_cast<float>(i);
    float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return {v, t, p, a};
    case 1:
        return {q, v, p, a};
    case 2:
        return {p, v, t, a};
    case 3:
        return {p, q, v, a};
    case 4:
        return {t, p, v, a};
    default:
        return {v, p, q, a};
    }
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), px_(static_cast<size_t>(width) * height * 4, 0.0f) {}

void Canvas::blend(int x, int y, const Rgba& c, float k) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float a = clamp01(c.a * k);
    if (a <= 0) return;
    float* p = &px_[(static_cast<size_t>(y) * width_ + x) * 4];
    float keep = 1 - a;
    p[0] = c.r * a + p[0] * keep;
    p[1] = c.g * a + p[1] * keep;
    p[2] = c.b * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void Canvas::set(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float* p = &px_[(static_cast<size_t>(y) * width_ + x) * 4];
    p[0] = c.r * c.a;
    p[1] = c.g * c.a;
    p[2] = c.b * c.a;
    p[3] = c.a;
}

Rgba Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const float* p = &px_[(static_cast<size_t>(y) * width_ + x) * 4];
    if (p[3] <= 0) return {};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

std::vector<uint8_t> Canvas::toRgba8() const {
    std::vector<uint8_t> out(px_.size());
    for (size_t i = 0; i < px_.size(); i += 4) {
        float a = px_[i + 3];
        for (int c = 0; c < 3; ++c) {
            float v = a > 0 ? px_[i + c] / a : 0.0f;
            out[i + c] = static_cast<uint8_t>(clamp01(v) * 255.0f + 0.5f);
        }
        out[i + 3] = static_cast<uint8_t>(clamp01(a) * 255.0f + 0.5f);
    }
    return out;
}

Pen::Pen(Canvas& canvas, int originX, int originY, int frameW, int frameH, float scale, bool pixel)
    : canvas_(canvas), ox_(originX), oy_(originY), frameW_(static_cast<float>(frameW)),
      frameH_(static_cast<float>(frameH)), scale_(scale), pixel_(pixel) {}

void Pen::fill(float x0, float y0, float x1, float y1, const Sdf& sdf, const Paint& paint) {
    // Pixel bounds inside the frame, one pixel of margin for the soft edge.
    int px0 = std::max(0, static_cast<int>(std::floor(x0 * scale_)) - 1);
    int py0 = std::max(0, static_cast<int>(std::floor(y0 * scale_)) - 1);
    int px1 =
        std::min(static_cast<int>(frameW_ * scale_), static_cast<int>(std::ceil(x1 * scale_)) + 1);
    int py1 =
        std::min(static_cast<int>(frameH_ * scale_), static_cast<int>(std::ceil(y1 * scale_)) + 1);
    for (int py = py0; py < py1; ++py) {
        for (int px = px0; px < px1; ++px) {
            float x, y, k;
            if (pixel_) {
                x = std::floor(px / scale_) + 0.5f;
                y = std::floor(py / scale_) + 0.5f;
                k = sdf(x, y) < 0 ? 1.0f : 0.0f;
            } else {
                x = (px + 0.5f) / scale_;
                y = (py + 0.5f) / scale_;
                k = clamp01(0.5f - sdf(x, y) * scale_);
            }
            if (k <= 0) continue;
            canvas_.blend(ox_ + px, oy_ + py, paint(x, y), k);
        }
    }
}

void Pen::fill(float x0, float y0, float x1, float y1, const Sdf& sdf, const Rgba& colour) {
    fill(x0, y0, x1, y1, sdf, [&](float, float) { return colour; });
}

void Pen::circle(float cx, float cy, float r, const Paint& paint) {
    fill(
        cx - r, cy - r, cx + r, cy + r, [=](float x, float y) { return sdCircle(x, y, cx, cy, r); },
        paint);
}

void Pen::circle(float cx, float cy, float r, const Rgba& colour) {
    circle(cx, cy, r, [&](float, float) { return colour; });
}

void Pen::ellipse(float cx, float cy, float rx, float ry, const Rgba& colour) {
    fill(
        cx - rx, cy - ry, cx + rx, cy + ry,
        [=](float x, float y) { return sdEllipse(x, y, cx, cy, rx, ry); }, colour);
}

void Pen::rect(float x, float y, float w, float h, const Rgba& colour) {
    roundRect(x, y, w, h, 0, colour);
}

void Pen::roundRect(float x, float y, float w, float h, float radius, const Paint& paint) {
    float cx = x + w / 2, cy = y + h / 2;
    fill(
        x, y, x + w, y + h,
        [=](float px, float py) { return sdBox(px, py, cx, cy, w / 2, h / 2, radius); }, paint);
}

void Pen::roundRect(float x, float y, float w, float h, float radius, const Rgba& colour) {
    roundRect(x, y, w, h, radius, [&](float, float) { return colour; });
}

void Pen::line(float x0, float y0, float x1, float y1, float width, const Rgba& colour) {
    float hw = width / 2;
    fill(
        std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw, std::max(y0, y1) + hw,
        [=](float x, float y) { return sdSegment(x, y, x0, y0, x1, y1, hw); }, colour);
}

void Pen::ring(float cx, float cy, float r, float width, const Rgba& colour) {
    float R = r + width / 2;
    fill(
        cx - R, cy - R, cx + R, cy + R,
        [=](float x, float y) { return std::fabs(sdCircle(x, y, cx, cy, r)) - width / 2; }, colour);
}

void Pen::polygon(const std::vector<float>& xy, const Paint& paint) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    fill(
        x0, y0, x1, y1, [&](float x, float y) { return sdPolygon(x, y, xy); }, paint);
}

void Pen::polygon(const std::vector<float>& xy, const Rgba& colour) {
    polygon(xy, [&](float, float) { return colour; });
}

void Pen::glow(float cx, float cy, float r0, float r1, const Rgba& colour) {
    fill(
        cx - r1, cy - r1, cx + r1, cy + r1,
        [=](float x, float y) { return sdCircle(x, y, cx, cy, r1); },
        [=](float x, float y) {
            float d = std::hypot(x - cx, y - cy);
            float t = d <= r0 ? 1.0f : 1.0f - (d - r0) / std::max(0.001f, r1 - r0);
            return withAlpha(colour, colour.a * t * t);
        });
}

void Pen::wash(const Paint& paint) {
    fill(
        0, 0, frameW_, frameH_, [](float, float) { return -1.0f; }, paint);
}

float sdCircle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float sdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
}

float sdBox(float x, float y, float cx, float cy, float hw, float hh, float radius) {
    float qx = std::fabs(x - cx) - hw + radius, qy = std::fabs(y - cy) - hh + radius;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdSegment(float x, float y, float x0, float y0, float x1, float y1, float hw) {
    float px = x - x0, py = y - y0, bx = x1 - x0, by = y1 - y0;
    float len2 = bx * bx + by * by;
    float h = len2 > 0 ? std::min(1.0f, std::max(0.0f, (px * bx + py * by) / len2)) : 0.0f;
    return std::hypot(px - bx * h, py - by * h) - hw;
}

float sdPolygon(float x, float y, const std::vector<float>& v) {
    // Distance to the nearest edge, negative when an even-odd crossing count says inside.
    size_t n = v.size() / 2;
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float ax = v[2 * j], ay = v[2 * j + 1], bx = v[2 * i], by = v[2 * i + 1];
        d = std::min(d, sdSegment(x, y, ax, ay, bx, by, 0));
        if ((by > y) != (ay > y) && x < (ax - bx) * (y - by) / (ay - by) + bx) inside = !inside;
    }
    return inside ? -d : d;
}

std::vector<float> starPoints(float cx, float cy, int n, float r0, float r1, float a0) {
    std::vector<float> xy;
    for (int i = 0; i < 2 * n; ++i) {
        float a = (a0 + 180.0f * i / n) * 3.14159265f / 180.0f;
        float r = (i % 2 == 0) ? r0 : r1;
        xy.push_back(cx + std::sin(a) * r);
        xy.push_back(cy - std::cos(a) * r);
    }
    return xy;
}

} // namespace assetgen
