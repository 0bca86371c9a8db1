// One frame of the round (p_Game_Ball) in its order, and the steps that move the ball: input,
// the speed overrides, the camera, the glow, the combo timer, rolling with its 2048-pixel
// limit behind, the bounce, and the ball's histories; plus the floor geometry (p_FindFloor).
// Drawing lives in c_MyApp_scene.cpp, spikes in c_MyApp_spikes.cpp, chasers and the
// start/end sequences in c_MyApp_chasers.cpp and c_MyApp_hud.cpp. No allocation here.
#include <algorithm>
#include <cmath>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_random.h"

using namespace bt3ball;

namespace {

// Floor geometry.
constexpr float kFloorTop = 352.0f; // the screen height above this is margin
constexpr int kMaxMargin = 64;
constexpr int kRowHeight = 64;
constexpr float kGroundAboveFloor = 48.0f; // ground line above the lowest row's centre
constexpr float kTiltLift = 32.0f;         // pixels of ground drop per unit of tilt

// Input and motion.
constexpr int kActionLeft = 3;
constexpr int kActionRight = 5;
constexpr float kAnalogueRoll = 0.5f;
constexpr float kDrift = 0.15f;       // theme 5: share of the roll speed without input
constexpr float kBackLimit = 2048.0f; // furthest the ball may go behind its best x
constexpr float kCameraEase = 0.125f;
constexpr float kGlowEase = 1.0f / 24.0f;
constexpr float kGlowFade = 0.04f;
constexpr float kGlowFloor = 0.15f;
constexpr float kGlowBounce = 1.5f;
constexpr float kComboTick = 0.94f;
constexpr float kComboEnds = 1.0f;
constexpr float kFrameStep = 0.5f;      // animation frames per frame, 14-frame cycle
constexpr float kFrameStepFrog = 0.15f; // ball style 5, 10-frame cycle
constexpr int kFrameCycle = 14;
constexpr int kFrameCycleFrog = 10;
constexpr int kSpinDivisor = 3; // milliseconds per degree of spin

// Bounce effects.
constexpr int kBurstParticles = 36;
constexpr int kSplashMagma = 32;
constexpr int kSplashWater = 16;
constexpr int kParticleFalling = 2;

bool randomPitchTheme(int theme) {
    return theme == kThemeMagma || theme == kThemeLilypad || theme == kThemeWoolly;
}

} // namespace

int c_MyApp::p_FindFloor() {
    const int margin = std::min(static_cast<int>(kp_BT3_jscrh - kFloorTop), kMaxMargin);
    m_floorRows = static_cast<int>((kp_BT3_jscrh - margin) / kRowHeight);
    m_floorY = static_cast<float>(m_floorRows * kRowHeight - kRowHeight / 2);
    m_restY = static_cast<int>(m_floorY - kGroundAboveFloor);
    m_groundY = static_cast<int>(m_floorY - kGroundAboveFloor);
    if (m_tilt > 0) m_groundY += static_cast<int>(m_tilt * kTiltLift);
    return 0;
}

int c_MyApp::p_Game_Ball() {
    p_DoBG(-123, -123, -123, -123.0f); // keep the theme's colour, full alpha
    p_AnalogueControl();
    p_ResetDraw();
    p_FindFloor();
    readPlayInput();
    overrideSpeed();
    easeCamera();
    const float floorAlpha = easeGlow();
    beginWorld();
    drawBackdrop(floorAlpha);
    runComboTimer();
    p_DoMisc(m_ball[kCamStepX] + miscSway(), 0, 0);
    moveBall();
    if (roundRuns()) bounceBall();
    recordBallHistory();
    drawBall(floorAlpha);
    runOrbiters();
    runSpikes(floorAlpha);
    endWorld();
    beginSlope();
    p_DoMisc(m_ball[kCamStepX], 0, 1);
    endWorld();
    drawPassValues();
    p_DoParticles();
    runChasers();
    runStartSequence();
    runPopups();
    runEndChecks();
    drawScoreLine();
    // The mirror of theme 16 covers the play field only: overlays drawn after this frame
    // (pause control, panels, badges) read and take touches the right way round.
    if (m_theme == kThemeWoolly) p_Bend(0, 0);
    return 0;
}

