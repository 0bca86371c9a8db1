// Edges of ball play that a whole run can miss: which themes let the ball roll back, the lily
// pads breaking the chain on a let-go although the ball drifts on, a bounce only once the
// ball sinks below the ground line, the spike's reach in height on balls that are not round,
// and a SUPER level judged on the best chain of the round rather than the last one.
#include "ball_fixture.h"

namespace {
constexpr int kGroups = 15;
constexpr int kLilyPadLevel = 61;
constexpr int kSuperLevel = 13;     // a chain of 4 on the way to spike 20
constexpr int kWideBallLevel = 131; // the mirrored theme: the ball is 16 wide, 8 high
constexpr int kTallBallLevel = 141; // the pirate theme: 10 wide, 18 high
constexpr int kJoyButtonX = 2;
} // namespace

TEST_F(BallRound, OnlyTheSlopedThemesRollBackOnLeftOrButtonX) {
    KpHeadlessGame::Joystick& pad = host->JoystickAt(0);
    pad.present = true;
    pad.buttonCount = kJoyButtons;
    for (int group = 0; group < kGroups; ++group) {
        StartAndGo(group * 10 + 1);
        const int theme = app->m_theme;
        const bool back = theme == 2 || theme == 3 || theme == 10;
        for (const bool joystick : {false, true}) {
            const float x = BallX();
            if (joystick) {
                pad.buttons[kJoyButtonX] = true;
            } else {
                Press(kKeyLeft);
            }
            for (int i = 0; i < 3; ++i) Tick();
            pad.buttons[kJoyButtonX] = false;
            Release(kKeyLeft);
            if (back) {
                EXPECT_EQ(BallX(), x - 30.0f) << "theme " << theme << (joystick ? " button X" : "");
            } else {
                EXPECT_GE(BallX(), x) << "theme " << theme << (joystick ? " button X" : "");
            }
        }
    }
}

TEST_F(BallRound, LettingGoOnTheLilyPadsBreaksTheChainWhileTheBallDriftsOn) {
    StartAndGo(kLilyPadLevel);
    Press(kKeyRight);
    for (int n = 1; n <= 2; ++n) {
        PlaceBall(Spike(n)[1] + 36.5f - 10.0f, 100.0f);
        Tick();
    }
    ASSERT_EQ(app->m_super, 2);
    Release(kKeyRight);
    const float x = BallX();
    Tick();
    EXPECT_FLOAT_EQ(BallX(), x + 1.5f) << "the pads carry the ball on";
    EXPECT_EQ(app->m_super, 0) << "but the let-go breaks the chain";
    Press(kKeyRight);
    PlaceBall(Spike(3)[1] + 36.5f - 10.0f, 100.0f);
    Tick();
    EXPECT_EQ(app->m_leap, 3) << "the leap survives a short let-go";
    EXPECT_EQ(app->m_super, 1);
    EXPECT_EQ(app->m_score, 1 + 4 + 3);
}

TEST_F(BallRound, TheBallBouncesOnlyOnceItSinksBelowTheGroundLine) {
    StartAndGo(1);
    app->m_ball[2] = 4.0f;
    app->m_ball[24] = 4.0f; // falls exactly onto the ground line this frame
    Tick();
    EXPECT_EQ(app->m_ball[2], 0.0f);
    EXPECT_FLOAT_EQ(app->m_ball[24], 4.36f) << "still falling";
    EXPECT_EQ(std::count(sounds.back().begin(), sounds.back().end(), 3), 0) << "no bounce yet";
    Tick();
    EXPECT_EQ(app->m_ball[2], 0.0f);
    EXPECT_FLOAT_EQ(app->m_ball[24], -11.4f) << "bounced off the ground";
    EXPECT_EQ(std::count(sounds.back().begin(), sounds.back().end(), 3), 1);
}

TEST_F(BallRound, ASpikeReachesFifteenPixelsBeyondTheBallsHalfHeight) {
    // The ball rolls onto the first spike of class 4 or more with its centre `offset`
    // pixels above (or below) the spike's head.
    auto hits = [this](int level, float offset) {
        StartAndGo(level);
        int n = 1;
        while (n < 100 && Spike(n)[0] < 4) ++n;
        const float* spike = Spike(n);
        const float head = (spike[0] - 1) * 16; // 16 pixels a class above the ground line
        PlaceBall(spike[1] - 10.0f, head + offset);
        app->m_ball[20] = static_cast<float>(n - 1);
        Press(kKeyRight);
        Tick();
        Release(kKeyRight);
        return app->m_roundOver == 1;
    };
    struct Ball {
        int level;
        float reach; // half height + 15
    };
    for (const Ball& ball : {Ball{kWideBallLevel, 23.0f}, Ball{kTallBallLevel, 33.0f}}) {
        for (const float side : {1.0f, -1.0f}) {
            EXPECT_TRUE(hits(ball.level, side * (ball.reach - 0.5f))) << ball.level << " " << side;
            EXPECT_FALSE(hits(ball.level, side * (ball.reach + 0.5f))) << ball.level << " " << side;
        }
    }
}

TEST_F(BallRound, ASuperLevelCountsTheBestChainEvenAfterItBroke) {
    StartAndGo(kSuperLevel);
    ASSERT_EQ(app->m_param, 4);
    // A chain of four, then each later spike after a stop, up to the goal.
    for (int n = 1; n <= app->m_target; ++n) {
        if (n > 4) {
            Release(kKeyRight);
            Tick();
        }
        Press(kKeyRight);
        PlaceBall(Spike(n)[1] + 36.5f - 10.0f, 250.0f);
        Tick();
        ASSERT_EQ(app->m_super, n > 4 ? 1 : n) << "spike " << n;
    }
    EXPECT_EQ(app->m_bestSuper, 4);
    Release(kKeyRight);
    while (app->m_roundOver == 0 && ticks < 10000) Tick();
    EXPECT_EQ(app->m_roundOver, 10);
    EXPECT_EQ(app->m_won, 1) << "the chain of four was reached on the way";
}
