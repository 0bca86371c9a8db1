// The game's pixel face: 5x7 capitals and digits, lowercase with two rows of descenders, drawn
// white with a dark drop shadow one pixel down and right; the game font also rings each glyph
// with a solid dark outline one pixel wide. The game font places each glyph in
// the middle of a 16x16 cell (its frames have centred handles); glyphs 96..108 are controller
// button icons and 112..124 the same actions as keyboard keys. The framework's small default
// font uses the same face in 8x10 frames with a pixel of padding at each side.
#include <cmath>
#include <string>

#include "tools/assetgen/images.h"

namespace assetgen {

namespace {

constexpr int kFirst = 32;
constexpr int kCount = 96;
constexpr int kCell = 16;
constexpr int kGlyphX = 5; // left column of a glyph in its cell
constexpr int kGlyphY = 4; // cap line of a glyph in its cell
constexpr float kShadowAlpha = 0.75f;
// The game font's ring round each glyph.
const Rgba kOutline{0.02f, 0.02f, 0.04f, 1.0f};
constexpr int kIconPad = 16; // keyboard icons follow the controller ones at +16
constexpr int kFirstIcon = 96;
constexpr int kIconCount = 13;

// Rows of each glyph, '#' set, '|' between rows; 7 rows above the baseline, 2 below.
const char* const kFace[kCount] = {
    ".....|.....|.....|.....|.....|.....|.....|.....|.....", // space
    "..#..|..#..|..#..|..#..|..#..|.....|..#..|.....|.....", // !
    ".#.#.|.#.#.|.....|.....|.....|.....|.....|.....|.....", // "
    ".#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#.|.....|.....", // #
    "..#..|.####|#.#..|.###.|..#.#|####.|..#..|.....|.....", // $
    "##..#|##..#|...#.|..#..|.#...|#..##|#..##|.....|.....", // %
    ".##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#|.....|.....", // &
    "..#..|..#..|.....|.....|.....|.....|.....|.....|.....", // '
    "...#.|..#..|.#...|.#...|.#...|..#..|...#.|.....|.....", // (
    ".#...|..#..|...#.|...#.|...#.|..#..|.#...|.....|.....", // )
    ".....|..#..|#.#.#|.###.|#.#.#|..#..|.....|.....|.....", // *
    ".....|..#..|..#..|#####|..#..|..#..|.....|.....|.....", // +
    ".....|.....|.....|.....|.....|..#..|..#..|.#...|.....", // ,
    ".....|.....|.....|#####|.....|.....|.....|.....|.....", // -
    ".....|.....|.....|.....|.....|.##..|.##..|.....|.....", // .
    "....#|....#|...#.|..#..|.#...|#....|#....|.....|.....", // /
    ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.|.....|.....", // 0
    "..#..|.##..|..#..|..#..|..#..|..#..|.###.|.....|.....", // 1
    ".###.|#...#|....#|...#.|..#..|.#...|#####|.....|.....", // 2
    "#####|...#.|..#..|...#.|....#|#...#|.###.|.....|.....", // 3
    "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.|.....|.....", // 4
    "#####|#....|####.|....#|....#|#...#|.###.|.....|.....", // 5
    "..##.|.#...|#....|####.|#...#|#...#|.###.|.....|.....", // 6
    "#####|....#|...#.|..#..|.#...|.#...|.#...|.....|.....", // 7
    ".###.|#...#|#...#|.###.|#...#|#...#|.###.|.....|.....", // 8
    ".###.|#...#|#...#|.####|....#|...#.|.##..|.....|.....", // 9
    ".....|.##..|.##..|.....|.##..|.##..|.....|.....|.....", // :
    ".....|.##..|.##..|.....|.##..|.##..|..#..|.#...|.....", // ;
    "...#.|..#..|.#...|#....|.#...|..#..|...#.|.....|.....", // <
    ".....|.....|#####|.....|#####|.....|.....|.....|.....", // =
    ".#...|..#..|...#.|....#|...#.|..#..|.#...|.....|.....", // >
    ".###.|#...#|....#|...#.|..#..|.....|..#..|.....|.....", // ?
    ".###.|#...#|#.###|#.#.#|#.###|#....|.####|.....|.....", // @
    ".###.|#...#|#...#|#####|#...#|#...#|#...#|.....|.....", // A
    "####.|#...#|#...#|####.|#...#|#...#|####.|.....|.....", // B
    ".###.|#...#|#....|#....|#....|#...#|.###.|.....|.....", // C
    "###..|#..#.|#...#|#...#|#...#|#..#.|###..|.....|.....", // D
    "#####|#....|#....|####.|#....|#....|#####|.....|.....", // E
    "#####|#....|#....|####.|#....|#....|#....|.....|.....", // F
    ".###.|#...#|#....|#.###|#...#|#...#|.####|.....|.....", // G
    "#...#|#...#|#...#|#####|#...#|#...#|#...#|.....|.....", // H
    ".###.|..#..|..#..|..#..|..#..|..#..|.###.|.....|.....", // I
    "..###|...#.|...#.|...#.|...#.|#..#.|.##..|.....|.....", // J
    "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#|.....|.....", // K
    "#....|#....|#....|#....|#....|#....|#####|.....|.....", // L
    "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#|.....|.....", // M
    "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#|.....|.....", // N
    ".###.|#...#|#...#|#...#|#...#|#...#|.###.|.....|.....", // O
    "####.|#...#|#...#|####.|#....|#....|#....|.....|.....", // P
    ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#|.....|.....", // Q
    "####.|#...#|#...#|####.|#.#..|#..#.|#...#|.....|.....", // R
    ".####|#....|#....|.###.|....#|....#|####.|.....|.....", // S
    "#####|..#..|..#..|..#..|..#..|..#..|..#..|.....|.....", // T
    "#...#|#...#|#...#|#...#|#...#|#...#|.###.|.....|.....", // U
    "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..|.....|.....", // V
    "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.|.....|.....", // W
    "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#|.....|.....", // X
    "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..|.....|.....", // Y
    "#####|....#|...#.|..#..|.#...|#....|#####|.....|.....", // Z
    ".###.|.#...|.#...|.#...|.#...|.#...|.###.|.....|.....", // [
    "#....|#....|.#...|..#..|...#.|....#|....#|.....|.....", // backslash
    ".###.|...#.|...#.|...#.|...#.|...#.|.###.|.....|.....", // ]
    "..#..|.#.#.|#...#|.....|.....|.....|.....|.....|.....", // ^
    ".....|.....|.....|.....|.....|.....|.....|#####|.....", // _
    ".#...|..#..|.....|.....|.....|.....|.....|.....|.....", // `
    ".....|.....|.###.|....#|.####|#...#|.####|.....|.....", // a
    "#....|#....|####.|#...#|#...#|#...#|####.|.....|.....", // b
    ".....|.....|.###.|#....|#....|#...#|.###.|.....|.....", // c
    "....#|....#|.####|#...#|#...#|#...#|.####|.....|.....", // d
    ".....|.....|.###.|#...#|#####|#....|.###.|.....|.....", // e
    "..##.|.#...|.#...|###..|.#...|.#...|.#...|.....|.....", // f
    ".....|.....|.####|#...#|#...#|#...#|.####|....#|.###.", // g
    "#....|#....|#.##.|##..#|#...#|#...#|#...#|.....|.....", // h
    "..#..|.....|.##..|..#..|..#..|..#..|.###.|.....|.....", // i
    "...#.|.....|..##.|...#.|...#.|...#.|...#.|#..#.|.##..", // j
    "#....|#....|#..#.|#.#..|##...|#.#..|#..#.|.....|.....", // k
    ".##..|..#..|..#..|..#..|..#..|..#..|.###.|.....|.....", // l
    ".....|.....|##.#.|#.#.#|#.#.#|#.#.#|#.#.#|.....|.....", // m
    ".....|.....|#.##.|##..#|#...#|#...#|#...#|.....|.....", // n
    ".....|.....|.###.|#...#|#...#|#...#|.###.|.....|.....", // o
    ".....|.....|####.|#...#|#...#|#...#|####.|#....|#....", // p
    ".....|.....|.####|#...#|#...#|#...#|.####|....#|....#", // q
    ".....|.....|#.##.|##..#|#....|#....|#....|.....|.....", // r
    ".....|.....|.####|#....|.###.|....#|####.|.....|.....", // s
    ".#...|.#...|###..|.#...|.#...|.#..#|..##.|.....|.....", // t
    ".....|.....|#...#|#...#|#...#|#..##|.##.#|.....|.....", // u
    ".....|.....|#...#|#...#|#...#|.#.#.|..#..|.....|.....", // v
    ".....|.....|#...#|#...#|#.#.#|#.#.#|.#.#.|.....|.....", // w
    ".....|.....|#...#|.#.#.|..#..|.#.#.|#...#|.....|.....", // x
    ".....|.....|#...#|#...#|#...#|#...#|.####|....#|.###.", // y
    ".....|.....|#####|...#.|..#..|.#...|#####|.....|.....", // z
    "...##|..#..|..#..|.#...|..#..|..#..|...##|.....|.....", // {
    "..#..|..#..|..#..|..#..|..#..|..#..|..#..|.....|.....", // |
    "##...|..#..|..#..|...#.|..#..|..#..|##...|.....|.....", // }
    ".....|.....|.#...|#.#.#|...#.|.....|.....|.....|.....", // ~
    "#####|#...#|#.#.#|#...#|#.#.#|#...#|#####|.....|.....", // box
};

struct FaceTable {
    unsigned char rows[kCount][kGlyphRows];
    FaceTable() {
        for (int g = 0; g < kCount; ++g) {
            const char* p = kFace[g];
            for (int r = 0; r < kGlyphRows; ++r) {
                unsigned char bits = 0;
                for (int c = 0; c < kGlyphCols; ++c, ++p)
                    bits = static_cast<unsigned char>((bits << 1) | (*p == '#'));
                rows[g][r] = bits;
                if (*p == '|') ++p;
            }
        }
    }
};

const FaceTable& face() {
    static const FaceTable table;
    return table;
}

// Draws rows of `cols` bits (bit cols-1 the left column) with the drop shadow, and with
// `outlined` a solid dark ring one pixel round every set pixel first, so that the text reads
// on light and dark skies alike whatever colour the game tints it.
void drawRows(Pen& pen, const unsigned char* rows, int cols, float x0, float y0,
              bool outlined = false) {
    const Rgba shadow = rgb(0, 0, 0, kShadowAlpha), ink = rgb(255, 255, 255);
    if (outlined) {
        for (int r = 0; r < kGlyphRows; ++r) {
            for (int c = 0; c < cols; ++c) {
                if (!(rows[r] & (1 << (cols - 1 - c)))) continue;
                pen.rect(x0 + c - 1, y0 + r - 1, 3, 3, kOutline);
            }
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int r = 0; r < kGlyphRows; ++r) {
            for (int c = 0; c < cols; ++c) {
                if (!(rows[r] & (1 << (cols - 1 - c)))) continue;
                float off = pass == 0 ? 1.0f : 0.0f;
                pen.rect(x0 + c + off, y0 + r + off, 1, 1, pass == 0 ? shadow : ink);
            }
        }
    }
}

void drawGlyph(Pen& pen, int code, float x0, float y0, bool outlined = false) {
    drawRows(pen, glyphRows(code), kGlyphCols, x0, y0, outlined);
}

// The game's text gives "m" and "w" two pixels more room than other letters; in the game
// font they are drawn seven columns wide, one column further left, to fill it.
constexpr int kWideCols = 7;
const unsigned char kWideM[kGlyphRows] = {0b0000000, 0b0000000, 0b1110110, 0b1001001, 0b1001001,
                                          0b1001001, 0b1001001, 0,         0};
const unsigned char kWideW[kGlyphRows] = {0b0000000, 0b0000000, 0b1000001, 0b1000001, 0b1001001,
                                          0b1001001, 0b0110110, 0,         0};

// Controller icons: four face buttons, two shoulders, then select, start, home and the
// four directions. Keyboard icons are key caps with the letters the game binds.
void drawIcon(Pen& pen, int index, bool keyboard) {
    Pen smooth = pen.withPixel(false);
    const float cx = kCell / 2.0f, cy = kCell / 2.0f;
    static const char* const kKeyLabels[kIconCount] = {"Z", "X", "C", "V", "B", "N", "Q",
                                                       "E", "F", "",  "",  "",  ""};
    // Direction icons in escape order W, S, A, D: up, down, left, right (arrow turns clockwise).
    static const int kArrowTurn[4] = {0, 2, 3, 1};
    static const uint32_t kFaceColours[4] = {0x38c048, 0xe03a3a, 0x3a7ae0, 0xf0c020};
    static const char* const kFaceLetters[4] = {"A", "B", "X", "Y"};
    auto arrow = [&](int dir, const Rgba& c) {
        float a = dir * 3.14159265f / 2;
        float s = std::sin(a), co = std::cos(a);
        auto p = [&](float u, float v) {
            return std::vector<float>{cx + u * co - v * s, cy + u * s + v * co};
        };
        std::vector<float> tri;
        for (auto [u, v] : {std::pair{0.0f, -4.5f}, {4.0f, 1.0f}, {-4.0f, 1.0f}}) {
            auto q = p(u, v);
            tri.insert(tri.end(), q.begin(), q.end());
        }
        smooth.polygon(tri, c);
        auto q0 = p(0, 0), q1 = p(0, 4);
        smooth.line(q0[0], q0[1], q1[0], q1[1], 2.2f, c);
    };
    if (keyboard) {
        smooth.roundRect(1.5f, 2.5f, 13, 12, 2.5f, rgb(40, 40, 48));
        smooth.roundRect(1.5f, 1.5f, 13, 11.5f, 2.5f, rgb(236, 236, 240));
        smooth.roundRect(3, 2.5f, 10, 8.5f, 1.5f, rgb(250, 250, 252));
        if (index >= 9) {
            arrow(kArrowTurn[index - 9], rgb(40, 40, 48));
        } else {
            const unsigned char* rows = glyphRows(kKeyLabels[index][0]);
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < kGlyphCols; ++c)
                    if (rows[r] & (1 << (kGlyphCols - 1 - c)))
                        pen.rect(5.0f + c, 3.0f + r, 1, 1, rgb(40, 40, 48));
        }
        return;
    }
    if (index < 4) {
        Rgba c = hex(kFaceColours[index]);
        smooth.circle(cx + 0.6f, cy + 0.8f, 6.8f, rgb(0, 0, 0, 0.6f));
        smooth.circle(cx, cy, 6.8f, shade(c, -0.35f));
        smooth.circle(cx, cy - 0.4f, 6.0f, c);
        const unsigned char* rows = glyphRows(kFaceLetters[index][0]);
        for (int r = 0; r < 7; ++r)
            for (int col = 0; col < kGlyphCols; ++col)
                if (rows[r] & (1 << (kGlyphCols - 1 - col)))
                    pen.rect(6.0f + col, 4.0f + r, 1, 1, rgb(255, 255, 255));
        return;
    }
    if (index < 6) {
        smooth.roundRect(0.5f, 4, 15, 9, 4, rgb(60, 60, 70));
        smooth.roundRect(0.5f, 3.5f, 15, 8.5f, 4, rgb(190, 190, 200));
        const char* label = index == 4 ? "L" : "R";
        const unsigned char* rows = glyphRows(label[0]);
        for (int r = 0; r < 7; ++r)
            for (int col = 0; col < kGlyphCols; ++col)
                if (rows[r] & (1 << (kGlyphCols - 1 - col)))
                    pen.rect(5.0f + col, 4.0f + r, 1, 1, rgb(30, 30, 40));
        return;
    }
    if (index < 9) {
        smooth.roundRect(2, 5, 12, 6, 3, rgb(30, 30, 38));
        smooth.roundRect(2.5f, 5.5f, 11, 5, 2.5f, rgb(120, 120, 132));
        if (index == 8) smooth.circle(cx, cy, 3, rgb(240, 240, 250));
        return;
    }
    smooth.circle(cx, cy, 7.2f, rgb(30, 30, 38));
    smooth.circle(cx, cy, 6.4f, rgb(110, 110, 122));
    arrow(kArrowTurn[index - 9], rgb(255, 255, 255));
}

} // namespace

