// c_MyApp controls: the stick readers, the analogue reading used for rolling (pointer stick,
// joystick 0's first stick and the keyboard ramps), the hit tests of on-screen areas and
// buttons over the sampled touch slots, and the iCade switch. The touch slots and the pointer
// are sampled each tick by the frame driver; released slots hold -3717 and never match.
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "input/kp_input.h"

namespace {
constexpr int kNoAnchor = -1;
// Pointer stick: pixels of drag for a full reading, the dead zone, and how the anchor
// follows a pointer that has gone further than kAnchorReach.
constexpr float kStickTravel = 72.0f;
constexpr float kDeadZone = 0.1f;
constexpr int kAnchorReach = 64;
constexpr int kAnchorStep = 4;
constexpr float kJoyDeadZone = 0.2f;
// Keyboard ramps: per frame while the key is held, and back towards 0 once released.
constexpr float kRampIn = 0.15f;
constexpr float kRampOut = 0.2f;
// Touch areas reach a little beyond their box: 6 before and 12 after on each axis.
constexpr float kTouchLead = 6.0f;
constexpr float kTouchTrail = 12.0f;
constexpr float kOptionRowX = 84.0f;
constexpr float kOptionRowH = 24.0f;
// Debug stick: its place from the bottom right corner and its reach.
constexpr float kDebugInset = 64.0f;
constexpr float kDebugReach = 52.0f;
constexpr float kDebugThreshold = 0.05f;

float clampUnit(float v) {
    return v < -1 ? -1 : (v > 1 ? 1 : v);
}

// One keyboard ramp: minus while `less` is held, plus while `more` is held, easing back to 0
// once released; the reading follows the ramp whenever it moves.
void rampAxis(bool less, bool more, float& ramp, float& reading) {
    if (less) {
        ramp -= kRampIn;
        reading = ramp;
    } else if (ramp < 0) {
        ramp = std::fmin(ramp + kRampOut, 0.0f);
        reading = ramp;
    }
    if (more) {
        ramp += kRampIn;
        reading = ramp;
    } else if (ramp > 0) {
        ramp = std::fmax(ramp - kRampOut, 0.0f);
        reading = ramp;
    }
}

// Moves the anchor by a step towards the pointer when it is out of reach on that axis.
int follow(int anchor, int pointer) {
    if (pointer - anchor > kAnchorReach) return anchor + kAnchorStep;
    if (anchor - pointer > kAnchorReach) return anchor - kAnchorStep;
    return anchor;
}
} // namespace

float c_MyApp::p_StickX(int axis, int joystick) {
    if (joystick < 0) return 0;
    return kp_input_JoyX(axis, joystick);
}

float c_MyApp::p_StickY(int axis, int joystick) {
    if (joystick < 0) return 0;
    float y = kp_input_JoyY(axis, joystick);
    return axis == 0 ? -y : y;
}

