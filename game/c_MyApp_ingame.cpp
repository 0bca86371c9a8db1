// The in-play overlay (p_InGame): the pause press from the keys (back, and button Y on the
// console) and from the pause icon at the top left, the pause sound, and the pause panel
// while paused. The frame driver runs it after every frame of play and alone while paused.
#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

using namespace bt3ball;

namespace {

constexpr int kPauseTopRest = -32;
constexpr float kIconX = 16.0f;
constexpr float kIconY = 16.0f;
constexpr float kIconAlpha = 0.2f;

// A pause press acts while no pause is up and no earlier press is still being held.
bool pauseMayStart(const c_MyApp& app) {
    return app.m_paused == 0 && app.m_backLatch == 0;
}

void startPause(c_MyApp& app) {
    app.m_paused = 1;
    app.m_pauseDir = 1;
    app.p_PlaySFX(kSfxConfirm, 1.0f, 0.5f, 0);
}

} // namespace

int c_MyApp::p_InGame() {
    p_ResetDraw();
    m_pauseTop = kPauseTopRest;
    int pressed = 0;
    for (int p = 0; p < kPlayers; ++p) pressed += p_PlayKey(kButtonBack, 1, p);
    if (pressed == 0 && kp_BT3_isOuya == 1) {
        for (int p = 0; p < kPlayers; ++p) pressed += p_PlayKey(kButtonY, 1, p);
    }
    if (pressed != 0 && pauseMayStart(*this)) {
        m_backLatch = 1;
        startPause(*this);
    }
    if (m_hideOverlay == 0) {
        p_Alpha(kIconAlpha);
        const int touched = p_Button(kImgIcons, kIconX, kIconY, 0);
        // The icon pauses under the same condition as the keys, whatever the pointer latch;
        // it marks its press on the pointer latch instead of the button latch.
        if (touched != 0 && pauseMayStart(*this)) {
            m_pointerLatch = 1;
            startPause(*this);
        }
        p_Alpha(1.0f);
    }
    if (m_paused == 1) p_PauseMenu();
    return 0;
}
