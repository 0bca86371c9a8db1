// Sprite benchmark: draws N sprites per frame from one 128x128 texture, each shown at 32x32
// with its own rotation, tint and alpha, through the graphics module into a real 640x480
// window, and prints per frame the whole process's CPU time (every thread, the OpenGL
// driver's included), the main thread's, wall time and draw calls, for N = 1000, 2500 and
// 10000. Given a peer program (one that draws the same workload through another renderer
// and prints "peer NAME N MAIN_MS PROCESS_MS WALL_MS" when run as "PEER N FRAMES WARMUP"),
// it runs both in turn, RUNS times interleaved, and prints the medians and the ratios.
// Run under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/bench/sprites/sprites
// Usage: sprites [FRAMES] [--peer PROGRAM] [--runs RUNS]
#include <GLFW/glfw3.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "graphics/kp_graphics.h"
#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

constexpr int kTextureSize = 128;
constexpr int kShownSize = 32;    // pixels a sprite covers on screen, unrotated
constexpr int kFrames = 300;      // measured frames per sprite count
constexpr int kWarmUpFrames = 10; // drawn first, not measured
constexpr int kPeerRuns = 5;      // interleaved runs of ours and the peer's
constexpr int kCounts[] = {1000, 2500, 10000};
constexpr int kQuadsPerBatch = gxtkGraphics::kMaxVertices / 4;
constexpr int kRingOuter = 60, kRingInner = 24; // the texture: a ring around a faint disc
constexpr unsigned kRingRgb = 0x3f7fbfu;

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One 128x128 image: a ring around a faint disc, clear outside.
std::unique_ptr<c_Image> makeSpriteImage(gxtkGraphics& device) {
    const int size = kTextureSize;
    std::unique_ptr<gxtkSurface> surface = device.CreateSurface(size, size);
    std::vector<int> argb(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int dx = x - size / 2, dy = y - size / 2, d2 = dx * dx + dy * dy;
            const unsigned a = d2 < kRingOuter * kRingOuter && d2 > kRingInner * kRingInner ? 255u
                               : d2 <= kRingInner * kRingInner                              ? 96u
                                                                                            : 0u;
            argb[static_cast<size_t>(y) * size + x] = static_cast<int>(a << 24 | kRingRgb);
        }
    }
    device.WritePixels2(surface.get(), argb, 0, 0, size, size, 0, size);
    auto image = std::make_unique<c_Image>();
    image->p_Init(std::move(surface), 1, c_Image::m_CentreHandleFlag);
    return image;
}

struct Result {
    double cpuMs;
    double mainThreadMs;
    double wallMs;
    double drawCalls;
};

// Draws one frame of n sprites; the picture moves with the frame number t.
int drawFrame(gxtkGraphics& device, c_Image* image, int n, int t) {
    device.BeginRender();
    kp_graphics_BeginRender();
    device.Cls(16, 16, 32);
    const int w = device.Width(), h = device.Height();
    const float scale = static_cast<float>(kShownSize) / kTextureSize;
    for (int i = 0; i < n; ++i) {
        float x = static_cast<float>((i * 37 + t * 3) % w);
        float y = static_cast<float>((i * 53 + t * 2) % h);
        kp_graphics_SetColor(static_cast<float>(128 + i % 128), static_cast<float>(255 - i % 200),
                             static_cast<float>(64 + (i * 7) % 192));
        kp_graphics_SetAlpha(0.5f + static_cast<float>(i % 50) / 100.0f);
        // The peer turns clockwise for positive angles on a y-down screen, as the game does.
        kp_graphics_DrawImage2(image, x, y, -static_cast<float>((i * 11 + t * 5) % 360), scale,
                               scale, 0);
    }
    kp_graphics_EndRender();
    device.EndRender();
    return device.DrawCalls();
}

Result measure(KpGlfwGame& host, gxtkGraphics& device, c_Image* image, int n, int frames) {
    for (int t = 0; t < kWarmUpFrames; ++t) {
        drawFrame(device, image, n, t);
        glfwSwapBuffers(host.Window());
    }
    long calls = 0;
    double cpu0 = seconds(CLOCK_PROCESS_CPUTIME_ID), thread0 = seconds(CLOCK_THREAD_CPUTIME_ID);
    double wall0 = seconds(CLOCK_MONOTONIC);
    for (int t = 0; t < frames; ++t) {
        calls += drawFrame(device, image, n, t);
        glfwSwapBuffers(host.Window());
        glfwPollEvents();
    }
    glFinish();
    double perFrame = 1000.0 / frames;
    return {(seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0) * perFrame,
            (seconds(CLOCK_THREAD_CPUTIME_ID) - thread0) * perFrame,
            (seconds(CLOCK_MONOTONIC) - wall0) * perFrame, static_cast<double>(calls) / frames};
}

