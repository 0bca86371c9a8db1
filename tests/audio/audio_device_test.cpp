// The audio device on OpenAL Soft's wave backend, whose mixed output is written to a WAV file
// in real time: what is played really sounds (and for how long), volume, pan, rate, looping,
// pause, stop and device suspension, the channel state rules, music (decoded on a worker and
// started by Update, with what the game did meanwhile), and the discard list.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"

namespace {

// Tolerance on measured lengths: the mixer works in blocks of about 23 ms, and a window of
// the output analysis is 10 ms. A call that ends a sound fades it out over the mixer's next
// block or two before stopping it, so the mixer's clock is read before such a call, and after
// one that starts a sound.
constexpr double kSlack = 0.05;

// Where a call lies on the mixer's clock. A mixer that fell behind catches up in a burst of
// blocks, during which a call (and a clock reading) may wait for the library's lock, so on a
// busy machine a call can lie well after the reading before it or well before the one after.
struct ClockSpan {
    double before;
    double after;
};

// While set, music decoding waits before it starts, so a test can act on a track in flight.
std::atomic<bool> decodesHeld{false};
// Decodes that have run to their end, heard or abandoned.
std::atomic<int> decodesDone{0};

KpBytes countedDecode(const String& path, FILE* file, int* length, int* channels, int* bytes,
                      int* hertz) {
    while (decodesHeld.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    KpBytes data = kpDecodeAudioFile(path, file, length, channels, bytes, hertz);
    ++decodesDone;
    return data;
}

class AudioDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        audioTestFolder();
        decodesDone = 0;
        device = std::make_unique<gxtkAudio>();
        ASSERT_TRUE(device->Live()) << "the wave backend did not open";
        ASSERT_GE(clock(), 0.0) << "the library does not report its mixing clock";
        device->trackDecoder = countedDecode;
        kp_audio_SetAudioDevice(device.get());
    }
    void TearDown() override { releaseDecodes(); } // the device joins its decoders on closing

    void holdDecodes() { decodesHeld = true; }
    void releaseDecodes() { decodesHeld = false; }

    // Seconds of output mixed so far.
    double clock() { return mixedSeconds(device->alcDevice); }
    template <typename Call> ClockSpan clocked(Call call) {
        const double before = clock();
        call();
        return {before, clock()};
    }
    // A length of sound, or of silence, between two calls: at least the time from the end of
    // the first call to the start of the second, at most from the start of the first to the
    // end of the second (each within the slack).
    static void expectBetween(double length, ClockSpan first, ClockSpan second) {
        EXPECT_GT(length, second.before - first.after - kSlack);
        EXPECT_LT(length, second.after - first.before + kSlack);
    }

    // Waits until the mixer has made `seconds` more output, running the device's Update()
    // meanwhile as the game's ticks do.
    void mix(double seconds) { ASSERT_TRUE(mixWithTicks(*device, seconds)) << "the mixer stopped"; }
    // Waits, running Update(), until done() holds.
    void pumpUntil(const std::function<bool()>& done, const char* what) {
        ASSERT_TRUE(tickUntil(*device, done)) << "never: " << what;
    }
    // Waits until every decode started so far has finished and Update() has taken up the
    // one the music channel waits for (an abandoned one is joined when Update finds it done).
    void finishDecodes(int started) {
        pumpUntil([&] { return decodesDone.load() >= started && !device->MusicDecoding(); },
                  "the decodes finish");
    }
    void waitStopped(int channel) {
        pumpUntil([&] { return device->ChannelState(channel) == kChannelStopped; },
                  "the channel stops");
    }
    void waitSourceState(int channel, ALint state) {
        pumpUntil([&] { return sourceInt(channel, AL_SOURCE_STATE) == state; },
                  "the source reaches the state");
    }

    void writeTone(const std::string& name, double seconds, double hertz = 440.0) {
        Tone tone;
        tone.seconds = seconds;
        tone.hertz = hertz;
        writeToneWav("data/" + name, tone);
    }

    // A tone written under data/ and loaded through the audio module.
    std::unique_ptr<c_Sound> load(const std::string& name, const Tone& tone) {
        writeToneWav("data/" + name, tone);
        return kp_audio_LoadSound(kpS(name));
    }
    std::unique_ptr<c_Sound> load(const std::string& name, double seconds) {
        Tone tone;
        tone.seconds = seconds;
        return load(name, tone);
    }

