// Scenery motifs: bushes, trees, rocks, windmills, lilypads, boats, cars, tombstones, snowmen,
// balloons, barrels and the rest of the standing props, and the pebbles, bones, roots, fossils
// and crystals buried in the ground. Sizes are in block-frame units (36 by 36).
#include "tools/assetgen/deco_motifs.h"

#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kBase = 35.0f; // ground line of a standing prop
constexpr float kPi = 3.14159265f;

Rgba leafOf(const Theme& t) {
    return t.look == Look::Pasture && t.variant == 1 ? hex(0x1e4a2e) : hex(0x3a9a40);
}

void blob(Pen& pen, float cx, float cy, float r, const Rgba& c) {
    pen.circle(cx, cy, r, [=](float x, float y) {
        return litSphere(c, (x - cx) / r * 0.8f, (y - cy) / r * 0.8f);
    });
}

void bush(Pen& pen, const Rgba& leaf, const Rgba& berry) {
    blob(pen, 10, 27, 8, shade(leaf, -0.15f));
    blob(pen, 26, 27, 8, shade(leaf, -0.15f));
    blob(pen, 18, 22, 10, leaf);
    for (int i = 0; i < 4; ++i) pen.circle(11.0f + i * 5, 24.0f + (i % 2) * 5, 1.5f, berry);
}

void tree(Pen& pen, const Rgba& leaf) {
    pen.roundRect(16, 20, 4, 16, 1, hex(0x6a4222));
    blob(pen, 18, 13, 11, leaf);
    blob(pen, 12, 18, 6, shade(leaf, -0.1f));
    blob(pen, 24, 17, 6, shade(leaf, 0.05f));
}

void flowers(Pen& pen, const Rgba& a, const Rgba& b) {
    for (int i = 0; i < 3; ++i) {
        float x = 8.0f + i * 10, top = 18.0f + (i % 2) * 6;
        pen.line(x, top, x, kBase, 1.4f, hex(0x3a8a3a));
        for (int p = 0; p < 5; ++p) {
            float ang = p * 2 * kPi / 5;
            pen.circle(x + std::sin(ang) * 3, top - std::cos(ang) * 3, 2.2f, i % 2 ? b : a);
        }
        pen.circle(x, top, 1.6f, hex(0xffe04a));
    }
}

void rock(Pen& pen, const Rgba& c) {
    pen.polygon({4, kBase, 8, 22, 16, 16, 26, 18, 32, 26, 33, kBase}, [=](float x, float y) {
        float n = fbm(x * 0.3f, y * 0.3f, 3);
        return shade(c, (n - 0.5f) * 0.6f - (x - 10) * 0.012f);
    });
    pen.line(9, 23, 16, 17, 1, withAlpha(shade(c, 0.4f), 0.7f));
}

} // namespace

