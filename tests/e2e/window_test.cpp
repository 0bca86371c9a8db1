// The real game binary under Xvfb: its window, its idle CPU use, how it ends when the window
// manager asks it to close, how it refuses to start without its data, and one game per
// folder (a second copy stops before its window; a killed game's lock never blocks a start).
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "support/process.h"
#include "support/test_support.h"

namespace {

std::string binary() {
    return buildDir() + "/brambolt3";
}

constexpr int kMaxDataRuns = 200; // far more than the files the game needs to start

// What the game says when it starts in dir without file under its data folder.
std::string missingReport(const TempDir& dir, const std::string& file) {
    const std::string folder = std::filesystem::canonical(dir.path()).string() + "/data";
    return "Brambolt3: cannot start without its data: " + folder + " has no readable " + file +
           "\n";
}

// Gives dir a data folder the game starts with, learning its files from the game's own
// reports: each run must end with status 1 and one line naming the data folder and the first
// missing file, which is then made (empty: the game only asks that the files be there and
// readable), until a run opens the window, which is closed again. Returns the files made.
std::vector<std::string> completeData(const TempDir& dir) {
    std::vector<std::string> made;
    for (int run = 0; run < kMaxDataRuns; ++run) {
        ChildProcess game(binary(), {}, dir.path(), dir.file("out.txt"));
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (game.running() && std::chrono::steady_clock::now() < deadline) {
            if (unsigned long window = findWindow("Brambolt3", 0.2)) {
                EXPECT_TRUE(sendCloseRequest(window));
                EXPECT_EQ(game.wait(10.0), 0);
                return made;
            }
        }
        EXPECT_EQ(game.wait(10.0), 1) << readFile(dir.file("out.txt"));
        const std::string out = readFile(dir.file("out.txt"));
        const std::string lead = "has no readable ";
        const size_t at = out.find(lead);
        if (at == std::string::npos || out.back() != '\n') {
            ADD_FAILURE() << "no missing file named: " << out;
            return made;
        }
        const std::string file = out.substr(at + lead.size(), out.size() - at - lead.size() - 1);
        EXPECT_EQ(out, missingReport(dir, file));
        std::filesystem::create_directories(
            std::filesystem::path(dir.file("data/" + file)).parent_path());
        writeFile(dir.file("data/" + file), "");
        made.push_back(file);
    }
    ADD_FAILURE() << "the game never started";
    return made;
}

// A folder whose data link leads to one completed data folder, made once for these tests.
void linkData(const TempDir& dir) {
    static TempDir shared;
    static const size_t made = completeData(shared).size();
    ASSERT_GT(made, 0u);
    std::filesystem::create_directory_symlink(shared.file("data"), dir.file("data"));
}

} // namespace

TEST(GameStart, WithoutItsDataTheGameNamesTheFolderAndTheFirstMissingFile) {
    TempDir dir;
    std::string out =
        runCommand("cd " + dir.path() + " && " + binary() + " 2>&1 >/dev/null; echo \"status=$?\"");
    EXPECT_EQ(out, missingReport(dir, "common/icons.png") + "status=1") << "nothing on stdout";
    EXPECT_EQ(runCommand("xdotool search --name '^Brambolt3$' 2>/dev/null"), "")
        << "no window was opened";

    // Every file it cannot start without is named in turn, and then it starts. The font is
    // among them: without it every word of the game would be missing.
    const std::vector<std::string> named = completeData(dir);
    EXPECT_GT(named.size(), 30u);
    EXPECT_NE(std::find(named.begin(), named.end(), "fonts/shadow_editundo.png"), named.end());
}

TEST(GameStart, ASecondCopyInTheSameFolderStopsAndAKilledCopysLockBlocksNothing) {
    TempDir dir;
    linkData(dir);
    writeFile(dir.file(".zembrastate"), "kept as it is");
    ChildProcess first(binary(), {}, dir.path(), dir.file("first.txt"));
    ASSERT_NE(findWindow("Brambolt3", 60.0), 0u) << readFile(dir.file("first.txt"));

    // The second copy names the folder, opens no window and ends with its own status.
    const std::string out =
        runCommand("cd " + dir.path() + " && " + binary() + " 2>&1 >/dev/null; echo \"status=$?\"");
    const std::string folder = std::filesystem::canonical(dir.path()).string();
    EXPECT_EQ(out, "Brambolt3: the game is already running in " + folder +
                       " (a second copy there would overwrite its progress)\nstatus=3");
    EXPECT_TRUE(first.running());

    // A game killed outright leaves its lock file behind; the next start is not held up.
    kill(first.pid(), SIGKILL);
    EXPECT_EQ(first.wait(30.0), -1000 - SIGKILL);
    EXPECT_TRUE(std::filesystem::exists(dir.file(".zembrastate.lock")));
    ChildProcess next(binary(), {}, dir.path(), dir.file("next.txt"));
    unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u) << readFile(dir.file("next.txt"));
    ASSERT_TRUE(sendCloseRequest(window));
    EXPECT_EQ(next.wait(30.0), 0) << readFile(dir.file("next.txt"));
}

TEST(GameWindow, OpensCentredTitledWindowAndClosesWithStatusZero) {
    TempDir dir;
    linkData(dir);
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
    linkData(dir);
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
