// What a round shows around the spikes: the slope and mirror commands that frame the world,
// colour bands, the two floor layers and the stars, the ball in its seven styles with its
// trail, the SUPER orbiters, the pass-value list and the score popups. Presentation only,
// apart from the popups' motion; every command goes through the draw helpers. No allocation
// beyond the short texts drawn.
#include <algorithm>
#include <cmath>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_random.h"

using namespace bt3ball;

namespace {

constexpr float kStripWidth = 512.0f;
constexpr float kRowHeight = 64.0f;
constexpr float kStripHeight = 36.0f; // of the strip image, stretched to a row
constexpr float kBackParallax = 0.5f;
constexpr float kBackAlpha = 0.5f;
constexpr float kBandStep = 32.0f;

// Trail: every second of the last 29 history entries, fading in toward the ball.
constexpr int kTrailFirst = 70;
constexpr int kTrailLast = 98;
constexpr float kTrailFade = 40.0f;

// Ball styles and their animation.
constexpr int kStyleCycling = 1;
constexpr int kStyleRolling = 2;
constexpr int kStyleSplash = 3;
constexpr int kStyleTumbling = 4;
constexpr int kStyleWalking = 6;
constexpr float kSplashGrow = 0.5f;
constexpr float kSplashEnd = 35.0f;
constexpr int kSplashLastFrame = 6;
constexpr float kSplashEase = 0.125f;

// SUPER orbiters: records 1..50 of 4 floats (x, y, rise speed, spin); rise speed -50 = gone.
constexpr int kMaxOrbiters = 50;
constexpr float kOrbiterRadius = 24.0f;
constexpr float kOrbiterGone = -50.0f;
constexpr float kOrbiterRise = 0.2f;
constexpr float kOrbiterSpin = 0.5f;
constexpr float kOrbiterTop = -32.0f;

// Pass-value list.
constexpr int kListValues = 20;
constexpr float kListRow = 18.0f;

// Score popups: the plate's width at size 1, a digit's advance at the text's scale 2, and
// where they fade out: within kPopupFade of the head-up band's bottom or of the pass values.
constexpr float kPopupPlate = 32.0f;
constexpr float kPopupPlateHeight = 28.0f;
constexpr float kPopupMargin = 16.0f; // plate beyond the digits, both sides together
constexpr float kPopupDigitAdvance = 14.0f;
constexpr float kHudBottom = 60.0f;
constexpr float kPassColumnClear = 76.0f; // from the right edge
constexpr float kPopupFade = 24.0f;
constexpr float kListSlideStep = 4.0f;
constexpr int kTargetBurst = 17;
constexpr int kParticleScreen = 5;

float degSin(float degrees) {
    return std::sin(degrees * kDegToRad);
}
float degCos(float degrees) {
    return std::cos(degrees * kDegToRad);
}

} // namespace

void c_MyApp::beginWorld() {
    if (m_theme == kThemeWoolly) p_FlipScreen();
    beginSlope();
}

void c_MyApp::beginSlope() {
    if (slopeFactor() != 0) p_Bend(slopeFactor(), 0);
}

void c_MyApp::endWorld() {
    if (slopeFactor() != 0) p_Bend(0, 0);
}

float c_MyApp::miscSway() const {
    if (m_theme != kThemeDeepBlue) return 0;
    return 0.025f * 8.0f * degSin(kp_app_Millisecs() / 9.0f);
}

void c_MyApp::drawBackdrop(float floorAlpha) {
    const float stepX = m_ball[kCamStepX];
    const float stepY = m_ball[kCamStepY];
    if (m_theme == kThemeNeon || m_theme == kThemeSketchbook) {
        for (float x = 0; x < kp_BT3_jscrw; x += kBandStep) {
            const float phase = (m_camX + x) * 0.01f;
            p_SetCol(128 + 127 * std::sin(phase), 128 + 127 * std::cos(phase * 0.7f),
                     128 + 127 * std::sin(m_camY * 0.01f + phase * 1.3f), 0.25f);
            p_Rect(x, 0, kBandStep, kp_BT3_jscrh);
        }
        p_ResetDraw();
    }
    switch (m_theme) {
    case kThemeDeepBlue:
        p_DoStars(0.75f * stepX + 0.05f, stepY - 1);
        break;
    case kThemeGhost:
        p_DoStars(0.75f * stepX + 0.05f, stepY + 1);
        break;
    case kThemeFrostbite:
        p_DoStars(0.75f * stepX + 0.05f, stepY + 0.25f);
        break;
    case kThemeGridlock:
        break; // its stars fall in front of the floor
    default:
        p_DoStars(0.5f * stepX + 0.05f, stepY);
        break;
    }
    drawFloorLayer(kBackParallax, kBackAlpha * floorAlpha, 16.0f, 8.0f);
    drawFloorLayer(1.0f, floorAlpha, 8.0f, 9.0f);
    if (m_theme == kThemeGridlock) p_DoStars(1.5f * stepX, stepY + 3);
}

