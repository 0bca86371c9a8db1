// The ball frames 0..13 of each theme's block image. Round balls are shaded spheres whose
// markings turn a fourteenth of a circle per frame, so rotating and animated styles both read;
// the characters (Pip, the frog, the jellyfish, the ghost, the pirate, the sheep) animate
// through the frames in their own cycles. The frame's centre is the ball's centre.
#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kC = kBlockSize / 2.0f; // frame centre
constexpr float kPi = 3.14159265f;
constexpr int kCycle = 14;

// A shaded sphere whose surface colour comes from `surface` at the rotated point.
void sphere(Pen& pen, float r, float turnDeg,
            const std::function<Rgba(float u, float v)>& surface) {
    float c = std::cos(turnDeg * kPi / 180), s = std::sin(turnDeg * kPi / 180);
    pen.circle(kC, kC, r, [=](float x, float y) {
        float nx = (x - kC) / r, ny = (y - kC) / r;
        float u = nx * c + ny * s, v = -nx * s + ny * c;
        return litSphere(surface(u, v), nx, ny);
    });
}

void ballClassic(Pen& pen, const Theme& t, int f) {
    sphere(pen, 15.5f, f * 360.0f / kCycle, [&](float u, float v) {
        (void)u;
        return std::fabs(v) < 0.16f ? shade(t.ball, -0.35f) : t.ball;
    });
    pen.glow(kC - 5, kC - 6, 1.5f, 5, withAlpha(t.ballLight, 0.9f));
}

void ballWind(Pen& pen, const Theme& t, int f) {
    sphere(pen, 11.5f, f * 360.0f / kCycle, [&](float u, float v) {
        float a = std::atan2(v, u) + std::hypot(u, v) * 5.0f;
        return std::sin(a * 2) > 0.55f ? shade(t.ball, 0.55f) : t.ball;
    });
}

void ballPip(Pen& pen, const Theme& t, int f) {
    float squash = 1.0f + 0.08f * std::sin(f * 2 * kPi / kCycle);
    float rx = 8.5f * squash, ry = 16.0f / squash;
    pen.fill(
        kC - rx, kC - ry, kC + rx, kC + ry,
        [=](float x, float y) { return sdEllipse(x, y, kC, kC, rx, ry); },
        [&](float x, float y) { return litSphere(t.ball, (x - kC) / rx, (y - kC) / ry); });
    bool blink = f == 6;
    for (int side = -1; side <= 1; side += 2) {
        float ex = kC + side * 3.2f, ey = kC - ry * 0.45f;
        if (blink) {
            pen.line(ex - 1.6f, ey, ex + 1.6f, ey, 0.9f, hex(0x203010));
        } else {
            pen.ellipse(ex, ey, 2.0f, 2.6f, hex(0xffffff));
            pen.circle(ex + 0.5f, ey + 0.4f, 1.2f, hex(0x182008));
        }
        pen.circle(kC + side * 5.0f, ey + 4.0f, 1.4f, hex(0xff8ab0, 0.7f));
    }
    pen.fill(
        kC - 3, kC - ry * 0.2f, kC + 3, kC,
        [=](float x, float y) {
            return std::fabs(sdCircle(x, y, kC, kC - ry * 0.28f - 1.5f, 3.0f)) - 0.5f +
                   (y < kC - ry * 0.28f ? 10.0f : 0.0f);
        },
        hex(0x203010));
}

void ballMagma(Pen& pen, const Theme& t, int f) {
    // A white-hot fireball with a few dark crust plates drifting round it: bright against the
    // dark red sky, and far from the spikes' dark rock.
    pen.glow(kC, kC, 12, 18, withAlpha(t.accent2, 0.5f));
    sphere(pen, 15.0f, f * 360.0f / kCycle, [&](float u, float v) {
        float n = fbm(u * 2.5f + 4, v * 2.5f + 4, 41);
        if (n < 0.36f) return mix(hex(0x8a3a10), hex(0xff8a20), n / 0.36f);
        return mix(t.ball, t.ballLight, std::min(1.0f, (n - 0.36f) * 2.5f));
    });
}

