// Display soak: the real game on the real GLFW host under a display (Xvfb), run by its own
// frame loop at its own pace for a chosen time, with random keys, the go key held and let go,
// pointer moves and clicks, focus taken away through the X server and given back, window
// sizes and the fullscreen key. Every sample period it prints the resident memory, the open
// file descriptors, the OpenGL textures alive in the current context (asked of the driver,
// name by name), the textures the game's images hold, the draw list's size and the memory
// the process's allocations hold (the driver's included), which tells a leak apart from
// pages the allocator keeps after a window size was left, the theme, and the memory the images
// account for (their pixel copies, their textures and the decoded pixels the loader has not
// taken yet), the anonymous part of resident memory (not backed by files: the heap, the
// driver's own mappings, stacks) and the allocator's free bytes. With --trim each sample then
// gives the allocator's free pages back, as the host does after a large release, and prints
// resident memory again: what stays is held by the program, not kept free by the allocator.
// Last come the sound memory (every OpenAL buffer alive, asked of the library name by name)
// and the part of it the music channel's tune holds.
// At the end the first and last samples and, per figure, its range and whether it
// rose: in how many of the states (window size, screen, theme, images and their memory, the
// tune's memory) seen at least twice in each half of the run the second half's floor lies
// above the first's (both floors over as many samples); for the draw list, whether the second
// half's sizes all lie above the first half's. With --judge it reads the samples a
// run printed and prints the verdict on them alone, so a run can be judged again.
// Keys that end the program by design (back on the menu, F4, the close key) are never sent.
//
// Usage: soak FOLDER --seconds S [--seed N] [--sample SECONDS] [--trim]  (FOLDER holds data/)
//        soak --judge FILE                                      (FILE: a run's output)
// Exit status: 0 done; 1 the game ended the program or the window could not be opened;
// 2 textures alive differed from the ones held (a leak or a lost texture); 3 bad usage.
#include <AL/al.h>
#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <malloc.h>
#include <random>
#include <set>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "audio/gxtkAudio.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "runtime/kp_glfw_game.h"
#include "runtime/kp_image_prefetch.h"
#include "tools/random_keys.h"
#include "tools/soak/soak_verdict.h"
// Last: Xlib's macros would clash with names in the headers above.
#include <X11/Xlib.h>

// GLFW's own X11 accessors (glfw3native.h would also pull in the XRandR headers).
extern "C" Display* glfwGetX11Display();
extern "C" Window glfwGetX11Window(GLFWwindow* window);

namespace {

using soak::kAbsent;
using soak::Sample;

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
constexpr int kDefaultSeed = 1;
constexpr double kDefaultSample = 60.0;        // seconds between samples
constexpr unsigned kMaxTextureName = 1u << 18; // names asked of the driver per sample
constexpr unsigned kMaxBufferName = 1u << 16;  // names asked of OpenAL per sample
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr double kSuspendedPause = 1.0 / 60; // the loop's pace while nothing updates
constexpr int kExitOk = 0;
constexpr int kExitEnded = 1;
constexpr int kExitLeak = 2;
constexpr int kExitUsage = 3;

constexpr int kKeyF11 = KpRandomKeys::kKeyF11; // with its own, lower, chance
constexpr int kWindowSizes[][2] = {{640, 480},   {800, 600}, {1280, 720}, {320, 240},
                                   {1280, 1024}, {480, 640}, {200, 150}};

// How likely each input is in one loop iteration (about 60 a second).
constexpr double kPointerMove = 0.05;
constexpr double kPointerPress = 0.02;
constexpr double kPointerRelease = 0.2;
constexpr double kFocusLoss = 0.0015;
constexpr double kFocusBack = 0.03;
constexpr double kResize = 0.002;
constexpr double kFullscreenKey = 0.001;

// ---------------------------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------------------------

struct Soak {
    std::mt19937 random;
    KpRandomKeys keys;
    bool pointerDown = false;
    bool focusTaken = false;
    GLFWwindow* window = nullptr; // the window last seen: the fullscreen key opens a new one
    bool suspended = false;       // as the host was at the last iteration
    // What was done and seen, printed at the end.
    int keyPresses = 0, clicks = 0, focusLosses = 0, suspends = 0, resizes = 0, fullscreenKeys = 0;
    int windows = 0;
    std::set<int> screens;
};

bool running = false; // the soak is under way: an exit now is the game's doing
double runStart = 0;
FILE* out = stdout; // the figures; the game's own status lines go to /dev/null

// ---------------------------------------------------------------------------------------------
// Internal functions
// ---------------------------------------------------------------------------------------------
double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void reportUnexpectedExit() {
    if (!running) return;
    std::fprintf(stderr, "soak: the game ended the program after %.0f s\n", now() - runStart);
    std::fflush(stderr);
    _exit(kExitEnded);
}

c_MyApp& game() {
    return *static_cast<c_MyApp*>(kp_app__app);
}

bool chance(Soak& s, double p) {
    return std::uniform_real_distribution<double>(0, 1)(s.random) < p;
}

int pick(Soak& s, int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(s.random);
}

double residentMb() {
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMegabyte;
}

double inUseMb() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / kMegabyte;
}

