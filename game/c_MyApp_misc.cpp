// c_MyApp decorations: the theme's parallax scenery in m_misc (records 0..m_miscLast), and on
// two themes the collectable items the ball picks up. Records 0..4 (and 20 on) are props on
// the ground line (layer 1), 5..9 things in the ground (layer 2), 10..14 deeper ground
// (layer 4), 15..19 things in the air (layer 5). A record leaving the screen is placed again
// off the right edge. Every placement takes its random draws in a fixed order and count: the
// level courses that follow depend on the generator's sequence.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_effects.h"

using namespace fx;

namespace {

constexpr int kLayerGround = 1;
constexpr int kLayerBuried = 2;
constexpr int kLayerDeep = 4;
constexpr int kLayerAir = 5;
// Records per layer band: 0..4 ground, 5..9 buried, 10..14 deep, 15..19 air.
constexpr int kBand = 5;
// A layer's frames start at 14 x layer; each layer has four, the air item exactly one.
constexpr int kFramesPerLayer = 14;
constexpr float kVariantDrawTop = 3.99f;
constexpr float kItemFrame = 70.0f;
// Decoration frames are drawn this far on in the world image.
constexpr int kWorldFrameOffset = 14;

// Scattering: the screen and 100 pixels round it; depth, angle and spin of the first draws.
constexpr float kScatterBorder = 100.0f;
// Coming in from the right: this far beyond the edge, give or take the jitter.
constexpr float kEnterBeyond = 128.0f;
constexpr float kEnterJitterLow = -32.0f;
constexpr float kEnterJitterHigh = 64.0f;

// Ground props stand 16 above the ball's rest line.
constexpr float kGroundAbove = 16.0f;
constexpr float kNearDepth = 0.9f;
constexpr float kNearDepthLow = 0.75f;
constexpr float kFloatLow = 4.0f; // Ghost Runner props hover down this much
constexpr float kFloatHigh = 16.0f;
constexpr float kFarDepthLow = 0.4f; // Lunar Leaps props are far away
constexpr float kFarDepthHigh = 0.7f;
constexpr float kWaterBelow = 19.0f; // Seaside rocks sit in the water and bob
constexpr float kWaterJitter = 6.0f;
constexpr float kRockLow = 2.0f;
constexpr float kRockHigh = 4.0f;
constexpr float kBigSize = 2.0f;
// Buried things lie 48 below the rest line; on the moon right at it and closer than the screen.
constexpr float kBuriedBelow = 48.0f;
constexpr float kMoonDepthLow = 1.1f;
constexpr float kMoonDepthHigh = 1.4f;
constexpr float kDeepLow = -16.0f;
constexpr float kDeepHigh = 48.0f;
constexpr float kDeepDepthHigh = 1.1f;
// Air items hang 16..192 above the rest line; Frostbite's start high and fall.
constexpr float kAirLow = 16.0f;
constexpr float kAirHigh = 192.0f;
constexpr float kSnowAirLow = 160.0f;
constexpr float kAirSpin = 4.0f;

// Drawing: a record is replaced once it is this far past the left, top or bottom edge.
constexpr float kLeaveBeyond = 128.0f;
constexpr float kRockSway = 4.0f;
constexpr float kHaloSize = 4.0f;
constexpr float kHaloAbove = 32.0f;

// Collectables: reach of the ball, the burst, the points, the fall on Frostbite.
constexpr float kReach = 32.0f;
constexpr int kBurst = 16;
constexpr float kBurstStep = 22.5f;
constexpr float kBurstSpeedLow = 2.0f;
constexpr float kBurstSpeedHigh = 5.0f;
constexpr float kColourLow = 1.0f;
constexpr float kColourHigh = 8.99f;
constexpr float kKindLow = 1.0f;
constexpr float kKindHigh = 2.99f;
constexpr float kCollectedAway = 1000.0f;
constexpr int kItemPoints = 25;
constexpr float kSfxRateLow = 0.7f;
constexpr float kSfxRateHigh = 1.0f;
constexpr float kFallPerCall = 0.65f;
constexpr float kSnowRestBelow = 32.0f;
constexpr float kSnowRestFrom = 31.0f;
// Ball block slots: screen position and the collected count.
constexpr int kBallScreenX = 18;
constexpr int kBallScreenY = 19;
constexpr int kBallCollected = 56;

int layerOf(int i) {
    if (i >= kBand && i < 2 * kBand) return kLayerBuried;
    if (i >= 2 * kBand && i < 3 * kBand) return kLayerDeep;
    if (i >= 3 * kBand && i < 4 * kBand) return kLayerAir;
    return kLayerGround;
}

float enterX(float w) {
    return w + kEnterBeyond + rnd(kEnterJitterLow, kEnterJitterHigh);
}

bool isCollectableTheme(int theme) {
    return theme == kThemeGhost || theme == kThemeFrostbite;
}

// layers 0 draws the ground props; layers 1 the buried, deep and air layers.
bool selected(int layer, int layers) {
    if (layers == 0) return layer == kLayerGround;
    if (layers == 1) return layer != kLayerGround;
    return false;
}

void placeGround(float* d, int theme, float rest) {
    d[kY] = rest - kGroundAbove;
    d[kDepth] = kNearDepth;
    if (theme == kThemeOldFaithful || theme == kThemeSpringy || theme == kThemeMagma) {
        d[kDepth] = rnd(kNearDepthLow, kNearDepth);
    }
    if (theme == kThemeGhost) {
        d[kY] += rnd(kFloatLow, kFloatHigh);
        d[kDepth] = rnd(kNearDepthLow, kNearDepth);
    } else if (theme == kThemeLunar) {
        d[kDepth] = rnd(kFarDepthLow, kFarDepthHigh);
    } else {
        d[kAngle] = 0;
        d[kSpin] = 0;
        if (theme == kThemeSeaside) {
            d[kY] = rest + kWaterBelow + rnd(-kWaterJitter, kWaterJitter);
            d[kDepth] = rnd(kNearDepthLow, kNearDepth);
            d[kSpin] = rnd(kRockLow, kRockHigh);
        }
    }
    if (theme == kThemeGhost || theme == kThemeLunar) {
        d[kAngle] = 0;
        d[kSpin] = 0;
    }
    d[kSize] = kBigSize;
}

void placeBuried(float* d, int theme, float rest) {
    d[kY] = theme == kThemeStarlight ? rest - kGroundAbove : rest + kBuriedBelow;
    if (theme == kThemeLunar) {
        d[kY] = rest;
        d[kDepth] = rnd(kMoonDepthLow, kMoonDepthHigh);
    } else {
        d[kDepth] = 1;
    }
    d[kAngle] = 0;
    d[kSpin] = 0;
    d[kSize] = kBigSize;
}

void placeDeep(float* d, float rest) {
    d[kY] = rest + kBuriedBelow + rnd(kDeepLow, kDeepHigh);
    d[kDepth] = rnd(1, kDeepDepthHigh);
    d[kAngle] = 0;
    d[kSpin] = 0;
    d[kSize] = kBigSize;
}

// Both height draws happen on Frostbite: the second replaces the first.
void placeAir(float* d, int theme, float rest) {
    d[kY] = rest - rnd(kAirLow, kAirHigh);
    if (theme == kThemeFrostbite) d[kY] = rest - rnd(kSnowAirLow, kAirHigh);
    d[kDepth] = 1;
    d[kAngle] = rnd(0, kFullTurn);
    d[kSpin] = rnd(-kAirSpin, kAirSpin);
    d[kFrame] = kItemFrame;
}

// One pass of neighbour swaps over records 0..last-1: within a layer the lower record moves
// later, so over a few frames the scenery is drawn back to front.
void sortPass(std::array<float, 5100>& misc, int last) {
    for (int i = 0; i <= last - 2; ++i) {
        float* a = &misc[i * kStride];
        float* b = a + kStride;
        if (a[kLayer] == b[kLayer] && b[kY] < a[kY]) std::swap_ranges(a, a + kStride, b);
    }
}

// A collectable item (air layer on Ghost Runner and Frostbite): on Frostbite it falls to rest
// below the ground line; touched by the ball it bursts, scores once and jumps far to the left,
// from where the drawing pass places it again.
void collectItem(c_MyApp& app, float* d) {
    if (app.m_theme == kThemeFrostbite) {
        const float ground = static_cast<float>(app.m_groundY);
        if (d[kY] < ground + kSnowRestBelow) d[kY] += kFallPerCall;
        if (d[kY] > ground + kSnowRestFrom) {
            d[kY] = ground + kSnowRestBelow;
            d[kSpin] = 0;
        }
    }
    if (std::fabs(d[kX] - app.m_ball[kBallScreenX]) >= kReach ||
        std::fabs(d[kY] - app.m_ball[kBallScreenY]) >= kReach) {
        return;
    }
    const float x = d[kX] + app.m_camX;
    const float y = d[kY] + app.m_camY;
    for (int j = 0; j < kBurst; ++j) {
        const float speed = rnd(kBurstSpeedLow, kBurstSpeedHigh);
        const int colour = static_cast<int>(std::floor(rnd(kColourLow, kColourHigh)));
        const int kind = static_cast<int>(std::floor(rnd(kKindLow, kKindHigh)));
        app.p_ThrowParticle(x, y, kind, colour, kBurstStep * static_cast<float>(j), speed);
    }
    d[kX] -= kCollectedAway;
    app.m_score += kItemPoints;
    app.p_PlaySFX(kSfxBurst, rnd(kSfxRateLow, kSfxRateHigh), 1, 0);
    app.m_ball[kBallCollected] += 1;
}

} // namespace