void ballFrog(Pen& pen, const Theme& t, int f) {
    // A frog curled into a ball; the legs kick through a ten-frame cycle.
    float kick = std::sin((f % 10) * 2 * kPi / 10);
    for (int side = -1; side <= 1; side += 2) {
        float lx = kC + side * (10 + 1.5f * kick), ly = kC + 8 - 2 * kick * side;
        pen.ellipse(lx, ly, 4.5f, 3.0f, shade(t.ball, -0.25f));
        pen.circle(lx + side * 3.5f, ly + 1.5f, 1.6f, shade(t.ball, -0.35f));
    }
    sphere(pen, 13.0f, 0, [&](float u, float v) {
        (void)u;
        return v > 0.35f ? hex(0xe8f0a0) : t.ball;
    });
    for (int side = -1; side <= 1; side += 2) {
        pen.circle(kC + side * 6, kC - 10, 4.0f, t.ball);
        pen.circle(kC + side * 6, kC - 10, 2.6f, hex(0xffffff));
        pen.circle(kC + side * 6 + 0.4f, kC - 9.6f, 1.4f, hex(0x101010));
    }
    pen.line(kC - 5, kC + 1, kC + 5, kC + 1, 0.8f, shade(t.ball, -0.5f));
}

void ballBeach(Pen& pen, const Theme& t, int f) {
    static const Rgba segments[] = {hex(0xe83838), hex(0xffffff), hex(0x3a7ae0),
                                    hex(0xffd23a), hex(0xffffff), hex(0x38c060)};
    (void)t;
    sphere(pen, 15.5f, f * 360.0f / kCycle, [&](float u, float v) {
        if (std::hypot(u, v) < 0.18f) return hex(0xffffff);
        float a = std::atan2(v, u) / (2 * kPi) + 0.5f;
        return segments[static_cast<int>(a * 6) % 6];
    });
}

void ballPixel(Pen& pen, const Theme& t, int f) {
    float turn = f * 2 * kPi / kCycle;
    pen.circle(kC, kC, 14, shade(t.ball, -0.6f));
    pen.circle(kC, kC, 12.5f, [&](float x, float y) {
        float u = (x - kC) / 12.5f, v = (y - kC) / 12.5f;
        float band = std::sin(u * 3 + turn * 2);
        Rgba c = band > 0.6f ? shade(t.ball, 0.4f) : t.ball;
        return (u + v) > 0.55f ? shade(c, -0.35f) : c;
    });
    pen.rect(kC - 7, kC - 8, 3, 3, t.ballLight);
}

void ballJelly(Pen& pen, const Theme& t, int f) {
    // Splash cycle: 0 rest, 1..6 the bell squeezes and springs back, then it rests again.
    int p = f % 7;
    float squeeze = std::sin(p * kPi / 6.0f);
    float rx = 14.0f + 2.5f * squeeze, ry = 10.0f - 2.5f * squeeze;
    float top = kC + 1;
    for (int i = 0; i < 5; ++i) {
        float x = kC - 9 + i * 4.5f;
        float sway = std::sin(f * 0.9f + i) * 1.5f;
        pen.line(x, top, x + sway, top + 9 + 3 * (1 - squeeze), 1.6f, withAlpha(t.ballLight, 0.9f));
    }
    pen.fill(
        kC - rx, top - ry, kC + rx, top + 1.5f,
        [=](float x, float y) {
            return std::max(sdEllipse(x, y, kC, top, rx, ry), y - top - 1.5f);
        },
        [&](float x, float y) {
            float nx = (x - kC) / rx, ny = (y - top) / ry;
            return withAlpha(litSphere(t.ball, nx, ny), 0.95f);
        });
    pen.ellipse(kC, top - ry * 0.3f, rx * 0.45f, ry * 0.35f, withAlpha(t.ballLight, 0.6f));
}

