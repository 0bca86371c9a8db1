// KpWebGame: the canvas and its callbacks, the loop's platform side in the browser, touches,
// gamepads in the browser's standard layout, the page's fullscreen and title, and the state
// file's sync to IndexedDB. The page (tools/web/shell.html) sizes the canvas to its viewport;
// the drawing buffer follows that size at each iteration, once the page has the images of the
// size's resolution level.
#include "runtime/kp_web_game.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "runtime/kp_error.h"
#include "runtime/kp_joystick_layout.h"
#include "runtime/kp_keymap.h"

KpWebGame* KpWebGame::_webGame = nullptr;

namespace {

constexpr const char* kWindowTitle = "Brambolt3";
constexpr const char* kCanvas = "#canvas";
constexpr const char16_t* kDataPrefix = u"zembra://data/";
constexpr const char16_t* kDataFolder = u"/data/";
constexpr const char16_t* kManifest = u"/data/.manifest";
constexpr int kNoTouch = -1;
constexpr int kAxisCount = 4; // left x, y, right x, y in the standard layout

// The browser's standard gamepad layout, button by button in the window library's mapped-pad
// order (A, B, X, Y, bumpers, back, start, guide, stick clicks, d-pad up, right, down, left).
constexpr int kStandardButton[kPadButtons] = {0, 1, 2, 3, 4, 5, 8, 9, 16, 10, 11, 12, 15, 13, 14};
constexpr int kStandardLeftTrigger = 6;
constexpr int kStandardRightTrigger = 7;

// The page's canvas size in CSS pixels, which its stylesheet keeps at the viewport's size.
void canvasCssSize(int& width, int& height) {
    double w = 0, h = 0;
    emscripten_get_element_css_size(kCanvas, &w, &h);
    width = std::max(1, static_cast<int>(w));
    height = std::max(1, static_cast<int>(h));
}

EM_BOOL onTouch(int type, const EmscriptenTouchEvent* event, void* data) {
    auto* host = static_cast<KpWebGame*>(data);
    int kind = type == EMSCRIPTEN_EVENT_TOUCHSTART  ? kEventTouchDown
               : type == EMSCRIPTEN_EVENT_TOUCHMOVE ? kEventTouchMove
                                                    : kEventTouchUp;
    int cssWidth = 0, cssHeight = 0;
    canvasCssSize(cssWidth, cssHeight);
    const float sx = static_cast<float>(host->GetDeviceWidth()) / cssWidth;
    const float sy = static_cast<float>(host->GetDeviceHeight()) / cssHeight;
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& t = event->touches[i];
        if (!t.isChanged) continue;
        host->Touch(kind, static_cast<int>(t.identifier), static_cast<float>(t.targetX) * sx,
                    static_cast<float>(t.targetY) * sy);
    }
    return EM_TRUE; // no scrolling, zooming or mouse events made up from the touch
}

} // namespace

// The sync's end, called by the page's IndexedDB code.
extern "C" EMSCRIPTEN_KEEPALIVE void kp_web_sync_ended(const char* error) {
    if (KpWebGame::_webGame) KpWebGame::_webGame->SyncEnded(error);
}

