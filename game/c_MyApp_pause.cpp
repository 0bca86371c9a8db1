// The pause panel (p_PauseMenu), run by the in-play overlay while a round is paused: it slides
// in from the top over the frozen frame, dims it with drifting bands, and offers resume, back
// to the menu (which ends the round into the results panel) and the options cog, by pointer
// or by a key-driven choice (up, down, action button 10; back does nothing here, so only the
// choice resumes). Each control acts once per press (the input latches). The frozen
// frame stays in the draw list; the panel's own commands replace last tick's, so a long pause
// never fills the list. Its state between ticks lives in the pause-panel array.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

namespace {

// Pause-panel array slots.
constexpr int kSlotActive = 0; // 1 while a pause is on screen
constexpr int kSlotBase = 1;   // draw-list length of the frozen frame
constexpr int kSlotClock = 2;  // ticks since the pause began

// Motion.
constexpr int kSlideStep = 24;
constexpr int kGoneBelow = -32;
constexpr int kAlreadyGone = -63;
constexpr int kRestY = -64;

// Controls: icons of image 97 (1 menu, 3 play, 6 the highlight ring) and the options cog.
constexpr int kMenuFrame = 1;
constexpr int kResumeFrame = 3;
constexpr int kRingFrame = 6;
constexpr float kButtonScale = 2.0f;
constexpr float kRingScale = 2.5f;
constexpr float kPausedScale = 4.0f;

// Layout: resume at y 196; in landscape the other two above and below it in a column right of
// "PAUSED", otherwise beside each other under the panel's edge.
constexpr float kResumeY = 196.0f;
constexpr float kColumnTopY = 96.0f;
constexpr float kColumnBottomY = 296.0f;
constexpr float kColumnDX = 128.0f;
constexpr float kPausedDX = -96.0f;
constexpr float kSideDX = 96.0f;
constexpr float kAboveEdge = 96.0f;
constexpr float kPortraitPausedY = 100.0f;

// Backdrop: the dimming at full slide and the drifting bands.
constexpr float kDim = 0.6f;
constexpr int kBands = 8;
constexpr float kBandH = 40.0f;
constexpr float kBandDrift = 0.5f; // units per tick
constexpr float kBandAlpha = 0.08f;

// Choices and buttons.
constexpr int kChoiceMenu = -1;
constexpr int kChoiceResume = 0;
constexpr int kChoiceOptions = 1;
constexpr int kNoChoice = -100;
constexpr float kPitchUp = 0.8f;
constexpr float kPitchDown = 1.2f;
constexpr float kPitchLeave = 0.5f;

const String kPausedText = u"PAUSED";

struct Place {
    float x;
    float y;
};

// Where the three controls stand, indexed by choice + 1.
void placeControls(const c_MyApp& app, Place* places) {
    const float half = kp_BT3_jscrh * 0.5f;
    const float cx = kp_BT3_jscrw * 0.5f;
    // Until the panel is in place everything rides down with it.
    const float d = std::min(0.0f, app.m_pauseY - half);
    if (app.m_landscape == 1) {
        places[kChoiceMenu + 1] = {cx + kColumnDX, kColumnTopY + d};
        places[kChoiceResume + 1] = {cx + kColumnDX, kResumeY + d};
        places[kChoiceOptions + 1] = {cx + kColumnDX, kColumnBottomY + d};
    } else {
        const float edge = static_cast<float>(app.m_pauseY) - kAboveEdge;
        places[kChoiceMenu + 1] = {cx - kSideDX, edge};
        places[kChoiceResume + 1] = {cx, kResumeY + d};
        places[kChoiceOptions + 1] = {cx + kSideDX, edge};
    }
}

void endPause(c_MyApp& app) {
    app.m_paused = 0;
    app.m_pauseChoice = kChoiceResume;
    app.m_pausePanel[kSlotActive] = 0;
}

// The frozen frame is kept; the commands the panel (and the overlay) added last tick go.
void keepFrozenFrame(c_MyApp& app) {
    float& base = app.m_pausePanel[kSlotBase];
    if (app.m_pausePanel[kSlotActive] == 0 || app.m_drawCount < base) {
        app.m_pausePanel[kSlotActive] = 1;
        app.m_pausePanel[kSlotClock] = 0;
        base = static_cast<float>(app.m_drawCount);
    }
    app.m_drawCount = static_cast<int>(base);
}

void drawPauseBackdrop(c_MyApp& app, float shown) {
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    app.p_SetCol(0, 0, 0, kDim * shown);
    app.p_Rect(0, 0, w, h);
    const float clock = app.m_pausePanel[kSlotClock];
    const float span = h + 2 * kBandH;
    app.p_SetCol(60, 60, 120, kBandAlpha * shown);
    for (int i = 0; i < kBands; ++i) {
        const float y = std::fmod(clock * kBandDrift + i * span / kBands, span) - kBandH;
        app.p_Rect(0, y, w, kBandH * 0.5f);
    }
}

// One control acted on; the press is spent for the pointer and the keys alike.
void pauseAct(c_MyApp& app, int choice) {
    app.m_pointerLatch = 1;
    app.m_backLatch = 1;
    switch (choice) {
    case kChoiceResume:
        app.m_pauseDir = -1;
        app.p_PlaySFX(kSfxConfirm, 1, 1, 0);
        break;
    case kChoiceMenu:
        // The round ends here; the results panel leads on to the menu.
        endPause(app);
        app.m_pauseDir = -1;
        app.m_pauseY = kRestY;
        app.m_roundOver = 1;
        app.p_PlaySFX(kSfxConfirm, kPitchLeave, 1, 0);
        break;
    case kChoiceOptions:
        app.m_optionsOpen = 1;
        app.p_PlaySFX(kSfxMove, 1, 1, 0);
        break;
    default:
        break;
    }
}

} // namespace

