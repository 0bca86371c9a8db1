// Stopping or pausing a sound that is still sounding fades it out over a few milliseconds
// rather than cutting it, also when a new sound starts on its channel at once: checked on the
// wave backend's mixed output, where a cut shows as one sample-to-sample step far larger than
// any the tone itself takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"

namespace {

constexpr double kAmplitude = 0.8;
constexpr double kHertz = 110.0;
// A 110 Hz tone at 0.8 moves at most about 0.02 between two samples at 22 050 Hz; a cut
// near a crest drops by up to 0.8 at once.
constexpr double kLargestStep = 0.1;

class AudioRamp : public ::testing::Test {
  protected:
    void SetUp() override {
        device = openTestDevice();
        ASSERT_TRUE(device->Live()) << "the wave backend did not open";
        Tone tone;
        tone.seconds = 1.0;
        tone.amplitude = kAmplitude;
        tone.hertz = kHertz;
        hum = loadTone("hum.wav", tone);
        ASSERT_TRUE(hum);
    }

    // Runs the device's per-tick Update, as the game's ticks do, until the mixer has made
    // `seconds` more output.
    void ticks(double seconds) {
        ASSERT_TRUE(mixWithTicks(*device, seconds)) << "the mixer stopped";
    }

    // The largest step between neighbouring samples of either channel of the mixed output.
    double largestStep() {
        device.reset();
        const MixedOutput out = MixedOutput::read(mixedOutputPath());
        double step = 0;
        for (const std::vector<float>* ch : {&out.left, &out.right}) {
            for (size_t i = 1; i < ch->size(); ++i) {
                step = std::max(step, std::fabs(double((*ch)[i]) - (*ch)[i - 1]));
            }
        }
        EXPECT_GT(out.soundingSeconds(), 0.1) << "the tone never sounded";
        return step;
    }

    KpHeadlessGame host;
    std::unique_ptr<gxtkAudio> device;
    std::unique_ptr<c_Sound> hum;
};

} // namespace

TEST_F(AudioRamp, StoppingASoundingChannelFadesIt) {
    kp_audio_PlaySound(hum.get(), 3, 1);
    ticks(0.3);
    device->StopChannel(3);
    EXPECT_EQ(device->ChannelState(3), kChannelStopped);
    ticks(0.3);
    EXPECT_LT(largestStep(), kLargestStep);
}

TEST_F(AudioRamp, PausingAndSuspendingFadeAndResumeCarriesOn) {
    kp_audio_PlaySound(hum.get(), 4, 1);
    ticks(0.3);
    device->PauseChannel(4);
    EXPECT_EQ(device->ChannelState(4), kChannelPaused);
    ticks(0.2);
    device->ResumeChannel(4);
    ticks(0.2);
    device->Suspend();
    ticks(0.2);
    device->Resume();
    ticks(0.2);
    device->StopChannel(4);
    ticks(0.2);
    EXPECT_LT(largestStep(), kLargestStep);
}

TEST_F(AudioRamp, StoppedMusicFades) {
    writeToneWav("data/tune.wav", Tone{1.0, 22050, 1, 2, kAmplitude, kHertz});
    ASSERT_EQ(device->PlayMusic(kpS("zembra://data/tune.wav"), 1), 0);
    ticks(0.4);
    ASSERT_EQ(device->MusicState(), kChannelPlaying);
    device->PauseMusic();
    ticks(0.1);
    device->StopMusic();
    ticks(0.2);
    EXPECT_LT(largestStep(), kLargestStep);
}

TEST_F(AudioRamp, AnEffectPlayedRightAfterAStopLetsTheOldOneFade) {
    // As the game plays each effect: stop the channel, then play at once, many times over.
    for (int round = 0; round < 6; ++round) {
        kp_audio_PlaySound(hum.get(), 5, 1);
        ticks(0.1);
        kp_audio_StopChannel(5);
        kp_audio_PlaySound(hum.get(), 5, 1);
        ticks(0.1);
        device->StopChannel(5);
    }
    ticks(0.2);
    EXPECT_LT(largestStep(), kLargestStep);
}

TEST_F(AudioRamp, WithoutASpareVoiceTheNewEffectStillStarts) {
    // Every spare busy fading: the next stop-and-play cuts the old sound rather than drop
    // the new one, and the channel the game sees plays it.
    for (int channel = 0; channel < kHandoffSources; ++channel) {
        kp_audio_PlaySound(hum.get(), channel, 1);
    }
    kp_audio_PlaySound(hum.get(), 20, 1);
    ticks(0.1);
    for (int channel = 0; channel < kHandoffSources; ++channel) device->StopChannel(channel);
    const ALuint own = device->channels[20].source;
    device->StopChannel(20);
    EXPECT_EQ(device->channels[20].source, own) << "a ninth spare was made";
    EXPECT_EQ(kp_audio_PlaySound(hum.get(), 20, 0), 0);
    EXPECT_EQ(device->ChannelState(20), kChannelPlaying);
    ALint state = 0;
    alGetSourcei(own, AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    ticks(0.1);
}
