// The desktop host in a real window under Xvfb: the first window, focus driving suspend and
// resume, re-opening the window (a new context number, held keys released first), free memory
// given back once a large window size or a window was left, every thread allocating from the
// one heap, the data folder's icons on every window it opens, and mapping lines the library
// rejects named with their file and line.
#include <GLFW/glfw3.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "png_writer.h"
#include "runtime/kp_gamepad_mappings.h"
#include "runtime/kp_glfw_game.h"
#include "support/process.h"
#include "support/test_support.h"

namespace {

class RecordingDelegate : public KpGameDelegate {
  public:
    void SuspendGame() override { ++suspends; }
    void ResumeGame() override { ++resumes; }
    void UpdateGame() override { ++updates; }
    void KeyEvent(int event, int data) override { keys.push_back({event, data}); }
    void MouseEvent(int event, int data, float x, float y) override {
        if (event != kEventMouseMove) clicks.push_back({event, data, x, y});
    }
    bool sawKey(int event, int data) const {
        for (const auto& k : keys)
            if (k.first == event && k.second == data) return true;
        return false;
    }
    // The index of the first button event that matches, or -1.
    int clickAt(int event, int button) const {
        for (size_t i = 0; i < clicks.size(); ++i)
            if (clicks[i].event == event && clicks[i].button == button) return static_cast<int>(i);
        return -1;
    }
    struct Click {
        int event, button;
        float x, y;
    };
    int suspends = 0, resumes = 0, updates = 0;
    std::vector<std::pair<int, int>> keys;
    std::vector<Click> clicks;
};

class GlfwHost : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(glfwInit()); }
    static void TearDownTestSuite() { glfwTerminate(); }

    GlfwHost() {
        host = std::make_unique<KpGlfwGame>();
        host->SetDelegate(&delegate);
        host->OpenInitialWindow();
        host->StartGame();
        host->SetUpdateRate(60);
    }

    // Runs loop iterations until done() or the deadline passes.
    template <typename Done> bool iterateUntil(Done done, double seconds = 5.0) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            host->RunIteration();
            if (done()) return true;
        }
        return false;
    }

    RecordingDelegate delegate;
    std::unique_ptr<KpGlfwGame> host;
};

} // namespace

TEST_F(GlfwHost, FirstWindowIs640By480AndFocused) {
    EXPECT_EQ(host->GetDeviceWidth(), 640);
    EXPECT_EQ(host->GetDeviceHeight(), 480);
    EXPECT_TRUE(iterateUntil([&] { return delegate.updates >= 3; }));
    EXPECT_FALSE(host->Suspended());
    EXPECT_GT(host->Millisecs(), 0);
}

TEST_F(GlfwHost, LosingFocusSuspendsAndRegainingItResumes) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 2; }));
    glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE);
    GLFWwindow* other = glfwCreateWindow(100, 100, "other", nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    glfwFocusWindow(other);
    ASSERT_TRUE(iterateUntil([&] { return host->Suspended(); }));
    EXPECT_EQ(delegate.suspends, 1);
    int updatesWhileAway = delegate.updates;

    glfwFocusWindow(host->Window());
    glfwPostEmptyEvent(); // wake the blocking wait of the suspended loop
    ASSERT_TRUE(iterateUntil([&] {
        glfwPostEmptyEvent();
        return !host->Suspended();
    }));
    EXPECT_EQ(delegate.resumes, 1);
    EXPECT_EQ(delegate.suspends, 1);
    EXPECT_LE(delegate.updates, updatesWhileAway + 1); // no catch-up burst on resume
    glfwDestroyWindow(other);
}

TEST_F(GlfwHost, ReopeningReleasesHeldKeysAndCountsANewContext) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    runCommand("xdotool keydown space");
    ASSERT_TRUE(iterateUntil([&] { return delegate.sawKey(kEventKeyDown, 32); }));
    delegate.keys.clear();

    int sequence = glfwGraphicsSeq;
    host->SetDeviceWindow(800, 600, 0);
    EXPECT_TRUE(delegate.sawKey(kEventKeyUp, 32));
    EXPECT_EQ(glfwGraphicsSeq, sequence + 1);
    EXPECT_TRUE(iterateUntil([&] { return host->GetDeviceWidth() == 800; }));
    EXPECT_EQ(host->GetDeviceHeight(), 600);
    runCommand("xdotool keyup space");
}

