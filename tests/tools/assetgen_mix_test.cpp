// The mix the player hears, judged on the generated sounds themselves (effects by their
// momentary loudness, tunes by their integrated loudness): the bounce a few dB under the music
// and the pass, crash and burst clear above it; every effect of play with
// most of its energy above 300 Hz, where a laptop speaker still gives something; the panel
// sounds loud enough at the half volume the pause panel plays them at; the tunes bright and
// wide; the jingle without a silent tail.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/compose.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"

namespace {

using namespace assetgen;

constexpr double kBounceUnderMusic = 2.0; // dB, at least
constexpr double kBounceUnderMusicMost = 5.0;
constexpr double kAccentOverMusic = 3.0;
constexpr double kSpeakerHz = 300.0;
constexpr double kPlayAboveSpeaker = 0.5; // share of the energy
constexpr double kHalfVolumeDb = -6.0;    // the pause panel plays its sounds at half volume
constexpr double kPanelUnderMusicMost = 6.0;
constexpr double kTopDb = -18.0;  // tunes: power above 4 kHz against the whole
constexpr double kSideDb = -11.0; // tunes: side against mid
constexpr float kSilence = 1e-4f;
constexpr double kLongestSilence = 0.1; // seconds of digital silence a jingle may hold

const std::map<std::string, Sound>& effects() {
    static const std::map<std::string, Sound> made = [] {
        std::map<std::string, Sound> m;
        for (const SfxDef& d : allEffects()) m.emplace(d.name, d.make());
        return m;
    }();
    return made;
}

Sound tune(const std::string& name) {
    for (const TuneDef& d : allTunes()) {
        if (d.name == name) return d.make();
    }
    ADD_FAILURE() << "no tune " << name;
    return {};
}

bool isBounce(const std::string& name) {
    return name.rfind("sfx/003", 0) == 0;
}

TEST(Mix, BouncesSitUnderTheMusicAndAccentsAboveIt) {
    for (const auto& [name, sound] : effects()) {
        const double lufs = momentaryLoudness(sound);
        if (isBounce(name)) {
            EXPECT_LE(lufs, kTuneLufs - kBounceUnderMusic) << name;
            EXPECT_GE(lufs, kTuneLufs - kBounceUnderMusicMost) << name;
        }
    }
    for (const char* accent : {"sfx/002", "sfx/004", "sfx/005", "sfx/012"}) {
        EXPECT_GE(momentaryLoudness(effects().at(accent)), kTuneLufs + kAccentOverMusic) << accent;
    }
}

TEST(Mix, EffectsOfPlayReachALaptopSpeaker) {
    for (const auto& [name, sound] : effects()) {
        EXPECT_GE(highShare(sound, kSpeakerHz), kPlayAboveSpeaker) << name;
    }
}

TEST(Mix, PanelSoundsAreHeardOverTheTuneAtHalfVolume) {
    for (const char* panel : {"sfx/001", "sfx/098", "sfx/099"}) {
        const double heard = momentaryLoudness(effects().at(panel)) + kHalfVolumeDb;
        EXPECT_GE(heard, kTuneLufs - kPanelUnderMusicMost) << panel;
    }
}

TEST(Mix, TunesAreBrightAndWide) {
    for (const char* name : {"sfx/world003", "sfx/world016", "sfx/title_snip"}) {
        const Sound s = tune(name);
        EXPECT_GE(bandAboveDb(s, 4000.0), kTopDb) << name;
        EXPECT_GE(sideToMidDb(s), kSideDb) << name;
    }
}

TEST(Mix, TheJingleHoldsNoRunOfSilence) {
    const Sound s = tune("sfx/title_snip");
    ASSERT_GT(s.frames(), 0u);
    size_t run = 0, longest = 0;
    for (size_t i = 0; i < s.frames(); ++i) {
        const bool silent =
            std::fabs(s.samples[2 * i]) < kSilence && std::fabs(s.samples[2 * i + 1]) < kSilence;
        run = silent ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LT(static_cast<double>(longest) / s.rate, kLongestSilence);
}

TEST(Mix, MasterAndHighPassShapeATestSignal) {
    // A 60 Hz and a 2 kHz tone in one channel each: the high-pass keeps the high one only,
    // the master puts side into a mono signal.
    Sound s;
    s.channels = 2;
    s.samples.resize(2 * 44100);
    for (size_t i = 0; i < s.frames(); ++i) {
        s.samples[2 * i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 60 * i / 44100.0));
        s.samples[2 * i + 1] = static_cast<float>(0.5 * std::sin(2 * M_PI * 2000 * i / 44100.0));
    }
    Sound filtered = s;
    highPass(filtered, 320.0);
    double low = 0, high = 0;
    for (size_t i = 0; i < filtered.frames(); ++i) {
        low += filtered.samples[2 * i] * filtered.samples[2 * i];
        high += filtered.samples[2 * i + 1] * filtered.samples[2 * i + 1];
    }
    EXPECT_LT(low, high / 100); // 60 Hz down by more than 20 dB against 2 kHz
    Sound mono;
    mono.channels = 2;
    mono.samples.resize(2 * 44100);
    for (size_t i = 0; i < mono.frames(); ++i) {
        mono.samples[2 * i] = mono.samples[2 * i + 1] =
            static_cast<float>(0.5 * std::sin(2 * M_PI * 1000 * i / 44100.0));
    }
    masterTune(mono);
    EXPECT_GE(sideToMidDb(mono), -20.0);
}

} // namespace