void ballNeon(Pen& pen, const Theme& t, int f) {
    float turn = f * 360.0f / kCycle;
    pen.glow(kC, kC, 9, 17, withAlpha(t.ball, 0.5f));
    pen.circle(kC, kC, 12, hex(0x0a0a18));
    pen.ring(kC, kC, 10.5f, 2.6f, t.ballLight);
    pen.ring(kC, kC, 10.5f, 4.2f, withAlpha(t.ball, 0.5f));
    for (int i = 0; i < 3; ++i) {
        float a = (turn + i * 120) * kPi / 180;
        pen.circle(kC + std::sin(a) * 6, kC - std::cos(a) * 6, 1.8f, t.accent);
    }
    pen.circle(kC, kC, 2.2f, t.ballLight);
}

void ballGhost(Pen& pen, const Theme& t, int f) {
    // Drawn at double size in play, so it stays small in its frame.
    float phase = f * 2 * kPi / kCycle;
    pen.glow(kC, kC, 6, 13, withAlpha(hex(0xb0d0ff), 0.35f));
    pen.fill(
        kC - 9, kC - 10, kC + 9, kC + 10,
        [=](float x, float y) {
            float head = sdCircle(x, y, kC, kC - 2, 7.5f);
            float body = sdBox(x, y, kC, kC + 3, 7.5f, 5.0f);
            float hem = kC + 7 + std::sin((x - kC) * 1.3f + phase) * 1.3f;
            return std::max(std::min(head, body), y - hem);
        },
        [&](float x, float y) { return litSphere(t.ball, (x - kC) / 9, (y - kC + 2) / 10); });
    pen.ellipse(kC - 2.6f, kC - 3, 1.3f, 1.9f, hex(0x1a1a3a));
    pen.ellipse(kC + 2.6f, kC - 3, 1.3f, 1.9f, hex(0x1a1a3a));
    pen.ellipse(kC, kC + 1.5f, 1.2f, 1.5f + 0.4f * std::sin(phase), hex(0x1a1a3a));
}

void ballSnow(Pen& pen, const Theme& t, int f) {
    sphere(pen, 15.0f, f * 360.0f / kCycle, [&](float u, float v) {
        float n = valueNoise(u * 6 + 9, v * 6 + 9, 77);
        return mix(t.ball, hex(0xc8dcf0), n * 0.5f);
    });
    pen.circle(kC - 6, kC - 6, 1.2f, hex(0xffffff));
    pen.circle(kC + 3, kC - 8, 0.8f, hex(0xffffff));
}

void ballStar(Pen& pen, const Theme& t, int f) {
    float turn = f * 360.0f / kCycle / 5.0f;
    pen.glow(kC, kC, 8, 17, withAlpha(t.ball, 0.4f));
    pen.polygon(starPoints(kC, kC, 5, 15, 6.5f, turn), [&](float x, float y) {
        float nx = (x - kC) / 15, ny = (y - kC) / 15;
        return mix(shade(t.ball, -0.3f), t.ballLight, std::max(0.0f, 0.6f - nx - ny) * 0.8f);
    });
    pen.circle(kC - 1.5f, kC - 2, 1.5f, hex(0x402000));
    pen.circle(kC + 3, kC - 2, 1.5f, hex(0x402000));
}

void ballHelmet(Pen& pen, const Theme& t, int f) {
    float turn = (f * 360.0f / kCycle) * kPi / 180;
    sphere(pen, 15.0f, 0, [&](float, float) { return t.ball; });
    float vx = kC + std::sin(turn) * 2.0f;
    pen.fill(
        vx - 10, kC - 8, vx + 10, kC + 6,
        [=](float x, float y) { return sdEllipse(x, y, vx, kC - 1, 10, 7); },
        [&](float, float y) {
            float g = (y - (kC - 8)) / 14;
            return mix(hex(0xffe08a), hex(0xa06010), g);
        });
    pen.ellipse(vx - 4, kC - 4, 3, 1.6f, withAlpha(hex(0xffffff), 0.8f));
}