void c_MyApp::drawFloorLayer(float parallax, float alpha, float swayScale, float swayRate) {
    p_ResetDraw();
    p_Alpha(alpha);
    p_SetSize(1.0f, kRowHeight / kStripHeight);
    const float offset = std::fmod(m_camX * parallax, kStripWidth);
    const int rows = static_cast<int>(kp_BT3_jscrh / kRowHeight) + 1;
    for (int row = 1; row <= rows; ++row) {
        int frame = row % 2;
        if (row == m_floorRows) frame = 2;
        if (row > m_floorRows) frame = 3;
        float sway = 0;
        if (m_theme == kThemeDeepBlue) {
            sway = swayScale * degSin(kp_app_Millisecs() / swayRate + 32.0f * row);
        }
        const float y = row * kRowHeight - kRowHeight / 2;
        for (float x = kStripWidth / 2 - offset + sway - kStripWidth;
             x - kStripWidth / 2 < kp_BT3_jscrw; x += kStripWidth) {
            p_DrawImg(kImgStrips, x, y, frame);
        }
    }
    p_ResetDraw();
}

void c_MyApp::drawBall(float floorAlpha) {
    if (m_ballStyle == kStyleSplash) {
        float& splash = m_ball[kSplash];
        if (splash > 0) splash += kSplashGrow;
        if (splash > kSplashEnd) splash = 0;
        m_ball[kEasedSpeed] += (m_ball[kSpeed] - m_ball[kEasedSpeed]) * kSplashEase;
    }
    if (m_kind == kKindBounces && m_ball[kBurst] != 0) return;
    p_ResetDraw();
    const float slope = slopeFactor();
    if (m_trail != 0) {
        if (m_theme == kThemeStarlight) p_Blend(3);
        for (int i = kTrailFirst; i <= kTrailLast; i += 2) {
            const int k = i - kTrailFirst;
            const float x = m_ball[kHistX + k] - m_camX;
            const float y = m_ball[kHistY + k] - x * slope;
            p_Alpha((i - kTrailFirst) / kTrailFade * floorAlpha);
            drawBallImage(x, y, m_ball[kHistSpin + k], m_ball[kHistFrame + k]);
        }
        p_Blend(1);
    }
    p_Alpha(floorAlpha);
    const int newest = kHistLen - 1;
    drawBallImage(m_ball[kScreenX], m_ball[kScreenY], m_ball[kHistSpin + newest],
                  m_ball[kHistFrame + newest]);
    if (m_ballStyle == kStyleSplash && m_ball[kSplash] > 0) {
        // Drops thrown off by the splash, now and then with a quiet plop.
        if (kp_random_Rnd() < 0.3f) {
            const float a = kp_random_Rnd() * 360.0f;
            p_Oval(m_ball[kScreenX] + 20 * degCos(a), m_ball[kScreenY] + 10 * degSin(a), 3, 3);
        }
        if (kp_random_Rnd() < 0.02f) p_PlaySFX(kSfxBounce, 1.5f, 0.2f, 0);
    }
    p_ResetDraw();
}

void c_MyApp::drawBallImage(float x, float y, float spin, float frame) {
    const float scale = (m_theme == kThemeNeon || m_theme == kThemePirate) ? 1.75f : 1.0f;
    p_SetSize(scale, scale);
    m_drawRot = 0;
    if (m_theme == kThemeGhost) {
        p_SetSize(2.0f, 2.0f);
        p_DrawImg(kImgBlocks, x, y - 32.0f, 0);
        return;
    }
    int shown = 0;
    switch (m_ballStyle) {
    case kStyleCycling:
    case kStyleWalking:
        shown = static_cast<int>(std::floor(frame)) % 14;
        break;
    case kStyleRolling:
        m_drawRot = -spin;
        break;
    case kStyleSplash:
        shown = std::min(static_cast<int>(m_ball[kSplash] / 6), kSplashLastFrame);
        m_drawRot = -3.0f * m_ball[kEasedSpeed];
        break;
    case kStyleTumbling:
        m_drawRot = -6.0f * m_ball[kVelY];
        break;
    case kStyleFrog:
        shown = static_cast<int>(std::floor(frame)) % 10;
        m_drawRot = -spin;
        break;
    default:
        break;
    }
    p_DrawImg(kImgBlocks, x, y, shown);
    m_drawRot = 0;
}

