// The generator's building blocks: the pen paints the same shape at every scale (smooth
// edges, or the 1x grid blown up in pixel mode) and rings a shape with outlines, envelopes
// and the mixer behave, pulses carry no DC, the composer's loops are exactly as long as their
// bars, and the loudness meter reads the reference tone and gates silence out.
#include <gtest/gtest.h>

#include <cmath>

#include "support/test_support.h"
#include "tools/assetgen/images.h"

#include "tools/assetgen/audio.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/compose.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/report.h"
#include "tools/assetgen/synth.h"

namespace {

using namespace assetgen;

double alphaSum(const Canvas& c) {
    double sum = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) sum += c.get(x, y).a;
    return sum;
}

TEST(Pen, CircleCoversItsAreaAtEveryScale) {
    for (int scale : {1, 2, 4}) {
        Canvas c(40 * scale, 40 * scale);
        Pen pen(c, 0, 0, 40, 40, static_cast<float>(scale));
        pen.circle(20, 20, 10, rgb(255, 0, 0));
        EXPECT_NEAR(alphaSum(c) / (scale * scale), 3.14159 * 100, 3.0) << "scale " << scale;
    }
}

TEST(Pen, StaysInsideItsFrame) {
    Canvas c(20, 10);
    Pen right(c, 10, 0, 10, 10, 1.0f);
    right.circle(0, 5, 8, rgb(255, 255, 255)); // reaches left of the frame's own origin
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(c.get(x, y).a, 0.0f) << x << "," << y;
    EXPECT_GT(c.get(10, 5).a, 0.9f);
}

TEST(Pen, PixelModeBlowsUpTheOneTimesGrid) {
    Canvas one(16, 16), four(64, 64);
    Pen p1(one, 0, 0, 16, 16, 1.0f, true), p4(four, 0, 0, 16, 16, 4.0f, true);
    for (Pen* p : {&p1, &p4}) p->circle(8, 8, 5.3f, rgb(0, 255, 0));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(four.get(x, y).a, one.get(x / 4, y / 4).a) << x << "," << y;
            ASSERT_TRUE(four.get(x, y).a == 0.0f || four.get(x, y).a == 1.0f);
        }
    }
}

TEST(Canvas, BlendsOverWithStraightAlphaOut) {
    Canvas c(1, 1);
    c.set(0, 0, rgb(0, 0, 255));
    c.blend(0, 0, rgb(255, 0, 0, 0.5f), 1.0f);
    Rgba px = c.get(0, 0);
    EXPECT_NEAR(px.r, 0.5f, 1e-4);
    EXPECT_NEAR(px.b, 0.5f, 1e-4);
    EXPECT_NEAR(px.a, 1.0f, 1e-4);
    std::vector<uint8_t> bytes = c.toRgba8();
    EXPECT_EQ(bytes[0], 128);
    EXPECT_EQ(bytes[3], 255);
}

TEST(Envelope, RisesHoldsAndReleasesToSilence) {
    Envelope e{0.1f, 0.1f, 0.5f, 0.2f};
    EXPECT_FLOAT_EQ(e.level(0.05f, 1.0f), 0.5f);   // half way up the attack
    EXPECT_FLOAT_EQ(e.level(0.1f, 1.0f), 1.0f);    // top
    EXPECT_FLOAT_EQ(e.level(0.5f, 1.0f), 0.5f);    // sustain
    EXPECT_NEAR(e.level(1.1f, 1.0f), 0.25f, 1e-5); // half way through the release
    EXPECT_FLOAT_EQ(e.level(1.3f, 1.0f), 0.0f);
}

