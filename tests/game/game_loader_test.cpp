// The asset loaders in the headless host, on data folders the tests write: the resolution
// level from the window size, the file names asked for (plain, "-hd", "-hd2", the theme
// variants), missing files leaving their slots empty, and the font's fixed metrics.
#include "game_fixture.h"
#include "graphics/c_Image.h"
#include "png_writer.h"
#include "runtime/kp_image_prefetch.h"
#include "support/test_support.h"

namespace {

std::string threeDigits(int n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", n);
    return digits;
}

class Loader : public GameTest {
  protected:
    // Creation at a window size, with the loader about to run its first step.
    void StartAt(int w, int h) {
        host->SetDeviceSize(w, h);
        Start();
        kp_app_ValidateDeviceWindow(true);
    }
    // A grid image for a slot at a level: frames laid out in rows of up to 14.
    void writeGrid(const std::string& file, int w, int h, int frames, int level) {
        int columns = frames < 14 ? frames : 14;
        int rows = (frames + columns - 1) / columns;
        writeSolidPng("data/" + file, w * level * columns, h * level * rows, 200, 100, 50, 255);
    }
    TempDir dir;
};

} // namespace

TEST_F(Loader, ResolutionLevelFollowsTheWindowSize) {
    struct Case {
        int w, h, level;
        float scale;
    };
    for (Case c : {Case{620, 460, 1, 1.0f}, Case{640, 480, 2, 0.5f}, Case{800, 600, 2, 0.5f},
                   Case{1280, 720, 4, 0.25f}, Case{480, 1300, 4, 0.25f}}) {
        host->SetDeviceSize(c.w, c.h);
        kp_app_ValidateDeviceWindow(true);
        app->m_loadStep = 1;
        app->p_Loader();
        EXPECT_EQ(app->m_hdLevel, c.level) << c.w << "x" << c.h;
        EXPECT_FLOAT_EQ(app->m_imageScale, c.scale);
    }
    kp_BT3_UseHDImages = 0;
    app->m_loadStep = 1;
    app->p_Loader();
    EXPECT_EQ(app->m_hdLevel, 1);
    EXPECT_FLOAT_EQ(app->m_imageScale, 1.0f);
}

TEST_F(Loader, AsksForTheFileOfItsLevelAndNoOther) {
    writeGrid("common/icons-hd.png", 32, 32, 16, 2);
    StartAt(800, 600);
    app->m_loadStep = 1;
    app->p_Loader();
    ASSERT_NE(app->m_images[97], nullptr);
    EXPECT_EQ(app->m_images[97]->width, 64);
    EXPECT_EQ(app->m_fontMetrics[97 * 3], 64);
    EXPECT_EQ(app->m_fontMetrics[97 * 3 + 2], 16);
    EXPECT_EQ(app->m_loadStep, 2);

    // At level 4 the "-hd2" file is asked for; the "-hd" one is not used in its place.
    host->SetDeviceSize(1280, 720);
    kp_app_ValidateDeviceWindow(true);
    app->m_loadStep = 1;
    app->p_Loader();
    EXPECT_EQ(app->m_images[97], nullptr);
    EXPECT_EQ(app->m_loadStep, 2) << "a missing file does not stop loading";
}

TEST_F(Loader, FontMetricsStayTheSameAtEveryLevel) {
    writeGrid("fonts/shadow_editundo-hd2.png", 16, 16, 128, 4);
    StartAt(1280, 720);
    app->m_loadStep = 6;
    app->p_Loader();
    ASSERT_NE(app->m_images[90], nullptr);
    EXPECT_EQ(app->m_images[90]->width, 64);
    EXPECT_EQ(app->m_fontMetrics[90 * 3], 7);
    EXPECT_EQ(app->m_fontMetrics[90 * 3 + 1], 10);
    EXPECT_EQ(app->m_fontMetrics[90 * 3 + 2], 128);
    EXPECT_EQ(app->m_font, 90);
}

TEST_F(Loader, WorldImagesUseTheLoadedThemeInThreeDigits) {
    writeGrid("blocks_world007.png", 36, 36, 196, 1);
    writeGrid("strips_world007.png", 512, 36, 14, 1);
    StartAt(620, 460);
    app->m_loadedTheme = 7;
    app->m_loadStep = 16;
    app->p_Loader();
    app->p_Loader();
    EXPECT_NE(app->m_images[1], nullptr);
    EXPECT_NE(app->m_images[2], nullptr);
    EXPECT_EQ(app->m_loadStep, 18);
}

