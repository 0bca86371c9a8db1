// Menu art: image "menu" (kind and theme icons 0..15, stars 16 and 17, cross 18, column
// ornament 21, tile bases 24..39), image "record" (the four statistics medallions) and
// "BadgesA" (one medallion per badge number, tiered bronze to ruby within each family).
// Icons 0..15 serve both as level-kind icons (kind - 1, shown large as a level starts) and
// theme icons (theme - 1, on the menu's level tiles), so each is the theme's roundel (its sky,
// its ground and its own ball) carrying the kind's symbol; frames of kinds no level uses
// (4, 5 and past 13) show the theme alone, its ball large.
#include <cmath>
#include <string>

#include "tools/assetgen/images.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kThemeBase = 24;

void medallion(Pen& pen, float c, float r, const Rgba& face, const Rgba& rim) {
    pen.circle(c + r * 0.05f, c + r * 0.08f, r, rgb(0, 0, 0, 0.45f));
    pen.circle(c, c, r, [=](float x, float y) {
        return litSphere(rim, (x - c) / r * 0.8f, (y - c) / r * 0.8f);
    });
    float ri = r * 0.8f;
    pen.circle(c, c, ri, [=](float, float y) {
        float t = (y - (c - ri)) / (2 * ri);
        return mix(shade(face, 0.25f), shade(face, -0.25f), t);
    });
    pen.ring(c, c, ri, r * 0.04f, shade(rim, -0.45f));
}

void spikeGlyph(Pen& pen, float cx, float cy, float s, const Rgba& c) {
    drawSpikeBall(pen, cx, cy, 8, s, s * 0.45f, 0, c, hex(0xffffff));
}

void sheepGlyph(Pen& pen, float cx, float cy, float s) {
    drawSheep(pen, cx - 2 * s, cy, s, 0.6f, hex(0xf8f4ec), hex(0x302820));
}

void heartShape(Pen& pen, float cx, float cy, float s, const Rgba& c) {
    pen.fill(
        cx - s, cy - s, cx + s, cy + s,
        [=](float x, float y) {
            float u = (x - cx) / s, v = (y - cy) / s;
            float l = sdCircle(u, v, -0.45f, -0.25f, 0.52f),
                  r = sdCircle(u, v, 0.45f, -0.25f, 0.52f);
            float tri = sdPolygon(u, v, {-0.93f, 0.0f, 0.93f, 0.0f, 0, 0.95f});
            return std::min(std::min(l, r), tri) * s;
        },
        [=](float x, float y) { return litSphere(c, (x - cx) / s, (y - cy) / s); });
}

