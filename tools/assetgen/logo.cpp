// The game's logo "Brambolt3" (image "logo") and its emblem (image "logo_heart"). The letters
// are the pixel face blown up into rounded cells merged into one outline, filled with a warm
// gradient and a glossy band; the "3" is set apart in cool blue. The emblem is a glossy heart
// ringed by bramble thorns with a bolt across it, the wordmark cut out of it as a stencil so
// that the two, drawn one over the other in the intro, both read.
#include <cmath>
#include <string>
#include <vector>

#include "tools/assetgen/images.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr const char* kTitle = "Brambolt3";
constexpr float kCellW = 4.55f;
constexpr float kCellH = 8.0f;
constexpr float kTop = 34.0f;
constexpr float kLeft = 8.0f;
constexpr float kStencil = 0.7f; // how much of the heart is cut away over the letters

struct Cell {
    float cx, cy;
    bool digit;
};

std::vector<Cell> titleCells() {
    std::vector<Cell> cells;
    std::string title = kTitle;
    for (size_t i = 0; i < title.size(); ++i) {
        const unsigned char* rows = glyphRows(static_cast<unsigned char>(title[i]));
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < kGlyphCols; ++c)
                if (rows[r] & (1 << (kGlyphCols - 1 - c)))
                    cells.push_back({kLeft + (static_cast<float>(i) * 6 + c + 0.5f) * kCellW,
                                     kTop + (r + 0.5f) * kCellH, title[i] == '3'});
    }
    return cells;
}

float titleDistance(const std::vector<Cell>& cells, float x, float y, int which) {
    float d = 1e9f;
    for (const Cell& c : cells) {
        if (which == 1 && c.digit) continue;
        if (which == 2 && !c.digit) continue;
        if (std::fabs(x - c.cx) > 12 || std::fabs(y - c.cy) > 14) continue;
        // Cells overlap a little so the rounded corners close up into solid strokes.
        d = std::min(d, sdBox(x, y, c.cx, c.cy, kCellW * 0.5f + 0.6f, kCellH * 0.5f + 0.6f, 0.8f));
    }
    return d;
}

Rgba letterFill(float y, bool digit) {
    float t = (y - kTop) / (7 * kCellH);
    Rgba top = digit ? hex(0x8af4ff) : hex(0xfff07a),
         bottom = digit ? hex(0x2a6ae0) : hex(0xff6a1a);
    Rgba c = mix(top, bottom, t);
    if (t > 0.08f && t < 0.38f)
        c = mix(c, hex(0xffffff), 0.35f * (1 - std::fabs(t - 0.23f) / 0.15f));
    return c;
}

} // namespace

void paintLogo(Pen& pen, int) {
    static const std::vector<Cell> cells = titleCells();
    const float x0 = 0, y0 = 20, x1 = 256, y1 = 108;
    // Shadow, outline, then the two fills.
    pen.fill(
        x0, y0, x1, y1,
        [&](float x, float y) { return titleDistance(cells, x - 3, y - 4, 0) - 3.5f; },
        rgb(0, 0, 0, 0.5f));
    pen.fill(
        x0, y0, x1, y1, [&](float x, float y) { return titleDistance(cells, x, y, 0) - 3.0f; },
        hex(0x2a1040));
    pen.fill(
        x0, y0, x1, y1, [&](float x, float y) { return titleDistance(cells, x, y, 1); },
        [](float, float y) { return letterFill(y, false); });
    pen.fill(
        x0, y0, x1, y1, [&](float x, float y) { return titleDistance(cells, x, y, 2); },
        [](float, float y) { return letterFill(y, true); });
    // A few sparkles.
    for (auto [sx, sy, r] :
         {std::tuple{30.0f, 30.0f, 7.0f}, {226.0f, 96.0f, 6.0f}, {150.0f, 28.0f, 4.5f}}) {
        pen.glow(sx, sy, 0.5f, r, hex(0xffffff, 0.8f));
        pen.polygon(starPoints(sx, sy, 4, r, r * 0.2f, 0), hex(0xffffff));
    }
}

void paintLogoHeart(Pen& pen, int) {
    const float cx = 128, cy = 66, s = 52;
    auto heart = [=](float x, float y, float k) {
        float u = (x - cx) / (s * k), v = (y - cy) / (s * k);
        float l = sdCircle(u, v, -0.45f, -0.25f, 0.52f), r = sdCircle(u, v, 0.45f, -0.25f, 0.52f);
        float tri = sdPolygon(u, v, {-0.93f, 0.0f, 0.93f, 0.0f, 0, 0.95f});
        return std::min(std::min(l, r), tri) * s * k;
    };
    // Bramble ring: thorny stems round the heart.
    for (int i = 0; i < 28; ++i) {
        float a = i * 2 * 3.14159265f / 28;
        float rx = 70 + 4 * std::sin(i * 1.7f), ry = 56 + 3 * std::cos(i * 2.3f);
        float x = cx + std::cos(a) * rx, y = cy + std::sin(a) * ry;
        float a2 = a + 0.3f;
        pen.line(x, y, cx + std::cos(a2) * rx, cy + std::sin(a2) * ry, 4, hex(0x3a6a2a));
        pen.polygon({x - 2, y, x + 2, y, x + std::cos(a) * 8, y + std::sin(a) * 8}, hex(0x6a9a3a));
        if (i % 5 == 0)
            pen.circle(x, y, 4, [=](float px, float py) {
                return litSphere(hex(0x5a1a6a), (px - x) / 4, (py - y) / 4);
            });
    }
    pen.fill(
        cx - s - 4, cy - s, cx + s + 4, cy + s + 4,
        [&](float x, float y) { return heart(x - 3, y - 4, 1.0f); }, rgb(0, 0, 0, 0.45f));
    pen.fill(
        cx - s - 4, cy - s, cx + s + 4, cy + s + 4,
        [&](float x, float y) { return heart(x, y, 1.0f); }, hex(0x600818));
    pen.fill(
        cx - s, cy - s, cx + s, cy + s, [&](float x, float y) { return heart(x, y, 0.92f); },
        [=](float x, float y) {
            return litSphere(hex(0xf02a4a), (x - cx) / (s * 0.9f), (y - cy + 6) / (s * 0.9f));
        });
    pen.polygon({cx + 6, cy - 40, cx - 16, cy + 2, cx - 2, cy + 2, cx - 10, cy + 36, cx + 16,
                 cy - 8, cx + 2, cy - 8, cx + 12, cy - 40},
                hex(0xfff06a));
    pen.polygon({cx + 6, cy - 40, cx - 16, cy + 2, cx - 10, cy + 2, cx + 8, cy - 36},
                hex(0xffffff, 0.8f));
    // The intro draws the heart over the wordmark at the same place and size: where the
    // letters lie the heart is mostly clear, so the word reads through it while both show,
    // and the heart alone keeps its shape with the name as a faint stencil.
    static const std::vector<Cell> cells = titleCells();
    pen.cut(
        0, 20, 256, 108, [&](float x, float y) { return titleDistance(cells, x, y, 0) - 4.0f; },
        kStencil);
}

} // namespace assetgen
