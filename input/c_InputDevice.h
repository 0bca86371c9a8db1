// The input device: key, hit and character state for one update, mouse, touch, joysticks
// and accelerometer, in one 512-code key space.
#pragma once

#include "runtime/kp_object.h"

class c_InputDevice : public Object {
  public:
    c_InputDevice();

    void p_BeginUpdate();
    void p_EndUpdate();
    void p_KeyEvent(int event, int data);
    void p_MouseEvent(int event, int data, float x, float y);
    void p_TouchEvent(int event, int data, float x, float y);
    void p_MotionEvent(int event, int data, float x, float y, float z);
};

extern c_InputDevice* kp_input_device;
void kp_input_SetInputDevice(c_InputDevice* device);
