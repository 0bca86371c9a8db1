// Effects: the count of random draws each operation takes (level set-up and the menu replay
// the generator's sequence), particle motion and life, star wrapping, the placement and
// drawing of decorations, collectable items, and the ink colours.
#include <cmath>
#include <cstdint>
#include <functional>

#include "game_fixture.h"
#include "runtime/kp_random.h"

namespace {

constexpr int kStride = 10;
constexpr int kNeverMore = 1000000;

// How many generator steps lead from one seed to another (-1 when none within reach).
int stepsBetween(int from, int to) {
    uint32_t seed = static_cast<uint32_t>(from);
    for (int n = 0; n < kNeverMore; ++n) {
        if (static_cast<int>(seed) == to) return n;
        seed = seed * 1664525u + 1013904223u;
    }
    return -1;
}

int drawsOf(const std::function<void()>& run) {
    const int before = kp_random_Seed;
    run();
    return stepsBetween(before, kp_random_Seed);
}

const float* command(const c_MyApp* app, int index) {
    return &app->m_drawList[index * 15];
}

int commandCount(const c_MyApp* app) {
    return app->m_drawCount / 15;
}

class EffectsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        app->m_restY = 400;
        app->m_groundY = 420;
        app->p_CLS2D(kNotGiven, 0, 0, 0);
    }
    float* particle(int i) { return &app->m_particles[i * kStride]; }
    float* star(int i) { return &app->m_stars[i * kStride]; }
    float* misc(int i) { return &app->m_misc[i * kStride]; }
};

} // namespace

TEST_F(EffectsTest, ResettingStarsTakesSixDrawsAStarAndSevenOnTheSpinningTheme) {
    struct Case {
        int theme, perStar;
    };
    for (Case c : {Case{1, 6}, Case{4, 6}, Case{7, 6}, Case{12, 7}, Case{16, 6}}) {
        app->m_theme = c.theme;
        EXPECT_EQ(drawsOf([&] { app->p_ResetStars(50); }), 51 * c.perStar) << c.theme;
        EXPECT_EQ(app->m_starCount, 50);
    }
    app->m_theme = 4;
    app->p_ResetStars(20);
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(star(i)[3], 0.5f);
    app->m_theme = 7;
    app->p_ResetStars(20);
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(star(i)[6], 0.0f);
    app->m_theme = 12;
    app->p_ResetStars(20);
    for (int i = 0; i <= 20; ++i) EXPECT_GE(star(i)[6], 1.0f);
}

TEST_F(EffectsTest, ResetsIgnoreCountsOutsideOneTo499) {
    for (int n : {0, 500, -3}) {
        app->p_ResetStars(n);
        app->p_ResetMisc(n);
        app->p_ResetParticles(n);
    }
    EXPECT_EQ(app->m_starCount, 100);
    EXPECT_EQ(app->m_miscLast, 20);
    EXPECT_EQ(app->m_particleLast, 250);
    app->p_ResetStars(499);
    app->p_ResetMisc(499);
    app->p_ResetParticles(1);
    EXPECT_EQ(app->m_starCount, 499);
    EXPECT_EQ(app->m_miscLast, 499);
    EXPECT_EQ(app->m_particleLast, 1);

    // A negative index leaves nothing to do.
    app->m_starCount = -1;
    EXPECT_EQ(drawsOf([&] { app->p_ResetStars(0); }), 0);
    EXPECT_EQ(drawsOf([&] { app->p_ResetMisc(0); }), 0);
}

TEST_F(EffectsTest, PlacingADecorationTakesTheDrawsOfItsLayerAndTheme) {
    // Seven draws always (one discarded); then by layer, theme and whether it enters.
    struct Case {
        int i, theme, initial, draws;
    };
    const Case cases[] = {
        {0, 2, 1, 7},    {0, 2, 0, 8},    {0, 1, 1, 8},    {4, 3, 1, 8},    {0, 4, 0, 9},
        {0, 10, 1, 9},   {0, 10, 0, 10},  {0, 13, 1, 8},   {0, 6, 1, 10},   {0, 6, 0, 11},
        {20, 12, 1, 7},  {5, 2, 1, 7},    {9, 13, 1, 8},   {5, 13, 0, 9},   {10, 2, 1, 9},
        {14, 11, 0, 10}, {15, 10, 1, 10}, {19, 11, 1, 11}, {15, 11, 0, 12},
    };
    for (const Case& c : cases) {
        app->m_theme = c.theme;
        EXPECT_EQ(drawsOf([&] { app->p_PutMisc(c.i, c.initial); }), c.draws)
            << "record " << c.i << " theme " << c.theme << " initial " << c.initial;
    }
}

