// Rules of play a player feels: SUPER breaks on any stop while the leap survives 72 frames
// (with the popups ring following each pass), score popups that never reach the head-up
// display, the pause that the overlay starts from a key
// or the pause icon while play freezes, rolling back to the 2048-pixel limit, the bounce of
// the moon and the drift of the lily pads, nothing existing past the goal, and a crash that
// beats the goal passed in the same frame.
#include <cmath>

#include "ball_fixture.h"

TEST_F(BallRound, AnyStopBreaksTheChainWhileTheLeapSurvivesSeventyTwoFrames) {
    StartAndGo(4); // twenty spikes, low and high ones mixed
    int leap = 0, chain = 0, sincePass = 1000, score = 0, passes = 0;
    bool leapOutlivedChain = false, leapRanOut = false;
    while (app->m_roundOver == 0 && Passed() < 20 && ticks < 20000) {
        const int before = Passed();
        // Stand still a while after some passes: short stops, and one long wait.
        const bool wait = (before == 3 && sincePass < 12) || (before == 6 && sincePass < 80);
        if (wait) {
            if (held) Release(kKeyRight);
            Tick();
        } else {
            DriveTick();
        }
        ++sincePass;
        if (sincePass >= 72) leap = chain = 0;
        if (app->m_ball[23] == 0) chain = 0;
        if (Passed() != before) {
            ASSERT_EQ(Passed(), before + 1);
            ++leap;
            ++chain;
            ++passes;
            score += leap * chain;
            if (leap > chain) leapOutlivedChain = true;
            if (before > 0 && sincePass >= 72) leapRanOut = true;
            sincePass = 0;
            ASSERT_EQ(app->m_score, score) << "after spike " << Passed();
            ASSERT_EQ(app->m_leap, leap);
            ASSERT_EQ(app->m_super, chain);
            // The popups ring: the newest popup shows this pass's value.
            ASSERT_EQ(app->m_popupIndex, passes % 10);
            ASSERT_EQ(app->m_popups[10 * app->m_popupIndex], leap * chain);
            ASSERT_EQ(app->m_ball[80], leap * chain) << "the pass-value list's newest entry";
        }
    }
    EXPECT_EQ(Passed(), 20);
    EXPECT_TRUE(leapOutlivedChain) << "a stop broke the chain but not the leap";
    EXPECT_TRUE(leapRanOut) << "a long wait ran the leap out";
    EXPECT_EQ(TicksOf(13).size() > 0, true) << "the combo's end is heard";
}

TEST_F(BallRound, ScorePopupsFadeOutBeforeTheHeadUpDisplay) {
    // Popups drift up and right for ever; they must be gone before the score line above
    // (y 60 and up) and the pass values at the right edge (the last 76 pixels).
    StartAndGo(4);
    int shown = 0;
    while (app->m_roundOver == 0 && Passed() < 12 && ticks < 6000) {
        DriveTick();
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            const float* c = &app->m_drawList[i];
            if (c[0] != 99 || c[6] < 16 || c[7] <= 0) continue;
            ++shown;
            const float halfW = 16 * c[4], halfH = 14;
            ASSERT_GE(c[2] - halfH, 60.0f) << "a popup's tag on the score line, tick " << ticks;
            ASSERT_LE(c[1] + halfW, kp_BT3_jscrw - 76) << "a popup's tag on the pass values";
        }
    }
    EXPECT_GT(shown, 100) << "popups were thrown and seen";
}

TEST_F(BallRound, ABackPressPausesFromTheOverlayAndPlayFreezesUntilTheResume) {
    StartAndGo(1);
    for (int i = 0; i < 10; ++i) Tick();
    Press(kKeyEscape);
    Tick();
    EXPECT_EQ(app->m_paused, 1) << "the overlay runs on play ticks, so a back press pauses";
    EXPECT_EQ(sounds.back(), std::vector<int>{98});
    Release(kKeyEscape);
    const float x = BallX(), height = app->m_ball[2];
    const int frames = app->m_playFrames;
    Press(kKeyRight);
    for (int i = 0; i < 30; ++i) {
        app->m_paused = 1; // whatever the pause panel does, the round stays frozen
        Tick();
    }
    EXPECT_EQ(BallX(), x);
    EXPECT_EQ(app->m_ball[2], height) << "the bounce freezes too";
    EXPECT_EQ(app->m_playFrames, frames);
    Release(kKeyRight);

    app->m_paused = 0;
    Tick();
    EXPECT_NE(app->m_ball[2], height) << "play runs again once the pause ends";
    Press(kKeyEscape);
    Tick();
    Tick();
    EXPECT_EQ(TicksOf(98).size(), 2u) << "a held back key pauses once";
}

