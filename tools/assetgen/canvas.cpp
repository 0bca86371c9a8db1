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

namespace {
double srgbToLinear(float v) {
    double c = std::clamp(static_cast<double>(v), 0.0, 1.0);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
} // namespace

double luminance(const Rgba& c) {
    return 0.2126 * srgbToLinear(c.r) + 0.7152 * srgbToLinear(c.g) + 0.0722 * srgbToLinear(c.b);
}

double contrastRatio(double l1, double l2) {
    return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
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

void Canvas::erase(int x, int y, float k) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float keep = 1 - clamp01(k);
    float* p = &px_[(static_cast<size_t>(y) * width_ + x) * 4];
    for (int c = 0; c < 4; ++c) p[c] *= keep;
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
    // A zoomed pen maps a sample at u to the painter's unit cx + (u - cx) / zoom.
    float cx = frameW_ / 2, cy = frameH_ / 2, z = zoom_;
    auto outX = [&](float u) { return cx + (u - cx) * z; };
    auto outY = [&](float u) { return cy + (u - cy) * z; };
    // Pixel bounds inside the frame, one pixel of margin for the soft edge.
    int px0 = std::max(0, static_cast<int>(std::floor(outX(x0) * scale_)) - 1);
    int py0 = std::max(0, static_cast<int>(std::floor(outY(y0) * scale_)) - 1);
    int px1 = std::min(static_cast<int>(frameW_ * scale_),
                       static_cast<int>(std::ceil(outX(x1) * scale_)) + 1);
    int py1 = std::min(static_cast<int>(frameH_ * scale_),
                       static_cast<int>(std::ceil(outY(y1) * scale_)) + 1);
    for (int py = py0; py < py1; ++py) {
        for (int px = px0; px < px1; ++px) {
            float x, y, k;
            if (pixel_) {
                x = cx + (std::floor(px / scale_) + 0.5f - cx) / z;
                y = cy + (std::floor(py / scale_) + 0.5f - cy) / z;
                k = sdf(x, y) < 0 ? 1.0f : 0.0f;
            } else {
                x = cx + ((px + 0.5f) / scale_ - cx) / z;
                y = cy + ((py + 0.5f) / scale_ - cy) / z;
                k = clamp01(0.5f - sdf(x, y) * scale_ * z);
            }
            if (k <= 0) continue;
            if (paint)
                canvas_.blend(ox_ + px, oy_ + py, paint(x, y), k);
            else
                canvas_.erase(ox_ + px, oy_ + py, k * cutAmount_);
        }
    }
}

void Pen::cut(float x0, float y0, float x1, float y1, const Sdf& sdf, float amount) {
    Pen p = *this;
    p.cutAmount_ = amount;
    p.fill(x0, y0, x1, y1, sdf, Paint());
}

namespace {

// Squared distance transform of one line (lower envelope of parabolas), in place.
void distanceLine(std::vector<float>& f, int n, std::vector<float>& d, std::vector<int>& v,
                  std::vector<float>& z) {
    const float inf = 1e20f;
    int k = 0;
    v[0] = 0;
    z[0] = -inf;
    z[1] = inf;
    for (int q = 1; q < n; ++q) {
        float s;
        for (;;) {
            int p = v[static_cast<size_t>(k)];
            s = ((f[static_cast<size_t>(q)] + static_cast<float>(q * q)) -
                 (f[static_cast<size_t>(p)] + static_cast<float>(p * p))) /
                static_cast<float>(2 * q - 2 * p);
            if (s > z[static_cast<size_t>(k)] || k == 0) break;
            --k;
        }
        if (s <= z[static_cast<size_t>(k)]) {
            // Only when k == 0 and the new parabola lies below everywhere.
            v[0] = q;
            z[1] = inf;
            continue;
        }
        ++k;
        v[static_cast<size_t>(k)] = q;
        z[static_cast<size_t>(k)] = s;
        z[static_cast<size_t>(k) + 1] = inf;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[static_cast<size_t>(k) + 1] < static_cast<float>(q)) ++k;
        int p = v[static_cast<size_t>(k)];
        d[static_cast<size_t>(q)] =
            static_cast<float>((q - p) * (q - p)) + f[static_cast<size_t>(p)];
    }
    for (int q = 0; q < n; ++q) f[static_cast<size_t>(q)] = d[static_cast<size_t>(q)];
}

// Euclidean distance in pixels from every pixel to the nearest pixel marked inside.
std::vector<float> distanceField(const std::vector<uint8_t>& inside, int w, int h) {
    const float inf = 1e20f;
    std::vector<float> g(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < g.size(); ++i) g[i] = inside[i] ? 0.0f : inf;
    int n = std::max(w, h);
    std::vector<float> f(static_cast<size_t>(n)), d(static_cast<size_t>(n)),
        z(static_cast<size_t>(n) + 1);
    std::vector<int> v(static_cast<size_t>(n));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[static_cast<size_t>(y)] = g[static_cast<size_t>(y) * w + x];
        distanceLine(f, h, d, v, z);
        for (int y = 0; y < h; ++y) g[static_cast<size_t>(y) * w + x] = f[static_cast<size_t>(y)];
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f[static_cast<size_t>(x)] = g[static_cast<size_t>(y) * w + x];
        distanceLine(f, w, d, v, z);
        for (int x = 0; x < w; ++x)
            g[static_cast<size_t>(y) * w + x] = std::sqrt(f[static_cast<size_t>(x)]);
    }
    return g;
}

} // namespace

