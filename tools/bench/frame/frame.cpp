// Frame benchmark: the real game on the real GLFW host at 640x480, driven to each scene by
// its own updates (the intro, the menu, and a play frame of every theme, entered as the menu
// enters a level, with the button held), each scene's frame then rendered and swapped many
// times. Prints per scene the main thread's CPU ms per frame (median and 99th percentile,
// render plus swap), the render alone, the draw calls, and wall ms. Then counts the
// synchronous X replies per steady frame of the host's own loop in the menu, through a
// small counter library that the benchmark preloads into itself, both for the whole loop
// and for its render and update alone (without the buffer swap).
//
// Usage: frame [folder holding data/] [frames per scene]   (under a display, e.g. Xvfb)
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "runtime/kp_glfw_game.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kDefaultFrames = 300;
constexpr int kIntroFrame = 100;   // the intro's scene: its overlay well under way
constexpr int kIntroEnd = 320;     // from here the menu stands alone
constexpr int kMenuSettle = 30;    // menu ticks after the intro before its frame is taken
constexpr int kPlaySettle = 60;    // ticks with the button held after the start title
constexpr int kGiveUpTicks = 3000; // a scene not reached by then is reported as missing
constexpr int kSteadyFrames = 120; // host loop frames over which X replies are counted
constexpr int kKeyRight = 39;      // the one button, as the keyboard sends it
constexpr const char* kCounterLibrary = "libframe_xcount.so";
constexpr const char* kPreloadedMark = "KP_FRAME_PRELOADED";

using Clock = std::chrono::steady_clock;
using Counter = unsigned long (*)();

// The figures go here; the game's own status lines on standard output are dropped.
FILE* results = stdout;

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double wallMs() {
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

// Starts this program again with the X reply counter preloaded, once; false if it cannot.
bool preloadCounter(char** argv) {
    if (std::getenv(kPreloadedMark)) return false;
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return false;
    std::string library(self, static_cast<size_t>(n));
    library = library.substr(0, library.rfind('/') + 1) + kCounterLibrary;
    if (access(library.c_str(), R_OK) != 0) return false;
    const char* before = std::getenv("LD_PRELOAD");
    if (before && *before) library += std::string(":") + before;
    setenv("LD_PRELOAD", library.c_str(), 1);
    setenv(kPreloadedMark, "1", 1);
    execv(self, argv);
    return false;
}

c_MyApp& game() {
    return *static_cast<c_MyApp*>(kp_app__app);
}

// One update, as the host's loop runs it, with the window's events taken first.
void tick(KpGlfwGame& host) {
    glfwPollEvents();
    host.UpdateGame();
}

// Renders and swaps without timing, so the game sees frames while it is driven.
void show(KpGlfwGame& host) {
    host.RenderGame();
    glfwSwapBuffers(host.Window());
}

template <typename Done> bool drive(KpGlfwGame& host, Done done) {
    for (int t = 0; t < kGiveUpTicks; ++t) {
        if (done()) return true;
        tick(host);
        show(host);
    }
    return done();
}

struct Figures {
    double cpuMedian, cpuP99, renderMedian, wallMedian, wallP99;
    int drawCalls;
};

// The current frame rendered and swapped `frames` times, with no update between.
Figures measure(KpGlfwGame& host, int frames) {
    std::vector<double> cpu, render, wall;
    int drawCalls = 0;
    for (int f = 0; f < frames; ++f) {
        const double w0 = wallMs(), c0 = cpuMs();
        host.RenderGame();
        const double c1 = cpuMs();
        glfwSwapBuffers(host.Window());
        const double c2 = cpuMs(), w2 = wallMs();
        drawCalls = kp_graphics_device->DrawCalls();
        cpu.push_back(c2 - c0);
        render.push_back(c1 - c0);
        wall.push_back(w2 - w0);
        glfwPollEvents();
    }
    return {percentile(cpu, 0.5),  percentile(cpu, 0.99),  percentile(render, 0.5),
            percentile(wall, 0.5), percentile(wall, 0.99), drawCalls};
}

void report(const std::string& scene, const Figures& f) {
    std::fprintf(results, "%-9s %6d %9.3f %9.3f %10.3f %9.3f %9.3f\n", scene.c_str(), f.drawCalls,
                 f.cpuMedian, f.cpuP99, f.renderMedian, f.wallMedian, f.wallP99);
    std::fflush(results);
}

int firstLevelOf(int theme) {
    for (int level = 1; level <= kLevelTableSize; ++level) {
        if (game().m_levelTheme[level] == theme) return level;
    }
    return 0;
}

// Enters the theme's first level the way the menu does, ends the start title and holds the
// button for a while, so the ball is on its way.
bool enterPlay(KpGlfwGame& host, int theme) {
    c_MyApp& app = game();
    const int level = firstLevelOf(theme);
    if (level == 0) return false;
    host.KeyEvent(kEventKeyUp, kKeyRight);
    app.m_theme = theme;
    app.m_variant = theme == kThemeCount ? 0 : -1; // only the last theme has variants
    app.m_miniLoadStep = 1;
    app.p_GfxRules(theme);
    app.m_level = level;
    app.m_screen = kScreenLevelLoad;
    if (!drive(host, [&] { return app.m_screen == kScreenPlay; })) return false;
    app.m_playFrames = bt3ball::kStartDone;
    host.KeyEvent(kEventKeyDown, kKeyRight);
    for (int t = 0; t < kPlaySettle && app.m_roundOver == 0; ++t) {
        tick(host);
        show(host);
    }
    return app.m_screen == kScreenPlay;
}

// X replies per frame of the host's own loop (render, swap, pacing, events, update).
void countReplies(KpGlfwGame& host) {
    auto replies = reinterpret_cast<Counter>(dlsym(RTLD_DEFAULT, "kpBenchXReplies"));
    auto waits = reinterpret_cast<Counter>(dlsym(RTLD_DEFAULT, "kpBenchXcbWaits"));
    if (!replies || !waits) {
        std::fprintf(results, "X replies: not counted (%s not preloaded)\n", kCounterLibrary);
        return;
    }
    for (int f = 0; f < kSteadyFrames / 4; ++f) host.RunIteration(); // settle first
    auto perFrame = [](unsigned long count) { return static_cast<double>(count) / kSteadyFrames; };
    unsigned long r0 = replies(), w0 = waits();
    for (int f = 0; f < kSteadyFrames; ++f) host.RunIteration();
    std::fprintf(results, "X replies per steady menu frame: %.2f _XReply, %.2f xcb reply waits\n",
                 perFrame(replies() - r0), perFrame(waits() - w0));
    // The same without the swap: what the host and the game ask for themselves.
    r0 = replies();
    w0 = waits();
    for (int f = 0; f < kSteadyFrames; ++f) {
        host.RenderGame();
        tick(host);
    }
    std::fprintf(results, "  of which outside the buffer swap: %.2f _XReply, %.2f xcb waits\n",
                 perFrame(replies() - r0), perFrame(waits() - w0));
}

} // namespace

