// Contrast in a replayed play frame, measured as the player meets it: each spike's rim (the
// outer band of its silhouette) and the ball's against the pixels just outside them, and the
// head-up text's ink against the pixels that ring it (its outline, where the font has one).
#pragma once

#include <array>
#include <vector>

#include "tools/assetgen/playframe.h"

namespace assetgen {

// What a player must tell apart; all ratios 1..21, 0 when nothing of the kind was on screen.
struct FrameContrast {
    double spikeRim = 0;  // the worst spike on screen
    double spikeBody = 0; // the same spike's whole silhouette
    double ball = 0;
    double hud = 0;
    int spikes = 0; // spikes measured
    // Screen centres of the worst spike and of the ball, to find them in a saved frame.
    int spikeX = 0, spikeY = 0;
    int ballX = 0, ballY = 0;
};

// Which commands of a round's list are what: spikes are world-image frames 14..27, the ball
// the last world-image frame 0..13 drawn before them, head-up text the font's glyphs in the
// top band of the screen, labels the large glyphs the game writes over the play field
// ("GOAL!" centred on the goal spike), and overlays: whatever text the game writes over the
// play field, head-up text and its bars included, and the score popups' badges.
struct FrameParts {
    std::vector<int> spikes;
    std::vector<int> labels;
    int ball = -1;
    std::vector<int> trail;    // the ball's trail, drawn before it
    std::vector<int> overlays; // in list order; each hides what was drawn before it
    std::vector<int> hudGlyphs;
    // Boxes (x, y, w, h) of the rectangles the game draws over the head-up text (the chain
    // timer's bar): what they cover is left out of the text's measure.
    std::vector<std::array<float, 4>> hudCovers;
    // Score popups that have a tag: the tag's command and the glyphs of the value on it.
    struct Popup {
        int tag = -1;
        std::vector<int> digits;
    };
    std::vector<Popup> popups;
    // The pass values that are meant to be read (drawn at least kPassShown opaque).
    std::vector<int> passGlyphs;
    // Everything else drawn from an image over the sky that a player might take for a
    // spike: scenery, the popups' tags, chasers, sparks.
    std::vector<int> others;
};
FrameParts findParts(const float* list, int floats);

// The mean luminance of the glyphs' ink (their light texels) against that of the pixels
// within two of the ink, leaving out whatever lies in the boxes (x, y, w, h) of `covers`; 0
// when there is no ink.
double inkContrast(const PlayFrame& frame, const std::vector<SpriteMask>& glyphs,
                   const std::vector<std::array<float, 4>>& covers);

// Measures a frame the replay has just drawn from `list`.
FrameContrast measureFrame(const PlayFrame& frame, const float* list, const FrameParts& parts);

// The median, over the outside pixels within `ring` pixels of a mask (less those any of
// `behind` or `over` covers), of each one's contrast with the mask's pixels near it that lie
// within `band` pixels of its edge (less those `over` covers: what is drawn over the sprite
// hides its rim); bodyRatio gets the mean silhouette against the mean ring. 0 when `over`
// hides more than half the rim or nothing is left to compare.
double rimContrast(const PlayFrame& frame, const SpriteMask& mask, int band, int ring,
                   const std::vector<SpriteMask>& behind, const std::vector<SpriteMask>& over,
                   double* bodyRatio);

} // namespace assetgen