bool c_MyApp::roundRuns() const {
    return m_roundOver == 0;
}

// The sloped themes shear the world as it is drawn (y' = y + factor * x). Every world y on
// screen (ball, spike heads, labels, buttons) is raised by its screen x times the factor,
// which cancels the shear: ball, spikes and labels sit on horizontal lines and only the floor
// and the scenery slope. The ball meets the floor because of the tilt, which lowers the ground
// line on themes 2 and 10 to where the sloped floor passes under the ball; theme 3's slope is
// slight enough to need none.
float c_MyApp::slopeFactor() const {
    switch (m_theme) {
    case kThemeCrosswind:
        return 0.15f;
    case kThemeSpringy:
        return 0.025f;
    case kThemeGhost:
        return -0.05f;
    default:
        return 0.0f;
    }
}

void c_MyApp::readPlayInput() {
    float& speed = m_ball[kSpeed];
    speed = 0;
    m_goHeld = m_pointerDown + p_PlayKey(kActionRight, 1, 0) + p_PlayKey(kButtonA, 1, 0);
    if (m_analogX > kAnalogueRoll) m_goHeld = 1;
    if (m_goHeld != 0) speed = m_rollSpeed;
    const bool back = p_PlayKey(kActionLeft, 1, 0) != 0 || p_PlayKey(kButtonX, 1, 0) != 0 ||
                      m_analogX < -kAnalogueRoll;
    if (m_allowBack == 1 && back) speed = -m_rollSpeed; // back wins over forward
}

void c_MyApp::overrideSpeed() {
    float& speed = m_ball[kSpeed];
    if (m_theme == kThemeLilypad && speed == 0) {
        speed = kDrift * m_rollSpeed;
        m_super = 0;
    }
    // A press still held since the round started or resumed, the start sequence and a round
    // that is over all keep the ball where it is.
    const bool latched = m_backLatch != 0 || m_pointerLatch != 0;
    if (latched || m_playFrames < kStartDone || m_roundOver != 0) speed = 0;
}

void c_MyApp::easeCamera() {
    m_ball[kCamStepX] = (m_camX - m_camTargetX) * kCameraEase;
    m_ball[kCamStepY] = (m_camY - m_camTargetY) * kCameraEase;
    m_camX -= m_ball[kCamStepX];
    m_camY -= m_ball[kCamStepY];
}

float c_MyApp::easeGlow() {
    const float floorAlpha = m_theme == kThemeMagma ? std::min(m_ball[kGlow], 1.0f) : 1.0f;
    m_ball[kGlow] += (m_ball[kGlowTarget] - m_ball[kGlow]) * kGlowEase;
    m_ball[kGlowTarget] = std::max(m_ball[kGlowTarget] - kGlowFade, kGlowFloor);
    return floorAlpha;
}

void c_MyApp::runComboTimer() {
    if (roundRuns()) m_comboTimer -= kComboTick;
    if (m_comboTimer < kComboEnds) {
        if (m_comboTimerPrev > 0) p_PlaySFX(kSfxComboEnd, 1.0f, 1.0f, 0);
        m_comboTimer = 0;
        m_super = 0;
        m_leap = 0;
    }
    m_comboTimerPrev = m_comboTimer;
}

void c_MyApp::moveBall() {
    float& x = m_ball[kX];
    float& speed = m_ball[kSpeed];
    const float before = x;
    m_ball[kSpeedCopy] = speed;
    m_ball[kNegPrevX] = -x;
    x += speed;
    if (speed == 0) m_super = 0;
    m_ball[kFurthest] = std::max(m_ball[kFurthest], x);
    if (x < m_ball[kFurthest] - kBackLimit) {
        // The limit behind: the ball stands, so the chain breaks as with any stop.
        x = m_ball[kFurthest] - kBackLimit;
        speed = 0;
        m_super = 0;
    }
    m_camTargetX = before - kCameraLead;
}

