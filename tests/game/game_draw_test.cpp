// The draw command list: command layout, the per-frame capacity, the draw state setters,
// the eased background, the theme rules, the string helpers and the virtual screen fit.
#include <cmath>

#include "game_fixture.h"

namespace {
const float* command(const c_MyApp* app, int index) {
    return &app->m_drawList[index * 15];
}
} // namespace

using DrawListTest = GameTest;

TEST_F(DrawListTest, TheLastCommandThatFitsIsKeptAndTheNextIsDropped) {
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    for (int i = 0; i < 2498; ++i) app->p_Rect(0, 0, 1, 1);
    app->p_Line(1, 2, 3, 4); // command 2499
    EXPECT_EQ(app->m_drawCount, 2499 * 15);
    EXPECT_EQ(command(app, 2498)[0], kCmdLine);
    EXPECT_EQ(command(app, 2498)[4], 3.0f);
    app->p_Oval(5, 6, 7, 8); // command 2500
    app->p_DrawImg(3, 0, 0, 0);
    app->p_FlipScreen();
    app->p_Bend(1, 1);
    EXPECT_EQ(app->m_drawCount, 2499 * 15);
    EXPECT_EQ(app->m_drawList[2499 * 15], 0.0f);
}

TEST_F(DrawListTest, ImageCommandsCarryTheWholeDrawState) {
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_SetSize(2, 3);
    app->p_SetRot(30);
    app->p_SetCol(10, 20, 30, 0.5f);
    app->p_Blend(3);
    app->p_DrawImg(7, 100, 200, 5);
    const float* c = command(app, 0);
    EXPECT_EQ(c[0], 7);
    EXPECT_EQ(c[1], 100);
    EXPECT_EQ(c[2], 200);
    EXPECT_EQ(c[3], -30) << "rotation is stored negated";
    EXPECT_EQ(c[4], 2);
    EXPECT_EQ(c[5], 3);
    EXPECT_EQ(c[6], 5);
    EXPECT_EQ(c[7], 0.5f);
    EXPECT_EQ(c[10], 10);
    EXPECT_EQ(c[11], 20);
    EXPECT_EQ(c[12], 30);
    EXPECT_EQ(c[13], 3);
}

TEST_F(DrawListTest, ShapesStoreTheirGeometryAndMirrorAndShearOnlyTheirArguments) {
    app->m_drawList.fill(9);
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_Rect(1, 2, 3, 4);
    app->p_Oval(5, 6, 7, 8);
    app->p_FlipScreen();
    app->p_Bend(0.25f, -0.5f);
    EXPECT_EQ(command(app, 0)[0], kCmdRect);
    EXPECT_EQ(command(app, 0)[5], 4);
    EXPECT_EQ(command(app, 0)[6], 0);
    EXPECT_EQ(command(app, 1)[0], kCmdOval);
    EXPECT_EQ(command(app, 1)[4], 7);
    EXPECT_EQ(command(app, 1)[7], 1) << "alpha after the reset";
    EXPECT_EQ(command(app, 2)[0], kCmdMirror);
    EXPECT_EQ(command(app, 2)[1], 0);
    EXPECT_EQ(command(app, 2)[7], 9) << "a mirror writes no alpha";
    EXPECT_EQ(command(app, 3)[0], kCmdShear);
    EXPECT_EQ(command(app, 3)[1], 0.25f);
    EXPECT_EQ(command(app, 3)[2], -0.5f);
    EXPECT_EQ(command(app, 3)[13], 9);
}

TEST_F(DrawListTest, AMissingSecondSizeOrAlphaKeepsTheUsualValue) {
    app->p_SetSize(2, kNotGiven);
    EXPECT_EQ(app->m_drawScaleX, 2);
    EXPECT_EQ(app->m_drawScaleY, 2);
    app->p_SetSize(2, -5000);
    EXPECT_EQ(app->m_drawScaleY, 2);
    app->p_SetSize(2, 0.5f);
    EXPECT_EQ(app->m_drawScaleY, 0.5f);
    app->p_Alpha(0.4f);
    app->p_SetCol(10, 20, 30, kNotGiven);
    EXPECT_EQ(app->m_drawAlpha, 0.4f);
    EXPECT_EQ(app->m_drawG, 20);
    app->p_SetCol(10, 20, 30, -3716);
    EXPECT_EQ(app->m_drawAlpha, -3716) << "only -3717 and below mean not given";
}

