// Player keys through the real input device: every row of both tables (keys, the player's
// joystick buttons, the first stick with axes 0 and 1, virtual buttons and their value rows),
// players -1 to 3, players out of range, and the sum over players.
#include <vector>

#include "game_fixture.h"
#include "input/c_InputDevice.h"

namespace {
struct Row {
    int action;
    std::vector<int> keys;
    std::vector<int> joyButtons;
    int stickX, stickY; // a push that counts, or 0, 0 for none
    std::vector<int> virtualButtons;
};

const std::vector<Row> kPlain = {
    {0, {38, 87}, {9}, 0, 1, {0}},
    {3, {37, 65}, {8}, -1, 0, {3}},
    {5, {39, 68}, {10}, 1, 0, {5}},
    {8, {40, 83}, {11}, 0, -1, {8}},
    {10, {90, 74, 32, 13}, {0}, 0, 0, {10}},
    {11, {88, 75, 17}, {1}, 0, 0, {11}},
    {12, {67, 76, 16}, {2}, 0, 0, {12}},
    {13, {86, 73}, {3}, 0, 0, {13}},
    {14, {66, 85}, {4}, 0, 0, {14}},
    {15, {78, 79}, {5}, 0, 0, {15}},
    {99, {27, 192, 46, 8}, {6, 7, 14}, 0, 0, {16, 17, 19}},
};

const std::vector<Row> kICade = {
    {0, {38}, {9}, 0, 0, {0}},
    {3, {37}, {8}, 0, 0, {3}},
    {5, {39}, {10}, 0, 0, {5}},
    {8, {40}, {11}, 0, 0, {8}},
    {10, {32, 13}, {0}, 0, 0, {10}},
    {11, {17}, {1}, 0, 0, {11}},
    {12, {16}, {2}, 0, 0, {12}},
    {13, {}, {3}, 0, 0, {13}},
    {14, {}, {4}, 0, 0, {14}},
    {15, {}, {5}, 0, 0, {15}},
    {99, {27, 46, 8}, {7, 6, 14}, 0, 0, {16, 17, 19}},
};

class KeysTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Start();
        for (int unit = 0; unit < 4; ++unit) {
            auto& joy = host->JoystickAt(unit);
            joy.present = true;
            joy.buttonCount = 32;
        }
    }

    void press(int key) { host->KeyEvent(kEventKeyDown, key); }
    // The key goes up and the update ends, taking the press's hit with it.
    void release(int key) {
        host->KeyEvent(kEventKeyUp, key);
        kp_input_device->p_EndUpdate();
    }
    void poll() { kp_input_device->p_BeginUpdate(); }
    void setButton(int unit, int button, bool down) {
        host->JoystickAt(unit).buttons[button] = down;
        poll();
    }
    void setStick(int unit, float x, float y) {
        host->JoystickAt(unit).joyx[0] = x;
        host->JoystickAt(unit).joyy[0] = y;
        poll();
    }
    // The answers for players -1, 0, 1, 2, 3.
    std::vector<int> answers(int action, int axes) {
        std::vector<int> out;
        for (int p = -1; p <= 3; ++p) out.push_back(app->p_PlayKey(action, axes, p));
        return out;
    }

    void checkTable(const std::vector<Row>& rows, bool valueForKeyboard) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.action);
            EXPECT_EQ(answers(row.action, 1), std::vector<int>(5, 0));
            for (int key : row.keys) {
                press(key);
                EXPECT_EQ(answers(row.action, 1), std::vector<int>(5, 1)) << "key " << key;
                release(key);
            }
            for (int b : row.joyButtons) {
                setButton(2, b, true);
                EXPECT_EQ(answers(row.action, 1), (std::vector<int>{0, 0, 0, 1, 0})) << b;
                setButton(2, b, false);
            }
            for (int vb : row.virtualButtons) {
                app->m_buttons[vb] = 2;
                int kb = valueForKeyboard && row.action >= 13 && row.action <= 15 ? 2 : 1;
                EXPECT_EQ(answers(row.action, 1), (std::vector<int>{kb, 1, 1, 1, 1})) << vb;
                app->m_buttons[vb] = 0;
            }
        }
    }
};
} // namespace

TEST_F(KeysTest, EveryRowOfThePlainTableAnswersForItsPlayers) {
    checkTable(kPlain, false);
}

TEST_F(KeysTest, SticksCountOnlyWhenAxesIsOneAndOnlyForTheirPlayer) {
    for (const Row& row : kPlain) {
        if (row.stickX == 0 && row.stickY == 0) continue;
        SCOPED_TRACE(row.action);
        setStick(1, 0.45f * row.stickX, 0.45f * row.stickY);
        EXPECT_EQ(answers(row.action, 1), (std::vector<int>{0, 0, 1, 0, 0}));
        EXPECT_EQ(answers(row.action, 0), std::vector<int>(5, 0));
        setStick(1, 0.35f * row.stickX, 0.35f * row.stickY);
        EXPECT_EQ(answers(row.action, 1), std::vector<int>(5, 0)) << "0.4 is the threshold";
        setStick(1, 0, 0);
    }
}

TEST_F(KeysTest, ICadeModeReadsNoLetterKeysOrSticksAndGivesTheKeyboardButtonValues) {
    kp_BT3_iCadeControls = 1;
    checkTable(kICade, true);
    press(87); // W
    press(90); // Z
    setStick(0, 0.9f, 0.9f);
    EXPECT_EQ(app->p_PlayKey(0, 1, 0), 0);
    EXPECT_EQ(app->p_PlayKey(5, 1, 0), 0);
    EXPECT_EQ(app->p_PlayKey(10, 1, 0), 0);
    setButton(0, 1, true); // B counts for 11 under both tables
    EXPECT_EQ(app->p_PlayKey(11, 1, 0), 1);
    setButton(0, 1, false);
    app->m_buttons[14] = 1;
    EXPECT_EQ(app->p_PlayKey(14, 1, 0), 1) << "a joystick player gets a plain yes";
    EXPECT_EQ(app->p_PlayKey(14, 1, -1), 1) << "the keyboard player gets the value";
}

TEST_F(KeysTest, TheConsoleBackIsItsPlatformKeyValueOnly) {
    kp_BT3_isOuya = 1;
    press(27);
    setButton(0, 6, true);
    app->m_buttons[16] = 2;
    EXPECT_EQ(answers(99, 1), std::vector<int>(5, 0));
    app->m_buttons[19] = 2;
    EXPECT_EQ(answers(99, 1), std::vector<int>(5, 2));
    app->m_buttons[19] = 1;
    EXPECT_EQ(answers(99, 1), std::vector<int>(5, 1));
}

TEST_F(KeysTest, OtherPlayersActionsAndModesReadNothing) {
    press(39);
    app->m_buttons[5] = 2;
    EXPECT_EQ(app->p_PlayKey(5, 1, -2), 0);
    EXPECT_EQ(app->p_PlayKey(5, 1, 4), 0);
    EXPECT_EQ(app->p_PlayKey(1, 1, 0), 0);
    EXPECT_EQ(app->p_PlayKey(9, 1, 0), 0);
    kp_BT3_iCadeControls = 2;
    EXPECT_EQ(app->p_PlayKey(5, 1, 0), 0);
}

TEST_F(KeysTest, PlayKeyAllAddsUpThePlayersThatHoldTheAction) {
    setButton(0, 0, true);
    setButton(3, 0, true);
    EXPECT_EQ(app->p_PlayKeyAll(10, 1), 2);
    press(32);
    EXPECT_EQ(app->p_PlayKeyAll(10, 1), 4) << "the shared keyboard counts for every player";
}
