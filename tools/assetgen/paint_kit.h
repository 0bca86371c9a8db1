// Shared shading helpers and small motifs used by several image families: sphere lighting,
// the sheep (ball of theme 16 and the chaser of the Sheep Race), and the star-shaped spike head.
#pragma once

#include <cmath>
#include <functional>

#include "tools/assetgen/canvas.h"

namespace assetgen {

// Lights a surface colour on a unit sphere at normal (nx, ny) from the upper left, with a
// rim shadow and a specular spot. Outside the unit disc the edge value is used.
inline Rgba litSphere(const Rgba& base, float nx, float ny) {
    float d2 = std::min(1.0f, nx * nx + ny * ny);
    float nz = std::sqrt(1.0f - d2);
    float diffuse = std::max(0.0f, -0.45f * nx - 0.55f * ny + 0.70f * nz);
    float glint = std::pow(std::max(0.0f, -0.3f * nx - 0.4f * ny + 0.87f * nz), 24.0f);
    Rgba c = shade(base, -0.55f * (1.0f - diffuse));
    c = shade(c, 0.15f * diffuse);
    c = mix(c, Rgba{1, 1, 1, c.a}, glint * 0.85f);
    return c;
}

// The see-through halo round spikes and balls (Theme::halo): its width in frame units, three
// screen pixels at every resolution level.
constexpr float kHaloWidth = 3.2f;

// Paints into a layer of the frame, clears from it what reaches past the disc inscribed in
// the frame (a halo's tips), and lays it on the frame: nothing shows at the cell's edge or
// bleeds into the next frame, and what the frame held before is kept.
inline void paintInsideCell(Pen& pen, const std::function<void(Pen&)>& paint) {
    pen.outlined({}, [&](Pen& layer) {
        paint(layer);
        const float cx = layer.frameW() / 2, cy = layer.frameH() / 2;
        const float r = std::min(cx, cy) - 0.7f;
        layer.cut(0, 0, layer.frameW(), layer.frameH(),
                  [=](float x, float y) { return r - std::hypot(x - cx, y - cy); });
    });
}

// A running sheep centred at (cx, cy); size 1 is about 30 by 22 units; phase turns the legs.
void drawSheep(Pen& pen, float cx, float cy, float size, float phase, const Rgba& wool,
               const Rgba& face);

// A spiked ball: `tips` spikes of length r0 round a core of radius r1, lit from the upper left.
void drawSpikeBall(Pen& pen, float cx, float cy, int tips, float r0, float r1, float turnDeg,
                   const Rgba& body, const Rgba& light);

} // namespace assetgen