TEST_F(GlfwHost, ResizingTheWindowChangesTheDeviceSize) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    glfwSetWindowSize(host->Window(), 720, 400); // as a window manager or the player would
    EXPECT_TRUE(iterateUntil([&] { return host->GetDeviceWidth() == 720; }));
    EXPECT_EQ(host->GetDeviceHeight(), 400);
}

TEST_F(GlfwHost, LeavingALargeWindowSizeGivesFreeMemoryBackOnceItSettles) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    // Leaving 640x480 lets go of too little to be worth it.
    glfwSetWindowSize(host->Window(), 1024, 768);
    ASSERT_TRUE(iterateUntil([&] { return host->GetDeviceWidth() == 1024; }));
    iterateUntil([] { return false; }, 1.5);
    EXPECT_EQ(host->MemoryReturns(), 0);
    // Leaving 1024x768 lets go of 6 MB of buffers.
    glfwSetWindowSize(host->Window(), 320, 240);
    EXPECT_TRUE(iterateUntil([&] { return host->MemoryReturns() == 1; }, 30.0));
    iterateUntil([] { return false; }, 1.5);
    EXPECT_EQ(host->MemoryReturns(), 1);
}

TEST_F(GlfwHost, ReopeningTheWindowGivesFreeMemoryBackOnce) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    // The old window's buffers and its context's textures go with it, whatever its size.
    host->SetDeviceWindow(320, 240, 0);
    EXPECT_TRUE(iterateUntil([&] { return host->MemoryReturns() == 1; }, 30.0));
    iterateUntil([] { return false; }, 1.5);
    EXPECT_EQ(host->MemoryReturns(), 1);
}

namespace {

// Whether p lies in the program's own heap, the one the main thread allocates from.
bool inMainHeap(const void* p) {
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps) return false;
    char line[512];
    bool in = false;
    while (!in && std::fgets(line, sizeof line, maps)) {
        unsigned long from = 0, to = 0;
        if (std::strstr(line, "[heap]") && std::sscanf(line, "%lx-%lx", &from, &to) == 2) {
            const auto at = reinterpret_cast<unsigned long>(p);
            in = at >= from && at < to;
        }
    }
    std::fclose(maps);
    return in;
}

} // namespace