TEST_F(EffectsTest, ResettingDecorationsPlacesRecordsUpToTheStarIndex) {
    app->m_theme = 10;
    app->m_starCount = 30;
    // 0..4 and 20..30 ground (9 each), 5..9 buried (7), 10..14 deep (9), 15..19 air (10).
    const int expected = 16 * 9 + 5 * 7 + 5 * 9 + 5 * 10;
    EXPECT_EQ(drawsOf([&] { app->p_ResetMisc(14); }), expected);
    EXPECT_EQ(app->m_miscLast, 14);
    EXPECT_EQ(misc(30)[9], 1.0f) << "placed beyond the last record in use";
}

TEST_F(EffectsTest, DecorationsStandWhereTheirLayerPutsThem) {
    app->m_theme = 2;
    app->p_PutMisc(3, 0); // ground prop entering from the right
    EXPECT_EQ(misc(3)[9], 1.0f);
    EXPECT_GE(misc(3)[0], 14.0f);
    EXPECT_LE(misc(3)[0], 17.0f);
    EXPECT_GE(misc(3)[1], 640 + 96.0f);
    EXPECT_LE(misc(3)[1], 640 + 192.0f);
    EXPECT_EQ(misc(3)[2], 384.0f);
    EXPECT_EQ(misc(3)[3], 0.9f);
    EXPECT_EQ(misc(3)[5], 0.0f);
    EXPECT_EQ(misc(3)[6], 0.0f);
    EXPECT_EQ(misc(3)[7], 2.0f);

    app->m_theme = 6; // rocks in the water keep a rocking spin
    app->p_PutMisc(0, 1);
    EXPECT_NEAR(misc(0)[2], 419.0f, 6.01f);
    EXPECT_GE(misc(0)[6], 2.0f);
    EXPECT_EQ(misc(0)[5], 0.0f);

    app->m_theme = 12;
    app->p_PutMisc(7, 1);
    EXPECT_EQ(misc(7)[9], 2.0f);
    EXPECT_EQ(misc(7)[2], 384.0f);
    EXPECT_EQ(misc(7)[3], 1.0f);

    app->m_theme = 11;
    app->p_PutMisc(17, 1);
    EXPECT_EQ(misc(17)[9], 5.0f);
    EXPECT_EQ(misc(17)[0], 70.0f);
    EXPECT_EQ(misc(17)[7], 1.0f);
    EXPECT_LE(misc(17)[2], 400 - 160.0f);
    EXPECT_GE(misc(17)[2], 400 - 192.0f);
}

TEST_F(EffectsTest, ThrowingTakesItsDrawsAndDoesNothingWithEveryRecordBusy) {
    EXPECT_EQ(drawsOf([&] { app->p_ThrowParticle(0, 0, 1, 1, kNotGiven, kNotGiven); }), 6);
    EXPECT_EQ(drawsOf([&] { app->p_ThrowParticle(0, 0, 1, 1, 90, 4); }), 4);
    EXPECT_EQ(app->p_FreeParticle(), 2480) << "the last free record is taken first";

    for (int i = 0; i <= 250; ++i) particle(i)[0] = 3;
    particle(251)[0] = 0; // beyond the last record in use
    EXPECT_EQ(app->p_FreeParticle(), -1);
    const auto before = app->m_particles;
    EXPECT_EQ(drawsOf([&] { app->p_ThrowParticle(5, 5, 2, 1, kNotGiven, kNotGiven); }), 2);
    EXPECT_EQ(drawsOf([&] { app->p_ThrowParticle(5, 5, 2, 1, 10, 3); }), 0);
    EXPECT_EQ(app->m_particles, before);

    particle(17)[0] = 0;
    EXPECT_EQ(app->p_FreeParticle(), 170);
    app->p_ResetParticles(100);
    EXPECT_EQ(app->p_FreeParticle(), 1000);
    EXPECT_EQ(particle(101)[0], 3.0f) << "records beyond the new index stay as they are";
}

