// Start-up benchmark: from process start to the end of drawing the first frame after the
// start-up loader has finished, at 640x480 and at 1280x720 (the "-hd2" image set), median of five
// runs. Each run is a fresh child process (the game registers once per process). The time is split
// into updates (file decoding and texture upload happen there), renders, and the rest, which
// is the one-asset-per-frame pacing: sleeping until the next update and swapping buffers.
// The updates' main-thread CPU time is given too: it is the decoding and upload cost itself,
// which wall times on a busy machine hide. "above floor" is the total less the loader's own
// pacing floor (31 updates at 60 Hz): window, start-up and whatever the loader overran.
// "bare" is the same window opened by a program that does nothing else (GLFW's start, the
// context, one swap), run alternately with the game: the share of "above floor" that belongs
// to the display server and the OpenGL driver.
//
// Usage: startup [--timeline] [folder holding data/]   (run under a display, e.g. xvfb-run)
// --timeline also prints, for the first run at each size, every update and render with its
// time since process start and its length.
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "game/c_MyApp.h"
#include "runtime/kp_glfw_game.h"

namespace {

constexpr int kRuns = 5;
constexpr double kGiveUpSeconds = 60.0;
constexpr useconds_t kSettleMicros = 300000;    // pause before each run
constexpr double kFloorMs = 31 * 1000.0 / 60.0; // the loader's 31 updates at 60 Hz

bool timeline = false; // print this run's events

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Main-thread CPU time in seconds: on a machine shared with other work it moves far less than
// wall time, so the decoding cost stays comparable between runs.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Figures {
    double total = 0, update = 0, render = 0, frames = 0, updateCpu = 0, toLoader = 0;
};

// Forwards every event to the game's delegate and times updates and renders.
class TimingDelegate : public KpGameDelegate {
  public:
    TimingDelegate(KpGameDelegate* inner, Clock::time_point start) : inner_(inner), start_(start) {}
    void StartGame() override { inner_->StartGame(); }
    void SuspendGame() override { inner_->SuspendGame(); }
    void ResumeGame() override { inner_->ResumeGame(); }
    void UpdateGame() override {
        if (done) return; // the update after the measured frame: not part of the start-up
        auto t = Clock::now();
        const int step = app() ? app()->m_loadStep : -1;
        if (step == 1 && figures.toLoader == 0) figures.toLoader = since(start_);
        const double cpu = cpuSeconds();
        inner_->UpdateGame();
        figures.updateCpu += cpuSeconds() - cpu;
        figures.update += since(t);
        if (timeline) {
            std::printf("%9.1f ms  update, loader step %2d  %6.1f ms\n", since(start_) * 1000, step,
                        since(t) * 1000);
        }
    }
    void RenderGame() override {
        bool loaded = app() && app()->m_loadStep == 0;
        auto t = Clock::now();
        inner_->RenderGame();
        figures.render += since(t);
        figures.frames += 1;
        if (timeline) {
            std::printf("%9.1f ms  render                  %6.1f ms\n", since(start_) * 1000,
                        since(t) * 1000);
        }
        // The clock stops here: the rest of this loop iteration is the wait for the next
        // update, which belongs to the next frame.
        if (loaded && !done) figures.total = since(start_);
        if (loaded) done = true;
    }
    void KeyEvent(int e, int d) override { inner_->KeyEvent(e, d); }
    void MouseEvent(int e, int d, float x, float y) override { inner_->MouseEvent(e, d, x, y); }
    void TouchEvent(int e, int d, float x, float y) override { inner_->TouchEvent(e, d, x, y); }
    void MotionEvent(int e, int d, float x, float y, float z) override {
        inner_->MotionEvent(e, d, x, y, z);
    }
    void DiscardGraphics() override { inner_->DiscardGraphics(); }

    Figures figures;
    bool done = false;

  private:
    static c_MyApp* app() { return static_cast<c_MyApp*>(kp_app__app); }
    KpGameDelegate* inner_;
    Clock::time_point start_;
};

void mark(Clock::time_point start, const char* what) {
    if (timeline) std::printf("%9.1f ms  %s\n", since(start) * 1000, what);
}

