// Decoys and head-up overlaps. Colours are taken from the finished frame inside each sprite's
// silhouette, so tint, dimming and what shows through count as the player sees them; shapes
// come from the replay's masks.
#include "tools/assetgen/playframe_decoys.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "game/bt3_numbers.h"
#include "game/c_MyApp_commands.h"

namespace assetgen {

using namespace bt3;

namespace {

constexpr int kLevels = 4;          // histogram bins per channel
constexpr int kMinArea = 40;        // smaller things (sparks) are too small to mistake
constexpr int kMinTagPixels = 12;   // a tag with fewer fill pixels by its digits is off screen
constexpr float kInkLum = 0.5f;     // font texels this light are ink, darker ones the outline
constexpr float kTagAlpha = 0.5f;   // the tag's own silhouette
constexpr int kTagRing = 3;         // tag pixels this near a glyph are its background
constexpr int kTagRim = 2;          // tag pixels this near its edge are its rim, not its fill
constexpr float kReadAlpha = 0.95f; // less opaque popups are fading out on their way off
// A digit's stroke is a pixel or two wide, so many of its pixels blend ink with outline: its
// colour is taken where it is strongest, at this share of its pixels' contrasts.
constexpr double kStrokeCore = 0.75;
constexpr float kCoverAlpha = 0.1f; // something this opaque drawn later hides the ink under it
// Points: rays from a silhouette's centre, the step along them, and the fewest points round
// the outline that count (an oval or a bone has two ends, a triangle three points).
constexpr int kRays = 48;
constexpr double kRayStep = 0.5;
constexpr int kFirstPointedTurn = 3;
// Points this many or more may be one more or fewer and still be alike; fewer must match (a
// triangle is no box).
constexpr int kFirstShiftedTurn = 6;
// Solidities (area over hull area) further apart than this are nothing alike: a star's is
// about 0.6, a rock's or a tag's near 1.
constexpr double kSolidityReach = 0.2;
// A thing less than a quarter of a spike's size (a leaf, a spark) does not pass for it.
constexpr int kSmallerThanSpike = 4;
constexpr double kPi = 3.14159265358979;

// Something drawn after another thing, with the list index it was drawn at.
struct Drawn {
    int index;
    SpriteMask mask;
};

// The masks of `later` drawn after list index `index` whose boxes meet m's.
std::vector<const SpriteMask*> drawnOver(const std::vector<Drawn>& later, int index,
                                         const SpriteMask& m) {
    std::vector<const SpriteMask*> over;
    for (const Drawn& d : later) {
        const SpriteMask& g = d.mask;
        if (d.index > index && g.w > 0 && m.x0 < g.x0 + g.w && g.x0 < m.x0 + m.w &&
            m.y0 < g.y0 + g.h && g.y0 < m.y0 + m.h) {
            over.push_back(&g);
        }
    }
    return over;
}

// The colours of a thing's pixels in the finished frame, leaving out those that anything in
// `later` drawn after list index `index` hides: a spike over a rock lends the rock none of its
// colours. `shown` gets the number of pixels counted.
std::vector<double> histogramIn(const PlayFrame& frame, const SpriteMask& m, int index,
                                const std::vector<Drawn>& later, int* shown) {
    std::vector<double> bins(kLevels * kLevels * kLevels, 0.0);
    auto q = [](float v) { return std::clamp(static_cast<int>(v * kLevels), 0, kLevels - 1); };
    const std::vector<const SpriteMask*> over = drawnOver(later, index, m);
    auto hidden = [&over](int x, int y) {
        for (const SpriteMask* g : over) {
            if (g->covers(x, y)) return true;
        }
        return false;
    };
    int n = 0;
    for (int y = m.y0; y < m.y0 + m.h; ++y) {
        for (int x = m.x0; x < m.x0 + m.w; ++x) {
            if (!m.covers(x, y) || x < 0 || y < 0 || x >= PlayFrame::kWidth ||
                y >= PlayFrame::kHeight || hidden(x, y)) {
                continue;
            }
            const Rgba p = frame.pixel(x, y);
            bins[static_cast<size_t>((q(p.r) * kLevels + q(p.g)) * kLevels + q(p.b))] += 1;
            ++n;
        }
    }
    for (double& b : bins) b = n > 0 ? b / n : 0;
    if (shown) *shown = n;
    return bins;
}

int area(const SpriteMask& m) {
    int n = 0;
    for (uint8_t v : m.inside) n += v;
    return n;
}

bool coveredByAny(const std::vector<SpriteMask>& masks, int x, int y) {
    for (const SpriteMask& g : masks) {
        if (g.covers(x, y)) return true;
    }
    return false;
}

bool isInk(const SpriteMask& g, int x, int y) {
    return g.covers(x, y) && g.texelLum[(y - g.y0) * g.w + x - g.x0] >= kInkLum;
}

bool nearAny(const std::vector<SpriteMask>& masks, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (coveredByAny(masks, x + dx, y + dy)) return true;
        }
    }
    return false;
}

