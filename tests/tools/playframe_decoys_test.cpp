// The play-frame judge's decoys and head-up overlaps on hand-made silhouettes and draw lists:
// pointed shapes are told from round, long and boxy ones; a popup's digits are measured
// against its own tag; head-up ink that something drawn later lies on counts as covered.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <tuple>

#include "game/c_MyApp_commands.h"
#include "tools/assetgen/playframe.h"
#include "tools/assetgen/playframe_decoys.h"
#include "tools/assetgen/playframe_measure.h"

namespace {

using namespace assetgen;

constexpr int kCell = 32;
constexpr int kRim = 4;
constexpr int kFramesInWorld = 32;
constexpr float kRect = -3717.0f;
constexpr double kPi = 3.14159265358979;

// A silhouette from an inside test in pixels round (0, 0), placed at (100, 100).
SpriteMask shape(const std::function<bool(double, double)>& inside) {
    SpriteMask m;
    m.x0 = m.y0 = 60;
    m.w = m.h = 80;
    m.inside.assign(static_cast<size_t>(m.w) * m.h, 0);
    m.texelLum.assign(m.inside.size(), 1);
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            m.inside[static_cast<size_t>(y) * m.w + x] = inside(x - 40 + 0.5, y - 40 + 0.5);
        }
    }
    return m;
}

// A star of `points` points reaching `outer`, its notches at `inner`.
bool inStar(double x, double y, int points, double outer, double inner) {
    const double a = std::atan2(x, -y), r = std::hypot(x, y);
    const double slice = kPi / points;
    const double t = std::fabs(std::fmod(a + 2 * kPi, 2 * slice) - slice) / slice; // 1 at a tip
    return r < inner + (outer - inner) * t;
}

TEST(PlayFrameDecoys, StarsAreToldFromRoundLongAndBoxyShapesByTheirPointsAndSolidity) {
    const SpriteMask star = shape([](double x, double y) { return inStar(x, y, 6, 16, 7); });
    const SpriteMask spined = shape([](double x, double y) { return inStar(x, y, 9, 16, 8); });
    const SpriteMask disc = shape([](double x, double y) { return x * x + y * y < 225; });
    const SpriteMask oval = shape([](double x, double y) {
        return x * x / 900 + y * y / 36 < 1; // a long flat thing, a bone or a plank
    });
    const SpriteMask tag = shape([](double x, double y) {
        // A popup's tag: a 46 by 22 box with corners rounded by a quarter of its height.
        const double dx = std::max(std::fabs(x) - 17.5, 0.0),
                     dy = std::max(std::fabs(y) - 5.5, 0.0);
        return std::hypot(dx, dy) < 5.5;
    });
    const std::vector<double> points = pointSpectrum(star);
    EXPECT_EQ(std::max_element(points.begin() + 3, points.end()) - points.begin(), 6);
    EXPECT_LT(solidity(star), 0.8);
    EXPECT_GT(solidity(disc), 0.9);
    EXPECT_GT(solidity(oval), 0.9);
    EXPECT_GT(solidity(tag), 0.9);
    EXPECT_GT(shapeLikeness(pointSpectrum(star), points), 0.99);
    EXPECT_LT(shapeLikeness(pointSpectrum(spined), points), 0.5) << "nine points are not six";
    EXPECT_LT(shapeLikeness(pointSpectrum(tag), points), 0.5);
}

// A strip of `frames` frames, each filled whole with one grey.
SlotImage plain(int frames, uint8_t grey) {
    SlotImage img;
    img.width = frames * kCell;
    img.height = kCell;
    img.frameW = img.frameH = kCell;
    img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 255);
    for (size_t i = 0; i < img.rgba.size(); i += 4)
        img.rgba[i] = img.rgba[i + 1] = img.rgba[i + 2] = grey;
    return img;
}

// A white 16-pixel square in the middle of each frame: a glyph's ink.
SlotImage glyphs(int frames) {
    SlotImage img = plain(frames, 255);
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const bool ink = x % kCell >= 8 && x % kCell < 24 && y >= 8 && y < 24;
            img.rgba[(static_cast<size_t>(y) * img.width + x) * 4 + 3] = ink ? 255 : 0;
        }
    }
    return img;
}

std::array<float, kDrawStride> command(float kind, float x, float y, float sx, float sy,
                                       int frame) {
    std::array<float, kDrawStride> c{};
    c[0] = kind, c[1] = x, c[2] = y, c[4] = sx, c[5] = sy, c[6] = static_cast<float>(frame);
    c[7] = 1;
    c[10] = c[11] = c[12] = 255;
    c[13] = 1;
    return c;
}

struct Judged {
    FrameDecoys decoys;
    FrameParts parts;
};

// Judges a list drawn with tags of one grey (and a rim four texels wide of another, when
// given) and white square glyphs.
Judged judge(const std::vector<std::array<float, kDrawStride>>& commands, uint8_t tagGrey,
             int rimGrey = -1) {
    PlayFrame frame;
    SlotImage tags = plain(17, tagGrey);
    if (rimGrey >= 0) {
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < tags.width; ++x) {
                const int u = x % kCell;
                if (std::min({u, y, kCell - 1 - u, kCell - 1 - y}) >= kRim) continue;
                uint8_t* p = &tags.rgba[(static_cast<size_t>(y) * tags.width + x) * 4];
                p[0] = p[1] = p[2] = static_cast<uint8_t>(rimGrey);
            }
        }
    }
    frame.setSlot(99, tags);
    frame.setSlot(90, glyphs(20));
    std::vector<float> list;
    for (const auto& c : commands) list.insert(list.end(), c.begin(), c.end());
    const int floats = static_cast<int>(list.size());
    frame.replay(list.data(), floats, Rgba{0.3f, 0.3f, 0.3f, 1});
    Judged j;
    j.parts = findParts(list.data(), floats);
    j.decoys = measureDecoys(frame, list.data(), floats, j.parts, 480);
    return j;
}

