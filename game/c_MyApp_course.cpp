// The spike course: p_AddSpike appends the next spike to the ring of 100 records. Each
// spike's height is drawn from the framework's generator seeded from the level and the spike's
// place, so a level's course is the same on every play; a pattern of letters scripts the first
// spikes of some levels, and the Buttons, Mega Spikes and Deja Vu kinds shape it further. After
// each spike the generator is seeded from the clock again so the frame's effects stay random.
#include <cmath>
#include <cstdio>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_error.h"
#include "runtime/kp_random.h"

namespace {
// Seeding: the draws skipped after seeding are (n mod kSkipModulus) + 1, with n from the
// level and the spike number.
constexpr int kSkipModulus = 2357;
constexpr int kSkipBase = 127;
constexpr int kSkipOffset = 19;
constexpr int kInfinityReseedSkips = 5; // Infinity on the pillar theme
constexpr int kClockReseedSkips = 11;

// Height classes: a draw spread over 1..14; pattern letters count from "A" as 1.
constexpr float kClassSpread = 13.99f;
constexpr int kPatternBase = 64;
constexpr int kSparkleLowestClass = 3;
constexpr int kSparkleRaisedClass = 7;

// Variants: walls on about half the Buttons spikes; pillars on the middle classes.
constexpr float kChanceScale = 10.0f;
constexpr float kWallChance = 5.0f;
constexpr float kPillarChance = 8.0f;
constexpr int kPillarDownAbove = 4, kPillarDownBelow = 9;
constexpr int kPillarUpAbove = 5, kPillarUpBelow = 10;

// A float truncated toward zero and taken modulo 2^32, as the generator's seed holds it.
int seedFrom(double value) {
    double wrapped = std::fmod(std::trunc(value), 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    return static_cast<int>(static_cast<unsigned int>(wrapped));
}

void skipDraws(int count) {
    for (int i = 0; i < count; ++i) kp_random_Rnd();
}

// The Deja Vu diagnostic: seed, spike number in the period and spike number, ":" between.
void logDejaVu(int seed, int n, float c) {
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", static_cast<double>(c));
    kpDebugLog(kpIntToString(seed) + u":" + kpIntToString(n) + u":" + kpS(number));
}
} // namespace

int c_MyApp::p_AddSpike() {
    // 1. The next slot of the ring, the spike's number and its x.
    const int slot = (static_cast<int>(m_ball[kBallLastSpikeSlot]) + 1) % kSpikeSlots;
    m_ball[kBallLastSpikeSlot] = static_cast<float>(slot);
    m_ball[kBallSpikesAdded] += 1.0f;
    m_ball[kBallNextSpikeX] += m_ball[kBallSpikeSpacing];
    const float c = m_ball[kBallSpikesAdded];
    const float x = m_ball[kBallNextSpikeX];
    const float level = static_cast<float>(m_level);

    // 2. Seed from the level and x; Deja Vu seeds from the place within its period instead,
    // so its course repeats every m_target / 3 spikes.
    int n;
    if (m_kind == kKindDejaVu) {
        // A period below one spike would divide by zero; it becomes one spike.
        const int period = m_target / 3 > 0 ? m_target / 3 : 1;
        const float k = std::fmod(c, static_cast<float>(period));
        const int seed = seedFrom(4.0f * level + level * k);
        n = seedFrom(level * k);
        kp_random_Seed = seed;
        logDejaVu(seed, n, c);
    } else {
        kp_random_Seed = seedFrom(4.0f * level + level * x);
        n = static_cast<int>(std::fmod(3.0f * level + c, static_cast<float>(kSkipBase)) +
                             static_cast<float>(kSkipOffset));
    }

    // 3. Skip a level-dependent run of draws.
    skipDraws(n % kSkipModulus + 1);

    // 4, 5. The height class: random, or the pattern's letter while the pattern lasts.
    float* spike = &m_spikes[kSpikeStride * slot];
    int cls = static_cast<int>(std::floor(kClassSpread * kp_random_Rnd() + 1.0f));
    const int index = static_cast<int>(c) - 1;
    if (index >= 0 && index < static_cast<int>(m_pattern.size())) {
        cls = static_cast<int>(m_pattern[index]) - kPatternBase;
    }
    if (m_theme == kThemeStarlight && cls < kSparkleLowestClass) cls = kSparkleRaisedClass;

    // 6. Place it.
    spike[kSpikeClass] = static_cast<float>(cls);
    spike[kSpikeX] = x;
    spike[kSpikeHead] = static_cast<float>(cls - 1) * kHeadStep;
    spike[kSpikeVariant] = kVariantPlain;
    const float r = kp_random_Rnd();
    spike[kSpikeParam] = 2.0f * r + 2.0f;

    // 7. Variants by kind.
    const bool pillarInfinity = m_kind == kKindInfinity && m_theme == kThemePirate;
    if (m_kind == kKindButtons) {
        if (kChanceScale * kp_random_Rnd() < kWallChance) {
            spike[kSpikeVariant] = kVariantWall;
            spike[kSpikeParam] = 0;
        }
    } else if (m_kind == kKindMegaSpikes || pillarInfinity) {
        if (pillarInfinity) {
            // This level's pillars differ on every play.
            kp_random_Seed = seedFrom(level * x + static_cast<float>(kp_app_Millisecs()));
            skipDraws(kInfinityReseedSkips);
        }
        spike[kSpikeVariant] = kVariantPlain;
        spike[kSpikeParam] = 0;
        if (cls > kPillarDownAbove && cls < kPillarDownBelow &&
            kChanceScale * kp_random_Rnd() < kPillarChance) {
            spike[kSpikeVariant] = kVariantPillarDown;
        }
        if (cls > kPillarUpAbove && cls < kPillarUpBelow &&
            kChanceScale * kp_random_Rnd() < kPillarChance) {
            spike[kSpikeVariant] = kVariantPillarUp;
        }
    }

    // 8. Its number along the course.
    spike[kSpikeNumber] = c;

    // 9. The frame's own randomness comes from the clock again.
    kp_random_Seed = kp_app_Millisecs();
    skipDraws(kClockReseedSkips);
    return 0;
}
