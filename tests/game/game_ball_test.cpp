// Whole rounds of play: the start press that never moves the ball, a held run that scores
// 1 + 4 + ... + n^2 and ends on the spike it hits with the crash sounds, a careful run of
// level 1 to its goal and result, the chain and leap rules with the popups ring, and the
// pause that the in-play overlay starts while the frame driver freezes play.
#include <cmath>

#include "ball_fixture.h"

TEST_F(BallRound, AHeldStartPressNeverMovesTheBallAndAHeldRunScoresSquaresUntilItCrashes) {
    StartLevel(1);
    Press(kKeyRight); // held from the first frame of the round
    for (int i = 0; i < 240; ++i) Tick();
    EXPECT_EQ(app->m_playFrames, 120) << "the press at the wait starts the round";
    EXPECT_EQ(BallX(), 2048.0f) << "the press that starts the round never moves the ball";
    EXPECT_EQ(app->m_roundOver, 0);

    // Let go (the key's analogue ramp coasts the ball two frames on), then press again at a
    // moment of the bounce from which a held run clears at least three spikes.
    Release(kKeyRight);
    for (int i = 0; i < 5 || (ClearSpikes(3) < 3 && i < 200); ++i) Tick();
    const float from = BallX();
    EXPECT_LE(from, 2048.0f + 20.0f);
    Press(kKeyRight);
    const size_t runStart = sounds.size();
    int rolled = 0;
    while (app->m_roundOver == 0 && rolled < 3000) {
        Tick();
        ++rolled;
        ASSERT_EQ(BallX(), from + 10.0f * rolled) << "a held ball rolls 10 pixels a frame";
    }
    ASSERT_EQ(app->m_roundOver, 1);
    const int n = Passed();
    ASSERT_GE(n, 3) << "the run was started to clear three spikes";
    EXPECT_EQ(app->m_score, n * (n + 1) * (2 * n + 1) / 6) << "one unbroken chain of " << n;
    EXPECT_EQ(app->m_bestSuper, n);

    // It crashed on the next spike, the one the ball now overlaps.
    const float* hit = Spike(n + 1);
    ASSERT_NE(hit, nullptr);
    EXPECT_LT(std::fabs(hit[1] - BallX()), app->m_ballHalfW + 15.0f);

    // Sounds: the first pass plain, the chained ones SUPER; crash then the lost sound last.
    std::vector<int> passes;
    for (size_t t = runStart; t < sounds.size(); ++t) {
        for (int s : sounds[t]) {
            if (s == 2 || s == 4) passes.push_back(s);
        }
    }
    ASSERT_EQ(static_cast<int>(passes.size()), n);
    EXPECT_EQ(passes[0], 2);
    for (int i = 1; i < n; ++i) EXPECT_EQ(passes[i], 4);
    const std::vector<int>& last = sounds.back();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2], 5);
    EXPECT_EQ(last.back(), 10);
    EXPECT_EQ(app->m_musicPlaying, 0) << "a crash stops the music";

    for (int i = 0; i < 60; ++i) Tick();
    EXPECT_EQ(TicksOf(10).size(), 1u) << "the end sound plays once";
    EXPECT_LE(TicksOf(3).back(), static_cast<int>(sounds.size()) - 61)
        << "no bounce after the crash";
    EXPECT_EQ(BallX(), from + 10.0f * rolled) << "the ball stands once the round is over";
}

TEST_F(BallRound, ATapBetweenTwoTicksRollsTheBallForExactlyOneTick) {
    StartAndGo(1);
    for (int i = 0; i < 5; ++i) Tick(); // any coasting from the start press is over
    const float from = BallX();
    Press(kKeyRight);
    Release(kKeyRight);
    Tick();
    EXPECT_EQ(BallX(), from + 10.0f) << "the tap rolls the ball for its tick";
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_EQ(BallX(), from + 10.0f) << "and only for that tick";

    // A click tapped between two ticks rolls it too; holding rolls on every tick as before.
    host->MouseEvent(kEventMouseDown, 0, 320, 240);
    host->MouseEvent(kEventMouseUp, 0, 320, 240);
    Tick();
    EXPECT_EQ(BallX(), from + 20.0f);
    Tick();
    Press(kKeySpace);
    for (int i = 0; i < 3; ++i) Tick();
    Release(kKeySpace);
    Tick();
    EXPECT_EQ(BallX(), from + 50.0f);
    EXPECT_EQ(app->m_roundOver, 0);
}

TEST_F(BallRound, ACarefulRunOfLevelOneReachesTheGoalAndWinsTwentyAndFortyFramesOn) {
    StartAndGo(1);
    int passTick = -1;
    while (app->m_roundOver == 0 && ticks < 5000) {
        if (passTick < 0) {
            DriveTick();
        } else {
            if (!held) Press(kKeyRight); // keep rolling past the goal
            Tick();
        }
        if (passTick < 0 && Passed() == 10) passTick = ticks;
    }
    ASSERT_GT(passTick, 0) << "the goal spike was passed";
    EXPECT_EQ(app->m_roundOver, 10);
    EXPECT_EQ(app->m_won, 1);
    const std::vector<int> won = TicksOf(11);
    ASSERT_EQ(won.size(), 1u);
    // Tick numbers count from 1; sounds[] from 0.
    EXPECT_EQ(won[0] + 1 - passTick, 18) << "the result is decided at goal frame 20";
    EXPECT_EQ(ticks - passTick, 38) << "the round ends at goal frame 40";
    EXPECT_TRUE(TicksOf(10).empty()) << "no lost sound after a win";
    EXPECT_EQ(Passed(), 10) << "nothing past the goal is scored";
    EXPECT_GT(BallX(), Spike(11)[1] + 36) << "the ball rolled through spike 11's place";
}
