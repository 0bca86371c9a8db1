// gxtkGraphics's overdraw shortcuts: work a software rasteriser is spared while every pixel
// comes out as it would without them (`SetShortcuts(false)` turns them all off). Each rests
// on an assumption, named here with the test that shows it keeps the pixels:
// - A batch whose primitives all cover what lies below (full alpha, opaque texture, alpha
//   blend) is drawn without blending: blending such a pixel over anything gives the pixel.
//   (`graphics_render_device`: ABatchThatCoversBelowSkipsBlending...)
// - Covering bands: a run of covering rectangles as wide as the clip box whose rows join from
//   its top to its bottom hides every primitive its batch held before it, since nothing is
//   drawn outside the clip box; those are dropped. (`graphics_render_device`: Bands...)
// - Hidden rows: a row of upright quads side by side, with the same top and bottom, that spans
//   the clip box and whose texels all have full alpha replaces every pixel of its rows; the
//   quads before it that lie wholly within those rows are dropped. Edges keep a sixteenth of a
//   pixel of doubt for the driver's snapping (more where a texel spans many pixels), and two
//   tiles join at a seam only where the texels just past both edges have full alpha too.
//   (`graphics_device_rows`)
// - The scissor around ink: a batch of upright quads is scissored to the window pixels its
//   texels with alpha above 0 can reach, a texel and a pixel wider for rounding, when that
//   leaves out more than a quarter of its bounds; a quad over clear texels only is not sent.
//   Clear texels are premultiplied zero and leave the colour below as it was in both blend
//   modes. (`graphics_device_ink`)
// - The first clear: a frame whose first draw call starts with an opaque, untextured rectangle
//   of one colour over the whole window clears to that colour instead: the same bytes.
//   (`graphics_render_device`: AFrameThatStartsWithAPlainRectangle...)
// `display_pictures` compares real frames of the game (intro, menu, every third frame of 90
// updates of play in every theme, and 1280x720) with the shortcuts off and on, pixel for pixel.
#include "graphics/gxtkGraphics.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

// A batch is scissored to the pixels its ink reaches only when that leaves out more than
// this share of its bounds: the scissor costs the rasteriser a little on every triangle.
constexpr float kTrimShare = 0.75f;
// Texels and pixels added around the ink: a sample that rounding moves by a fraction of a
// texel still lands inside.
constexpr float kInkMargin = 1.0f;
constexpr float kMaxTexelCoordinate = 1.0e7f; // beyond any texture; keeps int casts defined
// A pixel centre this close to a quad's edge may fall on either side of it once the driver
// snaps the corners to its sub-pixel grid (1/256 of a pixel).
constexpr float kEdgeDoubt = 1.0f / 16.0f;
// A texture coordinate may be off by far less than this many texels where it is sampled, so
// a sample this far inside a texel box rounds to a texel of that box.
constexpr float kTexelDoubt = 1.0f / 64.0f;

