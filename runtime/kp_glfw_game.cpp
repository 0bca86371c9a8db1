// KpGlfwGame: the window, its callbacks, the frame loop's platform side, joysticks and the
// desktop services. GLFW 3 is asked to behave as the game expects: repeated presses for held
// keys, a close request turned into key 432, focus polled once per loop iteration. Every window
// it opens carries the icons of the data folder.
#include "runtime/kp_glfw_game.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "runtime/kp_joystick_layout.h"
#include "runtime/kp_keymap.h"

extern char** environ;

KpGlfwGame* KpGlfwGame::_glfwGame = nullptr;

namespace {

constexpr const char* kWindowTitle = "Brambolt3";
constexpr int kMaxVideoModes = 1024;
constexpr int kButtonsPerHat = 4; // GLFW lists each hat as four buttons after the real ones
constexpr int kRgba = 4;
// The allocator: blocks below kHeapBlockLimit come from the heap, and freed heap memory goes
// back to the system only past kHeapTrimLimit. The OpenGL driver allocates and frees its
// per-frame vertex and scene buffers every frame; returned each time, they cost page faults
// on the next frame. Larger blocks (decoded images) are mapped and returned as before.
// Past a large release (a window size left, images let go) the frame loop gives the heap's
// free pages back with malloc_trim, which costs about a millisecond.
// Every thread allocates from the one heap. With an arena per thread (the loader, the
// driver's threads, the mixer), each arena kept up to kHeapTrimLimit free at its top, which
// malloc_trim gives back only for the main heap: over two hours of play, resident memory in
// one scene crept from 88 to 100 MB above the memory in use (and up to 145), where one heap
// holds it at 82 MB. The threads allocate little per frame, so the shared lock costs nothing
// that shows.
constexpr int kHeapArenas = 1;
constexpr int kHeapBlockLimit = 4 * 1024 * 1024;
constexpr int kHeapTrimLimit = 32 * 1024 * 1024;
constexpr size_t kBuffersPerDrawable = 2; // front and back, 4 bytes a pixel

// The window icons in the data folder, the sizes a window manager picks from.
constexpr const char16_t* kWindowIcons[] = {
    u"zembra://data/icons/brambolt3-16.png",
    u"zembra://data/icons/brambolt3-32.png",
    u"zembra://data/icons/brambolt3-48.png",
    u"zembra://data/icons/brambolt3-64.png",
};

// Decoded pixels of depth 1 (grey), 2 (grey, alpha), 3 (RGB) or 4 (RGBA) as RGBA.
std::vector<unsigned char> toRgba(const unsigned char* pixels, int count, int depth) {
    std::vector<unsigned char> rgba(static_cast<size_t>(count) * kRgba);
    for (int i = 0; i < count; ++i) {
        const unsigned char* p = pixels + static_cast<size_t>(i) * depth;
        unsigned char* q = &rgba[static_cast<size_t>(i) * kRgba];
        const bool grey = depth < 3;
        q[0] = p[0];
        q[1] = grey ? p[0] : p[1];
        q[2] = grey ? p[0] : p[2];
        q[3] = depth == 2 ? p[1] : (depth == 4 ? p[3] : 255);
    }
    return rgba;
}

} // namespace

KpGlfwGame::KpGlfwGame() {
    _glfwGame = this;
    mallopt(M_ARENA_MAX, kHeapArenas);
    mallopt(M_MMAP_THRESHOLD, kHeapBlockLimit);
    mallopt(M_TRIM_THRESHOLD, kHeapTrimLimit);
}

KpGlfwGame::~KpGlfwGame() {
    if (window_) glfwDestroyWindow(window_);
    if (_glfwGame == this) _glfwGame = nullptr;
}

void KpGlfwGame::SetUpdateRate(int hertz) {
    KpGame::SetUpdateRate(hertz);
    loop_.SetUpdateRate(hertz);
}

int KpGlfwGame::Millisecs() {
    return static_cast<int>(glfwGetTime() * 1000.0);
}

bool KpGlfwGame::PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) {
    int joy = GLFW_JOYSTICK_1 + port;
    if (port < 0 || joy > GLFW_JOYSTICK_LAST || !glfwJoystickPresent(joy)) return false;

    // A pad with a mapping comes in the game's one layout, whatever its driver's order.
    GLFWgamepadstate pad;
    if (glfwJoystickIsGamepad(joy) && glfwGetGamepadState(joy, &pad)) {
        kpPresentGamepad(pad.buttons, pad.axes, joyx, joyy, joyz, buttons);
        return true;
    }

    // GLFW lists hats among the buttons too; the raw path takes the real ones and the hats.
    KpRawJoystick raw;
    int all = 0;
    raw.buttons = glfwGetJoystickButtons(joy, &all);
    raw.hats = glfwGetJoystickHats(joy, &raw.hatCount);
    raw.axes = glfwGetJoystickAxes(joy, &raw.axisCount);
    raw.buttonCount = all - raw.hatCount * kButtonsPerHat;
    kpPresentRawJoystick(raw, joyx, joyy, joyz, buttons);
    return true;
}