double freeMb() {
    return static_cast<double>(mallinfo2().fordblks) / kMegabyte;
}

// The kernel's count of resident anonymous pages, in MB.
double anonymousMb() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return kAbsent;
    char line[256];
    long kb = -1;
    while (kb < 0 && std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "RssAnon: %ld kB", &kb) != 1) kb = -1;
    }
    std::fclose(f);
    return kb < 0 ? kAbsent : static_cast<double>(kb) / 1024.0;
}

// The bytes of an OpenAL buffer, 0 for none.
double bufferMb(ALuint buffer) {
    ALint size = 0;
    if (buffer != 0 && alIsBuffer(buffer) == AL_TRUE) alGetBufferi(buffer, AL_SIZE, &size);
    return static_cast<double>(size) / kMegabyte;
}

// Buffer names OpenAL knows in the current context, whoever made them, in MB.
double soundMb() {
    if (!gxtkAudio::audio || !gxtkAudio::audio->Live()) return 0;
    double mb = 0;
    for (ALuint name = 1; name < kMaxBufferName; ++name) mb += bufferMb(name);
    return mb;
}

// The tune the music channel holds: a stopped tune's buffer stays until the next replaces it.
double musicMb() {
    if (!gxtkAudio::audio || !gxtkAudio::audio->Live()) return 0;
    const auto& sample = gxtkAudio::audio->channels[kMusicChannel].sample;
    return sample ? bufferMb(sample->buffer) : 0;
}

int openDescriptors() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    closedir(dir);
    return count - 1; // the directory's own descriptor
}

// Texture names the driver knows in the current context, whoever made them.
int texturesAlive() {
    int count = 0;
    for (GLuint name = 1; name < kMaxTextureName; ++name) {
        if (glIsTexture(name) == GL_TRUE) ++count;
    }
    return count;
}

bool holdsTexture(const c_Image* image) {
    return image && image->surface && image->surface->seq == glfwGraphicsSeq;
}

int texturesHeld() {
    int count = holdsTexture(kp_graphics_context->defaultFont.get()) ? 1 : 0;
    for (const auto& image : game().m_images) count += holdsTexture(image.get()) ? 1 : 0;
    return count;
}

// An image's pixel copy and, when it holds one, its texture.
size_t bytesOf(const c_Image* image) {
    if (!image || !image->surface) return 0;
    const gxtkSurface& surface = *image->surface;
    const size_t pixels = static_cast<size_t>(surface.width) * surface.height * surface.depth;
    return (surface.data ? pixels : 0) + (holdsTexture(image) ? pixels : 0);
}

size_t imageBytes(KpGlfwGame& host) {
    size_t bytes = bytesOf(kp_graphics_context->defaultFont.get());
    for (const auto& image : game().m_images) bytes += bytesOf(image.get());
    if (host.ImagePrefetch()) bytes += host.ImagePrefetch()->DecodedBytes();
    return bytes;
}

