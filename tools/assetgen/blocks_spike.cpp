// Spike heads (frames 14..27, height classes 1..14) and the special blocks of each theme's
// block image: pillar block, wall block, button, lava column, lava blob and the hidden-spike
// marker. Spike heads are faceted so each point catches the light on one side; a small gem at
// the core shifts from green (low classes) to red (high ones) so heights read at a glance.
#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kC = kBlockSize / 2.0f;
constexpr float kPi = 3.14159265f;
constexpr int kClasses = 14;
constexpr int kLavaCells = 4; // noise cells down one lava frame

Rgba classGem(int heightClass) {
    return hsv(120.0f - (heightClass - 1) * 120.0f / (kClasses - 1), 0.85f, 1.0f);
}

void gem(Pen& pen, int heightClass, float r) {
    Rgba c = classGem(heightClass);
    pen.circle(kC, kC, r + 0.8f, shade(c, -0.6f));
    pen.circle(kC, kC, r,
               [=](float x, float y) { return litSphere(c, (x - kC) / r, (y - kC) / r); });
}

void spikeOutline(Pen& pen, int tips, float r0, float r1, float turn, const Rgba& line, float w) {
    std::vector<float> p = starPoints(kC, kC, tips, r0, r1, turn);
    for (size_t i = 0; i < p.size(); i += 2) {
        size_t j = (i + 2) % p.size();
        pen.line(p[i], p[i + 1], p[j], p[j + 1], w, line);
    }
}

void saw(Pen& pen, const Theme& t, int hc) {
    pen.fill(
        0, 0, kBlockSize, kBlockSize,
        [](float x, float y) {
            float a = std::atan2(y - kC, x - kC);
            float tooth = std::fmod(a / (2 * kPi) * 12 + 12, 1.0f);
            return std::hypot(x - kC, y - kC) - (11.5f + 4.5f * tooth);
        },
        [&](float x, float y) { return litSphere(t.spike, (x - kC) / 16, (y - kC) / 16); });
    pen.ring(kC, kC, 7, 1.2f, shade(t.spike, -0.4f));
    gem(pen, hc, 3.2f);
}

void snowflake(Pen& pen, const Theme& t, int hc) {
    for (int i = 0; i < 6; ++i) {
        float a = i * kPi / 3;
        float ex = kC + std::sin(a) * 16, ey = kC - std::cos(a) * 16;
        pen.line(kC, kC, ex, ey, 2.6f, t.spike);
        pen.line(kC, kC, ex, ey, 1.0f, t.spikeLight);
        for (int s = -1; s <= 1; s += 2) {
            float bx = kC + std::sin(a) * 9, by = kC - std::cos(a) * 9;
            float b = a + s * 0.7f;
            pen.line(bx, by, bx + std::sin(b) * 5, by - std::cos(b) * 5, 1.6f, t.spike);
        }
    }
    gem(pen, hc, 3.4f);
}

void pixelSpike(Pen& pen, const Theme& t, int hc, bool cannon) {
    Rgba dark = shade(t.spike, -0.6f);
    if (cannon) {
        pen.polygon(starPoints(kC, kC, 8, 17, 8, 0), dark);
        pen.polygon(starPoints(kC, kC, 8, 15.5f, 8, 0), t.spike);
        pen.polygon(starPoints(kC - 0.5f, kC - 0.5f, 8, 12, 7, 0), t.spikeLight);
        pen.circle(kC, kC, 10, dark);
        pen.circle(kC, kC, 9, hex(0x404048));
        pen.rect(kC - 5, kC - 6, 3, 3, hex(0x9090a0));
    } else {
        pen.polygon(starPoints(kC, kC, 4, 16, 6, 0), dark);
        pen.polygon(starPoints(kC, kC, 4, 14, 5, 0), t.spike);
        pen.polygon(starPoints(kC - 1, kC - 1, 4, 8, 3, 0), t.spikeLight);
    }
    pen.rect(kC - 2, kC - 2, 4, 4, classGem(hc));
}

} // namespace

void drawSpikeBall(Pen& pen, float cx, float cy, int tips, float r0, float r1, float turnDeg,
                   const Rgba& body, const Rgba& light) {
    float step = 360.0f / tips;
    pen.polygon(starPoints(cx, cy, tips, r0, r1, turnDeg), [=](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float a = std::atan2(dx, -dy) * 180 / kPi - turnDeg;
        float local = std::fmod(std::fmod(a, step) + step, step) - step / 2; // 0 at a tip
        // The facet on the left of a tip faces one way, the right one the other.
        float tipA = (std::atan2(dx, -dy) * 180 / kPi - local) * kPi / 180;
        float side = local < 0 ? -1.0f : 1.0f;
        float nx = std::cos(tipA) * side, ny = std::sin(tipA) * side;
        float lit = 0.5f + 0.5f * (-0.6f * nx - 0.8f * ny);
        float d = std::hypot(dx, dy) / r0;
        Rgba c = mix(shade(body, -0.45f), body, lit);
        if (lit > 0.8f) c = mix(c, light, (lit - 0.8f) * 3.0f);
        return mix(c, shade(body, -0.3f), std::max(0.0f, d - 0.7f));
    });
}