TEST(Synth, VoiceLandsWhereAskedAndMixIsNormalised) {
    std::vector<float> buf(2 * 1000, 0.0f);
    Voice v;
    v.wave = Wave::Sine;
    v.freq = 441;
    v.volume = 0.1f;
    v.env = {0.0f, 0.0f, 1.0f, 0.0f};
    v.pan = 1.0f; // right only
    renderVoice(buf, 2, 44100, 500, 1.0f, v);
    float left = 0, right = 0, early = 0;
    for (int i = 0; i < 1000; ++i) {
        left = std::max(left, std::fabs(buf[i * 2]));
        right = std::max(right, std::fabs(buf[i * 2 + 1]));
        if (i < 500) early = std::max(early, std::fabs(buf[i * 2 + 1]));
    }
    EXPECT_EQ(left, 0.0f);
    EXPECT_EQ(early, 0.0f);
    EXPECT_NEAR(right, 0.1f, 0.002f);
    finishMix(buf, 0.8f);
    float peak = 0;
    for (float s : buf) peak = std::max(peak, std::fabs(s));
    EXPECT_NEAR(peak, 0.8f, 0.05f);
}

TEST(Composer, LoopIsExactlyItsBarsLong) {
    SongStyle s;
    s.bpm = 150;
    s.scale = kMajor;
    s.progression = {0, 3, 4, 0};
    s.form = "A";
    s.arpPattern = "0.3.";
    s.arp.volume = 0.05f;
    Sound song = composeSong(s);
    long stepFrames = std::lround(kMusicRate * 60.0 / 150 / 4.0);
    EXPECT_EQ(song.channels, 2);
    EXPECT_EQ(static_cast<long>(song.frames()), 4 * 16 * stepFrames);
    EXPECT_NEAR(barSeconds(s), 1.6f, 0.001f);
}

TEST(Pen, OutlineRingsTheSilhouetteUnderTheBody) {
    for (int scale : {1, 4}) {
        SCOPED_TRACE(scale);
        Canvas c(30 * scale, 30 * scale);
        Pen pen(c, 0, 0, 30, 30, static_cast<float>(scale));
        // Shrunk to half: a circle of radius 8 paints as radius 4, then two rings of 1.5 each.
        pen.zoomed(0.5f).outlined({{1.5f, rgb(0, 0, 255)}, {1.5f, rgb(255, 0, 0)}},
                                  [](Pen& p) { p.circle(15, 15, 8, rgb(0, 255, 0)); });
        auto at = [&](float r) { return c.get(static_cast<int>((15 + r) * scale), 15 * scale); };
        EXPECT_GT(at(0).g, 0.9f); // the body stays on top
        EXPECT_GT(at(3.5f).g, 0.9f);
        EXPECT_GT(at(4.7f).r, 0.9f); // the inner ring
        EXPECT_GT(at(6.2f).b, 0.9f); // the outer ring
        EXPECT_LT(at(8.0f).a, 0.05f);
    }
}

TEST(Synth, PulsesOfAnyDutyCarryNoDc) {
    for (Wave w : {Wave::Pulse25, Wave::Square}) {
        std::vector<float> buf(44100, 0.0f);
        Voice v;
        v.wave = w;
        v.freq = 330;
        v.volume = 0.5f;
        v.duty = 0.125f;
        v.env = {0.0f, 0.0f, 1.0f, 0.0f};
        renderVoice(buf, 1, 44100, 0, 1.0f, v);
        double sum = 0;
        for (float s : buf) sum += s;
        EXPECT_NEAR(sum / static_cast<double>(buf.size()), 0.0, 0.002);
    }
}

Sound tone(double hz, double amplitude, double seconds, int rate = 48000) {
    Sound s;
    s.rate = rate;
    s.channels = 1;
    s.samples.resize(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] =
            static_cast<float>(amplitude * std::sin(2 * 3.14159265358979 * hz * i / rate));
    return s;
}