void paintBuriedMotif(Pen& pen, Motif m, const Theme& t, int index) {
    Rng rng(static_cast<uint32_t>(index * 31 + static_cast<int>(m)));
    Rgba soil = shade(t.ground, -0.2f);
    switch (m) {
    case Motif::Pebbles:
        for (int i = 0; i < 5; ++i) {
            float x = rng.range(6, 30), y = rng.range(6, 28), r = rng.range(2, 4.5f);
            pen.ellipse(x, y, r * 1.3f, r, shade(soil, rng.range(-0.3f, 0.35f)));
        }
        break;
    case Motif::Bone:
        pen.line(9, 14, 27, 22, 3, hex(0xf0e8d0));
        for (float ex : {8.0f, 28.0f}) {
            float ey = ex < 18 ? 14.0f : 22.0f;
            pen.circle(ex, ey - 2, 2.6f, hex(0xf0e8d0));
            pen.circle(ex, ey + 2, 2.6f, hex(0xf0e8d0));
        }
        break;
    case Motif::Fossil:
        for (int i = 0; i < 40; ++i) {
            float a = i * 0.35f, r = 1 + i * 0.28f;
            pen.circle(18 + std::cos(a) * r, 18 + std::sin(a) * r, 1.1f, shade(soil, 0.45f));
        }
        break;
    case Motif::Root:
        for (int i = 0; i < 3; ++i) {
            float x = 10.0f + i * 8;
            pen.line(x, 0, x + rng.range(-6, 6), 26, 1.6f, shade(hex(0x6a4222), 0.1f));
        }
        break;
    case Motif::Crystal: {
        // A split geode: a round stone with a pale hollow of rounded crystals. Nothing
        // pointed, so nothing under the ground line reads as a spike.
        Rgba c = t.look == Look::Magma ? t.accent2 : hsv(rng.range(170, 300), 0.35f, 0.9f);
        pen.ellipse(18, 20, 8.5f, 6.5f, shade(soil, -0.35f));
        pen.ellipse(18, 20, 6, 4.2f, mix(shade(soil, -0.5f), c, 0.35f));
        for (int i = 0; i < 4; ++i) {
            pen.circle(14.5f + i * 2.4f, 20 + (i % 2 ? 1.2f : -1.0f), 1.5f, mix(c, soil, 0.25f));
        }
        break;
    }
    case Motif::Coin:
        pen.circle(18, 16, 6.5f, hex(0xa07010));
        pen.circle(18, 16, 5.5f, hex(0xffd040));
        pen.rect(17, 12, 2, 8, hex(0xfff0a0));
        break;
    case Motif::Ember:
        for (int i = 0; i < 4; ++i) {
            float x = rng.range(7, 29), y = rng.range(6, 28);
            pen.glow(x, y, 1, 5, withAlpha(t.accent, 0.8f));
            pen.circle(x, y, 1.5f, t.accent2);
        }
        break;
    case Motif::Bubbles:
        for (int i = 0; i < 4; ++i) {
            float x = rng.range(8, 28), y = rng.range(6, 28), r = rng.range(2, 4.5f);
            pen.ring(x, y, r, 0.8f, withAlpha(hex(0xe0f4ff), 0.8f));
            pen.circle(x - r * 0.35f, y - r * 0.35f, 0.8f, hex(0xffffff));
        }
        break;
    case Motif::Chip:
        pen.rect(10, 8, 16, 16, shade(t.top, -0.5f));
        pen.rect(12, 10, 12, 12, shade(t.top, -0.3f));
        for (int i = 0; i < 4; ++i) {
            pen.rect(8, 10.0f + i * 4, 2, 1, t.top);
            pen.rect(26, 10.0f + i * 4, 2, 1, t.top);
        }
        break;
    case Motif::Shell:
        pen.fill(
            8, 8, 28, 26,
            [](float x, float y) {
                return std::max(sdCircle(x, y, 18, 22, 10), 22.0f - y + (x - 18) * 0);
            },
            hex(0xf4d0b0));
        pen.fill(
            8, 12, 28, 26, [](float x, float y) { return sdEllipse(x, y, 18, 20, 9, 7); },
            [](float x, float y) {
                float a = std::atan2(y - 26, x - 18);
                return std::sin(a * 10) > 0.2f ? hex(0xffb890) : hex(0xfff0e0);
            });
        break;
    case Motif::Plank:
        pen.rect(4, 10, 28, 6, hex(0x8a5a2a));
        pen.rect(4, 10, 28, 1, hex(0xc08040));
        pen.rect(8, 12, 1, 1, hex(0x2a1a0a));
        pen.rect(27, 12, 1, 1, hex(0x2a1a0a));
        break;
    case Motif::Scribble:
        for (int i = 0; i < 3; ++i) {
            float y = 10.0f + i * 6;
            pen.line(6, y, 30, y + rng.range(-3, 3), 0.8f, withAlpha(t.spike, 0.5f));
        }
        break;
    default:
        break;
    }
}