// The peer's figures for n sprites: main-thread and process CPU ms per frame; false when it
// could not be run or printed nothing readable.
bool runPeer(const std::string& program, int n, int frames, Result& out) {
    const std::string command = program + " " + std::to_string(n) + " " + std::to_string(frames) +
                                " " + std::to_string(kWarmUpFrames) + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char name[64] = {};
    int count = 0;
    const int got = std::fscanf(pipe, "peer %63s %d %lf %lf %lf", name, &count, &out.mainThreadMs,
                                &out.cpuMs, &out.wallMs);
    pclose(pipe);
    return got == 5 && count == n;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry
// ---------------------------------------------------------------------------------------------
int main(int argc, char** argv) {
    int frames = kFrames, runs = 1;
    std::string peer;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--peer") == 0 && i + 1 < argc) {
            peer = argv[++i];
            runs = kPeerRuns;
        } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::atoi(argv[i]) > 0) {
            frames = std::atoi(argv[i]);
        }
    }
    if (glfwInit() != GLFW_TRUE) {
        kpPrint(std::string_view("sprites: no display (run it under xvfb-run)"));
        return 1;
    }
    KpGlfwGame host;
    host.SetSwapInterval(0); // measure drawing, not the display's refresh
    host.OpenInitialWindow();
    if (!host.Window()) {
        kpPrint(std::string_view("sprites: could not open a window"));
        return 1;
    }
    kp_app_Init(&host);
    kp_app_ValidateDeviceWindow(false);
    kp_graphics_Init();
    auto device = std::make_unique<gxtkGraphics>();
    kp_graphics_SetGraphicsDevice(device.get());
    std::unique_ptr<c_Image> image = makeSpriteImage(*device);

    char line[200];
    std::snprintf(line, sizeof line,
                  "sprites: %d measured frames, %d run(s), window %dx%d, %s; ms per frame", frames,
                  runs, device->Width(), device->Height(),
                  reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    kpPrint(std::string_view(line));
    // Per count: ours and the peer's figures of every run, taken in turn.
    const size_t counts = std::size(kCounts);
    std::vector<std::vector<Result>> ours(counts), theirs(counts);
    bool batched = true, peerRan = !peer.empty();
    for (int run = 0; run < runs; ++run) {
        for (size_t c = 0; c < counts; ++c) {
            const int n = kCounts[c];
            Result r = measure(host, *device, image.get(), n, frames);
            batched = batched && r.drawCalls == (n + kQuadsPerBatch - 1) / kQuadsPerBatch;
            ours[c].push_back(r);
            Result p{};
            if (peerRan && runPeer(peer, n, frames, p)) {
                theirs[c].push_back(p);
            } else {
                peerRan = false;
            }
        }
    }
    kpPrint(std::string_view(
        "    sprites  process ms  main-thread ms  wall ms  draw calls   (medians of the runs)"));
    for (size_t c = 0; c < counts; ++c) {
        std::vector<double> cpu, main, wall;
        for (const Result& r : ours[c]) {
            cpu.push_back(r.cpuMs);
            main.push_back(r.mainThreadMs);
            wall.push_back(r.wallMs);
        }
        std::snprintf(line, sizeof line, "%12d %11.3f %15.3f %8.3f %11.1f", kCounts[c], median(cpu),
                      median(main), median(wall), ours[c].back().drawCalls);
        kpPrint(std::string_view(line));
    }
    if (peerRan) {
        kpPrint(std::string_view("    sprites  peer process  peer main  process ratio  main "
                                 "ratio   (ours / peer, medians of the runs)"));
        for (size_t c = 0; c < counts; ++c) {
            std::vector<double> pcpu, pmain, rcpu, rmain;
            for (size_t r = 0; r < theirs[c].size(); ++r) {
                pcpu.push_back(theirs[c][r].cpuMs);
                pmain.push_back(theirs[c][r].mainThreadMs);
                rcpu.push_back(ours[c][r].cpuMs / theirs[c][r].cpuMs);
                rmain.push_back(ours[c][r].mainThreadMs / theirs[c][r].mainThreadMs);
            }
            std::snprintf(line, sizeof line, "%12d %13.3f %10.3f %14.2f %11.2f", kCounts[c],
                          median(pcpu), median(pmain), median(rcpu), median(rmain));
            kpPrint(std::string_view(line));
        }
    } else if (!peer.empty()) {
        kpPrint(std::string_view("sprites: the peer program did not run or printed no figures"));
    }
    image.reset();
    device.reset();
    glfwTerminate();
    return batched ? 0 : 2;
}
