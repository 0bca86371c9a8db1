// c_GameDelegate: creates the devices when the game starts and brackets each update and
// render with the input device and the graphics module, in the order the game relies on.
#include "audio/gxtkAudio.h"
#include "graphics/gxtkGraphics.h"
#include "graphics/kp_graphics.h"
#include "input/c_InputDevice.h"
#include "runtime/kp_app.h"

c_GameDelegate::c_GameDelegate() = default;
c_GameDelegate::~c_GameDelegate() = default;

void c_GameDelegate::StartGame() {
    graphics = std::make_unique<gxtkGraphics>();
    kp_graphics_SetGraphicsDevice(graphics.get());
    kp_graphics_SetFont(nullptr, 32);
    audio = std::make_unique<gxtkAudio>();
    kp_audio_SetAudioDevice(audio.get());
    input = std::make_unique<c_InputDevice>();
    kp_input_SetInputDevice(input.get());
    kp_app_ValidateDeviceWindow(false);
    kp_app_EnumDisplayModes();
    kp_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
    kp_app__app->p_OnSuspend();
    audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
    audio->Resume();
    kp_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
    kp_app_ValidateDeviceWindow(true);
    audio->Update(); // a music track decoded since the last tick starts now
    input->p_BeginUpdate();
    kp_app__app->p_OnUpdate();
    input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
    kp_app_ValidateDeviceWindow(true);
    int mode = graphics->BeginRender();
    if (mode != 0) kp_graphics_BeginRender();
    if (mode == 2) {
        kp_app__app->p_OnLoading();
    } else {
        kp_app__app->p_OnRender();
    }
    if (mode != 0) kp_graphics_EndRender();
    graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
    input->p_KeyEvent(event, data);
    if (event == kEventKeyDown && (data == kKeyBack || data == kKeyClose)) kp_app_EndApp();
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
    input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
    input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
    input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() {
    graphics->DiscardGraphics();
}
