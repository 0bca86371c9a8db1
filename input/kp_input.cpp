// The input module: each query forwards to the installed device, translating mouse, touch and
// joystick numbers into key codes; without a device everything reads as up and zero.
#include "input/kp_input.h"

namespace {

// Joystick button b of unit u: b | 256 | u << 5 (codes past the key space read as up).
int joyCode(int button, int unit) {
    return button | kKeyJoyFirst | unit << kJoyUnitShift;
}

} // namespace

void kp_input_SetInputDevice(c_InputDevice* device) {
    kp_input_device = device;
}

bool kp_input_KeyDown(int key) {
    return kp_input_device && kp_input_device->p_KeyDown(key);
}

int kp_input_KeyHit(int key) {
    return kp_input_device ? kp_input_device->p_KeyHit(key) : 0;
}

bool kp_input_KeyDownThisUpdate(int key) {
    return kp_input_device && kp_input_device->p_KeyDownThisUpdate(key);
}

int kp_input_GetChar() {
    return kp_input_device ? kp_input_device->p_GetChar() : 0;
}

float kp_input_MouseX() {
    return kp_input_device ? kp_input_device->p_MouseX() : 0.0f;
}

float kp_input_MouseY() {
    return kp_input_device ? kp_input_device->p_MouseY() : 0.0f;
}

bool kp_input_MouseDown(int button) {
    return kp_input_KeyDown(kKeyMouseLeft + button);
}

int kp_input_MouseHit(int button) {
    return kp_input_KeyHit(kKeyMouseLeft + button);
}

bool kp_input_TouchDown(int index) {
    return kp_input_KeyDown(kKeyTouchFirst + index);
}

float kp_input_TouchX(int index) {
    return kp_input_device ? kp_input_device->p_TouchX(index) : 0.0f;
}

float kp_input_TouchY(int index) {
    return kp_input_device ? kp_input_device->p_TouchY(index) : 0.0f;
}

bool kp_input_JoyDown(int button, int unit) {
    return kp_input_KeyDown(joyCode(button, unit));
}

int kp_input_JoyHit(int button, int unit) {
    return kp_input_KeyHit(joyCode(button, unit));
}

float kp_input_JoyX(int index, int unit) {
    return kp_input_device ? kp_input_device->p_JoyX(index, unit) : 0.0f;
}

float kp_input_JoyY(int index, int unit) {
    return kp_input_device ? kp_input_device->p_JoyY(index, unit) : 0.0f;
}

float kp_input_AccelX() {
    return kp_input_device ? kp_input_device->p_AccelX() : 0.0f;
}

float kp_input_AccelY() {
    return kp_input_device ? kp_input_device->p_AccelY() : 0.0f;
}

void kp_input_EnableKeyboard() {
    if (kp_input_device) kp_input_device->p_SetKeyboardEnabled(true);
}

void kp_input_DisableKeyboard() {
    if (kp_input_device) kp_input_device->p_SetKeyboardEnabled(false);
}
