// The "common" interface images: level tiles and the options cog ("common/Buttons"), small
// icons ("common/icons": 0 pause, 1 menu, 3 play, 6 highlight ring), on-screen pad parts
// ("common/dpad"), the rings of the round's title overlay ("common/circle"), soft lights
// ("common/light"), the test card and the studio logo. Art that the game tints is white.
#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

void tile(Pen& pen, const Rgba& face, const Rgba& edge, float inset) {
    float s = 64 - 2 * inset;
    pen.roundRect(inset + 1, inset + 3, s, s, 12, rgb(0, 0, 0, 0.45f));
    pen.roundRect(inset, inset, s, s, 12, edge);
    pen.roundRect(inset + 3, inset + 3, s - 6, s - 6, 9, [=](float, float y) {
        return mix(shade(face, 0.3f), shade(face, -0.2f), (y - inset) / s);
    });
    pen.roundRect(inset + 7, inset + 5, s - 14, 6, 3, withAlpha(hex(0xffffff), 0.35f));
}

void gear(Pen& pen, float c, float r, int teeth, float toothDepth, const Rgba& colour, float hole) {
    pen.fill(
        c - r - 1, c - r - 1, c + r + 1, c + r + 1,
        [=](float x, float y) {
            float a = std::atan2(y - c, x - c);
            float tooth = std::cos(a * teeth) > 0.2f ? 0.0f : toothDepth;
            float d = std::hypot(x - c, y - c);
            return std::max(d - (r - tooth), hole - d);
        },
        [=](float x, float y) {
            return litSphere(colour, (x - c) / r * 0.6f, (y - c) / r * 0.6f);
        });
}

void pauseBars(Pen& pen, float c, float s, const Rgba& col) {
    pen.roundRect(c - s * 0.6f, c - s, s * 0.45f, 2 * s, s * 0.12f, col);
    pen.roundRect(c + s * 0.15f, c - s, s * 0.45f, 2 * s, s * 0.12f, col);
}

void arrowShape(Pen& pen, float c, float s, int dir, const Rgba& col) {
    float a = dir * kPi / 2;
    auto p = [&](float u, float v) {
        return std::pair{c + u * std::cos(a) - v * std::sin(a),
                         c + u * std::sin(a) + v * std::cos(a)};
    };
    auto [x0, y0] = p(0, -s);
    auto [x1, y1] = p(s * 0.9f, s * 0.2f);
    auto [x2, y2] = p(-s * 0.9f, s * 0.2f);
    pen.polygon({x0, y0, x1, y1, x2, y2}, col);
    auto [x3, y3] = p(0, 0);
    auto [x4, y4] = p(0, s * 0.9f);
    pen.line(x3, y3, x4, y4, s * 0.6f, col);
}

} // namespace

void paintButtons(Pen& pen, int frame) {
    switch (frame) {
    case 0:
        tile(pen, hex(0x6a6a80), hex(0x2a2a38), 6);
        break;
    case 1: // selected
        pen.glow(32, 32, 24, 32, hex(0xffe060, 0.7f));
        tile(pen, hex(0xffc830), hex(0xffffff), 4);
        break;
    case 2: // locked
        tile(pen, hex(0x50505c), hex(0x28282e), 6);
        pen.ring(32, 26, 7, 3.5f, hex(0xb0b0b8));
        pen.roundRect(21, 27, 22, 17, 3, hex(0xd0d0d8));
        pen.circle(32, 34, 2.5f, hex(0x303038));
        break;
    case 3: // passed
        tile(pen, hex(0x3ab050), hex(0x1a5a2a), 6);
        break;
    case 4:
        tile(pen, hex(0xe04a4a), hex(0x6a1a1a), 6);
        break;
    case 5:
        tile(pen, hex(0x3a8ae8), hex(0x1a3a7a), 6);
        break;
    case 8:
        gear(pen, 32, 30, 8, 6, hex(0xb8bcc8), 17);
        break;
    case 9:
        gear(pen, 32, 19, 6, 4, hex(0x8a8e9a), 9);
        break;
    case 10:
        pen.circle(32, 32, 9, [](float x, float y) {
            return litSphere(hex(0xe0e4f0), (x - 32) / 9, (y - 32) / 9);
        });
        pen.circle(32, 32, 3.5f, hex(0x404048));
        break;
    default:
        break;
    }
}

