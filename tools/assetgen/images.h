// The image table of the data folder: every image file the game loads, its frame grid and the
// painter that draws one frame. The writer renders each entry at 1x, 2x ("-hd") and 4x
// ("-hd2"): frame sizes scale, frame counts and the grid layout do not.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/themes.h"

namespace assetgen {

// Frames of image 1 ("blocks_world...") that play draws beyond balls, spikes and decorations.
constexpr int kBallFrame = 0;          // 0..13
constexpr int kSpikeFrame = 14;        // 14..27, height classes 1..14
constexpr int kDecoLayer1 = 28;        // 28..31
constexpr int kDecoLayer2 = 42;        // 42..45
constexpr int kStarFrame = 56;         // 56..69
constexpr int kDecoLayer4 = 70;        // 70..73
constexpr int kItemFrame = 84;         // the collectable
constexpr int kItemIconFrame = 85;     // its empty icon
constexpr int kPillarBlockFrame = 112; // one block of a pillar (theme 15)
constexpr int kWallBlockFrame = 113;   // one block of a closed wall (Buttons kind)
constexpr int kButtonFrame = 114;      // the button that opens the wall
constexpr int kLavaFrame = 115;        // the lava column of the Lava Chase
constexpr int kLavaBlobFrame = 116;    // a loose lava blob
constexpr int kMarkerFrame = 117;      // marker of a hidden spike (Deja Vu)

constexpr int kBlockSize = 36;
constexpr int kBlockFrames = 196;
constexpr int kStripW = 512;
constexpr int kStripH = 36;
constexpr int kStripFrames = 14;

using FramePainter = std::function<void(Pen& pen, int frame)>;

struct ImageDef {
    std::string name; // path under data/, without resolution suffix and ".png"
    int frameW;
    int frameH;
    int frames;
    int columns;
    bool pixel;  // pixel-art painter: samples snap to the 1x grid
    bool hdSets; // also written as "-hd" and "-hd2"
    FramePainter paint;
    Rgba backdrop = {}; // contact sheets show frames on this colour (a checker when clear)
    // Colours reduced to a few flat levels a channel after painting: a pixel-art theme's
    // props, floor and sky then share its flat pixel style, with no smooth shading among them.
    bool flatColours = false;
};

// Every image of the data folder.
std::vector<ImageDef> allImages();

// Renders an image at a resolution level (1, 2 or 4) into a canvas of the whole grid.
Canvas renderImage(const ImageDef& def, int level);

// Family painters (one file each).
void paintBlockFrame(Pen& pen, const Theme& theme, int frame); // blocks_*.cpp
void paintBall(Pen& pen, const Theme& theme, int frame);
void paintSpike(Pen& pen, const Theme& theme, int heightClass);
void paintDecoration(Pen& pen, const Theme& theme, int layer, int index);
void paintStar(Pen& pen, const Theme& theme, int index);
void paintSpecialBlock(Pen& pen, const Theme& theme, int frame);
void paintItem(Pen& pen, const Theme& theme, bool icon);
void paintStrip(Pen& pen, const Theme& theme, int frame); // strips.cpp
void paintMenu(Pen& pen, int frame);                      // menu_icons.cpp
void paintRecord(Pen& pen, int frame);
void paintBadge(Pen& pen, int frame);
void paintButtons(Pen& pen, int frame); // ui_images.cpp
void paintIcons(Pen& pen, int frame);
void paintDpad(Pen& pen, int frame);
void paintCircle(Pen& pen, int frame);
void paintLight(Pen& pen, int frame);
void paintTestcard(Pen& pen, int frame);
void paintStudioLogo(Pen& pen, int frame);
void paintLogo(Pen& pen, int frame); // logo.cpp
void paintLogoHeart(Pen& pen, int frame);
void paintParts(Pen& pen, int frame); // sprites.cpp
void paintBobs(Pen& pen, int frame);
void paintFontGlyph(Pen& pen, int frame); // font.cpp
void paintSmallFontGlyph(Pen& pen, int frame);

// The 5x7 pixel face shared by the fonts and the contact sheets' labels: rows of 5 bits
// (bit 4 the left column) for codes 32..127, 9 rows with two below the baseline.
const unsigned char* glyphRows(int code);
constexpr int kGlyphRows = 9;
constexpr int kGlyphCols = 5;

// Text in the pixel face, each font pixel a px-sized square, centred on (cx, cy) when centred.
void drawPixelText(Pen& pen, float cx, float cy, const std::string& text, float px,
                   const Rgba& colour, bool centred = true, float shadow = 0);

} // namespace assetgen
