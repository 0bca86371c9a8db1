// Small sprites: particle sparks ("parts", 256 frames of 8x8 picked at random by the game, so
// they mix dots, stars, diamonds and rings, white for the game to tint) and "bobs": the sheep
// of the Sheep Race (0..5) and the score pop-up tags (16..31: look 1 a plain tag and look 2
// a gold-rimmed one, for each of the eight ink colours).
#include <cmath>

#include "tools/assetgen/images.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/paint_kit.h"

namespace assetgen {

namespace {

constexpr int kSheepFrames = 6;
constexpr int kPopupFirst = 16;
constexpr int kPopupColours = 8;
// The inks the game writes the values in (its colours 1..8), and the luminance below which
// an ink counts as dark and gets a light tag.
constexpr float kDarkInk = 0.16f;
constexpr float kTagHeight = 28.0f; // room for a digit and its outline inside the rim
// Corners this round: a squarer tag would stand like a four-pointed spike in the themes
// whose spikes are stubby four-pointed stars.
constexpr float kTagRound = 9.0f;
constexpr float kFillTrace = 0.05f; // share of the ink in a light tag's fill
constexpr float kFillShade = 0.95f; // how far a dark tag's fill is taken from its ink to black
const uint32_t kInk[kPopupColours] = {0xff3a3a, 0xff8a2a, 0xffe02a, 0x3ae03a,
                                      0x3ae0e0, 0x3a5aff, 0x8a3aff, 0xff3a8a};

} // namespace

void paintParts(Pen& pen, int frame) {
    const float c = 4;
    const Rgba w = hex(0xffffff);
    float size = 1.6f + (hash32(static_cast<uint32_t>(frame)) % 100) / 100.0f * 2.0f;
    switch (frame % 6) {
    case 0:
        pen.circle(c, c, size * 0.8f, w);
        break;
    case 1:
        pen.polygon(starPoints(c, c, 4, size + 0.6f, size * 0.3f, 0), w);
        break;
    case 2:
        pen.polygon({c, c - size, c + size * 0.7f, c, c, c + size, c - size * 0.7f, c}, w);
        break;
    case 3:
        pen.ring(c, c, size * 0.7f, 0.9f, w);
        break;
    case 4:
        pen.glow(c, c, 0.6f, size + 1, w);
        break;
    default:
        pen.polygon(starPoints(c, c, 5, size + 0.4f, size * 0.45f, static_cast<float>(frame * 7)),
                    w);
        break;
    }
}

void paintBobs(Pen& pen, int frame) {
    if (frame < kSheepFrames) {
        // The chaser is a brown ram with curled horns, never mistaken for the player's sheep.
        float phase = frame * 3.14159265f / 3;
        drawSheep(pen, 14, 13, 0.95f, phase, hex(0x8a5a32), hex(0x20140c));
        float hy = 13 - 0.95f + std::sin(phase * 2) * 0.6f;
        pen.ring(22.5f, hy - 3.2f, 2.3f, 1.3f, hex(0xe8d8b0));
        pen.circle(21.0f, hy - 1.5f, 0.9f, hex(0xe8d8b0));
        return;
    }
    if (frame < kPopupFirst || frame >= kPopupFirst + 2 * kPopupColours) return;
    int colour = (frame - kPopupFirst) / 2;
    bool chain = (frame - kPopupFirst) % 2 == 1;
    // A flat tag with rounded corners: no points and no round outline, so it never reads as
    // a spike or a hazard. Its fill is the opposite of the digits' ink (the game writes the
    // value in the ink colour over it): near black behind the light inks, near white behind
    // blue and violet, with only a trace of the ink so the red and violet digits, the
    // dimmest on their sides, still stand out 4.5 to 1; the rim carries the ink. A chain's
    // tag has a second, golden rim.
    Rgba ink = hex(kInk[colour]);
    Rgba fill =
        luminance(ink) < kDarkInk ? mix(hex(0xffffff), ink, kFillTrace) : shade(ink, -kFillShade);
    const float top = 16 - kTagHeight / 2;
    if (chain) {
        pen.roundRect(0, top - 1, 32, kTagHeight + 2, kTagRound + 0.5f, hex(0xffe070));
        pen.roundRect(1.5f, top + 0.5f, 29, kTagHeight - 1, kTagRound - 0.5f, ink);
    } else {
        pen.roundRect(0.5f, top, 31, kTagHeight, kTagRound, ink);
    }
    pen.roundRect(3, top + 2.5f, 26, kTagHeight - 5, kTagRound - 2, fill);
}

} // namespace assetgen
