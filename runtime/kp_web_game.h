// The browser host, built with emscripten: the page's canvas is the window (its drawable
// follows the page's size and the fullscreen request), GLFW's emulation brings keys and the
// mouse, the page's touch and gamepad events come straight from the browser, and the page's
// display frames run the shared frame loop one iteration at a time. The working folder is kept
// in IndexedDB: each save is written, then synced, and a sync that fails is reported as a
// failed save is on the desktop, on standard error and in the window. While the page is hidden,
// the game is suspended.
#pragma once

#include <set>
#include <string>

#include "runtime/kp_frame_loop.h"
#include "runtime/kp_game.h"

struct GLFWwindow;

class KpWebGame : public KpGame, private KpLoopPlatform {
  public:
    static KpWebGame* _webGame;

    static constexpr int kInitialWidth = 640;
    static constexpr int kInitialHeight = 480;
    static constexpr int kMaxTouches = 32; // touch slots the input device knows (keys 384 on)

    KpWebGame();
    ~KpWebGame() override;

    void SetUpdateRate(int hertz) override;
    int Millisecs() override;
    int SaveState(const String& state) override;
    std::string StateStoreName() override;
    bool PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) override;
    void OpenUrl(const String& url) override;
    void SetMouseVisible(bool visible) override;
    int GetDeviceWidth() override { return width_; }
    int GetDeviceHeight() override { return height_; }
    void SetDeviceWindow(int width, int height, int flags) override;
    std::vector<KpDisplayMode> GetDisplayModes() override;
    std::optional<KpDisplayMode> GetDesktopMode() override;
    String PathToFilePath(const String& path) override;
    // A data file of an image level the page has not fetched yet counts: the packages' list
    // (/data/.manifest, in the common package) names it.
    bool HasDataFile(const String& path) override;
    KpBytes LoadImageData(const String& path, int* width, int* height, int* depth) override;
    KpBytes LoadAudioData(const String& path, int* length, int* channels, int* format,
                          int* hertz) override;

    // Opens the canvas, starts the game and hands the loop to the page's display frames.
    void Run();
    // The end of a save's sync to IndexedDB (error: the browser's reason, empty when it worked).
    void SyncEnded(const char* error);
    // Loop iterations run, the seconds spent in them and the game updates they ran, for the
    // benchmark (tools/web/bench.js).
    int Iterations() const { return iterations_; }
    long Updates() const { return loop_.updates; }
    double BusySeconds() const { return busySeconds_; }
    // A touch from the page: event kEventTouchDown, Up or Move, the browser's identifier and a
    // position in drawable pixels.
    void Touch(int event, int identifier, float x, float y);

  private:
    double Now() override;
    void Sleep(double) override {}
    bool CanSleep() override { return false; }
    void SwapBuffers() override {}
    void ProcessEvents(bool block) override;
    bool WindowActive() override;
    void ReturnMemory() override {}

    // Follows the page's size: a new size resizes the canvas's drawing buffer.
    void followPageSize();
    // The slot of a touch identifier, taken on its first touch; -1 when all are taken.
    int touchSlot(int identifier, bool take);
    void startSync();

    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned int codepoint);
    static void onMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void onMousePos(GLFWwindow* window, double x, double y);
    static void step(void* host);

    KpFrameLoop loop_;
    GLFWwindow* window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int touchIds_[kMaxTouches];
    std::set<std::string> manifest_; // read on the first question
    int iterations_ = 0;
    double busySeconds_ = 0.0;
    bool syncing_ = false;   // a sync to IndexedDB is running
    bool syncAgain_ = false; // a save came while it ran: one more sync follows
};