int c_MyApp::p_PutMisc(int i, int initial) {
    if (i < 0 || i >= kRecords) return 0;
    float* d = &m_misc[i * kStride];
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    const float rest = static_cast<float>(m_restY);

    kp_random_Rnd(); // taken and discarded: the sequence counts it
    const int layer = layerOf(i);
    d[kLayer] = static_cast<float>(layer);
    d[kFrame] = static_cast<float>(kFramesPerLayer * layer) + std::floor(rnd(0, kVariantDrawTop));
    d[kX] = rnd(-kScatterBorder, w + kScatterBorder);
    d[kY] = rnd(-kScatterBorder, h + kScatterBorder);
    d[kDepth] = rnd(kDepthLow, kDepthHigh);
    d[kAngle] = rnd(0, kFullTurn);
    d[kSpin] = rnd(-kSpinRange, kSpinRange);
    d[kSize] = 1;

    if (initial == 0) d[kX] = enterX(w);
    switch (layer) {
    case kLayerGround:
        placeGround(d, m_theme, rest);
        break;
    case kLayerBuried:
        placeBuried(d, m_theme, rest);
        break;
    case kLayerDeep:
        placeDeep(d, rest);
        break;
    default:
        placeAir(d, m_theme, rest);
        break;
    }
    return 0;
}

