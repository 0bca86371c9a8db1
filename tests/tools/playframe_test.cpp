// The play-frame judge on hand-made draw lists: a sprite's rim against what lies round it, as
// dimmed by the command's alpha; the mirror command moves what follows it; the commands of a
// round are told apart (spikes, the ball and its trail, head-up text, labels, what is written
// over the play field); what is drawn over a sprite is left out of its measure.
#include <gtest/gtest.h>

#include <array>

#include "tools/assetgen/playframe.h"
#include "tools/assetgen/playframe_measure.h"

namespace {

using namespace assetgen;

constexpr int kCell = 32; // frame size in the slot image, drawn at half size

// One white 16-pixel square in the middle of each 32-pixel frame of a strip, `alpha` opaque.
SlotImage squares(int frames = 2, uint8_t alpha = 255) {
    SlotImage img;
    img.width = frames * kCell;
    img.height = kCell;
    img.frameW = img.frameH = kCell;
    img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 0);
    for (int y = 8; y < 24; ++y) {
        for (int x = 0; x < img.width; ++x) {
            if (x % kCell < 8 || x % kCell >= 24) continue;
            uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = alpha;
        }
    }
    return img;
}

std::array<float, kDrawStride> image(int slot, float x, float y, int frame, float alpha) {
    std::array<float, kDrawStride> c{};
    c[0] = static_cast<float>(slot);
    c[1] = x;
    c[2] = y;
    c[4] = c[5] = 1;
    c[6] = static_cast<float>(frame);
    c[7] = alpha;
    c[10] = c[11] = c[12] = 255;
    c[13] = 1;
    return c;
}

struct List {
    std::vector<float> floats;
    void add(const std::array<float, kDrawStride>& c) {
        floats.insert(floats.end(), c.begin(), c.end());
    }
    int count() const { return static_cast<int>(floats.size()); }
};

double squareContrast(float alpha) {
    PlayFrame frame;
    frame.setSlot(1, squares());
    List list;
    list.add(image(1, 100, 100, 0, alpha));
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    return rimContrast(frame, frame.mask(list.floats.data(), 0), 2, 3, {}, {}, nullptr);
}

TEST(PlayFrame, RimContrastFollowsTheCommandsAlpha) {
    EXPECT_GT(squareContrast(1.0f), 20.0); // white on black
    // Blending mixes the screen's own (gamma-encoded) values: half white is a pixel value of
    // 0.5, luminance 0.214, so (0.214 + 0.05) / 0.05; a quarter, luminance 0.051.
    EXPECT_NEAR(squareContrast(0.5f), 5.3, 0.3);
    EXPECT_NEAR(squareContrast(0.25f), 2.0, 0.2);
}

// A sprite twice the size of one square (16 pixels) at (x, y): `sides` strips of the slot's
// square, tinted grey, laid over its right, top, bottom and left edge in that order, each
// over the outermost pixel of its rim and the three of its ring.
void addStrips(List& list, int slot, float x, float y, int sides) {
    const float strip[4][4] = {{x + 9, y, 0.5f, 2.75f},
                               {x, y - 9, 2.0f, 0.5f},
                               {x, y + 9, 2.0f, 0.5f},
                               {x - 9, y, 0.5f, 2.75f}};
    for (int k = 0; k < sides; ++k) {
        auto c = image(slot, strip[k][0], strip[k][1], 1, 1);
        c[4] = strip[k][2], c[5] = strip[k][3];
        c[10] = c[11] = c[12] = 128;
        list.add(c);
    }
}

std::array<float, kDrawStride> large(int slot, float x, float y, int frame) {
    auto c = image(slot, x, y, frame, 1);
    c[4] = c[5] = 2;
    return c;
}

TEST(PlayFrame, WhatIsDrawnOverASpriteCountsNeitherAsItsRimNorAsItsSurroundings) {
    PlayFrame frame;
    frame.setSlot(1, squares());
    List list;
    list.add(large(1, 100, 100, 0));
    addStrips(list, 1, 100, 100, 3);
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    const SpriteMask sprite = frame.mask(list.floats.data(), 0);
    std::vector<SpriteMask> strips;
    for (int k = 1; k <= 3; ++k) strips.push_back(frame.mask(list.floats.data(), k));
    // Three sides hide less than half the rim and most of the ring: what is left, white
    // against black, is all that is measured.
    const double seen = rimContrast(frame, sprite, 2, 3, {}, strips, nullptr);
    EXPECT_GT(seen, 20.0);
    // Counted in, the grey is mostly compared with itself.
    EXPECT_LT(rimContrast(frame, sprite, 2, 3, {}, {}, nullptr), 0.5 * seen);
}

TEST(PlayFrame, ASpriteMostlyHiddenIsNotMeasured) {
    // A grey block over the right three fifths of the square hides more than half its rim;
    // the left edge still shows, white on black, but does not speak for the sprite.
    PlayFrame frame;
    frame.setSlot(1, squares());
    List list;
    list.add(large(1, 100, 100, 0));
    auto block = image(1, 103, 100, 1, 1);
    block[4] = 1.25f, block[5] = 2;
    block[10] = block[11] = block[12] = 128;
    list.add(block);
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    const SpriteMask sprite = frame.mask(list.floats.data(), 0);
    const SpriteMask cover = frame.mask(list.floats.data(), 1);
    EXPECT_EQ(rimContrast(frame, sprite, 2, 3, {}, {cover}, nullptr), 0.0);
    EXPECT_GT(rimContrast(frame, sprite, 2, 3, {cover}, {}, nullptr), 0.0); // merely behind
}

