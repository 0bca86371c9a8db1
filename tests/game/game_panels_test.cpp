// The options panel, the pause panel and the quit box, headless: each option line's effect
// on the settings, the records and the sounds it plays (real effects on OpenAL Soft's null
// backend), the cursor's bounds, one action per press for keys and touches, the lines shown
// by build and state, the pause panel's motion and controls, the quit box's two outcomes, and
// the player's notice at the bottom of the window.
#include <AL/al.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "audio_support.h"
#include "game/c_MyApp_commands.h"
#include "game_fixture.h"
#include "input/kp_input.h"
#include "support/ogg_writer.h"

namespace {

constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;
constexpr int kKeySpace = 32; // action 10
constexpr int kKeyX = 88;     // action 11
constexpr int kKeyB = 66;     // action 14
constexpr int kKeyN = 78;     // action 15
constexpr int kKeyEscape = 27;
constexpr int kMarker = 2 * 5000 + 8; // statistic slot 8 of level 1
constexpr int kEffects[] = {4, 10, 98, 99};

// Text drawn in the bitmap font, glyph by glyph (spaces are not drawn), with "|" wherever
// something else was drawn between two glyphs.
std::u16string drawnText(const c_MyApp& app) {
    std::u16string text = u"|";
    for (int i = 0; i + kDrawStride <= app.m_drawCount; i += kDrawStride) {
        const float* c = &app.m_drawList[i];
        if (static_cast<int>(c[bt3::kSlotKind]) == app.m_font && c[bt3::kSlotKind] >= 0) {
            text += static_cast<char16_t>(c[bt3::kSlotFrame] + 32);
        } else if (text.empty() || text.back() != u'|') {
            text += u'|';
        }
    }
    return text + u'|';
}

bool shows(const c_MyApp& app, const std::u16string& glyphs) {
    return drawnText(app).find(u"|" + glyphs + u"|") != std::u16string::npos;
}

class PanelTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        std::filesystem::create_directories(workDir.file("data/sfx"));
        // Each effect its own pitch, so a channel's sample tells which one played.
        for (int n : kEffects) {
            Tone tone;
            tone.hertz = 200 + n;
            std::string name = std::string(n < 10 ? "00" : "0") + std::to_string(n) + ".wav";
            writeToneWav(workDir.file("data/sfx/" + name), tone);
        }
        Start();
        app->m_loadStep = 0;
        app->m_scaleX = 1;
        app->m_scaleY = 1;
        for (int n : kEffects) app->p_LoadSFX(n, -1);
        // Button images as the loader would size them: 64 by 64 units.
        app->m_imageScale = 1;
        for (int image : {95, 97}) {
            app->m_fontMetrics[image * 3] = 32;
            app->m_fontMetrics[image * 3 + 1] = 32;
        }
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) host->UpdateGame();
    }
    void Press(int key) { host->KeyEvent(kEventKeyDown, key); }
    void Release(int key) { host->KeyEvent(kEventKeyUp, key); }
    void Tap(int key) {
        Press(key);
        Tick();
        Release(key);
        Tick();
    }
    void MouseDown(int x, int y) { host->MouseEvent(kEventMouseDown, 0, x, y); }
    void MouseUp() { host->MouseEvent(kEventMouseUp, 0, 0, 0); }
    void Click(int x, int y) {
        MouseDown(x, y);
        Tick();
        MouseUp();
        Tick();
    }

    // The panel fully down, ready for input.
    void OpenOptions() {
        app->m_optionsOpen = 1;
        Tick(31);
    }
    // Moves the keyboard cursor to a line.
    void CursorTo(int line) {
        while (app->m_optionsCursor < line) Tap(kKeyDown);
        while (app->m_optionsCursor > line) Tap(kKeyUp);
    }

    // The effects started since `voice` was the last voice, in order.
    std::vector<int> PlayedSince(int voice) {
        std::map<const gxtkSample*, int> byPointer;
        for (int n : kEffects) byPointer[app->m_sfx[n]->sample.get()] = n;
        std::vector<int> played;
        for (int v = voice; v != app->m_sfxVoice;) {
            v = (v + 1) % 24;
            played.push_back(
                byPointer[kp_audio_device->channels[app->m_sfxChannels[v]].sample.get()]);
        }
        return played;
    }
};

} // namespace