TEST(GlfwHostHeap, AnotherThreadAllocatesFromTheMainHeap) {
    // In a fresh process, before any other thread has made an arena of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            KpGlfwGame host;
            void* block = nullptr;
            std::thread([&block] { block = std::malloc(64 * 1024); }).join();
            std::_Exit(inMainHeap(block) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(GlfwHost, KeysReachTheDelegateTranslatedWithTheirCharacters) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    runCommand("xdotool key Escape Left Delete a");
    ASSERT_TRUE(iterateUntil([&] { return delegate.sawKey(kEventKeyChar, 97); }));
    EXPECT_TRUE(delegate.sawKey(kEventKeyDown, 27));
    EXPECT_TRUE(delegate.sawKey(kEventKeyChar, 27));
    EXPECT_TRUE(delegate.sawKey(kEventKeyDown, 37));
    EXPECT_TRUE(delegate.sawKey(kEventKeyChar, 0x10025));
    EXPECT_TRUE(delegate.sawKey(kEventKeyDown, 46));
    EXPECT_TRUE(delegate.sawKey(kEventKeyChar, 127));
    EXPECT_TRUE(delegate.sawKey(kEventKeyDown, 65));
    EXPECT_TRUE(delegate.sawKey(kEventKeyUp, 65));
}

TEST_F(GlfwHost, HiddenMouseIsLockedToTheWindowAndShownAgainFreely) {
    host->SetMouseVisible(false);
    EXPECT_EQ(glfwGetInputMode(host->Window(), GLFW_CURSOR), GLFW_CURSOR_DISABLED);
    host->SetMouseVisible(true);
    EXPECT_EQ(glfwGetInputMode(host->Window(), GLFW_CURSOR), GLFW_CURSOR_NORMAL);
}

TEST_F(GlfwHost, MouseButtonsArriveAsPressThenReleaseAtThePointer) {
    ASSERT_TRUE(iterateUntil([&] { return delegate.updates >= 1; }));
    int wx = 0, wy = 0;
    glfwGetWindowPos(host->Window(), &wx, &wy);
    runCommand("xdotool mousemove " + std::to_string(wx + 200) + " " + std::to_string(wy + 150) +
               " mousedown 1");
    ASSERT_TRUE(iterateUntil([&] { return delegate.clickAt(kEventMouseDown, 0) >= 0; }));
    EXPECT_EQ(delegate.clickAt(kEventMouseUp, 0), -1) << "the left button is still held";
    const auto& press = delegate.clicks[delegate.clickAt(kEventMouseDown, 0)];
    EXPECT_NEAR(press.x, 200, 1);
    EXPECT_NEAR(press.y, 150, 1);
    runCommand("xdotool mouseup 1");
    ASSERT_TRUE(iterateUntil([&] { return delegate.clickAt(kEventMouseUp, 0) >= 0; }));

    // The middle button is button 2 and the right one button 1, each pressed then released.
    runCommand("xdotool click 2 click 3");
    ASSERT_TRUE(iterateUntil([&] { return delegate.clickAt(kEventMouseUp, 1) >= 0; }));
    for (int button : {1, 2}) {
        SCOPED_TRACE(button);
        const int down = delegate.clickAt(kEventMouseDown, button);
        EXPECT_GE(down, 0);
        EXPECT_GT(delegate.clickAt(kEventMouseUp, button), down);
    }
}

namespace {

// The icons an X window carries, as width, height and first pixel (ARGB) of each.
std::vector<std::vector<unsigned long>> windowIcons() {
    const unsigned long window = findWindow("Brambolt3", 5.0);
    std::string out =
        runCommand("xprop -id " + std::to_string(window) + " -f _NET_WM_ICON 32c _NET_WM_ICON");
    std::vector<std::vector<unsigned long>> icons;
    const size_t equals = out.find('=');
    if (equals == std::string::npos) return icons;
    std::vector<unsigned long> values;
    std::stringstream in(out.substr(equals + 1));
    for (std::string number; std::getline(in, number, ',');) values.push_back(std::stoul(number));
    for (size_t at = 0; at + 2 < values.size();) {
        icons.push_back({values[at], values[at + 1], values[at + 2]});
        at += 2 + values[at] * values[at + 1];
    }
    return icons;
}

} // namespace

TEST_F(GlfwHost, EveryWindowItOpensCarriesTheDataFoldersIcons) {
    TempDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    writeSolidPng(dir.file("data/icons/brambolt3-16.png"), 16, 16, 200, 10, 10, 255);
    writePng(dir.file("data/icons/brambolt3-32.png"), 32, 32, 3,
             std::vector<unsigned char>(32 * 32 * 3, 10)); // RGB, no alpha
    writeFile(dir.file("data/icons/brambolt3-48.png"), "not a picture");
    const std::vector<std::vector<unsigned long>> expected = {{16, 16, 0xFFC80A0Aul},
                                                              {32, 32, 0xFF0A0A0Aul}};

    host->SetDeviceWindow(640, 480, 0);
    EXPECT_EQ(windowIcons(), expected) << "the missing and broken sizes are left out";
    host->SetDeviceWindow(1280, 1024, 1); // fullscreen
    EXPECT_EQ(windowIcons(), expected);
    host->SetDeviceWindow(640, 480, 0);
    EXPECT_EQ(windowIcons(), expected);
    std::filesystem::current_path(previous);
}

TEST_F(GlfwHost, AMappingLineTheLibraryRejectsIsNamedWithItsFileAndLine) {
    TempDir dir;
    const std::string good = "0300000012340000abcd000000010000,Test Pad,a:b0,b:b1,platform:Linux,";
    writeFile("gamecontrollerdb.txt", "# the player's pads\n" + good + "\n0300001234,Short,a:b0\n");
    const std::string file = std::filesystem::canonical("gamecontrollerdb.txt").string();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    kpLoadGamepadMappings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "not every line was taken";
    EXPECT_EQ(
        said.rfind("Brambolt3: the gamepad mapping on line 3 of " + file + " was not taken", 0), 0u)
        << said;
    EXPECT_EQ(said.find("line 2"), std::string::npos) << said;

    writeFile("gamecontrollerdb.txt", good + "\r\n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    kpLoadGamepadMappings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Gamepad mappings read from " + file + "\n");
}
