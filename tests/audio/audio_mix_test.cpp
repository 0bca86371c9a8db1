// The mix as the player hears it: a round's tune and the game's effects, made by the data
// generator, written as the game's files, played through the audio device at the game's own
// volumes and captured from OpenAL Soft's wave backend. Each capture goes through a 200 Hz
// high-pass, as a laptop speaker that gives little below that, and is then judged against the
// tune's short-term loudness (3 s windows), each effect by its momentary loudness (the
// loudest 400 ms, as a short sound is heard): the bounce a few dB under it, the pass and the
// crash clear above it, every effect with most of its energy above 300 Hz and losing little
// to the speaker, the panel sounds heard at the volume the game plays them, and the tune
// bright and wide after the mixer has placed its two channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "audio/kp_audio.h"
#include "audio_support.h"
#include "runtime/kp_headless_game.h"
#include "tools/assetgen/audio.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"

namespace {

using assetgen::Sound;

// The round captured: theme 3, whose tune is world003 and whose bounce is its own.
constexpr const char* kTune = "sfx/world003";
constexpr double kTuneSeconds = 7.0; // of the tune's start, written as its own file
constexpr double kShortTerm = 3.0;   // seconds: the short-term loudness window
constexpr double kShortTermStep = 0.5;
constexpr float kOggQuality = 0.3f; // as the generator writes the tunes

constexpr double kSpeakerHz = 200.0; // a laptop speaker gives little below this
constexpr double kHeardHz = 300.0;
// Targets, in dB (LU) against the tune's short-term loudness unless said otherwise.
constexpr double kBounceUnderLeast = 2.0;
constexpr double kBounceUnderMost = 6.0;
constexpr double kAccentOver = 3.0;      // pass, super pass and crash, at least
constexpr double kPanelUnderMost = 6.0;  // the panel sounds at their game volume, at most
constexpr double kHeardShare = 0.5;      // of an effect's energy above kHeardHz, at least
constexpr double kSpeakerLossMost = 3.0; // loudness an effect loses to the high-pass, at most
constexpr double kTopDb = -18.0;         // the tune's power above 4 kHz against the whole
constexpr double kSideDb = -11.0;        // the tune's side against its mid

constexpr float kAudible = 1e-3f; // a captured effect runs from and to this level

// An effect as the game plays it: its file, channel volume and rate.
struct Played {
    const char* name;
    float volume;
    float rate;
};
constexpr Played kBounces[] = {{"sfx/003", 1.0f, 1.0f}, {"sfx/003_003", 1.0f, 1.0f}};
constexpr Played kAccents[] = {
    {"sfx/002", 1.0f, 1.0f}, {"sfx/004", 1.0f, 1.0f}, {"sfx/005", 1.0f, 1.0f}};
// The pause sound at half volume as play pauses, and the panels' own at full volume.
constexpr Played kPanel[] = {
    {"sfx/098", 0.5f, 1.0f}, {"sfx/099", 1.0f, 1.0f}, {"sfx/001", 1.0f, 1.0f}};

Sound slice(const Sound& s, double from, double seconds) {
    Sound out;
    out.rate = s.rate;
    out.channels = s.channels;
    const size_t a = std::min(s.frames(), static_cast<size_t>(from * s.rate));
    const size_t b = std::min(s.frames(), a + static_cast<size_t>(seconds * s.rate));
    out.samples.assign(s.samples.begin() + static_cast<long>(a * s.channels),
                       s.samples.begin() + static_cast<long>(b * s.channels));
    return out;
}

// The capture's stereo samples as the generator's sound type.
Sound stereo(const MixedOutput& mixed, size_t from, size_t to) {
    Sound s;
    s.rate = mixed.rate;
    s.channels = 2;
    to = std::min(to, mixed.left.size());
    for (size_t i = from; i < to; ++i) {
        s.samples.push_back(mixed.left[i]);
        s.samples.push_back(mixed.right[i]);
    }
    return s;
}

// The stretch of the capture from its first to its last audible sample.
Sound audiblePart(const MixedOutput& mixed) {
    size_t first = mixed.left.size(), last = 0;
    for (size_t i = 0; i < mixed.left.size(); ++i) {
        if (std::max(std::fabs(mixed.left[i]), std::fabs(mixed.right[i])) < kAudible) continue;
        first = std::min(first, i);
        last = i + 1;
    }
    return first < last ? stereo(mixed, first, last) : Sound{};
}

Sound throughSpeaker(Sound s) {
    assetgen::highPass(s, kSpeakerHz);
    return s;
}

// The generator's effects, made once.
const std::map<std::string, Sound>& effectFiles() {
    static const std::map<std::string, Sound> made = [] {
        std::map<std::string, Sound> m;
        for (const assetgen::SfxDef& d : assetgen::allEffects()) m.emplace(d.name, d.make());
        return m;
    }();
    return made;
}

class Mix : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        audioTestFolder();
        for (const auto& [name, sound] : effectFiles()) {
            ASSERT_TRUE(assetgen::writeWav("data/" + name + ".wav", sound)) << name;
        }
        for (const assetgen::TuneDef& d : assetgen::allTunes()) {
            if (d.name != kTune) continue;
            const Sound start = slice(d.make(), 0.0, kTuneSeconds);
            ASSERT_TRUE(assetgen::writeOgg("data/tune.ogg", start, kOggQuality));
        }
    }

    // Opens a device, lets `play` start sounds on it and waits until `done` holds, running
    // Update() as the game's ticks do; returns what the wave backend mixed.
    MixedOutput capture(const std::function<void(gxtkAudio&)>& play,
                        const std::function<bool(gxtkAudio&)>& done) {
        auto device = std::make_unique<gxtkAudio>();
        EXPECT_TRUE(device->Live()) << "the wave backend did not open";
        kp_audio_SetAudioDevice(device.get());
        play(*device);
        EXPECT_TRUE(tickUntil(*device, [&] { return done(*device); })) << "the sound never ended";
        kp_audio_SetAudioDevice(nullptr);
        device.reset();
        return MixedOutput::read(mixedOutputPath());
    }

    // An effect played alone, as the game plays it: the whole capture, silence around it
    // included (whole), and from its first audible sample to its last (audible). Prints its
    // figures.
    struct Heard {
        Sound whole;
        Sound audible;
    };
    Heard effect(const Played& p) {
        static std::map<std::string, Heard> captured; // each effect is captured once
        const std::string key = std::string(p.name) + "@" + std::to_string(p.volume);
        if (auto it = captured.find(key); it != captured.end()) return it->second;
        std::unique_ptr<c_Sound> sound;
        const MixedOutput out = capture(
            [&](gxtkAudio&) {
                sound = kp_audio_LoadSound(kpS(p.name) + u".wav");
                ASSERT_TRUE(sound) << p.name;
                ASSERT_EQ(kp_audio_PlaySound(sound.get(), 0, 0), 0);
                kp_audio_SetChannelRate(0, p.rate);
                kp_audio_SetChannelVolume(0, p.volume);
                kp_audio_SetChannelPan(0, 0.0f);
            },
            [](gxtkAudio& d) { return d.ChannelState(0) == kChannelStopped; });
        Heard heard{stereo(out, 0, out.left.size()), audiblePart(out)};
        const Sound speaker = throughSpeaker(heard.audible);
        std::printf("mix: %-11s at volume %.1f: %6.1f LUFS through the speaker (file %.1f, "
                    "tune %.1f), %.0f %% above %.0f Hz, %.1f dB lost to the high-pass\n",
                    p.name, p.volume, assetgen::momentaryLoudness(throughSpeaker(heard.whole)),
                    assetgen::momentaryLoudness(effectFiles().at(p.name)), musicLufs(),
                    100.0 * assetgen::highShare(speaker, kHeardHz), kHeardHz,
                    assetgen::momentaryLoudness(heard.whole) -
                        assetgen::momentaryLoudness(throughSpeaker(heard.whole)));
        captured.emplace(key, heard);
        return heard;
    }
    double speakerLufs(const Played& p) {
        return assetgen::momentaryLoudness(throughSpeaker(effect(p).whole));
    }

    // The tune through the music channel, from the mixer's clock when it started sounding
    // to its end; a one-shot, so the end is the channel stopping.
    static Sound tune() {
        static const Sound captured = [] {
            KpHeadlessGame host;
            auto device = std::make_unique<gxtkAudio>();
            kp_audio_SetAudioDevice(device.get());
            EXPECT_EQ(kp_audio_PlayMusic(u"tune.ogg", 0), 0);
            EXPECT_TRUE(waitUntil([&] {
                device->Update();
                return !device->MusicDecoding() && device->MusicState() == kChannelStopped;
            })) << "the tune never ended";
            kp_audio_SetAudioDevice(nullptr);
            device.reset();
            return audiblePart(MixedOutput::read(mixedOutputPath()));
        }();
        return captured;
    }

    // The tune's short-term loudness through the speaker: the median of its 3 s windows.
    static double musicLufs() {
        static const double lufs = [] {
            const Sound heard = throughSpeaker(tune());
            std::vector<double> windows;
            const double seconds = double(heard.frames()) / heard.rate;
            for (double t = 0; t + kShortTerm <= seconds; t += kShortTermStep) {
                windows.push_back(assetgen::integratedLoudness(slice(heard, t, kShortTerm)));
            }
            if (windows.empty()) return assetgen::kSilentLufs;
            std::nth_element(windows.begin(), windows.begin() + long(windows.size() / 2),
                             windows.end());
            return windows[windows.size() / 2];
        }();
        return lufs;
    }

    KpHeadlessGame host;
};

} // namespace

