// The application base class c_App, its delegate c_GameDelegate, and the app module: the
// globals and free functions through which the game reaches the host (clock, update rate,
// device size, display modes, state file, quitting).
#pragma once

#include <memory>
#include <vector>

#include "runtime/kp_game.h"

class c_App : public Object {
  public:
    // Registration: called once from the application's construction.
    c_App* m_new();

    virtual int p_OnCreate() { return 0; }
    virtual int p_OnSuspend() { return 0; }
    virtual int p_OnResume() { return 0; }
    virtual int p_OnUpdate() { return 0; }
    virtual int p_OnRender() { return 0; }
    int p_OnClose();
    int p_OnBack();
    int p_OnLoading() { return 0; }
    int p_OnResize() { return 0; }
};

class gxtkGraphics;
class gxtkAudio;
class c_InputDevice;

// Turns host events into calls on the application and the input device.
class c_GameDelegate : public KpGameDelegate {
  public:
    c_GameDelegate();
    ~c_GameDelegate() override;

    void StartGame() override;
    void SuspendGame() override;
    void ResumeGame() override;
    void UpdateGame() override;
    void RenderGame() override;
    void KeyEvent(int event, int data) override;
    void MouseEvent(int event, int data, float x, float y) override;
    void TouchEvent(int event, int data, float x, float y) override;
    void MotionEvent(int event, int data, float x, float y, float z) override;
    void DiscardGraphics() override;

    std::unique_ptr<gxtkGraphics> graphics;
    std::unique_ptr<gxtkAudio> audio;
    std::unique_ptr<c_InputDevice> input;
};

class c_DisplayMode : public Object {
  public:
    c_DisplayMode(int w, int h) : width(w), height(h) {}
    int width;
    int height;
};

extern c_App* kp_app__app;
extern c_GameDelegate* kp_app__delegate;
extern KpGame* kp_app__game;
extern std::vector<c_DisplayMode> kp_app__displayModes;
extern std::unique_ptr<c_DisplayMode> kp_app__desktopMode;
extern int kp_app__updateRate;

// Resets the app module's globals; host is the process-wide host.
void kp_app_Init(KpGame* host);

void kp_app_SetUpdateRate(int hertz);
int kp_app_Millisecs();
int kp_app_DeviceWidth();
int kp_app_DeviceHeight();
void kp_app_ValidateDeviceWindow(bool notify);
void kp_app_EnumDisplayModes();
String kp_app_LoadState();
int kp_app_SaveState(const String& state);
[[noreturn]] void kp_app_EndApp();

// Provided by the program (the game): every module global, and the application's creation.
int kpInit();
int kpMain();
// The platform-neutral start: signal handlers, locale, kpInit and kpMain.
int kp_std_main(int argc, char** argv);

extern int argc;
extern char** argv;
