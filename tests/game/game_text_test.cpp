// Bitmap text layout: glyph frames and advance, per-letter spacing, alignment with the
// truncated measure, icon escapes in both icon styles, the line-break escape and rotation.
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "game/bt3_numbers.h"
#include "game_fixture.h"
#include "tools/bench/alloc_count.h"

namespace {

struct Glyph {
    int slot;
    float x, y;
    int frame;
    float rot;
};

class TextTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        app->m_font = kImgFont;
        app->m_fontMetrics[kImgFont * 3] = 7;      // advance
        app->m_fontMetrics[kImgFont * 3 + 1] = 10; // line height
        app->m_iconStyle = 1;
        app->p_CLS2D(kNotGiven, 0, 0, 0);
    }

    std::vector<Glyph> layout(float x, float y, const String& text, float alignX = 0,
                              float alignY = 1, int offset = 0) {
        app->m_drawCount = 0;
        app->p_Text(x, y, text, alignX, alignY, offset);
        std::vector<Glyph> glyphs;
        for (int i = 0; i < app->m_drawCount; i += 15) {
            const float* c = &app->m_drawList[i];
            glyphs.push_back({static_cast<int>(c[0]), c[1], c[2], static_cast<int>(c[6]), c[3]});
        }
        return glyphs;
    }
};
} // namespace

TEST_F(TextTest, GlyphsStartOneAdvanceRightOfTheLeadingSpace) {
    auto g = layout(100, 50, kpS("Hi"));
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].slot, kImgFont);
    EXPECT_EQ(g[0].frame, 'H' - 32);
    EXPECT_FLOAT_EQ(g[0].x, 107);
    EXPECT_FLOAT_EQ(g[0].y, 50);
    EXPECT_EQ(g[1].frame, 'i' - 32);
    EXPECT_FLOAT_EQ(g[1].x, 114);
}

TEST_F(TextTest, LettersAdjustTheirOwnAdvance) {
    auto g = layout(0, 0, kpS("wmWifltA"));
    ASSERT_EQ(g.size(), 8u);
    const float expected[] = {7, 7 + 9, 16 + 9, 25 + 8, 33 + 4, 37 + 4, 41 + 4, 45 + 6};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(g[i].x, expected[i]) << i;
}

TEST_F(TextTest, SizeScalesTheAdvanceAndFontOffsetPicksTheSlot) {
    app->p_SetSize(2, kNotGiven);
    auto g = layout(0, 0, kpS("ab"), 0, 1, 2);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_FLOAT_EQ(g[0].x, 14);
    EXPECT_FLOAT_EQ(g[1].x, 28);
    EXPECT_EQ(g[0].slot, kImgFont + 2);
}

TEST_F(TextTest, AlignmentUsesTheMeasureWithoutTheLastCharacter) {
    auto right = layout(100, 50, kpS("Hi"), 2);
    EXPECT_FLOAT_EQ(right[1].x, 100) << "width 14 covers the space and H";
    auto centre = layout(100, 50, kpS("Hi"), 1);
    EXPECT_FLOAT_EQ(centre[0].x, 100);
    app->p_SetSize(1.5f, kNotGiven);
    auto scaled = layout(100, 50, kpS("Hi"), 1);
    // Measure: trunc(10.5) = 10, trunc(10 + 10.5) = 20; start 100 - 10.
    EXPECT_FLOAT_EQ(scaled[0].x, 90 + 10.5f);
}

TEST_F(TextTest, VerticalAlignmentMovesHalfALine) {
    EXPECT_FLOAT_EQ(layout(0, 50, kpS("A"), 0, 0)[0].y, 55);
    EXPECT_FLOAT_EQ(layout(0, 50, kpS("A"), 0, 1)[0].y, 50);
    EXPECT_FLOAT_EQ(layout(0, 50, kpS("A"), 0, 2)[0].y, 45);
}