void paintIcons(Pen& pen, int frame) {
    const float c = 16;
    const Rgba w = hex(0xffffff);
    auto disc = [&]() {
        pen.circle(c, c + 1, 14, rgb(0, 0, 0, 0.5f));
        pen.circle(c, c, 14, hex(0x2a2a40, 0.85f));
        pen.ring(c, c, 13, 1.5f, w);
    };
    switch (frame) {
    case 0:
        disc();
        pauseBars(pen, c, 7, w);
        break;
    case 1: // menu: a little house
        disc();
        pen.polygon({c, 7, 25, 15, 7, 15}, w);
        pen.rect(10, 15, 12, 9, w);
        pen.rect(14, 18, 4, 6, hex(0x2a2a40));
        break;
    case 2: // restart
        disc();
        pen.fill(
            6, 6, 26, 26,
            [=](float x, float y) {
                return std::max(std::fabs(sdCircle(x, y, c, c, 7)) - 1.6f,
                                -(x - c) - (y - c) * 0.2f - 3);
            },
            w);
        pen.polygon({c - 2, 5, c - 2, 13, c - 8, 9}, w);
        break;
    case 3:
        disc();
        pen.polygon({12, 8, 12, 24, 24, 16}, w);
        break;
    case 4:
    case 5: // sound on, off
        disc();
        pen.polygon({8, 13, 12, 13, 17, 8, 17, 24, 12, 19, 8, 19}, w);
        if (frame == 4) {
            pen.fill(
                18, 8, 26, 24,
                [=](float x, float y) {
                    return std::max(std::fabs(sdCircle(x, y, 16, 16, 7)) - 1, 18 - x);
                },
                w);
        } else {
            pen.line(19, 12, 25, 20, 2, hex(0xff5050));
            pen.line(25, 12, 19, 20, 2, hex(0xff5050));
        }
        break;
    case 6: // highlight ring
        pen.glow(c, c, 11, 16, withAlpha(w, 0.5f));
        pen.ring(c, c, 13, 2.5f, w);
        break;
    case 7: // music
        disc();
        pen.circle(11, 21, 3, w);
        pen.circle(20, 19, 3, w);
        pen.line(13.5f, 21, 13.5f, 9, 1.6f, w);
        pen.line(22.5f, 19, 22.5f, 7, 1.6f, w);
        pen.line(13.5f, 9.5f, 22.5f, 7.5f, 2.4f, w);
        break;
    case 8: // fullscreen
        disc();
        for (int k = 0; k < 4; ++k) {
            float sx = k % 2 ? 1.0f : -1.0f, sy = k / 2 ? 1.0f : -1.0f;
            pen.line(c + sx * 7, c + sy * 7, c + sx * 3, c + sy * 7, 2, w);
            pen.line(c + sx * 7, c + sy * 7, c + sx * 7, c + sy * 3, 2, w);
        }
        break;
    case 9:
        disc();
        pen.line(10, 10, 22, 22, 3, w);
        pen.line(22, 10, 10, 22, 3, w);
        break;
    case 10:
    case 11:
    case 12:
    case 13:
        disc();
        arrowShape(pen, c, 8, (frame - 10 + 3) % 4, w);
        break;
    case 14:
        disc();
        pen.line(9, 16, 14, 21, 3, w);
        pen.line(14, 21, 23, 11, 3, w);
        break;
    case 15:
        disc();
        pen.circle(c, 9, 2, w);
        pen.roundRect(14, 13, 4, 11, 1.5f, w);
        break;
    default:
        break;
    }
}

void paintDpad(Pen& pen, int frame) {
    const float c = 16;
    const Rgba w = hex(0xffffff, 0.9f);
    if (frame == 0) { // the pad's cross
        pen.roundRect(11, 2, 10, 28, 3, hex(0x303040, 0.8f));
        pen.roundRect(2, 11, 28, 10, 3, hex(0x303040, 0.8f));
        pen.circle(c, c, 3, hex(0x50506a));
    } else if (frame <= 8) { // arrows up, right, down, left; pressed at 5..8
        bool pressed = frame >= 5;
        pen.roundRect(3, 3, 26, 26, 6, pressed ? hex(0xffd040, 0.9f) : hex(0x303040, 0.7f));
        arrowShape(pen, c, 8, (frame - 1) % 4, pressed ? hex(0x302000) : w);
    } else if (frame <= 12) { // buttons A, B, pressed A, pressed B
        bool pressed = frame >= 11;
        Rgba col = (frame - 9) % 2 == 0 ? hex(0x38c048) : hex(0xe03a3a);
        pen.circle(c, c + 1, 13, rgb(0, 0, 0, 0.5f));
        pen.circle(c, c + (pressed ? 1.0f : 0.0f), 13, [=](float x, float y) {
            return litSphere(pressed ? shade(col, -0.3f) : col, (x - c) / 13, (y - c) / 13);
        });
        drawPixelText(pen, c, c + (pressed ? 1.0f : 0.0f), (frame - 9) % 2 == 0 ? "A" : "B", 2, w);
    } else if (frame == 13) { // stick knob
        pen.circle(c, c, 11, [=](float x, float y) {
            return litSphere(hex(0x8a8aa0), (x - c) / 11, (y - c) / 11);
        });
    } else if (frame == 14) { // stick base
        pen.circle(c, c, 15, hex(0x202030, 0.6f));
        pen.ring(c, c, 14, 1.5f, w);
    }
}

