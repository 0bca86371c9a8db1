// What the level kinds add to a round: the lava that catches a ball standing still when its
// front is 16 pixels past the ball's centre, the spikes Deja Vu hides once their twins have
// been seen twice, the sheep race decided by who is ahead at the goal, the Buttons walls that stop
// the ball at any height until their button is touched, the pillars of the pirate levels hit from
// the side they grow towards, the bounce count of the Bounces kind with its burst, and Target and
// Collect rounds that end short of the goal filed as lost whatever their score or items.
#include <cmath>

#include "ball_fixture.h"
#include "game/bt3_numbers.h"

namespace {
constexpr int kLavaLevel = 73;
constexpr int kSheepLevel = 23;
constexpr int kButtonsLevel = 93;
constexpr int kPillarsLevel = 142;
constexpr int kBouncesLevel = 53;
constexpr int kDejaVuLevels[] = {43, 46, 48};
constexpr int kMarkerFrame = 117;
constexpr int kSpikeFrameBase = 13; // + the height class

// Whether the last frame's draw list holds this frame of image 1 at (x, y).
bool drawsBlock(const c_MyApp* app, int frame, float x, float y) {
    for (int c = 0; c < app->m_drawCount; c += kDrawStride) {
        const float* cmd = &app->m_drawList[c];
        if (cmd[0] == 1 && cmd[6] == frame && std::fabs(cmd[1] - x) < 0.01f &&
            std::fabs(cmd[2] - y) < 0.01f) {
            return true;
        }
    }
    return false;
}
constexpr int kTargetLevel = 6;
constexpr int kCollectLevel = 103;
constexpr int kTargetBadge = 5;
constexpr int kKeyUp = 38;
constexpr int kKeySpace = 32; // action 10
} // namespace

TEST_F(BallRound, TheLavaWaitsForTheStartThenCatchesABallThatStandsStill) {
    StartLevel(kLavaLevel);
    while (app->m_playFrames < 60) Tick();
    for (int i = 0; i < 100; ++i) Tick(); // waiting for the press
    EXPECT_EQ(app->m_chaserX, 1024) << "the lava does not move before the round starts";
    Press(kKeyRight);
    Tick();
    Release(kKeyRight);
    int waited = 0;
    while (app->m_roundOver == 0 && waited < 1000) {
        Tick();
        ++waited;
    }
    ASSERT_EQ(app->m_roundOver, 1) << "caught";
    EXPECT_LE(BallX(), 2048.0f + 20.0f);
    EXPECT_EQ(app->m_chaserX, static_cast<int>(BallX() + 16.0f)) << "the front stops at the ball";
    // 1008 pixels: 19 a frame while far behind, then 11, then 3; plus the start's 20 frames.
    EXPECT_GT(waited, 60);
    EXPECT_LT(waited, 160);
    EXPECT_EQ(sounds.back(), (std::vector<int>{5, 10}));
}

TEST_F(BallRound, TheLavaCatchesTheBallWhenItsFrontIsMoreThanSixteenPixelsPastIt) {
    // The lava front put `ahead` pixels past a ball standing still; whether that frame ends
    // the round.
    auto caught = [this](int ahead) {
        StartAndGo(kLavaLevel);
        const int x = static_cast<int>(BallX());
        app->m_chaserX = x + ahead;
        Tick();
        EXPECT_EQ(BallX(), static_cast<float>(x)) << "the ball stood still";
        if (app->m_roundOver == 1) {
            EXPECT_EQ(app->m_chaserX, x + 16);
        }
        return app->m_roundOver == 1;
    };
    EXPECT_FALSE(caught(-100));
    EXPECT_FALSE(caught(16)) << "touching is not yet caught";
    EXPECT_TRUE(caught(17)) << "and the front stops at the ball";
}

TEST_F(BallRound, DejaVuHidesASpikeOnlyOnceItsTwinHasBeenSeenTwice) {
    for (int level : kDejaVuLevels) {
        StartAndGo(level);
        ASSERT_EQ(app->m_kind, 8);
        const int lastShown = app->m_target / 3 * 2; // the twin of each seen once before
        // The ball high above, a little before the last spike shown.
        PlaceBall(Spike(lastShown)[1] - 100.0f, 300.0f);
        app->m_ball[20] = static_cast<float>(lastShown - 1);
        Tick();
        for (int n : {lastShown, lastShown + 1}) {
            const float* spike = Spike(n);
            const float sx = spike[1] - app->m_camX;
            const float head = app->m_groundY - spike[2];
            const bool shown =
                drawsBlock(app, kSpikeFrameBase + static_cast<int>(spike[0]), sx, head);
            const bool marked = drawsBlock(app, kMarkerFrame, sx, app->m_groundY + 32.0f);
            EXPECT_EQ(shown, n == lastShown) << "level " << level << " spike " << n;
            EXPECT_EQ(marked, n != lastShown) << "level " << level << " spike " << n;
        }
    }
}