TEST_F(PanelTest, SoundLineCyclesAndStopsTheMusicOnEffectsOnlyAndOff) {
    writeFile(workDir.file("data/sfx/tune.ogg"), encodeOgg(1, 22050, 22050 * 3));
    OpenOptions();
    app->m_settings[5] = 0;
    CursorTo(1);
    const int expected[] = {1, 2, 3, 0};
    for (int value : expected) {
        SCOPED_TRACE(value);
        app->p_PlayTune(u"tune", 1); // starts only where the setting allows music
        const int before = app->m_musicPlaying;
        const int voice = app->m_sfxVoice;
        Tap(kKeySpace);
        EXPECT_EQ(app->m_settings[5], value);
        EXPECT_TRUE(PlayedSince(voice).empty()) << "the line makes no sound of its own";
        const bool stops = value == 0 || value == 2;
        EXPECT_EQ(app->m_musicPlaying, stops ? 0 : before);
        EXPECT_EQ(kp_audio_device->MusicState(), stops ? 0 : before);
    }
    EXPECT_TRUE(shows(*app, u"Sound:Off"));

    kp_BT3_HasMusicStream = 0; // without a music stream the line is a switch
    Tap(kKeySpace);
    EXPECT_EQ(app->m_settings[5], 1);
    EXPECT_TRUE(shows(*app, u"Sound:On"));
    Tap(kKeySpace);
    EXPECT_EQ(app->m_settings[5], 0);
}

TEST_F(PanelTest, SoundSettingOutOfRangeShowsOffAndIsReset) {
    app->m_settings[5] = 5;
    OpenOptions();
    EXPECT_EQ(app->m_settings[5], 0);
    EXPECT_TRUE(shows(*app, u"Sound:Off"));
}

TEST_F(PanelTest, ScorePopupsFlipWithTheirTwoSounds) {
    OpenOptions();
    CursorTo(2);
    int voice = app->m_sfxVoice;
    Tap(kKeySpace);
    EXPECT_EQ(app->m_settings[1], 1);
    EXPECT_EQ(PlayedSince(voice), (std::vector<int>{99, 98}));
    EXPECT_TRUE(shows(*app, u"ScorePopups:Off"));
    Tap(kKeySpace);
    EXPECT_EQ(app->m_settings[1], 0);
}

TEST_F(PanelTest, RelockLocksOnTheFourthActivationKeepsScoresAndStartsOverWhenReopened) {
    for (int k = 0; k < 150; ++k) app->m_records[kMarker + k * 10] = k < 20 ? -1 : 0;
    app->m_records[kMarker + 20 * 10] = 2;
    app->m_records[0] = 777; // level 1's best score
    app->m_menuLevel = 12;
    OpenOptions();
    CursorTo(3);
    const char16_t* texts[] = {u"Areyousure?", u"Really!?!", u"LOCKED!"};
    for (const char16_t* text : texts) {
        int voice = app->m_sfxVoice;
        Tap(kKeySpace);
        EXPECT_EQ(PlayedSince(voice), (std::vector<int>{99, 4}));
        EXPECT_TRUE(shows(*app, text)) << std::string(text, text + 3);
        EXPECT_EQ(app->m_records[kMarker], -1) << "nothing is locked before the last answer";
    }
    int voice = app->m_sfxVoice;
    Tap(kKeySpace);
    EXPECT_EQ(PlayedSince(voice), (std::vector<int>{10}));
    for (int k = 0; k < 150; ++k) ASSERT_EQ(app->m_records[kMarker + k * 10], 0) << k;
    EXPECT_EQ(app->m_records[0], 777);
    EXPECT_EQ(app->m_menuLevel, 0);
    EXPECT_EQ(app->m_menuYTarget, app->p_FindSpot(0));
    EXPECT_TRUE(shows(*app, u"LOCKED!"));

    Tap(kKeyEscape);
    EXPECT_EQ(app->m_optionsOpen, 0);
    OpenOptions();
    EXPECT_EQ(app->m_relockStage, 0);
    EXPECT_TRUE(shows(*app, u"Re-lockAllLevels"));
}