TEST_F(TextTest, IconEscapesDrawButtonGlyphsInEitherStyle) {
    String text = String(1, char16_t(172)) + u"JA" + String(1, char16_t(172)) + u"UB" +
                  String(1, char16_t(172)) + u"ZC";
    auto g = layout(100, 0, text);
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(g[0].frame, 96);
    EXPECT_FLOAT_EQ(g[0].x, 107);
    EXPECT_FLOAT_EQ(g[1].x, 107 + 11) << "icons advance with spacing 4";
    EXPECT_EQ(g[2].frame, 100);
    EXPECT_FLOAT_EQ(g[3].x, g[2].x + 13) << "U and O icons have spacing 6";
    EXPECT_EQ(g[4].frame, 'Z') << "other letters are their own glyph";
    app->m_iconStyle = 0;
    auto style0 = layout(100, 0, text);
    EXPECT_EQ(style0[0].frame, 96 + 16);
    EXPECT_EQ(style0[2].frame, 100 + 16);
    EXPECT_EQ(style0[4].frame, 'Z' + 16);
}

TEST_F(TextTest, AnEscapePairIsMeasuredOnceWithSpacingTwo) {
    String text = String(1, char16_t(172)) + u"JA";
    auto g = layout(100, 0, text, 2);
    // Measure: space 7, escape 2 + 7; x0 = 100 - 16.
    EXPECT_FLOAT_EQ(g[0].x, 84 + 7);
}

TEST_F(TextTest, BackslashNStartsANewLineOneAdvanceIn) {
    auto g = layout(100, 50, kpS("A\\nBC"));
    ASSERT_EQ(g.size(), 3u);
    EXPECT_FLOAT_EQ(g[0].x, 107);
    EXPECT_FLOAT_EQ(g[1].x, 107);
    EXPECT_FLOAT_EQ(g[1].y, 60);
    EXPECT_FLOAT_EQ(g[2].x, 114);
    auto two = layout(100, 50, kpS("A\\nB\\nC"));
    EXPECT_FLOAT_EQ(two[2].y, 70);
    auto plain = layout(0, 0, kpS("\\x"));
    EXPECT_EQ(plain[0].frame, '\\' - 32) << "a backslash alone is an ordinary glyph";
}

TEST_F(TextTest, CodeZeroNeitherDrawsNorAdvancesAndHighGlyphsAdvanceUnseen) {
    String text = kpS("A");
    text += char16_t(0);
    text += u'B';
    text += char16_t(200);
    text += u'C';
    auto g = layout(100, 0, text);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_FLOAT_EQ(g[1].x, 114);
    EXPECT_FLOAT_EQ(g[2].x, 128);
}

TEST_F(TextTest, RotatedTextRunsAlongItsAngle) {
    app->p_SetRot(90);
    auto g = layout(100, 50, kpS("Hi\\nA"));
    ASSERT_EQ(g.size(), 3u);
    EXPECT_NEAR(g[0].x, 100, 1e-4);
    EXPECT_NEAR(g[0].y, 57, 1e-4);
    EXPECT_NEAR(g[1].y, 64, 1e-4);
    EXPECT_EQ(g[0].rot, -90);
    // The next line steps sideways by one line height.
    EXPECT_NEAR(g[2].x, 90, 1e-4);
    EXPECT_NEAR(g[2].y, 50, 1e-4);
    app->p_SetRot(90);
    auto centred = layout(100, 50, kpS("Hi"), 2);
    EXPECT_NEAR(centred[1].y, 50, 1e-4) << "right alignment ends at y along the text";
}

TEST_F(TextTest, LayingOutTextAllocatesNothing) {
    const String text = kpS("A longer line of text\\nwith a break and \xc2\xac"
                            "J an icon");
    app->m_drawCount = 0;
    const long counted = kpAllocationCount();
    static int* volatile sink = nullptr; // kept, so the allocation is not optimised away
    sink = new int(1);
    delete sink;
    ASSERT_GT(kpAllocationCount(), counted) << "the counter sees allocations";
    const long before = kpAllocationCount();
    app->p_Text(320, 240, text, 1, 1, 0);
    EXPECT_EQ(kpAllocationCount(), before);
    EXPECT_GT(app->m_drawCount, 30 * 15) << "the text was laid out";
}
