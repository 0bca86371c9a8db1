// The frame driver in the headless host: what one tick runs and in which order, the input
// latches, pointer and touch sampling, iCade letters, the intro counter, suspend and resume,
// the update rate and the fullscreen switch.
#include "game_fixture.h"
#include "input/kp_input.h"

namespace {

constexpr int kKeyRight = 39;
constexpr int kKeyEscape = 27;
constexpr int kKeyF1 = 112;
constexpr int kKeyF2 = 113;
constexpr int kKeyF4 = 115;
constexpr int kKeyF11 = 122;

class FrameDriver : public GameTest {
  protected:
    // Creation, then the loader marked done so the screens run.
    void StartLoaded() {
        Start();
        app->m_loadStep = 0;
    }
    void Tick() { host->UpdateGame(); }
    void Press(int key) { host->KeyEvent(kEventKeyDown, key); }
    void Release(int key) { host->KeyEvent(kEventKeyUp, key); }
    void Type(char16_t c) { host->KeyEvent(kEventKeyChar, c); }
};

} // namespace

TEST_F(FrameDriver, WhileLoadingOnlyTheLoaderRunsButICadeStillDecodes) {
    Start();
    ASSERT_EQ(app->m_loadStep, 1);
    kp_BT3_iCadeControls = 1;
    Type(u'W');
    Tick();
    EXPECT_EQ(app->m_loadStep, 2);
    EXPECT_EQ(app->m_introFrames, 0) << "the menu does not run while loading";
    EXPECT_EQ(app->m_buttons[0], 2);
    app->m_optionsOpen = 1;
    Tick();
    EXPECT_EQ(app->m_optionsSlide, 0) << "no panel runs while loading";
}

TEST_F(FrameDriver, StartUpLoaderEndsOnItsThirtyFirstCall) {
    Start();
    int calls = 0;
    while (app->m_loadStep != 0 && calls < 100) {
        Tick();
        ++calls;
    }
    EXPECT_EQ(calls, 31);
}

TEST_F(FrameDriver, IntroCountsTwoPerTickToNinetyThenOneUntil320) {
    StartLoaded();
    std::vector<int> seen;
    for (int i = 0; i < 300; ++i) {
        Tick();
        seen.push_back(app->m_introFrames);
    }
    for (int i = 0; i < 45; ++i) ASSERT_EQ(seen[i], 2 * (i + 1));
    for (int i = 45; i < 45 + 230; ++i) ASSERT_EQ(seen[i], 91 + (i - 45));
    EXPECT_EQ(seen[274], 320);
    EXPECT_EQ(seen.back(), 320);
}

TEST_F(FrameDriver, OptionsSlideCountsToThirtyAndBack) {
    StartLoaded();
    app->m_optionsOpen = 1;
    app->m_relockStage = 2;
    for (int i = 0; i < 40; ++i) Tick();
    EXPECT_EQ(app->m_optionsSlide, 30);
    EXPECT_EQ(app->m_relockStage, 2);
    app->m_optionsOpen = 0;
    Tick();
    EXPECT_EQ(app->m_relockStage, 0);
    EXPECT_EQ(app->m_optionsSlide, 29);
    for (int i = 0; i < 40; ++i) Tick();
    EXPECT_EQ(app->m_optionsSlide, 0);
}

TEST_F(FrameDriver, ICadeLettersHoldAndReleaseButtons) {
    StartLoaded();
    kp_BT3_iCadeControls = 1;
    Type(u'W');
    Type(u'e');
    Tick();
    EXPECT_EQ(app->m_buttons[0], 0) << "press and release in one tick";
    Type(u'w');
    Tick();
    Tick();
    EXPECT_EQ(app->m_buttons[0], 2) << "held across ticks";
    Type(u'd');
    Type(u'l');
    Tick();
    EXPECT_EQ(app->m_buttons[5], 2);
    EXPECT_EQ(app->m_buttons[17], 2);
    Type(u'E');
    Type(u'c');
    Type(u'?');
    Tick();
    EXPECT_EQ(app->m_buttons[0], 0);
    EXPECT_EQ(app->m_buttons[5], 0);
    EXPECT_EQ(app->m_buttons[17], 2);

    kp_BT3_iCadeControls = 0;
    Type(u'V');
    Tick();
    EXPECT_EQ(app->m_buttons[17], 2) << "letters are ignored with iCade off";
}