TEST_F(PanelTest, ICadeAndWindowLinesSwitchTheirModes) {
    OpenOptions();
    CursorTo(4);
    app->m_buttons[12] = 2;
    Tap(kKeySpace);
    EXPECT_EQ(kp_BT3_iCadeControls, 1);
    EXPECT_EQ(app->m_buttons[12], 0) << "all virtual buttons are cleared";
    EXPECT_TRUE(shows(*app, u"iCade:On"));
    // iCade mode reads the cabinet's letters; Space still acts.
    Tap(kKeySpace);
    EXPECT_EQ(kp_BT3_iCadeControls, 0);

    host->SetDesktop(KpDisplayMode{1024, 768});
    CursorTo(5);
    Tap(kKeySpace);
    EXPECT_EQ(app->m_fullscreen, 1);
    EXPECT_EQ(kp_app_DeviceWidth(), 1024);
    EXPECT_TRUE(shows(*app, u"Windowed"));
    Tap(kKeySpace);
    EXPECT_EQ(app->m_fullscreen, 0);
    EXPECT_EQ(kp_app_DeviceWidth(), 640);
}

TEST_F(PanelTest, CursorStaysWithinTheShownLinesAndCreditsAreAbsentWhilePaused) {
    OpenOptions();
    Tap(kKeyUp);
    EXPECT_EQ(app->m_optionsCursor, 0);
    for (int i = 0; i < 10; ++i) Tap(kKeyDown);
    EXPECT_EQ(app->m_optionsCursor, 6);
    EXPECT_TRUE(shows(*app, u"Credits"));
    EXPECT_TRUE(shows(*app, u"iCade:Off"));
    EXPECT_EQ(drawnText(*app).find(u"Overscan"), std::u16string::npos);

    app->m_paused = 1;
    Tick();
    EXPECT_EQ(app->m_optionsCursor, 5) << "the cursor follows the last line";
    EXPECT_EQ(drawnText(*app).find(u"Credits"), std::u16string::npos);
    Tap(kKeyDown);
    EXPECT_EQ(app->m_optionsCursor, 5);
}

TEST_F(PanelTest, CreditsLineOpensTheDetailPanelAndSavesAsItClosesTheOptions) {
    OpenOptions();
    Click(300, 170);     // score popups off
    MouseDown(400, 340); // the credits box, on the right
    Tick();
    EXPECT_EQ(app->m_detailSlide, 1);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_optionsCursor, 6);
    EXPECT_EQ(readFile(workDir.file(".zembrastate")).substr(0, 4), "0|1|");
}

TEST_F(PanelTest, HeldKeysAndTouchesActOnce) {
    OpenOptions();
    CursorTo(2);
    Press(kKeySpace);
    Tick(10);
    EXPECT_EQ(app->m_settings[1], 1);
    Release(kKeySpace);
    Tick();
    Press(kKeySpace);
    Tick();
    EXPECT_EQ(app->m_settings[1], 0);
    Release(kKeySpace);
    Tick();

    MouseDown(300, 170); // the score popups line
    Tick(10);
    EXPECT_EQ(app->m_settings[1], 1);
    EXPECT_EQ(app->m_optionsCursor, 2);
    MouseUp();
    Tick();
    Click(300, 210); // the re-lock line, a touch away
    EXPECT_EQ(app->m_relockStage, 1);
    EXPECT_EQ(app->m_optionsCursor, 3);
}