TEST_F(EffectsTest, ParticlesMoveAlongTheirAngleAndFallingKindsCurveDown) {
    app->p_ResetParticles(1);
    app->m_camX = 100;
    app->m_camY = 50;
    app->p_ThrowParticle(200, 300, 1, 4, 90, 4); // record 1
    app->p_ThrowParticle(200, 300, 2, 4, 90, 4); // record 0
    for (int f = 0; f < 3; ++f) {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        app->p_DoParticles();
    }
    EXPECT_NEAR(particle(1)[1], 212.0f, 1e-4f);
    EXPECT_NEAR(particle(1)[2], 300.0f, 1e-4f);
    // Falling: x speed 4, 3.8, 3.61; y speed 0, 0.2, 0.4.
    EXPECT_NEAR(particle(0)[1], 211.41f, 1e-3f);
    EXPECT_NEAR(particle(0)[2], 300.6f, 1e-4f);

    ASSERT_EQ(commandCount(app), 2);
    const float* falling = command(app, 0);
    EXPECT_EQ(falling[0], 96.0f);
    EXPECT_NEAR(falling[1], 111.41f, 1e-3f) << "world particles follow the camera";
    EXPECT_NEAR(falling[2], 250.6f, 1e-3f);
    EXPECT_NEAR(falling[3], -particle(0)[5], 1e-4f);
    EXPECT_EQ(falling[6], particle(0)[9]);
    EXPECT_NEAR(falling[7], std::min(particle(0)[7] + 0.01f, 1.0f), 1e-5f);
    EXPECT_FLOAT_EQ(falling[10], 25.5f); // ink 4: green
    EXPECT_FLOAT_EQ(falling[11], 255.0f);

    // Screen kinds ignore the camera.
    app->p_ResetParticles(1);
    app->p_ThrowParticle(10, 20, 6, 9, 180, 2);
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoParticles();
    EXPECT_NEAR(command(app, 0)[1], 10.0f, 1e-4f);
    EXPECT_NEAR(command(app, 0)[2], 22.0f, 1e-4f);
    EXPECT_EQ(app->m_drawRot, 0.0f) << "draw state reset afterwards";
}

TEST_F(EffectsTest, OnlyKindsTwoAndSixFallEveryOtherSparkFliesStraight) {
    const int kinds[] = {1, 2, 3, 4, 5, 6, 99};
    app->p_ResetParticles(10);
    for (int kind : kinds) app->p_ThrowParticle(200, 300, kind, 4, 90, 4);
    for (int f = 0; f < 10; ++f) {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        app->p_DoParticles();
    }
    int seen = 0;
    for (int i = 0; i <= 10; ++i) {
        const float* p = particle(i);
        const int kind = static_cast<int>(p[0]);
        if (kind == 0) continue;
        ++seen;
        if (kind == 2 || kind == 6) {
            EXPECT_GT(p[2], 305.0f) << "kind " << kind << " falls";
            EXPECT_LT(p[1], 235.0f) << "kind " << kind << " slows sideways";
        } else {
            EXPECT_FLOAT_EQ(p[2], 300.0f) << "kind " << kind << " flies level";
            EXPECT_NEAR(p[1], 240.0f, 1e-3f) << "kind " << kind << " keeps its speed";
        }
    }
    EXPECT_EQ(seen, static_cast<int>(std::size(kinds)));
}

