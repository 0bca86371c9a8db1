// The input device as the game sees it across updates: hits versus held keys, the hit and
// character queue limits, the mouse and touch-0 mirror, joystick polling through the headless
// host, and the range rules of the module's queries.
#include <gtest/gtest.h>

#include "input/kp_input.h"
#include "runtime/kp_headless_game.h"

namespace {

constexpr int kSpace = 32;
constexpr int kRight = 39;

class InputDevice : public ::testing::Test {
  protected:
    InputDevice() { kp_input_SetInputDevice(&device); }
    ~InputDevice() override { kp_input_SetInputDevice(nullptr); }

    void press(int key) { device.p_KeyEvent(kEventKeyDown, key); }
    void release(int key) { device.p_KeyEvent(kEventKeyUp, key); }
    // One update of the game: the bracket the delegate puts around it.
    void update() {
        device.p_BeginUpdate();
        device.p_EndUpdate();
    }

    KpHeadlessGame host;
    c_InputDevice device;
};

} // namespace

TEST_F(InputDevice, PressAndReleaseBetweenUpdatesCountsOneHit) {
    press(kSpace);
    release(kSpace);
    device.p_BeginUpdate();
    EXPECT_EQ(kp_input_KeyHit(kSpace), 1);
    EXPECT_FALSE(kp_input_KeyDown(kSpace));
    device.p_EndUpdate();
    EXPECT_EQ(kp_input_KeyHit(kSpace), 0);
}

TEST_F(InputDevice, ATapBetweenUpdatesReadsAsDownForThatUpdateOnly) {
    press(kSpace);
    release(kSpace);
    device.p_MouseEvent(kEventMouseDown, 0, 5, 5);
    device.p_MouseEvent(kEventMouseUp, 0, 5, 5);
    device.p_BeginUpdate();
    EXPECT_TRUE(kp_input_KeyDownThisUpdate(kSpace));
    EXPECT_TRUE(kp_input_KeyDownThisUpdate(1));
    EXPECT_TRUE(kp_input_KeyDownThisUpdate(384)) << "the click's touch mirror";
    device.p_EndUpdate();
    device.p_BeginUpdate();
    EXPECT_FALSE(kp_input_KeyDownThisUpdate(kSpace));
    EXPECT_FALSE(kp_input_KeyDownThisUpdate(1));
    device.p_EndUpdate();

    // Held, it reads as down on every update, as the plain down flag does.
    press(kRight);
    for (int i = 0; i < 3; ++i) {
        device.p_BeginUpdate();
        EXPECT_TRUE(kp_input_KeyDownThisUpdate(kRight));
        device.p_EndUpdate();
    }
    release(kRight);
    device.p_BeginUpdate();
    EXPECT_FALSE(kp_input_KeyDownThisUpdate(kRight));
    EXPECT_FALSE(kp_input_KeyDownThisUpdate(0));
    EXPECT_FALSE(kp_input_KeyDownThisUpdate(kKeyCodes));
}

TEST_F(InputDevice, HitCountIgnoresKeyRepeat) {
    press(kRight);
    press(kRight);
    press(kRight);
    EXPECT_EQ(kp_input_KeyHit(kRight), 1);
    EXPECT_TRUE(kp_input_KeyDown(kRight));
    update();
    press(kRight); // still held: a repeat in the next update is no new hit
    EXPECT_EQ(kp_input_KeyHit(kRight), 0);
    EXPECT_TRUE(kp_input_KeyDown(kRight));
}

TEST_F(InputDevice, TwoPressesInOneUpdateCountTwoHits) {
    press(kSpace);
    release(kSpace);
    press(kSpace);
    EXPECT_EQ(kp_input_KeyHit(kSpace), 2);
    EXPECT_EQ(device.keyHitPut, 2);
}

TEST_F(InputDevice, HitQueueKeepsOnlyTheFirst33Presses) {
    constexpr int kFirstLetter = 65;
    constexpr int kPresses = 40;
    for (int i = 0; i < kPresses; ++i) press(kFirstLetter + i);
    for (int i = 0; i < kPresses; ++i) {
        EXPECT_EQ(kp_input_KeyHit(kFirstLetter + i), i < kHitQueue ? 1 : 0) << "key " << i;
        EXPECT_TRUE(kp_input_KeyDown(kFirstLetter + i)) << "key " << i;
    }
    update();
    for (int i = 0; i < kPresses; ++i) EXPECT_EQ(kp_input_KeyHit(kFirstLetter + i), 0);
    // The queue is free again for the next update.
    release(kFirstLetter);
    press(kFirstLetter);
    EXPECT_EQ(kp_input_KeyHit(kFirstLetter), 1);
}

