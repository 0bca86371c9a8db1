// The input device: event recording, the update bracket with joystick polling, and the
// device's own queries. Mouse button 0 (code 1) and touch 0 (code 384) mirror each other's
// presses and releases, so a desktop click reads as a touch and a touch as a click.
#include "input/c_InputDevice.h"

namespace {

constexpr int kMirrorMouse = kKeyMouseLeft;  // mouse button 0 ...
constexpr int kMirrorTouch = kKeyTouchFirst; // ... and touch 0 follow each other

bool validCode(int key) {
    return key >= 1 && key < kKeyCodes;
}
bool validTouch(int index) {
    return index >= 0 && index < kTouches;
}
bool validStick(int index, int unit) {
    return index >= 0 && index < kJoyAxes && unit >= 0 && unit < kJoyUnits;
}

// The key that follows key's presses and releases, or 0 when none does.
int mirrorOf(int key) {
    if (key == kMirrorMouse) return kMirrorTouch;
    if (key == kMirrorTouch) return kMirrorMouse;
    return 0;
}

} // namespace

c_InputDevice* kp_input_device = nullptr;

c_InputDevice::c_InputDevice() = default;

// ---- update bracket ----

void c_InputDevice::p_BeginUpdate() {
    KpGame* host = KpGame::_game;
    if (!host) return;
    for (int unit = 0; unit < kJoyUnits; ++unit) {
        c_JoyState& joy = joyStates[unit];
        // A gap in the numbering hides the units above it for this update.
        if (!host->PollJoystick(unit, joy.joyx, joy.joyy, joy.joyz, joy.buttons)) break;
        pollJoystick(unit);
    }
}

void c_InputDevice::p_EndUpdate() {
    for (int i = 0; i < keyHitPut; ++i) keyHit[keyHitQueue[i]] = 0;
    keyHitPut = 0;
    charGet = 0;
    charPut = 0;
}

// ---- events ----

void c_InputDevice::p_KeyEvent(int event, int data) {
    switch (event) {
    case kEventKeyDown:
        if (validCode(data)) keyPressed(data);
        break;
    case kEventKeyUp:
        if (validCode(data)) keyReleased(data);
        break;
    case kEventKeyChar:
        if (charPut < kCharQueue) charQueue[charPut++] = data;
        break;
    default:
        break;
    }
}

void c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
    int key = kKeyMouseLeft + data;
    switch (event) {
    case kEventMouseDown:
        if (!validCode(key)) return;
        keyPressed(key);
        storeMouse(x, y);
        break;
    case kEventMouseUp:
        if (validCode(key)) keyReleased(key);
        break;
    case kEventMouseMove:
        storeMouse(x, y);
        break;
    default:
        break;
    }
}

void c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
    if (!validTouch(data)) return;
    int key = kKeyTouchFirst + data;
    switch (event) {
    case kEventTouchDown:
        keyPressed(key);
        storeTouch(data, x, y);
        break;
    case kEventTouchUp:
        keyReleased(key);
        break;
    case kEventTouchMove:
        storeTouch(data, x, y);
        break;
    default:
        break;
    }
}

void c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
    if (event != kEventMotionAccel) return;
    accelX = x;
    accelY = y;
    accelZ = z;
}

void c_InputDevice::p_PutKeyHit(int key) {
    if (keyHitPut == kHitQueue) return;
    keyHit[key] += 1;
    keyHitQueue[keyHitPut++] = key;
}

// ---- queries ----

bool c_InputDevice::p_KeyDown(int key) const {
    return validCode(key) && keyDown[key];
}

int c_InputDevice::p_KeyHit(int key) const {
    return validCode(key) ? keyHit[key] : 0;
}

bool c_InputDevice::p_KeyDownThisUpdate(int key) const {
    return validCode(key) && (keyDown[key] || keyHit[key] > 0);
}

int c_InputDevice::p_GetChar() {
    if (charGet >= charPut) return 0;
    return charQueue[charGet++];
}

float c_InputDevice::p_TouchX(int index) const {
    return validTouch(index) ? touchX[index] : 0.0f;
}

float c_InputDevice::p_TouchY(int index) const {
    return validTouch(index) ? touchY[index] : 0.0f;
}

float c_InputDevice::p_JoyX(int index, int unit) const {
    return validStick(index, unit) ? joyStates[unit].joyx[index] : 0.0f;
}

float c_InputDevice::p_JoyY(int index, int unit) const {
    return validStick(index, unit) ? joyStates[unit].joyy[index] : 0.0f;
}

void c_InputDevice::p_SetKeyboardEnabled(bool enabled) {
    if (KpGame::_game) KpGame::_game->SetKeyboardEnabled(enabled);
}

// ---- internal ----

// A key going down: a repeat of a held key changes nothing; a new press counts a hit, and the
// mirrored key goes down with its own hit even when it was already down.
void c_InputDevice::keyPressed(int key) {
    if (keyDown[key]) return;
    keyDown[key] = true;
    p_PutKeyHit(key);
    if (int mirror = mirrorOf(key)) {
        keyDown[mirror] = true;
        p_PutKeyHit(mirror);
    }
}

// A key going up, taking its mirror with it; hit counts stay for the update to read.
void c_InputDevice::keyReleased(int key) {
    keyDown[key] = false;
    if (int mirror = mirrorOf(key)) keyDown[mirror] = false;
}

void c_InputDevice::storeMouse(float x, float y) {
    mouseX = x;
    mouseY = y;
    touchX[0] = x;
    touchY[0] = y;
}

void c_InputDevice::storeTouch(int index, float x, float y) {
    touchX[index] = x;
    touchY[index] = y;
    if (index == 0) {
        mouseX = x;
        mouseY = y;
    }
}

// Turns the polled button flags of one unit into key states: a newly held button counts a hit.
void c_InputDevice::pollJoystick(int unit) {
    const c_JoyState& joy = joyStates[unit];
    for (int button = 0; button < kJoyButtons; ++button) {
        int key = kKeyJoyFirst + unit * kJoyButtons + button;
        if (!joy.buttons[button]) {
            keyDown[key] = false;
        } else if (!keyDown[key]) {
            keyDown[key] = true;
            p_PutKeyHit(key);
        }
    }
}
