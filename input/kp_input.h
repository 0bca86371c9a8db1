// The input module: the game's queries on the installed input device (kp_input_device).
// Every query answers "up", 0 or 0.0 while no device is installed.
#pragma once

#include "input/c_InputDevice.h"

bool kp_input_KeyDown(int key);
int kp_input_KeyHit(int key);
// Down now or pressed since the last update (a tap between two updates counts once); the
// game reads its buttons, pointer and touches through this.
bool kp_input_KeyDownThisUpdate(int key);
int kp_input_GetChar();
float kp_input_MouseX();
float kp_input_MouseY();
// Mouse button b is key code 1 + b.
bool kp_input_MouseDown(int button);
int kp_input_MouseHit(int button);
// Touch t is key code 384 + t.
bool kp_input_TouchDown(int index);
float kp_input_TouchX(int index);
float kp_input_TouchY(int index);
// Joystick button b of unit u is key code b | 256 | u << 5.
bool kp_input_JoyDown(int button, int unit);
int kp_input_JoyHit(int button, int unit);
float kp_input_JoyX(int index, int unit);
float kp_input_JoyY(int index, int unit);
float kp_input_AccelX();
float kp_input_AccelY();
void kp_input_EnableKeyboard();
void kp_input_DisableKeyboard();
