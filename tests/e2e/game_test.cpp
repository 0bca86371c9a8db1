// The real game with its generated data under Xvfb: the loader runs to the menu and intro,
// the screen is drawn (a screenshot kept in the build folder), F11 switches to the screen's
// size and back, F4 and the window's close both end the game with status 0.
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <thread>

#include "support/process.h"
#include "support/test_support.h"

namespace {

std::string buildDir() {
    const char* dir = std::getenv("KP_BINARY_DIR");
    return dir ? dir : ".";
}

void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Generates the data folder once for every test of this binary.
class GameEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        data_ = new TempDir();
        std::string out = runCommand(buildDir() + "/tools/assetgen/assetgen " +
                                     data_->file("data") + " 2>&1; echo status=$?");
        ASSERT_NE(out.find("status=0"), std::string::npos) << out;
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    void start() {
        game_ =
            std::make_unique<ChildProcess>(buildDir() + "/brambolt3", std::vector<std::string>{},
                                           data_->path(), data_->file("out.txt"));
        window_ = findWindow("Brambolt3", 20.0);
        ASSERT_NE(window_, 0u) << readFile(data_->file("out.txt"));
        runCommand("xdotool windowfocus --sync " + std::to_string(window_));
    }

    std::string geometry() {
        return runCommand("xdotool getwindowgeometry " + std::to_string(window_));
    }

    // Distinct colours in a screenshot of the game's window, saved to the build folder.
    size_t screenshotColours(const std::string& name) {
        std::string file = buildDir() + "/screenshots/" + name + ".png";
        std::filesystem::create_directories(buildDir() + "/screenshots");
        runCommand("import -window " + std::to_string(window_) + " " + file);
        std::string count = runCommand("identify -format %k " + file + " 2>/dev/null");
        return count.empty() ? 0 : std::stoul(count);
    }

    static TempDir* data_;
    std::unique_ptr<ChildProcess> game_;
    unsigned long window_ = 0;
};

TempDir* GameEndToEnd::data_ = nullptr;

} // namespace

TEST_F(GameEndToEnd, LoaderFinishesAndTheScreenIsDrawn) {
    start();
    pause(3.0); // the loader has finished and the intro logo is up, well before it fades
    ASSERT_TRUE(game_->running()) << readFile(data_->file("out.txt"));
    EXPECT_GT(screenshotColours("menu_640x480"), 8u);
    ASSERT_TRUE(sendCloseRequest(window_));
    EXPECT_EQ(game_->wait(10.0), 0) << readFile(data_->file("out.txt"));
}

TEST_F(GameEndToEnd, F11SwitchesToTheScreenSizeAndBack) {
    start();
    pause(1.5);
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F11");
    pause(1.5);
    window_ = findWindow("Brambolt3", 10.0);
    ASSERT_NE(window_, 0u);
    EXPECT_NE(geometry().find("Geometry: 1280x1024"), std::string::npos) << geometry();
    pause(2.0);
    EXPECT_GT(screenshotColours("menu_fullscreen"), 8u);

    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F11");
    pause(1.5);
    window_ = findWindow("Brambolt3", 10.0);
    ASSERT_NE(window_, 0u);
    EXPECT_NE(geometry().find("Geometry: 640x480"), std::string::npos) << geometry();
    ASSERT_TRUE(game_->running());
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F4");
    EXPECT_EQ(game_->wait(10.0), 0) << readFile(data_->file("out.txt"));
}

TEST_F(GameEndToEnd, F4QuitsWithStatusZero) {
    start();
    pause(1.0);
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F4");
    EXPECT_EQ(game_->wait(10.0), 0) << readFile(data_->file("out.txt"));
}
