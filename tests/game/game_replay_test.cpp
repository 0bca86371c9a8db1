// The draw list replayed into a real window (Xvfb, Mesa): a rectangle, an oval, a line and an
// image at their places, the mirror and shear commands for the rest of the list, a later
// mirror replacing a shear, and the overscan border. Pixels are read back after each frame.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>

#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "graphics/png_writer.h"
#include "runtime/kp_glfw_game.h"
#include "support/game_window.h"
#include "support/pixels.h"
#include "support/test_support.h"

namespace {

// One window and one game for the whole binary, as the program has.
KpGlfwGame* host = nullptr;
c_MyApp* app = nullptr;

class Replay : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        host = sharedTestGame().host;
        ASSERT_NE(host, nullptr);
        app = sharedTestGame().app;
    }

    void SetUp() override {
        kp_BT3_overscan = 0;
        app->m_imageScale = 1;
        app->p_CLS2D(0, 0, 80, 1);
    }

    void render() { host->RenderGame(); }

    Rgb pixel(int x, int y) { return readRgb(*kp_app__delegate->graphics, x, y); }
};

} // namespace

TEST_F(Replay, ShapesAndImagesLandWhereTheListPutsThem) {
    TempDir dir;
    writeSolidPng(dir.file("data/block.png"), 16, 16, 255, 128, 0, 255);
    app->m_images[5] = kp_graphics_LoadImage2(u"block.png", 16, 16, 1, c_Image::m_CentreHandleFlag);
    ASSERT_TRUE(app->m_images[5]);

    app->p_SetCol(255, 0, 0, 1);
    app->p_Rect(10, 10, 50, 50);
    app->p_SetCol(0, 255, 0, 1);
    app->p_Oval(200, 100, 30, 20);
    app->p_SetCol(255, 255, 0, 1);
    app->p_Line(100, 300.5f, 300, 300.5f);
    app->p_SetCol(255, 255, 255, 1);
    app->p_SetSize(2, kNotGiven);
    app->p_DrawImg(5, 400, 200, 0);
    app->p_DrawImg(6, 450, 200, 0); // an empty slot draws nothing
    render();

    EXPECT_RGB(pixel(0, 0), 0, 0, 80);
    EXPECT_RGB(pixel(30, 30), 255, 0, 0);
    EXPECT_RGB(pixel(65, 30), 0, 0, 80);
    EXPECT_RGB(pixel(200, 100), 0, 255, 0);
    EXPECT_RGB(pixel(226, 100), 0, 255, 0);
    EXPECT_RGB(pixel(227, 117), 0, 0, 80); // outside the ellipse, inside its box
    EXPECT_RGB(pixel(200, 300), 255, 255, 0);
    EXPECT_RGB(pixel(200, 303), 0, 0, 80);
    EXPECT_RGB(pixel(385, 186), 255, 128, 0); // the image is drawn at double size
    EXPECT_RGB(pixel(414, 214), 255, 128, 0);
    EXPECT_RGB(pixel(418, 200), 0, 0, 80);
    EXPECT_EQ(app->m_scaleX, 1);
    EXPECT_EQ(kp_BT3_jscrw, 640);
}

TEST_F(Replay, MirrorFlipsEverythingAfterIt) {
    app->p_SetCol(255, 0, 0, 1);
    app->p_Rect(10, 10, 50, 50);
    app->p_FlipScreen();
    app->p_SetCol(0, 255, 0, 1);
    app->p_Rect(100, 10, 20, 20);
    render();
    EXPECT_RGB(pixel(30, 30), 255, 0, 0);
    EXPECT_RGB(pixel(530, 20), 0, 255, 0);
    EXPECT_RGB(pixel(110, 20), 0, 0, 80);
}

TEST_F(Replay, ShearSlantsTheRestOfTheListAndAMirrorReplacesIt) {
    app->p_SetCol(0, 255, 0, 1);
    app->p_Bend(0, 0.5f);
    app->p_Rect(100, 200, 20, 20); // x' = x + y / 2
    render();
    EXPECT_RGB(pixel(215, 210), 0, 255, 0);
    EXPECT_RGB(pixel(110, 210), 0, 0, 80);

    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_SetCol(0, 255, 0, 1);
    app->p_Bend(0, 0.5f);
    app->p_FlipScreen();
    app->p_Rect(100, 200, 20, 20);
    render();
    EXPECT_RGB(pixel(530, 210), 0, 255, 0);
    EXPECT_RGB(pixel(635, 210), 0, 0, 80); // no shear left under the mirror
}

TEST_F(Replay, AdditiveCommandsAddToWhatIsBelow) {
    app->p_SetCol(100, 0, 0, 1);
    app->p_Rect(10, 10, 50, 50);
    app->p_Blend(3);
    app->p_SetCol(100, 50, 0, 1);
    app->p_Rect(10, 10, 20, 20);
    render();
    EXPECT_RGB(pixel(15, 15), 200, 50, 0);
    EXPECT_RGB(pixel(40, 40), 100, 0, 0);
}

TEST_F(Replay, OverscanShrinksAndShiftsTheWholeList) {
    kp_BT3_overscan = 64;
    app->p_SetCol(255, 0, 0, 1);
    app->p_Rect(0, 0, 50, 50); // scale 0.8 from (64, 48)
    render();
    EXPECT_FLOAT_EQ(app->m_scaleX, 0.8f);
    EXPECT_EQ(app->m_scaleMode, 1);
    EXPECT_RGB(pixel(66, 50), 255, 0, 0);
    EXPECT_RGB(pixel(102, 86), 255, 0, 0);
    EXPECT_RGB(pixel(60, 50), 0, 0, 80);
    EXPECT_RGB(pixel(106, 50), 0, 0, 80);
    EXPECT_RGB(pixel(66, 46), 0, 0, 80);
}

TEST_F(Replay, ANewWindowSizeRefitsTheScreenAndAsksForAReload) {
    app->m_loadStep = 0;
    render();
    EXPECT_EQ(app->m_loadStep, 0);
    host->SetDeviceWindow(1280, 720, 0);
    app->p_CLS2D(0, 0, 80, 1);
    app->p_SetCol(255, 0, 0, 1);
    app->p_Rect(10, 10, 50, 50);
    render();
    EXPECT_EQ(app->m_loadStep, 1);
    EXPECT_EQ(app->m_lastDevW, 1280);
    EXPECT_FLOAT_EQ(app->m_scaleX, 2);
    EXPECT_FLOAT_EQ(kp_BT3_jscrw, 640);
    EXPECT_FLOAT_EQ(kp_BT3_jscrh, 360);
    EXPECT_RGB(pixel(22, 22), 255, 0, 0);
    EXPECT_RGB(pixel(118, 118), 255, 0, 0);
    EXPECT_RGB(pixel(122, 60), 0, 0, 80);
}
