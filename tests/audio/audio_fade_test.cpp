// The audio device's fades as callers see them, on OpenAL Soft's wave backend: pause, suspend
// and stop return at once with the fade still running, and the sequences that meet a fade
// half way (resume before the pause takes, a pause or play during a suspend's fade, a sound
// that runs out while fading, a new play or track after a stop, closing the device) leave
// every channel and source as if the fade had been instant.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"

namespace {

class AudioFade : public ::testing::Test {
  protected:
    void SetUp() override {
        device = openTestDevice();
        ASSERT_TRUE(device->Live()) << "the wave backend did not open";
        Tone tone;
        tone.seconds = 3.0; // long enough that no loop wraps between two looks at its offset
        hum = loadTone("hum.wav", tone);
        ASSERT_TRUE(hum);
    }

    double clock() { return mixedSeconds(device->alcDevice); }
    // Waits until the mixer has made `seconds` more output, running Update() as ticks do.
    void mix(double seconds) { ASSERT_TRUE(mixWithTicks(*device, seconds)) << "the mixer stopped"; }
    void pumpUntil(const std::function<bool()>& done, const char* what) {
        ASSERT_TRUE(tickUntil(*device, done)) << "never: " << what;
    }
    static ALint stateOf(ALuint source) {
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        return state;
    }
    static float gainOf(ALuint source) {
        ALfloat gain = -1;
        alGetSourcef(source, AL_GAIN, &gain);
        return gain;
    }
    static ALint offsetOf(ALuint source) {
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        return offset;
    }
    ALuint sourceOf(int channel) { return device->channels[channel].source; }
    void waitSourceState(int channel, ALint state) {
        pumpUntil([&] { return stateOf(sourceOf(channel)) == state; }, "the source's state");
    }
    // Writes "old.wav" (seconds long, 440 Hz) and "new.wav" (0.3 s, 660 Hz), and plays the old
    // one as looping music until the mixer has mixed it.
    void playOldTune(double seconds) {
        writeToneWav("data/old.wav", Tone{seconds, 22050, 1, 2, 0.5, 440.0});
        writeToneWav("data/new.wav", Tone{0.3, 22050, 1, 2, 0.5, 660.0});
        ASSERT_EQ(device->PlayMusic(kpS("zembra://data/old.wav"), 1), 0);
        waitSourceState(kMusicChannel, AL_PLAYING);
        mix(0.1);
    }
    // Plays the looping hum on the channel at the given volume until the mixer has mixed it.
    void sound(int channel, float volume = 1.0f) {
        kp_audio_SetChannelVolume(channel, volume);
        ASSERT_EQ(kp_audio_PlaySound(hum.get(), channel, 1), 0);
        mix(0.1);
        ASSERT_EQ(stateOf(sourceOf(channel)), AL_PLAYING);
    }

    KpHeadlessGame host;
    std::unique_ptr<gxtkAudio> device;
    std::unique_ptr<c_Sound> hum;
};

} // namespace

TEST_F(AudioFade, PauseReturnsWhileTheSourceFadesAndALaterUpdatePausesIt) {
    sound(2, 0.5f);
    device->PauseChannel(2);
    EXPECT_EQ(device->ChannelState(2), kChannelPaused);
    // The call did not wait for the mixer: the source still plays, silenced.
    EXPECT_EQ(stateOf(sourceOf(2)), AL_PLAYING);
    EXPECT_EQ(gainOf(sourceOf(2)), 0.0f);
    waitSourceState(2, AL_PAUSED);
    EXPECT_EQ(gainOf(sourceOf(2)), 0.5f) << "the channel's volume is given back";
    const ALint at = offsetOf(sourceOf(2));
    mix(0.1);
    EXPECT_EQ(offsetOf(sourceOf(2)), at);
    EXPECT_EQ(device->ChannelState(2), kChannelPaused);
}

TEST_F(AudioFade, ResumeCarriesOnFromThePauseWhetherOrNotItHadTaken) {
    // Resumed before the pause took: never restarted, never paused later by the old fade.
    sound(3, 0.5f);
    const ALint before = offsetOf(sourceOf(3));
    device->PauseChannel(3);
    device->ResumeChannel(3);
    EXPECT_EQ(device->ChannelState(3), kChannelPlaying);
    EXPECT_GE(offsetOf(sourceOf(3)), before);
    EXPECT_EQ(gainOf(sourceOf(3)), 0.5f);
    mix(0.15);
    EXPECT_EQ(stateOf(sourceOf(3)), AL_PLAYING);
    EXPECT_EQ(device->ChannelState(3), kChannelPlaying);

    // Resumed after the pause took: from where it stood.
    device->PauseChannel(3);
    waitSourceState(3, AL_PAUSED);
    const ALint paused = offsetOf(sourceOf(3));
    EXPECT_GT(paused, 0);
    mix(0.1);
    device->ResumeChannel(3);
    EXPECT_EQ(stateOf(sourceOf(3)), AL_PLAYING);
    EXPECT_GE(offsetOf(sourceOf(3)), paused);
    EXPECT_EQ(gainOf(sourceOf(3)), 0.5f);
}

