// The data folder's measurements. Images are judged at 1x as the player sees them: a frame's
// pixels laid over the theme's sky (its clear colour under the two backdrop rows), the body
// and the silhouette edge each compared with the sky, the better one counting, so a pale ball
// with a dark outline reads as well as a dark ball. Loudness is measured by loudness.cpp.
#include "tools/assetgen/report.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/assetgen/images.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wuseless-cast"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wduplicated-branches"
#pragma GCC diagnostic ignored "-Wnull-dereference"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <vorbis/vorbisfile.h>

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kLowSplitHz = 250.0;
constexpr double kSpeakerHz = 300.0; // small speakers give little below this
constexpr double kTopHz = 4000.0;
constexpr float kOpaque = 0.5f;
constexpr int kClasses = 14;
constexpr int kHistLevels = 4; // colour bins per channel for the likeness measure

Biquad lowPass(double rate, double hz) {
    double w = 2 * kPi * hz / rate, alpha = std::sin(w) / (2 * 0.7071067811865476);
    double a0 = 1 + alpha, c = std::cos(w);
    Biquad s;
    s.b0 = (1 - c) / 2 / a0;
    s.b1 = (1 - c) / a0;
    s.b2 = (1 - c) / 2 / a0;
    s.a1 = -2 * c / a0;
    s.a2 = (1 - alpha) / a0;
    return s;
}

Rgba over(const Rgba& top, const Rgba& under) {
    float a = top.a;
    return {top.r * a + under.r * (1 - a), top.g * a + under.g * (1 - a),
            top.b * a + under.b * (1 - a), 1};
}

struct Frame {
    const Canvas& c;
    int x0, y0, w, h;
    Rgba at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return {};
        return c.get(x0 + x, y0 + y);
    }
};

Frame blockFrame(const Canvas& blocks, int f) {
    int columns = std::max(1, blocks.width() / kBlockSize);
    return {blocks, (f % columns) * kBlockSize, (f / columns) * kBlockSize, kBlockSize, kBlockSize};
}

// Contrast of a sprite against a flat sky: the better of its body and its silhouette edge.
double spriteContrast(const Frame& f, const Rgba& sky) {
    double skyL = luminance(sky), body = 0, edge = 0;
    int nBody = 0, nEdge = 0;
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            Rgba p = f.at(x, y);
            if (p.a < kOpaque) continue;
            double l = luminance(over(p, sky));
            body += l;
            ++nBody;
            if (f.at(x - 1, y).a < kOpaque || f.at(x + 1, y).a < kOpaque ||
                f.at(x, y - 1).a < kOpaque || f.at(x, y + 1).a < kOpaque) {
                edge += l;
                ++nEdge;
            }
        }
    }
    if (nBody == 0) return 1.0;
    double c = contrastRatio(body / nBody, skyL);
    if (nEdge > 0) c = std::max(c, contrastRatio(edge / nEdge, skyL));
    return c;
}

void toHsv(const Rgba& c, double& h, double& s, double& v) {
    double mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
    v = mx;
    s = mx > 0 ? (mx - mn) / mx : 0;
    if (mx - mn <= 1e-6) {
        h = 0;
        return;
    }
    double d = mx - mn;
    if (mx == c.r)
        h = 60 * std::fmod((c.g - c.b) / d + 6, 6.0);
    else if (mx == c.g)
        h = 60 * ((c.b - c.r) / d + 2);
    else
        h = 60 * ((c.r - c.g) / d + 4);
}

Rgba meanColour(const Frame& f) {
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            Rgba p = f.at(x, y);
            if (p.a < kOpaque) continue;
            r += p.r;
            g += p.g;
            b += p.b;
            ++n;
        }
    }
    if (n == 0) return {};
    return {static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n), 1};
}

bool isDangerRed(const Rgba& p) {
    double h, s, v;
    toHsv(p, h, s, v);
    return (h >= 345 || h <= 20) && s >= 0.55 && v >= 0.45;
}

double dangerShare(const Frame& f) {
    int n = 0, red = 0;
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            Rgba p = f.at(x, y);
            if (p.a < kOpaque) continue;
            ++n;
            red += isDangerRed(p) ? 1 : 0;
        }
    }
    return n ? static_cast<double>(red) / n : 0;
}

std::vector<double> histogram(const Frame& f) {
    std::vector<double> bins(kHistLevels * kHistLevels * kHistLevels, 0.0);
    int n = 0;
    auto q = [](float v) {
        return std::clamp(static_cast<int>(v * kHistLevels), 0, kHistLevels - 1);
    };
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            Rgba p = f.at(x, y);
            if (p.a < kOpaque) continue;
            bins[static_cast<size_t>((q(p.r) * kHistLevels + q(p.g)) * kHistLevels + q(p.b))] += 1;
            ++n;
        }
    }
    for (double& b : bins) b = n ? b / n : 0;
    return bins;
}