// A round's frame: the ball and a spike, white squares on black, faint grey text over three
// edges of each, drawn after both or, for the spike, before it.
FrameContrast faintTextOver(bool textFirst) {
    PlayFrame frame;
    frame.setSlot(1, squares(28));
    frame.setSlot(90, squares(2, 77));
    List list;
    list.add(large(1, 100, 200, 0));
    if (textFirst) addStrips(list, 90, 300, 200, 3);
    list.add(large(1, 300, 200, 14));
    addStrips(list, 90, 100, 200, 3);
    if (!textFirst) addStrips(list, 90, 300, 200, 3);
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    return measureFrame(frame, list.floats.data(), findParts(list.floats.data(), list.count()));
}

TEST(PlayFrame, TextDrawnOverASpriteIsLeftOutOfItsMeasure) {
    // Even faint text changes what it covers: left in, it would pull both down.
    const FrameContrast over = faintTextOver(false);
    EXPECT_EQ(over.spikes, 1);
    EXPECT_GT(over.spikeRim, 20.0);
    EXPECT_GT(over.ball, 20.0);
    // Text the spike is drawn over is part of its surroundings.
    const FrameContrast under = faintTextOver(true);
    EXPECT_LT(under.spikeRim, 20.0);
    EXPECT_GT(under.ball, 20.0);
}

TEST(PlayFrame, TheHeadUpBarOverASpikeIsLeftOutOfItsMeasure) {
    // A spike risen to the top of the screen behind the chain timer's grey bar, which covers
    // its lower third and the ring below it; the head-up digit beside it makes the bar one
    // of the head-up display's.
    PlayFrame frame;
    frame.setSlot(1, squares(28));
    frame.setSlot(90, squares());
    List list;
    list.add(large(1, 300, 40, 14));
    list.add(image(90, 200, 16, 1, 1));
    std::array<float, kDrawStride> bar{};
    bar[0] = kCmdRect;
    bar[1] = 280, bar[2] = 45, bar[4] = 40, bar[5] = 16;
    bar[7] = 0.8f;
    bar[10] = bar[11] = bar[12] = 128;
    list.add(bar);
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    const FrameParts parts = findParts(list.floats.data(), list.count());
    EXPECT_EQ(parts.overlays, (std::vector<int>{1, 2}));
    EXPECT_GT(measureFrame(frame, list.floats.data(), parts).spikeRim, 20.0);
}

TEST(PlayFrame, MirrorMovesWhatFollowsToTheOtherSide) {
    PlayFrame frame;
    frame.setSlot(1, squares());
    List list;
    std::array<float, kDrawStride> mirror{};
    mirror[0] = kCmdMirror;
    list.add(mirror);
    list.add(image(1, 100, 100, 0, 1));
    frame.replay(list.floats.data(), list.count(), Rgba{0, 0, 0, 1});
    const SpriteMask m = frame.mask(list.floats.data(), 1);
    EXPECT_TRUE(m.covers(PlayFrame::kWidth - 100, 100));
    EXPECT_FALSE(m.covers(100, 100));
    EXPECT_GT(frame.lum(PlayFrame::kWidth - 100, 100), 0.9);
    EXPECT_LT(frame.lum(100, 100), 0.01);
}

TEST(PlayFrame, RoundCommandsAreToldApart) {
    List list;
    list.add(image(1, 50, 300, 0, 0.3f)); // trail
    list.add(image(1, 60, 300, 0, 1));    // ball
    list.add(image(1, 200, 300, 14, 1));  // spike
    list.add(image(90, 320, 16, 17, 1));  // head-up digit
    auto label = image(90, 200, 300, 39, 1);
    label[4] = label[5] = 5; // "GOAL!" size
    list.add(label);
    list.add(image(99, 60, 300, 2, 1));   // the Sheep Race's sheep
    list.add(image(99, 60, 290, 17, 1));  // a score popup's badge
    list.add(image(90, 60, 290, 18, 1));  // and its value
    list.add(image(90, 200, 336, 18, 1)); // a spike's number
    const FrameParts parts = findParts(list.floats.data(), list.count());
    EXPECT_EQ(parts.ball, 1);
    EXPECT_EQ(parts.trail, std::vector<int>{0});
    EXPECT_EQ(parts.spikes, std::vector<int>{2});
    EXPECT_EQ(parts.hudGlyphs, std::vector<int>{3});
    EXPECT_EQ(parts.labels, std::vector<int>{4});
    EXPECT_EQ(parts.overlays, (std::vector<int>{3, 4, 6, 7, 8}));
    ASSERT_EQ(parts.popups.size(), 1u);
    EXPECT_EQ(parts.popups[0].tag, 6);
    EXPECT_EQ(parts.popups[0].digits, std::vector<int>{7}) << "the value on the badge";
    EXPECT_EQ(parts.others, (std::vector<int>{5, 6})) << "what may pass for a spike";
}

} // namespace
