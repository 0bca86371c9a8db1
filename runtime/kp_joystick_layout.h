// How a joystick's state reaches the input device. A pad the window library has a mapping for
// is presented in one layout, the one the game's button table is written for, whatever order
// its driver reports; any other device keeps the raw path (real buttons, then each hat as
// left, up, right, down, reordered on big pads, and two known pads' right-stick axes). On both
// paths and both sticks a push up reads positive. Pure functions, so tests feed them any pad.
#pragma once

#include "runtime/kp_game.h"

// A mapped pad as the window library's gamepad state holds it: its 15 buttons (A, B, X, Y,
// left and right bumpers, back, start, guide, left and right stick clicks, d-pad up, right,
// down, left) and 6 axes (left x, y, right x, y, left and right triggers), a push up negative.
constexpr int kPadButtons = 15;
constexpr int kPadAxes = 6;

// The framework's button number of each mapped pad button, in the pad's order.
extern const int kPadLayout[kPadButtons];

// Fills joyx, joyy, joyz (kJoyAxes each) and all kJoyButtons buttons from a mapped pad.
void kpPresentGamepad(const unsigned char* padButtons, const float* padAxes, float* joyx,
                      float* joyy, float* joyz, bool* buttons);

// A device with no mapping, as the window library reports it: its real buttons (hats not
// included), its hats (bit masks: up 1, right 2, down 4, left 8) and its axes.
struct KpRawJoystick {
    const unsigned char* buttons = nullptr; // pressed when non-zero
    int buttonCount = 0;
    const unsigned char* hats = nullptr;
    int hatCount = 0;
    const float* axes = nullptr;
    int axisCount = 0;
};

// Fills the sticks and the first buttons from a raw device; buttons past those it reports are
// left as they are.
void kpPresentRawJoystick(const KpRawJoystick& raw, float* joyx, float* joyy, float* joyz,
                          bool* buttons);

// Reorders a joystick's raw buttons (hat as left, up, right, down after the real ones) into
// the framework's numbering; entries at n and above are left as they are.
void kpReorderJoyButtons(const bool* raw, int n, bool* buttons);
