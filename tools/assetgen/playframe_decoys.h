// What misleads or hides in a replayed play frame, beyond the contrast of spikes and ball:
// decoys (other things on screen whose colours and pointed silhouettes are the spikes'), the
// score popups' values against their own tags, each row of head-up text and the newest pass
// values against what lies round them, and how much head-up ink something drawn later covers.
#pragma once

#include "tools/assetgen/playframe.h"
#include "tools/assetgen/playframe_measure.h"

namespace assetgen {

// No other thing may look more like the theme's spikes than this (see FrameDecoys::decoy).
constexpr double kDecoyLimit = 0.30;

struct FrameDecoys {
    // Likeness to the spikes of the most spike-like other thing, 0..1: the overlap of its
    // colours with theirs times its pointedness against theirs (capped at 1).
    double decoy = 0;
    int decoyX = 0, decoyY = 0;
    double popup = 0;      // the worst tagged popup's value against its tag (0: none shown)
    double hudRow = 0;     // the worst row of head-up text against its ring (0: none)
    double pass = 0;       // the newest pass values against their ring (0: none)
    double hudCovered = 0; // share of head-up ink that something drawn later covers, 0..1
};

// How pointed a silhouette is, once squeezed as wide as it is long: the strongest swing of
// its reach from its centre at three or more turns a round, as a fraction of its mean reach;
// about 0 for a disc, an oval or a rounded box, about 0.3 for a triangle or a star.
double pointedness(const SpriteMask& mask);

// Overlap of two colour histograms (coarse bins of the finished frame's pixels), 0..1.
double colourOverlap(const std::vector<double>& a, const std::vector<double>& b);

// Measures a frame the replay has just drawn from `list`; things centred below fieldBottom
// (the ground, where no spike floats) are not taken for decoys.
FrameDecoys measureDecoys(const PlayFrame& frame, const float* list, int floats,
                          const FrameParts& parts, float fieldBottom);

} // namespace assetgen