void ballSketch(Pen& pen, const Theme& t, int f) {
    float turn = f * 2 * kPi / kCycle;
    pen.circle(kC, kC, 14.5f, hex(0xffffff));
    pen.fill(
        kC - 14, kC - 14, kC + 14, kC + 14,
        [=](float x, float y) { return sdCircle(x, y, kC, kC, 14); },
        [&](float x, float y) {
            float u = (x - kC) * std::cos(turn) + (y - kC) * std::sin(turn);
            float hatch = std::fmod(std::fabs(u + 40), 4.0f);
            bool dark = (x - kC) + (y - kC) > 4;
            return hatch < 1.0f && dark ? t.ballLight : withAlpha(t.ballLight, 0);
        });
    pen.ring(kC, kC, 14.5f, 1.6f, t.ball);
    pen.ring(kC + 0.6f, kC - 0.4f, 14.0f, 0.8f, withAlpha(t.ball, 0.6f));
}

void ballPirate(Pen& pen, const Theme& t, int f) {
    // A little pirate on the 1x grid, about 12 by 20 pixels, in a 14-step run cycle.
    float step = std::sin(f * 2 * kPi / kCycle);
    int bob = std::fabs(step) > 0.7f ? -1 : 0;
    float x0 = 12, y0 = 8.0f + bob;
    Rgba skin = hex(0xf0b080), shirt = hex(0xffffff), stripe = hex(0x2a4ad0);
    Rgba trousers = hex(0x3a2a1a), boots = hex(0x1a1010);
    int front = static_cast<int>(std::lround(step * 2)), back = -front;
    pen.rect(x0 + 3 + back, y0 + 16, 2, 4, trousers);
    pen.rect(x0 + 3 + back, y0 + 19, 3, 1, boots);
    pen.rect(x0 + 1, y0 + 3, 9, 5, skin);          // face
    pen.rect(x0, y0, 11, 3, t.ball);               // bandana
    pen.rect(x0 + 10, y0 + 1, 2, 2, t.ball);       // knot
    pen.rect(x0 + 6, y0 + 4, 2, 2, hex(0x101010)); // eye patch
    pen.rect(x0 + 2, y0 + 4, 4, 1, hex(0x101010)); // strap
    pen.rect(x0 + 3, y0 + 5, 1, 1, hex(0x101010)); // eye
    pen.rect(x0 + 3, y0 + 7, 4, 1, hex(0x8a3a2a)); // grin
    pen.rect(x0 + 1, y0 + 8, 9, 8, shirt);
    for (int i = 0; i < 4; ++i) pen.rect(x0 + 1, y0 + 9 + 2 * i, 9, 1, stripe);
    pen.rect(x0 + 1, y0 + 14, 9, 2, trousers);
    pen.rect(x0 + 5 + front, y0 + 16, 2, 4, trousers);
    pen.rect(x0 + 5 + front, y0 + 19, 3, 1, boots);
    int arm = static_cast<int>(std::lround(-step * 2));
    pen.rect(x0 + 10, y0 + 9 + arm, 2, 4, skin);
    pen.rect(x0 - 1, y0 + 9 - arm, 2, 4, skin);
}

} // namespace

