// Sound effects and music on the real audio device (OpenAL Soft's null backend): effect file
// names, the sound setting's gate on effects and music, the 24 rotating voices, and the
// channel settings applied even when nothing plays.
#include <AL/al.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "audio_support.h"
#include "game_fixture.h"
#include "support/ogg_writer.h"

namespace {
class SoundTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        std::filesystem::create_directories(dir.file("data/sfx"));
        Start();
        ASSERT_NE(kp_audio_device, nullptr);
        ASSERT_TRUE(kp_audio_device->Live());
    }

    void writeEffect(const std::string& name) {
        Tone tone;
        tone.seconds = 3.0;
        writeToneWav(dir.file("data/sfx/" + name), tone);
    }
    void writeTune(const std::string& name) {
        writeFile(dir.file("data/sfx/" + name), encodeOgg(1, 22050, 22050 * 3));
    }
    int state(int channel) { return kp_audio_device->ChannelState(channel); }
    const gxtkSample* sampleOn(int channel) {
        return kp_audio_device->channels[channel].sample.get();
    }

    TempDir dir;
};
} // namespace

TEST_F(SoundTest, EffectNamesUseThreeDigitsAndTheThemesOwnSuffix) {
    writeEffect("005.wav");
    writeEffect("042.wav");
    writeEffect("003_012.wav");
    app->p_LoadSFX(5, -1);
    app->p_LoadSFX(42, -1);
    app->p_LoadSFX(3, 12);
    app->p_LoadSFX(99, -1);
    EXPECT_NE(app->m_sfx[5], nullptr);
    EXPECT_NE(app->m_sfx[42], nullptr);
    EXPECT_NE(app->m_sfx[3], nullptr);
    EXPECT_EQ(app->m_sfx[99], nullptr) << "no file";
    app->p_LoadSFX(5, 0);
    EXPECT_EQ(app->m_sfx[5], nullptr) << "a missing theme file replaces the loaded sound";
}

TEST_F(SoundTest, EffectsPlayOnlyWithSettingsOneAndTwo) {
    writeEffect("001.wav");
    app->p_LoadSFX(1, -1);
    const int expected[] = {0, 1, 1, 0};
    for (int setting = 0; setting <= 3; ++setting) {
        SCOPED_TRACE(setting);
        app->m_settings[5] = setting;
        int voice = app->m_sfxVoice;
        app->p_PlaySFX(1, 1, 1, 0);
        int channel = app->m_sfxChannels[app->m_sfxVoice];
        EXPECT_EQ(app->m_sfxVoice, expected[setting] ? (voice + 1) % 24 : voice);
        EXPECT_EQ(state(channel), expected[setting]);
        kp_audio_StopChannel(channel);
    }
}

TEST_F(SoundTest, TwentyFourVoicesRotateAndTheTwentyFifthCutsOffTheFirst) {
    writeEffect("001.wav");
    writeEffect("002.wav");
    writeEffect("003.wav");
    for (int n = 1; n <= 3; ++n) app->p_LoadSFX(n, -1);
    app->p_PlaySFX(1, 1, 1, 0);
    EXPECT_EQ(sampleOn(1), app->m_sfx[1]->sample.get()) << "the first voice after 0";
    for (int i = 0; i < 23; ++i) app->p_PlaySFX(2, 1, 1, 0);
    for (int c = 0; c < 24; ++c) EXPECT_EQ(state(c), 1) << c;
    EXPECT_EQ(sampleOn(0), app->m_sfx[2]->sample.get()) << "the 24th effect wraps to 0";
    EXPECT_EQ(state(24), 0) << "channels from 24 on are never used for effects";
    app->p_PlaySFX(3, 1, 1, 0);
    EXPECT_EQ(sampleOn(1), app->m_sfx[3]->sample.get());
    EXPECT_EQ(state(1), 1);
}

TEST_F(SoundTest, RateVolumeAndPanAreSetEvenForAMissingEffect) {
    app->p_PlaySFX(50, 1.5f, 0.25f, 1.0f);
    const int channel = app->m_sfxChannels[app->m_sfxVoice];
    EXPECT_EQ(state(channel), 0);
    ALuint source = kp_audio_device->channels[channel].source;
    ASSERT_NE(source, 0u);
    ALfloat pitch = 0, gain = 0, pos[3] = {};
    alGetSourcef(source, AL_PITCH, &pitch);
    alGetSourcef(source, AL_GAIN, &gain);
    alGetSourcefv(source, AL_POSITION, pos);
    EXPECT_FLOAT_EQ(pitch, 1.5f);
    EXPECT_FLOAT_EQ(gain, 0.25f);
    EXPECT_NEAR(pos[0], std::sin(1.0f), 1e-5);
}

TEST_F(SoundTest, MusicPlaysWithSettingsOneAndThreeAndAnyNewTuneStopsTheOld) {
    writeTune("theme.ogg");
    app->m_settings[5] = 3;
    testing::internal::CaptureStdout();
    app->p_PlayTune(kpS("theme"), 1);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("sfx/theme.ogg"), std::string::npos);
    EXPECT_EQ(app->m_musicPlaying, 1);
    EXPECT_EQ(kp_audio_device->MusicState(), 1);

    app->m_settings[5] = 2;
    app->p_PlayTune(kpS("theme"), 1);
    EXPECT_EQ(app->m_musicPlaying, 0) << "the old tune stops although music is now off";
    EXPECT_EQ(kp_audio_device->MusicState(), 0);

    app->m_settings[5] = 1;
    app->p_PlayTune(kpS("theme"), 1);
    EXPECT_EQ(kp_audio_device->MusicState(), 1);
    app->p_StopTune();
    EXPECT_EQ(app->m_musicPlaying, 0);
    EXPECT_EQ(kp_audio_device->MusicState(), 0);

    app->m_settings[5] = 0;
    app->p_PlayTune(kpS("theme"), 1);
    EXPECT_EQ(kp_audio_device->MusicState(), 0);
}
