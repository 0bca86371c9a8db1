// Integrated loudness: the two-stage K-weighting (a high shelf near 1.7 kHz, a high-pass near
// 38 Hz) with coefficients derived for the sound's own rate, mean square per channel in 400 ms
// blocks every 100 ms, a -70 LUFS absolute gate and a relative gate 10 LU under the first
// pass. Momentary loudness: the loudest 400 ms window, stepped every 10 ms, of the same
// weighted power. The normaliser sets a sound to a target loudness under a soft peak ceiling.
#include "tools/assetgen/loudness.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kBlockSeconds = 0.4;
constexpr double kStepSeconds = 0.1;
constexpr double kMomentaryStepSeconds = 0.01;
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;
constexpr float kKnee = 0.75f; // share of the ceiling where the limiter starts to bend
constexpr int kPasses = 2;     // gain and limit, then once more from the new level

// High shelf of the K-weighting: +4 dB above about 1.7 kHz.
Biquad shelfStage(double rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    double k = std::tan(kPi * f0 / rate);
    double vh = std::pow(10.0, gainDb / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Biquad s;
    s.b0 = (vh + vb * k / q + k * k) / a0;
    s.b1 = 2.0 * (k * k - vh) / a0;
    s.b2 = (vh - vb * k / q + k * k) / a0;
    s.a1 = 2.0 * (k * k - 1.0) / a0;
    s.a2 = (1.0 - k / q + k * k) / a0;
    return s;
}

// High-pass of the K-weighting, about 38 Hz.
Biquad highPassStage(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    double k = std::tan(kPi * f0 / rate);
    double a0 = 1.0 + k / q + k * k;
    Biquad s;
    s.b0 = 1.0;
    s.b1 = -2.0;
    s.b2 = 1.0;
    s.a1 = 2.0 * (k * k - 1.0) / a0;
    s.a2 = (1.0 - k / q + k * k) / a0;
    return s;
}

double toLufs(double meanSquare) {
    return meanSquare > 0 ? -0.691 + 10.0 * std::log10(meanSquare) : kSilentLufs;
}

// K-weighted squares per frame, summed over the channels (each weighted 1).
std::vector<double> weightedSquares(const Sound& sound) {
    const size_t frames = sound.frames();
    const int ch = sound.channels;
    std::vector<double> sq(frames, 0.0);
    for (int c = 0; c < ch; ++c) {
        Biquad shelf = shelfStage(sound.rate), hp = highPassStage(sound.rate);
        for (size_t i = 0; i < frames; ++i) {
            double y = hp.run(
                shelf.run(sound.samples[i * static_cast<size_t>(ch) + static_cast<size_t>(c)]));
            sq[i] += y * y;
        }
    }
    return sq;
}

} // namespace

double integratedLoudness(const Sound& sound) {
    size_t frames = sound.frames();
    int ch = sound.channels;
    if (frames == 0 || ch < 1) return kSilentLufs;
    const std::vector<double> sq = weightedSquares(sound);
    size_t block = static_cast<size_t>(kBlockSeconds * sound.rate);
    size_t step = static_cast<size_t>(kStepSeconds * sound.rate);
    std::vector<double> blocks;
    if (frames < block) {
        double s = 0;
        for (double v : sq) s += v;
        blocks.push_back(s / static_cast<double>(frames));
    } else {
        std::vector<double> prefix(frames + 1, 0.0);
        for (size_t i = 0; i < frames; ++i) prefix[i + 1] = prefix[i] + sq[i];
        for (size_t start = 0; start + block <= frames; start += step)
            blocks.push_back((prefix[start + block] - prefix[start]) / static_cast<double>(block));
    }
    auto gatedMean = [&](double gate) {
        double s = 0;
        int n = 0;
        for (double z : blocks) {
            if (toLufs(z) > gate) {
                s += z;
                ++n;
            }
        }
        return n ? s / n : 0.0;
    };
    double first = gatedMean(kAbsoluteGate);
    if (first <= 0) return kSilentLufs;
    return toLufs(gatedMean(std::max(kAbsoluteGate, toLufs(first) + kRelativeGate)));
}

double momentaryLoudness(const Sound& sound) {
    const size_t frames = sound.frames();
    if (frames == 0 || sound.channels < 1) return kSilentLufs;
    const std::vector<double> sq = weightedSquares(sound);
    std::vector<double> prefix(frames + 1, 0.0);
    for (size_t i = 0; i < frames; ++i) prefix[i + 1] = prefix[i] + sq[i];
    // A sound shorter than the window is heard with silence after it.
    const size_t block = static_cast<size_t>(kBlockSeconds * sound.rate);
    const size_t step =
        std::max<size_t>(1, static_cast<size_t>(kMomentaryStepSeconds * sound.rate));
    double loudest = 0;
    for (size_t start = 0; start == 0 || start + block <= frames; start += step) {
        const double energy = prefix[std::min(frames, start + block)] - prefix[start];
        loudest = std::max(loudest, energy / static_cast<double>(block));
        if (start + block >= frames) break;
    }
    return toLufs(loudest);
}

void normaliseLoudness(Sound& sound, double targetLufs, float ceiling, LoudnessMeasure measure) {
    float knee = kKnee * ceiling, room = ceiling - knee;
    for (int pass = 0; pass < kPasses; ++pass) {
        double now = measure == LoudnessMeasure::Momentary ? momentaryLoudness(sound)
                                                           : integratedLoudness(sound);
        if (now <= kSilentLufs) return;
        float gain = static_cast<float>(std::pow(10.0, (targetLufs - now) / 20.0));
        for (float& s : sound.samples) {
            float v = s * gain, a = std::fabs(v);
            if (a > knee) v = std::copysign(knee + room * std::tanh((a - knee) / room), v);
            s = v;
        }
    }
}

} // namespace assetgen
