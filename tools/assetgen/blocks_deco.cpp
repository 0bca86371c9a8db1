// Scenery of each theme's block image: standing props of layer 1 (frames 28..31, drawn at
// double size on the ground line, so they stand on the frame's bottom edge), things buried in
// the ground of layers 2 and 4 (42..45, 70..73, hanging from the frame's top), the drifting
// particles of play (56..69) and the collectable item with its empty icon (84, 85).
// Each theme picks its motifs from one table; the motifs take the theme's palette.
#include <cmath>

#include "tools/assetgen/deco_motifs.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kC = kBlockSize / 2.0f;
constexpr float kPi = 3.14159265f;

struct DecoSet {
    Look look;
    Motif layer1[4];
    Motif layer2[4];
    Motif layer4[4];
};

const DecoSet kDecoSets[] = {
    {Look::Classic,
     {Motif::Bush, Motif::Tree, Motif::Flowers, Motif::Rock},
     {Motif::Pebbles, Motif::Bone, Motif::Root, Motif::Fossil},
     {Motif::Pebbles, Motif::Crystal, Motif::Coin, Motif::Root}},
    {Look::Wind,
     {Motif::Windmill, Motif::Tuft, Motif::Tree, Motif::Cloud},
     {Motif::Pebbles, Motif::Root, Motif::Fossil, Motif::Pebbles},
     {Motif::Pebbles, Motif::Bone, Motif::Crystal, Motif::Root}},
    {Look::Meadow,
     {Motif::Mushroom, Motif::Flowers, Motif::Spring, Motif::Bush},
     {Motif::Pebbles, Motif::Root, Motif::Coin, Motif::Fossil},
     {Motif::Crystal, Motif::Pebbles, Motif::Root, Motif::Coin}},
    {Look::Magma,
     {Motif::Vent, Motif::Flame, Motif::Rock, Motif::Vent},
     {Motif::Ember, Motif::Crystal, Motif::Bone, Motif::Ember},
     {Motif::Ember, Motif::Pebbles, Motif::Crystal, Motif::Ember}},
    // No flowers: the pond's spikes are the only pink things near its ground.
    {Look::Pond,
     {Motif::Lilypad, Motif::Reed, Motif::Lilypad, Motif::Reed},
     {Motif::Bubbles, Motif::Pebbles, Motif::Shell, Motif::Root},
     {Motif::Bubbles, Motif::Pebbles, Motif::Shell, Motif::Bubbles}},
    {Look::Seaside,
     {Motif::Buoy, Motif::Reed, Motif::Buoy, Motif::Flag},
     {Motif::Shell, Motif::Pebbles, Motif::Coin, Motif::Shell},
     {Motif::Shell, Motif::Pebbles, Motif::Crystal, Motif::Bubbles}},
    {Look::Grid,
     {Motif::Car, Motif::Signal, Motif::Car, Motif::Antenna},
     {Motif::Chip, Motif::Chip, Motif::Coin, Motif::Chip},
     {Motif::Chip, Motif::Pebbles, Motif::Chip, Motif::Coin}},
    {Look::Undersea,
     {Motif::Seaweed, Motif::Coral, Motif::Seaweed, Motif::Rock},
     {Motif::Shell, Motif::Bubbles, Motif::Pebbles, Motif::Fossil},
     {Motif::Shell, Motif::Pebbles, Motif::Crystal, Motif::Bubbles}},
    {Look::Neon,
     {Motif::NeonPalm, Motif::NeonSign, Motif::NeonPalm, Motif::Antenna},
     {Motif::Chip, Motif::Crystal, Motif::Chip, Motif::Coin},
     {Motif::Crystal, Motif::Chip, Motif::Crystal, Motif::Coin}},
    {Look::Ghost,
     {Motif::Tomb, Motif::Cross, Motif::DeadTree, Motif::Pumpkin},
     {Motif::Bone, Motif::Root, Motif::Bone, Motif::Pebbles},
     {Motif::Bone, Motif::Pebbles, Motif::Root, Motif::Crystal}},
    {Look::Ice,
     {Motif::Pine, Motif::DeadTree, Motif::Pine, Motif::Rock},
     {Motif::Crystal, Motif::Pebbles, Motif::Fossil, Motif::Crystal},
     {Motif::Crystal, Motif::Pebbles, Motif::Crystal, Motif::Bone}},
    {Look::Parade, // its two upper layers are painted as streamers, below
     {Motif::Lantern, Motif::Flag, Motif::Lantern, Motif::Flag},
     {Motif::Flag, Motif::Lantern, Motif::Flag, Motif::Lantern},
     {Motif::Pebbles, Motif::Crystal, Motif::Fossil, Motif::Pebbles}},
    {Look::Moon,
     {Motif::Crater, Motif::Flag, Motif::Antenna, Motif::Rock},
     {Motif::Rock, Motif::Crater, Motif::Antenna, Motif::Crater},
     {Motif::Pebbles, Motif::Crystal, Motif::Pebbles, Motif::Fossil}},
    {Look::Sketch,
     {Motif::Easel, Motif::Tree, Motif::Bush, Motif::Rock},
     {Motif::Scribble, Motif::Pebbles, Motif::Scribble, Motif::Root},
     {Motif::Scribble, Motif::Pebbles, Motif::Scribble, Motif::Coin}},
    {Look::Pirate,
     {Motif::Barrel, Motif::Chest, Motif::Anchor, Motif::Parrot},
     {Motif::Plank, Motif::Coin, Motif::Bone, Motif::Plank},
     {Motif::Coin, Motif::Plank, Motif::Crystal, Motif::Bone}},
    {Look::Pasture,
     {Motif::Hay, Motif::Fence, Motif::Bush, Motif::Flowers},
     {Motif::Pebbles, Motif::Root, Motif::Bone, Motif::Root},
     {Motif::Pebbles, Motif::Root, Motif::Fossil, Motif::Pebbles}},
};