TEST_F(BallRound, TheSheepRaceIsWonAheadOfTheSheepAndLostBehindIt) {
    // Returns whether the sheep was ahead when the goal spike was passed.
    auto race = [this](int sheepHeadStart) {
        sounds.clear();
        StartAndGo(kSheepLevel);
        app->m_chaserX += sheepHeadStart;
        bool aheadAtGoal = false;
        while (app->m_roundOver == 0 && ticks < 40000) {
            const int before = Passed();
            if (Passed() < app->m_target) {
                DriveTick();
            } else {
                Tick();
            }
            if (before < app->m_target && Passed() == app->m_target) {
                aheadAtGoal = app->m_chaserX > BallX();
            }
        }
        EXPECT_EQ(app->m_roundOver, 10);
        return aheadAtGoal;
    };
    EXPECT_FALSE(race(0)) << "a careful ball still outruns the sheep";
    EXPECT_EQ(app->m_won, 1);
    EXPECT_EQ(TicksOf(11).size(), 1u);
    EXPECT_TRUE(TicksOf(10).empty());

    EXPECT_TRUE(race(3000));
    EXPECT_EQ(app->m_won, 0) << "the sheep was ahead at the goal";
    EXPECT_EQ(TicksOf(10).size(), 1u);
    EXPECT_TRUE(TicksOf(11).empty());
}

// A round ended short of the goal spike, run on through the results panel to the menu.
class ShortRound : public BallRound {
  protected:
    int& Marker(int level) {
        return app->m_records[kRecordStats + (level - 1) * kRecordSlots + kStatMarker];
    }
    void RunToMenu() {
        for (int i = 0; i < 600 && app->m_screen != kScreenMenu; ++i) Tick();
        ASSERT_EQ(app->m_screen, kScreenMenu);
    }
};

TEST_F(ShortRound, ATargetRoundThatCrashesWithTheExactScoreIsLost) {
    app->m_menuLevel = kTargetLevel - 1;
    StartAndGo(kTargetLevel);
    ASSERT_GT(app->m_target, 2);
    app->m_ball[20] = 2; // spikes 1 and 2 behind it
    app->m_score = app->m_param;
    const float* spike = Spike(3);
    PlaceBall(spike[1], spike[2]);
    Tick();
    ASSERT_EQ(app->m_roundOver, 1) << "crashed on spike 3";
    EXPECT_EQ(app->m_won, 0);
    RunToMenu();
    EXPECT_EQ(app->m_lost, 1);
    EXPECT_EQ(Marker(kTargetLevel), 1) << "one failed round, not a pass";
    EXPECT_EQ(app->m_menuLevel, kTargetLevel - 1) << "the selection stays";
    EXPECT_FALSE(app->m_badges[kTargetBadge]);
}

TEST_F(ShortRound, ACollectRoundLeftThroughThePausePanelWithEnoughItemsIsLost) {
    app->m_menuLevel = kCollectLevel - 1;
    StartAndGo(kCollectLevel);
    for (int i = 0; i < 30; ++i) DriveTick();
    ASSERT_LT(Passed(), app->m_target);
    app->m_ball[56] = static_cast<float>(app->m_param); // enough items
    if (held) Release(kKeyRight);
    Press(kKeyEscape);
    Tick();
    Release(kKeyEscape);
    for (int i = 0; i < 20; ++i) Tick(); // the panel slides in
    // Up moves the choice to back to the menu; action 10 takes it.
    Press(kKeyUp);
    Tick();
    Release(kKeyUp);
    Tick();
    Press(kKeySpace);
    Tick();
    Release(kKeySpace);
    ASSERT_EQ(app->m_roundOver, 1) << "left through the pause panel";
    RunToMenu();
    EXPECT_EQ(app->m_won, 0);
    EXPECT_EQ(Marker(kCollectLevel), 1);
    EXPECT_EQ(app->m_menuLevel, kCollectLevel - 1);
}

