// What misleads or hides in a replayed play frame, beyond the contrast of spikes and ball:
// decoys (other things on screen whose colours and silhouettes are a spike's), the
// score popups' values against their own tags, each row of head-up text and the newest pass
// values against what lies round them, and how much head-up ink something drawn later covers.
#pragma once

#include "tools/assetgen/playframe.h"
#include "tools/assetgen/playframe_measure.h"

namespace assetgen {

// No other thing may look more like a spike than this (see FrameDecoys::decoy): the worst
// decoy of the themes that read at a glance over full judge runs (Ghost Runner 0.29, Lunar
// Leaps 0.27, Old Faithful 0.12), and 0.05 more.
constexpr double kDecoyLimit = 0.34;

struct FrameDecoys {
    // Likeness to a spike of the most spike-like other thing, 0..1: the overlap of its
    // colours with the spike's, times the likeness of its points (shapeLikeness), times how
    // near its solidity is to the spike's.
    double decoy = 0;
    int decoyX = 0, decoyY = 0;
    double popup = 0;      // the worst tagged popup's value against its tag (0: none shown)
    double hudRow = 0;     // the worst row of head-up text against its ring (0: none)
    double pass = 0;       // the newest pass values against their ring (0: none)
    double hudCovered = 0; // share of head-up ink that something drawn later covers, 0..1
};

// The swings of a silhouette's reach from its centre, once squeezed as wide as it is long
// (so a long thing's two ends are no points), by number of turns a round (0 to 24), as
// fractions of its mean reach: a star of n points swings most at n turns, a disc at none.
std::vector<double> pointSpectrum(const SpriteMask& mask);
// The share of its convex hull a silhouette covers: about 0.6 for a star, near 1 for a disc
// or a box.
double solidity(const SpriteMask& mask);
// How alike two silhouettes' points are, 0..1: the cosine of their swings of three or more
// turns (pointSpectrum), one turn more or fewer allowed from six points on.
double shapeLikeness(const std::vector<double>& thing, const std::vector<double>& spike);

// Overlap of two colour histograms (coarse bins of the finished frame's pixels), 0..1.
double colourOverlap(const std::vector<double>& a, const std::vector<double>& b);

// Measures a frame the replay has just drawn from `list`; things centred below fieldBottom
// (the ground, where no spike floats) are not taken for decoys.
FrameDecoys measureDecoys(const PlayFrame& frame, const float* list, int floats,
                          const FrameParts& parts, float fieldBottom);

} // namespace assetgen