TEST_F(InputDevice, CharacterQueueKeepsTheFirst32InOrder) {
    constexpr int kTyped = 35;
    for (int i = 0; i < kTyped; ++i) device.p_KeyEvent(kEventKeyChar, 'a' + i);
    for (int i = 0; i < kCharQueue; ++i) EXPECT_EQ(kp_input_GetChar(), 'a' + i);
    EXPECT_EQ(kp_input_GetChar(), 0);
    EXPECT_EQ(kp_input_GetChar(), 0);
}

TEST_F(InputDevice, UnreadCharactersAreDiscardedAfterTheUpdate) {
    device.p_KeyEvent(kEventKeyChar, 'x');
    update();
    EXPECT_EQ(kp_input_GetChar(), 0);
    device.p_KeyEvent(kEventKeyChar, 'y');
    EXPECT_EQ(kp_input_GetChar(), 'y');
}

TEST_F(InputDevice, LeftClickReadsAsTouchZero) {
    device.p_MouseEvent(kEventMouseDown, 0, 120.0f, 80.0f);
    EXPECT_EQ(kp_input_MouseHit(0), 1);
    EXPECT_EQ(kp_input_KeyHit(kKeyTouchFirst), 1);
    EXPECT_TRUE(kp_input_TouchDown(0));
    EXPECT_TRUE(kp_input_MouseDown(0));
    EXPECT_EQ(kp_input_TouchX(0), kp_input_MouseX());
    EXPECT_EQ(kp_input_TouchY(0), 80.0f);
    device.p_MouseEvent(kEventMouseUp, 0, 300.0f, 300.0f);
    EXPECT_FALSE(kp_input_TouchDown(0));
    EXPECT_FALSE(kp_input_MouseDown(0));
    EXPECT_EQ(kp_input_MouseX(), 120.0f); // a release does not move the pointer
}

TEST_F(InputDevice, RightClickIsNotMirrored) {
    device.p_MouseEvent(kEventMouseDown, 1, 10.0f, 10.0f);
    EXPECT_TRUE(kp_input_KeyDown(2));
    EXPECT_FALSE(kp_input_TouchDown(0));
    EXPECT_EQ(device.keyHitPut, 1);
}

TEST_F(InputDevice, PointerAndTouchZeroShareOnePosition) {
    device.p_MouseEvent(kEventMouseMove, -1, 33.0f, 44.0f);
    EXPECT_EQ(kp_input_TouchX(0), 33.0f);
    EXPECT_EQ(kp_input_TouchY(0), 44.0f);
    EXPECT_FALSE(kp_input_TouchDown(0));

    device.p_TouchEvent(kEventTouchMove, 0, 5.0f, 6.0f);
    EXPECT_EQ(kp_input_MouseX(), 5.0f);
    EXPECT_EQ(kp_input_MouseY(), 6.0f);

    device.p_TouchEvent(kEventTouchDown, 3, 70.0f, 71.0f);
    EXPECT_EQ(kp_input_TouchX(3), 70.0f);
    EXPECT_TRUE(kp_input_TouchDown(3));
    EXPECT_EQ(kp_input_MouseX(), 5.0f); // only touch 0 moves the pointer
    EXPECT_FALSE(kp_input_MouseDown(0));
}

TEST_F(InputDevice, TouchZeroPressesAndReleasesTheLeftButton) {
    device.p_TouchEvent(kEventTouchDown, 0, 1.0f, 2.0f);
    EXPECT_EQ(kp_input_MouseHit(0), 1);
    EXPECT_TRUE(kp_input_MouseDown(0));
    device.p_TouchEvent(kEventTouchUp, 0, 1.0f, 2.0f);
    EXPECT_FALSE(kp_input_MouseDown(0));
    EXPECT_EQ(kp_input_MouseHit(0), 1); // releases never touch hit counts
}

TEST_F(InputDevice, MirroredButtonGoesDownEvenWhenTheHitQueueIsFull) {
    for (int i = 0; i < kHitQueue; ++i) press(65 + i);
    device.p_MouseEvent(kEventMouseDown, 0, 0.0f, 0.0f);
    EXPECT_TRUE(kp_input_MouseDown(0));
    EXPECT_TRUE(kp_input_TouchDown(0));
    EXPECT_EQ(kp_input_MouseHit(0), 0);
}

TEST_F(InputDevice, AccelerometerTakesOnlyMotionEvents) {
    device.p_MotionEvent(kEventMotionAccel, 0, 0.5f, -0.25f, 1.0f);
    device.p_MotionEvent(kEventMouseMove, 0, 9.0f, 9.0f, 9.0f);
    EXPECT_EQ(kp_input_AccelX(), 0.5f);
    EXPECT_EQ(kp_input_AccelY(), -0.25f);
    EXPECT_EQ(device.accelZ, 1.0f);
}