TEST_F(EffectsTest, AParticleLivesItsLifeInHundredthsAndPopUpsNeverTurn) {
    app->p_ResetParticles(1);
    app->p_ThrowParticle(0, 0, 3, 1, kNotGiven, kNotGiven);
    const float life = particle(1)[7];
    ASSERT_GE(life, 0.7f);
    ASSERT_LE(life, 1.3f);
    int frames = 0;
    while (particle(1)[0] != 0 && frames < 200) {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        app->p_DoParticles();
        ++frames;
    }
    EXPECT_NEAR(frames, life * 100, 1.5f);

    app->p_ThrowParticle(300, 200, 99, 3, 0, 0);
    particle(1)[6] = 8; // spinning, yet drawn upright
    particle(1)[9] = 42;
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoParticles();
    ASSERT_EQ(commandCount(app), 2) << "the digits 4 and 2";
    EXPECT_EQ(command(app, 0)[6], 20.0f);
    EXPECT_EQ(command(app, 1)[6], 18.0f);
    EXPECT_EQ(command(app, 0)[3], 0.0f);
    EXPECT_FLOAT_EQ(command(app, 0)[12], 25.5f); // ink 3: yellow
}

TEST_F(EffectsTest, StarsWrapLeftRightTopBottomInThatOrder) {
    app->m_theme = 1;
    app->m_starCount = 3;
    const float stars[4][4] = {
        {-20, 500, 0.5f, 7}, // left and bottom: left is tested first
        {660, 100, 0.5f, 7}, // right
        {100, -20, 0.5f, 7}, // top
        {100, 497, 0.5f, 7}, // bottom
    };
    for (int i = 0; i < 4; ++i) {
        star(i)[0] = stars[i][3];
        star(i)[1] = stars[i][0];
        star(i)[2] = stars[i][1];
        star(i)[3] = stars[i][2];
        star(i)[5] = 0;
        star(i)[6] = 0;
    }
    EXPECT_EQ(drawsOf([&] { app->p_DoStars(0, 0); }), 4 * 3);
    EXPECT_EQ(star(0)[1], 652.0f);
    EXPECT_GE(star(0)[2], -8.0f);
    EXPECT_LE(star(0)[2], 488.0f);
    EXPECT_EQ(star(1)[1], -12.0f);
    EXPECT_EQ(star(2)[2], 492.0f);
    EXPECT_EQ(star(3)[2], -15.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(star(i)[3], 0.2f) << i;
        EXPECT_LE(star(i)[3], 0.8f) << i;
    }

    // The overscan widens the margin: no wrap at -50 with 64 to spare.
    kp_BT3_overscan = 64;
    star(0)[1] = -50;
    star(0)[2] = 200;
    EXPECT_EQ(drawsOf([&] { app->p_DoStars(0, 0); }), 0);
    EXPECT_EQ(star(0)[1], -50.0f);
}

TEST_F(EffectsTest, StarsMoveByDepthAndDrawByScreenAndTheme) {
    app->m_theme = 2;
    app->p_ResetStars(1);
    for (int i = 0; i <= 1; ++i) {
        star(i)[0] = 30;
        star(i)[1] = 100;
        star(i)[2] = 100;
        star(i)[3] = 0.5f;
        star(i)[5] = 350;
        star(i)[6] = 20;
    }
    app->m_screen = 1;
    app->p_DoStars(-2, 4);
    EXPECT_EQ(star(0)[1], 99.0f);
    EXPECT_EQ(star(0)[2], 102.0f);
    EXPECT_EQ(star(0)[5], 10.0f) << "angle turns round at 360";
    ASSERT_EQ(commandCount(app), 2);
    EXPECT_EQ(command(app, 0)[0], 96.0f);
    EXPECT_EQ(command(app, 0)[6], 30.0f);
    EXPECT_EQ(command(app, 0)[3], -10.0f);
    EXPECT_EQ(command(app, 0)[7], 0.5f);

    app->m_screen = 10; // in play: the world image's star frames, 56..69
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoStars(0, 0);
    EXPECT_EQ(command(app, 0)[0], 1.0f);
    EXPECT_EQ(command(app, 0)[6], 58.0f);

    app->m_theme = 3; // big and upright in play
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoStars(0, 0);
    EXPECT_EQ(command(app, 0)[4], 2.0f);
    EXPECT_EQ(command(app, 0)[3], 0.0f);

    app->m_theme = 16; // mirrored play: upright stars at a fixed alpha
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoStars(0, 0);
    EXPECT_EQ(command(app, 0)[3], 0.0f);
    EXPECT_EQ(command(app, 0)[7], 0.8f);

    app->m_theme = 11; // snow jitters: two draws a star
    EXPECT_EQ(drawsOf([&] { app->p_DoStars(0, 0); }), 4);

    app->m_theme = 7; // one flicker draw a star, drawn on a 16-pixel grid
    star(0)[2] = 47;
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    EXPECT_EQ(drawsOf([&] { app->p_DoStars(0, 0); }), 2);
    EXPECT_EQ(command(app, 0)[2], 32.0f);
    EXPECT_EQ(command(app, 0)[7], 0.75f);
}