// The benchmark's counters since the start: loop iterations, milliseconds spent in them and
// game updates.
extern "C" EMSCRIPTEN_KEEPALIVE int kp_web_iterations() {
    return KpWebGame::_webGame ? KpWebGame::_webGame->Iterations() : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE double kp_web_busy_ms() {
    return KpWebGame::_webGame ? KpWebGame::_webGame->BusySeconds() * 1000.0 : 0.0;
}

extern "C" EMSCRIPTEN_KEEPALIVE double kp_web_updates() {
    return KpWebGame::_webGame ? static_cast<double>(KpWebGame::_webGame->Updates()) : 0.0;
}

// Writes the working folder to IndexedDB and calls kp_web_sync_ended with the result.
EM_JS(void, kpWebSyncStart, (), {
    FS.syncfs(
        false, function(err) {
            var text = err ? String(err.message || err.errno || err) : "";
            Module.ccall("kp_web_sync_ended", null, ["string"], [text]);
        });
});

EM_JS(void, kpWebOpenUrl, (const char* url), { window.open(UTF8ToString(url), "_blank"); });

EM_JS(void, kpWebSetCursor, (int visible), {
    if (Module.canvas) Module.canvas.style.cursor = visible ? "" : "none";
});

EM_JS(void, kpWebFullscreen, (int on), {
    var canvas = Module.canvas;
    if (on && canvas && canvas.requestFullscreen && !document.fullscreenElement) {
        canvas.requestFullscreen().catch(function(){});
    } else if (!on && document.fullscreenElement && document.exitFullscreen) {
        document.exitFullscreen().catch(function(){});
    }
});

// GLFW's emulation turns touches into mouse presses; the host takes them as touches instead.
EM_JS(void, kpWebDropGlfwTouches, (), {
    var canvas = Module.canvas;
    [ "touchmove", "touchstart", "touchcancel", "touchend" ].forEach(function(name) {
        var handler = name == "touchmove"    ? GLFW.onMousemove
                      : name == "touchstart" ? GLFW.onMouseButtonDown
                                             : GLFW.onMouseButtonUp;
        canvas.removeEventListener(name, handler, true);
    });
});

// Whether the page has the images of the level a drawing size uses; if not, it fetches them.
EM_JS(int, kpWebArtReady, (int width, int height),
      { return !Module.artReady || Module.artReady(width, height) ? 1 : 0; });

EM_JS(int, kpWebScreenWidth, (), { return screen.width | 0; });
EM_JS(int, kpWebScreenHeight, (), { return screen.height | 0; });

KpWebGame::KpWebGame() {
    _webGame = this;
    std::fill(std::begin(touchIds_), std::end(touchIds_), kNoTouch);
}

KpWebGame::~KpWebGame() {
    if (window_) glfwDestroyWindow(window_);
    if (_webGame == this) _webGame = nullptr;
}

void KpWebGame::SetUpdateRate(int hertz) {
    KpGame::SetUpdateRate(hertz);
    loop_.SetUpdateRate(hertz);
}

int KpWebGame::Millisecs() {
    return static_cast<int>(Now() * 1000.0);
}

int KpWebGame::SaveState(const String& state) {
    const int result = KpGame::SaveState(state);
    if (result == 0) startSync();
    return result;
}

void KpWebGame::startSync() {
    if (syncing_) {
        syncAgain_ = true; // the running sync may have read the folder before this save
        return;
    }
    syncing_ = true;
    kpWebSyncStart();
}

void KpWebGame::SyncEnded(const char* error) {
    syncing_ = false;
    if (error && *error) {
        // As on the desktop: the player must know, and the next save tries again.
        kpPrintError(std::string("could not save your progress to the browser's storage: ") +
                     error + " (kept in memory; the next save tries again)");
        LateSaveFailed(error); // and in the window, at the game's next update
    } else {
        kpPrint(std::string_view("Progress stored in the browser"));
    }
    if (syncAgain_) {
        syncAgain_ = false;
        startSync();
    }
}

std::string KpWebGame::StateStoreName() {
    return "this browser's storage for the page";
}

bool KpWebGame::PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) {
    if (port < 0 || port >= emscripten_get_num_gamepads()) return false;
    EmscriptenGamepadEvent pad;
    if (emscripten_get_gamepad_status(port, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected)
        return false;

    if (std::string_view(pad.mapping) == "standard") {
        // The standard layout is the mapped pad's: reorder it and present it the same way.
        unsigned char padButtons[kPadButtons];
        float padAxes[kPadAxes] = {};
        for (int b = 0; b < kPadButtons; ++b) {
            const int from = kStandardButton[b];
            padButtons[b] = from < pad.numButtons && pad.digitalButton[from] ? GLFW_PRESS : 0;
        }
        for (int a = 0; a < kAxisCount && a < pad.numAxes; ++a) padAxes[a] = pad.axis[a];
        // Triggers are buttons from 0 to 1 there and axes from -1 to 1 here.
        padAxes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = pad.analogButton[kStandardLeftTrigger] * 2 - 1;
        padAxes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = pad.analogButton[kStandardRightTrigger] * 2 - 1;
        kpPresentGamepad(padButtons, padAxes, joyx, joyy, joyz, buttons);
        return true;
    }

    // A pad without the standard layout keeps its own order, as on the desktop's raw path.
    unsigned char raw[64];
    const int count = std::min(pad.numButtons, 64);
    for (int b = 0; b < count; ++b) raw[b] = pad.digitalButton[b] ? 1 : 0;
    float axes[64];
    const int axisCount = std::min(pad.numAxes, 64);
    for (int a = 0; a < axisCount; ++a) axes[a] = static_cast<float>(pad.axis[a]);
    KpRawJoystick device;
    device.buttons = raw;
    device.buttonCount = count;
    device.axes = axes;
    device.axisCount = axisCount;
    kpPresentRawJoystick(device, joyx, joyy, joyz, buttons);
    return true;
}

void KpWebGame::OpenUrl(const String& url) {
    kpWebOpenUrl(kpToUtf8(url).c_str());
}

void KpWebGame::SetMouseVisible(bool visible) {
    kpWebSetCursor(visible ? 1 : 0);
}

void KpWebGame::SetDeviceWindow(int /*width*/, int /*height*/, int flags) {
    // The page decides the canvas's size: the request only enters or leaves fullscreen, and
    // the drawing buffer follows the size the page then gives the canvas.
    kpWebFullscreen(flags & 1);
}

std::vector<KpDisplayMode> KpWebGame::GetDisplayModes() {
    std::optional<KpDisplayMode> desktop = GetDesktopMode();
    if (!desktop) return {};
    return {*desktop};
}

std::optional<KpDisplayMode> KpWebGame::GetDesktopMode() {
    const int width = kpWebScreenWidth(), height = kpWebScreenHeight();
    if (width <= 0 || height <= 0) return std::nullopt;
    return KpDisplayMode{width, height};
}

String KpWebGame::PathToFilePath(const String& path) {
    // The data sits at the root of the browser's file system, outside the stored folder.
    String prefix(kDataPrefix);
    if (path.compare(0, prefix.size(), prefix) == 0)
        return String(kDataFolder) + path.substr(prefix.size());
    return kpDesktopPathToFilePath(path);
}

bool KpWebGame::HasDataFile(const String& path) {
    if (KpGame::HasDataFile(path)) return true;
    if (manifest_.empty()) {
        const std::string list = kpToUtf8(LoadString(kManifest));
        size_t start = 0;
        while (start < list.size()) {
            size_t end = list.find('\n', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) manifest_.insert(list.substr(start, end - start));
            start = end + 1;
        }
    }
    return manifest_.count(kpToUtf8(PathToFilePath(path))) != 0;
}

KpBytes KpWebGame::LoadImageData(const String& path, int* width, int* height, int* depth) {
    return decodeImageAt(path, width, height, depth);
}

KpBytes KpWebGame::LoadAudioData(const String& path, int* length, int* channels, int* format,
                                 int* hertz) {
    return decodeAudioAt(path, length, channels, format, hertz);
}

void KpWebGame::Run() {
    emscripten_set_window_title(kWindowTitle);
    window_ = glfwCreateWindow(kInitialWidth, kInitialHeight, kWindowTitle, nullptr, nullptr);
    ++glfwGraphicsSeq;
    if (!window_) kpError(std::string_view("The browser gave no WebGL context"));
    glfwMakeContextCurrent(window_);
    width_ = kInitialWidth;
    height_ = kInitialHeight;
    followPageSize();

    glfwSetKeyCallback(window_, onKey);
    glfwSetCharCallback(window_, onChar);
    glfwSetMouseButtonCallback(window_, onMouseButton);
    glfwSetCursorPosCallback(window_, onMousePos);
    kpWebDropGlfwTouches();
    emscripten_set_touchstart_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchmove_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchend_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchcancel_callback(kCanvas, this, EM_TRUE, onTouch);

    StartGame();
    // The browser calls step at each display frame; this returns at once.
    emscripten_set_main_loop_arg(step, this, 0, EM_FALSE);
}

void KpWebGame::step(void* host) {
    auto* game = static_cast<KpWebGame*>(host);
    const double start = game->Now();
    game->loop_.Iterate(*game, *game);
    game->busySeconds_ += game->Now() - start;
    ++game->iterations_;
}

void KpWebGame::Touch(int event, int identifier, float x, float y) {
    const int slot = touchSlot(identifier, event == kEventTouchDown);
    if (slot < 0) return;
    TouchEvent(event, slot, x, y);
    if (event == kEventTouchUp) touchIds_[slot] = kNoTouch;
}

int KpWebGame::touchSlot(int identifier, bool take) {
    for (int i = 0; i < kMaxTouches; ++i) {
        if (touchIds_[i] == identifier) return i;
    }
    if (!take) return -1;
    for (int i = 0; i < kMaxTouches; ++i) {
        if (touchIds_[i] == kNoTouch) {
            touchIds_[i] = identifier;
            return i;
        }
    }
    return -1;
}

double KpWebGame::Now() {
    return emscripten_get_now() / 1000.0;
}

void KpWebGame::ProcessEvents(bool) {
    // The browser delivers events between iterations; only the page's size is polled.
    emscripten_sample_gamepad_data();
    followPageSize();
}

bool KpWebGame::WindowActive() {
    EmscriptenVisibilityChangeEvent visibility;
    if (emscripten_get_visibility_status(&visibility) != EMSCRIPTEN_RESULT_SUCCESS) return true;
    return !visibility.hidden;
}

void KpWebGame::followPageSize() {
    int width = 0, height = 0;
    canvasCssSize(width, height);
    if (width == width_ && height == height_) return;
    // The game reloads its images for a new size at once: it gets the size once they are here.
    if (!kpWebArtReady(width, height)) return;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    width_ = width;
    height_ = height;
}

void KpWebGame::onKey(GLFWwindow*, int key, int, int action, int) {
    kpForwardGlfwKey(*_webGame, key, action);
}

void KpWebGame::onChar(GLFWwindow*, unsigned int codepoint) {
    _webGame->KeyEvent(kEventKeyChar, static_cast<int>(codepoint));
}

void KpWebGame::onMouseButton(GLFWwindow* window, int button, int action, int) {
    if (button > 2) return;
    // The emulation reports the cursor in drawing-buffer pixels already.
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    _webGame->MouseEvent(action == GLFW_RELEASE ? kEventMouseUp : kEventMouseDown, button,
                         static_cast<float>(x), static_cast<float>(y));
}

void KpWebGame::onMousePos(GLFWwindow*, double x, double y) {
    _webGame->MouseEvent(kEventMouseMove, -1, static_cast<float>(x), static_cast<float>(y));
}
