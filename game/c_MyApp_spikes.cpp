// The spike pass of a round: for each of the 100 spike slots, its screen position, the GOAL
// label, the theme's motion of the head (bobbing and spinning, rising like air, pillars,
// turning), the Buttons walls and their buttons, the hidden spikes of Deja Vu, the number
// label, the pass with its scoring, badges, popup, sound and pass-value list, the collision
// (walls and pillars included) and the recycling of spikes far behind. Nothing past the goal
// spike is drawn, scored or hit. No allocation beyond the short texts drawn.
#include <algorithm>
#include <cmath>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_random.h"

using namespace bt3ball;

namespace {

constexpr float kGoalLabelFrom = -512.0f;
constexpr float kLiveFrom = -128.0f;
constexpr float kBeyondRight = 128.0f; // pixels past the right edge still handled
constexpr float kRecycleBehind = -3200.0f;
constexpr float kPassDistance = 36.0f;
constexpr float kCollisionMargin = 15.0f;

// Theme motion of the heads.
constexpr float kBobDepth = 16.0f;
constexpr float kSpinSlow = 0.2f;
constexpr float kAirBand = 256.0f;
constexpr float kAirTopClasses = 20.0f;
constexpr int kPillarBlocks = 13;
constexpr float kBlockStep = 32.0f;
constexpr float kGhostScale = 1.5f;

// Buttons kind.
constexpr int kWallBlocks = 25;
constexpr float kWallReach = 384.0f;
constexpr float kButtonAhead = 96.0f;
constexpr float kButtonAbove = 64.0f;
constexpr float kButtonReachX = 18.0f;
constexpr float kButtonReachY = 12.0f;
constexpr int kButtonParticles = 49;

// Badges given during a round: by spikes passed and by the best SUPER chain.
struct BadgeStep {
    int above; // the count must reach (spikes) or exceed (chains) this
    int badge;
};
constexpr BadgeStep kSpikeBadges[] = {{100, 0}, {250, 1}, {500, 2}, {700, 3}, {1000, 4}};
constexpr BadgeStep kChainBadges[] = {{4, 16}, {7, 17}, {9, 18}, {14, 19}, {19, 20}};

constexpr int kTargetListed = 20; // the Target kind lists the values of spikes 1..20
constexpr int kParticleWorld = 1;
constexpr int kBubbleColour = 5;

} // namespace

void c_MyApp::runSpikes(float floorAlpha) {
    p_ResetDraw();
    p_Alpha(floorAlpha);
    if (roundRuns()) m_spikeMillis = kp_app_Millisecs();
    // m_i names the slot for the step (theme 10 turns each spike by it) and keeps its end
    // value; the loop itself runs on a local, whatever the step's callees do with m_i.
    for (int slot = 0; slot < kSpikeSlots; ++slot) {
        m_i = slot;
        spikeStep(slot, floorAlpha);
    }
    m_i = kSpikeSlots;
    p_ResetDraw();
}

void c_MyApp::spikeStep(int slot, float floorAlpha) {
    float* spike = &m_spikes[slot * kSpikeStride];
    const int number = static_cast<int>(spike[kSpNumber]);
    const float slope = slopeFactor();
    const float sx = spike[kSpX] - m_camX;
    float sy = m_groundY - spike[kSpHead] - sx * slope;
    const float right = kp_BT3_jscrw + kBeyondRight;

    if (sx > kGoalLabelFrom && sx < right && number == m_target) {
        p_ResetDraw();
        drawRoundText(sx, sy, u"GOAL!", 5.0f);
    }
    const bool beforeGoal = number <= m_target || m_target == 0;
    if (sx > kLiveFrom && sx < right && beforeGoal) {
        float alpha = floorAlpha;
        sy = moveSpikeHead(spike, sx, sy, alpha);
        if (m_kind == kKindButtons && static_cast<int>(spike[kSpVariant]) == kWallWithButton) {
            runButtonWall(spike, sx, sy);
        }
        drawSpike(spike, sx, sy, alpha, number);

        p_ResetDraw();
        if (slope != 0) {
            drawRoundText(sx - 12, m_groundY + 58 - sx * slope, kpIntToString(number), 2.0f);
        } else {
            drawRoundText(sx, m_groundY + 32.0f, kpIntToString(number), 2.0f);
        }

        if (sx < m_ball[kScreenX] - kPassDistance && number > m_ball[kLastPassed]) {
            passSpike(number);
        }
        if (spikeHitsBall(spike, sx, sy)) crash();
    }
    if (sx < kRecycleBehind) p_AddSpike();
}