int c_MyApp::p_ResetMisc(int n) {
    if (acceptsCount(n)) m_miscLast = n;
    // Placements run up to the star index: their draws are part of the sequence.
    const int last = lastRecord(m_starCount);
    for (int i = 0; i <= last; ++i) p_PutMisc(i, 1);
    return 0;
}

int c_MyApp::p_DoMisc(float dx, float dy, int layers) {
    const float h = kp_BT3_jscrh;
    const float leave = kp_BT3_overscan + kLeaveBeyond;
    const bool collectables = isCollectableTheme(m_theme);
    const int last = lastRecord(m_miscLast);

    p_ResetDraw();
    sortPass(m_misc, last);
    for (int i = 0; i <= last; ++i) {
        float* d = &m_misc[i * kStride];
        const int layer = static_cast<int>(d[kLayer]);
        if (collectables && layer == kLayerAir) collectItem(*this, d);
        if (!selected(layer, layers)) continue;

        d[kX] += dx * d[kDepth];
        d[kY] += dy * d[kDepth];
        if (d[kX] < -leave) p_PutMisc(i, 0);
        if (d[kY] < -leave) p_PutMisc(i, 0);
        if (d[kY] > h + leave) p_PutMisc(i, 0);
        d[kAngle] = std::fmod(d[kAngle] + d[kSpin], kFullTurn);

        m_drawAlpha = d[kLayer] == kLayerGround ? 1.0f : std::min(d[kDepth], 1.0f);
        m_drawRot =
            m_theme == kThemeSeaside ? -kRockSway * std::sin(d[kAngle] * kDegToRad) : -d[kAngle];
        m_drawScaleX = d[kSize];
        m_drawScaleY = d[kSize];
        const int frame = static_cast<int>(d[kFrame]) + kWorldFrameOffset;
        p_DrawImg(kImgBlocks, d[kX], d[kY], frame);
        if (m_theme == kThemeStarlight) {
            m_drawScaleX = kHaloSize;
            m_drawScaleY = kHaloSize;
            p_DrawImg(kImgBlocks, d[kX], d[kY] - kHaloAbove, frame);
        }
    }
    p_ResetDraw();
    return 0;
}
