// The audio device when the driver offers only a few voices (OpenAL Soft's wave backend with
// its source limit set to kDriverSources): a channel borrows the source of an effect channel
// that has finished, and a play that finds none is dropped with -1 and changes nothing.
#include <gtest/gtest.h>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"

namespace {

constexpr int kDriverSources = 3; // one goes to the music channel at start

class FewSources : public ::testing::Test {
  protected:
    void SetUp() override {
        AudioTestConfig config;
        config.sources = kDriverSources;
        audioTestFolder(config);
        device = std::make_unique<gxtkAudio>();
        ASSERT_TRUE(device->Live());
        kp_audio_SetAudioDevice(device.get());
        Tone tone;
        tone.seconds = 0.05;
        writeToneWav("data/tick.wav", tone);
        tick = kp_audio_LoadSound(u"tick.wav");
        ASSERT_TRUE(tick);
    }

    KpHeadlessGame host;
    std::unique_ptr<gxtkAudio> device;
    std::unique_ptr<c_Sound> tick;
};

} // namespace

TEST_F(FewSources, MusicChannelHasItsSourceFromTheStart) {
    EXPECT_NE(device->channels[kMusicChannel].source, 0u);
    for (int c = 0; c < kEffectChannels; ++c) EXPECT_EQ(device->channels[c].source, 0u);
}

TEST_F(FewSources, NewChannelBorrowsTheSourceOfAFinishedOne) {
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 0, 0), 0);
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 1, 1), 0); // keeps its source busy
    ALuint first = device->channels[0].source;
    ASSERT_TRUE(waitUntil([&] { // channel 0's tick has ended
        ALint state = 0;
        alGetSourcei(first, AL_SOURCE_STATE, &state);
        return state == AL_STOPPED;
    }));

    EXPECT_EQ(kp_audio_PlaySound(tick.get(), 2, 1), 0);
    EXPECT_EQ(device->channels[2].source, first);
    EXPECT_EQ(device->channels[0].source, 0u);
    EXPECT_EQ(device->ChannelState(2), kChannelPlaying);
    EXPECT_EQ(device->ChannelState(1), kChannelPlaying);
}

TEST_F(FewSources, PlayWithNoFreeSourceIsDroppedAndChangesNothing) {
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 0, 1), 0);
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 1, 1), 0);
    device->PauseChannel(1); // paused is not free either
    ALuint sources[2] = {device->channels[0].source, device->channels[1].source};

    EXPECT_EQ(kp_audio_PlaySound(tick.get(), 5, 0), -1);
    const gxtkChannel& dropped = device->channels[5];
    EXPECT_EQ(dropped.source, 0u);
    EXPECT_EQ(dropped.state, kChannelStopped);
    EXPECT_FALSE(dropped.sample);
    EXPECT_EQ(device->channels[0].source, sources[0]);
    EXPECT_EQ(device->channels[1].source, sources[1]);
    EXPECT_EQ(device->ChannelState(0), kChannelPlaying);
    EXPECT_EQ(device->ChannelState(1), kChannelPaused);

    // Settings on a channel without a voice are dropped too, harmlessly.
    kp_audio_SetChannelVolume(6, 0.5f);
    EXPECT_EQ(device->channels[6].source, 0u);

    // Once a channel is stopped its voice can be borrowed again.
    kp_audio_StopChannel(0);
    EXPECT_EQ(kp_audio_PlaySound(tick.get(), 5, 0), 0);
    EXPECT_EQ(device->channels[5].source, sources[0]);
}

TEST_F(FewSources, MusicChannelIsNeverADonor) {
    device->StopMusic();
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 0, 1), 0);
    ASSERT_EQ(kp_audio_PlaySound(tick.get(), 1, 1), 0);
    EXPECT_EQ(kp_audio_PlaySound(tick.get(), 2, 0), -1);
    EXPECT_NE(device->channels[kMusicChannel].source, 0u);
}
