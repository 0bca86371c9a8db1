// The spike course and the round's set-up: pinned courses of a patterned, a random, a Deja Vu,
// a Buttons and a Mega Spikes level (the values worked out from the generator by hand), the
// ring's order, the clock re-seeding, and the fields a set-up leaves for each theme and kind.
#include <cmath>
#include <string>
#include <vector>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game_fixture.h"
#include "runtime/kp_random.h"

namespace {
struct Spike {
    int number;
    int cls;
    int variant;
};
} // namespace

class CourseTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Start();
    }

    const float* slot(int s) const { return &app->m_spikes[s * kSpikeStride]; }
    // Spike k (1..100) after set-up lies in slot k mod 100.
    Spike spike(int k) const {
        const float* r = slot(k % kSpikeSlots);
        return {static_cast<int>(r[kSpikeNumber]), static_cast<int>(r[kSpikeClass]),
                static_cast<int>(r[kSpikeVariant])};
    }
    std::vector<int> classes(int first, int last) const {
        std::vector<int> out;
        for (int k = first; k <= last; ++k) out.push_back(spike(k).cls);
        return out;
    }
};

TEST_F(CourseTest, PatternedLevelsFollowTheirLettersThenTheGenerator) {
    setUp(1);
    EXPECT_EQ(classes(1, 14), (std::vector<int>{1, 1, 2, 1, 3, 3, 1, 2, 1, 1, 5, 7, 13, 8}));
    for (int k = 1; k <= 100; ++k) {
        const float* r = slot(k % kSpikeSlots);
        ASSERT_EQ(r[kSpikeNumber], k);
        EXPECT_EQ(r[kSpikeX], 2000.0f + 256.0f * k);
        EXPECT_EQ(r[kSpikeHead], (r[kSpikeClass] - 1) * 16);
    }
    EXPECT_NEAR(slot(11)[kSpikeParam], 2.5514f, 1e-4);
    EXPECT_EQ(app->m_ball[kBallLastSpikeSlot], 0);
    EXPECT_EQ(app->m_ball[kBallSpikesAdded], 100);
    EXPECT_EQ(app->m_ball[kBallNextSpikeX], 27600);
    EXPECT_EQ(app->m_ball[kBallSpikeSpacing], 256);

    // Eleven letters script eleven spikes.
    setUp(3);
    EXPECT_EQ(classes(1, 11), (std::vector<int>{14, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_F(CourseTest, ARandomLevelIsTheSameOnEveryPlayWhateverTheClock) {
    host->SetTime(12.345);
    setUp(12);
    const std::vector<int> first = {10, 13, 11, 9, 13, 8};
    EXPECT_EQ(classes(1, 6), first);
    EXPECT_NEAR(slot(2)[kSpikeParam], 3.7583f, 1e-4);
    const std::vector<int> whole = classes(1, 100);

    host->SetTime(987.5);
    kp_random_Seed = 42;
    setUp(12);
    EXPECT_EQ(classes(1, 100), whole);
}

TEST_F(CourseTest, EachSpikeLeavesTheGeneratorSeededFromTheClock) {
    setUp(12);
    host->SetTime(4.321);
    app->p_AddSpike();
    kp_random_Seed = 4321;
    for (int i = 0; i < 11; ++i) kp_random_Rnd();
    const int expected = kp_random_Seed;
    kp_random_Seed = 4321;
    app->p_AddSpike();
    EXPECT_EQ(kp_random_Seed, expected);

    // The spikes beyond the first hundred go round the ring.
    EXPECT_EQ(slot(1)[kSpikeNumber], 101);
    EXPECT_EQ(slot(2)[kSpikeNumber], 102);
    EXPECT_EQ(slot(2)[kSpikeX], 2000.0f + 256.0f * 102);
}

TEST_F(CourseTest, DejaVuRepeatsEveryFifthSpikeAndLogsEachSeed) {
    testing::internal::CaptureStdout();
    setUp(43);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(classes(1, 5), (std::vector<int>{13, 10, 14, 7, 13}));
    EXPECT_EQ(classes(6, 10), classes(1, 5));
    EXPECT_EQ(classes(11, 15), classes(1, 5));
    EXPECT_EQ(log.rfind("215:43:1\n258:86:2\n301:129:3\n344:172:4\n172:0:5\n215:43:6\n", 0), 0u)
        << log.substr(0, 80);
    EXPECT_NE(log.find("\n215:43:96\n"), std::string::npos);
    EXPECT_NE(log.find("\n172:0:100\n"), std::string::npos);
}

TEST_F(CourseTest, DejaVuWithATargetBelowThreeRepeatsOneSpike) {
    app->m_levelTarget[43] = 2;
    testing::internal::CaptureStdout();
    setUp(43);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(classes(2, 6), std::vector<int>(5, spike(1).cls));
}

TEST_F(CourseTest, ButtonsLevelsWallAboutHalfTheirSpikes) {
    setUp(93);
    const std::vector<Spike> expected = {{1, 5, 0}, {2, 2, 0}, {3, 2, 0}, {4, 13, 0},
                                         {5, 1, 0}, {6, 2, 3}, {7, 7, 3}, {8, 8, 3}};
    for (const Spike& e : expected) {
        const Spike s = spike(e.number);
        EXPECT_EQ(s.cls, e.cls) << "spike " << e.number;
        EXPECT_EQ(s.variant, e.variant) << "spike " << e.number;
    }
    EXPECT_EQ(slot(6)[kSpikeParam], 0) << "a wall has no parameter";
    EXPECT_NEAR(slot(1)[kSpikeParam], 3.6967f, 1e-4);
}

TEST_F(CourseTest, MegaSpikesGrowPillarsOnlyOnTheMiddleClasses) {
    setUp(142);
    const std::vector<Spike> expected = {{1, 13, 0}, {2, 7, 2}, {3, 5, 1}, {4, 9, 2}, {5, 9, 2},
                                         {6, 12, 0}, {7, 4, 0}, {8, 1, 0}, {9, 13, 0}};
    for (const Spike& e : expected) {
        const Spike s = spike(e.number);
        EXPECT_EQ(s.cls, e.cls) << "spike " << e.number;
        EXPECT_EQ(s.variant, e.variant) << "spike " << e.number;
    }
    for (int k = 1; k <= 100; ++k) {
        const Spike s = spike(k);
        if (s.variant == kVariantPillarDown) {
            EXPECT_TRUE(s.cls > 4 && s.cls < 9) << k;
        }
        if (s.variant == kVariantPillarUp) {
            EXPECT_TRUE(s.cls > 5 && s.cls < 10) << k;
        }
        EXPECT_EQ(slot(k % kSpikeSlots)[kSpikeParam], 0);
    }
}

TEST_F(CourseTest, InfinityOnThePillarThemeKeepsItsHeightsButNotItsPillars) {
    auto variants = [this]() {
        std::vector<int> out;
        for (int k = 1; k <= 100; ++k) out.push_back(spike(k).variant);
        return out;
    };
    host->SetTime(10.0);
    setUp(150);
    const std::vector<int> heights = classes(1, 100);
    const std::vector<int> pillars = variants();
    host->SetTime(20.007);
    setUp(150);
    EXPECT_EQ(classes(1, 100), heights);
    EXPECT_NE(variants(), pillars);
    // Other Infinity levels have no pillars.
    setUp(140);
    EXPECT_EQ(variants(), std::vector<int>(100, 0));
}

TEST_F(CourseTest, TheSparkleThemeShowsNoSpikeOfTheTwoLowestClasses) {
    setUp(115);
    int raised = 0;
    for (int k = 1; k <= 100; ++k) {
        EXPECT_GE(spike(k).cls, 3) << k;
        if (spike(k).cls == 7) ++raised;
    }
    EXPECT_GT(raised, 10) << "classes 1 and 2 become 7";
}

// ---- Set-up

TEST_F(CourseTest, SetUpStartsAFreshRoundWhateverTheLastOneLeft) {
    app->m_score = 77;
    app->m_roundOver = 10;
    app->m_goalFrames = 40;
    app->m_super = 5;
    app->m_bestSuper = 9;
    app->m_paused = 1;
    app->m_resultsTimer = 90;
    app->m_paramReached = 1;
    app->m_endSoundDone = 1;
    app->m_badgeTimers[12] = 5;
    app->m_badgeTimers[13] = 5;
    app->m_ball[kBallPassed] = 33;
    app->m_ball[kBallCollected] = 3;
    app->m_particles[500 * 10] = 1;
    app->m_popups[9 * 10 + 1] = 100;
    setUp(13);

    EXPECT_EQ(app->m_screen, kScreenPlay);
    EXPECT_EQ(app->m_score, 0);
    EXPECT_EQ(app->m_roundOver, 0);
    EXPECT_EQ(app->m_goalFrames, 0);
    EXPECT_EQ(app->m_super, 0);
    EXPECT_EQ(app->m_bestSuper, 0);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_resultsTimer, 0);
    EXPECT_EQ(app->m_paramReached, 0);
    EXPECT_EQ(app->m_endSoundDone, 0);
    EXPECT_EQ(app->m_playFrames, 0);
    EXPECT_EQ(app->m_badgeTimers[12], 0);
    EXPECT_EQ(app->m_badgeTimers[13], 5) << "only the 13 notice slots are cleared";
    EXPECT_EQ(app->m_ball[kBallPassed], 0);
    EXPECT_EQ(app->m_ball[kBallCollected], 0);
    EXPECT_EQ(app->m_particleLast, 150);
    EXPECT_EQ(app->m_particles[500 * 10], 0);
    EXPECT_EQ(app->m_popups[9 * 10 + 1], 640 + 256);
    EXPECT_EQ(app->m_orbiters[50 * 4 + 2], -50);

    EXPECT_EQ(app->m_kind, kKindSuper);
    EXPECT_EQ(app->m_target, 20);
    EXPECT_EQ(app->m_param, 4);
    EXPECT_EQ(app->m_paramShown, 4);
    EXPECT_EQ(app->m_ball[kBallX], 2048);
    EXPECT_EQ(app->m_ball[kBallFurthestX], 2048);
    EXPECT_EQ(app->m_ball[kBallPrevXNeg], -2048);
    EXPECT_EQ(app->m_camX, 1920);
    EXPECT_EQ(app->m_camTargetX, 1920);
    EXPECT_EQ(app->m_chaserX, 2048);

    // A level without a parameter shows none, whatever the last round showed.
    setUp(12);
    EXPECT_EQ(app->m_paramShown, 0);
}

TEST_F(CourseTest, ThemesAndTheLavaChaseSetTheirOwnStart) {
    setUp(61); // theme 5: the ordinary bounce
    EXPECT_EQ(app->m_theme, 5);
    EXPECT_EQ(app->m_bounceSpeed, 11.4f);
    EXPECT_EQ(app->m_gravity, 0.36f);

    setUp(121); // theme 13: low and slow
    EXPECT_EQ(app->m_bounceSpeed, 7.8f);
    EXPECT_EQ(app->m_gravity, 0.15f);
    EXPECT_EQ(app->m_rollSpeed, 10.0f);

    setUp(22); // theme 3 allows rolling back; the mirrored theme keeps that
    setUp(131);
    EXPECT_EQ(app->m_theme, 16);
    EXPECT_EQ(app->m_allowBack, 1);
    EXPECT_EQ(app->m_bounceSpeed, 11.4f);

    setUp(73);
    EXPECT_EQ(app->m_kind, kKindLavaChase);
    EXPECT_EQ(app->m_chaserX, 1024);
    setUp(23);
    EXPECT_EQ(app->m_chaserX, 2048);
}

TEST_F(CourseTest, TheChasersLookFollowsTheStarsAndEveryScenePlacementOfItsTheme) {
    struct Scene {
        int level;
        int stars;
        int passes; // placements of every decoration up to the star count
        int miscLast;
    };
    const Scene scenes[] = {{61, 50, 1, 14}, {21, 20, 1, 14},  {131, 20, 1, 14}, {51, 50, 2, 2},
                            {91, 50, 2, 15}, {101, 50, 1, 14}, {103, 50, 2, 15}, {110, 50, 2, 15}};
    for (const Scene& s : scenes) {
        SCOPED_TRACE(::testing::Message() << "level " << s.level);
        app->m_theme = app->m_levelTheme[s.level];
        kp_random_Seed = 777;
        app->p_ResetStars(s.stars);
        for (int pass = 0; pass < s.passes; ++pass) {
            for (int i = 0; i <= s.stars; ++i) app->p_PutMisc(i, 1);
        }
        const int frame = static_cast<int>(std::floor(2.99f * kp_random_Rnd()));
        const int tilt = static_cast<int>(32.0f * kp_random_Rnd() - 16.0f);

        setUp(103); // a Collect level last: the scene follows the new level's kind
        kp_random_Seed = 777;
        setUp(s.level);
        EXPECT_EQ(app->m_starCount, s.stars);
        EXPECT_EQ(app->m_miscLast, s.miscLast);
        EXPECT_EQ(app->m_chaserFrame, frame);
        EXPECT_EQ(app->m_chaserTilt, tilt);
    }
}
