// Controls: the hit tests of touch areas and buttons at their boundaries, the pointer stick,
// joystick 0's stick, the keyboard ramps and the iCade switch.
#include "game_fixture.h"
#include "input/kp_input.h"

namespace {
class ControlsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Start();
        for (int i = 0; i < kTouchSlots; ++i) {
            app->m_touchX[i] = -3717;
            app->m_touchY[i] = -3717;
        }
        app->p_CLS2D(kNotGiven, 0, 0, 0);
    }

    void touch(int slot, int x, int y) {
        app->m_touchDown[slot] = 1;
        app->m_touchX[slot] = x;
        app->m_touchY[slot] = y;
        app->m_pointerDown = 1;
    }
};
} // namespace

TEST_F(ControlsTest, MouseInExcludesTheFarEdges) {
    touch(3, 110, 60);
    EXPECT_EQ(app->p_MouseIn(100, 50, 20, 20), 1);
    touch(3, 120, 60);
    EXPECT_EQ(app->p_MouseIn(100, 50, 20, 20), 0);
    touch(3, 100, 60);
    EXPECT_EQ(app->p_MouseIn(100, 50, 20, 20), 0);
    touch(3, 110, 70);
    EXPECT_EQ(app->p_MouseIn(100, 50, 20, 20), 0);
    app->m_touchDown[3] = 0;
    app->m_touchX[3] = 110;
    app->m_touchY[3] = 60;
    EXPECT_EQ(app->p_MouseIn(100, 50, 20, 20), 0) << "a slot that is up never matches";
}

TEST_F(ControlsTest, TouchAreasReachTwelveBeyondAndSixBefore) {
    touch(0, 131, 60);
    EXPECT_EQ(app->p_Touch(100, 50, 20, 20), 1);
    touch(0, 132, 60);
    EXPECT_EQ(app->p_Touch(100, 50, 20, 20), 0);
    touch(0, 95, 45);
    EXPECT_EQ(app->p_Touch(100, 50, 20, 20), 1);
    touch(0, 94, 60);
    EXPECT_EQ(app->p_Touch(100, 50, 20, 20), 0);
    EXPECT_EQ(app->m_drawCount, 4 * 15) << "each test draws its area";
    EXPECT_EQ(app->m_drawList[0], kCmdRect);
    touch(0, 90, 110);
    EXPECT_EQ(app->p_Touch2(100, 200), 1) << "options rows start at x 84";
    touch(0, 90, 137);
    EXPECT_EQ(app->p_Touch2(100, 200), 0) << "and are 24 high";
}

TEST_F(ControlsTest, CentredHitTestUsesHalfTheSize) {
    touch(1, 109, 50);
    EXPECT_EQ(app->p_MouseIn_Centered(100, 50, 20, 10), 1);
    touch(1, 110, 50);
    EXPECT_EQ(app->p_MouseIn_Centered(100, 50, 20, 10), 0);
}

TEST_F(ControlsTest, ButtonsNeedAPointerDownAndHitWithinTheScaledImage) {
    app->m_fontMetrics[95 * 3] = 128; // loaded at double resolution
    app->m_fontMetrics[95 * 3 + 1] = 128;
    app->m_imageScale = 0.5f;
    app->m_touchX[4] = 130;
    app->m_touchY[4] = 100;
    EXPECT_EQ(app->p_Button(95, 100, 100, 2), 0) << "no pointer down";
    EXPECT_EQ(app->m_drawCount, 15);
    EXPECT_EQ(app->m_drawList[6], 2);
    app->m_pointerDown = 1;
    EXPECT_EQ(app->p_Button(95, 100, 100, 2), 1);
    app->m_touchX[4] = 132;
    EXPECT_EQ(app->p_Button(95, 100, 100, 2), 0) << "half of 64 is the edge";
    app->p_SetSize(1.5f, kNotGiven);
    EXPECT_EQ(app->p_Button(95, 100, 100, 2), 1) << "the draw size widens the button";
    EXPECT_EQ(app->p_Button0(95, 100, 100, 2), 0) << "only slot 0 counts";
    app->m_touchX[0] = 110;
    app->m_touchY[0] = 100;
    EXPECT_EQ(app->p_Button0(95, 100, 100, 2), 1);
}

TEST_F(ControlsTest, APauseButtonUsesTheIconImage) {
    app->m_fontMetrics[97 * 3] = 32;
    app->m_fontMetrics[97 * 3 + 1] = 32;
    app->m_imageScale = 1;
    touch(0, 20, 20);
    EXPECT_EQ(app->p_Button2(16, 16, 0), 1);
    EXPECT_EQ(app->m_drawList[0], 97);
}

