// The menu's tile snake: 150 level tiles zig-zagging up the screen from level 1 at the bottom,
// each drawn with its base, theme icon, number and pass or fail marks; pointer presses that
// pick or start a tile (and advance the hidden tile code); the start by buttons; and the Best
// and Last corners that open the detail panel. Only tiles near the screen are drawn and tested,
// and only a selected tile among them starts by button and shows the corners.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_menu.h"

using namespace bt3menu;

namespace {

constexpr int kColumns = 7;
constexpr int kRowLength = 5; // the snake turns after every fifth tile
constexpr float kTallStep = 56.0f;
constexpr float kStep = 24.0f;
constexpr float kVisibleAbove = -128.0f;
constexpr float kVisibleBelow = 64.0f;

constexpr float kSelectedScale = 1.5f;
constexpr float kLockedAlpha = 0.3f;
constexpr float kBobDegreesPerTick = 5.0f;
constexpr float kBobHeight = 12.0f;
constexpr double kBobRadiansPerDegree = M_PI / 180.0;
constexpr float kBaseBelow = 60.0f;
constexpr float kIconAbove = 8.0f;
constexpr float kNumberBelow = 72.0f;
constexpr float kMarksBelow = 34.0f;
constexpr float kMarkScale = 0.25f;

// The press box of a tile: 64 by 100, centred 18 units below the tile.
constexpr float kPressW = 64.0f;
constexpr float kPressH = 100.0f;
constexpr float kPressBelow = 18.0f;

// The Best and Last corners: ovals at the right edge and the box a press opens the panel in.
constexpr float kCornerRadiusX = 128.0f;
constexpr float kCornerRadiusY = 64.0f;
constexpr float kCornerBoxW = 240.0f;
constexpr float kCornerBoxH = 128.0f;
constexpr float kCornerInset = 4.0f;

bool tileIsTall(int index) {
    const int r = index % kRowLength;
    return r == 0 || r == kRowLength - 1;
}

} // namespace

float c_MyApp::menuTiles() {
    float step = static_cast<float>(static_cast<int>(kp_BT3_jscrw / kColumns));
    float x = step;
    float y = m_menuY;
    m_menuBobAngle += kBobDegreesPerTick;
    for (int index = kp_BT3_MaxGamesB - 1; index >= 0; --index) {
        if (y > kVisibleAbove && y < kp_BT3_jscrh + kVisibleBelow) {
            menuTile(index, x, y);
            menuTilePress(index, x, y);
            // Like its drawing and its pointer test, the selected tile's start by button and
            // its Best and Last corners belong to it only while it is on screen.
            if (index == m_menuLevel) {
                if (m_backLatch == 0 && index < m_menuOpenCount &&
                    (p_PlayKeyAll(kButtonA, 1) != 0 || p_PlayKeyAll(kButtonA + 1, 1) != 0 ||
                     p_PlayKeyAll(kButtonX, 1) != 0)) {
                    menuStartLevel();
                    m_backLatch = 1;
                }
                menuCorners();
            }
        }
        y += tileIsTall(index) ? kTallStep : kStep;
        x -= step;
        if (index % kRowLength == kRowLength - 1) {
            x += 2 * step;
            step = -step;
        }
    }
    return y;
}