TEST_F(FrameDriver, ICadeIgnoresCharactersBeyondLatinThatShareALettersLowByte) {
    StartLoaded();
    kp_BT3_iCadeControls = 1;
    Type(static_cast<char16_t>(u'W' + 0x100)); // U+0157, low byte 'W'
    Type(static_cast<char16_t>(u'd' + 0x4100));
    Tick();
    EXPECT_EQ(app->m_buttons[0], 0);
    EXPECT_EQ(app->m_buttons[5], 0);
    app->m_buttons[17] = 2;
    Type(static_cast<char16_t>(u'v' + 0x300)); // low byte 'v', the release of button 17
    Tick();
    EXPECT_EQ(app->m_buttons[17], 2);
}

TEST_F(FrameDriver, OneTickPressesEndButHeldButtonsStay) {
    StartLoaded();
    app->m_buttons[3] = 1;
    app->m_buttons[8] = 2;
    app->m_buttons[18] = 1;
    Tick();
    EXPECT_EQ(app->m_buttons[3], 0);
    EXPECT_EQ(app->m_buttons[8], 2);
    EXPECT_EQ(app->m_buttons[18], 0);
}

TEST_F(FrameDriver, BackLatchHoldsWhileAButtonIsHeldAndClearsOnRelease) {
    StartLoaded();
    app->m_introFrames = 320; // the menu holds both latches while the intro runs
    app->m_backLatch = 1;
    Press(kKeyRight);
    Tick();
    Tick();
    EXPECT_EQ(app->m_backLatch, 1);
    Release(kKeyRight);
    Tick();
    EXPECT_EQ(app->m_backLatch, 0);
}

TEST_F(FrameDriver, BackPressWithTheOptionsPanelOpenOnlySetsTheLatches) {
    StartLoaded();
    app->m_optionsOpen = 1;
    Press(kKeyEscape);
    Tick();
    EXPECT_EQ(app->m_backLatch, 1);
    EXPECT_EQ(app->m_pointerLatch, 1);
}

TEST_F(FrameDriver, BackPressInTheMenuWithNoPanelLeavesTheLatchesForTheMenu) {
    StartLoaded();
    // The driver leaves both latches clear, so the menu sees the press and ends the program.
    EXPECT_EXIT(
        {
            Press(kKeyEscape);
            Tick();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FrameDriver, PointerIsConvertedToVirtualUnitsWithOverscan) {
    StartLoaded();
    app->m_scaleX = 2;
    app->m_scaleY = 2;
    host->MouseEvent(kEventMouseMove, -1, 100, 61);
    Tick();
    EXPECT_EQ(app->m_pointerX, 50);
    EXPECT_EQ(app->m_pointerY, 30);

    kp_BT3_overscan = 10; // 7.5 pixels vertically on a 640 by 480 device
    Tick();
    EXPECT_EQ(app->m_pointerX, 45);
    EXPECT_EQ(app->m_pointerY, 26);
    EXPECT_EQ(app->m_prevPointerX, 50);
}

TEST_F(FrameDriver, AFreshPressShowsNoJump) {
    StartLoaded();
    app->m_scaleX = 1;
    app->m_scaleY = 1;
    host->MouseEvent(kEventMouseMove, -1, 10, 10);
    Tick();
    host->MouseEvent(kEventMouseDown, 0, 300, 200);
    Tick();
    EXPECT_EQ(app->m_pointerX, 300);
    EXPECT_EQ(app->m_prevPointerX, 300);
    EXPECT_EQ(app->m_prevPointerY, 200);
    EXPECT_EQ(app->m_pointerDown, 1);
    EXPECT_EQ(app->m_mouseHit, 1);
    host->MouseEvent(kEventMouseMove, -1, 320, 200);
    Tick();
    EXPECT_EQ(app->m_prevPointerX, 300) << "a held drag keeps its previous position";
    EXPECT_EQ(app->m_mouseHit, 0);
}

TEST_F(FrameDriver, TouchSlotsReadMinus3717WhenUp) {
    StartLoaded();
    app->m_introFrames = 320; // the menu holds both latches while the intro runs
    app->m_scaleX = 2;
    app->m_scaleY = 2;
    app->m_pointerLatch = 1;
    Tick();
    for (int slot = 0; slot < kTouchSlots; ++slot) {
        EXPECT_EQ(app->m_touchDown[slot], 0);
        EXPECT_EQ(app->m_touchX[slot], -3717);
        EXPECT_EQ(app->m_touchY[slot], -3717);
    }
    EXPECT_EQ(app->m_pointerLatch, 0) << "nothing down clears the pointer latch";

    host->TouchEvent(kEventTouchDown, 3, 40, 80);
    Tick();
    EXPECT_EQ(app->m_touchDown[3], 1);
    EXPECT_EQ(app->m_touchX[3], 20);
    EXPECT_EQ(app->m_touchY[3], 40);
    EXPECT_EQ(app->m_pointerDown, 1);
}

TEST_F(FrameDriver, SuspendDuringPlayResumesPausedWithThePanelAtHalfHeight) {
    StartLoaded();
    app->m_screen = 10;
    app->m_buttons[5] = 2;
    kp_BT3_iCadeControls = 1;
    host->SuspendGame();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseDir, 1);
    EXPECT_EQ(app->m_pauseY, 240);
    EXPECT_EQ(kp_app__updateRate, 5);
    EXPECT_EQ(host->UpdateRate(), 5);
    EXPECT_EQ(app->m_buttons[5], 0);
    EXPECT_EQ(kp_BT3_iCadeControls, 0);

    kp_BT3_iCadeControls = 1;
    host->ResumeGame();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseY, 240);
    EXPECT_EQ(kp_app__updateRate, 60);
    EXPECT_EQ(kp_BT3_iCadeControls, 0) << "iCade has to be switched on again";
    EXPECT_FALSE(host->KeyboardEnabled());
}