void c_MyApp::runOrbiters() {
    const int active = m_super >= 2 ? std::min(m_super, kMaxOrbiters) : 0;
    const float clock = kp_app_Millisecs() * 0.2f;
    p_ResetDraw();
    p_SetSize(0.25f, 0.25f);
    for (int i = 1; i <= kMaxOrbiters; ++i) {
        float* o = &m_orbiters[i * kOrbiterStride];
        if (i <= active) {
            const float a = std::fmod(clock + i * 157.5f, 360.0f);
            o[0] = m_ball[kScreenX] + kOrbiterRadius * degCos(a);
            o[1] = m_ball[kScreenY] + kOrbiterRadius * degSin(a);
            o[2] = 0;
            o[3] = 0;
        } else if (o[2] > kOrbiterGone) {
            // Left behind by a broken chain: rise faster and faster, spinning up.
            o[2] += kOrbiterRise;
            o[1] -= o[2];
            o[3] += kOrbiterSpin * o[2] / kOrbiterRise;
            if (o[1] <= kOrbiterTop) {
                o[2] = kOrbiterGone;
                continue;
            }
        } else {
            continue;
        }
        m_drawRot = -o[3];
        p_DrawImg(kImgMenu, o[0], o[1], kFrameSpark);
    }
    p_ResetDraw();
}

void c_MyApp::drawRoundText(float x, float y, const String& text, float scale) {
    p_SetSize(m_theme == kThemeWoolly ? -scale : scale, scale);
    p_Text(x, y, text, 1, 1, 0);
}

void c_MyApp::drawPassValues() {
    p_ResetDraw();
    float& slide = m_ball[kPassSlide];
    const float x = kp_BT3_jscrw - 48;
    if (m_kind == kKindTarget) {
        const int shown = std::min(static_cast<int>(m_ball[kLastPassed]), kListValues);
        for (int k = 1; k <= shown; ++k) {
            const float y = 64 + kListRow * k;
            drawRoundText(x, y, kpIntToString(static_cast<int>(m_ball[kTargetBase + k])), 1.5f);
            if (k == shown && slide == kListRow) {
                for (int j = 0; j < kTargetBurst; ++j) {
                    p_ThrowParticle(x, y, kParticleScreen, 1 + j % 8, kNotGiven, kNotGiven);
                }
            }
        }
    } else {
        const float bottom = kp_BT3_jscrh - 32;
        for (int i = 1; i <= kListValues; ++i) {
            // All twenty entries, the zeros of a fresh round too.
            const int value = static_cast<int>(m_ball[kPassFirst + i - 1]);
            p_Alpha(static_cast<float>(i) / kListValues);
            drawRoundText(x, bottom - (kListValues - i) * kListRow + slide, kpIntToString(value),
                          1.5f);
        }
    }
    slide = std::max(slide - kListSlideStep, 0.0f);
    p_ResetDraw();
}

void c_MyApp::runPopups() {
    if (m_settings[kScorePopupsSetting] != 0) return;
    p_ResetDraw();
    for (int p = 0; p < kPopups; ++p) {
        float* pop = &m_popups[p * kPopupStride];
        if (!(pop[1] < kp_BT3_jscrw + 128)) continue;
        pop[1] += pop[3] / 10;
        pop[2] += pop[4] / 10;
        pop[5] = std::min(pop[5] + pop[6] / 10, 16.0f);
        pop[3] += 0.2f + 0.2f * kp_random_Rnd();
        pop[4] -= 0.15f + 0.2f * kp_random_Rnd();
        pop[6] += 0.02f + 0.03f * kp_random_Rnd();
        drawPopup(pop);
    }
    p_ResetDraw();
}

void c_MyApp::drawPopup(const float* pop) {
    const float x = m_theme == kThemeWoolly ? kp_BT3_jscrw - pop[1] : pop[1];
    const int colour = static_cast<int>(pop[7]);
    const int look = static_cast<int>(pop[8]);
    const String value = kpIntToString(static_cast<int>(pop[0]));
    // The text's leading space puts the digits' middle half an advance along the text's
    // direction from x (backwards in the mirrored theme, whose text runs the other way): the plate
    // is centred there and stretched to hold all the digits.
    const float digits = static_cast<float>(value.size());
    const float plateWidth = std::max(kPopupPlate, kPopupDigitAdvance * digits + kPopupMargin);
    const float turn = pop[5] * kDegToRad;
    const float along = (m_theme == kThemeWoolly ? -0.5f : 0.5f) * kPopupDigitAdvance;
    const float cx = x + along * std::cos(turn);
    const float cy = pop[2] + along * std::sin(turn);
    // Opaque, so the digits keep their contrast against the plate on any sky; faded out
    // before it reaches the head-up display (the score line above, the pass values beside).
    const float top = cy - kPopupPlateHeight / 2 - kHudBottom;
    const float right = kp_BT3_jscrw - kPassColumnClear - (cx + plateWidth / 2);
    const float shown = std::clamp(std::min(top, right) / kPopupFade, 0.0f, 1.0f);
    if (shown <= 0) return;
    p_ResetDraw();
    p_Alpha(shown);
    m_drawRot = -pop[5];
    if (look == 1 || look == 2) {
        p_SetSize(plateWidth / kPopupPlate, 1);
        p_DrawImg(kImgBobs, cx, cy, kFramePopupBase + 2 * colour + (look == 2 ? 1 : 0));
        p_SetSize(1, 1);
    }
    p_Ink(colour + 1, 1);
    drawRoundText(x, pop[2], value, 2.0f);
}
