// The input device: key, hit and character state for one update, mouse, touch, joysticks and
// accelerometer, all buttons in one key code space of kKeyCodes codes (mouse 1 to 3, keyboard
// 8 to 222, joysticks 256 + unit * 32 + button, touches 384 + index, back 416, close 432).
// Events arrive from the host between updates; p_BeginUpdate polls the joysticks through the
// host (KpGame::_game) and p_EndUpdate clears the hits and characters of the update just run.
// The queues are fixed arrays: hits beyond kHitQueue and characters beyond kCharQueue in one
// update are dropped. Events with a code, button or touch index outside the space are ignored.
#pragma once

#include "runtime/kp_game.h"
#include "runtime/kp_object.h"

// Sizes of the key space, queues and device arrays.
constexpr int kKeyCodes = 512;
constexpr int kHitQueue = 33;
constexpr int kCharQueue = 32;
constexpr int kTouches = 32;
constexpr int kJoyUnits = 4;

// First codes of the key space's ranges.
constexpr int kKeyMouseLeft = 1;    // mouse button b is kKeyMouseLeft + b
constexpr int kKeyJoyFirst = 256;   // joystick button: kKeyJoyFirst + unit * kJoyButtons + button
constexpr int kKeyTouchFirst = 384; // touch t is kKeyTouchFirst + t
constexpr int kJoyUnitShift = 5;    // log2(kJoyButtons): unit << kJoyUnitShift

// One joystick unit as last polled: two sticks of x, y, z and the button flags.
class c_JoyState : public Object {
  public:
    float joyx[kJoyAxes] = {};
    float joyy[kJoyAxes] = {};
    float joyz[kJoyAxes] = {};
    bool buttons[kJoyButtons] = {};
};

class c_InputDevice : public Object {
  public:
    c_JoyState joyStates[kJoyUnits];
    bool keyDown[kKeyCodes] = {};
    int keyHitPut = 0;
    int keyHitQueue[kHitQueue] = {};
    int keyHit[kKeyCodes] = {};
    int charGet = 0;
    int charPut = 0;
    int charQueue[kCharQueue] = {};
    float mouseX = 0;
    float mouseY = 0;
    float touchX[kTouches] = {};
    float touchY[kTouches] = {};
    float accelX = 0;
    float accelY = 0;
    float accelZ = 0;

    // Creates the device with its kJoyUnits joystick states, everything up and zero.
    c_InputDevice();

    // Polls the joysticks (stopping at the first absent unit) before the game's update.
    void p_BeginUpdate();
    // Clears the hit counts and typed characters after the game's update.
    void p_EndUpdate();

    // Event entry points with the host's event codes; other codes are ignored.
    void p_KeyEvent(int event, int data);
    void p_MouseEvent(int event, int data, float x, float y);
    void p_TouchEvent(int event, int data, float x, float y);
    void p_MotionEvent(int event, int data, float x, float y, float z);

    // Counts a press of key and queues it for clearing; dropped when the queue is full.
    void p_PutKeyHit(int key);

    // Queries; codes outside 1 to kKeyCodes - 1 read as up with no hits.
    bool p_KeyDown(int key) const;
    int p_KeyHit(int key) const;
    // Down now, or pressed since the last update: a press and release that both arrive
    // between two updates read as down for that one update, so no press is lost.
    bool p_KeyDownThisUpdate(int key) const;
    // The next character typed during this update, or 0 when none is left.
    int p_GetChar();
    float p_MouseX() const { return mouseX; }
    float p_MouseY() const { return mouseY; }
    float p_TouchX(int index) const;
    float p_TouchY(int index) const;
    float p_JoyX(int index, int unit) const;
    float p_JoyY(int index, int unit) const;
    float p_AccelX() const { return accelX; }
    float p_AccelY() const { return accelY; }
    // Passes the wish on to the host, which may show or hide an on-screen keyboard.
    void p_SetKeyboardEnabled(bool enabled);

  private:
    void keyPressed(int key);
    void keyReleased(int key);
    void storeMouse(float x, float y);
    void storeTouch(int index, float x, float y);
    void pollJoystick(int unit);
};

// The device the input module reads; set when the game starts.
extern c_InputDevice* kp_input_device;
void kp_input_SetInputDevice(c_InputDevice* device);