const DecoSet& decoSet(Look look) {
    for (const DecoSet& s : kDecoSets) {
        if (s.look == look) return s;
    }
    return kDecoSets[0];
}

} // namespace

namespace {

// Streamers lying on the parade's ground. The game draws every parade decoration twice, at
// double size on the ground line and four times as large 32 higher; only the frame's lowest
// rows land below the ground line both times, so nothing stands where the spikes float.
void paintParadeStreamers(Pen& pen, const Theme& t, int index) {
    Rng rng(static_cast<uint32_t>(index + 91));
    for (int i = 0; i < 4; ++i) {
        const float x = rng.range(6, 26), y = rng.range(31, 34), turn = rng.range(-1, 1);
        pen.line(x, y, x + 5, y + turn, 0.9f, withAlpha(i % 2 ? t.accent2 : t.accent, 0.5f));
    }
}

// The sea floor's buried layers: a few faint ripples low in the frame. Deep Blue's spikes
// sink into the sand as they come round, and these are drawn in front of them.
void paintSandRipples(Pen& pen, const Theme& t, int index) {
    Rng rng(static_cast<uint32_t>(index + 53));
    for (int i = 0; i < 3; ++i) {
        const float x = rng.range(3, 20), y = rng.range(28, 33), len = rng.range(6, 12);
        pen.line(x, y, x + len, y - 0.6f, 0.8f, withAlpha(shade(t.ground, 0.35f), 0.35f));
    }
}

} // namespace

void paintDecoration(Pen& pen, const Theme& t, int layer, int index) {
    const DecoSet& set = decoSet(t.look);
    if (layer == 1 && t.look == Look::Parade)
        paintParadeStreamers(pen, t, index);
    else if (layer == 1)
        paintStandingMotif(pen, set.layer1[index], t, index);
    // The parade's buried layers are a few faint streamers too, hiding nothing.
    else if ((layer == 2 || layer == 4) && t.look == Look::Parade)
        paintParadeStreamers(pen, t, index + layer);
    else if ((layer == 2 || layer == 4) && t.look == Look::Undersea)
        paintSandRipples(pen, t, index + layer);
    // Moon rocks sit on the ground line like layer 1 props.
    else if (layer == 2 && t.look == Look::Moon)
        paintStandingMotif(pen, set.layer2[index], t, index + 4);
    else
        paintBuriedMotif(pen, layer == 2 ? set.layer2[index] : set.layer4[index], t,
                         index + layer * 4);
}