namespace {

// Every spike head is shrunk to leave room inside its cell for the rings of the danger cue:
// the red rim, outside it a ring that stands out from the sky (wide enough to fill the two
// screen pixels next to the silhouette), and outside that the see-through halo.
constexpr float kSpikeZoom = 0.77f;
constexpr float kHaloedSpikeZoom = 0.7f;
constexpr float kSpikeEdgeWidth = 3.0f;
constexpr float kDangerWidth = 1.6f;
// The world the game dims between bounces keeps a wider ring, all of it white, round a
// smaller head, and no halo.
constexpr float kDimmedEdgeWidth = 3.2f;
constexpr float kDimmedSpikeZoom = 0.72f;

void paintSpikeBody(Pen& pen, const Theme& t, int hc) {
    switch (t.look) {
    case Look::Classic:
        drawSpikeBall(pen, kC, kC, 8, 16.5f, 7, 0, t.spike, t.spikeLight);
        gem(pen, hc, 4);
        break;
    case Look::Wind:
        drawSpikeBall(pen, kC, kC, 8, 16, 7.5f, 18, t.spike, t.spikeLight);
        gem(pen, hc, 3.5f);
        break;
    case Look::Meadow:
        drawSpikeBall(pen, kC, kC, 14, 15, 9, 0, t.spike, t.spikeLight);
        pen.circle(kC, kC, 8.5f, [&](float x, float y) {
            return litSphere(t.spike, (x - kC) / 8.5f, (y - kC) / 8.5f);
        });
        gem(pen, hc, 3.5f);
        break;
    case Look::Magma:
        drawSpikeBall(pen, kC, kC, 7, 16.5f, 6, 10, t.spike, t.spikeLight);
        spikeOutline(pen, 7, 16.5f, 6, 10, withAlpha(t.spikeLight, 0.7f), 0.7f);
        gem(pen, hc, 3.5f);
        break;
    case Look::Pond:
        drawSpikeBall(pen, kC, kC, 8, 16, 7, 22.5f, shade(t.spike, 0.3f), t.spikeLight);
        drawSpikeBall(pen, kC, kC, 8, 12, 5, 0, t.spike, t.spikeLight);
        gem(pen, hc, 3.5f);
        break;
    case Look::Seaside:
        drawSpikeBall(pen, kC, kC, 9, 16, 8, 0, t.spike, t.spikeLight);
        pen.ring(kC, kC, 5.5f, 1.2f, shade(t.spike, -0.4f));
        gem(pen, hc, 3.2f);
        break;
    case Look::Grid:
        pixelSpike(pen, t, hc, false);
        break;
    case Look::Undersea:
        // An urchin: round all the way, so its quills stop short enough for the whole halo
        // to fit in the cell.
        for (int i = 0; i < 18; ++i) {
            float a = i * 2 * kPi / 18;
            pen.line(kC, kC, kC + std::sin(a) * 13.0f, kC - std::cos(a) * 13.0f, 1.3f,
                     i % 2 ? t.spike : t.spikeLight);
        }
        pen.circle(kC, kC, 8, [&](float x, float y) {
            return litSphere(shade(t.spike, 0.2f), (x - kC) / 8, (y - kC) / 8);
        });
        gem(pen, hc, 3.0f);
        break;
    case Look::Neon:
        // Solid, lit from inside: the brightest things in the night, never a hollow outline.
        pen.polygon(starPoints(kC, kC, 6, 16, 7, 0), t.spike);
        pen.polygon(starPoints(kC, kC, 6, 10, 4.5f, 0), t.spikeLight);
        gem(pen, hc, 3.0f);
        break;
    case Look::Ghost:
        saw(pen, t, hc);
        break;
    case Look::Ice:
        snowflake(pen, t, hc);
        break;
    case Look::Parade:
        // A spined ball, not a star: the parade's stars are the ball and the sparkles.
        drawSpikeBall(pen, kC, kC, 9, 16.5f, 9.5f, 0, t.spike, t.spikeLight);
        gem(pen, hc, 3.5f);
        break;
    case Look::Moon:
        drawSpikeBall(pen, kC, kC, 6, 16.5f, 7, 30, t.spike, t.spikeLight);
        drawSpikeBall(pen, kC, kC, 6, 11, 5, 0, shade(t.spike, -0.15f), t.spikeLight);
        gem(pen, hc, 3.0f);
        break;
    case Look::Sketch:
        pen.polygon(starPoints(kC, kC, 8, 16, 7, 0), hex(0xffffff, 0.9f));
        spikeOutline(pen, 8, 16, 7, 0, t.spike, 1.4f);
        spikeOutline(pen, 8, 15.5f, 7.3f, 2, withAlpha(t.spike, 0.5f), 0.7f);
        gem(pen, hc, 3.0f);
        break;
    case Look::Pirate:
        pixelSpike(pen, t, hc, true);
        break;
    case Look::Pasture:
        // A burr: a ball of thin sharp hooks, nothing like a cap or a flower.
        drawSpikeBall(pen, kC, kC, 9, 16.5f, 8, 0, t.spike, t.spikeLight);
        gem(pen, hc, 3.2f);
        break;
    }
}

} // namespace

