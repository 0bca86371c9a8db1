// The chasers of the chase kinds: the sheep of the Sheep Race, which runs at 6 pixels per
// frame from the start line and never stops, and the lava of the Lava Chase, which creeps at
// 3 pixels per frame, catches up faster when far behind, and ends the round when it reaches
// the ball. Both stand still before the start, after the goal and once the round is over.
#include <cmath>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_random.h"

using namespace bt3ball;

namespace {

constexpr float kSheepPace = 0.696f; // of the roll speed: 6 pixels per frame
constexpr float kSheepDrop = 4.0f;   // below the ground line
constexpr float kLavaPace = 0.38f;   // of the roll speed: 3 pixels per frame
constexpr float kLavaBoost = 0.8f;   // of the roll speed: 8 more when far behind
constexpr float kLavaFar = 256.0f;
constexpr float kLavaVeryFar = 400.0f;
constexpr float kLavaReach = 16.0f; // the lava touches the ball this far behind its centre
constexpr int kLavaBlobs = 51;
constexpr float kLavaColumns[] = {192.0f, 64.0f}; // behind the front
constexpr float kLavaBlockStep = 72.0f;           // a lava block drawn at scale 2

} // namespace

void c_MyApp::runChasers() {
    if (m_kind == kKindSheepRace) runSheep();
    if (m_kind == kKindLavaChase) runLava();
}

void c_MyApp::runSheep() {
    p_ResetDraw();
    m_drawRot = static_cast<float>(-m_chaserTilt);
    p_DrawImg(kImgBobs, m_chaserX - m_camX, m_groundY + kSheepDrop, m_chaserFrame);
    p_ResetDraw();
    if (kp_random_Rnd() * 100 < 4) m_chaserFrame = p_Rand(0, 5);
    if (kp_random_Rnd() * 100 < 8) m_chaserTilt = static_cast<int>(16 * kp_random_Rnd() - 8);
    if (m_playFrames >= kStartDone && roundRuns() && m_goalFrames == 0) {
        m_chaserX = static_cast<int>(m_rollSpeed * kSheepPace + m_chaserX);
    }
}

void c_MyApp::runLava() {
    const float front = m_chaserX - m_camX;
    const float h = kp_BT3_jscrh;
    // The lava's look is noise re-seeded from the clock each frame.
    m_chaserFrame = kp_app_Millisecs();
    kp_random_Seed = m_chaserFrame;
    p_ResetDraw();
    p_SetCol(180, 0, 0, 0.5f);
    if (front > 0) p_Rect(0, 0, front, h);
    p_ResetDraw();
    for (int i = 0; i < kLavaBlobs; ++i) {
        const float x = front - kp_random_Rnd() * 256.0f;
        const float y = kp_random_Rnd() * h;
        p_Alpha(0.4f + 0.6f * kp_random_Rnd());
        p_DrawImg(kImgBlocks, x, y, kFrameLavaBlob);
    }
    p_ResetDraw();
    p_SetSize(2.0f, 2.0f);
    for (float behind : kLavaColumns) {
        const float wobble = 4.0f * std::sin(m_chaserFrame * 0.01f + behind);
        for (float y = kLavaBlockStep / 2; y - kLavaBlockStep / 2 < h; y += kLavaBlockStep) {
            p_DrawImg(kImgBlocks, front - behind + wobble, y, kFrameLava);
        }
    }
    p_ResetDraw();

    const float ballX = m_ball[kX];
    if (ballX + kLavaReach < m_chaserX) {
        m_chaserX = static_cast<int>(ballX + kLavaReach);
        if (roundRuns()) {
            m_roundOver = kRoundCrashed;
            p_PlaySFX(kSfxCrash, 1.0f, 1.0f, 0);
        }
    }
    if (m_playFrames >= kStartDone && roundRuns() && m_goalFrames == 0) {
        m_chaserX = static_cast<int>(m_rollSpeed * kLavaPace + m_chaserX);
        if (m_chaserX < ballX - kLavaFar) m_chaserX += static_cast<int>(m_rollSpeed * kLavaBoost);
        if (m_chaserX < ballX - kLavaVeryFar) {
            m_chaserX += static_cast<int>(m_rollSpeed * kLavaBoost);
        }
    }
}