void Pen::outlined(const std::vector<Stroke>& strokes, const std::function<void(Pen&)>& body) {
    int w = static_cast<int>(frameW_ * scale_), h = static_cast<int>(frameH_ * scale_);
    Canvas layer(w, h);
    Pen inner(layer, 0, 0, static_cast<int>(frameW_), static_cast<int>(frameH_), scale_, pixel_);
    inner.zoom_ = zoom_;
    body(inner);
    std::vector<uint8_t> solid(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            solid[static_cast<size_t>(y) * w + x] = layer.get(x, y).a >= 0.5f ? 1 : 0;
    float total = 0;
    for (const Stroke& s : strokes) total += pixel_ ? std::round(s.width) : s.width;
    if (pixel_) {
        // Square rings on the 1x grid: a cell is reached when a solid cell lies within the
        // ring's width in both directions.
        int cellsW = static_cast<int>(frameW_), cellsH = static_cast<int>(frameH_);
        int cs = static_cast<int>(scale_);
        std::vector<uint8_t> cell(static_cast<size_t>(cellsW) * cellsH);
        for (int y = 0; y < cellsH; ++y)
            for (int x = 0; x < cellsW; ++x)
                cell[static_cast<size_t>(y) * cellsW + x] =
                    solid[static_cast<size_t>(y * cs + cs / 2) * w + x * cs + cs / 2];
        auto reach = [&](int x, int y, int r) {
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    int qx = x + dx, qy = y + dy;
                    if (qx >= 0 && qy >= 0 && qx < cellsW && qy < cellsH &&
                        cell[static_cast<size_t>(qy) * cellsW + qx])
                        return true;
                }
            return false;
        };
        float r = total;
        for (const Stroke& s : strokes) {
            int ri = static_cast<int>(r);
            for (int y = 0; y < cellsH; ++y)
                for (int x = 0; x < cellsW; ++x)
                    if (ri > 0 && reach(x, y, ri))
                        for (int py = 0; py < cs; ++py)
                            for (int px = 0; px < cs; ++px)
                                canvas_.blend(ox_ + x * cs + px, oy_ + y * cs + py, s.colour, 1);
            r -= std::round(s.width);
        }
    } else {
        std::vector<float> dist = distanceField(solid, w, h);
        float r = total;
        for (const Stroke& s : strokes) {
            float rp = r * scale_;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    float k = clamp01(rp + 0.5f - dist[static_cast<size_t>(y) * w + x]);
                    if (k > 0) canvas_.blend(ox_ + x, oy_ + y, s.colour, k);
                }
            }
            r -= s.width;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba p = layer.get(x, y);
            if (p.a > 0) canvas_.blend(ox_ + x, oy_ + y, p, 1);
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