void KpGlfwGame::OpenUrl(const String& url) {
    // The desktop's opener, detached through a double fork so no child is left to reap.
    std::string target = kpToUtf8(url);
    pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            char* args[] = {const_cast<char*>("xdg-open"), target.data(), nullptr};
            execvp(args[0], args);
        }
        _exit(0);
    }
    if (child > 0) waitpid(child, nullptr, 0);
}

void KpGlfwGame::SetMouseVisible(bool visible) {
    // Turning the cursor off hides it and locks it to the window: the pointer keeps moving
    // without ever leaving it.
    if (window_)
        glfwSetInputMode(window_, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
}

// Sizes and focus come from the window's callbacks: asking the window system each frame
// would be a synchronous round trip to the display server.
int KpGlfwGame::GetDeviceWidth() {
    return window_ ? view_.fbWidth : 0;
}

int KpGlfwGame::GetDeviceHeight() {
    return window_ ? view_.fbHeight : 0;
}

void KpGlfwGame::SetDeviceWindow(int width, int height, int flags) {
    SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, (flags & 1) != 0);
}

std::vector<KpDisplayMode> KpGlfwGame::GetDisplayModes() {
    std::vector<KpDisplayMode> modes;
    for (const KpGlfwVideoMode& m : GetGlfwVideoModes()) modes.push_back({m.width, m.height});
    return modes;
}

std::optional<KpDisplayMode> KpGlfwGame::GetDesktopMode() {
    KpGlfwVideoMode mode = GetGlfwDesktopMode();
    if (mode.width == 0) return std::nullopt;
    return KpDisplayMode{mode.width, mode.height};
}

void KpGlfwGame::SetSwapInterval(int interval) {
    swapInterval_ = interval;
    if (interval >= 0 && window_) glfwSwapInterval(interval);
}

String KpGlfwGame::PathToFilePath(const String& path) {
    return kpDesktopPathToFilePath(path);
}

KpBytes KpGlfwGame::LoadImageData(const String& path, int* width, int* height, int* depth) {
    return decodeImageAt(path, width, height, depth);
}

KpBytes KpGlfwGame::LoadAudioData(const String& path, int* length, int* channels, int* format,
                                  int* hertz) {
    return decodeAudioAt(path, length, channels, format, hertz);
}

KpGlfwVideoMode KpGlfwGame::GetGlfwDesktopMode() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) return {};
    return {mode->width, mode->height, mode->redBits, mode->greenBits, mode->blueBits};
}

std::vector<KpGlfwVideoMode> KpGlfwGame::GetGlfwVideoModes() {
    std::vector<KpGlfwVideoMode> modes;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    int count = 0;
    const GLFWvidmode* list = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
    for (int i = 0; i < count && i < kMaxVideoModes; ++i) {
        modes.push_back(
            {list[i].width, list[i].height, list[i].redBits, list[i].greenBits, list[i].blueBits});
    }
    return modes;
}

void KpGlfwGame::releaseHeldKeys() {
    if (!window_) return;
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
        int code = kpTranslateGlfwKey(key);
        if (code != 0 && glfwGetKey(window_, key) == GLFW_PRESS) KeyEvent(kEventKeyUp, code);
    }
}

void KpGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen) {
    releaseHeldKeys();
    KpGlfwVideoMode desktop = GetGlfwDesktopMode();
    if (window_) {
        glfwDestroyWindow(window_);
        window_ = nullptr;
        // Its buffers and its context's textures went with it: always worth giving back.
        NoteMemoryReleased(KpMemoryReturn::kWorthBytes);
    }

    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_REFRESH_RATE, kRefreshRate);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_RED_BITS, red);
    glfwWindowHint(GLFW_GREEN_BITS, green);
    glfwWindowHint(GLFW_BLUE_BITS, blue);
    glfwWindowHint(GLFW_ALPHA_BITS, alpha);
    glfwWindowHint(GLFW_DEPTH_BITS, depth);
    glfwWindowHint(GLFW_STENCIL_BITS, stencil);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE); // placed before it is shown
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window_ = glfwCreateWindow(width, height, kWindowTitle, monitor, nullptr);
    ++glfwGraphicsSeq;
    if (!window_) return;

    glfwMakeContextCurrent(window_);
    if (!fullscreen) {
        glfwSetWindowPos(window_, (desktop.width - width) / 2, (desktop.height - height) / 2);
        glfwSetWindowTitle(window_, kWindowTitle);
    }
    applyWindowIcon();
    glfwShowWindow(window_);
    if (swapInterval_ >= 0) glfwSwapInterval(swapInterval_);
    // Read once here; the callbacks keep them current from now on.
    glfwGetFramebufferSize(window_, &view_.fbWidth, &view_.fbHeight);
    glfwGetWindowSize(window_, &view_.winWidth, &view_.winHeight);
    view_.focused = glfwGetWindowAttrib(window_, GLFW_FOCUSED) == GLFW_TRUE;
    installCallbacks();
}