TEST_F(Mix, TheTuneSoundsForItsLengthAndIsBrightAndWide) {
    const Sound heard = tune();
    ASSERT_NEAR(double(heard.frames()) / heard.rate, kTuneSeconds, 0.5);
    EXPECT_GT(musicLufs(), -30.0);
    const Sound speaker = throughSpeaker(heard);
    EXPECT_GE(assetgen::bandAboveDb(speaker, 4000.0), kTopDb);
    EXPECT_GE(assetgen::sideToMidDb(speaker), kSideDb);
    std::printf("mix: %s short-term %.1f LUFS through the speaker, above 4 kHz %.1f dB, "
                "side %.1f dB\n",
                kTune, musicLufs(), assetgen::bandAboveDb(speaker, 4000.0),
                assetgen::sideToMidDb(speaker));
}

TEST_F(Mix, TheBounceSitsAFewDecibelsUnderTheTune) {
    for (const Played& p : kBounces) {
        const double lufs = speakerLufs(p);
        EXPECT_LE(lufs, musicLufs() - kBounceUnderLeast) << p.name;
        EXPECT_GE(lufs, musicLufs() - kBounceUnderMost) << p.name;
    }
}

TEST_F(Mix, PassesAndTheCrashStandClearAboveTheTune) {
    for (const Played& p : kAccents) {
        const double lufs = speakerLufs(p);
        EXPECT_GE(lufs, musicLufs() + kAccentOver) << p.name;
    }
}

TEST_F(Mix, PanelSoundsAreHeardOverTheTuneAtTheirGameVolume) {
    for (const Played& p : kPanel) {
        const double lufs = speakerLufs(p);
        EXPECT_GE(lufs, musicLufs() - kPanelUnderMost) << p.name;
    }
}

TEST_F(Mix, EveryEffectReachesALaptopSpeaker) {
    std::vector<Played> all(std::begin(kBounces), std::end(kBounces));
    all.insert(all.end(), std::begin(kAccents), std::end(kAccents));
    all.insert(all.end(), std::begin(kPanel), std::end(kPanel));
    for (const Played& p : all) {
        const Heard heard = effect(p);
        ASSERT_GT(heard.audible.frames(), 0u) << p.name << " was not heard at all";
        EXPECT_GE(assetgen::highShare(throughSpeaker(heard.audible), kHeardHz), kHeardShare)
            << p.name;
        EXPECT_LE(assetgen::momentaryLoudness(heard.whole) -
                      assetgen::momentaryLoudness(throughSpeaker(heard.whole)),
                  kSpeakerLossMost)
            << p.name;
    }
}
