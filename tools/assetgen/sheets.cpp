// Contact sheet layout: cells of (frame x zoom) with a label bar above each frame. Labels use
// the 5x7 face of the fonts, drawn straight into the sheet.
#include "tools/assetgen/sheets.h"

#include <string>

namespace assetgen {

namespace {

constexpr int kLabelH = 10;
constexpr int kPad = 2;
constexpr int kMaxSheetW = 1600;
const Rgba kSheetBg = rgb(24, 24, 28);

void blitText(Canvas& c, int x, int y, const std::string& text, const Rgba& colour, int zoom = 1) {
    for (char ch : text) {
        const unsigned char* rows = glyphRows(static_cast<unsigned char>(ch));
        for (int r = 0; r < kGlyphRows; ++r) {
            for (int col = 0; col < kGlyphCols; ++col) {
                if (!(rows[r] & (1 << (kGlyphCols - 1 - col)))) continue;
                for (int dy = 0; dy < zoom; ++dy) {
                    for (int dx = 0; dx < zoom; ++dx) {
                        c.blend(x + (col + 1) * zoom + dx, y + (r + 1) * zoom + dy, rgb(0, 0, 0),
                                1);
                        c.blend(x + col * zoom + dx, y + r * zoom + dy, colour, 1);
                    }
                }
            }
        }
        x += (kGlyphCols + 1) * zoom;
    }
}

Rgba checker(int x, int y) {
    return ((x / 8 + y / 8) % 2) ? rgb(90, 90, 96) : rgb(120, 120, 128);
}

} // namespace

Canvas contactSheet(const ImageDef& def) {
    Canvas image = renderImage(def, 1);
    int zoom = def.frameW <= 16 ? 4 : (def.frameW <= 36 ? 2 : 1);
    int cellW = def.frameW * zoom + kPad * 2, cellH = def.frameH * zoom + kLabelH + kPad * 2;
    int cols = std::max(1, std::min(def.frames, kMaxSheetW / cellW));
    if (def.columns < cols && def.columns * cellW >= 256) cols = def.columns;
    int rows = (def.frames + cols - 1) / cols;
    int headerH = 14;
    Canvas sheet(std::max(cols * cellW, 200), rows * cellH + headerH);
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x) sheet.set(x, y, kSheetBg);
    blitText(sheet, 2, 2, def.name, rgb(255, 220, 120));
    int ic = def.columns;
    for (int f = 0; f < def.frames; ++f) {
        int cx = (f % cols) * cellW, cy = headerH + (f / cols) * cellH;
        int sx = (f % ic) * def.frameW, sy = (f / ic) * def.frameH;
        for (int y = 0; y < def.frameH * zoom; ++y) {
            for (int x = 0; x < def.frameW * zoom; ++x) {
                int px = cx + kPad + x, py = cy + kLabelH + kPad + y;
                sheet.set(px, py, def.backdrop.a > 0 ? def.backdrop : checker(x, y));
                sheet.blend(px, py, image.get(sx + x / zoom, sy + y / zoom), 1);
            }
        }
        blitText(sheet, cx + kPad, cy + 1, std::to_string(f), rgb(200, 200, 210));
    }
    return sheet;
}

Canvas fontSample() {
    // The game font's glyph frames laid out at advance 7 as the game writes text, at 2x.
    static const char* lines[] = {
        "BRAMBOLT3  Level 42  SUPER : 12", "The quick brown fox jumps over",
        "the lazy dog. 0123456789 !?%&*()", "Best  00012345   Last  00000990"};
    const int zoom = 2, advance = 7, lineH = 14, cell = 16;
    ImageDef font;
    for (const ImageDef& s : allImages()) {
        if (s.name == "fonts/shadow_editundo") font = s;
    }
    Canvas glyphs = renderImage(font, 1);
    Canvas out(260 * zoom, (4 + 2) * lineH * zoom);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.set(x, y, rgb(0, 0, 80));
    auto drawGlyph = [&](int frame, int x0, int y0) {
        int gx = (frame % font.columns) * cell, gy = (frame / font.columns) * cell;
        for (int y = 0; y < cell * zoom; ++y)
            for (int x = 0; x < cell * zoom; ++x)
                out.blend(x0 + x, y0 + y, glyphs.get(gx + x / zoom, gy + y / zoom), 1);
    };
    int y = 4;
    for (const char* line : lines) {
        int x = 4;
        for (const char* p = line; *p; ++p) {
            drawGlyph(*p - 32, x, y);
            x += advance * zoom;
        }
        y += lineH * zoom;
    }
    int x = 4;
    for (int g = 96; g <= 124; ++g) {
        if (g > 108 && g < 112) continue;
        drawGlyph(g, x, y);
        x += 17 * zoom / 2;
    }
    return out;
}

