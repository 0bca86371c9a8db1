// Start-up benchmark: from process start to the first frame drawn after the start-up loader
// has finished, at 640x480 and at 1280x720 (the "-hd2" image set), median of five runs.
// Each run is a fresh child process (the game registers once per process). The time is split
// into updates (file decoding and texture upload happen there), renders, and the rest, which
// is the one-asset-per-frame pacing: sleeping until the next update and swapping buffers.
// The updates' main-thread CPU time is given too: it is the decoding and upload cost itself,
// which wall times on a busy machine hide.
//
// Usage: startup [folder holding data/]   (run under a display, e.g. xvfb-run)
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
    double total = 0, update = 0, render = 0, frames = 0, updateCpu = 0;
};

// Forwards every event to the game's delegate and times updates and renders.
class TimingDelegate : public KpGameDelegate {
  public:
    explicit TimingDelegate(KpGameDelegate* inner) : inner_(inner) {}
    void StartGame() override { inner_->StartGame(); }
    void SuspendGame() override { inner_->SuspendGame(); }
    void ResumeGame() override { inner_->ResumeGame(); }
    void UpdateGame() override {
        auto t = Clock::now();
        const double cpu = cpuSeconds();
        inner_->UpdateGame();
        figures.updateCpu += cpuSeconds() - cpu;
        figures.update += since(t);
    }
    void RenderGame() override {
        bool loaded = app() && app()->m_loadStep == 0;
        auto t = Clock::now();
        inner_->RenderGame();
        figures.render += since(t);
        figures.frames += 1;
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
};

// One run in this (child) process; writes its figures to fd.
int runOnce(int width, int height, int fd) {
    const auto start = Clock::now();
    if (!glfwInit()) return 1;
    auto* host = new KpZembraGame();
    kpInit();
    kpMain();
    TimingDelegate timing(host->Delegate());
    host->SetDelegate(&timing);
    host->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
    host->StartGame();
    while (!timing.done && since(start) < kGiveUpSeconds) host->RunIteration();
    timing.figures.total = since(start);
    if (write(fd, &timing.figures, sizeof timing.figures) != sizeof timing.figures) return 1;
    return timing.done ? 0 : 2;
}

bool measure(int width, int height, Figures& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout); // the child prints through the game; keep our lines out of it
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        _exit(runOnce(width, height, fds[1]));
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
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    std::printf("%-10s %10s %10s %10s %10s %8s %14s\n", "window", "total ms", "update ms",
                "render ms", "pacing ms", "frames", "update cpu ms");
    const int sizes[][2] = {{640, 480}, {1280, 720}};
    for (const auto& size : sizes) {
        std::vector<double> total, update, render, frames, updateCpu;
        for (int run = 0; run < kRuns; ++run) {
            Figures f;
            if (!measure(size[0], size[1], f)) {
                std::fprintf(stderr, "run failed at %dx%d\n", size[0], size[1]);
                return 1;
            }
            total.push_back(f.total * 1000);
            update.push_back(f.update * 1000);
            render.push_back(f.render * 1000);
            frames.push_back(f.frames);
            updateCpu.push_back(f.updateCpu * 1000);
        }
        double t = median(total), u = median(update), r = median(render);
        std::printf("%4dx%-5d %10.1f %10.1f %10.1f %10.1f %8.0f %14.1f\n", size[0], size[1], t, u,
                    r, t - u - r, median(frames), median(updateCpu));
    }
    return 0;
}
