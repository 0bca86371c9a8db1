// The generator's building blocks: the pen paints the same shape at every scale (smooth
// edges, or the 1x grid blown up in pixel mode), envelopes and the mixer behave, and the
// composer's loops are exactly as long as their bars.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/compose.h"
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

} // namespace
