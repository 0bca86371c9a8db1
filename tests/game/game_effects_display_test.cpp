// The effects drawn from the generated art into a real window (Xvfb, Mesa): the menu's star
// field from "parts", a burst of red sparks, and in play the snow theme's star frames and a
// collectable item from its world image. Pixels are read back after each frame; screenshots
// are kept in the build folder's screenshots/ for a person to look at.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "runtime/kp_glfw_game.h"
#include "support/game_window.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/writers.h"

namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr int kStride = 10;

KpGlfwGame* host = nullptr;
c_MyApp* app = nullptr;

class EffectsOnScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        host = sharedTestGame().host;
        ASSERT_NE(host, nullptr);
        app = sharedTestGame().app;
    }

    void SetUp() override {
        ASSERT_NE(host, nullptr);
        writeArt("parts");
        writeArt("blocks_world011");
        app->m_hdLevel = 1;
        app->m_imageScale = 1;
        kp_BT3_overscan = 0;
        app->p_LoadImg(96, u"parts", 8, 8, 256, c_Image::m_CentreHandleFlag);
        app->p_LoadImg(1, u"blocks_world011", 36, 36, 196, c_Image::m_CentreHandleFlag);
        ASSERT_TRUE(app->m_images[96]);
        ASSERT_TRUE(app->m_images[1]);
        app->m_camX = 0;
        app->m_camY = 0;
        app->p_ResetParticles(250);
        app->p_CLS2D(0, 0, 0, 1);
    }

    // One image of the generated data folder, at the 640x480 level, into ./data/.
    void writeArt(const std::string& name) {
        for (const assetgen::ImageDef& def : assetgen::allImages()) {
            if (def.name != name) continue;
            ASSERT_TRUE(assetgen::writePng(dir.file("data/" + name + ".png"),
                                           assetgen::renderImage(def, 1)));
            return;
        }
        FAIL() << "no image " << name;
    }

    // Renders the list and reads the whole window back; keeps a screenshot by this name.
    void renderAndRead(const std::string& name) {
        host->RenderGame();
        frame.assign(kW * kH, 0);
        kp_app__delegate->graphics->ReadPixels(frame, 0, 0, kW, kH, 0, kW);
        assetgen::Canvas shot(kW, kH);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const Rgb c = at(x, y);
                shot.set(x, y, assetgen::rgb(c.r, c.g, c.b));
            }
        }
        assetgen::writePng(buildDir() + "/screenshots/effects_" + name + ".png", shot);
    }

    Rgb at(int x, int y) const {
        const unsigned v = static_cast<unsigned>(frame[static_cast<size_t>(y) * kW + x]);
        return {static_cast<int>(v >> 16 & 255), static_cast<int>(v >> 8 & 255),
                static_cast<int>(v & 255)};
    }

    // The brightest pixel within reach of (x, y).
    Rgb brightestNear(float x, float y, int reach) const {
        Rgb best = {0, 0, 0};
        for (int yy = static_cast<int>(y) - reach; yy <= static_cast<int>(y) + reach; ++yy) {
            for (int xx = static_cast<int>(x) - reach; xx <= static_cast<int>(x) + reach; ++xx) {
                if (xx < 0 || yy < 0 || xx >= kW || yy >= kH) continue;
                const Rgb p = at(xx, yy);
                if (p.brightest() > best.brightest()) best = p;
            }
        }
        return best;
    }

    static bool onScreen(float x, float y, float border) {
        return x > border && y > border && x < kW - border && y < kH - border;
    }

    TempDir dir;
    std::vector<int> frame;
};

} // namespace

TEST_F(EffectsOnScreen, TheMenuStarFieldLightsEveryStarAndNothingBetween) {
    app->m_screen = 1;
    app->m_theme = 0;
    app->p_ResetStars(100);
    app->p_DoStars(-2, 0);
    renderAndRead("menu_stars");

    int shown = 0;
    int lit = 0;
    std::vector<bool> nearStar(kW * kH, false);
    for (int i = 0; i <= app->m_starCount; ++i) {
        const float* s = &app->m_stars[i * kStride];
        for (int y = std::max(0, static_cast<int>(s[2]) - 8); y < std::min(kH, int(s[2]) + 8); ++y)
            for (int x = std::max(0, int(s[1]) - 8); x < std::min(kW, int(s[1]) + 8); ++x)
                nearStar[static_cast<size_t>(y) * kW + x] = true;
        if (!onScreen(s[1], s[2], 6)) continue;
        ++shown;
        if (brightestNear(s[1], s[2], 3).brightest() > 12) ++lit;
    }
    ASSERT_GT(shown, 60);
    EXPECT_GE(lit, shown * 95 / 100) << lit << " of " << shown << " stars show";
    int strayLit = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (!nearStar[static_cast<size_t>(y) * kW + x] && at(x, y).brightest() > 0) ++strayLit;
    EXPECT_EQ(strayLit, 0) << "pixels lit away from every star";
}

TEST_F(EffectsOnScreen, ABurstOfRedSparksFliesOutFromItsCentre) {
    for (int i = 0; i < 40; ++i) app->p_ThrowParticle(320, 240, 1, 1, kNotGiven, kNotGiven);
    for (int f = 0; f < 10; ++f) {
        app->p_CLS2D(0, 0, 0, 1);
        app->p_DoParticles();
    }
    renderAndRead("burst");

    int red = 0;
    for (int i = 211; i <= 250; ++i) {
        const float* p = &app->m_particles[i * kStride];
        ASSERT_EQ(p[0], 1.0f);
        const Rgb c = brightestNear(p[1], p[2], 3);
        if (c.r > 40 && c.r > 3 * c.g && c.r > 3 * c.b) ++red;
    }
    EXPECT_GE(red, 38) << "sparks drawn red where their records put them";
    EXPECT_EQ(brightestNear(320, 240, 10).brightest(), 0) << "the centre is left behind";
}

TEST_F(EffectsOnScreen, PlayDrawsSnowflakesAndTheCollectableFromTheWorldImage) {
    app->m_screen = 10;
    app->m_theme = 11;
    app->m_restY = 400;
    app->m_groundY = 420;
    app->m_starCount = 40;
    app->p_ResetMisc(15);
    app->p_ResetStars(40);
    float* item = &app->m_misc[15 * kStride];
    item[1] = 500;
    item[2] = 100;
    item[5] = 0;
    item[6] = 0;
    app->m_ball[18] = -1000;
    app->p_CLS2D(20, 20, 40, 1);
    app->p_DoStars(0, 0);
    app->p_DoMisc(0, 0, 0);
    app->p_DoMisc(0, 0, 1);
    renderAndRead("play_theme11");

    int shown = 0;
    int pale = 0;
    for (int i = 0; i <= app->m_starCount; ++i) {
        const float* s = &app->m_stars[i * kStride];
        if (!onScreen(s[1], s[2], 10) || s[3] < 0.4f) continue;
        ++shown;
        const Rgb c = brightestNear(s[1], s[2], 4);
        if (c.b > 80 && c.b >= c.r) ++pale;
    }
    ASSERT_GT(shown, 10);
    EXPECT_GE(pale, shown * 9 / 10) << pale << " of " << shown << " snowflakes show";
    // The item has fallen by 0.65 twice; its gem is blue in the middle.
    const Rgb gem = at(500, 101);
    EXPECT_GT(gem.b, 150);
    EXPECT_GT(gem.b, gem.r + 60);
}