// Whether some pixel centre (n + 0.5) lies in [a, b).
bool centreWithin(float a, float b) {
    return std::ceil(a - 0.5f) < std::ceil(b - 0.5f);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Covering bands and hidden rows
// ---------------------------------------------------------------------------------------------
// A run of covering rectangles, each as wide as the clip box and each touching the rows of
// the ones before, that reaches from its top to its bottom hides every primitive the batch
// held before the run: those can only draw inside the clip box, and no pixel of theirs
// survives. The background rectangle under a screen's own banded backdrop is one such.
void gxtkGraphics::noteBand(bool covers, const float* px, const float* py, int at, bool inRun) {
    const bool upright = px[0] == px[3] && px[1] == px[2] && py[0] == py[1] && py[2] == py[3];
    const auto [minX, maxX] = std::minmax(px[0], px[1]);
    const auto [minY, maxY] = std::minmax(py[0], py[2]);
    if (!covers || !upright || minX > clipX0 || maxX < clipX1) return;
    // A run that already spans the box hides no more: the next band starts a run of its own,
    // which may come to hide this one.
    const bool spans = bandY0 <= clipY0 && bandY1 >= clipY1;
    bandRun = true;
    if (inRun && !spans && minY <= bandY1 && maxY >= bandY0) {
        bandY0 = std::min(bandY0, minY);
        bandY1 = std::max(bandY1, maxY);
    } else {
        bandFrom = at;
        bandY0 = minY;
        bandY1 = maxY;
    }
    if (bandFrom == 0 || bandY0 > clipY0 || bandY1 < clipY1) return;
    // Only the run's covering rectangles are left, so the batch needs no blending.
    std::copy(vertices + bandFrom, vertices + vertexCount, vertices);
    vertexCount -= bandFrom;
    bandFrom = 0;
    batchOpaque = true;
}

gxtkGraphics::Cover gxtkGraphics::coverOf(gxtkSurface* surf, const float* px, const float* py,
                                          float u0, float v0, float u1, float v1) const {
    Cover c = {};
    if ((color >> 24) != kByteMax || blendState != kBlendAlpha) return c;
    const auto [x0, x1] = std::minmax(px[0], px[1]);
    const auto [y0, y1] = std::minmax(py[0], py[2]);
    // Also false for corners that are not numbers.
    if (!(x0 < x1) || !(y0 < y1)) return c;
    c = {true, x0, y0, x1, y1, x0 + kEdgeDoubt, x1 - kEdgeDoubt, kEdgeDoubt, true, true};
    if (!surf) return c;
    // Texel coordinates of the corners: u0, v0 at corner 0 and u1, v1 at corner 2.
    const float s0 = u0 / surf->uscale, s1 = u1 / surf->uscale;
    const float t0 = v0 / surf->vscale, t1 = v1 / surf->vscale;
    auto usable = [](float a) { return std::fabs(a) < kMaxTexelCoordinate; };
    c.hides = false;
    if (!usable(s0) || !usable(s1) || !usable(t0) || !usable(t1) || s0 == s1 || t0 == t1) {
        return c;
    }
    const int bx0 = static_cast<int>(std::floor(std::min(s0, s1)));
    const int bx1 = static_cast<int>(std::ceil(std::max(s0, s1)));
    const int by0 = static_cast<int>(std::floor(std::min(t0, t1)));
    const int by1 = static_cast<int>(std::ceil(std::max(t0, t1)));
    if (!surf->SolidBox(bx0, by0, bx1, by1)) return c;
    c.hides = true;
    // How far inside an edge a sample is sure to stay within the box's texels.
    const float inX = std::max(kEdgeDoubt, kTexelDoubt * (x1 - x0) / std::fabs(s1 - s0));
    c.inY = std::max(kEdgeDoubt, kTexelDoubt * (y1 - y0) / std::fabs(t1 - t0));
    // A sample at an edge may round into the texel column just past it; where that column
    // has full alpha too, every pixel the quad draws up to that edge is replaced.
    const bool lowSolid = surf->SolidBox(bx0 - 1, by0, bx0, by1);
    const bool highSolid = surf->SolidBox(bx1, by0, bx1 + 1, by1);
    // The left edge shows corner 0's texels unless the quad is mirrored.
    const bool leftIsLow = (px[0] < px[1]) == (s0 < s1);
    c.seamLo = leftIsLow ? lowSolid : highSolid;
    c.seamHi = leftIsLow ? highSolid : lowSolid;
    c.lo = x0 + (c.seamLo ? kEdgeDoubt : inX);
    c.hi = x1 - (c.seamHi ? kEdgeDoubt : inX);
    return c;
}

// A row of hiding quads, each with the same top and bottom and each reaching the columns of
// the ones before it, that spans the clip box hides every quad the batch held before the row
// whose pixels all lie within the row's rows: those pixels are replaced. The floor's opaque
// rows, drawn in strips side by side over the farther floor layer, are such rows.
void gxtkGraphics::noteRow(const Cover& c, int at) {
    if (!c.hides) return;
    bool joins = rowOn && c.y0 == row.y0 && c.y1 == row.y1;
    if (joins && c.x1 > row.x1 && c.x0 >= row.x0) {
        // Joins on the right: no pixel centre may fall between what the two surely hide. Two
        // edges that meet or overlap, each with full alpha just past it, leave none: the
        // driver draws every centre left of one and from the other on.
        const bool seam = c.x0 <= row.x1 && row.seamHi && c.seamLo;
        joins = seam || !centreWithin(row.hi, c.lo);
        if (joins) {
            row.x1 = c.x1;
            row.hi = c.hi;
            row.seamHi = c.seamHi;
        }
    } else if (joins && c.x0 < row.x0 && c.x1 <= row.x1) {
        // Joins on the left (a mirrored row is drawn from right to left).
        const bool seam = c.x1 >= row.x0 && row.seamLo && c.seamHi;
        joins = seam || !centreWithin(c.hi, row.lo);
        if (joins) {
            row.x0 = c.x0;
            row.lo = c.lo;
            row.seamLo = c.seamLo;
        }
    } else if (joins && (c.x0 < row.x0 || c.x1 > row.x1)) {
        joins = false; // wider on both sides: it starts a row of its own
    }
    row.inY = std::max(row.inY, c.inY);
    if (!joins) {
        rowOn = true;
        rowUsed = false;
        rowFrom = at;
        row = c;
    }
    if (rowUsed || rowFrom == 0) return;
    if (row.lo > clipX0 + 0.5f || row.hi <= clipX1 - 0.5f) return;
    rowUsed = true;
    dropHidden(rowFrom, std::ceil(row.y0 + row.inY - 0.5f), std::ceil(row.y1 - row.inY - 0.5f));
}

void gxtkGraphics::dropHidden(int before, float r0, float r1) {
    if (primType != kQuads || r0 >= r1) return;
    int kept = 0, keptBeforeRun = 0;
    for (int q = 0; q < vertexCount; q += kQuadCorners) {
        bool hidden = false;
        if (q < before) {
            float minY = vertices[q].y, maxY = minY;
            for (int i = 1; i < kQuadCorners; ++i) {
                minY = std::min(minY, vertices[q + i].y);
                maxY = std::max(maxY, vertices[q + i].y);
            }
            // The rows it may touch within the clip box, with the doubt about its edges.
            const float top = std::max(std::ceil(minY - kEdgeDoubt - 0.5f), clipY0);
            const float bottom = std::min(std::ceil(maxY + kEdgeDoubt - 0.5f), clipY1);
            hidden = top >= r0 && bottom <= r1; // false for corners that are not numbers
        }
        if (hidden) continue;
        if (kept != q) std::copy(vertices + q, vertices + q + kQuadCorners, vertices + kept);
        if (bandRun && q < bandFrom) keptBeforeRun += kQuadCorners;
        kept += kQuadCorners;
    }
    const int dropped = vertexCount - kept;
    if (dropped == 0) return;
    if (bandRun) bandFrom = keptBeforeRun;
    vertexCount = kept;
}

gxtkGraphics::QuadReach gxtkGraphics::reachOf(gxtkSurface* surf, const float* px, const float* py,
                                              float u0, float v0, float u1, float v1) const {
    const auto [minX, maxX] = std::minmax({px[0], px[1], px[2], px[3]});
    const auto [minY, maxY] = std::minmax({py[0], py[1], py[2], py[3]});
    const PixelBox bounds = {std::floor(minX) - kInkMargin, std::floor(minY) - kInkMargin,
                             std::ceil(maxX) + kInkMargin, std::ceil(maxY) + kInkMargin};
    QuadReach reach = {bounds, bounds};
    if (!surf) return reach;
    // Texel coordinates of the corners: u0, v0 at corner 0 and u1, v1 at corner 2.
    const float s0 = u0 / surf->uscale, s1 = u1 / surf->uscale;
    const float t0 = v0 / surf->vscale, t1 = v1 / surf->vscale;
    // No texels, or coordinates that are not numbers or lie far past any surface.
    auto usable = [](float a) { return std::fabs(a) < kMaxTexelCoordinate; };
    if (!usable(s0) || !usable(s1) || !usable(t0) || !usable(t1) || s0 == s1 || t0 == t1) {
        return reach;
    }
    int x0 = static_cast<int>(std::floor(std::min(s0, s1) - kInkMargin));
    int y0 = static_cast<int>(std::floor(std::min(t0, t1) - kInkMargin));
    int x1 = static_cast<int>(std::ceil(std::max(s0, s1) + kInkMargin));
    int y1 = static_cast<int>(std::ceil(std::max(t0, t1) + kInkMargin));
    if (!surf->InkBox(x0, y0, x1, y1)) return reach;
    if (x0 >= x1 || y0 >= y1) {
        reach.ink = {0, 0, 0, 0};
        return reach;
    }
    // Where the ink's texels, a margin around them, land in the window.
    const float sx = (px[1] - px[0]) / (s1 - s0), sy = (py[2] - py[0]) / (t1 - t0);
    const float ax = px[0] + (static_cast<float>(x0) - kInkMargin - s0) * sx;
    const float bx = px[0] + (static_cast<float>(x1) + kInkMargin - s0) * sx;
    const float ay = py[0] + (static_cast<float>(y0) - kInkMargin - t0) * sy;
    const float by = py[0] + (static_cast<float>(y1) + kInkMargin - t0) * sy;
    reach.ink = {std::max(bounds.x0, std::floor(std::min(ax, bx)) - kInkMargin),
                 std::max(bounds.y0, std::floor(std::min(ay, by)) - kInkMargin),
                 std::min(bounds.x1, std::ceil(std::max(ax, bx)) + kInkMargin),
                 std::min(bounds.y1, std::ceil(std::max(ay, by)) + kInkMargin)};
    return reach;
}

bool gxtkGraphics::coversBelow(gxtkSurface* surf) const {
    return (color >> 24) == kByteMax && blendState == kBlendAlpha && (!surf || surf->Opaque());
}

// ---------------------------------------------------------------------------------------------
// The first clear and the scissor around ink
// ---------------------------------------------------------------------------------------------
bool gxtkGraphics::clearsWindow() const {
    // Only the frame's first draw call: the driver drops the work of earlier draws under an
    // opaque rectangle itself, but a clear after them makes it draw them first.
    if (drawCalls != 1 || !shortcuts || primType != kQuads || primSurf ||
        blendState != kBlendAlpha) {
        return false;
    }
    const KpVertex* v = vertices;
    if ((v[0].color >> 24) != kByteMax) return false;
    for (int i = 1; i < kQuadCorners; ++i) {
        if (v[i].color != v[0].color) return false;
    }
    const bool upright =
        v[0].x == v[3].x && v[1].x == v[2].x && v[0].y == v[1].y && v[2].y == v[3].y;
    const auto [minX, maxX] = std::minmax(v[0].x, v[1].x);
    const auto [minY, maxY] = std::minmax(v[0].y, v[2].y);
    // Every pixel centre of the window well inside it (false for corners that are not numbers).
    return upright && minX <= 0.5f - kEdgeDoubt &&
           maxX >= static_cast<float>(width) - 0.5f + kEdgeDoubt && minY <= 0.5f - kEdgeDoubt &&
           maxY >= static_cast<float>(height) - 0.5f + kEdgeDoubt;
}

bool gxtkGraphics::trimScissor() {
    // The scissor in force must be known to be put back.
    if (!batchTrims || !scissorKnown) return false;
    auto within = [this](const PixelBox& b) {
        return PixelBox{std::max(b.x0, clipX0), std::max(b.y0, clipY0), std::min(b.x1, clipX1),
                        std::min(b.y1, clipY1)};
    };
    auto area = [](const PixelBox& b) {
        return b.x1 > b.x0 && b.y1 > b.y0 ? (b.x1 - b.x0) * (b.y1 - b.y0) : 0.0f;
    };
    const PixelBox ink = within(batchReach.ink);
    if (area(ink) >= kTrimShare * area(within(batchReach.bounds))) return false;
    const int x0 = static_cast<int>(ink.x0), y0 = static_cast<int>(ink.y0);
    const int w = std::max(0, static_cast<int>(ink.x1) - x0);
    const int h = std::max(0, static_cast<int>(ink.y1) - y0);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, Height() - y0 - h, w, h);
    return true;
}

void gxtkGraphics::restoreScissor() {
    const ScissorBox& box = scissor;
    if (box.x == 0 && box.y == 0 && box.w == Width() && box.h == Height()) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glScissor(box.x, Height() - box.y - box.h, box.w, box.h);
}