void c_MyApp::menuTile(int index, float x, float y) {
    const int level = index + 1;
    const int theme = m_levelTheme[level];
    const int marker = m_records[kRecordStats + index * kRecordSlots + kStatMarker];
    const bool open = index < m_menuOpenCount;
    const bool selected = index == m_menuLevel;
    const float bob =
        index == m_menuOpenCount - 1
            ? static_cast<float>(-std::fabs(std::sin(m_menuBobAngle * kBobRadiansPerDegree)) *
                                 kBobHeight)
            : 0.0f;
    const float alpha = open ? 1.0f : kLockedAlpha;

    p_ResetDraw();
    p_Alpha(alpha);
    p_DrawImg(kImgMenu, x, y + kBaseBelow, kFrameTileBase + theme);

    int frame = kFrameTileOpen;
    if (!open) frame = kFrameTileLocked;
    if (open && marker == kMarkerPassed) frame = kFrameTilePassed;
    if (selected) {
        frame = kFrameTileSelected;
        p_SetSize(kSelectedScale, kSelectedScale);
    }
    p_DrawImg(kImgButtons, x, y + bob, frame);
    p_SetSize(1, 1);

    if (open) {
        p_Alpha(0.6f);
        p_DrawImg(kImgMenu, x, y + bob - kIconAbove, theme - 1);
    }

    p_SetSize(2, 2);
    p_Alpha(selected ? 0.8f : 0.5f);
    p_Text(x, y + kNumberBelow, kpIntToString(level), 1, 1, 0);

    p_SetSize(kMarkScale, kMarkScale);
    p_Alpha(alpha);
    if (marker == kMarkerPassed) {
        p_DrawImg(kImgMenu, x, y + kMarksBelow, kFramePassMark);
    } else if (marker > 0) {
        const int crosses = std::min(marker, kMarkerMaxFails);
        const float spread = crosses == 2 ? 16.0f : 12.0f;
        for (int i = 0; i < crosses; ++i) {
            p_DrawImg(kImgMenu, x + (i - (crosses - 1) * 0.5f) * spread, y + kMarksBelow,
                      kFrameCross);
        }
    }
}

void c_MyApp::menuTilePress(int index, float x, float y) {
    if (m_pointerLatch != 0 || !p_MouseIn_Centered(x, y + kPressBelow, kPressW, kPressH)) return;

    // The hidden tile code counts presses on its tiles, open or locked, in order.
    if (m_unlockStep >= 0 && m_unlockStep < kTileCodeLength && kTileCode[m_unlockStep] == index) {
        p_PlaySFX(kSfxSuperPass, 1, 1, 0);
        ++m_unlockStep;
        if (m_unlockStep == kTileCodeLength) {
            p_UnlockAllTheLevels();
            m_unlockStep = 0;
        }
        m_pointerLatch = 1; // one step per press
    }

    if (index >= m_menuOpenCount) return;
    if (index == m_menuLevel) {
        menuStartLevel();
        return;
    }
    m_menuLevel = index;
    m_menuYTarget = static_cast<float>(p_FindSpot(index));
    m_menuDragY = static_cast<float>(m_pointerY);
    m_pointerLatch = kPickLatch;
    p_PlaySFX(kSfxMove, 1, 1, 0);
}

void c_MyApp::menuCorners() {
    const float right = kp_BT3_jscrw;
    const float bottom = kp_BT3_jscrh;
    p_ResetDraw();
    p_SetCol(0, 0, 0, 0.75f);
    p_Oval(right, 0, kCornerRadiusX, kCornerRadiusY);
    p_Oval(right, bottom, kCornerRadiusX, kCornerRadiusY);

    p_SetCol(255, 255, 255, 1);
    const int base = m_menuLevel * kRecordSlots;
    const bool inRecords = m_menuLevel >= 0 && m_menuLevel < kRecordLevels;
    const int best = inRecords ? m_records[kRecordBest + base] : 0;
    const int last = inRecords ? m_records[kRecordLast + base] : 0;
    p_Text(right - kCornerInset, 24, u"Best", 2, 1, 0);
    p_Text(right - kCornerInset, 12, p_rstr(best, kScoreDigits, u"0"), 2, 1, 0);
    p_Text(right - kCornerInset, bottom - 24, u"Last", 2, 1, 0);
    p_Text(right - kCornerInset, bottom - 12, p_rstr(last, kScoreDigits, u"0"), 2, 1, 0);

    if (m_pointerLatch == 0 && m_detailSlide == 0 &&
        (p_MouseIn_Centered(right, 0, kCornerBoxW, kCornerBoxH) ||
         p_MouseIn_Centered(right, bottom, kCornerBoxW, kCornerBoxH))) {
        m_detailSlide = 1;
        m_pointerLatch = 1;
    }
}