void c_MyApp::bounceBall() {
    const float r = kp_random_Rnd(); // drawn every frame, used on three themes
    const float pitch = randomPitchTheme(m_theme) ? 0.7f + 0.6f * r : 1.0f;
    float& height = m_ball[kHeight];
    float& velocity = m_ball[kVelY];
    height -= velocity;
    velocity = std::min(velocity + m_gravity, m_bounceSpeed);
    if (height >= 0) return;

    m_ball[kSplash] = 6.0f;
    const int passed = static_cast<int>(m_ball[kLastPassed]);
    if (passed > 0 && passed < m_target) {
        m_ball[kBounces] += 1;
        m_num = m_param - static_cast<int>(m_ball[kBounces]);
    }
    // Counted afresh rather than from m_num, which holds another counter before the first
    // counted bounce of a round.
    const int bouncesLeft = m_param - static_cast<int>(m_ball[kBounces]);
    if (m_kind == kKindBounces && bouncesLeft < 1 && m_ball[kBurst] == 0) burstBall();
    height = 0;
    velocity = -m_bounceSpeed;
    p_PlaySFX(kSfxBounce, pitch, 1.0f, 0);

    int splash = 0;
    int colour = 9;
    if (m_theme == kThemeMagma) {
        splash = kSplashMagma;
        colour = 2;
    } else if (m_theme == kThemeLilypad || m_theme == kThemeFrostbite) {
        splash = kSplashWater;
        colour = m_theme == kThemeLilypad ? 5 : 9;
    }
    const float wx = m_ball[kX];
    const float wy = m_groundY + m_camY;
    for (int i = 0; i < splash; ++i) {
        p_ThrowParticle(wx, wy, kParticleFalling, colour, kNotGiven, kNotGiven);
    }
    m_ball[kGlowTarget] = kGlowBounce;
}

void c_MyApp::burstBall() {
    m_ball[kBurst] = 1;
    const float wx = m_ball[kX];
    const float wy = m_groundY - m_ball[kHeight] + m_camY;
    for (int i = 0; i < kBurstParticles; ++i) {
        p_ThrowParticle(wx, wy, kParticleFalling, 1 + i % 8, kNotGiven, kNotGiven);
    }
    p_PlaySFX(kSfxBurst, 1.0f, 1.0f, 0);
    p_PlaySFX(kSfxCrash, 1.0f, 1.0f, 0);
}

void c_MyApp::recordBallHistory() {
    if (m_trail != 0) {
        for (int i = 0; i < kHistLen - 1; ++i) {
            m_ball[kHistX + i] = m_ball[kHistX + i + 1];
            m_ball[kHistSpin + i] = m_ball[kHistSpin + i + 1];
            m_ball[kHistY + i] = m_ball[kHistY + i + 1];
            m_ball[kHistFrame + i] = m_ball[kHistFrame + i + 1];
        }
    }
    const int newest = kHistLen - 1;
    m_ball[kHistX + newest] = m_ball[kX];
    m_ball[kHistY + newest] = m_groundY - m_ball[kHeight];
    if (roundRuns() && m_goalFrames == 0) {
        // Spin and frame animation freeze once the round ends or the goal is passed.
        m_ball[kHistSpin + newest] = static_cast<float>(kp_app_Millisecs() / kSpinDivisor % 360);
        const bool frog = m_ballStyle == kStyleFrog;
        float& frame = m_ball[kHistFrame + newest];
        frame = std::fmod(frame + (frog ? kFrameStepFrog : kFrameStep),
                          static_cast<float>(frog ? kFrameCycleFrog : kFrameCycle));
    }
    m_ball[kScreenX] = m_ball[kX] - m_camX;
    m_ball[kScreenY] = m_groundY - m_ball[kHeight] - m_ball[kScreenX] * slopeFactor();
}
