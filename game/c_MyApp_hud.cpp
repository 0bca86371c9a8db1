// The start and the end of a round and its head-up display: the start sequence (title
// overlay, the wait for a fresh press, the theme's tune), the kind's counter and the Bounces
// end, the parameter chime, the goal sequence (result at 20 frames, end at 40), the end
// sound, and the score line with the place and score to beat from the level's highscores.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

using namespace bt3ball;

namespace {

constexpr int kHighscores = 10; // best scores of a level, best first, in m_records
constexpr int kScoreEase = 6;
constexpr float kTitleTravel = 360.0f; // pixels the overlay slides in and out
constexpr int kTuneLoops = 1;
constexpr int kSeasideSun = 86; // image slot of the Seaside sky's sun
// The chain timer's bar: 16 high, centred at y 28, under the score (its outlined digits end
// at y 24 at scale 2) and the chain number (from y 26); its bright line fills the gap between them.
constexpr float kComboBarTop = 20.0f;
constexpr float kComboBarHeight = 16.0f;
constexpr float kComboBodyAlpha = 0.7f;
constexpr float kComboLineTop = 24.0f;
constexpr float kComboLineHeight = 2.0f;

} // namespace

void c_MyApp::runStartSequence() {
    if (m_playFrames < kStartWait) {
        m_playFrames = std::min(m_playFrames + kStartStep, kStartWait);
    } else if (m_playFrames == kStartWait) {
        // Only a fresh press starts the round; it is latched so it never moves the ball.
        if (m_pointerLatch == 0 && m_backLatch == 0 && m_goHeld != 0) {
            m_pointerLatch = 1;
            m_backLatch = 1;
            m_playFrames = kStartResume;
        }
    } else if (m_playFrames < kStartDone) {
        m_playFrames += kStartStep;
        if (m_playFrames >= kStartDone) {
            m_playFrames = kStartDone;
            p_PlayTune(kpS("world") + p_rstr(m_theme, 3, kpS("0")), kTuneLoops);
        }
    }
    if (m_playFrames < kStartDone) drawTitleOverlay();
    if (m_theme == kThemeSeaside) {
        p_ResetDraw();
        p_SetSize(2.0f, 2.0f);
        p_DrawImg(kSeasideSun, kp_BT3_jscrw - 48, 48, 0);
        p_ResetDraw();
    }
}

void c_MyApp::drawTitleOverlay() {
    const float cx = kp_BT3_jscrw / 2;
    const float cy = kp_BT3_jscrh / 2;
    const float shift = (kStartStep * m_playFrames - 180) * 2.0f;
    const float shown = std::max(1.0f - std::fabs(shift) / kTitleTravel, 0.0f);
    p_ResetDraw();
    p_Alpha(0.5f * shown);
    p_SetSize(2.0f, 2.0f);
    m_drawRot = 2.0f * m_playFrames;
    p_DrawImg(kImgCircle, cx, cy, 0);
    m_drawRot = -2.0f * m_playFrames;
    p_DrawImg(kImgCircle, cx, cy, 1);
    m_drawRot = 0;
    p_SetCol(0, 0, 0, 0.5f * shown);
    p_Oval(cx - shift, cy, 108.0f, 108.0f);
    p_Oval(cx + shift, cy, 77.5f, 77.5f);
    p_ResetDraw();
    drawStartTitle();
    p_ResetDraw();
}

void c_MyApp::runEndChecks() {
    drawKindCounter(); // drawn unless the overlay is hidden; a Bounces round ends at 0 left

    const bool chime = (m_kind == kKindSuper && m_bestSuper >= m_param) ||
                       (m_kind == kKindCollect && m_ball[kCollected] >= m_param);
    if (chime && m_paramReached == 0) {
        p_PlaySFX(kSfxParam, 1.0f, 1.0f, 0);
        m_paramReached = 1;
    }

    // The goal sequence; a crash ends it, so a crash and the goal in one frame is a crash.
    if (m_goalFrames > 0 && roundRuns()) {
        ++m_goalFrames;
        if (m_goalFrames == kGoalResult) {
            p_DidIWin();
            p_PlaySFX(m_won == 1 ? kSfxWon : kSfxLost, 1.0f, 1.0f, 0);
            m_endSoundDone = 1;
            p_StopTune();
        }
        if (m_goalFrames >= kGoalEnd) m_roundOver = kRoundFinished;
    }

    if (m_roundOver == kRoundCrashed && m_endSoundDone == 0) {
        m_endSoundDone = 1;
        p_PlaySFX(kSfxLost, 1.0f, 1.0f, 0);
    }
}

void c_MyApp::drawScoreLine() {
    if (m_hideOverlay != 0) return;
    const int gap = m_scoreShown - m_score;
    if (std::abs(gap) <= kScoreEase) {
        m_scoreShown = m_score;
    } else {
        m_scoreShown -= gap / kScoreEase;
    }
    const float cx = kp_BT3_jscrw / 2;
    p_ResetDraw();
    drawComboBar(cx);
    p_SetCol(100, 255, 100, 0.8f);
    drawRoundText(cx, 16, p_rstr(m_scoreShown, kScoreDigits, kpS("0")), 2.0f);

    // The place this score would take among the level's ten best, and the score to beat.
    const int level = std::clamp(m_level, 1, kLevelTableSize);
    const int* best = &m_records[(level - 1) * kHighscores];
    int place = kHighscores;
    int toBeat = best[kHighscores - 1];
    for (int i = kHighscores - 1; i >= 1; --i) {
        if (best[i] < m_score || best[i] == 0) {
            place = i - 1;
            toBeat = best[i - 1];
        }
    }
    // Aligned to start clear of the centred score (on the mirrored theme the text runs the
    // other way, so it ends there instead).
    const bool mirror = m_theme == kThemeWoolly;
    p_SetSize(mirror ? -2.0f : 2.0f, 2.0f);
    p_Text(cx + 128, 16, p_Nth(place + 1) + u" " + p_rstr(toBeat, kScoreDigits, kpS("0")),
           mirror ? 2.0f : 0.0f, 1, 0);

    if (m_super >= 2) {
        p_SetCol(255, 150, 100, 0.8f);
        drawRoundText(cx, 36, kpIntToString(m_super), 2.0f);
    }
    p_ResetDraw();
}

void c_MyApp::drawComboBar(float cx) {
    if (m_comboTimer <= 0) return;
    // Drawn before the digits it lies across: a dark body that the score's lower edge and the
    // chain number stand on, and its bright line in the gap between the two rows of digits.
    const float left = cx - 1.5f * m_comboTimer;
    const float width = 3 * m_comboTimer;
    p_SetCol(0, 40, 0, kComboBodyAlpha);
    p_Rect(left, kComboBarTop, width, kComboBarHeight);
    p_SetCol(100, 255, 100, 0.8f);
    p_Rect(left, kComboLineTop, width, kComboLineHeight);
}
