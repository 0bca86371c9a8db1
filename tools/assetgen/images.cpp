// The image table and the grid renderer. Names, frame sizes and counts are the ones the game
// loads; the column counts keep every file square-ish (at most 2048 pixels wide at 4x) so the
// largest textures stay within what any OpenGL driver accepts.
#include "tools/assetgen/images.h"

#include <cmath>

namespace assetgen {

namespace {

constexpr float kFlatLevels = 5; // steps a channel between black and full, for flat colours

ImageDef entry(std::string name, int w, int h, int frames, int columns,
               std::function<void(Pen&, int)> paint, bool pixel = false, bool hd = true) {
    return ImageDef{std::move(name), w, h, frames, columns, pixel, hd, std::move(paint)};
}

void flatten(Canvas& canvas) {
    auto step = [](float v) { return std::round(v * kFlatLevels) / kFlatLevels; };
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba p = canvas.get(x, y);
            if (p.a > 0) canvas.set(x, y, Rgba{step(p.r), step(p.g), step(p.b), p.a});
        }
    }
}

} // namespace

std::vector<ImageDef> allImages() {
    std::vector<ImageDef> list;
    for (const Theme& t : themes()) {
        const Theme* theme = &t;
        list.push_back(entry(
            "blocks_world" + t.suffix, kBlockSize, kBlockSize, kBlockFrames, 14,
            [theme](Pen& pen, int f) { paintBlockFrame(pen, *theme, f); }, t.pixel));
        list.back().backdrop = t.bg;
        list.back().flatColours = t.pixel;
        list.push_back(entry(
            "strips_world" + t.suffix, kStripW, kStripH, kStripFrames, 1,
            [theme](Pen& pen, int f) { paintStrip(pen, *theme, f); }, t.pixel));
        list.back().backdrop = t.bg;
        list.back().flatColours = t.pixel;
    }
    list.push_back(entry("menu", 64, 64, 64, 8, paintMenu));
    list.push_back(entry("record", 128, 128, 4, 2, paintRecord));
    list.push_back(entry("logo", 256, 128, 1, 1, paintLogo));
    list.push_back(entry("logo_heart", 256, 128, 1, 1, paintLogoHeart));
    list.push_back(entry("BadgesA", 64, 64, 64, 8, paintBadge));
    list.push_back(entry("common/circle", 256, 256, 4, 2, paintCircle));
    list.push_back(entry("common/light", 32, 32, 4, 2, paintLight));
    list.push_back(entry("common/Testcard_Circle", 256, 256, 1, 1, paintTestcard));
    list.push_back(entry("common/UlvoLogo", 256, 256, 1, 1, paintStudioLogo));
    list.push_back(entry("common/dpad", 32, 32, 16, 4, paintDpad));
    list.push_back(entry("common/icons", 32, 32, 16, 4, paintIcons));
    list.push_back(entry("common/Buttons", 64, 64, 16, 4, paintButtons));
    list.push_back(entry("parts", 8, 8, 256, 16, paintParts));
    list.push_back(entry("bobs", 32, 32, 64, 8, paintBobs));
    list.push_back(entry("fonts/shadow_editundo", 16, 16, 128, 16, paintFontGlyph, true));
    // The framework's default font: one row of 96 glyphs padded by a pixel left and right.
    list.push_back(entry("vexa_font", 8, 10, 96, 96, paintSmallFontGlyph, true, false));
    return list;
}

Canvas renderImage(const ImageDef& def, int level) {
    int rows = (def.frames + def.columns - 1) / def.columns;
    int fw = def.frameW * level, fh = def.frameH * level;
    Canvas canvas(fw * def.columns, fh * rows);
    for (int f = 0; f < def.frames; ++f) {
        Pen pen(canvas, (f % def.columns) * fw, (f / def.columns) * fh, def.frameW, def.frameH,
                static_cast<float>(level), def.pixel);
        def.paint(pen, f);
    }
    if (def.flatColours) flatten(canvas);
    return canvas;
}

} // namespace assetgen
