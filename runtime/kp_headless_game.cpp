// The headless host's scripted platform answers.
#include "runtime/kp_headless_game.h"

KpHeadlessGame::KpHeadlessGame(int width, int height) : width_(width), height_(height) {
    desktop_ = KpDisplayMode{width, height};
}

void KpHeadlessGame::SetUpdateRate(int hertz) {
    KpGame::SetUpdateRate(hertz);
    loop_.SetUpdateRate(hertz);
}

void KpHeadlessGame::SetDeviceSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void KpHeadlessGame::SetDeviceWindow(int width, int height, int flags) {
    windowRequests_.push_back({width, height, flags});
    width_ = width;
    height_ = height;
    // No graphics context exists here, so the context number stays as it is: the render
    // device keeps batching without OpenGL.
}

bool KpHeadlessGame::PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) {
    if (port < 0 || port >= kPorts || !joysticks_[port].present) return false;
    const Joystick& joy = joysticks_[port];
    for (int i = 0; i < kJoyAxes; ++i) {
        joyx[i] = joy.joyx[i];
        joyy[i] = joy.joyy[i];
        joyz[i] = joy.joyz[i];
    }
    for (int i = 0; i < joy.buttonCount && i < kJoyButtons; ++i) buttons[i] = joy.buttons[i];
    return true;
}

KpBytes KpHeadlessGame::LoadImageData(const String& path, int* width, int* height, int* depth) {
    return decodeImageAt(path, width, height, depth);
}

KpBytes KpHeadlessGame::LoadAudioData(const String& path, int* length, int* channels, int* format,
                                      int* hertz) {
    return decodeAudioAt(path, length, channels, format, hertz);
}