TEST_F(BallRound, WhilePausedABackPressDoesNothingAndTheChosenControlResumes) {
    StartAndGo(1);
    Press(kKeyEscape);
    Tick();
    Release(kKeyEscape);
    for (int i = 0; i < 20; ++i) Tick(); // the panel slides in
    ASSERT_EQ(app->m_paused, 1);
    for (int round = 0; round < 2; ++round) {
        Press(kKeyEscape);
        for (int i = 0; i < 5; ++i) Tick();
        Release(kKeyEscape);
        for (int i = 0; i < 30; ++i) Tick();
    }
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseDir, 1);
    EXPECT_EQ(TicksOf(98).size(), 1u) << "only the pause itself was heard";

    const int space = 32; // action 10 on the choice, which starts on resume
    Press(space);
    Tick();
    Release(space);
    EXPECT_EQ(app->m_pauseDir, -1);
    for (int i = 0; i < 100 && app->m_paused == 1; ++i) Tick();
    EXPECT_EQ(app->m_paused, 0);
}

TEST_F(BallRound, TouchingThePauseIconPausesOnceWhileTheTouchIsHeld) {
    StartAndGo(1);
    app->m_fontMetrics[97 * 3] = 32; // the icon's size as the loader keeps it
    app->m_fontMetrics[97 * 3 + 1] = 32;
    app->m_imageScale = 1.0f;
    app->m_scaleX = app->m_scaleY = 1.0f;
    host->MouseEvent(kEventMouseMove, 0, 200, 200);
    Tick();
    host->MouseEvent(kEventMouseDown, 0, 200, 200);
    Tick();
    EXPECT_EQ(app->m_paused, 0) << "a touch elsewhere is the go button";
    host->MouseEvent(kEventMouseUp, 0, 200, 200);
    Tick();
    host->MouseEvent(kEventMouseMove, 0, 20, 12);
    host->MouseEvent(kEventMouseDown, 0, 20, 12);
    Tick();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pointerLatch, 1);
    EXPECT_EQ(TicksOf(98).size(), 1u);
}

TEST_F(BallRound, ThePauseIconWaitsForTheButtonLatchNotThePointerLatch) {
    app->m_fontMetrics[97 * 3] = 32; // the icon's size as the loader keeps it
    app->m_fontMetrics[97 * 3 + 1] = 32;
    app->m_imageScale = 1.0f;
    app->m_scaleX = app->m_scaleY = 1.0f;
    // The start press made with the pointer latches it; held and moved onto the icon, it
    // pauses once the button latch is clear.
    StartLevel(1);
    while (app->m_playFrames < 60) Tick();
    host->MouseEvent(kEventMouseDown, 0, 200, 200);
    Tick();
    Tick();
    ASSERT_EQ(app->m_pointerLatch, 1);
    ASSERT_EQ(app->m_backLatch, 0);
    host->MouseEvent(kEventMouseMove, 0, 20, 12);
    Tick();
    EXPECT_EQ(app->m_paused, 1);
    host->MouseEvent(kEventMouseUp, 0, 20, 12);

    // The start press made with a key and still held keeps the icon from pausing until it is
    // let go, as it keeps the back key from pausing.
    StartLevel(1);
    while (app->m_playFrames < 60) Tick();
    Press(kKeyRight);
    Tick();
    Tick();
    ASSERT_EQ(app->m_backLatch, 1);
    host->MouseEvent(kEventMouseDown, 0, 20, 12);
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_EQ(app->m_paused, 0);
    Release(kKeyRight);
    Tick();
    Tick();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pointerLatch, 1);
}

TEST_F(BallRound, GoAndBackTogetherRollBackToTwoThousandPixelsBehindTheBest) {
    StartAndGo(11); // a sloped theme that allows going back
    ASSERT_EQ(app->m_allowBack, 1);
    const float best = app->m_ball[21];
    Press(kKeyRight);
    Press(kKeyLeft);
    Tick();
    Tick();
    EXPECT_LT(BallX(), best) << "back wins over forward";
    for (int i = 0; i < 300; ++i) {
        Tick();
        ASSERT_GE(BallX(), best - 2048.0f);
    }
    EXPECT_EQ(BallX(), best - 2048.0f);
    EXPECT_EQ(app->m_ball[3], 0.0f) << "the ball stands at the limit";
}