TEST_F(ControlsTest, KeyboardRampReachesRollingSpeedAfterFourFrames) {
    // One frame of play: the reading, then the update's end (a press's hit lives one frame).
    auto frame = [this] {
        app->p_AnalogueControl();
        kp_input_device->p_EndUpdate();
    };
    host->KeyEvent(kEventKeyDown, 39);
    const float expected[] = {0.15f, 0.3f, 0.45f, 0.6f};
    for (float e : expected) {
        frame();
        EXPECT_NEAR(app->m_analogX, e, 1e-5);
    }
    EXPECT_GT(app->m_analogX, 0.5f);
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_EQ(app->m_analogX, 1) << "clamped";
    EXPECT_EQ(app->m_keyRampX, 1);
    host->KeyEvent(kEventKeyUp, 39);
    frame();
    EXPECT_NEAR(app->m_analogX, 0.8f, 1e-5);
    for (int i = 0; i < 4; ++i) frame();
    EXPECT_NEAR(app->m_analogX, 0, 1e-6);
    frame();
    EXPECT_EQ(app->m_keyRampX, 0) << "the ramp stops at 0";
    host->KeyEvent(kEventKeyDown, 38); // up ramps the y reading negative
    frame();
    EXPECT_NEAR(app->m_analogY, -0.15f, 1e-5);
}

TEST_F(ControlsTest, PointerStickReadsTheDragFromItsAnchor) {
    EXPECT_EQ(app->m_stickAnchorX, -1) << "no anchor before the first press";
    app->m_pointerDown = 1;
    app->m_pointerX = 200;
    app->m_pointerY = 100;
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, 200);
    EXPECT_EQ(app->m_analogX, 0);
    app->m_pointerX = 236;
    app->m_pointerY = 105; // 5/72 is inside the dead zone
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogX, 0.5f);
    EXPECT_EQ(app->m_analogY, 0);
    EXPECT_EQ(app->m_stickAnchorX, 200);
    app->m_pointerX = 300;
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_analogX, 1) << "clamped";
    EXPECT_EQ(app->m_stickAnchorX, 204) << "the anchor follows a far pointer";
    app->m_pointerDown = 0;
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, -1);
    EXPECT_EQ(app->m_analogX, 0);
}

TEST_F(ControlsTest, JoystickStickAloneDoesNotReachRollingSpeed) {
    auto& joy = host->JoystickAt(0);
    joy.present = true;
    joy.buttonCount = 32;
    joy.joyx[0] = 0.45f;
    joy.joyy[0] = 0.3f;
    kp_input_device->p_BeginUpdate();
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogX, 0.45f);
    EXPECT_FLOAT_EQ(app->m_analogY, -0.3f);
    EXPECT_EQ(app->p_PlayKey(5, 1, 0), 1) << "read as the right action it counts at once";
    EXPECT_FLOAT_EQ(app->p_StickX(0, 0), 0.45f);
    EXPECT_FLOAT_EQ(app->p_StickY(0, 0), -0.3f);
    EXPECT_EQ(app->p_StickX(0, -1), 0);
    joy.joyx[0] = 0.1f;
    joy.joyy[0] = -0.15f;
    kp_input_device->p_BeginUpdate();
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_analogX, 0) << "within the joystick dead zone";
}

TEST_F(ControlsTest, DebugModeDrawsTheStickReading) {
    host->KeyEvent(kEventKeyDown, 39);
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_drawCount, 0);
    kp_BT3_DebugMode = 1;
    app->p_AnalogueControl();
    ASSERT_EQ(app->m_drawCount, 30);
    EXPECT_EQ(app->m_drawList[15], kCmdOval);
    EXPECT_FLOAT_EQ(app->m_drawList[16], 640 - 64 + 52 * 0.3f);
}

TEST_F(ControlsTest, ICadeSwitchDropsQueuedLettersAndClearsButtonsWhenOff) {
    host->KeyEvent(kEventKeyChar, 'w');
    app->p_iCade(1);
    EXPECT_EQ(kp_BT3_iCadeControls, 1);
    EXPECT_TRUE(host->KeyboardEnabled());
    EXPECT_EQ(kp_input_GetChar(), 0);
    app->m_buttons[0] = 2;
    app->m_buttons[18] = 1;
    app->m_buttons[19] = 1;
    app->p_iCade(0);
    EXPECT_EQ(kp_BT3_iCadeControls, 0);
    EXPECT_FALSE(host->KeyboardEnabled());
    EXPECT_EQ(app->m_buttons[0], 0);
    EXPECT_EQ(app->m_buttons[18], 0);
    EXPECT_EQ(app->m_buttons[19], 1);
}
