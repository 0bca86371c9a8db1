// c_MyApp stars: the field of small drifting shapes behind the menu and the play area, one
// record per star in m_stars (records 0..m_starCount). Stars move by a parallax factor, wrap
// round a margin just outside the screen (coming back with a new depth and shape), and draw
// from "parts" in the menu or from the theme's world image in play. Every random draw below
// is part of the generator's sequence that level set-up and the menu rely on.
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_effects.h"

using namespace fx;

namespace {

// A star is scattered over the screen and 8 pixels beyond it.
constexpr float kScatterBorder = 8.0f;
constexpr float kFixedDepth = 0.5f;
constexpr float kFastSpinLow = 1.0f;
constexpr float kFastSpinHigh = 5.0f;
// Stars wrap once they are this far past an edge (plus the overscan).
constexpr float kWrapMargin = 16.0f;
// Snow jitter per frame on both axes.
constexpr float kJitter = 0.15f;
// Gridlock stars: alpha, the grid they snap to, the flicker chance in 100 and its step.
constexpr float kGridAlpha = 0.75f;
constexpr float kGridStep = 16.0f;
constexpr float kFlickerRoll = 100.0f;
constexpr float kFlickerBelow = 8.0f;
constexpr float kFlickerFrames = 3.0f;
constexpr float kWoollyAlpha = 0.8f;
constexpr float kBigStarSize = 2.0f;
// In play a star is one of the world image's 14 star frames from 56 on.
constexpr int kWorldStarFirst = 56;
constexpr int kWorldStarFrames = 14;
constexpr int kPartsFrames = 256;

float drawFrame() {
    return std::floor(rnd(0, kFrameDrawTop));
}

// The depth draw happens on every theme; Magma Row keeps all stars at one depth.
float drawDepth(int theme) {
    const float depth = rnd(kDepthLow, kDepthHigh);
    return theme == kThemeMagma ? kFixedDepth : depth;
}

// After a horizontal wrap: a new height, depth and frame; after a vertical one, a new x.
void renewAcross(float* s, int theme, float h) {
    s[kY] = rnd(-kScatterBorder, h + kScatterBorder);
    s[kDepth] = drawDepth(theme);
    s[kFrame] = drawFrame();
}
void renewDown(float* s, int theme, float w) {
    s[kX] = rnd(-kScatterBorder, w + kScatterBorder);
    s[kDepth] = drawDepth(theme);
    s[kFrame] = drawFrame();
}

} // namespace

int c_MyApp::p_ResetStars(int n) {
    if (acceptsCount(n)) m_starCount = n;
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    const int last = lastRecord(m_starCount);
    for (int i = 0; i <= last; ++i) {
        float* s = &m_stars[i * kStride];
        s[kFrame] = drawFrame();
        s[kX] = rnd(-kScatterBorder, w + kScatterBorder);
        s[kY] = rnd(-kScatterBorder, h + kScatterBorder);
        s[kDepth] = drawDepth(m_theme);
        s[kAngle] = rnd(0, kFullTurn);
        s[kSpin] = rnd(-kSpinRange, kSpinRange);
        if (m_theme == kThemeStarlight) s[kSpin] = rnd(kFastSpinLow, kFastSpinHigh);
        if (m_theme == kThemeGridlock) {
            s[kAngle] = 0;
            s[kSpin] = 0;
        }
    }
    return 0;
}

int c_MyApp::p_DoStars(float dx, float dy) {
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    const float margin = kp_BT3_overscan + kWrapMargin;
    const float spanX = w + 2 * margin;
    const float spanY = h + 2 * margin;
    const bool inPlay = m_screen > kScreenWaitStart;
    const int theme = m_theme;

    p_ResetDraw();
    if (inPlay && theme == kThemeSpringy) {
        m_drawScaleX = kBigStarSize;
        m_drawScaleY = kBigStarSize;
    }
    const int last = lastRecord(m_starCount);
    for (int i = 0; i <= last; ++i) {
        float* s = &m_stars[i * kStride];
        s[kX] += dx * s[kDepth];
        s[kY] += dy * s[kDepth];
        if (theme == kThemeFrostbite) {
            s[kY] += rnd(-kJitter, kJitter);
            s[kX] += rnd(-kJitter, kJitter);
        }
        if (theme == kThemeGridlock) {
            s[kAngle] = 0;
            s[kSpin] = 0;
        }

        // Left, right, top, bottom: each test sees the result of the one before.
        if (s[kX] < -margin) {
            s[kX] += spanX;
            renewAcross(s, theme, h);
        }
        if (s[kX] > w + margin) {
            s[kX] -= spanX;
            renewAcross(s, theme, h);
        }
        if (s[kY] < -margin) {
            s[kY] += spanY;
            renewDown(s, theme, w);
        }
        if (s[kY] > h + margin) {
            s[kY] -= spanY;
            renewDown(s, theme, w);
        }

        s[kAngle] = std::fmod(s[kAngle] + s[kSpin], kFullTurn);
        m_drawAlpha = s[kDepth];
        float y = s[kY];
        if (theme == kThemeSpringy || theme == kThemeMagma || theme == kThemeWoolly) {
            m_drawRot = 0;
            if (theme == kThemeWoolly) m_drawAlpha = kWoollyAlpha;
        } else {
            m_drawRot = -s[kAngle];
            if (theme == kThemeGridlock) {
                m_drawAlpha = kGridAlpha;
                y = std::floor(y / kGridStep) * kGridStep;
                if (rnd(0, kFlickerRoll) < kFlickerBelow) s[kFrame] += kFlickerFrames;
            }
        }

        const int frame = static_cast<int>(s[kFrame]);
        if (m_screen < kScreenWaitStart) {
            p_DrawImg(kImgParts, s[kX], y, frame % kPartsFrames);
        } else if (inPlay) {
            p_DrawImg(kImgBlocks, s[kX], y, frame % kWorldStarFrames + kWorldStarFirst);
        }
    }
    p_ResetDraw();
    return 0;
}
