// The two joystick paths: mapped pads in the game's one layout, raw devices as reported. The
// window library gives a stick pushed up as -1; the game's table reads up as positive, so
// each vertical axis is negated here, once, on both paths.
#include "runtime/kp_joystick_layout.h"

#include <GLFW/glfw3.h>

namespace {

constexpr int kMaxRawAxes = 6;
constexpr int kReorderAbove = 12; // more raw buttons than this: the hat moves to 8..11
constexpr int kHatButtons = 4;
constexpr int kReorderKept = 8; // raw buttons 0..7 keep their numbers on big pads

// The hat's directions in the order they follow the real buttons.
constexpr int kHatOrder[kHatButtons] = {GLFW_HAT_LEFT, GLFW_HAT_UP, GLFW_HAT_RIGHT, GLFW_HAT_DOWN};

// Where a raw device's second stick lies: on axes 3 and 4, except on two known pads, told
// apart by their button and axis counts.
struct RightStick {
    int buttons;
    int axes;
    int x;
    int y;
};
constexpr RightStick kDefaultRightStick = {0, 0, 3, 4};
constexpr RightStick kRightStickFixes[] = {
    {14, 5, 4, 3},
    {18, 4, 3, 2},
};

static_assert(GLFW_GAMEPAD_BUTTON_LAST + 1 == kPadButtons);
static_assert(GLFW_GAMEPAD_AXIS_LAST + 1 == kPadAxes);

} // namespace

// Face buttons 0..3, bumpers 4 and 5, back 6, start 7, the d-pad 8..11 as left, up, right,
// down, the stick clicks 12 and 13; guide is the pad's menu button, 14, which the game's table
// reads as back, as it does back and start.
const int kPadLayout[kPadButtons] = {
    0,  // A
    1,  // B
    2,  // X
    3,  // Y
    4,  // left bumper
    5,  // right bumper
    6,  // back
    7,  // start
    14, // guide
    12, // left stick click
    13, // right stick click
    9,  // d-pad up
    10, // d-pad right
    11, // d-pad down
    8,  // d-pad left
};

void kpPresentGamepad(const unsigned char* padButtons, const float* padAxes, float* joyx,
                      float* joyy, float* joyz, bool* buttons) {
    for (int b = 0; b < kJoyButtons; ++b) buttons[b] = false;
    for (int b = 0; b < kPadButtons; ++b) buttons[kPadLayout[b]] = padButtons[b] == GLFW_PRESS;
    joyx[0] = padAxes[GLFW_GAMEPAD_AXIS_LEFT_X];
    joyy[0] = -padAxes[GLFW_GAMEPAD_AXIS_LEFT_Y];
    joyz[0] = padAxes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER];
    joyx[1] = padAxes[GLFW_GAMEPAD_AXIS_RIGHT_X];
    joyy[1] = -padAxes[GLFW_GAMEPAD_AXIS_RIGHT_Y];
    joyz[1] = padAxes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER];
}

void kpPresentRawJoystick(const KpRawJoystick& raw, float* joyx, float* joyy, float* joyz,
                          bool* buttons) {
    float a[kMaxRawAxes] = {};
    for (int i = 0; i < raw.axisCount && i < kMaxRawAxes; ++i) a[i] = raw.axes[i];

    // The real buttons, then each hat as left, up, right, down.
    bool b[kJoyButtons] = {};
    int n = 0;
    for (int i = 0; i < raw.buttonCount && n < kJoyButtons; ++i) b[n++] = raw.buttons[i] != 0;
    for (int h = 0; h < raw.hatCount; ++h) {
        for (int d = 0; d < kHatButtons && n < kJoyButtons; ++d)
            b[n++] = (raw.hats[h] & kHatOrder[d]) != 0;
    }
    kpReorderJoyButtons(b, n, buttons);

    RightStick right = kDefaultRightStick;
    for (const RightStick& fix : kRightStickFixes) {
        if (fix.buttons == n && fix.axes == raw.axisCount) right = fix;
    }
    joyx[0] = a[0];
    joyy[0] = -a[1];
    joyz[0] = a[2];
    joyx[1] = a[right.x];
    joyy[1] = -a[right.y];
    joyz[1] = a[5];
}

void kpReorderJoyButtons(const bool* b, int n, bool* buttons) {
    if (n > kReorderAbove) {
        for (int i = 0; i < kReorderKept; ++i) buttons[i] = b[i];
        for (int i = 0; i < kHatButtons; ++i) buttons[kReorderKept + i] = b[n - kHatButtons + i];
        for (int i = kReorderKept + kHatButtons; i < n; ++i) buttons[i] = b[i - kHatButtons];
    } else {
        for (int i = 0; i < n; ++i) buttons[i] = b[i];
    }
}