int c_MyApp::p_AnalogueControl() {
    m_analogX = 0;
    m_analogY = 0;

    if (m_pointerDown == 0) {
        m_stickAnchorX = kNoAnchor;
        m_stickAnchorY = kNoAnchor;
    } else if (m_stickAnchorX == kNoAnchor) {
        m_stickAnchorX = m_pointerX;
        m_stickAnchorY = m_pointerY;
    } else {
        m_analogX = (m_pointerX - m_stickAnchorX) / kStickTravel;
        m_analogY = (m_pointerY - m_stickAnchorY) / kStickTravel;
        if (std::fabs(m_analogX) < kDeadZone) m_analogX = 0;
        if (std::fabs(m_analogY) < kDeadZone) m_analogY = 0;
        m_stickAnchorX = follow(m_stickAnchorX, m_pointerX);
        m_stickAnchorY = follow(m_stickAnchorY, m_pointerY);
        p_SetCol(0, 100, 250, 0.25f);
        p_Oval(static_cast<float>(m_stickAnchorX), static_cast<float>(m_stickAnchorY), 12, 12);
        p_Oval(static_cast<float>(m_pointerX), static_cast<float>(m_pointerY), 8, 8);
    }

    const float joyX = kp_input_JoyX(0, 0);
    const float joyY = kp_input_JoyY(0, 0);
    if (std::fabs(joyX) > kJoyDeadZone || std::fabs(joyY) > kJoyDeadZone) {
        m_analogX = joyX;
        m_analogY = -joyY;
    }

    rampAxis(p_PlayKey(kButtonUp, 0, 0) != 0, p_PlayKey(kButtonDown, 0, 0) != 0, m_keyRampY,
             m_analogY);
    rampAxis(p_PlayKey(kButtonLeft, 0, 0) != 0, p_PlayKey(kButtonRight, 0, 0) != 0, m_keyRampX,
             m_analogX);

    m_analogX = clampUnit(m_analogX);
    m_analogY = clampUnit(m_analogY);
    m_keyRampX = clampUnit(m_keyRampX);
    m_keyRampY = clampUnit(m_keyRampY);

    if (kp_BT3_DebugMode == 1 &&
        (std::fabs(m_analogX) > kDebugThreshold || std::fabs(m_analogY) > kDebugThreshold)) {
        const float cx = kp_BT3_jscrw - kDebugInset;
        const float cy = kp_BT3_jscrh - kDebugInset;
        p_SetCol(0, 180, 250, 0.5f);
        p_Oval(cx, cy, 12, 12);
        p_Oval(cx + kDebugReach * m_analogX, cy + kDebugReach * m_analogY, 8, 8);
    }
    return 0;
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
    p_Rect(x, y, w, h);
    for (int i = 0; i < kTouchSlots; ++i) {
        if (m_touchDown[i] == 0) continue;
        const float tx = static_cast<float>(m_touchX[i]);
        const float ty = static_cast<float>(m_touchY[i]);
        if (tx > x - kTouchLead && tx < x + w + kTouchTrail && ty > y - kTouchLead &&
            ty < y + h + kTouchTrail) {
            return 1;
        }
    }
    return 0;
}

int c_MyApp::p_Touch2(float y, float w) {
    return p_Touch(kOptionRowX, y, w, kOptionRowH);
}

int c_MyApp::p_MouseIn(float x, float y, float w, float h) {
    for (int i = 0; i < kTouchSlots; ++i) {
        if (m_touchDown[i] == 0) continue;
        const float tx = static_cast<float>(m_touchX[i]);
        const float ty = static_cast<float>(m_touchY[i]);
        if (tx > x && tx < x + w && ty > y && ty < y + h) return 1;
    }
    return 0;
}

int c_MyApp::p_MouseIn_Centered(float cx, float cy, float w, float h) {
    for (int i = 0; i < kTouchSlots; ++i) {
        if (m_touchDown[i] == 0) continue;
        if (std::fabs(m_touchX[i] - cx) < w / 2 && std::fabs(m_touchY[i] - cy) < h / 2) return 1;
    }
    return 0;
}

bool c_MyApp::touchOnImage(int image, float x, float y, int firstSlot, int lastSlot) const {
    const float halfW = m_fontMetrics[image * 3] * m_imageScale * m_drawScaleX / 2;
    const float halfH = m_fontMetrics[image * 3 + 1] * m_imageScale * m_drawScaleY / 2;
    for (int i = firstSlot; i <= lastSlot; ++i) {
        if (std::fabs(m_touchX[i] - x) < halfW && std::fabs(m_touchY[i] - y) < halfH) return true;
    }
    return false;
}

int c_MyApp::p_Button(int image, float x, float y, int frame) {
    p_DrawImg(image, x, y, frame);
    if (m_pointerDown < 1) return 0;
    return touchOnImage(image, x, y, 0, kTouchSlots - 1) ? 1 : 0;
}

int c_MyApp::p_Button2(float x, float y, int frame) {
    return p_Button(kImgIcons, x, y, frame);
}

int c_MyApp::p_Button0(int image, float x, float y, int frame) {
    p_DrawImg(image, x, y, frame);
    if (m_pointerDown < 1) return 0;
    return touchOnImage(image, x, y, 0, 0) ? 1 : 0;
}

int c_MyApp::p_iCade(int on) {
    if (on == 1) {
        kp_input_EnableKeyboard();
        kp_BT3_iCadeControls = 1;
        while (kp_input_GetChar() != 0) {
        }
    } else {
        kp_input_DisableKeyboard();
        kp_BT3_iCadeControls = 0;
        for (int i = 0; i < kButtonsCleared; ++i) m_buttons[i] = 0;
    }
    return 0;
}
