// Play-frame contrast: silhouettes come from the replay's masks, luminances from the finished
// frame, so dimming, trails, labels and whatever else lies over or around a sprite count.
#include "tools/assetgen/playframe_measure.h"

#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp_commands.h"

namespace assetgen {

using namespace bt3;

namespace {

constexpr int kFirstSpikeFrame = 14;
constexpr int kLastSpikeFrame = 27;
constexpr int kLastBallFrame = 13;
constexpr float kHudBand = 60.0f; // head-up text lies above this line
constexpr int kRimBand = 2;
constexpr int kRingWidth = 3;
constexpr int kHudRing = 2;
constexpr float kInkLum = 0.5f;       // font texels this light are ink, darker ones its outline
constexpr float kLabelScale = 4.0f;   // glyphs drawn this large are a label over the field
constexpr int kFirstPopupFrame = 16;  // the score popups' badges; lower frames are the chasers
constexpr float kOverlayAlpha = 0.1f; // an overlay this opaque changes what lies under it
constexpr float kTagReach = 32.0f;    // a popup's digits lie this near its tag's centre
constexpr float kPassScale = 1.5f;    // the pass values' text scale
constexpr float kPassShown = 0.75f;   // the newest pass values, drawn at least this opaque

bool nearOutside(const SpriteMask& m, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (!m.covers(x + dx, y + dy)) return true;
        }
    }
    return false;
}

bool nearInside(const SpriteMask& m, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (m.covers(x + dx, y + dy)) return true;
        }
    }
    return false;
}

bool overlaps(const SpriteMask& m, const std::vector<SpriteMask>& others) {
    for (const SpriteMask& o : others) {
        if (o.w > 0 && m.x0 < o.x0 + o.w && o.x0 < m.x0 + m.w && m.y0 < o.y0 + o.h &&
            o.y0 < m.y0 + m.h) {
            return true;
        }
    }
    return false;
}

// The screen pixels of an axis-aligned box (a rectangle command; the head-up bars are
// centred, so the mirrored theme draws them where they are listed).
SpriteMask boxMask(float x, float y, float w, float h) {
    SpriteMask m;
    m.x0 = std::max(0, static_cast<int>(std::ceil(x - 0.5f)));
    m.y0 = std::max(0, static_cast<int>(std::ceil(y - 0.5f)));
    const int x1 = std::min(PlayFrame::kWidth, static_cast<int>(std::ceil(x + w - 0.5f)));
    const int y1 = std::min(PlayFrame::kHeight, static_cast<int>(std::ceil(y + h - 0.5f)));
    if (x1 <= m.x0 || y1 <= m.y0) return SpriteMask{};
    m.w = x1 - m.x0, m.h = y1 - m.y0;
    m.inside.assign(static_cast<size_t>(m.w) * m.h, 1);
    m.texelLum.assign(static_cast<size_t>(m.w) * m.h, 0);
    return m;
}

// The overlay masks drawn after command `index` whose boxes come within `reach` of m's.
struct Overlay {
    int index;
    SpriteMask mask;
};
std::vector<SpriteMask> overlaysOn(const SpriteMask& m, int index,
                                   const std::vector<Overlay>& overlays, int reach) {
    std::vector<SpriteMask> over;
    for (const Overlay& o : overlays) {
        const SpriteMask& g = o.mask;
        if (o.index > index && g.w > 0 && m.x0 - reach < g.x0 + g.w && g.x0 < m.x0 + m.w + reach &&
            m.y0 - reach < g.y0 + g.h && g.y0 < m.y0 + m.h + reach) {
            over.push_back(g);
        }
    }
    return over;
}

bool onScreen(const SpriteMask& m) {
    return m.w > 0 && m.x0 > 0 && m.y0 > 0 && m.x0 + m.w < PlayFrame::kWidth &&
           m.y0 + m.h < PlayFrame::kHeight;
}

} // namespace