TEST_F(PanelTest, ATapBetweenTwoTicksActsOnceInThePanel) {
    OpenOptions();
    // Down and space each pressed and let go before a tick: the cursor moves, the line acts.
    // (Taps in two ticks running read as one hold, so a tick without one lies between.)
    Press(kKeyDown);
    Release(kKeyDown);
    Tick(2);
    Press(kKeyDown);
    Release(kKeyDown);
    Tick(2);
    EXPECT_EQ(app->m_optionsCursor, 2);
    Press(kKeySpace);
    Release(kKeySpace);
    Tick();
    EXPECT_EQ(app->m_settings[1], 1);
    Tick(3);
    EXPECT_EQ(app->m_settings[1], 1) << "acted for one tick only";

    // A tap on a line acts on it once.
    MouseDown(300, 170); // the score popups line
    MouseUp();
    Tick();
    EXPECT_EQ(app->m_settings[1], 0);
    Tick(3);
    EXPECT_EQ(app->m_settings[1], 0);
    EXPECT_EQ(app->m_pointerDown, 0);
}

TEST_F(PanelTest, ThePressThatOpensThePanelDoesNotActInIt) {
    app->m_optionsCursor = 2;
    Press(kKeyB); // action 14, the menu's options button
    app->m_optionsOpen = 1;
    Tick(5);
    EXPECT_EQ(app->m_settings[1], 0);
    Release(kKeyB);
    Tick();
    Tap(kKeyB);
    EXPECT_EQ(app->m_settings[1], 1);

    Tap(kKeyEscape);
    Tick(3); // reopened while still sliding away
    Press(kKeyB);
    app->m_optionsOpen = 1;
    Tick(3);
    EXPECT_EQ(app->m_settings[1], 1);
}

TEST_F(PanelTest, BackPressCogTouchAndActionOnTheBackButtonCloseAndLatch) {
    OpenOptions();
    Press(kKeyEscape);
    Tick();
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_backLatch, 1);
    EXPECT_EQ(app->m_pointerLatch, 1);
    EXPECT_TRUE(std::filesystem::exists(workDir.file(".zembrastate"))) << "closing saves";
    Release(kKeyEscape);
    Tick(40);
    EXPECT_EQ(app->m_optionsSlide, 0);

    OpenOptions();
    Click(100, 60); // the cog, in place at full slide
    EXPECT_EQ(app->m_optionsOpen, 0);
    Tick(40);

    OpenOptions();
    CursorTo(0);
    Tap(kKeyX); // action 11
    EXPECT_EQ(app->m_optionsOpen, 0);
    Tick(40);
    OpenOptions();
    Tap(kKeyB); // action 14 does not close
    EXPECT_EQ(app->m_optionsOpen, 1);
}

TEST_F(PanelTest, TelevisionBuildShowsTheOverscanSliderInsteadOfICade) {
    kp_BT3_isOuya = 1;
    app->m_settings[14] = 1;
    OpenOptions();
    EXPECT_TRUE(shows(*app, u"L1<Overscan>R1"));
    EXPECT_EQ(drawnText(*app).find(u"iCade"), std::u16string::npos);
    CursorTo(1);                            // the slider line, at the top
    for (int i = 0; i < 8; ++i) Tap(kKeyN); // +16 each, up to 96
    EXPECT_EQ(app->m_settings[14], 96);
    EXPECT_EQ(kp_BT3_overscan, 96.0f);
    Tap(kKeyB);
    EXPECT_EQ(app->m_settings[14], 80);
    for (int i = 0; i < 8; ++i) Tap(kKeyB);
    EXPECT_EQ(app->m_settings[14], 1);
    CursorTo(2); // elsewhere the shoulder buttons act on the line, here the sound
    Tap(kKeyN);
    EXPECT_EQ(app->m_settings[14], 1);
    EXPECT_EQ(app->m_settings[5], 2);
}

// ---- Pause panel, called as the in-play overlay calls it while paused.