void paintSpike(Pen& pen, const Theme& t, int hc) {
    const bool dimmed = t.look == Look::Magma;
    std::vector<Stroke> rings;
    if (t.halo.a > 0) rings.push_back({kHaloWidth, t.halo});
    rings.push_back({dimmed ? kDimmedEdgeWidth : kSpikeEdgeWidth, t.spikeEdge});
    rings.push_back({kDangerWidth, hex(kDangerRed)});
    const float zoom = dimmed ? kDimmedSpikeZoom : (t.halo.a > 0 ? kHaloedSpikeZoom : kSpikeZoom);
    paintInsideCell(pen, [&](Pen& cell) {
        cell.zoomed(zoom).outlined(rings, [&](Pen& p) { paintSpikeBody(p, t, hc); });
    });
}

void paintSpecialBlock(Pen& pen, const Theme& t, int frame) {
    switch (frame) {
    case kPillarBlockFrame: {
        // A crate for the pirates' pillars; the other themes get a block in their floor colours.
        Rgba wood = t.pixel ? hex(0xc08040) : t.ground;
        Rgba dark = shade(wood, -0.5f);
        pen.rect(2, 2, 32, 32, dark);
        pen.rect(4, 4, 28, 28, wood);
        pen.rect(4, 4, 28, 3, shade(wood, 0.3f));
        pen.line(6, 6, 30, 30, 3, dark);
        pen.line(30, 6, 6, 30, 3, dark);
        pen.rect(4, 16, 28, 3, dark);
        break;
    }
    case kWallBlockFrame: {
        Rgba stone = mix(t.groundDark, hex(0x8a8a90), 0.5f);
        pen.roundRect(1, 1, 34, 34, 3, shade(stone, -0.4f));
        pen.roundRect(2, 2, 32, 32, 2, [&](float x, float y) {
            float n = fbm(x * 0.2f, y * 0.2f, 5);
            return shade(stone, (n - 0.5f) * 0.5f);
        });
        pen.rect(2, 17, 32, 2, shade(stone, -0.45f));
        pen.rect(17, 2, 2, 15, shade(stone, -0.45f));
        pen.rect(9, 19, 2, 15, shade(stone, -0.45f));
        pen.rect(2, 2, 32, 2, withAlpha(shade(stone, 0.4f), 0.8f));
        break;
    }
    case kButtonFrame:
        pen.roundRect(3, 22, 30, 10, 3, hex(0x505058));
        pen.roundRect(3, 22, 30, 4, 2, hex(0x8a8a94));
        pen.fill(
            6, 8, 30, 24, [](float x, float y) { return sdEllipse(x, y, 18, 18, 11, 8); },
            [](float x, float y) { return litSphere(hex(0xe83030), (x - 18) / 11, (y - 16) / 8); });
        break;
    case kLavaFrame:
        // Tiles vertically: the noise and the flow bands repeat every frame height.
        pen.wash([&](float x, float y) {
            float n = fbm(y * kLavaCells / kBlockSize, x * kLavaCells / kBlockSize, 9, kLavaCells);
            float flow = 0.5f + 0.5f * std::sin(y * 2 * kPi * 2 / kBlockSize + n * 6);
            Rgba c = mix(hex(0xb01800), hex(0xff9a20), flow * n * 1.5f);
            return withAlpha(c, 0.95f);
        });
        break;
    case kLavaBlobFrame:
        pen.glow(kC, kC, 6, 16, withAlpha(hex(0xff6a00), 0.6f));
        pen.circle(kC, kC, 8, [](float x, float y) {
            return litSphere(hex(0xff7a10), (x - kC) / 8, (y - kC) / 8);
        });
        break;
    case kMarkerFrame:
        pen.ring(kC, kC, 6, 2, withAlpha(t.spikeLight, 0.8f));
        pen.circle(kC, kC, 2, withAlpha(t.spikeLight, 0.8f));
        break;
    default:
        break;
    }
}

} // namespace assetgen