FrameParts findParts(const float* list, int floats) {
    FrameParts parts;
    bool spikesBegun = false;
    // The latest popup tag, where it is, and the glyphs listed right after it.
    int lastTag = -2, tagGlyphs = 0;
    float tagX = 0, tagY = 0;
    for (int i = 0; (i + 1) * kDrawStride <= floats; ++i) {
        const float* rec = list + static_cast<size_t>(i) * kDrawStride;
        const int slot = rec[0] > -1 ? static_cast<int>(rec[0]) : -1;
        const int frame = static_cast<int>(rec[6]);
        if (slot == kImgBlocks && frame >= kFirstSpikeFrame && frame <= kLastSpikeFrame) {
            spikesBegun = true;
            parts.spikes.push_back(i);
        } else if (slot == kImgBlocks && frame >= 0 && frame <= kLastBallFrame && !spikesBegun) {
            if (parts.ball >= 0) parts.trail.push_back(parts.ball);
            parts.ball = i;
        } else if (slot == kImgFont && std::fabs(rec[4]) >= kLabelScale && frame > 0) {
            parts.labels.push_back(i);
            parts.overlays.push_back(i);
        } else if (slot == kImgFont && rec[2] < kHudBand && frame > 0) {
            parts.hudGlyphs.push_back(i);
            parts.overlays.push_back(i);
        } else if (slot == kImgFont || (slot == kImgBobs && frame >= kFirstPopupFrame)) {
            parts.overlays.push_back(i);
            if (slot == kImgBobs) {
                parts.popups.push_back({i, {}});
                parts.others.push_back(i);
            } else if (frame > 0 && !parts.popups.empty() && lastTag == i - 1 - tagGlyphs &&
                       std::fabs(rec[1] - tagX) < 2 * kTagReach &&
                       std::fabs(rec[2] - tagY) < kTagReach) {
                parts.popups.back().digits.push_back(i);
            } else if (frame > 0 && std::fabs(rec[4]) == kPassScale && rec[7] >= kPassShown) {
                parts.passGlyphs.push_back(i);
            }
            if (slot == kImgBobs)
                lastTag = i, tagGlyphs = 0, tagX = rec[1], tagY = rec[2];
            else if (lastTag == i - 1 - tagGlyphs)
                ++tagGlyphs;
        } else if ((slot == kImgBlocks && frame > kLastSpikeFrame) || slot == kImgBobs ||
                   slot == kImgParts || slot == kImgMenu) {
            parts.others.push_back(i);
        } else if (rec[0] == kCmdRect && !parts.hudGlyphs.empty() && rec[2] < kHudBand) {
            parts.hudCovers.push_back({rec[1], rec[2], rec[4], rec[5]});
            parts.overlays.push_back(i);
        }
    }
    return parts;
}

double rimContrast(const PlayFrame& frame, const SpriteMask& m, int band, int ring,
                   const std::vector<SpriteMask>& behind, const std::vector<SpriteMask>& over,
                   double* bodyRatio) {
    // Each outside pixel next to the silhouette against the rim pixels near it: the local
    // contrasts' median says whether the outline reads where most of it runs, whatever mix
    // of sky, floor and scenery lies round it.
    auto coveredBy = [](const std::vector<SpriteMask>& masks, int x, int y) {
        for (const SpriteMask& g : masks) {
            if (g.covers(x, y)) return true;
        }
        return false;
    };
    auto ignored = [&](int x, int y) { return coveredBy(behind, x, y) || coveredBy(over, x, y); };
    auto rimAt = [&](int x, int y) {
        return m.covers(x, y) && nearOutside(m, x, y, band) && !coveredBy(over, x, y);
    };
    // A sprite whose rim is mostly hidden under what is drawn over it is not on show.
    int rimPixels = 0, hidden = 0;
    for (int y = m.y0; y < m.y0 + m.h; ++y) {
        for (int x = m.x0; x < m.x0 + m.w; ++x) {
            if (!m.covers(x, y) || !nearOutside(m, x, y, band)) continue;
            ++rimPixels;
            if (coveredBy(over, x, y)) ++hidden;
        }
    }
    if (2 * hidden > rimPixels) return 0;
    std::vector<double> local;
    double body = 0, out = 0;
    int bodies = 0, outs = 0;
    for (int y = m.y0 - ring; y < m.y0 + m.h + ring; ++y) {
        for (int x = m.x0 - ring; x < m.x0 + m.w + ring; ++x) {
            if (x < 0 || y < 0 || x >= PlayFrame::kWidth || y >= PlayFrame::kHeight) continue;
            if (m.covers(x, y)) {
                if (!coveredBy(over, x, y)) body += frame.lum(x, y), ++bodies;
                continue;
            }
            if (!nearInside(m, x, y, ring) || ignored(x, y)) continue;
            double rim = 0;
            int rims = 0;
            for (int dy = -ring; dy <= ring; ++dy) {
                for (int dx = -ring; dx <= ring; ++dx) {
                    if (rimAt(x + dx, y + dy)) {
                        rim += frame.lum(x + dx, y + dy), ++rims;
                    }
                }
            }
            if (rims == 0) continue;
            const double l = frame.lum(x, y);
            out += l, ++outs;
            local.push_back(contrastRatio(rim / rims, l));
        }
    }
    if (local.empty() || bodies == 0) return 0;
    if (bodyRatio) *bodyRatio = contrastRatio(body / bodies, out / outs);
    std::nth_element(local.begin(), local.begin() + local.size() / 2, local.end());
    return local[local.size() / 2];
}