TEST_F(BallRound, ReachingTheLimitBehindBreaksTheChainAsAStopDoes) {
    // Rolling back the whole 2048 pixels outlasts the combo timer, which clears the chain on
    // its own; here the limit is put just behind a ball whose chain is still running.
    StartAndGo(11);
    while (app->m_super < 1 && ticks < 5000) DriveTick();
    ASSERT_GE(app->m_super, 1);
    const int leap = app->m_leap;
    app->m_ball[21] = BallX() + 2048.0f - 5.0f;
    Release(kKeyRight);
    Press(kKeyLeft);
    Tick();
    EXPECT_EQ(BallX(), app->m_ball[21] - 2048.0f);
    EXPECT_EQ(app->m_ball[3], 0.0f);
    EXPECT_GT(app->m_comboTimer, 1.0f) << "the combo has not run out";
    EXPECT_EQ(app->m_super, 0);
    EXPECT_EQ(app->m_leap, leap) << "a stop leaves the leap";
}

TEST_F(BallRound, OnSlopedThemesBallAndSpikeHeightsAreRaisedByScreenXTimesTheFactor) {
    // The shear then takes them back down by the same amount, so they stay level on screen.
    struct Slope {
        int level;
        int theme;
        float factor;
    };
    for (const Slope slope : {Slope{11, 2, 0.15f}, Slope{91, 10, -0.05f}}) {
        SCOPED_TRACE(slope.level);
        StartAndGo(slope.level);
        ASSERT_EQ(app->m_theme, slope.theme);
        const float bx = app->m_ball[18];
        ASSERT_GT(bx, 64.0f);
        EXPECT_FLOAT_EQ(app->m_ball[19], app->m_groundY - app->m_ball[2] - bx * slope.factor);

        const float* spike = Spike(1);
        const float sx = spike[1] - app->m_camX;
        const float* drawn = nullptr;
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            const float* c = &app->m_drawList[i];
            if (c[0] == 1 && c[6] == spike[0] + 13 && c[1] == sx) drawn = c;
        }
        ASSERT_NE(drawn, nullptr) << "spike 1 is on screen";
        EXPECT_FLOAT_EQ(drawn[2], app->m_groundY - spike[2] - sx * slope.factor);
    }
}

TEST_F(BallRound, TheMoonBouncesHigherAndSlowerAndTheLilyPadsDrift) {
    auto peak = [this](int level) {
        StartLevel(level);
        float top = 0;
        for (int i = 0; i < 300; ++i) {
            Tick();
            top = std::max(top, app->m_ball[2]);
        }
        return top;
    };
    const float earth = peak(1);
    const float moon = peak(121);
    EXPECT_NEAR(earth, 183.0f, 5.0f);
    EXPECT_NEAR(moon, 205.0f, 5.0f);

    StartAndGo(61); // lily pads: the ball drifts without input and never chains
    const float x = BallX();
    for (int i = 0; i < 10; ++i) Tick();
    EXPECT_FLOAT_EQ(BallX(), x + 15.0f);
    EXPECT_EQ(app->m_super, 0);
}

TEST_F(BallRound, NothingExistsPastTheGoalButInfinityHasNoGoal) {
    // The ball sitting low on spike 11's place: harmless in level 1, a crash in level 10.
    auto sitOnSpike11 = [this](int level) {
        StartAndGo(level);
        const float* spike = Spike(11);
        PlaceBall(spike[1], spike[2]);
        app->m_ball[20] = 10; // spikes 1..10 behind it
        Tick();
        return app->m_roundOver;
    };
    EXPECT_EQ(sitOnSpike11(1), 0);
    EXPECT_EQ(sitOnSpike11(10), 1);
}

TEST_F(BallRound, ABurstInTheFrameThatPassesTheGoalEndsTheRoundAsACrash) {
    StartAndGo(53); // Bounces: 10 bounces for 15 spikes
    ASSERT_EQ(app->m_target, 15);
    const float* goal = Spike(15);
    PlaceBall(goal[1] + 36.5f - 10.0f, 0.1f);
    app->m_ball[24] = 0.36f; // lands this frame
    app->m_ball[20] = 14;
    app->m_ball[55] = 9; // the last bounce left
    Press(kKeyRight);
    Tick();
    EXPECT_EQ(Passed(), 15) << "the goal spike was passed in the frame";
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_EQ(sounds.back(), (std::vector<int>{12, 5, 3, 2, 10}))
        << "burst, crash, the landing, the pass, and the lost sound";
    for (int i = 0; i < 60; ++i) Tick();
    EXPECT_EQ(app->m_roundOver, 1) << "the goal sequence does not overwrite the crash";
    EXPECT_TRUE(TicksOf(11).empty());
    EXPECT_EQ(TicksOf(10).size(), 1u);
    EXPECT_EQ(app->m_won, 0);
}