TEST_F(Loader, ThemeSixteenVariantsLoadTheirOwnFiles) {
    writeGrid("blocks_world016c.png", 36, 36, 196, 1);
    writeGrid("strips_world016b.png", 512, 36, 14, 1);
    StartAt(620, 460);
    app->m_loadStep = 0;
    app->m_theme = 16;
    app->m_variant = 2;
    app->m_miniLoadStep = 1;
    app->p_MiniLoader();
    EXPECT_NE(app->m_images[1], nullptr);
    app->p_MiniLoader();
    EXPECT_EQ(app->m_images[2], nullptr) << "variant 2 asks for strips_world016c";
    app->m_variant = 1;
    app->m_miniLoadStep = 2;
    app->p_MiniLoader();
    EXPECT_NE(app->m_images[2], nullptr);
}

TEST_F(Loader, MiniLoaderRunsFiveStepsThenRecordsTheTheme) {
    StartAt(640, 480);
    app->m_theme = 4;
    app->m_variant = -1;
    app->m_miniLoadStep = 1;
    int steps = 0;
    while (app->m_miniLoadStep > 0 && steps < 20) {
        app->p_MiniLoader();
        ++steps;
    }
    EXPECT_EQ(steps, 6);
    EXPECT_EQ(app->m_loadedTheme, 4);
    app->p_MiniLoader(); // idle: nothing happens below step 1
    EXPECT_EQ(app->m_miniLoadStep, 0);
}

// The loaders name their coming images to the host's worker; each named image must be the very
// file its own step loads, or the decoding is wasted and the step decodes again.
TEST_F(Loader, EveryImageDecodedAheadIsTakenByItsStep) {
    // A plain image, the font, a world row of the start-up loader and the theme loader's rows.
    writeGrid("common/icons-hd.png", 32, 32, 16, 2);
    writeGrid("fonts/shadow_editundo-hd.png", 16, 16, 128, 2);
    writeGrid("bobs-hd.png", 32, 32, 64, 2);
    writeGrid("strips_world" + threeDigits(app->m_loadedTheme) + "-hd.png", 512, 36, 14, 2);
    writeGrid("blocks_world016b-hd.png", 36, 36, 196, 2);
    writeGrid("strips_world016b-hd.png", 512, 36, 14, 2);
    StartAt(640, 480); // the "-hd" level
    KpImagePrefetch* prefetch = host->ImagePrefetch();
    ASSERT_NE(prefetch, nullptr) << "creation names the loader's first images";
    EXPECT_EQ(prefetch->Untaken(), 1u) << "the icons wait; the reload took the font";
    const String strips =
        kpS("zembra://data/strips_world" + threeDigits(app->m_loadedTheme) + "-hd.png");
    int steps = 0;
    while (app->m_loadStep != 0 && steps < 40) {
        // Images of later steps are named by the steps before them, not only at creation.
        if (app->m_loadStep == 11) {
            EXPECT_TRUE(prefetch->Waiting(u"zembra://data/bobs-hd.png"));
        }
        if (app->m_loadStep == 17) {
            EXPECT_TRUE(prefetch->Waiting(strips));
        }
        app->p_Loader();
        ++steps;
    }
    EXPECT_EQ(prefetch->Untaken(), 0u);
    for (int slot : {97, 90, 99, 2}) EXPECT_NE(app->m_images[slot], nullptr) << "slot " << slot;

    app->m_theme = 16;
    app->m_variant = 1;
    app->m_miniLoadStep = 1;
    app->p_MiniLoader();
    EXPECT_EQ(prefetch->Untaken(), 1u) << "the theme's strips are decoded while its blocks load";
    app->p_MiniLoader();
    EXPECT_EQ(prefetch->Untaken(), 0u);
}

TEST_F(Loader, ReloadLoadsTheLogoAndFontThenRestartsTheLoader) {
    writeGrid("common/UlvoLogo.png", 256, 256, 1, 1);
    writeGrid("fonts/shadow_editundo.png", 16, 16, 128, 1);
    StartAt(620, 460);
    app->m_loadStep = 0;
    app->m_font = 0;
    app->p_CLS2D(0, 0, 80, 1);
    app->p_Rect(0, 0, 10, 10);
    app->p_Reload();
    EXPECT_EQ(app->m_loadStep, 1);
    EXPECT_EQ(app->m_clsB, 0.0f) << "the frame background turns black";
    EXPECT_EQ(app->m_drawCount, 15) << "the list itself is kept";
    EXPECT_NE(app->m_images[93], nullptr);
    EXPECT_NE(app->m_images[90], nullptr);
    EXPECT_EQ(app->m_font, 90);
}

TEST_F(Loader, StartScreenGoesToTheMenuAndReloads) {
    StartAt(640, 480);
    app->m_loadStep = 0;
    app->m_screen = 5;
    kp_app_SetUpdateRate(5);
    host->UpdateGame();
    EXPECT_EQ(app->m_screen, 1);
    EXPECT_EQ(app->m_pointerLatch, 1);
    EXPECT_EQ(app->m_loadStep, 2) << "the restarted loader takes its first step in the same tick";
    EXPECT_EQ(kp_app__updateRate, 60);
}
