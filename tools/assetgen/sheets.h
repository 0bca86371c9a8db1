// Contact sheets for reviewing the art: each image at 1x (small frames enlarged), one cell per
// frame with its number, on the theme's background colour or a checker; and a sample of the
// game font laid out as the game lays out text; and a 640x480 play-frame mock-up per theme.
#pragma once

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/images.h"

namespace assetgen {

Canvas contactSheet(const ImageDef& def);
Canvas fontSample();
// A play frame of the theme as the game composes it: sky, backdrop and floor rows, drifting
// particles, scenery at double size, spikes of several heights and the ball (with the
// chasing sheep in the pasture).
Canvas playMockup(const Theme& theme);

} // namespace assetgen