TEST(PlayFrameDecoys, APopupsDigitsAreMeasuredAgainstItsOwnTagsFill) {
    // A tag three times its size with one digit on it, low on the play field.
    const std::vector<std::array<float, kDrawStride>> popup = {command(99, 300, 200, 3, 3, 16),
                                                               command(90, 300, 200, 1, 1, 18)};
    const Judged dark = judge(popup, 20);
    ASSERT_EQ(dark.parts.popups.size(), 1u);
    EXPECT_EQ(dark.parts.popups[0].digits, std::vector<int>{1});
    EXPECT_GT(dark.decoys.popup, 10.0) << "white on a near-black tag";
    EXPECT_LT(judge(popup, 240).decoys.popup, 1.2) << "white on a white tag";
    // A tag as small as the game's, whose white rim comes within the ring round the digit:
    // the digit is read against the dark fill inside the rim.
    const std::vector<std::array<float, kDrawStride>> small = {command(99, 300, 200, 1, 1, 16),
                                                               command(90, 300, 200, 1, 1, 18)};
    EXPECT_GT(judge(small, 20, 255).decoys.popup, 10.0) << "the rim is not the background";
    // A fading popup is on its way out and not read.
    auto fading = popup;
    fading[0][7] = fading[1][7] = 0.5f;
    EXPECT_EQ(judge(fading, 20).decoys.popup, 0.0);
}

// A world image of 64-pixel frames, each painted in one colour where `inside` (in pixels
// round the frame's centre) holds; the frames not listed are empty.
SlotImage
world(const std::vector<std::tuple<int, Rgba, std::function<bool(double, double)>>>& art) {
    constexpr int kBig = 64;
    SlotImage img;
    img.width = kFramesInWorld * kBig;
    img.height = img.frameW = img.frameH = kBig;
    img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 0);
    for (const auto& [frame, colour, inside] : art) {
        for (int y = 0; y < kBig; ++y) {
            for (int x = 0; x < kBig; ++x) {
                if (!inside(x - kBig / 2 + 0.5, y - kBig / 2 + 0.5)) continue;
                uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + frame * kBig + x) * 4];
                p[0] = static_cast<uint8_t>(colour.r * 255),
                p[1] = static_cast<uint8_t>(colour.g * 255);
                p[2] = static_cast<uint8_t>(colour.b * 255), p[3] = 255;
            }
        }
    }
    return img;
}

double decoyOf(const SlotImage& blocks, const std::vector<std::array<float, kDrawStride>>& list) {
    PlayFrame frame;
    frame.setSlot(1, blocks);
    std::vector<float> floats;
    for (const auto& c : list) floats.insert(floats.end(), c.begin(), c.end());
    const int n = static_cast<int>(floats.size());
    frame.replay(floats.data(), n, Rgba{0.1f, 0.1f, 0.3f, 1});
    return measureDecoys(frame, floats.data(), n, findParts(floats.data(), n), 480).decoy;
}

TEST(PlayFrameDecoys, SceneryInTheSpikesColoursAndShapeIsADecoyAndAlikeColourOrShapeAloneIsNot) {
    const Rgba red{0.9f, 0.15f, 0.15f, 1}, grey{0.5f, 0.5f, 0.5f, 1};
    auto star = [](double x, double y) { return inStar(x, y, 6, 28, 13); };
    auto disc = [](double x, double y) { return x * x + y * y < 26 * 26; };
    auto peak = [](double x, double y) { return y < 20 && y > -28 + 48 * std::fabs(x) / 30; };
    enum { kSpike = 14, kStarScenery = 28, kRedDisc, kGreyStar, kRock };
    const SlotImage blocks = world({{kSpike, red, star},
                                    {kStarScenery, red, star},
                                    {kRedDisc, red, disc},
                                    {kGreyStar, grey, star},
                                    {kRock, grey, peak}});
    const auto spike = command(1, 100, 200, 1, 1, kSpike);
    EXPECT_GT(decoyOf(blocks, {spike, command(1, 300, 200, 1, 1, kStarScenery)}), kDecoyLimit)
        << "a spike-coloured, spike-shaped thing added to the scenery";
    EXPECT_LT(decoyOf(blocks, {spike, command(1, 300, 200, 1, 1, kRedDisc)}), kDecoyLimit);
    EXPECT_LT(decoyOf(blocks, {spike, command(1, 300, 200, 1, 1, kGreyStar)}), kDecoyLimit);
    // A pointed grey rock with a spike standing in front of it lends the rock none of the
    // spike's colours.
    EXPECT_LT(decoyOf(blocks, {command(1, 300, 200, 1, 1, kRock), spike,
                               command(1, 300, 204, 0.8f, 0.8f, kSpike)}),
              kDecoyLimit);
}

TEST(PlayFrameDecoys, HeadUpInkUnderSomethingDrawnLaterIsCovered) {
    auto bar = command(kRect, 300, 4, 40, 24, 0);
    bar[7] = 0.8f;
    const auto digit = command(90, 320, 16, 2, 2, 17);
    EXPECT_NEAR(judge({digit, bar}, 0).decoys.hudCovered, 1.0, 0.01) << "the bar over the digit";
    EXPECT_EQ(judge({bar, digit}, 0).decoys.hudCovered, 0.0) << "the bar behind it";
}

} // namespace