Sample takeSample(KpGlfwGame& host, bool trim) {
    Sample s;
    s.seconds = now() - runStart;
    s.rssMb = residentMb();
    s.anonMb = anonymousMb(); // at once, so that both count the same pages
    s.inUseMb = inUseMb();
    s.fds = openDescriptors();
    s.textures = texturesAlive();
    s.held = texturesHeld();
    s.drawCommands = game().m_drawCount / kDrawStride;
    s.width = host.GetDeviceWidth();
    s.height = host.GetDeviceHeight();
    s.screen = game().m_screen;
    s.theme = game().m_theme;
    s.imageMb = static_cast<double>(imageBytes(host)) / kMegabyte;
    s.freeMb = freeMb();
    s.soundMb = soundMb();
    s.musicMb = musicMb();
    if (trim) {
        malloc_trim(0);
        s.trimmedMb = residentMb();
    }
    return s;
}

// Takes the keyboard focus from the game's window, as switching to another program does, or
// gives it back; the host sees the change through its focus callback.
void setFocus(KpGlfwGame& host, bool toGame) {
    Display* display = glfwGetX11Display();
    if (toGame) {
        XSetInputFocus(display, glfwGetX11Window(host.Window()), RevertToPointerRoot, CurrentTime);
    } else {
        XSetInputFocus(display, DefaultRootWindow(display), RevertToPointerRoot, CurrentTime);
    }
    XFlush(display);
}

void randomInput(Soak& s, KpGlfwGame& host) {
    const int screen = game().m_screen;
    const bool onMenu = screen == kScreenMenu || screen == kScreenToMenu;
    s.keyPresses += s.keys.Step(host, s.random, onMenu);
    const float w = static_cast<float>(host.GetDeviceWidth());
    const float h = static_cast<float>(host.GetDeviceHeight());
    if (chance(s, kPointerMove)) {
        std::uniform_real_distribution<float> x(0.0f, w), y(0.0f, h);
        host.MouseEvent(kEventMouseMove, -1, x(s.random), y(s.random));
    }
    if (!s.pointerDown && chance(s, kPointerPress)) {
        std::uniform_real_distribution<float> x(0.0f, w), y(0.0f, h);
        host.MouseEvent(kEventMouseDown, 0, x(s.random), y(s.random));
        s.pointerDown = true;
        ++s.clicks;
    } else if (s.pointerDown && chance(s, kPointerRelease)) {
        host.MouseEvent(kEventMouseUp, 0, 0, 0);
        s.pointerDown = false;
    }
    if (!s.focusTaken && chance(s, kFocusLoss)) {
        setFocus(host, false);
        s.focusTaken = true;
        ++s.focusLosses;
    } else if (s.focusTaken && chance(s, kFocusBack)) {
        setFocus(host, true);
        s.focusTaken = false;
    }
    if (chance(s, kResize)) {
        const auto& size = kWindowSizes[pick(s, static_cast<int>(std::size(kWindowSizes)))];
        glfwSetWindowSize(host.Window(), size[0], size[1]);
        ++s.resizes;
    }
    if (chance(s, kFullscreenKey)) {
        host.KeyEvent(kEventKeyDown, kKeyF11);
        host.KeyEvent(kEventKeyUp, kKeyF11);
        ++s.fullscreenKeys;
    }
}

int usage() {
    std::fprintf(stderr, "usage: soak FOLDER --seconds S [--seed N] [--sample SECONDS] [--trim]\n"
                         "       soak --judge FILE\n");
    return kExitUsage;
}