namespace {

const ImageDef& findImage(const std::string& name) {
    static const std::vector<ImageDef> images = allImages();
    for (const ImageDef& d : images) {
        if (d.name == name) return d;
    }
    return images.front();
}

// Draws frame f of a rendered 1x image centred at (cx, cy), scaled by an integer factor with
// nearest sampling, optionally mirrored left to right.
void blitFrame(Canvas& dst, const Canvas& src, const ImageDef& def, int f, int cx, int cy,
               int scale, bool mirror = false) {
    int sx = (f % def.columns) * def.frameW, sy = (f / def.columns) * def.frameH;
    int w = def.frameW * scale, h = def.frameH * scale;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int u = mirror ? def.frameW - 1 - x / scale : x / scale;
            dst.blend(cx - w / 2 + x, cy - h / 2 + y, src.get(sx + u, sy + y / scale), 1);
        }
    }
}

constexpr int kScreenW = 640, kScreenH = 480;
constexpr int kRowH = 64, kGroundRow = 5, kGroundY = 304;

} // namespace

Canvas playMockup(const Theme& t) {
    const ImageDef& blocksDef = findImage("blocks_world" + t.suffix);
    const ImageDef& stripsDef = findImage("strips_world" + t.suffix);
    const ImageDef& bobsDef = findImage("bobs");
    Canvas blocks = renderImage(blocksDef, 1), strips = renderImage(stripsDef, 1);
    Canvas out(kScreenW, kScreenH);
    for (int y = 0; y < kScreenH; ++y)
        for (int x = 0; x < kScreenW; ++x) out.set(x, y, t.bg);
    // Floor rows at double size, 64 apart, scrolled so a strip's wrap shows on screen.
    for (int row = 0; row < 8; ++row) {
        int frame = row < kGroundRow ? row % 2 : (row == kGroundRow ? 2 : 3);
        int cy = row * kRowH + kRowH / 2;
        for (int x = -700; x < kScreenW + 1024; x += 1024)
            blitFrame(out, strips, stripsDef, frame, x + 512, cy, 2);
    }
    for (int i = 0; i < 24; ++i) {
        int x = static_cast<int>((i * 7919u) % kScreenW), y = static_cast<int>((i * 104729u) % 280);
        blitFrame(out, blocks, blocksDef, kStarFrame + i % 14, x, y, 1);
    }
    for (int i = 0; i < 4; ++i)
        blitFrame(out, blocks, blocksDef, kDecoLayer1 + i, 70 + i * 170, kGroundY + 16 - 36, 2);
    if (t.look == Look::Parade || t.look == Look::Moon) {
        for (int i = 0; i < 2; ++i)
            blitFrame(out, blocks, blocksDef, kDecoLayer2 + i * 2, 155 + i * 170,
                      kGroundY + 16 - 36, 2);
    }
    const int classes[] = {1, 4, 8, 12};
    for (int i = 0; i < 4; ++i)
        blitFrame(out, blocks, blocksDef, kSpikeFrame + classes[i] - 1, 330 + i * 80,
                  kGroundY - (classes[i] - 1) * 16, 1);
    int ballScale = t.look == Look::Ghost ? 2 : 1; // themes 9 and 15 use 1.75, shown here at 2
    if (t.look == Look::Neon || t.look == Look::Pirate) ballScale = 2;
    int lift = t.look == Look::Ghost ? 32 : 0;
    bool mirror = t.number == 16;
    blitFrame(out, blocks, blocksDef, kBallFrame, 160, kGroundY - lift, ballScale, mirror);
    blitFrame(out, blocks, blocksDef, kBallFrame + 3, 250, kGroundY - 110 - lift, ballScale,
              mirror);
    if (t.look == Look::Pasture) {
        Canvas bobs = renderImage(bobsDef, 1);
        blitFrame(out, bobs, bobsDef, 0, 60, kGroundY + 4, 1, mirror);
    }
    return out;
}

} // namespace assetgen
