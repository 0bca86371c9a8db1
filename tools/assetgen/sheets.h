// Contact sheets for reviewing the art: each image at 1x (small frames enlarged), one cell per
// frame with its number, on the theme's background colour or a checker; and a sample of the
// game font laid out as the game lays out text.
#pragma once

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/images.h"

namespace assetgen {

Canvas contactSheet(const ImageDef& def);
Canvas fontSample();

} // namespace assetgen