// Reads the sample lines of a run's output, up to its closing summary, and judges them as the
// run does, leaving out the first sample.
int judge(const char* path) {
    FILE* f = std::fopen(path, "r");
    if (!f) {
        std::fprintf(stderr, "soak: cannot read %s\n", path);
        return kExitUsage;
    }
    const std::vector<Sample> samples = soak::readSamples(f);
    std::fclose(f);
    if (samples.empty()) {
        std::fprintf(stderr, "soak: no samples in %s\n", path);
        return kExitUsage;
    }
    soak::printVerdict(out, std::vector<Sample>(samples.begin() + 1, samples.end()));
    return kExitOk;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry
// ---------------------------------------------------------------------------------------------
int main(int argc, char** argv) {
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "--judge") == 0) return argc == 3 ? judge(argv[2]) : usage();
    double seconds = -1, samplePeriod = kDefaultSample;
    int seed = kDefaultSeed;
    bool trim = false;
    for (int i = 2; i < argc; i += 2) {
        if (std::strcmp(argv[i], "--trim") == 0) {
            trim = true;
            --i; // a flag without a value
        } else if (i + 1 == argc) {
            return usage();
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            seed = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--sample") == 0) {
            samplePeriod = std::atof(argv[i + 1]);
        } else {
            return usage();
        }
    }
    if (seconds <= 0 || samplePeriod <= 0) return usage();
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "soak: cannot enter %s\n", argv[1]);
        return kExitUsage;
    }
    // The figures go to standard output; the game's own status lines are dropped.
    const int saved = dup(STDOUT_FILENO);
    if (saved < 0 || !std::freopen("/dev/null", "w", stdout)) return kExitUsage;
    out = fdopen(saved, "w");
    if (!out) return kExitUsage;
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (!glfwInit()) {
        std::fprintf(stderr, "soak: no display\n");
        return kExitEnded;
    }
    auto* host = new KpZembraGame();
    kpInit();
    kpMain();
    host->OpenInitialWindow();
    if (!host->WindowOpen()) {
        std::fprintf(stderr, "soak: could not open a window\n");
        return kExitEnded;
    }
    host->StartGame();
    std::atexit(reportUnexpectedExit);
    std::fprintf(out, "soak: %.0f s, seed %d, a sample every %.0f s\n", seconds, seed,
                 samplePeriod);
    std::fprintf(out, "%8s %9s %5s %9s %6s %8s %12s %6s %9s %5s %9s %9s %9s %10s %9s %9s\n",
                 "seconds", "rss MB", "fds", "textures", "held", "commands", "window", "screen",
                 "in use MB", "theme", "images MB", "anon MB", "free MB", "trimmed MB", "sound MB",
                 "music MB");

    Soak s;
    s.random.seed(static_cast<unsigned>(seed));
    running = true;
    runStart = now();
    std::vector<Sample> samples;
    bool leak = false;
    double nextSample = 0;
    while (true) {
        const double t = now() - runStart;
        if (t >= nextSample) {
            samples.push_back(takeSample(*host, trim));
            soak::printSample(out, samples.back());
            leak = leak || samples.back().textures != samples.back().held;
            nextSample += samplePeriod;
        }
        if (t >= seconds) break;
        if (host->Window() != s.window) {
            // A new window has no focus until it is given some, as a window manager would.
            s.window = host->Window();
            s.focusTaken = true;
            ++s.windows;
        }
        randomInput(s, *host);
        if (host->Suspended()) {
            // The loop waits for events while suspended: one arrives at the loop's own pace.
            glfwPostEmptyEvent();
            usleep(static_cast<useconds_t>(kSuspendedPause * 1e6));
        }
        host->RunIteration();
        if (!host->WindowOpen()) break;
        if (host->Suspended() && !s.suspended) ++s.suspends;
        s.suspended = host->Suspended();
        s.screens.insert(game().m_screen);
    }
    running = false;
    for (int key : s.keys.held) host->KeyEvent(kEventKeyUp, key);
    std::fprintf(out,
                 "input: %d keys, %d clicks, %d focus losses (%d suspends), %d window sizes, %d "
                 "fullscreen keys (%d windows opened), %zu screens seen\n",
                 s.keyPresses, s.clicks, s.focusLosses, s.suspends, s.resizes, s.fullscreenKeys,
                 s.windows, s.screens.size());
    std::fprintf(out, "first and last samples:\n");
    soak::printSample(out, samples.front());
    soak::printSample(out, samples.back());
    // The first sample is taken as the start-up loader begins: it is no baseline.
    soak::printVerdict(out, std::vector<Sample>(samples.begin() + 1, samples.end()));
    if (leak) std::fprintf(out, "textures alive differed from the textures held\n");
    std::fflush(out);
    _exit(leak ? kExitLeak : kExitOk);
}