int main(int argc, char** argv) {
    preloadCounter(argv);
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : kDefaultFrames;
    const int saved = dup(STDOUT_FILENO);
    if (saved >= 0 && std::freopen("/dev/null", "w", stdout)) results = fdopen(saved, "w");
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (!glfwInit()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    auto* host = new KpZembraGame();
    kpInit();
    kpMain();
    host->SetGlfwWindow(kWidth, kHeight, 8, 8, 8, 0, 0, 0, false);
    host->SetSwapInterval(0);
    host->StartGame();
    c_MyApp& app = game();
    if (!drive(*host, [&] { return app.m_loadStep == 0 && app.m_introFrames >= kIntroFrame; })) {
        std::fprintf(stderr, "the start-up loader did not finish\n");
        return 1;
    }

    std::fprintf(results,
                 "%d frames a scene at %dx%d; ms per frame, cpu = main thread, render + swap\n",
                 frames, kWidth, kHeight);
    std::fprintf(results, "%-9s %6s %9s %9s %10s %9s %9s\n", "scene", "calls", "cpu med", "cpu p99",
                 "render med", "wall med", "wall p99");
    report("intro", measure(*host, frames));
    drive(*host, [&] { return app.m_introFrames >= kIntroEnd; });
    for (int t = 0; t < kMenuSettle; ++t) tick(*host);
    report("menu", measure(*host, frames));
    countReplies(*host);

    for (int theme = 1; theme <= kThemeCount; ++theme) {
        const std::string scene = "play " + std::to_string(theme);
        if (!enterPlay(*host, theme)) {
            std::fprintf(results, "%-9s %s\n", scene.c_str(),
                         firstLevelOf(theme) == 0 ? "no level uses it" : "not reached");
            continue;
        }
        report(scene, measure(*host, frames));
    }
    host->KeyEvent(kEventKeyUp, kKeyRight);
    return 0;
}