namespace {
class PauseTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        app->m_screen = 10;
        app->m_landscape = 1;
        app->m_paused = 1;
        app->m_pauseDir = 1;
        app->m_pauseY = -64;
        app->m_backLatch = 0;
        app->m_pointerLatch = 0;
    }
    // One paused tick of the overlay; `n` of them.
    void Run(int n = 1) {
        for (int i = 0; i < n; ++i) app->p_PauseMenu();
    }
    // The frame driver's latch release, once nothing is held.
    void ReleaseAll() {
        app->m_backLatch = 0;
        app->m_pointerLatch = 0;
        app->m_pointerDown = 0;
        app->m_touchDown[0] = 0;
    }
    void Touch(float x, float y) {
        app->m_pointerDown = 1;
        app->m_touchDown[0] = 1;
        app->m_touchX[0] = static_cast<int>(x);
        app->m_touchY[0] = static_cast<int>(y);
    }
    // Key presses read straight from the input device, in an update of their own (its end
    // clears the press's hit, which would otherwise read as down in the next one).
    void KeyOnce(int key) {
        Press(key);
        Run();
        Release(key);
        kp_input_device->p_EndUpdate();
        ReleaseAll();
    }
};
} // namespace

TEST_F(PauseTest, SlidesInAndResumesByKeyWithTheRightSounds) {
    Run(20);
    EXPECT_GE(app->m_pauseY, 240);
    EXPECT_LT(app->m_pauseY, 240 + 24) << "stops once half the screen is reached";
    EXPECT_TRUE(shows(*app, u"PAUSED"));
    int voice = app->m_sfxVoice;
    KeyOnce(kKeySpace); // the choice starts on resume
    EXPECT_EQ(app->m_pauseDir, -1);
    EXPECT_EQ(PlayedSince(voice), (std::vector<int>{98}));
    int ticks = 0;
    while (app->m_paused == 1 && ticks < 100) {
        Run();
        ++ticks;
    }
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_LT(app->m_pauseY, -32);
    EXPECT_LE(ticks, 14);
}

TEST_F(PauseTest, ABackPressLeavesThePanelUpAndTheChoiceResumes) {
    Run(20);
    int voice = app->m_sfxVoice;
    KeyOnce(kKeyEscape);
    Run(20);
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseDir, 1) << "back is none of the panel's keys";
    EXPECT_EQ(app->m_pauseChoice, 0);
    EXPECT_TRUE(PlayedSince(voice).empty());
    KeyOnce(kKeySpace);
    EXPECT_EQ(app->m_pauseDir, -1);
}

TEST_F(PauseTest, UpLeadsBackToTheMenuEndingTheRound) {
    Run(20);
    KeyOnce(kKeyUp);
    KeyOnce(kKeyUp); // already at the top
    EXPECT_EQ(app->m_pauseChoice, -1);
    int voice = app->m_sfxVoice;
    KeyOnce(kKeySpace);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_pauseDir, -1);
    EXPECT_EQ(app->m_pauseY, -64);
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_EQ(PlayedSince(voice), (std::vector<int>{98}));
    float pitch = 0;
    alGetSourcef(kp_audio_device->channels[app->m_sfxChannels[app->m_sfxVoice]].source, AL_PITCH,
                 &pitch);
    EXPECT_FLOAT_EQ(pitch, 0.5f);
}

TEST_F(PauseTest, DownOpensTheOptionsWhichThenHaveTheKeys) {
    Run(20);
    KeyOnce(kKeyDown);
    KeyOnce(kKeyDown);
    EXPECT_EQ(app->m_pauseChoice, 1);
    KeyOnce(kKeySpace);
    EXPECT_EQ(app->m_optionsOpen, 1);
    EXPECT_EQ(app->m_paused, 1);
    KeyOnce(kKeyUp);
    EXPECT_EQ(app->m_pauseChoice, 1) << "the pause panel leaves keys to the options panel";
}