TEST_F(BallRound, TheHeadIsHitWithinFifteenPixelsOfTheBallAndPassedThirtySixBeyondIt) {
    // The ball moved this frame to dx pixels past spike 1, h pixels above its head.
    auto roll = [this](float dx, float h) {
        StartAndGo(1);
        const float* spike = Spike(1);
        PlaceBall(spike[1] + dx - 10.0f, spike[2] + h);
        Press(kKeyRight);
        Tick();
        Release(kKeyRight);
        return std::pair<int, int>(app->m_roundOver, Passed());
    };
    StartLevel(1);
    const float reach = app->m_ballHalfH + 15.0f; // 31 on the first theme
    EXPECT_EQ(roll(0, reach + 0.5f).first, 0);
    EXPECT_EQ(roll(0, reach - 0.5f).first, 1);
    EXPECT_EQ(roll(36.5f, 100).second, 1);
    EXPECT_EQ(roll(35.5f, 100).second, 0);
}

TEST_F(BallRound, TheLeapLastsSeventyOneFramesAfterAPassButNotSeventyTwo) {
    // Passes spike n exactly `after` frames after the previous pass, standing in between.
    auto passAfter = [this](int n, int after) {
        for (int i = 1; i < after; ++i) Tick();
        const float* spike = Spike(n);
        PlaceBall(spike[1] + 36.5f - 10.0f, 100.0f);
        Press(kKeyRight);
        Tick();
        Release(kKeyRight);
        EXPECT_EQ(Passed(), n);
        return app->m_leap;
    };
    StartAndGo(1);
    EXPECT_EQ(passAfter(1, 1), 1);
    EXPECT_EQ(passAfter(2, 71), 2);
    EXPECT_EQ(app->m_super, 1) << "standing broke the chain";
    EXPECT_EQ(passAfter(3, 72), 1);
    EXPECT_EQ(app->m_score, 1 + 2 + 1);
}

TEST_F(BallRound, ChainBadgesComeAtTheirLengthsAndASpikeBadgeWithTheHundredthSpike) {
    StartAndGo(10); // Infinity: no goal, so spike 100 exists
    Press(kKeyRight);
    // Spikes 1..20 passed one after the other without a stop: each chain badge comes with
    // exactly its chain's length, not one spike before.
    const std::pair<int, int> kChainBadges[] = {{16, 5}, {17, 8}, {18, 10}, {19, 15}, {20, 20}};
    for (int n = 1; n <= 20; ++n) {
        PlaceBall(Spike(n)[1] + 36.5f - 10.0f, 100.0f);
        Tick();
        ASSERT_EQ(app->m_super, n);
        for (const auto& [badge, length] : kChainBadges) {
            EXPECT_EQ(app->m_badges[badge], n >= length) << badge << " after a chain of " << n;
        }
    }
    EXPECT_FALSE(app->m_badges[0]);
    app->m_ball[20] = 98;
    PlaceBall(Spike(99)[1] + 36.5f - 10.0f, 100.0f);
    Tick();
    EXPECT_FALSE(app->m_badges[0]) << "99 spikes";
    PlaceBall(Spike(100)[1] + 36.5f - 10.0f, 100.0f);
    Tick();
    EXPECT_EQ(Passed(), 100);
    EXPECT_TRUE(app->m_badges[0]) << "100 spikes in one round";
    EXPECT_FALSE(app->m_badges[1]);
}

TEST_F(BallRound, MirroredPlayFlipsOnlyThePlayFieldNotThePauseIcon) {
    StartAndGo(131); // plays as the mirrored theme
    ASSERT_EQ(app->m_theme, 16);
    Tick();
    int mirror = -1, unflip = -1, icon = -1;
    for (int c = 0; c * kDrawStride < app->m_drawCount; ++c) {
        const float* cmd = &app->m_drawList[c * kDrawStride];
        if (cmd[0] == kCmdMirror && mirror < 0) mirror = c;
        if (cmd[0] == kCmdShear && cmd[1] == 0 && cmd[2] == 0 && mirror >= 0) unflip = c;
        if (cmd[0] == 97 && icon < 0) icon = c;
    }
    ASSERT_GE(mirror, 0);
    ASSERT_GE(icon, 0);
    EXPECT_GT(unflip, mirror);
    EXPECT_LT(unflip, icon) << "the pause icon is drawn, and touched, where it is seen";
}