TEST_F(EffectsTest, TheSortPassMovesLowerDecorationsLaterWithinALayer) {
    app->m_miscLast = 7;
    for (int i = 0; i <= 7; ++i) {
        misc(i)[9] = i < 5 ? 1.0f : 2.0f;
        misc(i)[2] = 100.0f - static_cast<float>(i);
        misc(i)[3] = 1;
    }
    misc(7)[2] = 0; // the last record takes no part in the pass
    app->p_DoMisc(0, 0, 5);
    // One pass bubbles the highest y of each layer to its end; layers never mix.
    EXPECT_EQ(misc(4)[2], 100.0f);
    EXPECT_EQ(misc(0)[2], 99.0f);
    EXPECT_EQ(misc(6)[2], 95.0f);
    EXPECT_EQ(misc(5)[2], 94.0f);
    EXPECT_EQ(misc(7)[2], 0.0f);
    EXPECT_EQ(commandCount(app), 0) << "layers 5 selects nothing";
}

TEST_F(EffectsTest, DecorationsDrawByLayerAndComeBackFromTheRight) {
    app->m_theme = 2;
    app->m_starCount = 19;
    app->p_ResetMisc(19);
    for (int i = 0; i <= 19; ++i) {
        misc(i)[1] = 300;
        misc(i)[2] = 200;
    }
    app->p_DoMisc(-10, 0, 0);
    EXPECT_EQ(commandCount(app), 5);
    EXPECT_EQ(command(app, 0)[7], 1.0f) << "ground props draw opaque";
    EXPECT_EQ(command(app, 0)[4], 2.0f);
    EXPECT_EQ(command(app, 0)[6], misc(0)[0] + 14);
    EXPECT_NEAR(misc(0)[1], 291.0f, 1e-4f);
    EXPECT_EQ(misc(5)[1], 300.0f) << "unselected layers stay";

    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoMisc(0, 0, 1);
    EXPECT_EQ(commandCount(app), 15);
    EXPECT_EQ(command(app, 14)[0], 1.0f);
    EXPECT_EQ(command(app, 14)[6], 84.0f);

    // Past the left edge by more than 128 (plus overscan): placed again off the right.
    misc(6)[1] = -127;
    misc(7)[1] = -129;
    misc(9)[2] = 480 + 129;
    const int draws = drawsOf([&] { app->p_DoMisc(0, 0, 1); });
    EXPECT_EQ(draws, 2 * 8);
    EXPECT_EQ(misc(6)[1], -127.0f);
    EXPECT_GE(misc(7)[1], 640 + 96.0f);
    EXPECT_GE(misc(9)[1], 640 + 96.0f);
    EXPECT_EQ(misc(9)[2], 448.0f);

    app->m_theme = 6; // Seaside rocks sway instead of turning round
    misc(0)[5] = 90;
    misc(0)[6] = 0;
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoMisc(0, 0, 0);
    EXPECT_NEAR(command(app, 0)[3], -4.0f, 1e-5f);

    app->m_theme = 12; // a halo copy four times the size, 32 higher
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_DoMisc(0, 0, 0);
    ASSERT_EQ(commandCount(app), 10);
    EXPECT_EQ(command(app, 1)[4], 4.0f);
    EXPECT_EQ(command(app, 1)[2], command(app, 0)[2] - 32);
}