TEST_F(PauseTest, PointerControlsActOncePerPress) {
    Run(20);
    Touch(320 + 128, 96); // back to the menu, top of the column
    Run();
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_EQ(app->m_paused, 0);

    ReleaseAll();
    app->m_paused = 1;
    app->m_pauseDir = 1;
    Run(20);
    Touch(320 + 128, 296); // the options cog
    Run(3);
    EXPECT_EQ(app->m_optionsOpen, 1);
    app->m_optionsOpen = 0;
    Run(3);
    EXPECT_EQ(app->m_optionsOpen, 0) << "the held touch is spent";
    ReleaseAll();
    Touch(320 + 128, 196); // resume
    Run();
    EXPECT_EQ(app->m_pauseDir, -1);
}

TEST_F(PauseTest, ALongPauseKeepsTheDrawListFromGrowing) {
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    app->p_Rect(0, 0, 10, 10); // the frozen frame
    Run(30);
    const int settled = app->m_drawCount;
    Run(500);
    EXPECT_EQ(app->m_drawCount, settled);
    EXPECT_EQ(app->m_drawList[0], kCmdRect) << "the frozen frame stays";
}

// ---- The notice of a damaged progress file.

TEST_F(PanelTest, ADamagedFilesNoticeStaysUntilAKeyOrItsTimeAndNamesTheCopy) {
    app->m_font = 90;
    app->m_fontMetrics[90 * 3] = 7;
    writeFile(".zembrastate", "no save at all");
    app->p_Load();
    Tick();
    const std::u16string text = drawnText(*app);
    EXPECT_NE(text.find(u"|Yourprogressfilewasdamaged:acopyiskeptas"), std::u16string::npos);
    EXPECT_NE(text.find(u".zembrastate.damaged-"), std::u16string::npos) << "the copy's name";
    // Over everything else, at the bottom of the screen, inside it.
    const float* panel = nullptr;
    for (int i = 0; i + kDrawStride <= app->m_drawCount; i += kDrawStride) {
        if (app->m_drawList[i] == kCmdRect) panel = &app->m_drawList[i];
    }
    ASSERT_NE(panel, nullptr);
    EXPECT_GE(panel[bt3::kSlotX], 0.0f);
    EXPECT_GT(panel[bt3::kSlotY], kp_BT3_jscrh / 2.0f);
    EXPECT_LE(panel[bt3::kSlotX] + panel[bt3::kSlotW], static_cast<float>(kp_BT3_jscrw));
    EXPECT_LE(panel[bt3::kSlotY] + panel[bt3::kSlotH], static_cast<float>(kp_BT3_jscrh));

    Tick(30);
    Tap(kKeyX);
    EXPECT_EQ(app->m_noticeShown, 0) << "a key ends it";
    app->p_Load(); // a second damaged start: a second notice
    Tick(480);
    EXPECT_EQ(app->m_noticeShown, 1);
    Tick();
    EXPECT_EQ(app->m_noticeShown, 0) << "and so does time";
    EXPECT_EQ(drawnText(*app).find(u"Yourprogress"), std::u16string::npos);
}

// ---- Quit box of the television build.

TEST_F(PanelTest, QuitBoxReturnsToTheMenuOnAOnceTheLatchesAreClear) {
    kp_BT3_isOuya = 1;
    app->m_screen = 4;
    app->m_backLatch = 1;
    Press(kKeySpace);
    Tick();
    EXPECT_EQ(app->m_screen, 4) << "the press that opened it is ignored";
    EXPECT_NE(drawnText(*app).find(u"you'retryingtoQUIT!"), std::u16string::npos);
    Release(kKeySpace);
    Tick();
    Press(kKeySpace);
    Tick();
    EXPECT_EQ(app->m_screen, 1);
    EXPECT_EQ(app->m_backLatch, 1) << "the menu does not see the same press";
}

TEST_F(PanelTest, QuitBoxEndsTheProgramOnB) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    kp_BT3_isOuya = 1;
    app->m_screen = 4;
    auto quit = [&] {
        Tick();
        Press(kKeyX);
        Tick();
        std::_Exit(3); // not reached when the box quits
    };
    EXPECT_EXIT(quit(), ::testing::ExitedWithCode(0), "");
}