const unsigned char* glyphRows(int code) {
    if (code < kFirst || code >= kFirst + kCount) code = '?';
    return face().rows[code - kFirst];
}

void drawPixelText(Pen& pen, float x, float y, const std::string& text, float px,
                   const Rgba& colour, bool centred, float shadow) {
    const float advance = (kGlyphCols + 1) * px;
    if (centred) {
        x -= (advance * static_cast<float>(text.size()) - px) / 2;
        y -= 7 * px / 2;
    }
    for (int pass = shadow > 0 ? 0 : 1; pass < 2; ++pass) {
        Rgba c = pass == 0 ? rgb(0, 0, 0, 0.6f) : colour;
        float off = pass == 0 ? shadow : 0;
        float gx = x;
        for (char ch : text) {
            const unsigned char* rows = glyphRows(static_cast<unsigned char>(ch));
            for (int r = 0; r < kGlyphRows; ++r)
                for (int col = 0; col < kGlyphCols; ++col)
                    if (rows[r] & (1 << (kGlyphCols - 1 - col)))
                        pen.rect(gx + col * px + off, y + r * px + off, px, px, c);
            gx += advance;
        }
    }
}

void paintFontGlyph(Pen& pen, int frame) {
    if (frame + kFirst == 'm' || frame + kFirst == 'w') {
        drawRows(pen, frame + kFirst == 'm' ? kWideM : kWideW, kWideCols, kGlyphX - 1, kGlyphY,
                 true);
    } else if (frame < kCount) {
        drawGlyph(pen, frame + kFirst, kGlyphX, kGlyphY, true);
    } else if (frame >= kFirstIcon && frame < kFirstIcon + kIconCount) {
        drawIcon(pen, frame - kFirstIcon, false);
    } else if (frame >= kFirstIcon + kIconPad && frame < kFirstIcon + kIconPad + kIconCount) {
        drawIcon(pen, frame - kFirstIcon - kIconPad, true);
    }
}

void paintSmallFontGlyph(Pen& pen, int frame) {
    // One pixel of padding on the left; the glyph and its shadow fill the six columns after it.
    drawGlyph(pen, frame + kFirst, 1, 0);
}

} // namespace assetgen
