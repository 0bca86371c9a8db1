// Frame benchmark: the real game on the real GLFW host at 640x480 and at 1280x720 (each
// size in a run of its own), driven to each scene by its own updates (the intro, the menu,
// and a play frame of every theme, entered as the menu enters a level, with the button
// held), each scene's frame then rendered and swapped many times, in rounds that alternate
// the render device's shortcuts off and on. Prints per scene, off and on: the draw calls,
// the main thread's CPU ms per frame (median and 99th percentile, render plus swap), the
// whole process's CPU ms per frame (every thread, the OpenGL driver's included; median),
// its ratio on/off, wall ms, and the pixels drawn per frame against the window's pixels
// (overdraw, counted by the driver with an occlusion query). Then, at 640x480, counts the
// synchronous X replies per steady frame of the host's own loop in the menu, through a
// small counter library that the benchmark preloads into itself, both for the whole loop
// and for its render and update alone (without the buffer swap).
//
// Usage: frame [folder holding data/] [frames per scene] [WIDTHxHEIGHT]   (under a display)
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "graphics/kp_graphics.h"
#include "tools/bench/frame/scenes.h"

using namespace scenes;

namespace {

constexpr int kSizes[][2] = {{640, 480}, {1280, 720}};
constexpr int kDefaultFrames = 300;
constexpr int kRounds = 6;                // rounds per scene, alternating the shortcuts off and on
constexpr GLenum kSamplesPassed = 0x8914; // GL_SAMPLES_PASSED, OpenGL 1.5
constexpr int kSteadyFrames = 120;        // host loop frames over which X replies are counted
constexpr const char* kCounterLibrary = "libframe_xcount.so";
constexpr const char* kPreloadedMark = "KP_FRAME_PRELOADED";

using Clock = std::chrono::steady_clock;
using Counter = unsigned long (*)();

// The figures go here; the game's own status lines on standard output are dropped.
FILE* results = stdout;

double clockMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double cpuMs() {
    return clockMs(CLOCK_THREAD_CPUTIME_ID);
}

// Every thread of the process: the driver's rasterising threads too.
double processMs() {
    return clockMs(CLOCK_PROCESS_CPUTIME_ID);
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

// Per-frame samples of one setting of the shortcuts.
struct Samples {
    std::vector<double> cpu, process, wall;
    int drawCalls = 0;
    double overdraw = 0;
};

// Pixels drawn in one render of the current frame, counted by the driver, per window pixel;
// 0 where the driver has no occlusion queries.
double overdraw(KpGlfwGame& host) {
    using GenQueries = void (*)(GLsizei, GLuint*);
    using Query = void (*)(GLenum, GLuint);
    using EndQuery = void (*)(GLenum);
    using GetResult = void (*)(GLuint, GLenum, GLuint*);
    using DeleteQueries = void (*)(GLsizei, const GLuint*);
    auto gen = reinterpret_cast<GenQueries>(glfwGetProcAddress("glGenQueries"));
    auto begin = reinterpret_cast<Query>(glfwGetProcAddress("glBeginQuery"));
    auto end = reinterpret_cast<EndQuery>(glfwGetProcAddress("glEndQuery"));
    auto result = reinterpret_cast<GetResult>(glfwGetProcAddress("glGetQueryObjectuiv"));
    auto remove = reinterpret_cast<DeleteQueries>(glfwGetProcAddress("glDeleteQueries"));
    if (!gen || !begin || !end || !result || !remove) return 0;
    GLuint query = 0, pixels = 0;
    gen(1, &query);
    begin(kSamplesPassed, query);
    host.RenderGame();
    end(kSamplesPassed);
    result(query, 0x8866 /* GL_QUERY_RESULT */, &pixels);
    remove(1, &query);
    glfwSwapBuffers(host.Window());
    glfwPollEvents();
    const double screen = static_cast<double>(host.GetDeviceWidth()) * host.GetDeviceHeight();
    return screen > 0 ? pixels / screen : 0;
}

// The current frame rendered and swapped `frames` times with no update between, adding to
// the samples.
void measure(KpGlfwGame& host, int frames, Samples& out) {
    for (int f = 0; f < frames; ++f) {
        const double w0 = wallMs(), c0 = cpuMs(), p0 = processMs();
        host.RenderGame();
        glfwSwapBuffers(host.Window());
        const double c2 = cpuMs(), p2 = processMs(), w2 = wallMs();
        out.drawCalls = kp_graphics_device->DrawCalls();
        out.cpu.push_back(c2 - c0);
        out.process.push_back(p2 - p0);
        out.wall.push_back(w2 - w0);
        glfwPollEvents();
    }
}

// The scene measured with the shortcuts off and on in alternating rounds, then reported.
void measureScene(KpGlfwGame& host, const std::string& scene, int frames) {
    Samples off, on;
    gxtkGraphics& device = *kp_graphics_device;
    for (int round = 0; round < kRounds; ++round) {
        const bool onFirst = round % 2 == 1;
        device.SetShortcuts(onFirst);
        measure(host, frames / kRounds, onFirst ? on : off);
        device.SetShortcuts(!onFirst);
        measure(host, frames / kRounds, onFirst ? off : on);
    }
    device.SetShortcuts(false);
    off.overdraw = overdraw(host);
    device.SetShortcuts(true);
    on.overdraw = overdraw(host);
    const double offProcess = percentile(off.process, 0.5);
    const double onProcess = percentile(on.process, 0.5);
    std::fprintf(results,
                 "%-9s %3d %3d %7.3f %7.3f %7.3f %8.3f %8.3f %6.2f %8.3f %8.3f %6.2f %6.2f\n",
                 scene.c_str(), off.drawCalls, on.drawCalls, percentile(off.cpu, 0.5),
                 percentile(on.cpu, 0.5), percentile(on.cpu, 0.99), offProcess, onProcess,
                 offProcess > 0 ? onProcess / offProcess : 0, percentile(off.wall, 0.5),
                 percentile(on.wall, 0.5), off.overdraw, on.overdraw);
    std::fflush(results);
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

// Runs this program once per window size, one after the other; the exit status of the last
// that failed, else 0.
int runEachSize(char** argv, int argc) {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 1;
    int status = 0;
    for (const auto& size : kSizes) {
        std::string folder = argc > 1 ? argv[1] : ".";
        std::string frames = argc > 2 ? argv[2] : std::to_string(kDefaultFrames);
        std::string wxh = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            execl(self, self, folder.c_str(), frames.c_str(), wxh.c_str(), nullptr);
            _exit(127);
        }
        int childStatus = 0;
        if (child < 0 || waitpid(child, &childStatus, 0) != child) return 1;
        if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) status = 1;
    }
    return status;
}

int main(int argc, char** argv) {
    preloadCounter(argv);
    if (argc < 4) return runEachSize(argv, argc);
    int width = 0, height = 0;
    if (std::sscanf(argv[3], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: frame [FOLDER] [FRAMES] [WIDTHxHEIGHT]\n");
        return 1;
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    const int frames = std::max(kRounds * 2, std::atoi(argv[2]));
    const int saved = dup(STDOUT_FILENO);
    if (saved >= 0 && std::freopen("/dev/null", "w", stdout)) results = fdopen(saved, "w");
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (!glfwInit()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    KpGlfwGame* host = startGame(width, height);
    if (!host) {
        std::fprintf(stderr, "the start-up loader did not finish\n");
        return 1;
    }

    std::fprintf(results,
                 "%d frames a scene at %dx%d, %d rounds alternating the shortcuts off and on; ms "
                 "per frame of render + swap: main = main thread, process = every thread "
                 "(medians); pixels drawn per window pixel\n",
                 frames, width, height, kRounds);
    std::fprintf(results, "%-9s %3s %3s %7s %7s %7s %8s %8s %6s %8s %8s %6s %6s\n", "", "calls", "",
                 "main", "", "main", "process", "", "", "wall", "", "pixels", "");
    std::fprintf(results, "%-9s %3s %3s %7s %7s %7s %8s %8s %6s %8s %8s %6s %6s\n", "scene", "off",
                 "on", "off", "on", "on p99", "off", "on", "on/off", "off", "on", "off", "on");
    measureScene(*host, "intro", frames);
    toMenu(*host);
    measureScene(*host, "menu", frames);
    if (width == kSizes[0][0] && height == kSizes[0][1]) countReplies(*host);

    for (int theme = 1; theme <= kThemeCount; ++theme) {
        const std::string scene = "play " + std::to_string(theme);
        if (!enterPlay(*host, theme)) {
            std::fprintf(results, "%-9s %s\n", scene.c_str(),
                         firstLevelOf(theme) == 0 ? "no level uses it" : "not reached");
            continue;
        }
        measureScene(*host, scene, frames);
    }
    host->KeyEvent(kEventKeyUp, kKeyRight);
    return 0;
}
