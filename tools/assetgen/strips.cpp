// Floor strips ("strips_world..."): 512 by 36 frames that tile side by side. Frames 0 and 1
// are the rows of scenery behind the play field (kept translucent so the theme's background
// colour shows through), frame 2 the ground row with the surface the ball bounces on along
// its top edge, frame 3 the ground below it. Frames 4..13 are left empty. All textures wrap
// every 512 units so the rows join without seams.
#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"

namespace assetgen {

namespace {

constexpr float kW = kStripW;
constexpr float kH = kStripH;
constexpr float kPi = 3.14159265f;
constexpr int kWrapCells = 32;  // noise cells across one strip
constexpr int kPebbleCell = 16; // 32 cells across, so pebbles wrap with the strip

float wrapNoise(float x, float y, int seed, float cellsAcross = kWrapCells) {
    return fbm(x * cellsAcross / kW, y * cellsAcross / kW, seed, static_cast<int>(cellsAcross));
}

// Periodic wave of `count` cycles across the strip.
float wave(float x, int count, float phase = 0) {
    return std::sin(x * 2 * kPi * count / kW + phase);
}

// The soil of the themes without a texture of their own, each with its own filler: pebbles
// (the classic ground), roots (the meadow), sand strata with shells (the seaside), rippled
// sand (under the sea), bones (the graveyard), glinting regolith (the moon), field stones
// (the pasture). Finds sit one to a 16-unit cell, 32 cells across, so they wrap.
Rgba soil(const Theme& t, const Rgba& base, float n, float x, float y) {
    Rgba c = shade(base, (n - 0.5f) * 0.45f);
    switch (t.look) {
    case Look::Meadow: {
        float root = std::fabs(wrapNoise(x, y * 1.5f, 71, 16) - 0.5f);
        if (root < 0.012f) return shade(base, -0.4f);
        break;
    }
    case Look::Seaside:
        c = shade(base, 0.08f * wave(y * 20 + 6 * wave(x, 5), 3) +
                            (hashUnit(static_cast<int>(x), static_cast<int>(y), 3) - 0.5f) * 0.12f);
        break;
    case Look::Undersea:
        c = shade(c, wave(x + 10 * wave(y * 6, 2), 40) > 0.8f ? 0.18f : 0.0f);
        break;
    case Look::Moon:
        if (hashUnit(static_cast<int>(x), static_cast<int>(y), 9) > 0.985f)
            return shade(base, 0.55f);
        break;
    default:
        break;
    }
    int ci = static_cast<int>(x) / kPebbleCell, cj = static_cast<int>(y) / kPebbleCell;
    int wrapped = ci % (kStripW / kPebbleCell);
    float chance = t.look == Look::Moon || t.look == Look::Undersea ? 0.8f : 0.55f;
    if (hashUnit(wrapped, cj, 5) <= chance) return c;
    float px = ci * kPebbleCell + 4 + hashUnit(wrapped, cj, 6) * 8;
    float py = cj * kPebbleCell + 4 + hashUnit(wrapped, cj, 7) * 8;
    float r = 1.5f + hashUnit(wrapped, cj, 8) * 2.5f;
    float dx = x - px, dy = y - py;
    switch (t.look) {
    case Look::Ghost: { // a small bone lying at a slant
        float d = sdSegment(x, y, px - r, py - r * 0.5f, px + r, py + r * 0.5f, 0.8f);
        d = std::min({d, sdCircle(x, y, px - r, py - r * 0.5f, 1.1f),
                      sdCircle(x, y, px + r, py + r * 0.5f, 1.1f)});
        return d < 0 ? hex(0xd8d0c0) : c;
    }
    case Look::Seaside: { // a shell: a fan with ribs
        float d = std::hypot(dx, dy);
        if (d < r + 0.5f && dy < 0.5f)
            return std::fmod(std::atan2(dy, dx) * 4 + 20, 1.0f) < 0.25f ? hex(0xc09a80)
                                                                        : hex(0xfff0e0);
        return c;
    }
    case Look::Pasture: { // a flat grey field stone
        float d = sdEllipse(x, y, px, py, r * 1.5f, r * 0.8f);
        if (d < 0) return d > -0.7f ? hex(0x4a4a4e) : shade(hex(0x9a9aa0), -dy / r * 0.2f);
        return c;
    }
    default: { // a round pebble lit from the upper left
        float d = std::sqrt(dx * dx + dy * dy);
        if (d < r)
            return d > r - 0.7f ? shade(base, -0.45f) : shade(base, 0.3f - (dx + dy) / r * 0.15f);
        return c;
    }
    }
}

Rgba body(const Theme& t, float x, float y, bool deep) {
    float n = wrapNoise(x, y, deep ? 11 : 7);
    // The deep rows carry no gradient: stacked, a gradient would band at every row.
    Rgba base = mix(t.ground, t.groundDark, deep ? 0.55f : y / kH * 0.45f);
    switch (t.look) {
    case Look::Magma: {
        float vein = std::fabs(wrapNoise(x, y * 2, 21, 16) - 0.5f);
        if (vein < 0.014f) return mix(t.accent2, t.accent, vein / 0.014f);
        return shade(base, (n - 0.5f) * 0.5f);
    }
    case Look::Pond: {
        float ripple = wave(x + 6 * wave(y * 8, 3), 24, y * 0.6f);
        return shade(base, ripple > 0.85f ? 0.25f : (n - 0.5f) * 0.2f);
    }
    case Look::Grid: {
        int gx = (static_cast<int>(x) + 8) % 16, gy = static_cast<int>(y) % 12;
        if (gx == 0 || gy == 0) return shade(t.top, -0.55f);
        if (hashUnit(static_cast<int>(x) / 16, static_cast<int>(y) / 12, 3) < 0.15f && gx > 4 &&
            gx < 12 && gy > 3 && gy < 9)
            return shade(t.top, -0.2f);
        return base;
    }
    case Look::Neon: {
        float lines = std::fmod(x + (y - kH) * (x - kW / 2) * 0.02f + kW * 4, 32.0f);
        if (lines < 1.2f || static_cast<int>(y) % 9 == 0) return mix(base, t.accent, 0.6f);
        return base;
    }
    case Look::Ice: {
        float crack = std::fabs(wrapNoise(x, y, 31, 12) - 0.5f);
        Rgba c = shade(base, (n - 0.5f) * 0.3f + (crack < 0.008f ? 0.4f : 0.0f));
        int bx = static_cast<int>(x + 16 + (static_cast<int>(y) / 18 % 2) * 32) % 64;
        return (bx == 0 || static_cast<int>(y) % 18 == 0) ? shade(c, 0.3f) : c;
    }
    case Look::Parade: {
        // 21 diamonds across, so the pattern wraps with the strip.
        float cell = kW / 21;
        float dx = std::fmod(x, cell) - cell / 2, dy = std::fmod(y + 40, 18.0f) - 9;
        bool diamond = std::fabs(dx) / (cell / 2) + std::fabs(dy) / 9 < 0.5f;
        return diamond ? mix(base, t.top, 0.35f) : shade(base, (n - 0.5f) * 0.2f);
    }
    case Look::Sketch: {
        float hatch = std::fmod(x + y, 5.0f);
        return hatch < 0.8f && n > 0.45f ? mix(base, t.spike, 0.35f) : base;
    }
    case Look::Pirate: {
        int row = static_cast<int>(y) / 6;
        int seam = static_cast<int>(x + row * 37) % 64;
        Rgba plank = shade(base, (row % 2) * -0.12f + (n - 0.5f) * 0.2f);
        if (static_cast<int>(y) % 6 == 5 || seam == 0) return shade(base, -0.5f);
        if (seam == 3 && static_cast<int>(y) % 6 == 2) return hex(0x303030);
        return plank;
    }
    case Look::Wind: {
        float strata = wave(y * 14 + n * 40, 2);
        return shade(base, strata * 0.1f + (n - 0.5f) * 0.2f);
    }
    default:
        return soil(t, base, n, x, y);
    }
}

// Thickness of the surface band at x.
float surfaceDepth(const Theme& t, float x) {
    switch (t.look) {
    case Look::Ice:
        return 7 + 2.5f * wave(x, 6) + 1.5f * wave(x, 17, 1);
    case Look::Grid:
    case Look::Neon:
    case Look::Parade:
    case Look::Sketch:
        return 4;
    case Look::Pirate:
        return 5;
    case Look::Magma:
        return 3 + 1.5f * wave(x, 9);
    default:
        return 6 + 1.5f * wave(x, 11) + 1.0f * wave(x, 29, 2);
    }
}

Rgba surface(const Theme& t, float x, float y) {
    switch (t.look) {
    case Look::Neon:
        return y < 1.5f ? hex(0xffffff) : t.top;
    case Look::Grid:
        return y < 1 ? hex(0xc0ffc0) : t.top;
    case Look::Parade:
        return std::fmod(x, 16.0f) < 8 ? t.top : shade(t.top, 0.4f);
    case Look::Sketch:
        return t.top;
    case Look::Pirate:
        return y < 1 ? hex(0xe0a860) : t.top;
    case Look::Ice:
        return mix(hex(0xffffff), hex(0xd8ecff), y / 9);
    default: {
        // Grass, sand or moss: blades of varying shade.
        float blade = hashUnit(static_cast<int>(x), 0, 17);
        return shade(t.top, (blade - 0.5f) * 0.3f + (y < 2 ? 0.2f : 0.0f));
    }
    }
}

void paintGround(Pen& pen, const Theme& t) {
    pen.wash([&](float x, float y) {
        float d = surfaceDepth(t, x);
        if (y < d) return surface(t, x, y);
        Rgba c = body(t, x, y, false);
        return y < d + 2 ? shade(c, -0.35f) : c; // shadow under the surface band
    });
    if (t.look == Look::Meadow || t.look == Look::Pasture || t.look == Look::Classic) {
        for (int i = 0; i < 40; ++i) {
            float x = hashUnit(i, 1, 9) * (kW - 8) + 4;
            Rgba c = i % 2 ? t.accent : t.accent2;
            if (t.look == Look::Classic && i % 4) continue;
            pen.circle(x, 2.5f, 1.3f, c);
        }
    }
    if (t.look == Look::Seaside) {
        for (int i = 0; i < 24; ++i) {
            float x = hashUnit(i, 2, 9) * (kW - 8) + 4, y = 10 + hashUnit(i, 3, 9) * 20;
            pen.ellipse(x, y, 2, 1.3f, hex(0xfff0e0));
        }
    }
    if (t.look == Look::Moon) {
        for (int i = 0; i < 10; ++i) {
            float x = hashUnit(i, 4, 9) * (kW - 40) + 20, y = 14 + hashUnit(i, 5, 9) * 14;
            float r = 3 + hashUnit(i, 6, 9) * 5;
            pen.ellipse(x, y, r, r * 0.5f, shade(t.ground, -0.3f));
            pen.ellipse(x, y - r * 0.15f, r * 0.8f, r * 0.35f, shade(t.ground, -0.5f));
        }
    }
    if (t.look == Look::Neon) {
        pen.fill(
            0, 0, kW, 6, [](float, float y) { return y - 6; },
            [&](float, float y) { return withAlpha(t.top, 0.5f * (1 - y / 6)); });
    }
}

// The rows under the ground are stacked down the screen, so this frame tiles vertically as
// well: it cross-fades the texture with its continuation one frame further down, which makes
// the top edge continue the bottom edge.
void paintDeep(Pen& pen, const Theme& t) {
    pen.wash([&](float x, float y) {
        float k = y / kH;
        return mix(body(t, x, y + 2 * kH, true), body(t, x, y + kH, true), k);
    });
}

// Scenery behind the play field, two alternating rows.
void paintBackdrop(Pen& pen, const Theme& t, int row) {
    float a = row == 0 ? 1.0f : 0.85f;
    switch (t.look) {
    case Look::Classic:
    case Look::Ice: {
        Rgba line = t.look == Look::Ice ? hex(0xffffff, 0.45f * a) : hex(0x2a3a6a, 0.45f * a);
        Rgba face = t.look == Look::Ice ? hex(0xe8f4ff, 0.18f * a) : hex(0x101830, 0.35f * a);
        pen.wash([&](float x, float y) {
            int by = static_cast<int>(y) / 12;
            int bx = static_cast<int>(x + ((by + row) % 2) * 16) % 32;
            return (bx == 0 || static_cast<int>(y) % 12 == 0) ? line : face;
        });
        break;
    }
    case Look::Wind:
    case Look::Pasture:
    case Look::Meadow: {
        if (t.look == Look::Pasture && t.variant == 1) { // night: stars
            for (int i = 0; i < 40; ++i) {
                pen.circle(hashUnit(i, row, 1) * kW, hashUnit(i, row, 2) * kH,
                           0.4f + hashUnit(i, row, 3) * 0.6f,
                           hex(0xffffff, 0.5f + 0.5f * hashUnit(i, row, 4)));
            }
            break;
        }
        // The meadow lays a bright spring sky over the game's mid blue, against which the
        // dark rings of its ball and spikes stand out.
        if (t.look == Look::Meadow) pen.wash([](float, float) { return hex(0xb4e0fc, 0.78f); });
        Rgba cloud = t.variant == 2 ? hex(0xffb0d0) : hex(0xffffff);
        // The meadow has two soft clouds in one row and one in the next, so the sky stays
        // open; the pasture has two long flat streaks a row.
        const int perRow = t.look == Look::Meadow ? 2 - row : 2;
        // Each cloud is drawn again one strip to the left, so one crossing the right edge
        // comes back in at the left and the row wraps whole.
        for (int n = 0; n < 2 * perRow; ++n) {
            int i = n % perRow;
            float cx = (i + 0.5f + row * 0.4f) * kW / perRow - (n >= perRow ? kW : 0.0f);
            float cy = 12 + hashUnit(i, row, 8) * 12;
            if (t.look == Look::Wind) {
                pen.line(cx - 30, cy, cx + 30, cy, 2.0f, withAlpha(cloud, 0.35f * a));
                pen.line(cx - 10, cy + 5, cx + 40, cy + 5, 1.2f, withAlpha(cloud, 0.25f * a));
            } else if (t.look == Look::Pasture) {
                // Faint and few: the sheep is the only white thing in the pasture's sky.
                pen.ellipse(cx, cy, 34, 2.2f, withAlpha(cloud, 0.14f * a));
                pen.ellipse(cx + 14, cy + 4, 22, 1.6f, withAlpha(cloud, 0.1f * a));
            } else {
                for (int k = 0; k < 4; ++k) {
                    pen.circle(cx + (k - 1.5f) * 9, cy + (k == 1 || k == 2 ? -3.0f : 1.0f),
                               k == 1 || k == 2 ? 8.0f : 5.5f, withAlpha(cloud, 0.3f * a));
                }
            }
        }
        break;
    }
    case Look::Magma:
        pen.wash([&](float x, float y) {
            float n = wrapNoise(x, y + row * 40, 51);
            float vein = std::fabs(wrapNoise(x, y + row * 40, 52, 16) - 0.5f);
            return vein < 0.008f ? withAlpha(t.accent, 0.18f)
                                 : withAlpha(hex(0x200808), 0.25f + 0.35f * n);
        });
        break;
    case Look::Pond:
    case Look::Seaside:
    case Look::Undersea:
        pen.wash([&](float x, float y) {
            float w = wave(x, 16, y * 0.5f + row * 2 + 2 * wave(x, 3));
            float band = std::fmod(y + 3 * wave(x, 8, row), 9.0f);
            float k = (t.look == Look::Undersea ? 0.3f : 0.22f) * a;
            return band < 1.2f && w > -0.2f ? withAlpha(hex(0xffffff), k)
                                            : withAlpha(hex(0x000000), 0.0f);
        });
        break;
    case Look::Grid:
        pen.wash([&](float x, float y) {
            bool on = static_cast<int>(x) % 16 == 0 || static_cast<int>(y) % 12 == row * 6;
            return on ? withAlpha(t.top, 0.3f * a) : withAlpha(t.top, 0.0f);
        });
        break;
    case Look::Neon:
    case Look::Moon: {
        // The neon night is one deep, even dark that hides the colour bands the game draws
        // under it; the city lights stay on the ground.
        if (t.look == Look::Neon) pen.wash([](float, float) { return hex(0x06040e, 0.8f); });
        for (int i = 0; i < (t.look == Look::Neon ? 14 : 50); ++i) {
            pen.circle(hashUnit(i, row, 11) * kW, hashUnit(i, row, 12) * kH,
                       0.35f + hashUnit(i, row, 13) * 0.6f,
                       hex(0xffffff, 0.3f + 0.6f * hashUnit(i, row, 14)));
        }
        break;
    }
    case Look::Ghost:
        pen.wash([&](float x, float y) {
            float n = wrapNoise(x, y * 2 + row * 30, 61, 8);
            return withAlpha(hex(0xb0a8d0), std::max(0.0f, n - 0.5f) * 0.6f * a);
        });
        break;
    case Look::Parade:
        // The backdrop rows repeat all the way up the sky, through the spikes' heights: a
        // few faint round lights only, no flags or bunting to hide a spike among.
        for (int i = 0; i < 8; ++i) {
            pen.circle(hashUnit(i, row, 21) * kW, hashUnit(i, row, 22) * kH,
                       0.6f + 0.5f * hashUnit(i, row, 23),
                       withAlpha(hsv(i * 50.0f + row * 25, 0.35f, 1), 0.35f * a));
        }
        break;
    case Look::Sketch:
        pen.wash([&](float x, float y) {
            if (static_cast<int>(y) % 12 == 6) return hex(0x6a8ad0, 0.35f);
            if (row == 0 && static_cast<int>(x) == 40) return hex(0xd06a6a, 0.35f);
            return hex(0xffffff, 0.0f);
        });
        break;
    case Look::Pirate:
        // A clear sea-going sky laid over the game's olive, with round pixel clouds.
        pen.wash([](float, float) { return hex(0x6ab4f0, 0.88f); });
        for (int i = 0; i < 3; ++i) {
            float x = (i + row * 0.5f) * 170 + 24, y = 10 + (i % 2) * 10;
            pen.rect(x, y, 44, 6, hex(0xffffff, 0.9f));
            pen.rect(x + 6, y - 3, 32, 3, hex(0xffffff, 0.9f));
            pen.rect(x + 14, y - 6, 14, 3, hex(0xffffff, 0.9f));
            pen.rect(x + 2, y + 6, 40, 2, hex(0xd8e8f8, 0.9f));
        }
        break;
    }
}

} // namespace

void paintStrip(Pen& pen, const Theme& t, int frame) {
    switch (frame) {
    case 0:
    case 1:
        paintBackdrop(pen, t, frame);
        break;
    case 2:
        paintGround(pen, t);
        break;
    case 3:
        paintDeep(pen, t);
        break;
    default:
        break;
    }
}

} // namespace assetgen
