// The X-driving helpers of the end-to-end tests: waits, key presses, screenshots and focus.
#include "support/x_drive.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/test_support.h"

namespace {
// The game a WatchedGame names, if any.
ChildProcess* watchedGame = nullptr;
} // namespace

void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

WatchedGame::WatchedGame(ChildProcess& game) {
    watchedGame = &game;
}

WatchedGame::~WatchedGame() {
    watchedGame = nullptr;
}

bool waitFor(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (watchedGame != nullptr && !watchedGame->running()) return false;
        pause(0.1);
    }
    return true;
}

std::array<int, 3> pixelAt(const std::string& file, int x, int y) {
    std::string out = runCommand(
        "convert " + file + " -format '%[fx:int(255*p{" + std::to_string(x) + "," +
        std::to_string(y) + "}.r)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
        "}.g)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) + "}.b)]' info:");
    std::array<int, 3> rgb{-1, -1, -1};
    std::sscanf(out.c_str(), "%d %d %d", &rgb[0], &rgb[1], &rgb[2]);
    return rgb;
}

void pressKey(const std::string& key) {
    runCommand("xdotool keydown " + key);
    pause(0.3);
    runCommand("xdotool keyup " + key);
}

std::string screenshot(unsigned long window, const std::string& name) {
    const std::string file = buildDir() + "/screenshots/" + name + ".png";
    std::filesystem::create_directories(buildDir() + "/screenshots");
    std::filesystem::remove(file);
    runCommand("import -window " + std::to_string(window) + " " + file, kShotBound);
    return file;
}

long changedPixels(const std::string& a, const std::string& b, int fuzzPercent) {
    if (!std::filesystem::exists(a) || !std::filesystem::exists(b)) return -1;
    const std::string out = runCommand("compare -metric AE -fuzz " + std::to_string(fuzzPercent) +
                                       "% " + a + " " + b + " null: 2>&1");
    return out.empty() ? -1 : std::atol(out.c_str());
}

void focusNothing() {
    std::string root = runCommand("xwininfo -root | awk '/Window id:/ {print $4}'");
    runCommand("xdotool windowfocus " + root);
}