void kindIcon(Pen& pen, int i) {
    const float c = 32;
    Rgba white = hex(0xffffff);
    switch (i) {
    case 0: // SUPER
        pen.polygon(starPoints(c, c, 5, 26, 11, 0), [&](float x, float y) {
            return litSphere(hex(0xffc020), (x - c) / 26, (y - c) / 26);
        });
        drawPixelText(pen, c, c + 2, "S", 2.4f, hex(0x803000));
        break;
    case 1: // Target score
        for (int k = 0; k < 4; ++k)
            pen.circle(c, c, 26.0f - k * 6.5f, k % 2 ? white : hex(0xe03a3a));
        pen.line(c + 18, c - 18, c + 2, c - 2, 3, hex(0x8a5a2a));
        pen.polygon({c + 1, c - 1, c + 7, c - 3, c + 3, c - 7}, hex(0x505058));
        break;
    case 2:
        spikeGlyph(pen, c, c, 26, hex(0xff5040));
        break;
    case 3: // Leap
        pen.line(10, 50, 28, 18, 6, hex(0xff8a30));
        pen.line(28, 18, 52, 46, 6, hex(0xff8a30));
        pen.circle(28, 14, 8, [](float x, float y) {
            return litSphere(hex(0xff5a2a), (x - 28) / 8, (y - 14) / 8);
        });
        break;
    case 4: // Spike (single, on a lilypad)
        pen.ellipse(c, 48, 24, 8, hex(0x4caf50));
        spikeGlyph(pen, c, 28, 18, hex(0xe0609a));
        break;
    case 5: // Infinity
        pen.fill(
            2, 14, 62, 50,
            [=](float x, float y) {
                return std::min(std::fabs(sdCircle(x, y, 19, c, 12)),
                                std::fabs(sdCircle(x, y, 45, c, 12))) -
                       4;
            },
            [](float x, float y) { return mix(hex(0x5ae0ff), hex(0x3a6ae0), (x + y) / 110); });
        break;
    case 6:
        sheepGlyph(pen, c, c, 1.5f);
        break;
    case 7: // Deja Vu: an eye
        pen.fill(
            4, 14, 60, 50,
            [=](float x, float y) {
                return std::max(sdCircle(x, y, c, c + 22, 32), sdCircle(x, y, c, c - 22, 32));
            },
            white);
        pen.circle(c, c, 11, hex(0x7a3ad0));
        pen.circle(c, c, 5, hex(0x101010));
        pen.circle(c - 4, c - 4, 2.5f, white);
        break;
    case 8: // Bounces
        for (int k = 0; k < 3; ++k) {
            float x0 = 6.0f + k * 17;
            pen.fill(
                x0, 10, x0 + 17, 56,
                [=](float x, float y) {
                    return std::fabs(sdCircle(x, y, x0 + 8.5f, 56, 8.5f)) - 1.5f +
                           (y > 56 ? 9.0f : 0.0f);
                },
                hex(0xffffff, 0.8f));
        }
        pen.line(4, 57, 60, 57, 2, hex(0xa0a0b0));
        pen.circle(53, 20, 7, [](float x, float y) {
            return litSphere(hex(0x40a0ff), (x - 53) / 7, (y - 20) / 7);
        });
        break;
    case 9: // Lava Chase
        pen.glow(c, 38, 8, 28, hex(0xff5a00, 0.6f));
        pen.polygon({14, 56, 20, 30, 30, 8, 36, 26, 44, 18, 50, 56}, hex(0xff5a00));
        pen.polygon({22, 56, 28, 34, 34, 40, 42, 56}, hex(0xffd040));
        break;
    case 10: { // Collect
        std::vector<float> g = {c, 8, 56, 26, c, 58, 8, 26};
        pen.glow(c, c, 10, 30, hex(0x40a0ff, 0.4f));
        pen.polygon(g, [=](float x, float y) {
            return shade(hex(0x40a0ff), ((x < c) ? 0.2f : -0.2f) + (y < 26 ? 0.25f : 0.0f));
        });
        break;
    }
    case 11: // Mega Spikes
        spikeGlyph(pen, c, c, 30, hex(0xff6060));
        drawPixelText(pen, c, c + 1, "M", 2, white);
        break;
    case 12: // Buttons
        pen.roundRect(8, 40, 48, 14, 4, hex(0x505058));
        pen.fill(
            12, 14, 52, 46, [=](float x, float y) { return sdEllipse(x, y, c, 36, 19, 13); },
            [=](float x, float y) {
                return litSphere(hex(0xe83030), (x - c) / 19, (y - 30) / 13);
            });
        break;
    case 13: // Sketchbook: a pencil
        pen.line(12, 52, 48, 16, 10, hex(0xf0c030));
        pen.polygon({8, 56, 10, 46, 18, 54}, hex(0xf0d8b0));
        pen.line(46, 18, 52, 12, 10, hex(0xf08080));
        break;
    case 14: // Pixel Pirate: skull and bones on the grid
        for (int k = 0; k < 2; ++k)
            pen.line(12, k ? 12.0f : 52.0f, 52, k ? 52.0f : 12.0f, 6, hex(0xf0e8d0));
        pen.roundRect(18, 12, 28, 26, 8, hex(0xf8f4e8));
        pen.rect(24, 36, 16, 10, hex(0xf8f4e8));
        pen.rect(22, 22, 7, 7, hex(0x202020));
        pen.rect(35, 22, 7, 7, hex(0x202020));
        break;
    case 15:
        heartShape(pen, c, c + 2, 26, hex(0xff5a8a));
        break;
    default:
        break;
    }
}

