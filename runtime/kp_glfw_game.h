// The desktop host over GLFW 3: one window with an OpenGL context, the frame loop with its
// sleeping and blocking wait while suspended, window callbacks turned into delegate events,
// focus driving suspend and resume, joystick polling, display modes and the desktop opener.
// Callbacks only translate and forward; positions reach the delegate in drawable pixels.
#pragma once

#include <vector>

#include "runtime/kp_frame_loop.h"
#include "runtime/kp_game.h"

struct GLFWwindow;

struct KpGlfwVideoMode {
    int width = 0;
    int height = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};

class KpGlfwGame : public KpGame, private KpLoopPlatform {
  public:
    static KpGlfwGame* _glfwGame;

    static constexpr int kInitialWidth = 640;
    static constexpr int kInitialHeight = 480;
    static constexpr int kRefreshRate = 60;

    KpGlfwGame();
    ~KpGlfwGame() override;

    void SetUpdateRate(int hertz) override;
    int Millisecs() override;
    bool PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) override;
    void OpenUrl(const String& url) override;
    void SetMouseVisible(bool visible) override;
    int GetDeviceWidth() override;
    int GetDeviceHeight() override;
    void SetDeviceWindow(int width, int height, int flags) override;
    std::vector<KpDisplayMode> GetDisplayModes() override;
    std::optional<KpDisplayMode> GetDesktopMode() override;
    void SetSwapInterval(int interval) override;
    String PathToFilePath(const String& path) override;
    KpBytes LoadImageData(const String& path, int* width, int* height, int* depth) override;
    void PrefetchImage(const String& path) override { prefetchImageAt(path); }
    KpBytes LoadAudioData(const String& path, int* length, int* channels, int* format,
                          int* hertz) override;

    virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen);
    virtual KpGlfwVideoMode GetGlfwDesktopMode();
    virtual std::vector<KpGlfwVideoMode> GetGlfwVideoModes();
    // Opens the window, starts the game and loops until the window closes.
    virtual void Run();

    // Pieces of Run, for tests that step the loop themselves.
    void OpenInitialWindow();
    void RunIteration() { loop_.Iterate(*this, *this); }
    bool WindowOpen() const;
    GLFWwindow* Window() const { return window_; }
    const KpFrameLoop& Loop() const { return loop_; }
    // How often the loop gave free memory back to the system.
    int MemoryReturns() const { return memoryReturns_; }

  private:
    double Now() override;
    void Sleep(double seconds) override;
    void SwapBuffers() override;
    void ProcessEvents(bool block) override;
    bool WindowActive() override;
    void ReturnMemory() override;
    // The driver lets go of the buffers of a drawable of this size.
    void noteBuffersReleased(int width, int height);

    void releaseHeldKeys();
    // Gives the window the data folder's icons.
    void applyWindowIcon();
    void installCallbacks();
    void toDrawable(double x, double y, float& outX, float& outY) const;

    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned int codepoint);
    static void onMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void onMousePos(GLFWwindow* window, double x, double y);
    static void onWindowClose(GLFWwindow* window);
    static void onFramebufferSize(GLFWwindow* window, int width, int height);
    static void onWindowSize(GLFWwindow* window, int width, int height);
    static void onWindowFocus(GLFWwindow* window, int focused);

    KpFrameLoop loop_;
    int swapInterval_ = 1; // negative: leave the interval alone
    int memoryReturns_ = 0;
    GLFWwindow* window_ = nullptr;
    // The window as its callbacks last reported it: drawable and window sizes, focus.
    struct View {
        int fbWidth = 0;
        int fbHeight = 0;
        int winWidth = 0;
        int winHeight = 0;
        bool focused = false;
    };
    View view_;
};

// The concrete host the process entry creates.
class KpZembraGame : public KpGlfwGame {
  public:
    static int Main(int argc, char** argv);
};