TEST_F(BallRound, AWallStopsTheBallAtAnyHeightUntilItsButtonIsTouched) {
    StartAndGo(kButtonsLevel);
    int wall = 0;
    for (int n = 2; n < 60 && wall == 0; ++n) {
        const float* spike = Spike(n);
        if (spike && spike[7] == 3) wall = n;
    }
    ASSERT_GT(wall, 0) << "about half the spikes are walls";

    // Over the top of the wall: still a crash.
    PlaceBall(Spike(wall)[1] - 60.0f, 300.0f);
    app->m_ball[20] = static_cast<float>(wall - 1);
    Press(kKeyRight);
    for (int i = 0; i < 10 && app->m_roundOver == 0; ++i) Tick();
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_LT(std::fabs(Spike(wall)[1] - BallX()), app->m_ballHalfW + 15.0f);
    Release(kKeyRight);

    // Through the button 96 pixels before the wall: it opens, and a ball clear of the head
    // rolls through.
    StartAndGo(kButtonsLevel);
    float* spike = Spike(wall);
    ASSERT_EQ(spike[7], 3.0f);
    PlaceBall(spike[1] - 96.0f - 10.0f, 64.0f);
    app->m_ball[20] = static_cast<float>(wall - 1);
    Press(kKeyRight);
    Tick();
    EXPECT_EQ(spike[7], 0.0f) << "the wall is gone";
    EXPECT_EQ(TicksOf(6).size(), 1u);
    app->m_ball[2] = spike[2] + 70.0f;
    app->m_ball[24] = 0;
    for (int i = 0; i < 16 && app->m_roundOver == 0; ++i) Tick();
    EXPECT_EQ(app->m_roundOver, 0);
    EXPECT_EQ(Passed(), wall);
}

TEST_F(BallRound, APillarIsHitFromTheSideItGrowsTowards) {
    // The first pillar of each direction on the course, and the outcome of meeting it with
    // the ball below or above its head.
    auto meet = [this](int variant, bool fromBelow) {
        StartAndGo(kPillarsLevel);
        int n = 2;
        while (n < 100 && !(Spike(n) && Spike(n)[7] == variant)) ++n;
        EXPECT_LT(n, 100);
        const float* spike = Spike(n);
        const float head = spike[2];
        PlaceBall(spike[1] - 60.0f, fromBelow ? std::max(head - 60.0f, 0.0f) : head + 60.0f);
        app->m_ball[24] = fromBelow ? 0.0f : -3.0f; // keep a high ball high
        app->m_ball[20] = static_cast<float>(n - 1);
        Press(kKeyRight);
        for (int i = 0; i < 12 && app->m_roundOver == 0; ++i) Tick();
        Release(kKeyRight);
        Tick();
        return app->m_roundOver;
    };
    EXPECT_EQ(meet(1, true), 1) << "a pillar hanging down is hit from below";
    EXPECT_EQ(meet(1, false), 0) << "and passed over";
    EXPECT_EQ(meet(2, false), 1) << "a pillar standing up is hit from above";
}

TEST_F(BallRound, BouncesCountOnlyFromTheFirstSpikeToTheGoalAndTheLastOneBurstsTheBall) {
    // A careful run: the bounces heard between the first spike and the goal are counted.
    StartAndGo(kBouncesLevel);
    int firstPass = -1, goalPass = -1, heard = 0;
    while (app->m_roundOver == 0 && ticks < 20000) {
        const int before = Passed();
        if (Passed() < app->m_target) {
            DriveTick();
        } else {
            Tick();
        }
        const int t = static_cast<int>(sounds.size()) - 1;
        if (firstPass >= 0 && goalPass < 0) {
            for (int s : sounds[t]) heard += s == 3 ? 1 : 0;
        }
        if (firstPass < 0) {
            ASSERT_EQ(app->m_ball[55], 0.0f) << "none before the first spike";
        }
        if (before == 0 && Passed() == 1) firstPass = t;
        if (before < app->m_target && Passed() == app->m_target) goalPass = t;
    }
    ASSERT_GE(goalPass, 0);
    EXPECT_EQ(app->m_won, 1);
    EXPECT_GT(heard, 0);
    EXPECT_EQ(app->m_ball[55], static_cast<float>(heard)) << "and none after the goal";

    // Past the first spike, bouncing in place uses the bounces up: the tenth bursts the ball.
    sounds.clear();
    StartAndGo(kBouncesLevel);
    while (Passed() == 0 && ticks < 40000) DriveTick();
    Release(kKeyRight);
    int bounces = 0;
    while (app->m_roundOver == 0 && bounces < 20) {
        Tick();
        for (int s : sounds.back()) bounces += s == 3 ? 1 : 0;
    }
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_EQ(bounces, 10);
    EXPECT_EQ(Passed(), 1);
    const std::vector<int>& last = sounds.back();
    ASSERT_GE(last.size(), 3u);
    EXPECT_EQ(last[0], 12) << "the burst";
    EXPECT_EQ(last[1], 5);
    EXPECT_EQ(last.back(), 10);
}