void paintStar(Pen& pen, const Theme& t, int index) {
    Rng rng(static_cast<uint32_t>(index + 7));
    float r = 2.5f + (index % 5) * 0.8f;
    switch (t.look) {
    case Look::Undersea:
        pen.ring(kC, kC, r + 1, 0.9f, withAlpha(t.star, 0.9f));
        pen.circle(kC - r * 0.4f, kC - r * 0.4f, 0.9f, hex(0xffffff));
        break;
    case Look::Ice:
        // Soft round flakes edged in blue: nothing spiky drifts past the spikes.
        pen.circle(kC, kC, r * 0.6f + 0.9f, hex(0x8ab8e0, 0.8f));
        pen.circle(kC, kC, r * 0.6f, t.star);
        break;
    case Look::Parade: {
        // Confetti: small turning paper squares, never stars (the ball is the star).
        Rgba c = hsv(index * 47.0f, 0.65f, 1);
        float a = index * 0.7f, w = 2.6f, h = 1.4f;
        float ux = std::cos(a), uy = std::sin(a);
        pen.polygon({kC - ux * w + uy * h, kC - uy * w - ux * h, kC + ux * w + uy * h,
                     kC + uy * w - ux * h, kC + ux * w - uy * h, kC + uy * w + ux * h,
                     kC - ux * w - uy * h, kC - uy * w + ux * h},
                    c);
        break;
    }
    case Look::Grid: {
        // Falling glyphs: little blocks of the digital rain.
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 4; ++x) {
                if (rng.unit() < 0.5f) pen.rect(kC - 4 + x * 2, kC - 5 + y * 2, 2, 2, t.star);
            }
        }
        break;
    }
    case Look::Meadow: {
        // A drifting petal: small and faint, so the open sky stays open (the game draws the
        // meadow's particles at double size).
        Rgba c = index % 2 == 0 ? t.star : t.accent2;
        float a = index * 0.9f;
        pen.fill(
            kC - 4, kC - 4, kC + 4, kC + 4,
            [=](float x, float y) {
                float dx = x - kC, dy = y - kC;
                return sdEllipse(dx * std::cos(a) + dy * std::sin(a),
                                 dy * std::cos(a) - dx * std::sin(a), 0, 0, 2.2f, 1.1f);
            },
            withAlpha(c, 0.55f));
        break;
    }
    case Look::Pasture:
        // A dandelion seed: a pale tuft on a short stem.
        pen.line(kC, kC, kC + 2.5f, kC + 3.5f, 0.5f, withAlpha(t.star, 0.6f));
        pen.glow(kC, kC, 0.4f, 2.2f, withAlpha(t.star, 0.7f));
        break;
    case Look::Wind: {
        Rgba c = index % 3 == 0 ? t.star : (index % 3 == 1 ? t.accent : t.accent2);
        pen.fill(
            kC - 6, kC - 6, kC + 6, kC + 6,
            [=](float x, float y) {
                return std::max(sdCircle(x, y, kC - 2, kC, r + 1),
                                sdCircle(x, y, kC + 2, kC, r + 1));
            },
            c);
        break;
    }
    case Look::Magma:
        pen.glow(kC, kC, 0.5f, r + 3, withAlpha(t.star, 0.9f));
        pen.circle(kC, kC, 1.2f, t.accent2);
        break;
    case Look::Pirate:
        pen.rect(kC - 3, kC - 4, 6, 8, hex(0xb08010));
        pen.rect(kC - 2, kC - 4, 4, 8, t.star);
        pen.rect(kC - 1, kC - 3, 1, 5, hex(0xfff8c0));
        break;
    case Look::Sketch:
        pen.ring(kC, kC, r, 0.8f, withAlpha(t.star, 0.8f));
        break;
    default: {
        Rgba c = t.star;
        pen.glow(kC, kC, 0.5f, r + 2, withAlpha(c, 0.5f));
        pen.polygon(starPoints(kC, kC, 4, r + 1.5f, r * 0.3f, 0), c);
        break;
    }
    }
}

void paintItem(Pen& pen, const Theme& t, bool icon) {
    // Candy for the ghosts, an ice gem in the snow, a gem of the theme's accent elsewhere.
    Rgba c = t.look == Look::Ghost ? t.accent : (t.look == Look::Ice ? hex(0x40a0ff) : t.accent);
    std::vector<float> gemShape = {kC, 5, 30, 14, kC, 32, 6, 14};
    if (icon) {
        pen.polygon(gemShape, withAlpha(hex(0x000000), 0.35f));
        for (size_t i = 0; i < gemShape.size(); i += 2) {
            size_t j = (i + 2) % gemShape.size();
            pen.line(gemShape[i], gemShape[i + 1], gemShape[j], gemShape[j + 1], 1.4f,
                     hex(0xffffff, 0.8f));
        }
        return;
    }
    pen.glow(kC, 17, 6, 17, withAlpha(c, 0.45f));
    if (t.look == Look::Ghost) {
        pen.polygon({5, 12, 11, 17, 5, 22}, shade(c, 0.3f));
        pen.polygon({31, 12, 25, 17, 31, 22}, shade(c, 0.3f));
        pen.circle(kC, 17, 8, [&](float x, float y) {
            return std::sin((x + y) * 0.7f) > 0 ? c : hex(0xffffff);
        });
        return;
    }
    pen.polygon(gemShape, [&](float x, float y) {
        float facet = (x < kC ? -1.0f : 1.0f) + (y < 14 ? -1.0f : 0.5f);
        return shade(c, -facet * 0.2f);
    });
    pen.polygon({kC, 8, 24, 14, kC, 14, 12, 14}, shade(c, 0.5f));
}

void paintBlockFrame(Pen& pen, const Theme& t, int frame) {
    if (frame < kSpikeFrame)
        paintBall(pen, t, frame);
    else if (frame < kSpikeFrame + 14)
        paintSpike(pen, t, frame - kSpikeFrame + 1);
    else if (frame >= kDecoLayer1 && frame < kDecoLayer1 + 4)
        paintDecoration(pen, t, 1, frame - kDecoLayer1);
    else if (frame >= kDecoLayer2 && frame < kDecoLayer2 + 4)
        paintDecoration(pen, t, 2, frame - kDecoLayer2);
    else if (frame >= kStarFrame && frame < kStarFrame + 14)
        paintStar(pen, t, frame - kStarFrame);
    else if (frame >= kDecoLayer4 && frame < kDecoLayer4 + 4)
        paintDecoration(pen, t, 4, frame - kDecoLayer4);
    else if (frame == kItemFrame || frame == kItemIconFrame)
        paintItem(pen, t, frame == kItemIconFrame);
    else
        paintSpecialBlock(pen, t, frame);
}

} // namespace assetgen