int c_MyApp::p_PauseMenu() {
    const int half = static_cast<int>(kp_BT3_jscrh * 0.5f);
    if (m_pauseDir == 1 && m_pauseY < half) m_pauseY += kSlideStep;
    if (m_pauseDir == -1) {
        if (m_pauseY >= kAlreadyGone) m_pauseY -= kSlideStep;
        if (m_pauseY < kGoneBelow) {
            endPause(*this);
            return 0;
        }
    }

    keepFrozenFrame(*this);
    m_pausePanel[kSlotClock] += 1;
    const float shown =
        std::clamp(static_cast<float>(m_pauseY - kRestY) / (half - kRestY), 0.0f, 1.0f);
    p_ResetDraw();
    drawPauseBackdrop(*this, shown);

    Place places[3];
    placeControls(*this, places);
    const float cx = kp_BT3_jscrw * 0.5f;
    const float d = std::min(0.0f, static_cast<float>(m_pauseY - half));
    p_SetCol(255, 255, 255, 1);
    p_SetSize(kPausedScale, kPausedScale);
    if (m_landscape == 1) {
        p_Text(cx + kPausedDX, kResumeY + d, kPausedText, 1, 1, 0);
    } else {
        p_Text(cx, kPortraitPausedY + d, kPausedText, 1, 1, 0);
    }

    // The chosen control's ring, under the icons.
    const Place& chosen = places[std::clamp(m_pauseChoice, kChoiceMenu, kChoiceOptions) + 1];
    p_SetCol(255, 255, 0, 1);
    p_SetSize(kRingScale, kRingScale);
    p_DrawImg(kImgIcons, chosen.x, chosen.y, kRingFrame);

    p_SetCol(255, 255, 255, 1);
    p_SetSize(kButtonScale, kButtonScale);
    const Place& resume = places[kChoiceResume + 1];
    const Place& menu = places[kChoiceMenu + 1];
    const Place& cog = places[kChoiceOptions + 1];
    int hit = kNoChoice;
    if (p_Button2(resume.x, resume.y, kResumeFrame) != 0) hit = kChoiceResume;
    if (p_Button2(menu.x, menu.y, kMenuFrame) != 0) hit = kChoiceMenu;
    p_SetSize(kCogScale, kCogScale);
    const float angle = m_pausePanel[kSlotClock] * kCogSpin;
    for (int layer = 0; layer < 3; ++layer) {
        p_SetRot(kCogLayerTurn[layer] * angle);
        if (p_Button(kImgButtons, cog.x, cog.y, kCogFrames[layer]) != 0) hit = kChoiceOptions;
    }
    p_ResetDraw();

    // Input only while the panel is coming or standing in, and not under the options panel.
    if (m_pauseDir != 1 || m_optionsOpen != 0) return 0;
    if (m_pointerLatch == 0 && hit >= kChoiceMenu) {
        pauseAct(*this, hit);
        return 0;
    }
    if (m_backLatch != 0) return 0;
    if (p_PlayKeyAll(kButtonUp, 1) != 0) {
        m_pauseChoice = std::max(m_pauseChoice - 1, kChoiceMenu);
        p_PlaySFX(kSfxConfirm, kPitchUp, 1, 0);
        m_backLatch = 1;
    } else if (p_PlayKeyAll(kButtonDown, 1) != 0) {
        m_pauseChoice = std::min(m_pauseChoice + 1, kChoiceOptions);
        p_PlaySFX(kSfxConfirm, kPitchDown, 1, 0);
        m_backLatch = 1;
    } else if (p_PlayKeyAll(kButtonA, 1) != 0) {
        pauseAct(*this, m_pauseChoice);
    }
    return 0;
}
