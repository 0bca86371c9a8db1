// Sprite benchmark: draws N textured 32x32 sprites per frame (frames of one image, each with
// its own colour, alpha and rotation) through the graphics module into a real window, and
// prints CPU time, wall time and draw calls per frame for N = 1000, 2500 and 10000.
// Run under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/bench/sprites/sprites
// An optional argument sets the number of measured frames (default kFrames).
#include <GLFW/glfw3.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "graphics/kp_graphics.h"
#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

constexpr int kSpriteSize = 32;
constexpr int kSpriteFrames = 8;
constexpr int kFrames = 120;      // measured frames per sprite count
constexpr int kWarmUpFrames = 10; // drawn first, not measured
constexpr int kCounts[] = {1000, 2500, 10000};
constexpr int kQuadsPerBatch = gxtkGraphics::kMaxVertices / 4;

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One image of kSpriteFrames frames side by side, each a ring in its own colour.
std::unique_ptr<c_Image> makeSpriteImage(gxtkGraphics& device) {
    const int w = kSpriteSize * kSpriteFrames, h = kSpriteSize;
    std::unique_ptr<gxtkSurface> surface = device.CreateSurface(w, h);
    std::vector<int> argb(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int frame = x / kSpriteSize, dx = x % kSpriteSize - kSpriteSize / 2,
                dy = y - kSpriteSize / 2;
            int d2 = dx * dx + dy * dy;
            unsigned a = d2 < 15 * 15 && d2 > 6 * 6 ? 255u : d2 <= 6 * 6 ? 96u : 0u;
            unsigned rgb = 0x202020u * static_cast<unsigned>(frame) | 0x1f3f7fu;
            argb[static_cast<size_t>(y) * w + x] = static_cast<int>(a << 24 | (rgb & 0xffffffu));
        }
    }
    device.WritePixels2(surface.get(), argb, 0, 0, w, h, 0, w);
    auto image = std::make_unique<c_Image>();
    image->p_Init(std::move(surface), kSpriteFrames, c_Image::m_CentreHandleFlag);
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
    for (int i = 0; i < n; ++i) {
        float x = static_cast<float>((i * 37 + t * 3) % w);
        float y = static_cast<float>((i * 53 + t * 2) % h);
        kp_graphics_SetColor(static_cast<float>(128 + i % 128), static_cast<float>(255 - i % 200),
                             static_cast<float>(64 + (i * 7) % 192));
        kp_graphics_SetAlpha(0.5f + static_cast<float>(i % 50) / 100.0f);
        kp_graphics_DrawImage2(image, x, y, static_cast<float>((i * 11 + t * 5) % 360), 1, 1,
                               i % kSpriteFrames);
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

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry
// ---------------------------------------------------------------------------------------------
int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : kFrames;
    if (frames <= 0) frames = kFrames;
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

    char line[160];
    std::snprintf(line, sizeof line, "sprites: %d measured frames per row, window %dx%d, %s",
                  frames, device->Width(), device->Height(),
                  reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    kpPrint(std::string_view(line));
    kpPrint(std::string_view(
        "    sprites   cpu ms/frame   main-thread ms/frame   wall ms/frame   draw calls/frame"));
    bool batched = true;
    for (int n : kCounts) {
        Result r = measure(host, *device, image.get(), n, frames);
        int expected = (n + kQuadsPerBatch - 1) / kQuadsPerBatch;
        batched = batched && r.drawCalls == expected;
        std::snprintf(line, sizeof line, "%11d %14.3f %22.3f %15.3f %18.1f  (expected %d)", n,
                      r.cpuMs, r.mainThreadMs, r.wallMs, r.drawCalls, expected);
        kpPrint(std::string_view(line));
    }
    image.reset();
    device.reset();
    glfwTerminate();
    return batched ? 0 : 2;
}