TEST(Loudness, ReadsTheReferenceToneAndGatesSilenceOut) {
    // A full-scale 997 Hz tone in one channel reads -3.01; a tenth of it 20 LU less.
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 3.0)), -3.01, 0.05);
    EXPECT_NEAR(integratedLoudness(tone(997, 0.1, 3.0, 44100)), -23.01, 0.05);
    // The weighting: low rumble counts far less, the presence region more.
    EXPECT_LT(integratedLoudness(tone(30, 1.0, 3.0)), -10.0);
    EXPECT_GT(integratedLoudness(tone(4000, 1.0, 3.0)), -0.5);
    // Silence after the tone is gated out; a tone 30 LU down barely moves the reading.
    Sound gap = tone(997, 0.1, 6.0);
    for (size_t i = gap.samples.size() / 2; i < gap.samples.size(); ++i) gap.samples[i] = 0;
    // (Only the few blocks straddling the edge pull the reading down a little.)
    EXPECT_NEAR(integratedLoudness(gap), -23.01, 0.3);
    Sound quiet = tone(997, 0.1, 6.0);
    for (size_t i = quiet.samples.size() / 2; i < quiet.samples.size(); ++i)
        quiet.samples[i] *= 0.03f;
    EXPECT_NEAR(integratedLoudness(quiet), -23.01, 0.3);
    Sound silent = tone(997, 0.0, 1.0);
    EXPECT_EQ(integratedLoudness(silent), kSilentLufs);
}

TEST(Loudness, MomentaryCountsAShortSoundOverTheWholeWindowAndTakesTheLoudest) {
    // 0.1 s of the reference tone is heard over 400 ms: 6 dB under the tone held.
    EXPECT_NEAR(momentaryLoudness(tone(997, 1.0, 0.1)), -3.01 - 6.02, 0.1);
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 0.1)), -3.01, 0.1);
    EXPECT_NEAR(momentaryLoudness(tone(997, 1.0, 3.0)), -3.01, 0.05);
    // A loud second inside a quiet stretch: the loudest window, not the average.
    Sound burst = tone(997, 0.1, 6.0);
    for (size_t i = 2 * 48000; i < 3 * 48000; ++i) burst.samples[i] *= 10.0f;
    EXPECT_NEAR(momentaryLoudness(burst), -3.01, 0.1);
    EXPECT_EQ(momentaryLoudness(tone(997, 0.0, 1.0)), kSilentLufs);
    // The normaliser aims at it when asked.
    Sound tick = tone(997, 0.2, 0.05);
    normaliseLoudness(tick, -20.0, 0.9f, LoudnessMeasure::Momentary);
    EXPECT_NEAR(momentaryLoudness(tick), -20.0, 0.3);
}

TEST(Loudness, NormaliserMeetsTheTargetUnderTheCeiling) {
    Sound s = tone(220, 0.05, 2.0, 44100);
    // A loud click the limiter has to catch.
    s.samples[1000] = 0.5f;
    normaliseLoudness(s, -6.0, 0.9f);
    EXPECT_NEAR(integratedLoudness(s), -6.0, 0.3);
    float peak = 0;
    for (float v : s.samples) peak = std::max(peak, std::fabs(v));
    EXPECT_LE(peak, 0.9f);
}

TEST(Report, ContrastAndWidthMeasures) {
    EXPECT_NEAR(contrastRatio(luminance(rgb(255, 255, 255)), luminance(rgb(0, 0, 0))), 21.0, 1e-6);
    EXPECT_NEAR(contrastRatio(0.0, 1.0), contrastRatio(1.0, 0.0), 1e-9);
    Sound st;
    st.channels = 2;
    st.samples = {0.5f, 0.5f, -0.5f, -0.5f};
    EXPECT_EQ(stereoWidth(st), 0.0);
    st.samples = {0.5f, 0.0f, -0.5f, 0.0f};
    EXPECT_NEAR(stereoWidth(st), 1.0, 1e-9);
}

// A theme's 1x block and strip images built by hand: the sky one flat colour, ball frames a
// disc of one colour (optionally ringed), spike frames a disc with a red rim, and one standing
// scenery frame that is either a copy of the ball or a thin pole.
struct FakeWorld {
    Canvas blocks{14 * kBlockSize, 14 * kBlockSize};
    Canvas strips{kStripW, kStripH* kStripFrames};
    FakeWorld(const Rgba& ball, const Rgba& ring, const Rgba& spike, bool ballDecoy) {
        for (int f = 0; f < kBlockFrames; ++f) {
            Pen pen(blocks, (f % 14) * kBlockSize, (f / 14) * kBlockSize, kBlockSize, kBlockSize,
                    1.0f);
            if (f < kSpikeFrame || (f == kDecoLayer1 && ballDecoy)) {
                if (ring.a > 0) pen.circle(18, 18, 14, ring);
                pen.circle(18, 18, 12, ball);
            } else if (f < kSpikeFrame + 14) {
                pen.circle(18, 18, 14, hex(kDangerRed));
                pen.circle(18, 18, 12, spike);
            } else if (f == kDecoLayer1) {
                pen.rect(17, 2, 2, 34, hex(0x806040));
            }
        }
    }
};