TEST_F(AudioFade, ASoundThatRunsOutWhileFadingToAPauseEndsStoppedAndResumesNothing) {
    // 0.03 s is less than the two mixer blocks a fade waits for, so it ends first.
    Tone shortTone;
    shortTone.seconds = 0.03;
    writeToneWav("data/tick.wav", shortTone);
    auto tick = kp_audio_LoadSound(kpS("tick.wav"));
    ASSERT_TRUE(tick);
    kp_audio_PlaySound(tick.get(), 4, 0);
    device->PauseChannel(4);
    pumpUntil([&] { return stateOf(sourceOf(4)) == AL_STOPPED; }, "the tick ends");
    EXPECT_EQ(device->ChannelState(4), kChannelStopped);
    device->ResumeChannel(4);
    EXPECT_EQ(stateOf(sourceOf(4)), AL_STOPPED) << "it was played again from the start";
    EXPECT_EQ(device->ChannelState(4), kChannelStopped);
}

TEST_F(AudioFade, SuspendReturnsAtOnceAndKeepsWhatTheGameDidMeanwhile) {
    sound(0);
    sound(1);
    sound(5);
    device->PauseChannel(1); // paused by the game before: stays paused
    device->Suspend();
    EXPECT_EQ(stateOf(sourceOf(0)), AL_PLAYING) << "Suspend waited for the mixer";
    EXPECT_EQ(gainOf(sourceOf(0)), 0.0f);
    device->PauseChannel(5); // paused by the game while the device fades out
    device->Resume();        // before the fades are done
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    EXPECT_EQ(gainOf(sourceOf(0)), 1.0f);
    mix(0.15);
    EXPECT_EQ(stateOf(sourceOf(0)), AL_PLAYING) << "the cancelled fade paused it after all";
    EXPECT_EQ(stateOf(sourceOf(1)), AL_PAUSED);
    EXPECT_EQ(stateOf(sourceOf(5)), AL_PAUSED);
    EXPECT_EQ(device->ChannelState(1), kChannelPaused);
    EXPECT_EQ(device->ChannelState(5), kChannelPaused);

    // A whole suspension: paused by the ticks, played again by Resume.
    device->Suspend();
    waitSourceState(0, AL_PAUSED);
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    device->Resume();
    EXPECT_EQ(stateOf(sourceOf(0)), AL_PLAYING);
    EXPECT_EQ(stateOf(sourceOf(5)), AL_PAUSED);
}

TEST_F(AudioFade, ASlowTickEndsTheFadeAtTheFirstTickAfterItWasMixed) {
    // While suspended the game ticks 5 times a second: the first of those ticks after the
    // mixer has mixed the fade pauses the source, not the second or third.
    sound(0);
    sound(1);
    const ALuint stopped = sourceOf(1);
    device->StopChannel(1); // handed to a spare, which ends it in the same tick
    device->Suspend();
    const double until = clock() + 0.2; // the fades were mixed long since
    ASSERT_TRUE(waitUntil([&] { return clock() >= until; })) << "the mixer stopped";
    device->Update();
    EXPECT_EQ(stateOf(sourceOf(0)), AL_PAUSED);
    EXPECT_EQ(stateOf(stopped), AL_STOPPED);
}

TEST_F(AudioFade, AStoppedSoundFadesOnASpareWhileItsChannelPlaysAgain) {
    kp_audio_SetChannelPan(6, 1.0f);
    kp_audio_SetChannelRate(6, 1.5f);
    sound(6, 0.5f);
    const ALuint old = sourceOf(6);
    device->StopChannel(6);
    EXPECT_EQ(device->ChannelState(6), kChannelStopped);
    const ALuint fresh = sourceOf(6);
    ASSERT_NE(fresh, old) << "the fading sound kept the channel's source";
    EXPECT_EQ(stateOf(old), AL_PLAYING); // fading, silenced
    EXPECT_NE(stateOf(fresh), AL_PLAYING);
    // The channel's settings moved with it.
    ALfloat x = 0, y = 0, z = 0, pitch = 0;
    alGetSource3f(fresh, AL_POSITION, &x, &y, &z);
    alGetSourcef(fresh, AL_PITCH, &pitch);
    EXPECT_NEAR(x, 0.84, 0.01);
    EXPECT_FLOAT_EQ(pitch, 1.5f);
    EXPECT_EQ(gainOf(fresh), 0.5f);

    ASSERT_EQ(kp_audio_PlaySound(hum.get(), 6, 0), 0);
    EXPECT_EQ(sourceOf(6), fresh);
    EXPECT_EQ(stateOf(fresh), AL_PLAYING);
    pumpUntil([&] { return stateOf(old) == AL_STOPPED; }, "the handed-off sound stops");
    ALint buffer = -1;
    alGetSourcei(old, AL_BUFFER, &buffer);
    EXPECT_EQ(buffer, 0) << "the spare keeps the old sound's buffer";
    EXPECT_EQ(device->ChannelState(6), kChannelPlaying);
}

