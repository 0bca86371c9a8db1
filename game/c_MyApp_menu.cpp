// The main menu's tick, p_Menu, in its fixed order: background and back press, the drifting
// backdrop, easing scroll with its two ornament columns, the totals with the open count and
// the badges they earn, the options button, the tile snake (c_MyApp_menu_tiles.cpp), bounds
// and drag, keys with auto-repeat and the hidden left/right code, the level start, and the
// detail panel (c_MyApp_menu_detail.cpp). Also p_UnlockAllTheLevels.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_menu.h"
#include "input/kp_input.h"
#include "runtime/kp_error.h"
#include "runtime/kp_random.h"

using namespace bt3menu;

namespace {

constexpr float kFullAlpha = -123.0f;
constexpr int kKeyF9 = 120;
constexpr int kKeyEscape = 27;
constexpr int kIntroEnd = 320; // latches are held while the intro overlay runs
constexpr int kIntroLogoFrom = 301;
constexpr int kMenuSeed = 5;

// Backdrop stripes and the ornament columns.
constexpr float kStripeHeight = 32.0f;
constexpr float kStripeMargin = 64.0f;
constexpr float kColumnStep = 256.0f;
constexpr float kColumnMargin = 512.0f;
constexpr float kColumnWrap = 64.0f;

// Scrolling: the list covers a sixteenth of the way each tick; the edges push back by 8.
constexpr float kScrollEase = 0.0625f;
constexpr float kEdgePush = 8.0f;
constexpr float kStarDrift = -2.0f;

// Options button: a 48-unit square at the top left, three cog layers turning at these rates.
constexpr float kCogBox = 48.0f;
constexpr float kCogX = 24.0f;
constexpr float kCogY = 24.0f;
constexpr float kCogTurn = 0.2f;
constexpr int kCogFrames[] = {8, 9, 10};
constexpr float kCogRates[] = {0.66f, -0.33f, -1.0f};

// Key repeat: the first repeat after 30 ticks, each next one 8 sooner, never under 4.
constexpr int kRepeatFirst = 30;
constexpr int kRepeatShrink = 8;
constexpr int kRepeatFloor = 4;

// Badges from the totals: total spikes above each bound, open levels above each bound.
struct BadgeBound {
    int above;
    int badge;
};
constexpr BadgeBound kSpikeBadges[] = {{99, 8}, {999, 9}, {9999, 10}, {99999, 11}, {999999, 12}};
constexpr BadgeBound kOpenBadges[] = {{9, 24}, {19, 25}, {39, 26}, {79, 27}, {149, 28}};
constexpr int kStatsMaxFirst = 0;  // entries 0..9: the largest of each statistic slot
constexpr int kStatsSumFirst = 10; // entries 10..19: the sum of each statistic slot
constexpr int kStatsFails = 28;    // every positive marker added up
constexpr int kStatsPassed = 38;   // levels passed
constexpr int kStatsTotalSpikes = kStatsSumFirst + kStatTotalSpikes;

// The hidden side code: left (1) and right (2) presses in this order.
constexpr int kSideLeft = 1;
constexpr int kSideRight = 2;
constexpr int kSideCode[] = {2, 2, 1, 2, 1, 1, 2, 2, 2, 1, 1, 1, 2, 1, 2, 2, 1};
constexpr int kSideCodeLength = sizeof(kSideCode) / sizeof(kSideCode[0]);
constexpr float kCodeShownX = 10.0f;
constexpr float kCodeShownY = 60.0f;

constexpr float kLogoX = 96.0f;
constexpr float kLogoInset = 32.0f;
constexpr float kLogoScale = 0.75f;

int levelsInRecords() {
    return std::clamp(kp_BT3_MaxGamesB, 0, kRecordLevels);
}

} // namespace