void paintStandingMotif(Pen& pen, Motif m, const Theme& t, int index) {
    Rgba leaf = leafOf(t);
    switch (m) {
    case Motif::Bush:
        bush(pen, leaf, t.accent2);
        break;
    case Motif::Tree:
        tree(pen, t.look == Look::Sketch ? hex(0xb0b0b8) : leaf);
        break;
    case Motif::Flowers:
        flowers(pen, t.accent, t.accent2);
        break;
    case Motif::Rock:
        rock(pen, t.look == Look::Magma ? hex(0x3a2c2c) : shade(t.groundDark, 0.3f));
        break;
    case Motif::Boulder:
        blob(pen, 18, 24, 11, shade(t.ground, 0.2f));
        break;
    case Motif::Windmill:
        // A stone tower and wooden sails: in red and white its cross would be one of the
        // wind world's red-tipped white flower spikes.
        pen.polygon({14, kBase, 16, 14, 20, 14, 22, kBase}, hex(0xc8b49a));
        for (int i = 0; i < 4; ++i) {
            float a = (i * 90 + 20) * kPi / 180;
            pen.line(18, 13, 18 + std::sin(a) * 13, 13 - std::cos(a) * 13, 3, hex(0x8a6440));
        }
        pen.circle(18, 13, 2, hex(0x503020));
        break;
    case Motif::Tuft:
        for (int i = 0; i < 7; ++i) {
            float x = 8.0f + i * 3.3f;
            pen.line(x, kBase, x + 8, 18.0f + (i % 3) * 4, 1.6f, i % 2 ? leaf : shade(leaf, 0.3f));
        }
        break;
    case Motif::Cloud:
        // A cloud of blown dust, sandy, not white: the wind world's spikes are pale blue and
        // white flowers, and a white puff at their height would pass for one.
        blob(pen, 12, 22, 7, hex(0xc4ae88));
        blob(pen, 22, 20, 9, hex(0xcab690));
        blob(pen, 28, 25, 6, hex(0xb49e78));
        break;
    case Motif::Mushroom:
        pen.roundRect(14, 20, 8, 15, 3, hex(0xfff0dc));
        pen.fill(
            4, 6, 32, 24,
            [](float x, float y) { return std::max(sdEllipse(x, y, 18, 22, 14, 13), y - 22); },
            [](float x, float y) {
                return litSphere(hex(0xe83a3a), (x - 18) / 14, (y - 18) / 13);
            });
        for (float px : {11.0f, 18.0f, 25.0f})
            pen.circle(px, px == 18 ? 13.0f : 17.0f, 2.2f, hex(0xffffff));
        break;
    case Motif::Spring:
        for (int i = 0; i < 5; ++i) pen.ellipse(18, 32.0f - i * 4, 7, 1.8f, hex(0xb8c0d0));
        pen.roundRect(9, 8, 18, 5, 2, t.spike);
        break;
    case Motif::Vent:
    case Motif::Flame: {
        if (m == Motif::Vent) pen.polygon({6, kBase, 13, 24, 23, 24, 30, kBase}, hex(0x2a1c1c));
        float base = m == Motif::Vent ? 24.0f : kBase;
        pen.glow(18, base - 6, 2, 14, withAlpha(t.accent, 0.6f));
        pen.polygon({11, base, 14, base - 12, 18, base - 20, 21, base - 11, 25, base}, t.accent);
        pen.polygon({15, base, 17, base - 9, 20, base}, t.accent2);
        break;
    }
    case Motif::Lilypad:
        pen.fill(
            2, 24, 34, kBase,
            [](float x, float y) {
                return std::max(sdEllipse(x, y, 18, 30, 15, 5), -sdBox(x, y, 24, 27, 3, 3));
            },
            t.top);
        pen.ellipse(15, 29, 8, 2, shade(t.top, 0.25f));
        break;
    case Motif::Lotus:
        pen.ellipse(18, 32, 13, 3.5f, t.top);
        for (int i = -2; i <= 2; ++i) {
            float a = i * 0.45f;
            pen.fill(
                6, 10, 30, 32,
                [=](float x, float y) {
                    float dx = x - 18, dy = y - 30;
                    float rx = dx * std::cos(a) + dy * std::sin(a),
                          ry = -dx * std::sin(a) + dy * std::cos(a);
                    return sdEllipse(rx, ry, 0, -8, 3.2f, 8);
                },
                i == 0 ? shade(t.accent, 0.3f) : t.accent);
        }
        break;
    case Motif::Reed:
        for (int i = 0; i < 3; ++i) {
            float x = 11.0f + i * 7;
            pen.line(x, kBase, x + (i - 1) * 2, 6.0f + i * 3, 1.3f, hex(0x4a8a3a));
            pen.roundRect(x + (i - 1) * 2 - 1.8f, 8.0f + i * 3, 3.6f, 9, 1.8f, hex(0x7a4a2a));
        }
        break;
    case Motif::Buoy:
        if (index % 2 == 1) { // a striped float bobbing on the water
            pen.circle(18, 24, 9, [](float x, float y) {
                Rgba band = std::fmod(x - y + 40, 10.0f) < 5 ? hex(0xe83838) : hex(0xffffff);
                return litSphere(band, (x - 18) / 9, (y - 24) / 9);
            });
            pen.line(18, 15, 18, 6, 1.4f, hex(0x505058));
            pen.glow(18, 6, 0.5f, 4, hex(0xffe060, 0.9f));
            break;
        }
        if (index == 2) pen.polygon({18.6f, 5, 30, 19, 18.6f, 19}, hex(0x3a8ad8));
        pen.polygon({6, 22, 30, 22, 26, 30, 10, 30}, hex(0xf4f4f4));
        pen.rect(6, 22, 24, 2, t.accent);
        pen.line(18, 22, 18, 4, 1.2f, hex(0x8a6a4a));
        pen.polygon({18.6f, 5, 30, 19, 18.6f, 19}, hex(0xfff4e0));
        break;
    case Motif::Car:
        pen.rect(4, 24, 28, 7, t.accent2);
        pen.rect(9, 18, 16, 6, t.accent2);
        pen.rect(11, 19, 5, 4, hex(0x90e0ff));
        pen.rect(18, 19, 5, 4, hex(0x90e0ff));
        pen.rect(7, 30, 6, 5, hex(0x101010));
        pen.rect(23, 30, 6, 5, hex(0x101010));
        pen.rect(30, 25, 2, 2, t.accent);
        break;
    case Motif::Signal:
        pen.rect(16, 16, 3, 19, hex(0x306030));
        pen.rect(12, 3, 11, 15, hex(0x0a200a));
        pen.rect(15, 5, 5, 3, hex(0xff4040));
        pen.rect(15, 9, 5, 3, hex(0x604010));
        pen.rect(15, 13, 5, 3, hex(0x105010));
        break;
    case Motif::Antenna:
        pen.line(18, kBase, 18, 8, 1.4f, t.look == Look::Moon ? hex(0xc0c0c8) : t.top);
        pen.fill(
            8, 6, 28, 18,
            [](float x, float y) { return std::max(sdCircle(x, y, 18, 8, 9), 9.0f - y + x * 0); },
            hex(0xd0d0d8));
        pen.glow(18, 6, 1, 4, withAlpha(t.accent2, 0.9f));
        break;
    case Motif::NeonPalm:
        pen.line(18, kBase, 20, 12, 2.0f, withAlpha(t.accent, 0.9f));
        for (int i = 0; i < 5; ++i) {
            float a = (-100 + i * 50) * kPi / 180;
            pen.line(20, 12, 20 + std::sin(a) * 13, 12 - std::cos(a) * 8 + 5, 1.6f, t.top);
        }
        pen.glow(20, 12, 2, 10, withAlpha(t.top, 0.4f));
        break;
    case Motif::NeonSign:
        pen.roundRect(4, 8, 28, 16, 3, hex(0x100818, 0.8f));
        pen.glow(18, 16, 4, 16, withAlpha(t.accent, 0.3f));
        pen.ring(11, 16, 4, 1.3f, t.accent);
        pen.line(18, 12, 18, 20, 1.3f, t.top);
        pen.line(22, 12, 28, 20, 1.3f, t.accent2);
        pen.line(18, 24, 18, kBase, 1.4f, hex(0x404050));
        break;
    case Motif::Tomb:
        pen.fill(
            8, 8, 28, kBase,
            [](float x, float y) {
                return std::min(sdBox(x, y, 18, 25, 9, 10), sdCircle(x, y, 18, 16, 9));
            },
            [&](float x, float y) {
                return shade(hex(0x8a88a0), (fbm(x * 0.3f, y * 0.3f, 4) - 0.5f) * 0.5f);
            });
        pen.rect(13, 18, 10, 1.4f, hex(0x4a4860));
        pen.rect(13, 22, 10, 1.4f, hex(0x4a4860));
        break;
    case Motif::Cross:
        pen.rect(16, 8, 4, 27, hex(0x7a7890));
        pen.rect(10, 13, 16, 4, hex(0x7a7890));
        break;
    case Motif::DeadTree:
        pen.line(18, kBase, 18, 10, 3, hex(0x3a3040));
        pen.line(18, 18, 9, 9, 1.8f, hex(0x3a3040));
        pen.line(18, 14, 27, 6, 1.8f, hex(0x3a3040));
        pen.line(23, 10, 28, 12, 1.2f, hex(0x3a3040));
        break;
    case Motif::Pumpkin:
        for (float dx : {-6.0f, 6.0f, 0.0f})
            blob(pen, 18 + dx, 27, dx == 0 ? 8.0f : 6.5f, t.accent);
        pen.rect(17, 17, 2, 4, hex(0x3a6a2a));
        pen.polygon({13, 25, 15, 23, 17, 25}, hex(0xffe060));
        pen.polygon({19, 25, 21, 23, 23, 25}, hex(0xffe060));
        break;
    case Motif::Snowman:
        blob(pen, 18, 28, 7.5f, hex(0xffffff));
        blob(pen, 18, 16, 5.5f, hex(0xffffff));
        pen.polygon({18, 16, 25, 17, 18, 18}, hex(0xff8a20));
        pen.circle(16, 14.5f, 0.9f, hex(0x101010));
        pen.circle(20, 14.5f, 0.9f, hex(0x101010));
        pen.rect(13, 9, 10, 2, hex(0x2a2a2a));
        pen.rect(15, 3, 6, 6, hex(0x2a2a2a));
        break;
    case Motif::Pine:
        pen.rect(16.5f, 28, 3, 7, hex(0x6a4222));
        for (int i = 0; i < 3; ++i) {
            float y = 8.0f + i * 7, w = 6.0f + i * 3.5f;
            pen.polygon({18, y - 6, 18 + w, y + 8, 18 - w, y + 8}, hex(0x2a6a3a));
            pen.polygon({18, y - 6, 18 + w * 0.6f, y + 2, 18 - w * 0.6f, y + 2}, hex(0xffffff));
        }
        break;
    case Motif::Balloon:
        pen.line(18, 20, 18, kBase, 0.8f, hex(0xffffff, 0.8f));
        blob(pen, 18, 12, 8, hsv(330.0f + index * 75.0f, 0.7f, 1));
        break;
    case Motif::Lantern:
        pen.line(18, 0, 18, 8, 0.8f, hex(0xffe0a0));
        pen.glow(18, 18, 6, 11, withAlpha(t.top, 0.3f));
        pen.roundRect(11, 8, 14, 18, 5, t.accent);
        pen.rect(11, 12, 14, 1, shade(t.accent, -0.3f));
        pen.rect(11, 21, 14, 1, shade(t.accent, -0.3f));
        break;
    case Motif::Flag:
        pen.line(10, kBase, 10, 4, 1.4f, hex(0xd0d0d8));
        pen.rect(10.7f, 5, 16, 10, t.accent);
        pen.rect(10.7f, 5, 6, 5, t.accent2);
        break;
    case Motif::Crater:
        pen.ellipse(18, 31, 15, 5, shade(t.ground, -0.3f));
        pen.ellipse(18, 31.8f, 11, 3.2f, shade(t.ground, -0.6f));
        pen.ellipse(18, 29, 15, 1.2f, withAlpha(shade(t.ground, 0.4f), 0.7f));
        break;
    case Motif::Barrel:
        pen.roundRect(9, 12, 18, 23, 2, hex(0x9a5a2a));
        pen.rect(11, 12, 1, 23, hex(0xc08040));
        pen.rect(9, 15, 18, 2, hex(0x404048));
        pen.rect(9, 29, 18, 2, hex(0x404048));
        break;
    case Motif::Chest:
        pen.rect(6, 20, 24, 15, hex(0x8a5a2a));
        pen.rect(6, 15, 24, 6, hex(0xa06a34));
        pen.rect(6, 20, 24, 1, hex(0x3a2410));
        pen.rect(16, 19, 4, 5, hex(0xffd030));
        pen.rect(8, 13, 4, 2, hex(0xffe060));
        pen.rect(20, 13, 5, 2, hex(0xffe060));
        break;
    case Motif::Anchor:
        pen.rect(17, 8, 3, 24, hex(0x505058));
        pen.rect(12, 12, 13, 2, hex(0x505058));
        pen.ring(18, 6, 2.5f, 1.5f, hex(0x505058));
        pen.rect(8, 28, 21, 3, hex(0x505058));
        pen.rect(8, 24, 3, 5, hex(0x505058));
        pen.rect(26, 24, 3, 5, hex(0x505058));
        break;
    case Motif::Parrot:
        pen.rect(22, 26, 12, 2, hex(0x6a4222));
        pen.rect(14, 12, 9, 14, hex(0xe02a2a));
        pen.rect(12, 16, 4, 10, hex(0x2a6ad0));
        pen.rect(15, 8, 7, 5, hex(0xe02a2a));
        pen.rect(22, 9, 3, 3, hex(0xffd030));
        pen.rect(18, 9, 2, 2, hex(0x101010));
        pen.rect(14, 26, 4, 6, hex(0x30a040));
        break;
    case Motif::Hay:
        pen.roundRect(4, 18, 28, 17, 4, [](float x, float y) {
            return std::sin(x * 2.1f + y * 0.7f) > 0.6f ? hex(0xc8a040) : hex(0xe8c860);
        });
        pen.rect(4, 24, 28, 2, hex(0x9a6a20));
        break;
    case Motif::Fence:
        for (float x : {6.0f, 18.0f, 30.0f}) pen.roundRect(x - 2, 14, 4, 21, 1, hex(0xc8a070));
        pen.rect(2, 18, 32, 3, hex(0xb08a5a));
        pen.rect(2, 26, 32, 3, hex(0xb08a5a));
        break;
    case Motif::Easel:
        pen.line(10, kBase, 18, 6, 1.2f, t.spike);
        pen.line(26, kBase, 18, 6, 1.2f, t.spike);
        pen.rect(9, 10, 18, 14, hex(0xffffff));
        pen.ring(16, 16, 3, 0.8f, t.accent);
        pen.line(20, 20, 25, 13, 0.8f, t.accent2);
        break;
    case Motif::Seaweed:
        for (int i = 0; i < 3; ++i) {
            float x0 = 10.0f + i * 8;
            pen.fill(
                x0 - 5, 2, x0 + 5, kBase,
                [=](float x, float y) {
                    return std::fabs(x - x0 - std::sin(y * 0.35f + i) * 2.5f) - 1.6f +
                           (y < 4.0f + i * 5 ? 9.0f : 0.0f);
                },
                i == 1 ? hex(0x4ab06a) : hex(0x2a8a4a));
        }
        break;
    case Motif::Coral:
        for (int i = 0; i < 5; ++i) {
            float a = (-60 + i * 30) * kPi / 180;
            pen.line(18, kBase, 18 + std::sin(a) * 13, kBase - std::cos(a) * 20, 3, t.accent);
            pen.circle(18 + std::sin(a) * 13, kBase - std::cos(a) * 20, 2.2f,
                       shade(t.accent, 0.3f));
        }
        break;
    default:
        rock(pen, t.groundDark);
        break;
    }
}

} // namespace assetgen
