// Stopping or pausing a sound that is still sounding fades it out over a few milliseconds
// rather than cutting it: checked on the wave backend's mixed output, where a cut shows as
// one sample-to-sample step far larger than any the tone itself takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

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
        audioTestFolder();
        device = std::make_unique<gxtkAudio>();
        ASSERT_TRUE(device->Live()) << "the wave backend did not open";
        kp_audio_SetAudioDevice(device.get());
        Tone tone;
        tone.seconds = 1.0;
        tone.amplitude = kAmplitude;
        tone.hertz = kHertz;
        writeToneWav("data/hum.wav", tone);
        hum = kp_audio_LoadSound(kpS("hum.wav"));
        ASSERT_TRUE(hum);
    }

    // Runs the device's per-tick Update for a while, as the game's ticks do.
    void ticks(double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            device->Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
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