int c_MyApp::p_Menu() {
    // 1. Background.
    p_DoBG(0, 0, 80, kFullAlpha);
    m_theme = 0;
    if (kp_input_KeyDownThisUpdate(kKeyF9)) m_introFrames = 0;

    // 2. Back press: on the desktop the keyboard's back ends the program at once, even with
    // the detail panel open; a pad's back (Back, Start, the guide button) opens the quit box,
    // so a pad player who presses Start to begin does not lose the game.
    if (m_pointerLatch == 0 && m_backLatch == 0) {
        const bool back = p_PlayKeyAll(kButtonBack, 1) != 0;
        const bool quitBox = kp_BT3_isOuya == 1
                                 ? back || kp_input_KeyDownThisUpdate(kKeyEscape)
                                 : back && p_PlayKey(kButtonBack, 1, kKeyboardPlayer) == 0;
        if (quitBox) {
            m_screen = kScreenQuitBox;
            m_pointerLatch = 1;
            m_backLatch = 1;
        } else if (back && kp_BT3_isOuya == 0) {
            kpError(String());
        }
    }

    // 3 and 4. Backdrop, scroll and the ornament columns.
    menuBackdrop();
    const float delta = (m_menuY - m_menuYTarget) * kScrollEase;
    m_menuY -= delta;
    p_DoStars(kStarDrift, -delta * 0.5f);
    if (m_menuY > kp_BT3_jscrh / 2) m_menuYTarget -= kEdgePush;
    p_ResetDraw();
    p_SetSize(1, 4);
    p_Alpha(0.5f);
    for (float y = std::fmod(m_menuY, kColumnWrap) - kColumnMargin;
         y < kp_BT3_jscrh + kColumnMargin; y += kColumnStep) {
        p_DrawImg(kImgMenu, 32, y, 0);
        p_DrawImg(kImgMenu, 96, y, kFrameColumn);
    }

    // 5. Totals, the open count and badges; the intro holds the latches; fixed decoration.
    menuTotals();
    if (m_introFrames < kIntroEnd) {
        m_pointerLatch = 1;
        m_backLatch = 1;
    }
    kp_random_Seed = kMenuSeed;

    // 6 to 10, only with both panels closed.
    if (m_detailSlide == 0 && m_optionsOpen == 0) {
        menuOptionsButton();
        const float yBelowFirst = menuTiles();
        menuDrag(yBelowFirst);
        menuKeys();
    }

    // 11. Detail panel.
    if (m_detailSlide != 0 && m_optionsOpen == 0) menuDetailPanel();

    // 12. End of tick.
    kp_random_Seed = kp_app_Millisecs();
    if (m_unlockStep < 0) {
        p_ResetDraw();
        p_Text(kCodeShownX, kCodeShownY, kpIntToString(-m_unlockStep), 0, 0, 0);
    }
    if (m_introFrames >= kIntroLogoFrom && m_detailSlide == 0) {
        p_ResetDraw();
        p_SetSize(kLogoScale, kLogoScale);
        p_DrawImg(kImgLogo, kLogoX, kp_BT3_jscrh - kLogoInset, 0);
    }
    return 0;
}

void c_MyApp::menuBackdrop() {
    // Each stripe's tint comes from its index and the list offset, so colours drift on scroll.
    p_ResetDraw();
    const float drift = m_menuY * 0.01f;
    int stripe = 0;
    for (float y = -kStripeMargin; y < kp_BT3_jscrh + kStripeMargin; y += kStripeHeight) {
        const float a = stripe * 0.35f + drift;
        p_SetCol(20 + 20 * std::cos(a), 30 + 25 * std::sin(a * 0.7f),
                 110 + 40 * std::cos(a * 0.45f), 1);
        p_Rect(-1, y, kp_BT3_jscrw + 2, kStripeHeight);
        ++stripe;
    }
}

void c_MyApp::menuTotals() {
    m_menuStats.fill(0);
    int open = 1;
    const int levels = levelsInRecords();
    for (int k = 0; k < levels; ++k) {
        const int* stats = &m_records[kRecordStats + k * kRecordSlots];
        for (int s = 0; s < kRecordSlots; ++s) {
            m_menuStats[kStatsMaxFirst + s] = std::max(m_menuStats[kStatsMaxFirst + s], stats[s]);
            m_menuStats[kStatsSumFirst + s] += stats[s];
        }
        const int marker = stats[kStatMarker];
        if (marker > 0) m_menuStats[kStatsFails] += marker;
        if (marker == kMarkerPassed) ++m_menuStats[kStatsPassed];
        // A passed level, or one failed three times, opens the next.
        if (marker == kMarkerPassed || marker >= kMarkerMaxFails) open = std::max(open, k + 2);
    }
    m_menuOpenCount = std::min(open, kp_BT3_MaxGamesB);

    for (const BadgeBound& b : kSpikeBadges) {
        if (m_menuStats[kStatsTotalSpikes] > b.above) p_GiveBadge(b.badge);
    }
    for (const BadgeBound& b : kOpenBadges) {
        if (m_menuOpenCount > b.above) p_GiveBadge(b.badge);
    }
}

void c_MyApp::menuOptionsButton() {
    if (m_pointerLatch == 0 && p_MouseIn(0, 0, kCogBox, kCogBox)) {
        m_optionsOpen = 1;
        m_pointerLatch = 1;
    }
    m_menuCogAngle += kCogTurn;
    p_ResetDraw();
    p_SetSize(0.75f, 0.75f);
    for (int layer = 0; layer < 3; ++layer) {
        p_SetRot(m_menuCogAngle * kCogRates[layer]);
        p_DrawImg(kImgButtons, kCogX, kCogY, kCogFrames[layer]);
    }
    p_SetRot(0);
}