TEST(Report, ThemeMeasuresSeeContrastOutlinesDangerAndDecoys) {
    Theme t = themeByNumber(11); // a light grey sky, no backdrop drawn below
    const Rgba white = rgb(250, 250, 250), none{};
    // A white ball on a light sky barely shows; a dark ring carries it.
    ThemeStats bare = measureTheme(t, FakeWorld(white, none, rgb(40, 60, 200), false).blocks,
                                   Canvas(kStripW, kStripH * kStripFrames));
    EXPECT_LT(bare.ball, 1.8);
    ThemeStats ringed =
        measureTheme(t, FakeWorld(white, rgb(20, 20, 20), rgb(40, 60, 200), false).blocks,
                     Canvas(kStripW, kStripH * kStripFrames));
    EXPECT_GT(ringed.ball, 3.0);
    EXPECT_NEAR(ringed.skyLuminance, luminance(t.bg), 1e-3);
    // The red rim is found; a blue body against a neutral ball leaves the hue gap wide open.
    EXPECT_GT(ringed.danger, 0.15);
    EXPECT_EQ(ringed.hueGap, 180.0);
    // A red ball next to red-rimmed red spikes is too close in hue.
    ThemeStats red =
        measureTheme(t, FakeWorld(rgb(230, 40, 30), none, rgb(220, 30, 40), false).blocks,
                     Canvas(kStripW, kStripH * kStripFrames));
    EXPECT_LT(red.hueGap, 30.0);
    // Scenery that is the ball again is a decoy; a thin pole is not.
    ThemeStats decoy = measureTheme(t, FakeWorld(white, none, rgb(40, 60, 200), true).blocks,
                                    Canvas(kStripW, kStripH * kStripFrames));
    EXPECT_GT(decoy.decoy, 0.8);
    EXPECT_EQ(decoy.decoyFrame, kDecoLayer1);
    EXPECT_LT(bare.decoy, 0.2);
}

TEST(Report, SoundFilesReadBackAsWritten) {
    TempDir dir;
    Sound s;
    s.rate = 22050;
    s.channels = 2;
    for (int i = 0; i < 22050; ++i) {
        s.samples.push_back(0.5f * std::sin(i * 0.05f));
        s.samples.push_back(-0.25f);
    }
    ASSERT_TRUE(writeWav(dir.file("a.wav"), s));
    Sound w;
    ASSERT_TRUE(readWav(dir.file("a.wav"), w));
    EXPECT_EQ(w.rate, 22050);
    ASSERT_EQ(w.channels, 2);
    ASSERT_EQ(w.samples.size(), s.samples.size());
    for (size_t i = 0; i < s.samples.size(); i += 997)
        EXPECT_NEAR(w.samples[i], s.samples[i], 1e-4);
    SoundStats st = measureSound("a.wav", w, false);
    EXPECT_NEAR(st.dc, -0.125, 0.01);
    EXPECT_NEAR(st.peak, 0.5, 0.01);
    ASSERT_TRUE(writeOgg(dir.file("a.ogg"), s, 0.3f));
    Sound o;
    ASSERT_TRUE(readOgg(dir.file("a.ogg"), o));
    EXPECT_EQ(o.channels, 2);
    EXPECT_NEAR(static_cast<double>(o.frames()), 22050.0, 1.0);
    Sound missing;
    EXPECT_FALSE(readWav(dir.file("none.wav"), missing));
    EXPECT_FALSE(readOgg(dir.file("a.wav"), missing));
}

} // namespace