float c_MyApp::moveSpikeHead(float* spike, float sx, float sy, float& alpha) {
    m_drawRot = 0;
    switch (m_theme) {
    case kThemeLilypad: {
        // Lily pads bob on the water and now and then get a spin.
        if (roundRuns()) spike[kSpVariant] += spike[kSpSpin] * 0.5f;
        sy += kBobDepth * std::sin(spike[kSpVariant] * kDegToRad);
        m_drawRot = -spike[kSpAngle];
        spike[kSpAngle] += spike[kSpSpin];
        spike[kSpSpin] = std::max(spike[kSpSpin] - kSpinSlow, 0.0f);
        if (kp_random_Rnd() * 100 < 4) spike[kSpSpin] = 6 + 2 * kp_random_Rnd();
        break;
    }
    case kThemeDeepBlue: {
        // Heads rise like air through a 256-pixel band and come back in at the bottom.
        const float rise = m_spikeMillis / (kAirTopClasses - spike[kSpClass]);
        float y = std::fmod(sy - rise, kAirBand);
        if (y < 0) y = m_groundY + 16 + y;
        const float wx = spike[kSpX];
        if (y > m_groundY - 4) {
            y = m_groundY + (m_groundY - y) * (m_groundY - y) / 4;
            p_ThrowParticle(wx, y + m_camY, kParticleWorld, kBubbleColour, kNotGiven, kNotGiven);
        }
        if (kp_random_Rnd() * 10 < 2) {
            p_ThrowParticle(wx, y + m_camY, kParticleWorld, kBubbleColour, kNotGiven, kNotGiven);
        }
        alpha = 0.75f;
        sy = y;
        break;
    }
    case kThemePirate: {
        const int variant = static_cast<int>(spike[kSpVariant]);
        if (variant == kPillarDown || variant == kPillarUp) {
            const float step = variant == kPillarUp ? -kBlockStep : kBlockStep;
            p_ResetDraw();
            p_Alpha(alpha);
            for (int b = 1; b <= kPillarBlocks; ++b) {
                p_DrawImg(kImgBlocks, sx, sy + step * b, kFramePillar);
            }
        }
        break;
    }
    case kThemeGhost:
        m_drawRot = -(kp_app_Millisecs() * 0.5f + 20.0f * static_cast<float>(m_i));
        break;
    default:
        break;
    }
    return sy;
}

void c_MyApp::runButtonWall(float* spike, float sx, float sy) {
    const float rot = m_drawRot;
    p_ResetDraw();
    for (int b = 0; b < kWallBlocks; ++b) {
        p_DrawImg(kImgBlocks, sx, sy - kWallReach + b * kBlockStep, kFrameWall);
    }
    const float bx = sx - kButtonAhead;
    const float by = m_groundY - kButtonAbove - bx * slopeFactor();
    p_SetSize(1.5f, 1.5f);
    p_DrawImg(kImgBlocks, bx, by, kFrameButton);
    p_ResetDraw();
    m_drawRot = rot;
    const bool overX = std::fabs(m_ball[kScreenX] - bx) < m_ballHalfW + kButtonReachX;
    const bool overY = std::fabs(m_ball[kScreenY] - by) < m_ballHalfW + kButtonReachY;
    if (overX && overY) {
        p_PlaySFX(kSfxButton, 1.0f, 1.0f, 0);
        spike[kSpVariant] = 0; // the wall is gone
        for (int i = 0; i < kButtonParticles; ++i) {
            p_ThrowParticle(bx + m_camX, by + m_camY, kParticleWorld, 1 + i % 8, kNotGiven,
                            kNotGiven);
        }
    }
}