void c_MyApp::menuDrag(float yBelowFirst) {
    if (yBelowFirst < kp_BT3_jscrh / 2) m_menuYTarget += kEdgePush;
    if (m_pointerLatch < kDragLatch) ++m_pointerLatch;
    if (m_pointerDown != 0 && (m_pointerLatch == kDragLatch || m_pointerLatch == 0)) {
        const float y = static_cast<float>(m_pointerY);
        if (m_pointerLatch == kDragLatch) m_menuYTarget -= 2 * (m_menuDragY - y);
        m_menuDragY = y;
        m_pointerLatch = kDragLatch;
    }
}

void c_MyApp::menuKeys() {
    if (m_backLatch != 0) return;
    const bool up = p_PlayKeyAll(kButtonUp, 1) != 0;
    const bool down = p_PlayKeyAll(kButtonDown, 1) != 0;
    if (!up && !down) {
        m_menuRepeatDelay = kRepeatFirst;
        m_menuRepeatWait = 0;
    } else {
        if (m_menuRepeatWait > 0) --m_menuRepeatWait;
        if (m_menuRepeatWait == 0) {
            if (up) m_menuLevel = std::min(m_menuLevel + 1, m_menuOpenCount - 1);
            if (down) m_menuLevel = std::max(m_menuLevel - 1, 0);
            m_menuYTarget = static_cast<float>(p_FindSpot(m_menuLevel));
            p_PlaySFX(kSfxMove, 1, 1, 0);
            m_menuRepeatWait = m_menuRepeatDelay;
            m_menuRepeatDelay = std::max(m_menuRepeatDelay - kRepeatShrink, kRepeatFloor);
        }
    }
    menuSideCode();

    if (p_PlayKeyAll(kButtonRB, 1) != 0 || p_PlayKeyAll(kButtonY, 1) != 0) {
        m_detailSlide = 1;
        m_pointerLatch = 1;
        m_backLatch = 1;
    } else if (p_PlayKeyAll(kButtonLB, 1) != 0) {
        m_optionsOpen = 1;
        m_pointerLatch = 1;
        m_backLatch = 1;
    }
}

void c_MyApp::menuSideCode() {
    const int held = (p_PlayKeyAll(kButtonLeft, 1) != 0 ? kSideLeft : 0) |
                     (p_PlayKeyAll(kButtonRight, 1) != 0 ? kSideRight : 0);
    const int pressed = held & ~m_menuSideHeld;
    m_menuSideHeld = held;
    if (pressed != kSideLeft && pressed != kSideRight) return;

    const int done = m_unlockStep < 0 ? -m_unlockStep : 0;
    if (kSideCode[done] == pressed) {
        m_unlockStep = -(done + 1);
    } else if (m_unlockStep < 0) {
        // A wrong press starts over; it may itself be the code's first press.
        m_unlockStep = kSideCode[0] == pressed ? -1 : 0;
    } else if (kSideCode[0] == pressed) {
        m_unlockStep = -1;
    }
    if (m_unlockStep == -kSideCodeLength) {
        p_UnlockAllTheLevels();
        m_unlockStep = 0;
    }
}

void c_MyApp::menuStartLevel() {
    p_PlaySFX(kSfxStart, 1, 1, 0);
    m_iconStyle = m_pointerDown != 0 ? 2 : 1;
    for (int b = kButtonA; b <= kButtonRB; ++b) {
        if (m_pointerDown == 0 && p_PlayKeyAll(b, 1) != 0) m_iconStyle = 0;
    }
    kp_random_Seed = kp_app_Millisecs();
    m_variant = (m_variant + 1) % 3;
    m_theme = m_levelTheme[m_menuLevel + 1];
    kpPrint(kpIntToString(m_loadedTheme) + u":" + kpIntToString(m_theme));
    // Only the mirrored theme has background variants; it loads its art afresh each time.
    if (m_theme != kThemeCount) m_variant = -1;
    if (m_theme == kThemeCount || m_theme != m_loadedTheme) {
        m_miniLoadStep = 1;
        prefetchThemeImages(); // decoding starts a frame before the theme loader's first step
        p_GfxRules(m_theme);
    }
    m_pointerLatch = 1;
    m_backLatch = 1;
    m_level = m_menuLevel + 1;
    m_screen = kScreenLevelLoad;
}

int c_MyApp::p_UnlockAllTheLevels() {
    const int levels = levelsInRecords();
    for (int k = 0; k < levels; ++k) {
        int& marker = m_records[kRecordStats + k * kRecordSlots + kStatMarker];
        if (marker == 0) marker = kMarkerMaxFails;
    }
    return 0;
}
