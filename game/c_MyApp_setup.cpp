// Level set-up: p_LoadGame_Ball prepares a round of level m_level in a fixed order (round
// flags, orbiters and popups, camera, floor, stars, particles, decorations, the ball, the
// chaser, physics per theme, the level's kind, target and parameter, and the first 100
// spikes). The decorations' and stars' random draws come first on purpose: the chaser's draws
// that follow take their place in the generator's sequence after them.
#include <cmath>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_random.h"

namespace {
constexpr int kBadgeNoticeSlots = 13;

// SUPER orbiters (records of 4 floats) wait below the screen; popups wait past its right edge.
constexpr int kOrbiterRecords = 51;
constexpr int kOrbiterY = 2;
constexpr float kOrbiterRestY = -50.0f;
constexpr int kPopupRecords = 10;
constexpr int kPopupX = 1;
constexpr float kPopupParkedBeyond = 256.0f;

// Stars and particles of a round.
constexpr int kRoundStars = 50;
constexpr int kRoundStarsSparse = 20; // the bouncy and the mirrored themes
constexpr int kRoundParticles = 150;
constexpr int kParticleRecords = 510;
constexpr int kParticleStride = 10;

// Decorations: the layers up to 14 are in play; some themes use fewer or more.
constexpr int kRoundMisc = 14;
constexpr int kSeasideMisc = 2;
constexpr int kCollectablesMisc = 15;

// Chaser looks: a sheep frame 0..2 and a tilt of -16..16 degrees.
constexpr float kChaserFrames = 2.99f;
constexpr float kChaserTiltRange = 32.0f;
constexpr float kChaserTiltLow = 16.0f;
constexpr int kLavaStartX = 1024;

// Physics: the ordinary bounce, and the low, slow one of the moon theme.
constexpr float kBounceSpeed = 11.4f;
constexpr float kGravity = 0.36f;
constexpr float kRollSpeed = 10.0f;
constexpr float kMoonBounceSpeed = 7.8f;
constexpr float kMoonGravity = 0.15f;

constexpr int kCourseSpikes = 100;
} // namespace

int c_MyApp::p_LoadGame_Ball() {
    // 1. Round flags, badge notices and the music.
    m_paramShown = 0;
    m_paused = 0;
    m_endSoundDone = 0;
    m_comboTimerPrev = 0;
    for (int i = 0; i < kBadgeNoticeSlots; ++i) m_badgeTimers[i] = 0;
    m_paramReached = 0;
    p_StopTune();

    // 2. Orbiters and score popups out of sight.
    for (int i = 0; i < kOrbiterRecords; ++i) {
        m_orbiters[kOrbiterStride * i + kOrbiterY] = kOrbiterRestY;
    }
    for (int i = 0; i < kPopupRecords; ++i) {
        m_popups[kPopupStride * i + kPopupX] = kp_BT3_jscrw + kPopupParkedBeyond;
    }

    // 3. Score, camera and the playing screen.
    m_popupIndex = 0;
    m_score = 0;
    m_roundOver = 0;
    m_camX = 0;
    m_camY = 0;
    m_camTargetX = 0;
    m_camTargetY = 0;
    m_screen = kScreenPlay;
    m_resultsTimer = 0;

    // 4 to 7. Floor, stars, particles and decorations, in this order: their draws count.
    p_FindFloor();
    const bool sparse = m_theme == kThemeWoolly || m_theme == kThemeSpringy;
    p_ResetStars(sparse ? kRoundStarsSparse : kRoundStars);
    m_particleLast = kRoundParticles;
    for (int i = 0; i < kParticleRecords; ++i) m_particles[kParticleStride * i] = 0;
    placeRoundDecorations();

    // 8. The ball and the chaser at the start.
    p_ResetPlayers();
    m_ball[kBallX] = kBallStartX;
    m_ball[kBallFurthestX] = kBallStartX;
    m_chaserX = static_cast<int>(kBallStartX);

    // 9. The chaser's look, and one draw that is not used.
    m_chaserFrame = static_cast<int>(std::floor(kChaserFrames * kp_random_Rnd()));
    m_chaserTilt = static_cast<int>(kChaserTiltRange * kp_random_Rnd() - kChaserTiltLow);
    kp_random_Rnd();

    // 10. Chains and the goal.
    m_super = 0;
    m_leap = 0;
    m_goalFrames = 0;
    m_comboTimer = 0;
    m_bestLeap = 0;
    m_bestSuper = 0;

    // 11, 12. The theme's ball rules and physics.
    p_GfxRules(m_theme);
    const bool moon = m_theme == kThemeLunar;
    m_bounceSpeed = moon ? kMoonBounceSpeed : kBounceSpeed;
    m_gravity = moon ? kMoonGravity : kGravity;
    m_rollSpeed = kRollSpeed;

    // 13. The level's goal.
    m_target = m_levelTarget[m_level];
    m_pattern = m_levelPattern[m_level];
    m_kind = m_levelKind[m_level];
    m_param = m_levelParam[m_level];
    if (m_kind == kKindLavaChase) m_chaserX = kLavaStartX;
    if (m_param > 0) m_paramShown = m_param;

    // 14. The camera starts behind the ball.
    m_ball[kBallPrevXNeg] = -m_ball[kBallX];
    m_camX = m_ball[kBallX] - kCameraLead;
    m_camTargetX = m_camX;

    // 15. The course: spikes 1..100 fill slots 1..99 and then slot 0.
    m_ball[kBallBounces] = 0;
    m_ball[kBallLastSpikeSlot] = 0;
    m_ball[kBallSpikesAdded] = 0;
    m_ball[kBallNextSpikeX] = kCourseStartX;
    m_ball[kBallSpikeSpacing] = kSpikeSpacing;
    for (int i = 0; i < kCourseSpikes; ++i) p_AddSpike();

    // 16. The start sequence begins; the theme rules once more.
    m_playFrames = 0;
    p_GfxRules(m_theme);
    return 0;
}

void c_MyApp::placeRoundDecorations() {
    // Every placement up to the star count is made, even past m_miscLast: the generator's
    // sequence depends on their draws.
    auto placeAll = [this]() {
        for (int i = 0; i <= m_starCount; ++i) p_PutMisc(i, 1);
    };
    m_miscLast = kRoundMisc;
    placeAll();
    const int kind = m_levelKind[m_level];
    int themeMisc = 0;
    if (m_theme == kThemeSeaside) themeMisc = kSeasideMisc;
    if (m_theme == kThemeGhost) themeMisc = kCollectablesMisc;
    if (m_theme == kThemeFrostbite && (kind == kKindCollect || kind == kKindInfinity)) {
        themeMisc = kCollectablesMisc;
    }
    if (themeMisc > 0) {
        m_miscLast = themeMisc;
        placeAll();
    }
}