void c_MyApp::drawSpike(const float* spike, float sx, float sy, float alpha, int number) {
    const float rot = m_drawRot;
    p_ResetDraw();
    p_Alpha(alpha);
    if (m_kind == kKindDejaVu && number > (m_target / 3) * 2) {
        // Seen twice already: only a marker where the label goes.
        p_DrawImg(kImgBlocks, sx, static_cast<float>(m_groundY + 32), kFrameMarker);
        return;
    }
    int frame = static_cast<int>(spike[kSpClass]) + kFrameSpikeBase;
    if (m_theme == kThemeStarlight) frame = p_Rand(1, 14) + kFrameSpikeBase;
    if (m_theme == kThemeLilypad || m_theme == kThemeGhost) m_drawRot = rot;
    if (m_theme == kThemeGhost) p_SetSize(kGhostScale, kGhostScale);
    p_DrawImg(kImgBlocks, sx, sy, frame);
    p_ResetDraw();
}

void c_MyApp::passSpike(int number) {
    m_ball[kLastPassed] = static_cast<float>(number);
    ++m_leap;
    ++m_super;
    m_bestLeap = std::max(m_bestLeap, m_leap);
    m_bestSuper = std::max(m_bestSuper, m_super);
    const int value = m_leap * m_super;
    m_score += value;
    giveRoundBadges();
    if (m_settings[kScorePopupsSetting] == 0) throwPopup();
    m_comboTimer = kComboFull;
    const int sound = m_super > 1 ? kSfxSuperPass : kSfxPass;
    p_PlaySFX(sound, std::min(m_leap / 45.0f + 0.75f, 3.0f), 1.0f, 0);
    listPassValue(number, value);
    if (number == m_target) {
        m_goalFrames = 1;
        m_chaserAhead = m_ball[kX] < m_chaserX ? 1 : 0;
    }
}

void c_MyApp::giveRoundBadges() {
    const int passed = static_cast<int>(m_ball[kLastPassed]);
    for (const BadgeStep& step : kSpikeBadges) {
        if (passed >= step.above) p_GiveBadge(step.badge);
    }
    for (const BadgeStep& step : kChainBadges) {
        if (m_bestSuper > step.above) p_GiveBadge(step.badge);
    }
}

void c_MyApp::throwPopup() {
    m_popupIndex = (m_popupIndex + 1) % kPopups;
    float* pop = &m_popups[m_popupIndex * kPopupStride];
    pop[0] = static_cast<float>(m_leap * m_super);
    pop[1] = kp_random_Rnd2(kp_BT3_jscrw - 240, kp_BT3_jscrw - 128);
    pop[2] = kp_random_Rnd2(100, m_groundY - 32.0f);
    pop[3] = pop[4] = pop[5] = pop[6] = 0;
    pop[7] = static_cast<float>(p_Rand(0, 7));
    pop[8] = m_super > 1 ? 2.0f : (m_leap > 1 ? 1.0f : 0.0f);
}

void c_MyApp::listPassValue(int number, int value) {
    if (m_kind == kKindTarget) {
        if (number > 0 && number <= kTargetListed) {
            m_ball[kTargetBase + number] = static_cast<float>(value);
            m_ball[kPassSlide] = 18.0f;
        }
        return;
    }
    for (int i = kPassFirst; i < kPassLast; ++i) m_ball[i] = m_ball[i + 1];
    m_ball[kPassLast] = static_cast<float>(value);
    m_ball[kPassSlide] = 18.0f;
}

bool c_MyApp::spikeHitsBall(const float* spike, float sx, float sy) const {
    const float w = m_ballHalfW + kCollisionMargin;
    const float h = m_ballHalfH + kCollisionMargin;
    const float bx = m_ball[kScreenX];
    const float by = m_ball[kScreenY];
    const bool acrossNow = std::fabs(sx - bx) < w;
    if (acrossNow && std::fabs(sx - (bx + m_ball[kSpeed])) < w && std::fabs(sy - by) < h) {
        return true;
    }
    const int variant = static_cast<int>(spike[kSpVariant]);
    if (m_kind == kKindButtons && variant == kWallWithButton && acrossNow) return true;
    if (m_theme == kThemePirate && acrossNow) {
        // Pillars: the ball below a head whose pillar hangs down, or above one standing up.
        if (variant == kPillarDown && sy < by) return true;
        if (variant == kPillarUp && sy > by) return true;
    }
    return false;
}

void c_MyApp::crash() {
    if (roundRuns()) {
        p_PlaySFX(kSfxCrash, 1.0f, 1.0f, 0);
        p_StopTune();
    }
    m_roundOver = kRoundCrashed;
}