void paintCircle(Pen& pen, int frame) {
    const float c = 128;
    const Rgba w = hex(0xffffff);
    switch (frame) {
    case 0: // dashed ring
        pen.fill(
            0, 0, 256, 256,
            [=](float x, float y) {
                float a = std::atan2(y - c, x - c);
                float dash = std::sin(a * 24) > -0.3f ? 0.0f : 20.0f;
                return std::fabs(sdCircle(x, y, c, c, 112)) - 7 + dash;
            },
            withAlpha(w, 0.9f));
        break;
    case 1: // thin ring with ticks
        pen.ring(c, c, 118, 3, w);
        for (int k = 0; k < 36; ++k) {
            float a = k * 10 * kPi / 180, r0 = k % 3 ? 104.0f : 96.0f;
            pen.line(c + std::cos(a) * r0, c + std::sin(a) * r0, c + std::cos(a) * 112,
                     c + std::sin(a) * 112, 2.5f, w);
        }
        break;
    case 2: // ring of dots
        for (int k = 0; k < 24; ++k) {
            float a = k * 15 * kPi / 180;
            pen.circle(c + std::cos(a) * 110, c + std::sin(a) * 110, k % 2 ? 5.0f : 8.0f, w);
        }
        break;
    case 3: // glowing halo
        pen.fill(
            0, 0, 256, 256,
            [=](float x, float y) { return std::fabs(sdCircle(x, y, c, c, 100)) - 26; },
            [=](float x, float y) {
                float d = std::fabs(sdCircle(x, y, c, c, 100)) / 26;
                return withAlpha(w, (1 - d) * (1 - d) * 0.8f);
            });
        break;
    default:
        break;
    }
}

void paintLight(Pen& pen, int frame) {
    const float c = 16;
    const Rgba w = hex(0xffffff);
    switch (frame) {
    case 0:
        pen.glow(c, c, 2, 16, w);
        break;
    case 1:
        pen.glow(c, c, 1, 10, w);
        pen.polygon(starPoints(c, c, 4, 15, 2.2f, 0), withAlpha(w, 0.9f));
        break;
    case 2:
        pen.fill(
            0, 0, 32, 32, [=](float x, float y) { return std::fabs(sdCircle(x, y, c, c, 11)) - 5; },
            [=](float x, float y) {
                float d = std::fabs(sdCircle(x, y, c, c, 11)) / 5;
                return withAlpha(w, (1 - d) * (1 - d));
            });
        break;
    case 3:
        pen.fill(
            0, 12, 32, 20, [=](float x, float y) { return sdEllipse(x, y, c, c, 16, 3.5f); },
            [=](float x, float) { return withAlpha(w, 1 - std::fabs(x - c) / 16); });
        break;
    default:
        break;
    }
}

void paintTestcard(Pen& pen, int) {
    const float c = 128;
    static const uint32_t kBars[7] = {0xc0c0c0, 0xc0c000, 0x00c0c0, 0x00c000,
                                      0xc000c0, 0xc00000, 0x0000c0};
    pen.circle(c, c, 124, hex(0x202020));
    pen.fill(
        0, 0, 256, 256, [=](float x, float y) { return sdCircle(x, y, c, c, 118); },
        [=](float x, float y) {
            if (y < 64) return std::fmod(x, 16.0f) < 8 ? hex(0xffffff) : hex(0x000000);
            if (y < 152) return hex(kBars[std::clamp(static_cast<int>(x / (256.0f / 7)), 0, 6)]);
            if (y < 192) {
                float g = x / 256;
                return Rgba{g, g, g, 1};
            }
            return hex(0x101020);
        });
    pen.ring(c, c, 118, 4, hex(0xffffff));
    pen.line(c, 10, c, 246, 1.5f, hex(0xffffff, 0.8f));
    pen.line(10, c, 246, c, 1.5f, hex(0xffffff, 0.8f));
    pen.ring(c, c, 40, 2, hex(0xffffff, 0.9f));
    drawPixelText(pen, c, 214, "BRAMBOLT3", 3, hex(0xffffff));
}

void paintStudioLogo(Pen& pen, int) {
    // Ulvo: a wolf howling at a full moon, over the studio's name.
    const float c = 128;
    pen.glow(c + 20, 78, 40, 80, hex(0x8ab0ff, 0.35f));
    pen.circle(c + 20, 78, 42, [=](float x, float y) {
        float n = fbm(x * 0.06f, y * 0.06f, 71);
        return shade(hex(0xf4f0dc), (n - 0.5f) * 0.35f);
    });
    std::vector<float> wolf = {60,  190, 66,  150, 76,  126, 92,  108, 104, 84,
                               112, 60,  118, 70,  124, 56,  130, 78,  140, 92,
                               138, 104, 126, 112, 124, 128, 140, 150, 150, 190};
    pen.polygon(wolf, hex(0x14142a));
    pen.rect(30, 188, 196, 6, hex(0x14142a));
    drawPixelText(pen, c, 222, "ULVO", 6, hex(0xffffff), true, 2);
}

} // namespace assetgen
