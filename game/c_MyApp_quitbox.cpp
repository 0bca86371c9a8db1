// The quit box (p_OuyaQuit, screen state 4): eight centred lines asking whether to quit, with
// the pad's button icons; button A goes back to the menu, B, X or back ends the program. The
// television build opens it for every back press in the menu, the desktop for a pad's back
// only (the keyboard's back quits at once). Input waits for both latches to clear.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_error.h"

namespace {

constexpr char16_t kIcon = 172; // followed by a letter: a button icon
const String kLines[] = {
    u"It looks like you're",
    u"trying to QUIT!",
    u"Are you absolutely sure",
    u"you want to quit the game?",
    u"Isn't this fun?",
    u"It'll be a shame to see you go.",
    String(u"Press ") + kIcon + u"K to Quit",
    String(u"or ") + kIcon + u"J to return to the fun!",
};
constexpr int kLineCount = 8;
constexpr float kScales[kLineCount] = {3, 3, 2, 2, 2, 2, 2, 2};
constexpr float kGaps[kLineCount - 1] = {32, 36, 20, 28, 38, 38, 20};
constexpr float kAnchorX = 0.65f;
constexpr float kAnchorY = 0.3f;

constexpr float kFullAlpha = -123.0f; // p_DoBG: eased colour at full alpha
constexpr int kStay = 10;
constexpr int kQuitButtons[] = {11, 12, 99};

} // namespace

int c_MyApp::p_OuyaQuit() {
    // Nothing else clears the list on this screen.
    p_DoBG(0, 0, 80, kFullAlpha);
    p_SetCol(255, 255, 255, 1);
    float y = kAnchorY * kp_BT3_jscrh;
    for (int i = 0; i < kLineCount; ++i) {
        if (i > 0) y += kGaps[i - 1];
        p_SetSize(kScales[i], kScales[i]);
        p_Text(kAnchorX * kp_BT3_jscrw, y, kLines[i], 1, 1, 0);
    }
    p_ResetDraw();

    if (m_pointerLatch != 0 || m_backLatch != 0) return 0;
    if (p_PlayKeyAll(kStay, 1) != 0) {
        m_screen = kScreenMenu;
        m_pointerLatch = 1;
        m_backLatch = 1;
        return 0;
    }
    for (int button : kQuitButtons) {
        if (p_PlayKeyAll(button, 1) != 0) kpError(String());
    }
    return 0;
}