    ALint sourceInt(int channel, ALenum what) {
        ALint value = 0;
        alGetSourcei(device->channels[channel].source, what, &value);
        return value;
    }
    // Neither playing nor paused: a source never played is initial, one played since stopped.
    bool sourceIdle(int channel) {
        const ALint state = sourceInt(channel, AL_SOURCE_STATE);
        return state == AL_STOPPED || state == AL_INITIAL;
    }

    // Closes the device, which completes the WAV file, and reads what was mixed.
    MixedOutput finish() {
        releaseDecodes();
        device.reset();
        return MixedOutput::read(mixedOutputPath());
    }

    KpHeadlessGame host;
    std::unique_ptr<gxtkAudio> device;
};

} // namespace

TEST_F(AudioDevice, PlayedSampleSoundsForItsLength) {
    auto beep = load("beep.wav", 0.3);
    ASSERT_TRUE(beep);
    EXPECT_EQ(kp_audio_PlaySound(beep.get(), 0, 0), 0);
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    waitStopped(0); // ended by itself
    mix(0.2);
    MixedOutput out = finish();
    EXPECT_GT(out.seconds(), 0.4);
    EXPECT_NEAR(out.soundingSeconds(), 0.3, kSlack);
}

TEST_F(AudioDevice, VolumeZeroIsSilent) {
    auto beep = load("beep.wav", 0.2);
    kp_audio_SetChannelVolume(3, 0.0f); // set before the channel has ever played
    kp_audio_PlaySound(beep.get(), 3, 0);
    waitStopped(3);
    MixedOutput out = finish();
    EXPECT_GT(out.seconds(), 0.2);
    EXPECT_LT(out.rms(0, 0, out.seconds()) + out.rms(1, 0, out.seconds()), 0.001);
}

TEST_F(AudioDevice, PanOneFavoursTheRightEar) {
    auto beep = load("beep.wav", 0.25);
    kp_audio_SetChannelPan(1, 1.0f);
    ALfloat x = 0, y = 0, z = 0;
    alGetSource3f(device->channels[1].source, AL_POSITION, &x, &y, &z);
    EXPECT_NEAR(x, 0.84, 0.01);
    EXPECT_NEAR(y, 0.0, 1e-6);
    EXPECT_NEAR(z, -0.54, 0.01);
    kp_audio_PlaySound(beep.get(), 1, 0);
    waitStopped(1);
    MixedOutput out = finish();
    double left = out.rms(0, 0, out.seconds());
    double right = out.rms(1, 0, out.seconds());
    EXPECT_GT(right, 0.01);
    EXPECT_GT(right, 1.5 * left);
}

TEST_F(AudioDevice, RateTwoPlaysTwiceAsFast) {
    auto beep = load("beep.wav", 0.4);
    kp_audio_SetChannelRate(2, 2.0f);
    kp_audio_PlaySound(beep.get(), 2, 0);
    waitStopped(2);
    EXPECT_NEAR(finish().soundingSeconds(), 0.2, kSlack);
}

TEST_F(AudioDevice, LoopingSoundSoundsUntilStopped) {
    auto beep = load("beep.wav", 0.1);
    const ClockSpan started = clocked([&] { kp_audio_PlaySound(beep.get(), 0, 1); });
    mix(0.4); // four times the sample's length
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    EXPECT_EQ(sourceInt(0, AL_LOOPING), AL_TRUE);
    // The sound ends as the call begins: fade, then stop.
    const ClockSpan stopped = clocked([&] { kp_audio_StopChannel(0); });
    EXPECT_EQ(device->ChannelState(0), kChannelStopped);
    mix(0.3);
    MixedOutput out = finish();
    expectBetween(out.soundingSeconds(), started, stopped);
    EXPECT_TRUE(out.quietAtEnd(0.15));
}

TEST_F(AudioDevice, PauseAndResumeLeaveAGapInTheSound) {
    auto beep = load("beep.wav", 0.1);
    kp_audio_PlaySound(beep.get(), 5, 1);
    mix(0.2);
    const ClockSpan paused = clocked([&] { device->PauseChannel(5); });
    EXPECT_EQ(device->ChannelState(5), kChannelPaused);
    waitSourceState(5, AL_PAUSED); // once its fade-out is mixed
    mix(0.3);
    const ClockSpan resumed = clocked([&] { device->ResumeChannel(5); });
    EXPECT_EQ(device->ChannelState(5), kChannelPlaying);
    mix(0.2);
    MixedOutput out = finish();
    // The gap is as long as the mixer ran between the two calls, however long that took.
    EXPECT_GT(out.longestInnerSilence(), 0.25);
    expectBetween(out.longestInnerSilence(), paused, resumed);
    EXPECT_FALSE(out.quietAtEnd(0.1)); // it was still sounding when the device closed
}

