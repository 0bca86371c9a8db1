// c_MyApp player keys: p_PlayKey folds keyboard keys, the player's joystick buttons and first
// stick, and the virtual buttons into one answer per action, from one of two tables (iCade
// mode off or on; the console build has its own back row). Player -1 reads only the keyboard
// and the virtual buttons; players outside -1..3 read nothing. Leans on the input module, whose
// "down this update" counts a press released before the update as down for that update.
#include <array>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "input/kp_input.h"

namespace {
constexpr int kPlayers = 4;
constexpr int kJoyFirstKey = 256;
constexpr int kJoyUnitKeys = 32;
constexpr float kStickThreshold = 0.4f;
constexpr int kNone = -1;

enum Stick { kNoStick, kStickUp, kStickLeft, kStickRight, kStickDown };

// How a row answers from its virtual buttons: 1 when any is non-zero, or the entry itself
// (1 pressed, 2 held) always, or only when asked for the keyboard player.
enum Answer { kAnyDown, kValue, kValueForKeyboard };

struct KeyRow {
    int action;
    std::array<int, 4> keys; // kNone ends the list
    std::array<int, 3> joyButtons;
    Stick stick;
    std::array<int, 3> virtualButtons;
    Answer answer;
};

constexpr KeyRow kPlainRows[] = {
    {0, {38, 87, kNone}, {9, kNone}, kStickUp, {0, kNone}, kAnyDown},
    {3, {37, 65, kNone}, {8, kNone}, kStickLeft, {3, kNone}, kAnyDown},
    {5, {39, 68, kNone}, {10, kNone}, kStickRight, {5, kNone}, kAnyDown},
    {8, {40, 83, kNone}, {11, kNone}, kStickDown, {8, kNone}, kAnyDown},
    {10, {90, 74, 32, 13}, {0, kNone}, kNoStick, {10, kNone}, kAnyDown},
    {11, {88, 75, 17, kNone}, {1, kNone}, kNoStick, {11, kNone}, kAnyDown},
    {12, {67, 76, 16, kNone}, {2, kNone}, kNoStick, {12, kNone}, kAnyDown},
    {13, {86, 73, kNone}, {3, kNone}, kNoStick, {13, kNone}, kAnyDown},
    {14, {66, 85, kNone}, {4, kNone}, kNoStick, {14, kNone}, kAnyDown},
    {15, {78, 79, kNone}, {5, kNone}, kNoStick, {15, kNone}, kAnyDown},
    {99, {27, 192, 46, 8}, {6, 7, 14}, kNoStick, {16, 17, 19}, kAnyDown},
};

// The console's back is its own platform key only.
constexpr KeyRow kConsoleBackRow = {99, {kNone}, {kNone}, kNoStick, {19, kNone}, kValue};

// iCade mode: the cabinet types letters that the frame driver turns into virtual buttons, so
// letter keys and sticks are not read.
constexpr KeyRow kICadeRows[] = {
    {0, {38, kNone}, {9, kNone}, kNoStick, {0, kNone}, kAnyDown},
    {3, {37, kNone}, {8, kNone}, kNoStick, {3, kNone}, kAnyDown},
    {5, {39, kNone}, {10, kNone}, kNoStick, {5, kNone}, kAnyDown},
    {8, {40, kNone}, {11, kNone}, kNoStick, {8, kNone}, kAnyDown},
    {10, {32, 13, kNone}, {0, kNone}, kNoStick, {10, kNone}, kAnyDown},
    {11, {17, kNone}, {1, kNone}, kNoStick, {11, kNone}, kAnyDown},
    {12, {16, kNone}, {2, kNone}, kNoStick, {12, kNone}, kAnyDown},
    {13, {kNone}, {3, kNone}, kNoStick, {13, kNone}, kValueForKeyboard},
    {14, {kNone}, {4, kNone}, kNoStick, {14, kNone}, kValueForKeyboard},
    {15, {kNone}, {5, kNone}, kNoStick, {15, kNone}, kValueForKeyboard},
    {99, {27, 46, 8, kNone}, {7, 6, 14}, kNoStick, {16, 17, 19}, kAnyDown},
};

template <size_t N> const KeyRow* findRow(const KeyRow (&rows)[N], int action) {
    for (const KeyRow& row : rows) {
        if (row.action == action) return &row;
    }
    return nullptr;
}

bool stickPushed(Stick stick, int unit) {
    const float x = kp_input_JoyX(0, unit);
    const float y = kp_input_JoyY(0, unit);
    switch (stick) {
    case kStickUp:
        return y > kStickThreshold;
    case kStickLeft:
        return x < -kStickThreshold;
    case kStickRight:
        return x > kStickThreshold;
    case kStickDown:
        return y < -kStickThreshold;
    case kNoStick:
        break;
    }
    return false;
}
} // namespace

int c_MyApp::p_PlayKey(int action, int axes, int player) {
    if (player < kKeyboardPlayer || player >= kPlayers) return 0;
    const KeyRow* row = nullptr;
    if (kp_BT3_iCadeControls == 0) {
        row = (action == 99 && kp_BT3_isOuya == 1) ? &kConsoleBackRow : findRow(kPlainRows, action);
    } else if (kp_BT3_iCadeControls == 1) {
        row = findRow(kICadeRows, action);
    }
    if (!row) return 0;

    for (int key : row->keys) {
        if (key == kNone) break;
        if (kp_input_KeyDownThisUpdate(key)) return 1;
    }
    if (player != kKeyboardPlayer) {
        for (int button : row->joyButtons) {
            if (button == kNone) break;
            if (kp_input_KeyDownThisUpdate(kJoyFirstKey + kJoyUnitKeys * player + button)) return 1;
        }
        if (axes == 1 && row->stick != kNoStick && stickPushed(row->stick, player)) return 1;
    }

    bool value =
        row->answer == kValue || (row->answer == kValueForKeyboard && player == kKeyboardPlayer);
    for (int button : row->virtualButtons) {
        if (button == kNone) break;
        if (m_buttons[button] != 0) return value ? m_buttons[button] : 1;
    }
    return 0;
}

int c_MyApp::p_PlayKeyAll(int action, int axes) {
    int total = 0;
    for (int player = 0; player < kPlayers; ++player) total += p_PlayKey(action, axes, player);
    return total;
}