double inkContrast(const PlayFrame& frame, const std::vector<SpriteMask>& glyphs,
                   const std::vector<std::array<float, 4>>& covers) {
    auto covered = [&covers](int x, int y) {
        for (const std::array<float, 4>& r : covers) {
            if (x + 1 > r[0] && x < r[0] + r[2] && y + 1 > r[1] && y < r[1] + r[3]) return true;
        }
        return false;
    };
    auto ink = [&glyphs](int x, int y) {
        for (const SpriteMask& g : glyphs) {
            if (g.covers(x, y) && g.texelLum[(y - g.y0) * g.w + x - g.x0] >= kInkLum) return true;
        }
        return false;
    };
    double inkSum = 0, ringSum = 0;
    int inks = 0, rings = 0;
    for (const SpriteMask& g : glyphs) {
        for (int y = std::max(0, g.y0 - kHudRing);
             y < std::min(PlayFrame::kHeight, g.y0 + g.h + kHudRing); ++y) {
            for (int x = std::max(0, g.x0 - kHudRing);
                 x < std::min(PlayFrame::kWidth, g.x0 + g.w + kHudRing); ++x) {
                if (covered(x, y)) continue;
                if (ink(x, y)) {
                    inkSum += frame.lum(x, y), ++inks;
                    continue;
                }
                bool near = false;
                for (int dy = -kHudRing; dy <= kHudRing && !near; ++dy) {
                    for (int dx = -kHudRing; dx <= kHudRing && !near; ++dx)
                        near = ink(x + dx, y + dy);
                }
                if (near) ringSum += frame.lum(x, y), ++rings;
            }
        }
    }
    return inks > 0 && rings > 0 ? contrastRatio(inkSum / inks, ringSum / rings) : 0;
}

FrameContrast measureFrame(const PlayFrame& frame, const float* list, const FrameParts& parts) {
    FrameContrast c;
    std::vector<SpriteMask> labels;
    for (int index : parts.labels) labels.push_back(frame.mask(list, index));
    // Text and popups the game writes over a spike or the ball are theirs to make out: what
    // they cover counts neither as the sprite nor as its surroundings.
    std::vector<Overlay> overlays;
    for (int index : parts.overlays) {
        const float* rec = list + static_cast<size_t>(index) * kDrawStride;
        overlays.push_back({index, rec[0] == kCmdRect ? boxMask(rec[1], rec[2], rec[4], rec[5])
                                                      : frame.mask(list, index, kOverlayAlpha)});
    }
    for (int index : parts.spikes) {
        const SpriteMask m = frame.mask(list, index);
        // A spike the game writes a label across is the label's to make out, not the art's.
        if (!onScreen(m) || overlaps(m, labels)) continue;
        double body = 0;
        const double rim = rimContrast(frame, m, kRimBand, kRingWidth, {},
                                       overlaysOn(m, index, overlays, 2 * kRingWidth), &body);
        if (rim <= 0) continue;
        if (c.spikes == 0 || rim < c.spikeRim) {
            c.spikeRim = rim;
            c.spikeBody = body;
            c.spikeX = m.x0 + m.w / 2, c.spikeY = m.y0 + m.h / 2;
        }
        ++c.spikes;
    }
    if (parts.ball >= 0) {
        const SpriteMask m = frame.mask(list, parts.ball);
        // The trail behind the ball is the ball's own: it is left out of its surroundings.
        std::vector<SpriteMask> trail;
        for (int index : parts.trail) trail.push_back(frame.mask(list, index));
        if (onScreen(m)) {
            c.ball = rimContrast(frame, m, kRimBand, kRingWidth, trail,
                                 overlaysOn(m, parts.ball, overlays, 2 * kRingWidth), nullptr);
        }
        c.ballX = m.x0 + m.w / 2, c.ballY = m.y0 + m.h / 2;
    }
    // Head-up text: the union of its glyphs' ink against the pixels next to the ink.
    std::vector<SpriteMask> glyphs;
    for (int index : parts.hudGlyphs) glyphs.push_back(frame.mask(list, index));
    c.hud = inkContrast(frame, glyphs, parts.hudCovers);
    return c;
}

} // namespace assetgen