// The theme's roundel: sky, a band of its ground and a rim in its accent colour.
void themeRoundel(Pen& pen, const Theme& t) {
    const float c = 32, r = 30;
    pen.circle(c + 1, c + 2, r, rgb(0, 0, 0, 0.45f));
    pen.circle(c, c, r, shade(t.accent, -0.2f));
    pen.fill(
        c - r, c - r, c + r, c + r,
        [=](float x, float y) { return sdCircle(x, y, c, c, r - 2.5f); },
        [&](float, float y) {
            if (y > c + 13) return mix(t.ground, t.groundDark, (y - c - 13) / 16);
            if (y > c + 10) return t.top;
            return mix(shade(t.bg, 0.25f), t.bg, (y - 2) / 40);
        });
}

bool kindInUse(int kind) {
    return kind >= 1 && kind <= 13 && kind != 4 && kind != 5;
}

void iconFrame(Pen& pen, int frame) {
    const Theme& t = themeByNumber(frame + 1);
    themeRoundel(pen, t);
    if (!kindInUse(frame + 1)) {
        // The theme alone: its ball, large, on its ground.
        pen.sub(6, 4, kBlockSize, kBlockSize, 1.45f).outlined({{1.0f, hex(0x101018)}}, [&](Pen& p) {
            paintBall(p, t, 0);
        });
        return;
    }
    // The kind's symbol fills the middle; the theme's ball rides at the lower left.
    pen.zoomed(0.72f).outlined({{1.2f, hex(0x101018, 0.85f)}}, [&](Pen& p) { kindIcon(p, frame); });
    pen.sub(1, 33, kBlockSize, kBlockSize, 0.8f).outlined({{1.0f, hex(0x101018)}}, [&](Pen& p) {
        paintBall(p, t, 0);
    });
}

void tileBase(Pen& pen, int theme) {
    const Theme& t = themeByNumber(theme);
    pen.roundRect(6, 6, 52, 20, 6, shade(t.groundDark, -0.3f));
    pen.roundRect(6, 4, 52, 20, 6,
                  [&](float, float y) { return mix(t.ground, t.groundDark, (y - 4) / 20); });
    pen.roundRect(6, 4, 52, 6, 3, t.top);
    pen.rect(10, 5, 44, 1.2f, withAlpha(shade(t.top, 0.5f), 0.8f));
}

} // namespace

void paintMenu(Pen& pen, int frame) {
    if (frame < 16) {
        iconFrame(pen, frame);
        return;
    }
    switch (frame) {
    case 16: // lit star
        pen.glow(32, 32, 10, 31, hex(0xffe060, 0.5f));
        pen.polygon(starPoints(32, 33, 5, 27, 12, 0), [](float x, float y) {
            return litSphere(hex(0xffd030), (x - 32) / 27, (y - 33) / 27);
        });
        break;
    case 17: // unlit star
        pen.polygon(starPoints(32, 33, 5, 27, 12, 0), hex(0x000000, 0.4f));
        pen.polygon(starPoints(32, 33, 5, 23, 10, 0), hex(0x606070, 0.8f));
        break;
    case 18: // cross
        pen.line(14, 14, 50, 50, 11, hex(0x801010));
        pen.line(50, 14, 14, 50, 11, hex(0x801010));
        pen.line(14, 14, 50, 50, 7, hex(0xff3a3a));
        pen.line(50, 14, 14, 50, 7, hex(0xff3a3a));
        break;
    case 21: // column ornament, stretched tall by the menu
        pen.wash([](float x, float) {
            float u = (x - 32) / 14;
            if (std::fabs(u) > 1) return hex(0xffffff, 0.0f);
            float flute = 0.5f + 0.5f * std::cos(u * kPi * 3);
            return shade(hex(0xc8c0e0), -0.4f * std::fabs(u) - 0.2f * flute);
        });
        break;
    default:
        if (frame >= kThemeBase && frame < kThemeBase + 16) tileBase(pen, frame - kThemeBase + 1);
        break;
    }
}