TEST_F(FrameDriver, SuspendInTheMenuLeavesTheGameUnpaused) {
    StartLoaded();
    app->m_paused = 1;
    app->m_pauseY = 99;
    host->SuspendGame();
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_pauseY, 0);
    host->ResumeGame();
    EXPECT_EQ(app->m_paused, 0);
}

TEST_F(FrameDriver, UpdateRateIsMeasuredAndAStillClockKeepsIt) {
    StartLoaded();
    host->SetTime(1.0);
    Tick();
    host->SetTime(1.016);
    Tick();
    EXPECT_EQ(app->m_updateFpsNow, 62);
    int smoothed = app->m_updateFps;
    Tick(); // the clock has not moved
    EXPECT_EQ(app->m_updateFpsNow, 62);
    EXPECT_EQ(app->m_updateFps, (smoothed * 9 + 62) / 10);
}

TEST_F(FrameDriver, HotKeysFlipDebugOverlayAndWindowMode) {
    StartLoaded();
    host->SetDesktop(KpDisplayMode{1920, 1080});
    Press(kKeyF1);
    Press(kKeyF2);
    Tick();
    EXPECT_EQ(kp_BT3_DebugMode, 1);
    EXPECT_EQ(app->m_hideOverlay, 1);
    EXPECT_GT(app->m_drawCount, 0) << "the debug line is drawn";
    Release(kKeyF1);
    Press(kKeyF1);
    Tick();
    EXPECT_EQ(kp_BT3_DebugMode, 0);

    Press(kKeyF11);
    Tick();
    ASSERT_EQ(host->WindowRequests().size(), 1u);
    EXPECT_EQ(host->WindowRequests()[0].width, 1920);
    EXPECT_EQ(host->WindowRequests()[0].flags, 1);
    EXPECT_EQ(app->m_fullscreen, 1);
    Release(kKeyF11);
    Press(kKeyF11);
    Tick();
    ASSERT_EQ(host->WindowRequests().size(), 2u);
    EXPECT_EQ(host->WindowRequests()[1].width, 640);
    EXPECT_EQ(host->WindowRequests()[1].height, 480);
    EXPECT_EQ(host->WindowRequests()[1].flags, 0);
    EXPECT_EQ(app->m_fullscreen, 0);
}

TEST_F(FrameDriver, F4QuitsWithStatusZero) {
    StartLoaded();
    EXPECT_EXIT(
        {
            Press(kKeyF4);
            Tick();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
