// The audio device on a machine with no sound card (OpenAL Soft allowed only a backend that
// does not exist): the constructor reports its three failures once, and from then on every
// call is harmless and silent, with no further output; music files are only checked to open.
#include <gtest/gtest.h>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"

namespace {

class NoSoundCard : public ::testing::Test {
  protected:
    void SetUp() override {
        AudioTestConfig config;
        config.drivers = "nosuchbackend";
        audioTestFolder(config);
        Tone tone;
        writeToneWav("data/beep.wav", tone);
    }

    KpHeadlessGame host;
};

} // namespace

TEST_F(NoSoundCard, ConstructionReportsTheThreeFailures) {
    testing::internal::CaptureStdout();
    gxtkAudio device;
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "OpenAl error: alcOpenDevice failed\n"
              "OpenAl error: alcCreateContext failed\n"
              "OpenAl error: alcMakeContextCurrent failed\n");
    EXPECT_FALSE(device.Live());
    EXPECT_EQ(gxtkAudio::audio, &device);
}

TEST_F(NoSoundCard, EveryCallIsHarmlessAndQuiet) {
    testing::internal::CaptureStdout();
    gxtkAudio device;
    kp_audio_SetAudioDevice(&device);
    testing::internal::GetCapturedStdout();

    testing::internal::CaptureStdout();
    auto beep = kp_audio_LoadSound(u"beep.wav");
    ASSERT_TRUE(beep); // the game keeps its sounds; they just never sound
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(kp_audio_PlaySound(beep.get(), 0, 1), -1);
        kp_audio_SetChannelVolume(0, 0.5f);
        kp_audio_SetChannelPan(0, 1.0f);
        kp_audio_SetChannelRate(0, 1.5f);
        device.PauseChannel(0);
        device.ResumeChannel(0);
        EXPECT_EQ(device.ChannelState(0), kChannelStopped);
        kp_audio_StopChannel(0);
        EXPECT_EQ(kp_audio_PlayMusic(u"beep.wav", 1), 0);
        EXPECT_EQ(kp_audio_PlayMusic(u"missing.ogg", 1), -1);
        kp_audio_PauseMusic();
        kp_audio_ResumeMusic();
        EXPECT_EQ(device.MusicState(), kChannelStopped);
        device.Suspend();
        device.Resume();
        kp_audio_StopMusic();
    }
    std::string printed = testing::internal::GetCapturedStdout();
    // No error repeats, and no music is decoded into samples that nothing could play.
    EXPECT_EQ(printed, "");
    for (const gxtkChannel& c : device.channels) EXPECT_EQ(c.source, 0u);
    kp_audio_SetAudioDevice(nullptr);
}