// How round a silhouette is: its area over the disc reaching its farthest pixel, 0..1.
double roundness(const Frame& f) {
    double area = 0, cx = 0, cy = 0;
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            float a = f.at(x, y).a;
            area += a;
            cx += a * (x + 0.5);
            cy += a * (y + 0.5);
        }
    }
    if (area <= 0) return 0;
    cx /= area;
    cy /= area;
    double r2 = 0;
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x)
            if (f.at(x, y).a >= kOpaque)
                r2 =
                    std::max(r2, (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy));
    return r2 > 0 ? std::min(1.0, area / (kPi * r2)) : 0;
}

// How much scenery looks like the ball: the overlap of their coarse colour histograms times
// the scenery's roundness, 0..1.
double likeness(const Frame& ball, const Frame& b) {
    std::vector<double> ha = histogram(ball), hb = histogram(b);
    double s = 0;
    for (size_t i = 0; i < ha.size(); ++i) s += std::min(ha[i], hb[i]);
    return s * roundness(b);
}

// Standing scenery frames the game draws at double size on the ground line.
std::vector<int> standingFrames(const Theme& t) {
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) frames.push_back(kDecoLayer1 + i);
    if (t.look == Look::Parade || t.look == Look::Moon)
        for (int i = 0; i < 4; ++i) frames.push_back(kDecoLayer2 + i);
    return frames;
}

} // namespace

double lowShare(const Sound& sound, double hz) {
    Biquad lp = lowPass(sound.rate, hz);
    double low = 0, all = 0;
    size_t ch = static_cast<size_t>(sound.channels);
    for (size_t i = 0; i < sound.frames(); ++i) {
        double m = 0;
        for (size_t c = 0; c < ch; ++c) m += sound.samples[i * ch + c];
        m /= static_cast<double>(ch);
        double l = lp.run(m);
        low += l * l;
        all += m * m;
    }
    return all > 0 ? std::min(1.0, low / all) : 0.0;
}

double stereoWidth(const Sound& sound) {
    if (sound.channels != 2) return 0;
    double mid = 0, side = 0;
    for (size_t i = 0; i + 1 < sound.samples.size(); i += 2) {
        double l = sound.samples[i], r = sound.samples[i + 1];
        mid += (l + r) * (l + r);
        side += (l - r) * (l - r);
    }
    return mid > 0 ? side / mid : 0;
}

ThemeStats measureTheme(const Theme& theme, const Canvas& blocks, const Canvas& strips) {
    ThemeStats st;
    st.suffix = theme.suffix;
    // The sky: the clear colour under the two alternating backdrop rows, averaged.
    double r = 0, g = 0, b = 0, skyL = 0;
    int n = 0;
    for (int row = 0; row < 2; ++row) {
        for (int y = 0; y < kStripH; ++y) {
            for (int x = 0; x < std::min(kStripW, strips.width()); ++x) {
                Rgba p = over(strips.get(x, row * kStripH + y), theme.bg);
                r += p.r;
                g += p.g;
                b += p.b;
                skyL += luminance(p);
                ++n;
            }
        }
    }
    Rgba sky = {static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n), 1};
    st.skyLuminance = skyL / n;
    st.ball = 21;
    for (int f = kBallFrame; f < kBallFrame + 14; ++f)
        st.ball = std::min(st.ball, spriteContrast(blockFrame(blocks, f), sky));
    st.spikes = 21;
    st.danger = 1;
    for (int c = 0; c < kClasses; ++c) {
        Frame f = blockFrame(blocks, kSpikeFrame + c);
        st.spikes = std::min(st.spikes, spriteContrast(f, sky));
        st.danger = std::min(st.danger, dangerShare(f));
    }
    Frame ball = blockFrame(blocks, kBallFrame);
    double bh, bs, bv, sh, ss, sv;
    toHsv(meanColour(ball), bh, bs, bv);
    toHsv(meanColour(blockFrame(blocks, kSpikeFrame + 6)), sh, ss, sv);
    double gap = std::fabs(bh - sh);
    gap = std::min(gap, 360 - gap);
    st.hueGap = bs < 0.2 || ss < 0.2 ? 180.0 : gap;
    for (int f : standingFrames(theme)) {
        double k = likeness(ball, blockFrame(blocks, f));
        if (k > st.decoy) {
            st.decoy = k;
            st.decoyFrame = f;
        }
    }
    return st;
}