// The tag pixels inside its rim, kTagRim pixels or more from its edge every way.
bool insideRim(const SpriteMask& tag, int x, int y) {
    return tag.covers(x - kTagRim, y) && tag.covers(x + kTagRim, y) && tag.covers(x, y - kTagRim) &&
           tag.covers(x, y + kTagRim);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The worst popup value against the fill of its own tag round its glyphs (their outline
// left out, and the tag's rim, which carries the ink's colour): what the digits are read
// against.
double popupContrast(const PlayFrame& frame, const float* list, const FrameParts& parts) {
    double worst = 0;
    for (size_t i = 0; i < parts.popups.size(); ++i) {
        const FrameParts::Popup& p = parts.popups[i];
        // A popup fading out on its way off is not there to be read.
        const float alpha = list[static_cast<size_t>(p.tag) * kDrawStride + 7];
        if (p.digits.empty() || alpha < kReadAlpha) continue;
        const SpriteMask tag = frame.mask(list, p.tag, kTagAlpha);
        std::vector<SpriteMask> glyphs;
        for (int index : p.digits) glyphs.push_back(frame.mask(list, index, kCoverAlpha));
        // A later popup drawn across this one hides it: what it covers is its own to show.
        std::vector<SpriteMask> later;
        for (size_t k = i + 1; k < parts.popups.size(); ++k) {
            later.push_back(frame.mask(list, parts.popups[k].tag, kCoverAlpha));
            for (int index : parts.popups[k].digits) {
                later.push_back(frame.mask(list, index, kCoverAlpha));
            }
        }
        std::vector<double> ink, fill;
        for (int y = std::max(0, tag.y0); y < std::min(PlayFrame::kHeight, tag.y0 + tag.h); ++y) {
            for (int x = std::max(0, tag.x0); x < std::min(PlayFrame::kWidth, tag.x0 + tag.w);
                 ++x) {
                if (!tag.covers(x, y) || coveredByAny(later, x, y)) continue;
                bool isGlyphInk = false;
                for (const SpriteMask& g : glyphs) isGlyphInk = isGlyphInk || isInk(g, x, y);
                if (isGlyphInk) {
                    ink.push_back(frame.lum(x, y));
                } else if (!coveredByAny(glyphs, x, y) && insideRim(tag, x, y) &&
                           nearAny(glyphs, x, y, kTagRing)) {
                    fill.push_back(frame.lum(x, y));
                }
            }
        }
        if (ink.empty() || static_cast<int>(fill.size()) < kMinTagPixels) continue;
        const double background = median(fill);
        std::vector<double> contrasts;
        for (double l : ink) contrasts.push_back(contrastRatio(l, background));
        std::sort(contrasts.begin(), contrasts.end());
        const double c = contrasts[static_cast<size_t>(kStrokeCore * (contrasts.size() - 1))];
        if (worst == 0 || c < worst) worst = c;
    }
    return worst;
}

// Each row of head-up text (the glyphs the game writes at one height) on its own.
double worstHudRow(const PlayFrame& frame, const float* list, const FrameParts& parts) {
    std::map<int, std::vector<SpriteMask>> rows;
    for (int index : parts.hudGlyphs) {
        const float y = list[static_cast<size_t>(index) * kDrawStride + 2];
        rows[static_cast<int>(std::lround(y))].push_back(frame.mask(list, index));
    }
    double worst = 0;
    for (const auto& row : rows) {
        const double c = inkContrast(frame, row.second, {});
        if (c > 0 && (worst == 0 || c < worst)) worst = c;
    }
    return worst;
}

// The share of head-up ink under anything the list draws after the glyph.
double hudCoveredShare(const PlayFrame& frame, const float* list, int floats,
                       const FrameParts& parts) {
    if (parts.hudGlyphs.empty()) return 0;
    const int commands = floats / kDrawStride;
    int ink = 0, covered = 0;
    for (int index : parts.hudGlyphs) {
        const SpriteMask g = frame.mask(list, index);
        std::vector<SpriteMask> later;
        for (int k = index + 1; k < commands; ++k) {
            const float* rec = list + static_cast<size_t>(k) * kDrawStride;
            SpriteMask m;
            if (rec[0] == kCmdRect) {
                if (rec[7] < kCoverAlpha) continue;
                m.x0 = static_cast<int>(std::floor(rec[1])),
                m.y0 = static_cast<int>(std::floor(rec[2]));
                m.w = static_cast<int>(std::ceil(rec[4])),
                m.h = static_cast<int>(std::ceil(rec[5]));
                if (m.w <= 0 || m.h <= 0) continue;
                m.inside.assign(static_cast<size_t>(m.w) * m.h, 1);
            } else if (rec[0] > -1 && rec[7] >= kCoverAlpha) {
                m = frame.mask(list, k, kCoverAlpha);
            }
            if (m.w > 0 && m.x0 < g.x0 + g.w && g.x0 < m.x0 + m.w && m.y0 < g.y0 + g.h &&
                g.y0 < m.y0 + m.h) {
                later.push_back(std::move(m));
            }
        }
        for (int y = g.y0; y < g.y0 + g.h; ++y) {
            for (int x = g.x0; x < g.x0 + g.w; ++x) {
                if (!isInk(g, x, y)) continue;
                ++ink;
                if (coveredByAny(later, x, y)) ++covered;
            }
        }
    }
    return ink > 0 ? static_cast<double>(covered) / ink : 0;
}

} // namespace

std::vector<double> pointSpectrum(const SpriteMask& m) {
    // The silhouette is first squeezed along its long axis until it is as wide as it is long
    // (an oval becomes a disc, a bone a disc with four bumps), so a long thing's two ends
    // never count as points. Then its reach from the centre along kRays directions, as a
    // fraction of the mean reach, split into its swings of each number of turns a round.
    double cx = 0, cy = 0;
    int n = 0;
    for (int y = m.y0; y < m.y0 + m.h; ++y) {
        for (int x = m.x0; x < m.x0 + m.w; ++x) {
            if (m.covers(x, y)) cx += x, cy += y, ++n;
        }
    }
    std::vector<double> spectrum(kRays / 2 + 1, 0.0);
    if (n == 0) return spectrum;
    cx /= n, cy /= n;
    double sxx = 0, syy = 0, sxy = 0;
    for (int y = m.y0; y < m.y0 + m.h; ++y) {
        for (int x = m.x0; x < m.x0 + m.w; ++x) {
            if (!m.covers(x, y)) continue;
            sxx += (x - cx) * (x - cx), syy += (y - cy) * (y - cy), sxy += (x - cx) * (y - cy);
        }
    }
    sxx /= n, syy /= n, sxy /= n;
    const double half = (sxx + syy) / 2;
    const double spread = std::sqrt(std::max(0.0, half * half - (sxx * syy - sxy * sxy)));
    const double major = std::sqrt(half + spread), minor = std::sqrt(std::max(half - spread, 0.25));
    const double axis = 0.5 * std::atan2(2 * sxy, sxx - syy);
    const double ca = std::cos(axis), sa = std::sin(axis);
    const double longest = std::hypot(m.w, m.h) / minor; // in squeezed units
    std::array<double, kRays> reach{};
    double mean = 0;
    for (int k = 0; k < kRays; ++k) {
        const double a = 2 * kPi * k / kRays;
        for (double r = 0; r < longest; r += kRayStep / major) {
            // Back from squeezed units to the screen: along the axis by major, across by minor.
            const double u = r * std::cos(a) * major, v = r * std::sin(a) * minor;
            const int x = static_cast<int>(std::lround(cx + u * ca - v * sa));
            const int y = static_cast<int>(std::lround(cy + u * sa + v * ca));
            if (m.covers(x, y)) reach[k] = r;
        }
        mean += reach[k] / kRays;
    }
    if (mean <= 0) return spectrum;
    for (int f = 0; f <= kRays / 2; ++f) {
        double re = 0, im = 0;
        for (int k = 0; k < kRays; ++k) {
            re += reach[k] * std::cos(2 * kPi * f * k / kRays);
            im += reach[k] * std::sin(2 * kPi * f * k / kRays);
        }
        spectrum[f] = 2 * std::hypot(re, im) / kRays / mean;
    }
    return spectrum;
}

double solidity(const SpriteMask& m) {
    // The corners of each row's run from its first covered pixel to its last; the hull of
    // those is the hull of the silhouette.
    std::vector<std::pair<double, double>> pts;
    int n = 0;
    for (int y = m.y0; y < m.y0 + m.h; ++y) {
        int first = -1, last = -1;
        for (int x = m.x0; x < m.x0 + m.w; ++x) {
            if (!m.covers(x, y)) continue;
            if (first < 0) first = x;
            last = x, ++n;
        }
        if (first < 0) continue;
        pts.push_back({first, y}), pts.push_back({last + 1, y});
        pts.push_back({first, y + 1}), pts.push_back({last + 1, y + 1});
    }
    if (n == 0) return 0;
    std::sort(pts.begin(), pts.end());
    auto cross = [](const std::pair<double, double>& o, const std::pair<double, double>& a,
                    const std::pair<double, double>& b) {
        return (a.first - o.first) * (b.second - o.second) -
               (a.second - o.second) * (b.first - o.first);
    };
    std::vector<std::pair<double, double>> hull(2 * pts.size());
    size_t k = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
        hull[k++] = pts[i];
    }
    for (size_t i = pts.size() - 1, lower = k + 1; i > 0; --i) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], pts[i - 1]) <= 0) --k;
        hull[k++] = pts[i - 1];
    }
    double twice = 0;
    for (size_t i = 0; i + 1 < k; ++i) {
        twice += hull[i].first * hull[i + 1].second - hull[i + 1].first * hull[i].second;
    }
    return twice > 0 ? std::min(1.0, 2.0 * n / twice) : 0;
}

