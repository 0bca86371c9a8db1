// What one update tick does in its order, seen from outside: a music track decoded meanwhile
// starts, the music stream pauses with the game and plays again when it resumes, and a cabinet
// letter is decoded after the input latches, so a press arriving in the tick that frees the latch
// is a new press.
#include <chrono>
#include <filesystem>
#include <thread>

#include "audio/gxtkAudio.h"
#include "game/kp_bt3_globals.h"
#include "game_fixture.h"
#include "support/ogg_writer.h"

namespace {

constexpr auto kTickPause = std::chrono::milliseconds(5);
// The decoder thread runs at a low priority, so a busy machine can hold it back for a long
// time; this bound only ends a test whose tune never starts.
constexpr auto kDecodeBound = std::chrono::seconds(30);

class TickOrder : public GameTest {
  protected:
    void Tick() { host->UpdateGame(); }
    void Type(char16_t c) { host->KeyEvent(kEventKeyChar, c); }
};

} // namespace

TEST_F(TickOrder, MusicPausesWithTheGameAndPlaysWhenItResumes) {
    std::filesystem::create_directories("data/sfx");
    writeFile("data/sfx/theme.ogg", encodeOgg(1, 22050, 22050 * 4));
    Start();
    ASSERT_NE(kp_audio_device, nullptr);
    app->m_settings[5] = 1;
    testing::internal::CaptureStdout();
    app->p_PlayTune(kpS("theme"), 1);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(kp_audio_device->MusicState(), kChannelPlaying);

    app->m_paused = 1;
    Tick();
    EXPECT_EQ(kp_audio_device->MusicState(), kChannelPaused) << "paused game, paused music";
    Tick();
    EXPECT_EQ(kp_audio_device->MusicState(), kChannelPaused) << "and it stays paused";
    app->m_paused = 0;
    Tick();
    EXPECT_EQ(kp_audio_device->MusicState(), kChannelPlaying);
}

TEST_F(TickOrder, ATuneStartsSoundingFromTheTicksAlone) {
    std::filesystem::create_directories("data/sfx");
    writeFile("data/sfx/theme.ogg", encodeOgg(1, 22050, 22050));
    Start();
    kp_BT3_HasMusicStream = 0; // so the ticks make no pause or resume call of their own
    app->m_settings[5] = 1;
    testing::internal::CaptureStdout();
    app->p_PlayTune(kpS("theme"), 1);
    testing::internal::GetCapturedStdout();
    // The track decodes off the main thread; some tick after that must start it.
    const ALuint source = kp_audio_device->channels[kMusicChannel].source;
    ALint state = AL_INITIAL;
    const auto deadline = std::chrono::steady_clock::now() + kDecodeBound;
    while (state != AL_PLAYING && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kTickPause);
        Tick();
        alGetSourcei(source, AL_SOURCE_STATE, &state);
    }
    EXPECT_EQ(state, AL_PLAYING);
}

TEST_F(TickOrder, ACabinetPressInTheTickThatFreesTheLatchIsANewPress) {
    Start();
    app->m_loadStep = 0;
    app->m_introFrames = 320; // the menu holds both latches while the intro runs
    kp_BT3_iCadeControls = 1;
    // A press some ticks ago left the latch set; nothing is held now.
    app->m_backLatch = 1;
    Type(u'W');
    Tick();
    EXPECT_EQ(app->m_buttons[0], 2) << "the letter was read in this tick";
    EXPECT_EQ(app->m_backLatch, 0) << "the latch saw this tick's input before the letter";
}