void drawSheep(Pen& pen, float cx, float cy, float size, float phase, const Rgba& wool,
               const Rgba& face) {
    // Legs first, four of them swinging in pairs, then the fleece as a cluster of puffs.
    float k = size;
    for (int i = 0; i < 4; ++i) {
        float swing = std::sin(phase + (i % 2 ? kPi : 0)) * 2.5f * k;
        float lx = cx + (-6 + i * 4) * k;
        pen.line(lx, cy + 3 * k, lx + swing, cy + 10 * k, 2.0f * k, face);
    }
    static const float puffs[][3] = {{-7, 0, 5},      {-2, -3, 5.5f},  {4, -2, 5},
                                     {7, 1.5f, 4.5f}, {0, 2.5f, 5.5f}, {-5, 3, 4.5f},
                                     {4, 3.5f, 4.5f}};
    for (const auto& p : puffs) {
        float px = cx + p[0] * k, py = cy + p[1] * k, r = p[2] * k;
        pen.circle(px, py, r, [=](float x, float y) {
            return litSphere(wool, (x - px) / r * 0.7f, (y - py) / r * 0.7f);
        });
    }
    float hx = cx + 11 * k, hy = cy - 1 * k + std::sin(phase * 2) * 0.6f * k;
    pen.ellipse(hx - 1 * k, hy - 3.5f * k, 2.2f * k, 1.2f * k, face);
    pen.ellipse(hx, hy, 3.4f * k, 4.2f * k, face);
    pen.circle(hx + 1.2f * k, hy - 1.0f * k, 0.9f * k, hex(0xffffff));
    pen.circle(hx + 1.4f * k, hy - 1.0f * k, 0.45f * k, hex(0x000000));
}

namespace {

// The outline fills the two screen pixels next to the silhouette; the ball shrinks to leave
// room for it and the halo inside the cell.
constexpr float kBallEdgeWidth = 2.6f;
constexpr float kDimmedBallEdgeWidth = 2.8f; // the world the game dims between bounces
constexpr float kOutlinedBallZoom = 0.8f;
constexpr float kHaloedBallZoom = 0.75f;

void paintBallBody(Pen& pen, const Theme& t, int f) {
    switch (t.look) {
    case Look::Classic:
        ballClassic(pen, t, f);
        break;
    case Look::Wind:
        ballWind(pen, t, f);
        break;
    case Look::Meadow:
        ballPip(pen, t, f);
        break;
    case Look::Magma:
        ballMagma(pen, t, f);
        break;
    case Look::Pond:
        ballFrog(pen, t, f);
        break;
    case Look::Seaside:
        ballBeach(pen, t, f);
        break;
    case Look::Grid:
        ballPixel(pen, t, f);
        break;
    case Look::Undersea:
        ballJelly(pen, t, f);
        break;
    case Look::Neon:
        ballNeon(pen, t, f);
        break;
    case Look::Ghost:
        ballGhost(pen, t, f);
        break;
    case Look::Ice:
        ballSnow(pen, t, f);
        break;
    case Look::Parade:
        ballStar(pen, t, f);
        break;
    case Look::Moon:
        ballHelmet(pen, t, f);
        break;
    case Look::Sketch:
        ballSketch(pen, t, f);
        break;
    case Look::Pirate:
        ballPirate(pen, t, f);
        break;
    case Look::Pasture:
        drawSheep(pen, kC - 2, kC - 2, 1.0f, f * 2 * kPi / kCycle, t.ball,
                  t.variant == 1 ? hex(0x202028) : hex(0x302820));
        break;
    }
}

} // namespace

void paintBall(Pen& pen, const Theme& t, int f) {
    if (t.ballEdge.a <= 0) {
        paintBallBody(pen, t, f);
        return;
    }
    // Pixel-art balls already keep clear of the cell's edge; shrinking them would drop pixels.
    std::vector<Stroke> rings;
    if (t.halo.a > 0) rings.push_back({kHaloWidth, t.halo});
    rings.push_back({t.look == Look::Magma ? kDimmedBallEdgeWidth : kBallEdgeWidth, t.ballEdge});
    paintInsideCell(pen, [&](Pen& cell) {
        Pen body = t.pixel ? cell : cell.zoomed(t.halo.a > 0 ? kHaloedBallZoom : kOutlinedBallZoom);
        body.outlined(rings, [&](Pen& p) { paintBallBody(p, t, f); });
    });
}

} // namespace assetgen
