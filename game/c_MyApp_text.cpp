// c_MyApp text: lays a string out glyph by glyph as image commands in the bitmap font of slot
// m_font (frame = character code - 32), with per-letter spacing, button-icon escapes
// (character 172 then a letter), the backslash-n line break and rotation; and two small
// string helpers. The font's advance and line height come from m_fontMetrics.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

#include <cmath>

namespace {
constexpr char16_t kSpace = u' ';
constexpr char16_t kIconEscape = 172;
constexpr char16_t kBreakFirst = u'\\';
constexpr char16_t kBreakSecond = u'n';
constexpr int kFirstGlyphChar = 32;
constexpr int kLastDrawnGlyph = 127;
// An escape pair is measured as one character with this spacing.
constexpr int kEscapeMeasureAdj = 2;
// Icon glyphs are 16 further on in the font when the icon style is 0.
constexpr int kIconStyleShift = 16;

// Spacing adjustment in pixels before scaling; later rows win.
struct Spacing {
    std::u16string_view chars;
    int adj;
};
constexpr Spacing kSpacing[] = {
    {u"wm", 2}, {u"WM", 1}, {u"if", -3}, {u"l", -3}, {u"jskrztn", -1},
};

// Icon glyphs by escape letter; other letters are their own glyph with spacing 4.
struct Icon {
    char16_t letter;
    int glyph;
    int adj;
};
constexpr Icon kIcons[] = {
    {u'J', 96, 4},  {u'K', 97, 4},  {u'L', 98, 4},  {u'I', 99, 4},  {u'U', 100, 6},
    {u'O', 101, 6}, {u'Q', 102, 4}, {u'E', 103, 4}, {u'F', 104, 4}, {u'W', 105, 4},
    {u'S', 106, 4}, {u'A', 107, 4}, {u'D', 108, 4},
};
constexpr int kOtherIconAdj = 4;

// The adjustment of a character, or fallback when no rule names it.
int spacingOf(int code, int fallback) {
    int adj = fallback;
    for (const Spacing& rule : kSpacing) {
        if (rule.chars.find(static_cast<char16_t>(code)) != std::u16string_view::npos) {
            adj = rule.adj;
        }
    }
    return adj;
}

constexpr std::u16string_view kOrdinals[] = {u"1st", u"2nd", u"3rd", u"4th", u"5th",
                                             u"6th", u"7th", u"8th", u"9th", u"10th"};
} // namespace

int c_MyApp::p_Text(float x, float y, const String& text, float alignX, float alignY,
                    int fontOffset) {
    const float advanceW = static_cast<float>(m_fontMetrics[m_font * 3]);
    const float lineH = static_cast<float>(m_fontMetrics[m_font * 3 + 1]);
    // The text behind one leading space, read in place: laying out text allocates nothing.
    const size_t n = text.size() + 1;
    auto t = [&text](size_t i) -> char16_t { return i == 0 ? kSpace : text[i - 1]; };

    // Width of everything but the last character, truncated at every step.
    float width = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        int adj;
        if (t(i) == kIconEscape) {
            adj = kEscapeMeasureAdj;
            ++i;
        } else {
            adj = spacingOf(t(i), 0);
        }
        width = std::trunc(width + (adj + advanceW) * m_drawScaleX);
    }

    const float r = -m_drawRot * kDegToRad;
    const float cosR = std::cos(r);
    const float sinR = std::sin(r);
    const float k = (alignY - 1) * 0.5f;
    const float h = lineH * m_drawScaleY;
    const float x0 = x - cosR * width * alignX * 0.5f + sinR * h * k;
    const float y0 = y - sinR * width * alignX * 0.5f - cosR * h * k;

    float cx = x0;
    float cy = y0;
    int line = 0;
    for (size_t i = 0; i < n; ++i) {
        int code = t(i);
        int glyph;
        int adj;
        if (code == kIconEscape && i + 1 < n) {
            char16_t letter = t(++i);
            glyph = letter;
            adj = kOtherIconAdj;
            for (const Icon& icon : kIcons) {
                if (icon.letter == letter) {
                    glyph = icon.glyph;
                    adj = icon.adj;
                }
            }
            if (m_iconStyle == 0) glyph += kIconStyleShift;
            adj = spacingOf(glyph + kFirstGlyphChar, adj);
        } else if (code == kBreakFirst && i + 1 < n && t(i + 1) == kBreakSecond) {
            ++i;
            ++line;
            float l = line * lineH * m_drawScaleY;
            cx = x0 - sinR * l + cosR * advanceW * m_drawScaleX;
            cy = y0 + cosR * l;
            continue;
        } else {
            glyph = code - kFirstGlyphChar;
            adj = spacingOf(code, 0);
        }
        if (glyph >= 1 && glyph <= kLastDrawnGlyph) p_DrawImg(m_font + fontOffset, cx, cy, glyph);
        if (code == 0) continue;
        float d = (adj + advanceW) * m_drawScaleX;
        cx += cosR * d;
        cy += sinR * d;
    }
    return 0;
}

String c_MyApp::p_rstr(int value, int digits, const String& pad) {
    String padded;
    for (int i = 0; i < digits; ++i) padded += pad;
    padded += kpIntToString(value);
    if (digits <= 0) return String();
    if (padded.size() <= static_cast<size_t>(digits)) return padded;
    return padded.substr(padded.size() - digits);
}

String c_MyApp::p_Nth(int n) {
    if (n < 1 || n > 10) return String();
    return String(kOrdinals[n - 1]);
}