void paintRecord(Pen& pen, int frame) {
    static const uint32_t kFaces[4] = {0x38b048, 0xff8a20, 0xffc020, 0x4a8ae0};
    const float c = 64;
    medallion(pen, c, 60, hex(kFaces[frame]), hex(0xe0e4f0));
    switch (frame) {
    case 0: // Passed: a tick
        pen.line(38, 66, 56, 84, 12, hex(0xffffff));
        pen.line(56, 84, 92, 44, 12, hex(0xffffff));
        break;
    case 1: // Combo: linked rings
        pen.ring(50, 64, 16, 7, hex(0xffffff));
        pen.ring(78, 64, 16, 7, hex(0xfff0d0));
        break;
    case 2: // Super: a star
        pen.polygon(starPoints(c, c + 2, 5, 38, 16, 0), [=](float x, float y) {
            return litSphere(hex(0xfff4c0), (x - c) / 38, (y - c) / 38);
        });
        break;
    case 3:
        spikeGlyph(pen, c, c, 40, hex(0xd8e0f0));
        break;
    default:
        break;
    }
}

void paintBadge(Pen& pen, int frame) {
    // Families: 0..4 spikes in a round, 5 and 6 specials, 8..12 spikes in total,
    // 16..20 SUPER chains, 24..28 levels unlocked; tiers climb bronze, silver, gold, jade, ruby.
    static const uint32_t kTier[5] = {0xc07a3a, 0xc8ccd8, 0xffc830, 0x40d090, 0xff3a6a};
    static const char* const kRound[5] = {"100", "250", "500", "700", "1000"};
    static const char* const kTotal[5] = {"100", "1K", "10K", "100K", "1M"};
    static const char* const kSuper[5] = {"5", "8", "10", "15", "20"};
    static const char* const kUnlock[5] = {"10", "20", "40", "80", "150"};
    const float c = 32;
    int family = frame / 8, tier = frame % 8;
    bool used = (family == 0 && tier <= 6) || (family >= 1 && family <= 3 && tier <= 4);
    if (!used) return;
    if (family == 0 && tier >= 5) {
        medallion(pen, c, 29, hex(tier == 5 ? 0x7a4ae0 : 0x48c048), hex(0xffffff));
        if (tier == 5)
            drawPixelText(pen, c, c, "=", 4, hex(0xffffff), true, 1);
        else
            sheepGlyph(pen, c + 2, c - 2, 1.1f);
        return;
    }
    Rgba rim = hex(kTier[tier]);
    medallion(pen, c, 29, shade(rim, -0.35f), rim);
    const char* label = "";
    switch (family) {
    case 0:
        spikeGlyph(pen, c, c - 6, 13, hex(0xe0e4f0));
        label = kRound[tier];
        break;
    case 1:
        for (int k = 0; k < 3; ++k) spikeGlyph(pen, c - 10 + k * 10, c - 6, 8, hex(0xe0e4f0));
        label = kTotal[tier];
        break;
    case 2:
        pen.polygon(starPoints(c, c - 6, 5, 14, 6, 0), hex(0xfff0a0));
        label = kSuper[tier];
        break;
    case 3:
        pen.ring(c, c - 12, 6, 3, hex(0xd0d0d8));
        pen.roundRect(c - 10, c - 10, 20, 14, 2, hex(0xffd040));
        pen.circle(c, c - 4, 2, hex(0x503010));
        label = kUnlock[tier];
        break;
    default:
        break;
    }
    drawPixelText(pen, c, c + 13, label, std::string(label).size() > 3 ? 1.6f : 2.0f, hex(0xffffff),
                  true, 1);
}

} // namespace assetgen