TEST_F(EffectsTest, ACollectableScoresOnceAndIsReplacedOffScreen) {
    app->m_theme = 10;
    app->m_starCount = 15;
    app->p_ResetMisc(15);
    float* item = misc(15);
    item[1] = 200;
    item[2] = 150;
    app->m_ball[18] = 180;
    app->m_ball[19] = 170;
    app->m_camX = 1000;
    app->p_ResetParticles(250);
    // Sixteen particles of three draws and a throw each, and the sound's rate.
    EXPECT_EQ(drawsOf([&] { app->p_DoMisc(0, 0, 0); }), 16 * 7 + 1);
    EXPECT_EQ(app->m_score, 25);
    EXPECT_EQ(app->m_ball[56], 1.0f);
    EXPECT_EQ(item[1], -800.0f);
    for (int j = 0; j < 16; ++j) {
        const float* p = particle(250 - j);
        EXPECT_EQ(p[1], 1200.0f);
        EXPECT_TRUE(p[0] == 1 || p[0] == 2) << p[0];
        EXPECT_GE(p[8], 1.0f);
        EXPECT_LE(p[8], 8.0f);
        const float speed = std::hypot(p[3], p[4]);
        const float angle = std::atan2(p[3], -p[4]) * 180 / 3.14159265f;
        EXPECT_NEAR(std::remainder(angle - 22.5f * static_cast<float>(j), 360.0f), 0, 1e-2f) << j;
        EXPECT_GE(speed, 2.0f);
        EXPECT_LE(speed, 5.0f);
    }

    app->p_DoMisc(0, 0, 0);
    EXPECT_EQ(app->m_score, 25) << "scored once";
    app->p_DoMisc(0, 0, 1);
    EXPECT_GE(item[1], 640 + 96.0f);
    EXPECT_EQ(item[0], 70.0f);
    EXPECT_EQ(app->m_ball[56], 1.0f);
}

TEST_F(EffectsTest, FrostbiteItemsFallToRestBelowTheGround) {
    app->m_theme = 11;
    app->m_miscLast = 15;
    float* item = misc(15);
    item[9] = 5;
    item[1] = 600;
    item[2] = 420 + 30;
    item[6] = 3;
    app->p_DoMisc(0, 0, 7); // checked whatever the layers argument
    EXPECT_NEAR(item[2], 450.65f, 1e-4f);
    EXPECT_EQ(item[6], 3.0f);
    app->p_DoMisc(0, 0, 7);
    EXPECT_EQ(item[2], 452.0f);
    EXPECT_EQ(item[6], 0.0f);
    app->p_DoMisc(0, 0, 7);
    EXPECT_EQ(item[2], 452.0f);

    app->m_theme = 2; // no collectables elsewhere
    item[2] = 100;
    app->m_ball[18] = 600;
    app->m_ball[19] = 100;
    app->p_DoMisc(0, 0, 0);
    EXPECT_EQ(item[2], 100.0f);
    EXPECT_EQ(app->m_score, 0);
}

TEST_F(EffectsTest, InkColoursScaleWithBrightnessAndClamp) {
    struct Case {
        int colour, brightness;
        float r, g, b;
    };
    const Case cases[] = {
        {1, 1, 255, 25.5f, 25.5f},
        {2, 1, 255, 127.5f, 25.5f},
        {5, 1, 25.5f, 255, 255},
        {7, 1, 127.5f, 25.5f, 255},
        {8, 1, 255, 25.5f, 127.5f},
        {9, 1, 255, 255, 255},
        {0, 1, 76.5f, 76.5f, 76.5f},
        {10, 1, 76.5f, 76.5f, 76.5f},
        {3, 2, 255, 255, 51},
        {6, 0, 0, 0, 0},
        {4, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        app->p_Ink(c.colour, c.brightness);
        EXPECT_FLOAT_EQ(app->m_drawR, c.r) << c.colour << " x" << c.brightness;
        EXPECT_FLOAT_EQ(app->m_drawG, c.g) << c.colour << " x" << c.brightness;
        EXPECT_FLOAT_EQ(app->m_drawB, c.b) << c.colour << " x" << c.brightness;
    }
}