TEST_F(AudioFade, APlayDuringAPauseFadeReplacesThePausedSound) {
    sound(7);
    device->PauseChannel(7);
    ASSERT_EQ(kp_audio_PlaySound(hum.get(), 7, 0), 0);
    EXPECT_EQ(device->ChannelState(7), kChannelPlaying);
    EXPECT_EQ(gainOf(sourceOf(7)), 1.0f);
    mix(0.15);
    EXPECT_EQ(stateOf(sourceOf(7)), AL_PLAYING) << "the old pause caught the new sound";
    EXPECT_EQ(device->ChannelState(7), kChannelPlaying);
}

TEST_F(AudioFade, AStoppedSoundsDiscardedBufferGoesOnceItsFadeEnds) {
    sound(8);
    const ALuint old = sourceOf(8);
    const ALuint buffer = hum->sample->buffer;
    hum.reset();
    device->channels[8].sample.reset(); // the last holder lets go: the buffer is discarded
    ASSERT_EQ(kpAudioDiscardList().size(), 1u);
    device->StopChannel(8);
    device->FlushDiscarded();
    EXPECT_TRUE(alIsBuffer(buffer)) << "deleted under a sound still fading";
    pumpUntil([&] { return stateOf(old) == AL_STOPPED; }, "the fade ends");
    device->FlushDiscarded();
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_TRUE(kpAudioDiscardList().empty());
}

TEST_F(AudioFade, StoppedMusicThenANewTrackPlaysOnlyTheNewTrack) {
    playOldTune(0.2);
    device->StopMusic();
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    ASSERT_EQ(device->PlayMusic(kpS("zembra://data/new.wav"), 1), 0);
    pumpUntil([&] { return !device->MusicDecoding(); }, "the new track decodes");
    EXPECT_EQ(device->MusicState(), kChannelPlaying);
    EXPECT_EQ(stateOf(sourceOf(kMusicChannel)), AL_PLAYING);
    ALint size = 0;
    alGetBufferi(device->channels[kMusicChannel].sample->buffer, AL_SIZE, &size);
    EXPECT_EQ(size, int(0.3 * 22050) * 2);
    mix(0.15);
    EXPECT_EQ(device->MusicState(), kChannelPlaying);

    // Stopped again and replaced before any tick: the same.
    device->StopMusic();
    ASSERT_EQ(device->PlayMusic(kpS("zembra://data/old.wav"), 0), 0);
    pumpUntil([&] { return !device->MusicDecoding(); }, "the old track decodes");
    EXPECT_EQ(device->MusicState(), kChannelPlaying);
    pumpUntil([&] { return device->MusicState() == kChannelStopped; }, "the one-shot ends");
}

TEST_F(AudioFade, AReplacedTunesBufferGoesOnceItsFadeEndsWithNoOtherSound) {
    // A tune of a few MB lives on after the game moved to the next one only as long as its
    // fade: the ticks let it go, though no other sound may play for minutes (a quiet menu).
    playOldTune(3.0);
    const ALuint old = device->channels[kMusicChannel].sample->buffer;
    device->StopMusic();
    ASSERT_EQ(device->PlayMusic(kpS("zembra://data/new.wav"), 1), 0);
    pumpUntil([&] { return !device->MusicDecoding(); }, "the new track decodes");
    pumpUntil([&] { return alIsBuffer(old) == AL_FALSE; }, "the old tune's buffer goes");
    EXPECT_TRUE(kpAudioDiscardList().empty());
    EXPECT_EQ(stateOf(sourceOf(kMusicChannel)), AL_PLAYING);
}

TEST_F(AudioFade, ClosingWithFadesUnderWayLeavesNoSourceOrBufferBehind) {
    sound(0);
    sound(1);
    sound(2);
    device->PauseChannel(0);
    device->StopChannel(1);
    device->Suspend();
    hum.reset();
    device.reset();
    // A new device opens and plays as ever.
    device = std::make_unique<gxtkAudio>();
    ASSERT_TRUE(device->Live());
    kp_audio_SetAudioDevice(device.get());
    hum = kp_audio_LoadSound(kpS("hum.wav"));
    ASSERT_EQ(kp_audio_PlaySound(hum.get(), 0, 0), 0);
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    // OpenAL Soft warns of every source and buffer a closing device still had ("Deleted 1
    // Source"); CTest points its log at a file (this test's entry), run by hand it is skipped.
    const char* logFile = std::getenv("ALSOFT_LOGFILE");
    if (!logFile) GTEST_SKIP() << "ALSOFT_LOGFILE is not set: the library's warnings are unseen";
    std::fflush(nullptr); // the library's log is a buffered stream of this process
    const std::string log = readFile(logFile);
    EXPECT_EQ(log.find("Deleted"), std::string::npos) << log;
}