void KpGlfwGame::applyWindowIcon() {
    // Decoded afresh for every window (a fullscreen switch opens a new one); a missing or
    // broken file leaves its size out, and with none the desktop's default icon stays.
    std::vector<std::vector<unsigned char>> pixels;
    std::vector<GLFWimage> images;
    for (const char16_t* path : kWindowIcons) {
        int width = 0, height = 0, depth = 0;
        KpBytes data = decodeImageAt(path, &width, &height, &depth);
        if (!data || width <= 0 || height <= 0 || depth < 1 || depth > kRgba) continue;
        pixels.push_back(toRgba(data.get(), width * height, depth));
        images.push_back({width, height, nullptr});
    }
    for (size_t i = 0; i < images.size(); ++i) images[i].pixels = pixels[i].data();
    if (!images.empty()) glfwSetWindowIcon(window_, static_cast<int>(images.size()), images.data());
}

void KpGlfwGame::installCallbacks() {
    glfwSetKeyCallback(window_, onKey);
    glfwSetCharCallback(window_, onChar);
    glfwSetMouseButtonCallback(window_, onMouseButton);
    glfwSetCursorPosCallback(window_, onMousePos);
    glfwSetWindowCloseCallback(window_, onWindowClose);
    glfwSetFramebufferSizeCallback(window_, onFramebufferSize);
    glfwSetWindowSizeCallback(window_, onWindowSize);
    glfwSetWindowFocusCallback(window_, onWindowFocus);
}

void KpGlfwGame::onFramebufferSize(GLFWwindow*, int width, int height) {
    _glfwGame->noteBuffersReleased(_glfwGame->view_.fbWidth, _glfwGame->view_.fbHeight);
    _glfwGame->view_.fbWidth = width;
    _glfwGame->view_.fbHeight = height;
}

void KpGlfwGame::onWindowSize(GLFWwindow*, int width, int height) {
    _glfwGame->view_.winWidth = width;
    _glfwGame->view_.winHeight = height;
}

void KpGlfwGame::onWindowFocus(GLFWwindow*, int focused) {
    _glfwGame->view_.focused = focused == GLFW_TRUE;
}

void KpGlfwGame::OpenInitialWindow() {
    SetGlfwWindow(kInitialWidth, kInitialHeight, 8, 8, 8, 0, 0, 0, false);
}

bool KpGlfwGame::WindowOpen() const {
    return window_ && !glfwWindowShouldClose(window_);
}

void KpGlfwGame::Run() {
    OpenInitialWindow();
    StartGame();
    while (WindowOpen()) RunIteration();
}

double KpGlfwGame::Now() {
    return glfwGetTime();
}

void KpGlfwGame::Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void KpGlfwGame::ReturnMemory() {
    malloc_trim(0);
    ++memoryReturns_;
}

void KpGlfwGame::noteBuffersReleased(int width, int height) {
    NoteMemoryReleased(static_cast<size_t>(std::max(width, 0)) *
                       static_cast<size_t>(std::max(height, 0)) * kRgba * kBuffersPerDrawable);
}

void KpGlfwGame::SwapBuffers() {
    if (window_) glfwSwapBuffers(window_);
}

void KpGlfwGame::ProcessEvents(bool block) {
    if (block) {
        glfwWaitEvents();
    } else {
        glfwPollEvents();
    }
}

bool KpGlfwGame::WindowActive() {
    return window_ && view_.focused;
}

void KpGlfwGame::toDrawable(double x, double y, float& outX, float& outY) const {
    // The cursor arrives in screen coordinates; on a scaled display the drawable is larger.
    int ww = view_.winWidth, wh = view_.winHeight, fw = view_.fbWidth, fh = view_.fbHeight;
    outX = static_cast<float>(ww > 0 ? x * fw / ww : x);
    outY = static_cast<float>(wh > 0 ? y * fh / wh : y);
}

void KpGlfwGame::onKey(GLFWwindow*, int key, int, int action, int) {
    kpForwardGlfwKey(*_glfwGame, key, action);
}

void KpGlfwGame::onChar(GLFWwindow*, unsigned int codepoint) {
    _glfwGame->KeyEvent(kEventKeyChar, static_cast<int>(codepoint));
}

void KpGlfwGame::onMouseButton(GLFWwindow* window, int button, int action, int) {
    if (button > 2) return;
    double cx = 0, cy = 0;
    glfwGetCursorPos(window, &cx, &cy);
    float x = 0, y = 0;
    _glfwGame->toDrawable(cx, cy, x, y);
    _glfwGame->MouseEvent(action == GLFW_RELEASE ? kEventMouseUp : kEventMouseDown, button, x, y);
}

void KpGlfwGame::onMousePos(GLFWwindow*, double cx, double cy) {
    float x = 0, y = 0;
    _glfwGame->toDrawable(cx, cy, x, y);
    _glfwGame->MouseEvent(kEventMouseMove, -1, x, y);
}

void KpGlfwGame::onWindowClose(GLFWwindow* window) {
    // The window stays open; the key-down of 432 ends the program through the delegate.
    _glfwGame->KeyEvent(kEventKeyDown, kKeyClose);
    _glfwGame->KeyEvent(kEventKeyUp, kKeyClose);
    glfwSetWindowShouldClose(window, GLFW_FALSE);
}