SoundStats measureSound(const std::string& name, const Sound& sound, bool tune) {
    SoundStats st;
    st.name = name;
    st.tune = tune;
    st.seconds = sound.rate > 0 ? static_cast<double>(sound.frames()) / sound.rate : 0;
    double sum = 0;
    for (float s : sound.samples) {
        st.peak = std::max(st.peak, static_cast<double>(std::fabs(s)));
        sum += s;
    }
    st.dc = sound.samples.empty() ? 0 : sum / static_cast<double>(sound.samples.size());
    // Tunes are levelled by their integrated loudness, effects by their momentary loudness.
    st.lufs = tune ? integratedLoudness(sound) : momentaryLoudness(sound);
    st.low = lowShare(sound, kLowSplitHz);
    st.width = stereoWidth(sound);
    st.above300 = highShare(sound, kSpeakerHz);
    st.top4kDb = bandAboveDb(sound, kTopHz);
    st.sideDb = sideToMidDb(sound);
    return st;
}

bool readPng(const std::string& path, Canvas& out) {
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 4);
    if (!px) return false;
    out = Canvas(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = px + (static_cast<size_t>(y) * w + x) * 4;
            out.set(x, y, rgb(p[0], p[1], p[2], p[3] / 255.0f));
        }
    }
    stbi_image_free(px);
    return true;
}

bool readWav(const std::string& path, Sound& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> d;
    unsigned char buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) d.insert(d.end(), buf, buf + got);
    std::fclose(f);
    auto u16 = [&](size_t at) { return static_cast<unsigned>(d[at] | (d[at + 1] << 8)); };
    auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
    if (d.size() < 12 || std::string(d.begin(), d.begin() + 4) != "RIFF") return false;
    int channels = 0, bits = 0, rate = 0;
    for (size_t at = 12; at + 8 <= d.size();) {
        std::string id(d.begin() + static_cast<long>(at), d.begin() + static_cast<long>(at) + 4);
        size_t size = u32(at + 4);
        size_t body = at + 8;
        if (body + size > d.size()) return false;
        if (id == "fmt " && size >= 16) {
            if (u16(body) != 1) return false;
            channels = static_cast<int>(u16(body + 2));
            rate = static_cast<int>(u32(body + 4));
            bits = static_cast<int>(u16(body + 14));
        } else if (id == "data") {
            if (bits != 16 || channels < 1) return false;
            out.rate = rate;
            out.channels = channels;
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = static_cast<int16_t>(u16(body + 2 * i)) / 32768.0f;
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

bool readOgg(const std::string& path, Sound& out) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    out.rate = static_cast<int>(vi->rate);
    out.channels = vi->channels;
    out.samples.clear();
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n < 0) {
            ov_clear(&vf);
            return false;
        }
        if (n == 0) break;
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < out.channels; ++c) out.samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    return true;
}

DataReport reportData(const std::string& dir) {
    DataReport rep;
    for (const Theme& t : themes()) {
        Canvas blocks(1, 1), strips(1, 1);
        std::string b = dir + "/blocks_world" + t.suffix + ".png";
        std::string s = dir + "/strips_world" + t.suffix + ".png";
        bool ok = true;
        if (!readPng(b, blocks)) {
            rep.missing.push_back(b);
            ok = false;
        }
        if (!readPng(s, strips)) {
            rep.missing.push_back(s);
            ok = false;
        }
        if (ok) rep.themes.push_back(measureTheme(t, blocks, strips));
    }
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir + "/sfx", ec))
        files.push_back(e.path());
    if (ec) rep.missing.push_back(dir + "/sfx");
    std::sort(files.begin(), files.end());
    for (const auto& p : files) {
        Sound s;
        bool tune = p.extension() == ".ogg";
        if (!tune && p.extension() != ".wav") continue;
        if (!(tune ? readOgg(p.string(), s) : readWav(p.string(), s))) {
            rep.missing.push_back(p.string());
            continue;
        }
        rep.sounds.push_back(measureSound(p.filename().string(), s, tune));
    }
    return rep;
}

void printReport(const DataReport& rep, std::FILE* out) {
    std::fprintf(out, "theme  sky-lum  ball  spikes  hue-gap  danger  decoy(frame)\n");
    for (const ThemeStats& t : rep.themes)
        std::fprintf(out, "%-5s  %7.3f  %4.2f  %6.2f  %7.0f  %6.2f  %.2f(%d)\n", t.suffix.c_str(),
                     t.skyLuminance, t.ball, t.spikes, t.hueGap, t.danger, t.decoy, t.decoyFrame);
    std::fprintf(out, "\nsound              secs   peak      dc    LUFS  <250Hz  width  >300Hz  "
                      ">4kHz dB  side dB\n");
    for (const SoundStats& s : rep.sounds)
        std::fprintf(out,
                     "%-16s %6.2f  %5.3f  %+6.4f  %6.1f  %5.0f%%  %5.2f  %5.0f%%  %8.1f  %7.1f\n",
                     s.name.c_str(), s.seconds, s.peak, s.dc, s.lufs, s.low * 100, s.width,
                     s.above300 * 100, s.top4kDb, s.sideDb);
    for (const std::string& m : rep.missing) std::fprintf(out, "unreadable: %s\n", m.c_str());
}

} // namespace assetgen