TEST_F(AudioDevice, SuspendPausesSourcesButKeepsChannelStates) {
    auto beep = load("beep.wav", 0.1);
    kp_audio_PlaySound(beep.get(), 0, 1);
    kp_audio_PlaySound(beep.get(), 1, 1);
    device->PauseChannel(1); // paused by the game: stays paused across the device's resume
    mix(0.15);
    const ClockSpan suspended = clocked([&] { device->Suspend(); });
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    waitSourceState(0, AL_PAUSED); // once its fade-out is mixed
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    mix(0.25);
    const ClockSpan resumed = clocked([&] { device->Resume(); });
    EXPECT_EQ(sourceInt(0, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(sourceInt(1, AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(device->ChannelState(1), kChannelPaused);
    mix(0.15);
    MixedOutput out = finish();
    EXPECT_GT(out.longestInnerSilence(), 0.2);
    expectBetween(out.longestInnerSilence(), suspended, resumed);
}

TEST_F(AudioDevice, PlayingOnABusyChannelRestartsIt) {
    auto hum = load("hum.wav", 1.0);
    auto beep = load("beep.wav", 0.1);
    kp_audio_PlaySound(hum.get(), 4, 1);
    mix(0.2);
    ALint before = sourceInt(4, AL_SAMPLE_OFFSET);
    kp_audio_PlaySound(hum.get(), 4, 1);
    EXPECT_LT(sourceInt(4, AL_SAMPLE_OFFSET), before);

    kp_audio_PlaySound(beep.get(), 4, 0);
    EXPECT_EQ(device->channels[4].sample, beep->sample);
    EXPECT_EQ(sourceInt(4, AL_BUFFER), ALint(beep->sample->buffer));
    EXPECT_EQ(sourceInt(4, AL_LOOPING), AL_FALSE);
    // The looping hum was replaced, so the channel ends with the short beep.
    waitStopped(4);
}

TEST_F(AudioDevice, PausingAnEndedChannelLeavesItStopped) {
    auto tick = load("tick.wav", 0.05);
    kp_audio_PlaySound(tick.get(), 6, 0);
    ASSERT_TRUE(waitUntil([&] { return sourceInt(6, AL_SOURCE_STATE) == AL_STOPPED; }));
    EXPECT_EQ(device->channels[6].state, kChannelPlaying); // not yet noticed
    device->PauseChannel(6);
    EXPECT_EQ(device->channels[6].state, kChannelStopped);
    device->ResumeChannel(6);
    EXPECT_EQ(device->ChannelState(6), kChannelStopped);
    EXPECT_EQ(sourceInt(6, AL_SOURCE_STATE), AL_STOPPED);
}

TEST_F(AudioDevice, LoopingMusicPlaysUntilStopped) {
    writeTone("theme.wav", 0.1);
    EXPECT_EQ(kp_audio_PlayMusic(u"theme.wav", 1), 0);
    EXPECT_EQ(device->MusicState(), kChannelPlaying); // at once, while it decodes
    waitSourceState(kMusicChannel, AL_PLAYING);       // decoded and started by Update
    mix(0.3);                                         // three times the track's length
    EXPECT_EQ(device->MusicState(), kChannelPlaying);
    EXPECT_EQ(sourceInt(kMusicChannel, AL_LOOPING), AL_TRUE);
    kp_audio_PauseMusic();
    EXPECT_EQ(device->MusicState(), kChannelPaused);
    kp_audio_ResumeMusic();
    EXPECT_EQ(device->MusicState(), kChannelPlaying);
    kp_audio_StopMusic();
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    EXPECT_EQ(kp_audio_PlayMusic(u"missing.wav", 1), -1);
    EXPECT_GT(finish().soundingSeconds(), 0.25);
}

TEST_F(AudioDevice, MusicPausedWhileDecodingStartsPausedAndSilent) {
    writeTone("theme.wav", 0.1);
    holdDecodes();
    kp_audio_PlayMusic(u"theme.wav", 1);
    kp_audio_PauseMusic();
    EXPECT_EQ(device->MusicState(), kChannelPaused);
    releaseDecodes();
    finishDecodes(1);
    mix(0.2);
    EXPECT_EQ(device->MusicState(), kChannelPaused);
    EXPECT_EQ(sourceInt(kMusicChannel, AL_SOURCE_STATE), AL_PAUSED); // arrived, and held
    const ClockSpan resumed = clocked([&] { kp_audio_ResumeMusic(); });
    EXPECT_EQ(sourceInt(kMusicChannel, AL_SOURCE_STATE), AL_PLAYING);
    mix(0.2);
    const ClockSpan stopped = clocked([&] { device->StopMusic(); });
    MixedOutput out = finish();
    EXPECT_GT(out.soundingSeconds(), 0.15);
    SCOPED_TRACE("it sounded while paused");
    expectBetween(out.soundingSeconds(), resumed, stopped);
}

TEST_F(AudioDevice, MusicStoppedWhileDecodingNeverSoundsNorWakesTheOldTrack) {
    writeTone("old.wav", 0.1);
    writeTone("theme.wav", 0.1);
    kp_audio_PlayMusic(u"old.wav", 1);
    waitSourceState(kMusicChannel, AL_PLAYING);
    mix(0.2);
    holdDecodes();
    kp_audio_PlayMusic(u"theme.wav", 1);
    // The channel's source is idle (the old track fades out on a spare source) and may hold
    // the old track: neither may be woken.
    kp_audio_PauseMusic();
    kp_audio_ResumeMusic();
    EXPECT_TRUE(sourceIdle(kMusicChannel));
    EXPECT_EQ(device->MusicState(), kChannelPlaying) << "not a track that ended by itself";
    kp_audio_StopMusic();
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    releaseDecodes();
    finishDecodes(2);
    mix(0.3);
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    MixedOutput out = finish();
    EXPECT_GT(out.soundingSeconds(), 0.15); // the old track did play
    EXPECT_TRUE(out.quietAtEnd(0.25));
}

TEST_F(AudioDevice, ASecondTuneReplacesOneStillDecoding) {
    writeTone("first.wav", 0.1, 440.0);
    writeTone("second.wav", 0.25, 880.0);
    holdDecodes();
    kp_audio_PlayMusic(u"first.wav", 1);
    kp_audio_PlayMusic(u"second.wav", 0);
    releaseDecodes();
    finishDecodes(2);
    pumpUntil([&] { return device->MusicState() == kChannelStopped; },
              "the one-shot second tune ends (a looping first tune never would)");
    mix(0.1);
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    ASSERT_TRUE(device->channels[kMusicChannel].sample);
    ALint size = 0;
    alGetBufferi(device->channels[kMusicChannel].sample->buffer, AL_SIZE, &size);
    EXPECT_EQ(size, int(0.25 * 22050) * 2);
    EXPECT_NEAR(finish().soundingSeconds(), 0.25, kSlack);
}

TEST_F(AudioDevice, ASampleOnTheMusicChannelReplacesATuneStillDecoding) {
    auto beep = load("beep.wav", 0.1);
    writeTone("theme.wav", 0.1);
    holdDecodes();
    kp_audio_PlayMusic(u"theme.wav", 1);
    kp_audio_PlaySound(beep.get(), kMusicChannel, 0);
    releaseDecodes();
    finishDecodes(1);
    waitStopped(kMusicChannel);
    EXPECT_EQ(device->channels[kMusicChannel].sample, beep->sample);
    EXPECT_EQ(device->MusicState(), kChannelStopped) << "the looping tune started";
}

TEST_F(AudioDevice, MusicArrivingWhileSuspendedWaitsForResume) {
    writeTone("theme.wav", 0.1);
    holdDecodes();
    kp_audio_PlayMusic(u"theme.wav", 1);
    device->Suspend();
    releaseDecodes();
    finishDecodes(1);
    EXPECT_EQ(device->MusicState(), kChannelPlaying);
    EXPECT_EQ(sourceInt(kMusicChannel, AL_SOURCE_STATE), AL_PAUSED);
    device->Resume();
    EXPECT_EQ(sourceInt(kMusicChannel, AL_SOURCE_STATE), AL_PLAYING);
}

TEST_F(AudioDevice, MusicThatDoesNotDecodeEndsStopped) {
    writeFile("data/broken.ogg", "an ogg file in name only");
    EXPECT_EQ(kp_audio_PlayMusic(u"broken.ogg", 1), 0); // it opens; decoding tells later
    finishDecodes(1);
    EXPECT_EQ(device->MusicState(), kChannelStopped);
    EXPECT_EQ(sourceInt(kMusicChannel, AL_SOURCE_STATE), AL_INITIAL);
}

TEST_F(AudioDevice, DiscardedSampleSoundsOnAndIsDeletedAfterItStops) {
    auto beep = load("beep.wav", 0.3);
    auto other = load("other.wav", 0.05);
    kp_audio_PlaySound(beep.get(), 0, 0);
    ALuint buffer = beep->sample->buffer;
    beep->sample->Discard();
    EXPECT_EQ(beep->sample->buffer, 0u);
    ASSERT_EQ(kpAudioDiscardList().size(), 1u);

    kp_audio_PlaySound(other.get(), 1, 0); // a flush while the discarded sound still plays
    EXPECT_EQ(kpAudioDiscardList().size(), 1u);
    EXPECT_TRUE(alIsBuffer(buffer));
    EXPECT_EQ(sourceInt(0, AL_SOURCE_STATE), AL_PLAYING);

    // The game may well have noticed the end before the next flush comes.
    waitStopped(0);
    kp_audio_PlaySound(other.get(), 1, 0);
    EXPECT_TRUE(kpAudioDiscardList().empty());
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_NEAR(finish().soundingSeconds(), 0.3 + 0.05, kSlack);
}

TEST_F(AudioDevice, PausedSoundKeepsItsDiscardedBufferUntilStopped) {
    auto beep = load("beep.wav", 0.3);
    kp_audio_PlaySound(beep.get(), 7, 1);
    device->PauseChannel(7);
    waitSourceState(7, AL_PAUSED); // once its fade-out is mixed
    ALuint buffer = beep->sample->buffer;
    beep.reset(); // the channel still holds the sample
    device->channels[7].sample->Discard();
    device->FlushDiscarded();
    EXPECT_TRUE(alIsBuffer(buffer));
    kp_audio_StopChannel(7);
    device->FlushDiscarded();
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_TRUE(kpAudioDiscardList().empty());
}

TEST_F(AudioDevice, LetGoSampleSaysSoAndQueuesItsBuffer) {
    auto beep = load("beep.wav", 0.1);
    ALuint buffer = beep->sample->buffer;
    ASSERT_NE(buffer, 0u);
    testing::internal::CaptureStdout();
    beep.reset();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Discarding sample\n");
    EXPECT_EQ(kpAudioDiscardList(), std::vector<ALuint>{buffer});
    EXPECT_FALSE(kp_audio_LoadSound(u"nothing.wav")); // loading flushes, even when it fails
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_TRUE(kpAudioDiscardList().empty());
}

TEST_F(AudioDevice, SamplesKeepTheirFileFormat) {
    Tone tone;
    tone.channels = 2;
    tone.bytesPerSample = 1;
    tone.rate = 11025;
    auto stereo = load("stereo8.wav", tone);
    ASSERT_TRUE(stereo);
    ALint channels = 0, bits = 0, frequency = 0, size = 0;
    alGetBufferi(stereo->sample->buffer, AL_CHANNELS, &channels);
    alGetBufferi(stereo->sample->buffer, AL_BITS, &bits);
    alGetBufferi(stereo->sample->buffer, AL_FREQUENCY, &frequency);
    alGetBufferi(stereo->sample->buffer, AL_SIZE, &size);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(frequency, 11025);
    EXPECT_EQ(size, int(0.3 * 11025) * 2);
}

TEST_F(AudioDevice, MissingSoundLoadsAsNoneAndPlaysNothing) {
    auto none = kp_audio_LoadSound(u"nothing.wav");
    EXPECT_FALSE(none);
    EXPECT_EQ(kp_audio_PlaySound(none.get(), 0, 0), -1);
    EXPECT_EQ(device->ChannelState(0), kChannelStopped);
    EXPECT_EQ(device->PlaySample(nullptr, 0, 0), -1);
    auto beep = load("beep.wav", 0.1);
    EXPECT_EQ(kp_audio_PlaySound(beep.get(), kChannels, 0), -1); // no such channel
    EXPECT_EQ(device->ChannelState(-1), kChannelStopped);
}