double shapeLikeness(const std::vector<double>& thing, const std::vector<double>& spike) {
    // The pattern of the reach's swings of three or more turns, compared as directions
    // (cosine): a star's stand out at its number of points and their multiples, a lumpy
    // mound's spread over many, a box's sit at four. One turn more or fewer still counts (a
    // seven-pointed star beside eight-pointed spikes).
    double best = 0;
    for (int shift = -1; shift <= 1; ++shift) {
        double dot = 0, thingNorm = 0, spikeNorm = 0;
        for (int f = kFirstPointedTurn; f < static_cast<int>(spike.size()); ++f) {
            const int g = f >= kFirstShiftedTurn ? f + shift : f;
            const double t =
                g >= kFirstPointedTurn && g < static_cast<int>(thing.size()) ? thing[g] : 0;
            dot += t * spike[f], thingNorm += t * t, spikeNorm += spike[f] * spike[f];
        }
        if (thingNorm > 0 && spikeNorm > 0) {
            best = std::max(best, dot / std::sqrt(thingNorm * spikeNorm));
        }
    }
    // Then the depth of the points: a rounded box swings at four turns as a four-pointed
    // star does, but far less deeply.
    auto deepest = [](const std::vector<double>& s) {
        return *std::max_element(s.begin() + kFirstPointedTurn, s.end());
    };
    const double spikeDepth = deepest(spike);
    return spikeDepth > 0 ? best * std::min(1.0, deepest(thing) / spikeDepth) : 0;
}