TEST_F(InputDevice, JoystickButtonCountsOneHitWhileHeld) {
    KpHeadlessGame::Joystick& pad = host.JoystickAt(0);
    pad.present = true;
    pad.buttonCount = kJoyButtons;
    pad.buttons[14] = true;
    pad.joyx[1] = 0.75f;
    device.p_BeginUpdate();
    EXPECT_EQ(kp_input_JoyHit(14, 0), 1);
    EXPECT_EQ(kp_input_KeyHit(270), 1);
    EXPECT_EQ(kp_input_JoyX(1, 0), 0.75f);
    device.p_EndUpdate();

    device.p_BeginUpdate();
    EXPECT_TRUE(kp_input_JoyDown(14, 0));
    EXPECT_EQ(kp_input_JoyHit(14, 0), 0);
    device.p_EndUpdate();

    pad.buttons[14] = false;
    device.p_BeginUpdate();
    EXPECT_FALSE(kp_input_JoyDown(14, 0));
    device.p_EndUpdate();
}

TEST_F(InputDevice, AGapInTheJoystickNumberingHidesTheUnitsAboveIt) {
    for (int port : {0, 2, 3}) {
        KpHeadlessGame::Joystick& pad = host.JoystickAt(port);
        pad.present = true;
        pad.buttonCount = kJoyButtons;
        pad.buttons[5] = true;
        pad.joyy[0] = -1.0f;
    }
    update();
    EXPECT_TRUE(kp_input_JoyDown(5, 0));
    EXPECT_FALSE(kp_input_JoyDown(5, 2));
    EXPECT_FALSE(kp_input_JoyDown(5, 3));
    EXPECT_EQ(kp_input_JoyY(0, 3), 0.0f);

    host.JoystickAt(1).present = true; // closing the gap shows them from the next update
    device.p_BeginUpdate();
    EXPECT_TRUE(kp_input_JoyDown(5, 3));
    EXPECT_TRUE(kp_input_KeyDown(357));
    EXPECT_EQ(kp_input_JoyHit(5, 2), 1);
    EXPECT_EQ(kp_input_JoyY(0, 3), -1.0f);
}

TEST_F(InputDevice, CodesOutsideTheKeySpaceReadAsUp) {
    press(0);
    press(511);
    press(512);
    press(-7);
    EXPECT_FALSE(kp_input_KeyDown(0));
    EXPECT_FALSE(kp_input_KeyDown(512));
    EXPECT_FALSE(kp_input_KeyDown(-7));
    EXPECT_EQ(kp_input_KeyHit(512), 0);
    EXPECT_TRUE(kp_input_KeyDown(511));
    EXPECT_EQ(device.keyHitPut, 1);

    // The module's number-to-code rules: each range maps onto codes 1 to 511 only.
    EXPECT_TRUE(kp_input_MouseDown(510));
    EXPECT_FALSE(kp_input_MouseDown(511));
    EXPECT_FALSE(kp_input_MouseDown(-1));
    EXPECT_TRUE(kp_input_TouchDown(127));
    EXPECT_FALSE(kp_input_TouchDown(128));
    EXPECT_FALSE(kp_input_JoyDown(-1, 0));
    EXPECT_EQ(kp_input_JoyHit(0, 16), 0); // code 768, past the key space
    press(1);
    EXPECT_TRUE(kp_input_TouchDown(-383)); // code 1, mirrored left button
    EXPECT_FALSE(kp_input_TouchDown(-384));
}

TEST_F(InputDevice, OutOfRangeEventsAreIgnored) {
    device.p_MouseEvent(kEventMouseDown, 600, 1.0f, 1.0f);
    device.p_TouchEvent(kEventTouchDown, 32, 1.0f, 1.0f);
    device.p_TouchEvent(kEventTouchMove, -1, 1.0f, 1.0f);
    device.p_KeyEvent(kEventMouseDown, kSpace);
    EXPECT_EQ(device.keyHitPut, 0);
    EXPECT_EQ(kp_input_TouchX(32), 0.0f);
    EXPECT_EQ(kp_input_MouseX(), 0.0f);
    EXPECT_EQ(kp_input_JoyX(2, 0), 0.0f);
    EXPECT_EQ(kp_input_JoyX(0, 4), 0.0f);
}

TEST_F(InputDevice, KeyboardWishReachesTheHost) {
    kp_input_EnableKeyboard();
    EXPECT_TRUE(host.KeyboardEnabled());
    kp_input_DisableKeyboard();
    EXPECT_FALSE(host.KeyboardEnabled());
}

TEST(InputModule, ReadsNothingWithoutADevice) {
    kp_input_SetInputDevice(nullptr);
    EXPECT_FALSE(kp_input_KeyDown(kSpace));
    EXPECT_EQ(kp_input_GetChar(), 0);
    EXPECT_EQ(kp_input_JoyX(0, 0), 0.0f);
}