// The same window opened by a program that does nothing else: GLFW's start, the window with
// its OpenGL context, one clear and one swap. It is the part of the start-up the game cannot
// shorten, measured on the same display.
double bareWindow(int width, int height) {
    const auto start = Clock::now();
    if (!glfwInit()) return -1;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "bare", nullptr, nullptr);
    if (!window) return -1;
    glfwMakeContextCurrent(window);
    glfwShowWindow(window);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
    return since(start);
}

// One run in this (child) process; writes its figures to fd.
int runOnce(int width, int height, int fd, bool bare) {
    const auto start = Clock::now();
    if (bare) {
        Figures f;
        f.total = bareWindow(width, height);
        if (write(fd, &f, sizeof f) != sizeof f) return 1;
        return f.total < 0 ? 1 : 0;
    }
    if (!glfwInit()) return 1;
    auto* host = new KpZembraGame();
    kpInit();
    kpMain();
    TimingDelegate timing(host->Delegate(), start);
    host->SetDelegate(&timing);
    mark(start, "GLFW and the game object ready");
    host->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
    mark(start, "window open");
    host->StartGame();
    mark(start, "game started (state file read, title tune asked for)");
    while (!timing.done && since(start) < kGiveUpSeconds) host->RunIteration();
    if (!timing.done) timing.figures.total = since(start);
    std::fflush(stdout); // the child leaves with _exit, which would drop buffered lines
    if (write(fd, &timing.figures, sizeof timing.figures) != sizeof timing.figures) return 1;
    return timing.done ? 0 : 2;
}

bool measure(int width, int height, Figures& out, bool printTimeline, bool bare = false) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout); // the child prints through the game; keep our lines out of it
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        timeline = printTimeline;
        _exit(runOnce(width, height, fds[1], bare));
    }
    close(fds[1]);
    ssize_t n = read(fds[0], &out, sizeof out);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return n == sizeof out && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    bool wantTimeline = false;
    int arg = 1;
    if (arg < argc && std::string(argv[arg]) == "--timeline") {
        wantTimeline = true;
        ++arg;
    }
    if (arg < argc && chdir(argv[arg]) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", argv[arg]);
        return 1;
    }
    std::vector<std::string> rows;
    const int sizes[][2] = {{640, 480}, {1280, 720}};
    for (const auto& size : sizes) {
        std::vector<double> total, update, render, frames, updateCpu, toLoader, bare;
        for (int run = 0; run < kRuns; ++run) {
            // Let the display server finish tearing down the previous run's window first.
            usleep(kSettleMicros);
            Figures f;
            if (wantTimeline && run == 0) std::printf("%dx%d, first run:\n", size[0], size[1]);
            if (!measure(size[0], size[1], f, wantTimeline && run == 0)) {
                std::fprintf(stderr, "run failed at %dx%d\n", size[0], size[1]);
                return 1;
            }
            total.push_back(f.total * 1000);
            update.push_back(f.update * 1000);
            render.push_back(f.render * 1000);
            frames.push_back(f.frames);
            updateCpu.push_back(f.updateCpu * 1000);
            toLoader.push_back(f.toLoader * 1000);
            usleep(kSettleMicros);
            if (!measure(size[0], size[1], f, false, true)) {
                std::fprintf(stderr, "bare window failed at %dx%d\n", size[0], size[1]);
                return 1;
            }
            bare.push_back(f.total * 1000);
        }
        double t = median(total), u = median(update), r = median(render);
        char row[256];
        std::snprintf(row, sizeof row,
                      "%4dx%-5d %9.1f %9.1f %8.1f %11.1f %9.1f %9.1f %9.1f %7.0f %10.1f", size[0],
                      size[1], t, t - kFloorMs, median(bare), median(toLoader), u, r, t - u - r,
                      median(frames), median(updateCpu));
        rows.push_back(row);
    }
    std::printf("%-10s %9s %9s %8s %11s %9s %9s %9s %7s %10s\n", "window", "total", "above", "bare",
                "to loader", "updates", "renders", "pacing", "frames", "update cpu");
    std::printf("%-10s %9s %9s %8s %11s %9s %9s %9s %7s %10s\n", "", "ms", "floor ms", "ms", "ms",
                "ms", "ms", "ms", "", "ms");
    for (const std::string& row : rows) std::printf("%s\n", row.c_str());
    std::printf("floor: the loader's 31 updates at 60 Hz, %.1f ms; bare: an empty program's "
                "GLFW start, window and first swap\n",
                kFloorMs);
    return 0;
}