TEST_F(DrawListTest, ClearingStartsANewListAndResetsTheDrawState) {
    app->p_CLS2D(1, 2, 3, 0.5f);
    app->p_SetSize(4, 4);
    app->p_SetRot(10);
    app->p_Blend(3);
    app->p_Rect(0, 0, 1, 1);
    app->p_CLS2D(kNotGiven, 9, 9, 9);
    EXPECT_EQ(app->m_drawCount, 0);
    EXPECT_EQ(app->m_clsR, 1) << "no colour given keeps the frame background";
    EXPECT_EQ(app->m_clsAlpha, 0.5f);
    EXPECT_EQ(app->m_drawScaleX, 1);
    EXPECT_EQ(app->m_drawRot, 0);
    EXPECT_EQ(app->m_drawR, 255);
    EXPECT_EQ(app->m_drawAlpha, 1);
    EXPECT_EQ(app->m_drawBlend, 1);
}

TEST_F(DrawListTest, BackgroundEasesAThirtiethOfTheWayEachFrame) {
    app->p_DoBG(90, 30, -123, -123);
    EXPECT_FLOAT_EQ(app->m_bgR, 3);
    EXPECT_FLOAT_EQ(app->m_bgG, 1);
    EXPECT_FLOAT_EQ(app->m_bgTargetB, 0) << "-123 is below -122 and keeps the target";
    EXPECT_FLOAT_EQ(app->m_clsR, 3);
    EXPECT_EQ(app->m_clsAlpha, 1);
    app->p_DoBG(-200, -122, 0, 0.4f);
    EXPECT_FLOAT_EQ(app->m_bgR, 3 - (3 - 90) / 30.0f);
    EXPECT_EQ(app->m_bgTargetG, -122) << "-122 is a target";
    EXPECT_FLOAT_EQ(app->m_clsAlpha, 0.4f);
    app->p_DoBG(0, 0, 0, -1);
    EXPECT_EQ(app->m_clsAlpha, 0);
    app->p_DoBG(0, 0, 0, 2.5f);
    EXPECT_EQ(app->m_clsAlpha, 1);
}

TEST_F(DrawListTest, ThemeRulesSetBallAndBackgroundAndKeepRollingBackWhereUnchanged) {
    app->p_GfxRules(2);
    EXPECT_EQ(app->m_trail, 1);
    EXPECT_EQ(app->m_ballHalfW, 12);
    EXPECT_FLOAT_EQ(app->m_tilt, 1.0f);
    EXPECT_EQ(app->m_allowBack, 1);
    EXPECT_EQ(app->m_bgTargetB, 180);
    app->p_GfxRules(14);
    EXPECT_EQ(app->m_allowBack, 1) << "theme 14 leaves rolling back as it was";
    EXPECT_EQ(app->m_bgTargetR, 220);
    app->p_GfxRules(8);
    EXPECT_EQ(app->m_ballHalfH, 8);
    EXPECT_EQ(app->m_ballStyle, 3);
    EXPECT_EQ(app->m_themeKeys, 1);
    EXPECT_EQ(app->m_allowBack, 0);
    app->p_GfxRules(15);
    EXPECT_EQ(app->m_ballHalfH, 18);
    EXPECT_EQ(app->m_bgTargetG, 126);
    EXPECT_EQ(app->m_bgTargetB, 25);
}

TEST_F(DrawListTest, ThemeSixteenPicksItsBackgroundByVariant) {
    app->m_variant = 1;
    app->p_GfxRules(16);
    EXPECT_EQ(app->m_bgTargetR, 8);
    EXPECT_EQ(app->m_bgTargetB, 20);
    EXPECT_EQ(app->m_ballHalfH, 8);
    app->m_variant = 2;
    app->p_GfxRules(16);
    EXPECT_EQ(app->m_bgTargetB, 160);
    app->p_Rect(0, 0, 1, 1);
    app->m_variant = -1;
    app->p_GfxRules(16);
    EXPECT_EQ(app->m_bgTargetB, 160) << "an unknown variant makes no background call";
    EXPECT_EQ(app->m_drawCount, 15) << "and so does not clear the list";
}

TEST_F(DrawListTest, UnknownThemesUseTheDefaultBallOnBlack) {
    app->p_GfxRules(3);
    app->m_drawCount = 30;
    app->p_GfxRules(0);
    EXPECT_EQ(app->m_trail, 1);
    EXPECT_EQ(app->m_ballHalfW, 16);
    EXPECT_EQ(app->m_ballHalfH, 16);
    EXPECT_EQ(app->m_themeKeys, 0);
    EXPECT_EQ(app->m_allowBack, 1);
    EXPECT_EQ(app->m_bgTargetR, 0);
    EXPECT_EQ(app->m_bgTargetB, 0);
    EXPECT_EQ(app->m_drawCount, 0);
}

