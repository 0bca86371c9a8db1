// The debug line in a real window (Xvfb, Mesa): with debug mode on, its text shows in the
// bottom-left corner over the loading screen; with it off, that corner is the loader's plain
// background. Pixels are read back after each frame.
#include <gtest/gtest.h>

#include <array>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "graphics/png_writer.h"
#include "runtime/kp_glfw_game.h"
#include "support/game_window.h"
#include "support/test_support.h"

namespace {

constexpr int kSoundStep = 19; // a loader step that loads a sound, leaving the font alone
constexpr int kCorner = 120;   // the bottom-left square, in window pixels, that is searched

class DebugLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        host = sharedTestGame().host;
        ASSERT_NE(host, nullptr);
        app = sharedTestGame().app;
    }

    // One tick of the loading screen, rendered; returns the bright pixels in the corner.
    int brightPixelsAfterATick() {
        app->m_loadStep = kSoundStep;
        host->UpdateGame();
        host->RenderGame();
        std::array<int, kCorner * kCorner> pixels{};
        const int height = host->GetDeviceHeight();
        kp_app__delegate->graphics->ReadPixels(pixels, 0, height - kCorner, kCorner, kCorner, 0,
                                               kCorner);
        int bright = 0;
        for (int p : pixels) {
            unsigned v = static_cast<unsigned>(p);
            if ((v >> 16 & 255) > 200 && (v >> 8 & 255) > 200 && (v & 255) > 200) ++bright;
        }
        return bright;
    }

    static KpGlfwGame* host;
    static c_MyApp* app;
};

KpGlfwGame* DebugLine::host = nullptr;
c_MyApp* DebugLine::app = nullptr;

} // namespace

TEST_F(DebugLine, ItsTextShowsInTheCornerOnlyInDebugMode) {
    TempDir dir;
    // A font whose every glyph is a solid white cell.
    writeSolidPng(dir.file("data/font.png"), 16 * 16, 16 * 8, 255, 255, 255, 255);
    app->m_images[kImgFont] =
        kp_graphics_LoadImage2(u"font.png", 16, 16, 128, c_Image::m_CentreHandleFlag);
    ASSERT_TRUE(app->m_images[kImgFont]);
    app->m_font = kImgFont;
    app->m_fontMetrics[kImgFont * 3] = 7;
    app->m_fontMetrics[kImgFont * 3 + 1] = 10;
    app->m_imageScale = 1;

    kp_BT3_DebugMode = 0;
    EXPECT_EQ(brightPixelsAfterATick(), 0) << "the loading screen leaves the corner plain";
    kp_BT3_DebugMode = 1;
    EXPECT_GT(brightPixelsAfterATick(), 200) << "the debug line's glyphs";
    kp_BT3_DebugMode = 0;
    EXPECT_EQ(brightPixelsAfterATick(), 0);
}
