// The real game binary under Xvfb: its window, its idle CPU use, and how it ends when the
// window manager asks it to close.
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "support/process.h"
#include "support/test_support.h"

namespace {

std::string binary() {
    const char* dir = std::getenv("KP_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/brambolt3";
}

} // namespace

TEST(GameWindow, OpensCentredTitledWindowAndClosesWithStatusZero) {
    TempDir dir;
    ChildProcess game(binary(), {}, dir.path(), dir.file("out.txt"));
    unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u) << readFile(dir.file("out.txt"));

    std::string geometry = runCommand("xdotool getwindowgeometry " + std::to_string(window));
    EXPECT_NE(geometry.find("Geometry: 640x480"), std::string::npos) << geometry;
    // Centred on the 1280x1024 test screen.
    EXPECT_NE(geometry.find("Position: 320,272"), std::string::npos) << geometry;

    ASSERT_TRUE(game.running());
    ASSERT_TRUE(sendCloseRequest(window));
    EXPECT_EQ(game.wait(30.0), 0) << readFile(dir.file("out.txt"));
}

TEST(GameWindow, SleepsBetweenFramesWhenIdle) {
    TempDir dir;
    ChildProcess game(binary(), {}, dir.path(), dir.file("out.txt"));
    unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double before = game.cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    double used = game.cpuSeconds() - before;
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A spinning loop would use a whole core; pacing by sleep keeps it far below.
    EXPECT_LT(used / elapsed, 0.5) << "CPU share " << used / elapsed;
    RecordProperty("idle_cpu_share", std::to_string(used / elapsed));
    std::printf("idle CPU share: %.3f of one core\n", used / elapsed);
    ASSERT_TRUE(sendCloseRequest(window));
    EXPECT_EQ(game.wait(30.0), 0);
}

TEST(GameStart, WithoutADisplayTheWindowLibraryFailsWithStatus255) {
    TempDir dir;
    std::string out = runCommand("cd " + dir.path() + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                 binary() + "; echo \"status=$?\"");
    EXPECT_NE(out.find("glfwInit failed\nstatus=255"), std::string::npos) << out;
}