TEST_F(DrawListTest, RstrPadsAndKeepsTheLastDigits) {
    EXPECT_EQ(app->p_rstr(5, 3, kpS("0")), kpS("005"));
    EXPECT_EQ(app->p_rstr(1234, 2, kpS("0")), kpS("34"));
    EXPECT_EQ(app->p_rstr(12, 3, kpS("0")), kpS("012"));
    EXPECT_EQ(app->p_rstr(7, 4, kpS(" ")), kpS("   7"));
    EXPECT_EQ(app->p_rstr(16, 3, kpS("0")), kpS("016"));
}

TEST_F(DrawListTest, NthNamesOneToTenOnly) {
    EXPECT_EQ(app->p_Nth(1), kpS("1st"));
    EXPECT_EQ(app->p_Nth(2), kpS("2nd"));
    EXPECT_EQ(app->p_Nth(3), kpS("3rd"));
    EXPECT_EQ(app->p_Nth(4), kpS("4th"));
    EXPECT_EQ(app->p_Nth(10), kpS("10th"));
    EXPECT_EQ(app->p_Nth(0), String());
    EXPECT_EQ(app->p_Nth(11), String());
}

TEST(ScreenFitTest, TheDesignedWindowIsOneToOne) {
    KpScreenFit fit = kpFitScreen(640, 480, 640, 480, 0);
    EXPECT_FLOAT_EQ(fit.scale, 1);
    EXPECT_EQ(fit.mode, 1);
    EXPECT_FLOAT_EQ(fit.virtualW, 640);
    EXPECT_FLOAT_EQ(fit.virtualH, 480);
    EXPECT_EQ(fit.landscape, 1);
}

TEST(ScreenFitTest, AWideWindowIsFittedByWidthAndShowsAShorterScreen) {
    KpScreenFit fit = kpFitScreen(1280, 720, 640, 480, 0);
    EXPECT_FLOAT_EQ(fit.scale, 2);
    EXPECT_EQ(fit.mode, 1);
    EXPECT_FLOAT_EQ(fit.virtualW, 640);
    EXPECT_FLOAT_EQ(fit.virtualH, 360);
    EXPECT_EQ(fit.landscape, 1);
}

TEST(ScreenFitTest, ATallWindowUsesTheLargerDesignAndIsFittedByHeight) {
    KpScreenFit fit = kpFitScreen(480, 800, 640, 480, 0);
    EXPECT_NEAR(fit.scale, 800.0f / 720.0f, 1e-5);
    EXPECT_EQ(fit.mode, 2);
    EXPECT_NEAR(fit.virtualW, 432, 1e-3);
    EXPECT_NEAR(fit.virtualH, 720, 1e-3);
    EXPECT_EQ(fit.landscape, 0);
}

TEST(ScreenFitTest, OverscanShrinksTheScaleAndOffsetsByTheWindowShape) {
    KpScreenFit fit = kpFitScreen(1280, 720, 640, 480, 64);
    EXPECT_FLOAT_EQ(fit.scale, (1280 - 128) / 640.0f);
    EXPECT_EQ(fit.mode, 1);
    EXPECT_FLOAT_EQ(fit.virtualW, 640);
    EXPECT_FLOAT_EQ(fit.virtualH, 360);
    EXPECT_FLOAT_EQ(fit.offsetX, 64);
    EXPECT_FLOAT_EQ(fit.offsetY, 36);
}

TEST(ScreenFitTest, AWindowWithNoPixelsKeepsTheDesignedScreen) {
    for (float overscan : {0.0f, 64.0f}) {
        KpScreenFit fit = kpFitScreen(0, 0, 640, 480, overscan);
        EXPECT_FLOAT_EQ(fit.virtualW, 640) << overscan;
        EXPECT_FLOAT_EQ(fit.virtualH, 480) << overscan;
        EXPECT_TRUE(std::isfinite(fit.offsetY)) << overscan;
    }
    KpScreenFit flat = kpFitScreen(0, 10, 640, 480, 64); // fitted by the empty width
    EXPECT_TRUE(std::isfinite(flat.virtualW));
    EXPECT_TRUE(std::isfinite(flat.virtualH));
}