double colourOverlap(const std::vector<double>& a, const std::vector<double>& b) {
    double s = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) s += std::min(a[i], b[i]);
    return s;
}

FrameDecoys measureDecoys(const PlayFrame& frame, const float* list, int floats,
                          const FrameParts& parts, float fieldBottom) {
    FrameDecoys d;
    // What may lie over scenery: the spikes, the ball and the overlays.
    std::vector<Drawn> hiders;
    for (int index : parts.spikes) hiders.push_back({index, frame.mask(list, index)});
    if (parts.ball >= 0) hiders.push_back({parts.ball, frame.mask(list, parts.ball)});
    for (int index : parts.overlays) hiders.push_back({index, frame.mask(list, index)});
    // Each spike's colours as drawn and the pattern of its points.
    struct Spike {
        std::vector<double> colours, points;
        double solid;
        int area;
    };
    std::vector<Spike> spikes;
    for (int index : parts.spikes) {
        const SpriteMask m = frame.mask(list, index);
        if (area(m) < kMinArea) continue;
        spikes.push_back(
            {histogramIn(frame, m, index, {}, nullptr), pointSpectrum(m), solidity(m), area(m)});
    }
    for (int index : parts.others) {
        if (spikes.empty()) break;
        const SpriteMask m = frame.mask(list, index);
        // Only what shows where spikes float can pass for one: not what lies underground.
        // A thing cut by the screen's edge is judged once it is wholly in view.
        if (area(m) < kMinArea || m.y0 + m.h / 2 > fieldBottom || m.x0 <= 0 || m.y0 <= 0 ||
            m.x0 + m.w >= PlayFrame::kWidth) {
            continue;
        }
        int shown = 0;
        const std::vector<double> colours = histogramIn(frame, m, index, hiders, &shown);
        if (shown < kMinArea) continue;
        // In a spike's colours, with its kind of points: a decoy.
        const std::vector<double> points = pointSpectrum(m);
        const double solid = solidity(m);
        const int size = area(m);
        for (const Spike& spike : spikes) {
            if (size * kSmallerThanSpike < spike.area) continue;
            const double fill =
                std::max(0.0, 1.0 - std::fabs(solid - spike.solid) / kSolidityReach);
            const double k =
                colourOverlap(colours, spike.colours) * shapeLikeness(points, spike.points) * fill;
            if (k > d.decoy) {
                d.decoy = k;
                d.decoyX = m.x0 + m.w / 2, d.decoyY = m.y0 + m.h / 2;
            }
        }
    }
    d.popup = popupContrast(frame, list, parts);
    d.hudRow = worstHudRow(frame, list, parts);
    std::vector<SpriteMask> pass;
    for (int index : parts.passGlyphs) pass.push_back(frame.mask(list, index));
    d.pass = inkContrast(frame, pass, {});
    d.hudCovered = hudCoveredShare(frame, list, floats, parts);
    return d;
}

} // namespace assetgen
