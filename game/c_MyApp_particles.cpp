// c_MyApp particles: sparks and number pop-ups thrown by play events, one record per particle
// in m_particles (records 0..m_particleLast, kind 0 free). World particles (kinds 1..4) and
// pop-ups (99) follow the camera, screen particles (5, 6) do not; kinds 2 and 6 fall. Each
// lives about 70 to 130 frames, its life doubling as its alpha. Also the ten ink colours.
// A throw with every record busy does nothing; its random draws up to that point still count.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_effects.h"

using namespace fx;

namespace {

constexpr float kFree = 0.0f;
constexpr int kPopUp = 99;
constexpr int kFallingWorldKind = 2;
constexpr int kLastWorldKind = 4;
constexpr int kFirstScreenKind = 5;
constexpr int kLastScreenKind = 6;
constexpr float kSpeedLow = 3.0f;
constexpr float kSpeedHigh = 8.0f;
constexpr float kParticleSpinRange = 8.0f;
constexpr float kLifeLow = 0.7f;
constexpr float kLifeHigh = 1.3f;
constexpr float kLifePerFrame = 0.01f;
// Falling kinds lose 5% of their sideways speed and gain 0.2 downwards per frame.
constexpr float kFallDrag = 0.95f;
constexpr float kFallGravity = 0.2f;

bool falls(int kind) {
    return kind == kFallingWorldKind || kind == kLastScreenKind;
}

// Ink colours as fractions of full red, green and blue; entry 0 is every other number.
struct Ink {
    float r, g, b;
};
constexpr Ink kInks[] = {
    {0.3f, 0.3f, 0.3f}, {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f},
    {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f}, {0.1f, 0.1f, 1.0f}, {0.5f, 0.1f, 1.0f},
    {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f},
};
constexpr int kInkCount = static_cast<int>(sizeof kInks / sizeof kInks[0]);
constexpr float kFullChannel = 255.0f;

float channel(float fraction, int brightness) {
    return std::clamp(fraction * static_cast<float>(brightness) * kFullChannel, 0.0f, kFullChannel);
}

} // namespace

int c_MyApp::p_Ink(int colour, int brightness) {
    const Ink& ink = (colour >= 1 && colour < kInkCount) ? kInks[colour] : kInks[0];
    m_drawR = channel(ink.r, brightness);
    m_drawG = channel(ink.g, brightness);
    m_drawB = channel(ink.b, brightness);
    return 0;
}

int c_MyApp::p_FreeParticle() {
    for (int i = lastRecord(m_particleLast); i >= 0; --i) {
        if (m_particles[i * kStride + kKind] <= kFree) return i * kStride;
    }
    return -1;
}

int c_MyApp::p_ResetParticles(int n) {
    if (acceptsCount(n)) m_particleLast = n;
    const int last = lastRecord(m_particleLast);
    for (int i = 0; i <= last; ++i) m_particles[i * kStride + kKind] = kFree;
    return 0;
}

int c_MyApp::p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
    if (angle == kNotGiven) angle = rnd(0, kFullTurn);
    if (speed == kNotGiven) speed = rnd(kSpeedLow, kSpeedHigh);
    const int at = p_FreeParticle();
    if (at < 0) return 0;
    float* p = &m_particles[at];
    p[kKind] = static_cast<float>(kind);
    p[kX] = x;
    p[kY] = y;
    p[kSpeedX] = speed * std::sin(angle * kDegToRad);
    p[kSpeedY] = -speed * std::cos(angle * kDegToRad);
    p[kAngle] = rnd(0, kFullTurn);
    p[kSpin] = rnd(-kParticleSpinRange, kParticleSpinRange);
    p[kLife] = rnd(kLifeLow, kLifeHigh);
    p[kColour] = static_cast<float>(colour);
    p[kPartFrame] = std::trunc(std::floor(rnd(0, kFrameDrawTop)));
    return 0;
}

int c_MyApp::p_DoParticles() {
    p_ResetDraw();
    const int last = lastRecord(m_particleLast);
    for (int i = 0; i <= last; ++i) {
        float* p = &m_particles[i * kStride];
        if (p[kKind] <= kFree) continue;
        const int kind = static_cast<int>(p[kKind]);
        p[kX] += p[kSpeedX];
        p[kY] += p[kSpeedY];
        p[kAngle] += p[kSpin];
        m_drawRot = kind == kPopUp ? 0.0f : -p[kAngle];
        if (falls(kind)) {
            p[kSpeedX] *= kFallDrag;
            p[kSpeedY] += kFallGravity;
        }

        m_drawAlpha = std::min(p[kLife], 1.0f);
        m_drawScaleX = 1;
        m_drawScaleY = 1;
        p_Ink(static_cast<int>(p[kColour]), 1);
        const int frame = static_cast<int>(p[kPartFrame]);
        if (kind <= kLastWorldKind) {
            p_DrawImg(kImgParts, p[kX] - m_camX, p[kY] - m_camY, frame);
        } else if (kind >= kFirstScreenKind && kind <= kLastScreenKind) {
            p_DrawImg(kImgParts, p[kX], p[kY], frame);
        } else if (kind == kPopUp) {
            p_Text(p[kX] - m_camX, p[kY] - m_camY, kpIntToString(frame), 1, 1, 0);
        }

        p[kLife] -= kLifePerFrame;
        if (p[kLife] < 0) p[kKind] = kFree;
    }
    p_ResetDraw();
    return 0;
}
