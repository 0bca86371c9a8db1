// The real game's frames drawn with the render device's shortcuts off and on must be the same
// pixel for pixel: the intro, the menu and a stretch of play in every theme at 640x480 (the
// button held, then let go), and play after the window grew to 1280x720 (art of another
// resolution). Each frame is rendered twice with no update between and read back from the
// window before any swap.
#include <GL/gl.h>
#include <filesystem>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/kp_graphics.h"
#include "support/process.h"
#include "support/test_support.h"
#include "tools/bench/frame/scenes.h"

namespace {

constexpr int kThemes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16}; // all played
constexpr int kPlayTicks = 90;   // updates of play looked at in each theme
constexpr int kLetGoTick = 45;   // the button is let go here
constexpr int kCompareEvery = 3; // frames compared: every third
constexpr int kWideTheme = 12;
constexpr int kWideWidth = 1280;
constexpr int kWideHeight = 720;
constexpr int kRgba = 4;

// The current frame as the window shows it, with the shortcuts as given.
std::vector<unsigned char> render(KpGlfwGame& host, bool shortcuts) {
    kp_graphics_device->SetShortcuts(shortcuts);
    host.RenderGame();
    const int w = host.GetDeviceWidth(), h = host.GetDeviceHeight();
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * kRgba);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    kp_graphics_device->SetShortcuts(true);
    return pixels;
}

// Differing pixels between the frame drawn without and with the shortcuts.
int differingPixels(KpGlfwGame& host, std::string& where) {
    const std::vector<unsigned char> plain = render(host, false);
    const std::vector<unsigned char> quick = render(host, true);
    int differing = 0;
    const int w = host.GetDeviceWidth();
    for (size_t i = 0; i < plain.size(); i += kRgba) {
        if (plain[i] == quick[i] && plain[i + 1] == quick[i + 1] && plain[i + 2] == quick[i + 2]) {
            continue;
        }
        if (differing++ == 0) {
            const int p = static_cast<int>(i / kRgba);
            where = "first at x " + std::to_string(p % w) + ", row " + std::to_string(p / w) +
                    " from the bottom";
        }
    }
    return differing;
}

class Pictures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        ASSERT_TRUE(std::filesystem::is_directory(buildDir() + "/data"))
            << "the build's data folder is missing: build the target data";
        std::filesystem::create_directory_symlink(buildDir() + "/data", dir_->file("data"));
        setenv("ALSOFT_DRIVERS", "null", 0);
        ASSERT_TRUE(glfwInit());
        host_ = scenes::startGame(KpGlfwGame::kInitialWidth, KpGlfwGame::kInitialHeight);
        ASSERT_NE(host_, nullptr) << "the start-up loader did not finish";
    }

    // Runs the play scene on, comparing its frames; a shortcut that moves a pixel only now and
    // then (a sprite's edge on a texel's edge) shows in some frames and not in others.
    static void comparePlay(const std::string& what) {
        for (int tick = 0; tick < kPlayTicks; ++tick) {
            if (tick == kLetGoTick) host_->KeyEvent(kEventKeyUp, scenes::kKeyRight);
            scenes::tick(*host_);
            if (tick % kCompareEvery != 0) continue;
            std::string where;
            const int differing = differingPixels(*host_, where);
            EXPECT_EQ(differing, 0) << what << ", tick " << tick << ", " << where;
            if (differing != 0) return;
        }
    }

    static TempDir* dir_;
    static KpGlfwGame* host_;
};

TempDir* Pictures::dir_ = nullptr;
KpGlfwGame* Pictures::host_ = nullptr;

} // namespace

// The tests run in order, each going on from the scene the one before left.
TEST_F(Pictures, IntroAndMenuAreTheSameWithTheShortcuts) {
    ASSERT_NE(host_, nullptr);
    std::string where;
    EXPECT_EQ(differingPixels(*host_, where), 0) << "intro, " << where;
    scenes::toMenu(*host_);
    EXPECT_EQ(differingPixels(*host_, where), 0) << "menu, " << where;
}

TEST_F(Pictures, PlayFramesAreTheSameWithTheShortcuts) {
    ASSERT_NE(host_, nullptr);
    for (int theme : kThemes) {
        ASSERT_TRUE(scenes::enterPlay(*host_, theme)) << "theme " << theme;
        comparePlay("theme " + std::to_string(theme));
    }
}

TEST_F(Pictures, APlayFrameInALargerWindowIsTheSameWithTheShortcuts) {
    ASSERT_NE(host_, nullptr);
    host_->SetGlfwWindow(kWideWidth, kWideHeight, 8, 8, 8, 0, 0, 0, false);
    c_MyApp& app = scenes::game();
    scenes::tick(*host_);
    scenes::show(*host_); // the render notices the new size and restarts the loader
    ASSERT_TRUE(scenes::drive(*host_, [&] { return app.m_loadStep == 0; }));
    ASSERT_EQ(host_->GetDeviceWidth(), kWideWidth);
    ASSERT_TRUE(scenes::enterPlay(*host_, kWideTheme));
    comparePlay("1280x720");
}
