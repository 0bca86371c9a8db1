// The input device (being built): events are accepted and dropped for now.
#include "input/c_InputDevice.h"

c_InputDevice* kp_input_device = nullptr;

c_InputDevice::c_InputDevice() = default;
void c_InputDevice::p_BeginUpdate() {}
void c_InputDevice::p_EndUpdate() {}
void c_InputDevice::p_KeyEvent(int, int) {}
void c_InputDevice::p_MouseEvent(int, int, float, float) {}
void c_InputDevice::p_TouchEvent(int, int, float, float) {}
void c_InputDevice::p_MotionEvent(int, int, float, float, float) {}

void kp_input_SetInputDevice(c_InputDevice* device) { kp_input_device = device; }
