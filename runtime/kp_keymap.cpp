// The translation tables: letters and digits keep their ASCII codes; the rest follow the
// virtual-key numbering the game was written for. Keys outside the table translate to 0.
#include "runtime/kp_keymap.h"

#include <GLFW/glfw3.h>

#include "runtime/kp_game.h"

namespace {

struct KeyRow {
    int glfw;
    int code;
};

constexpr KeyRow kKeyTable[] = {
    {GLFW_KEY_SPACE, 32},          {GLFW_KEY_APOSTROPHE, 222},
    {GLFW_KEY_COMMA, 188},         {GLFW_KEY_MINUS, 189},
    {GLFW_KEY_PERIOD, 190},        {GLFW_KEY_SLASH, 191},
    {GLFW_KEY_SEMICOLON, 186},     {GLFW_KEY_EQUAL, 187},
    {GLFW_KEY_LEFT_BRACKET, 219},  {GLFW_KEY_BACKSLASH, 220},
    {GLFW_KEY_RIGHT_BRACKET, 221}, {GLFW_KEY_GRAVE_ACCENT, 192},
    {GLFW_KEY_ESCAPE, 27},         {GLFW_KEY_UP, 38},
    {GLFW_KEY_DOWN, 40},           {GLFW_KEY_LEFT, 37},
    {GLFW_KEY_RIGHT, 39},          {GLFW_KEY_LEFT_SHIFT, 16},
    {GLFW_KEY_RIGHT_SHIFT, 16},    {GLFW_KEY_LEFT_CONTROL, 17},
    {GLFW_KEY_RIGHT_CONTROL, 17},  {GLFW_KEY_TAB, 9},
    {GLFW_KEY_ENTER, 13},          {GLFW_KEY_BACKSPACE, 8},
    {GLFW_KEY_INSERT, 45},         {GLFW_KEY_DELETE, 46},
    {GLFW_KEY_PAGE_UP, 33},        {GLFW_KEY_PAGE_DOWN, 34},
    {GLFW_KEY_HOME, 36},           {GLFW_KEY_END, 35},
    {GLFW_KEY_KP_DIVIDE, 111},     {GLFW_KEY_KP_MULTIPLY, 106},
    {GLFW_KEY_KP_SUBTRACT, 109},   {GLFW_KEY_KP_ADD, 107},
    {GLFW_KEY_KP_DECIMAL, 110},
};

constexpr int kFirstFunctionCode = 112; // F1; F1 to F12 are 112 to 123
constexpr int kFirstKeypadCode = 96;    // keypad 0; keypad 0 to 9 are 96 to 105
constexpr int kCursorCharBit = 0x10000; // cursor keys type their code with this bit set

} // namespace

int kpTranslateGlfwKey(int key) {
    if (key >= GLFW_KEY_A && key <= GLFW_KEY_Z) return key; // 65 to 90
    if (key >= GLFW_KEY_0 && key <= GLFW_KEY_9) return key; // 48 to 57
    if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) return kFirstFunctionCode + key - GLFW_KEY_F1;
    if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return kFirstKeypadCode + key - GLFW_KEY_KP_0;
    for (const KeyRow& row : kKeyTable) {
        if (row.glfw == key) return row.code;
    }
    return 0;
}

int kpKeyToChar(int code) {
    switch (code) {
    case 8:
    case 9:
    case 13:
    case 27:
        return code;
    case 46:
        return 127;
    case 45:
        return code | kCursorCharBit;
    default:
        break;
    }
    if (code >= 33 && code <= 40) return code | kCursorCharBit;
    return 0;
}

void kpForwardGlfwKey(KpGame& game, int glfwKey, int action) {
    int code = kpTranslateGlfwKey(glfwKey);
    if (code == 0) return;
    if (action == GLFW_RELEASE) {
        game.KeyEvent(kEventKeyUp, code);
    } else if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        game.KeyEvent(kEventKeyDown, code);
        int chr = kpKeyToChar(code);
        if (chr != 0) game.KeyEvent(kEventKeyChar, chr);
    }
}
