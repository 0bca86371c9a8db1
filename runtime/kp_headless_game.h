// The headless host: the platform-neutral host with no window, a clock the caller sets, and
// scripted answers for the device size, focus, joysticks and display modes. Tests and tools
// run the real frame loop and the game's update ticks on it; files behave as on the desktop.
#pragma once

#include <string>
#include <vector>

#include "runtime/kp_frame_loop.h"
#include "runtime/kp_game.h"

class KpHeadlessGame : public KpGame, private KpLoopPlatform {
  public:
    static constexpr int kPorts = 4;

    struct Joystick {
        bool present = false;
        float joyx[kJoyAxes] = {};
        float joyy[kJoyAxes] = {};
        float joyz[kJoyAxes] = {};
        bool buttons[kJoyButtons] = {};
        int buttonCount = 0; // entries at this count and above are left alone by a poll
    };

    struct WindowRequest {
        int width;
        int height;
        int flags;
    };

    KpHeadlessGame(int width = 640, int height = 480);

    // The clock, in seconds; sleeping in the loop advances it.
    void SetTime(double seconds) { now_ = seconds; }
    void Advance(double seconds) { now_ += seconds; }
    double Time() const { return now_; }
    double SleptSeconds() const { return slept_; }
    // How often the loop gave free memory back.
    int MemoryReturns() const { return memoryReturns_; }

    void SetDeviceSize(int width, int height);
    void SetActive(bool active) { active_ = active; }
    // Off: the loop may not sleep, as in a browser whose display frames call each iteration.
    void SetCanSleep(bool canSleep) { canSleep_ = canSleep; }
    Joystick& JoystickAt(int port) { return joysticks_[port]; }
    void SetDisplayModes(std::vector<KpDisplayMode> modes) { modes_ = std::move(modes); }
    void SetDesktop(std::optional<KpDisplayMode> mode) { desktop_ = mode; }
    const std::vector<WindowRequest>& WindowRequests() const { return windowRequests_; }
    const std::vector<String>& OpenedUrls() const { return urls_; }
    bool MouseVisible() const { return mouseVisible_; }

    // StartGame, then frames until the clock passes seconds.
    void RunIteration() { loop_.Iterate(*this, *this); }
    const KpFrameLoop& Loop() const { return loop_; }

    void SetUpdateRate(int hertz) override;
    int Millisecs() override { return static_cast<int>(now_ * 1000.0); }
    bool PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) override;
    void OpenUrl(const String& url) override { urls_.push_back(url); }
    void SetMouseVisible(bool visible) override { mouseVisible_ = visible; }
    int GetDeviceWidth() override { return width_; }
    int GetDeviceHeight() override { return height_; }
    void SetDeviceWindow(int width, int height, int flags) override;
    std::vector<KpDisplayMode> GetDisplayModes() override { return modes_; }
    std::optional<KpDisplayMode> GetDesktopMode() override { return desktop_; }
    String PathToFilePath(const String& path) override { return kpDesktopPathToFilePath(path); }
    KpBytes LoadImageData(const String& path, int* width, int* height, int* depth) override;
    void PrefetchImage(const String& path) override { prefetchImageAt(path); }
    KpBytes LoadAudioData(const String& path, int* length, int* channels, int* format,
                          int* hertz) override;

  private:
    double Now() override { return now_; }
    void Sleep(double seconds) override {
        now_ += seconds;
        slept_ += seconds;
    }
    bool CanSleep() override { return canSleep_; }
    void SwapBuffers() override {}
    void ProcessEvents(bool) override {}
    bool WindowActive() override { return active_; }
    void ReturnMemory() override { ++memoryReturns_; }

    KpFrameLoop loop_;
    double now_ = 0.0;
    double slept_ = 0.0;
    int memoryReturns_ = 0;
    int width_;
    int height_;
    bool active_ = true;
    bool canSleep_ = true;
    bool mouseVisible_ = true;
    Joystick joysticks_[kPorts];
    std::vector<KpDisplayMode> modes_;
    std::optional<KpDisplayMode> desktop_;
    std::vector<WindowRequest> windowRequests_;
    std::vector<String> urls_;
};
