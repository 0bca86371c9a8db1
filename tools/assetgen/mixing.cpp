// Mix shaping with biquad sections whose coefficients are derived for the sound's own rate.
#include "tools/assetgen/mixing.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/loudness.h"

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kButterworthQ = 0.7071067811865476;
constexpr double kShelfHz = 3000.0;
constexpr double kShelfDb = 6.0;
constexpr double kSideGain = 1.6;        // the arrangement's own side, raised
constexpr double kSpreadSeconds = 0.011; // delay of the mid copy put into the side
constexpr double kSpreadGain = 0.22;
constexpr double kSpreadFromHz = 400.0; // the spread leaves the bass centred
constexpr double kTailSeconds = 0.02;   // kept after the last audible sample
constexpr double kSilentDb = -120.0;
constexpr double kPrimeSeconds = 0.25;

Biquad highPassSection(double rate, double hz) {
    const double k = std::tan(kPi * hz / rate);
    const double a0 = 1.0 + k / kButterworthQ + k * k;
    Biquad s;
    s.b0 = 1.0 / a0;
    s.b1 = -2.0 / a0;
    s.b2 = 1.0 / a0;
    s.a1 = 2.0 * (k * k - 1.0) / a0;
    s.a2 = (1.0 - k / kButterworthQ + k * k) / a0;
    return s;
}

// High shelf (RBJ form, slope 1).
Biquad highShelf(double rate, double hz, double gainDb) {
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w = 2 * kPi * hz / rate;
    const double cs = std::cos(w), alpha = std::sin(w) / 2 * std::sqrt(2.0);
    const double sq = 2 * std::sqrt(a) * alpha;
    const double a0 = (a + 1) - (a - 1) * cs + sq;
    Biquad s;
    s.b0 = a * ((a + 1) + (a - 1) * cs + sq) / a0;
    s.b1 = -2 * a * ((a - 1) + (a + 1) * cs) / a0;
    s.b2 = a * ((a + 1) + (a - 1) * cs - sq) / a0;
    s.a1 = 2 * ((a - 1) - (a + 1) * cs) / a0;
    s.a2 = ((a + 1) - (a - 1) * cs - sq) / a0;
    return s;
}

// Runs the filter over every channel, first over the sound's last moments with the output
// dropped, so a looping tune enters its start as it would coming round from its end.
void runEach(Sound& sound, const Biquad& design) {
    const size_t ch = static_cast<size_t>(sound.channels);
    const size_t frames = sound.frames();
    const size_t prime = std::min(frames, static_cast<size_t>(kPrimeSeconds * sound.rate));
    for (size_t c = 0; c < ch; ++c) {
        Biquad f = design;
        for (size_t i = (frames - prime) * ch + c; i < sound.samples.size(); i += ch) {
            f.run(sound.samples[i]);
        }
        for (size_t i = c; i < sound.samples.size(); i += ch) {
            sound.samples[i] = static_cast<float>(f.run(sound.samples[i]));
        }
    }
}

} // namespace

void highPass(Sound& sound, double hz) {
    runEach(sound, highPassSection(sound.rate, hz));
}

void masterTune(Sound& sound) {
    runEach(sound, highShelf(sound.rate, kShelfHz, kShelfDb));
    if (sound.channels != 2) return;
    const size_t frames = sound.frames();
    const size_t delay = static_cast<size_t>(kSpreadSeconds * sound.rate);
    std::vector<float> mid(frames);
    for (size_t i = 0; i < frames; ++i) {
        mid[i] = 0.5f * (sound.samples[2 * i] + sound.samples[2 * i + 1]);
    }
    Biquad hp = highPassSection(sound.rate, kSpreadFromHz);
    std::vector<float> spread(frames, 0.0f);
    // The copy wraps round the end, and its filter starts from the end's last moments, so a
    // looping tune stays seamless.
    auto delayed = [&](size_t i) { return mid[(i + frames - delay % frames) % frames]; };
    const size_t prime = std::min(frames, static_cast<size_t>(kPrimeSeconds * sound.rate));
    for (size_t i = frames - prime; i < frames; ++i) hp.run(delayed(i));
    for (size_t i = 0; i < frames; ++i) spread[i] = static_cast<float>(hp.run(delayed(i)));
    for (size_t i = 0; i < frames; ++i) {
        const float l = sound.samples[2 * i], r = sound.samples[2 * i + 1];
        const float m = 0.5f * (l + r);
        const float s = static_cast<float>(0.5 * (l - r) * kSideGain + kSpreadGain * spread[i]);
        sound.samples[2 * i] = m + s;
        sound.samples[2 * i + 1] = m - s;
    }
}

void trimSilentTail(Sound& sound, float threshold) {
    const size_t ch = static_cast<size_t>(sound.channels);
    size_t last = 0;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        if (std::fabs(sound.samples[i]) > threshold) last = i / ch + 1;
    }
    const size_t keep =
        std::min(sound.frames(), last + static_cast<size_t>(kTailSeconds * sound.rate));
    sound.samples.resize(keep * ch);
}

double highShare(const Sound& sound, double hz) {
    Biquad hp = highPassSection(sound.rate, hz);
    double high = 0, all = 0;
    const size_t ch = static_cast<size_t>(sound.channels);
    for (size_t i = 0; i < sound.frames(); ++i) {
        double m = 0;
        for (size_t c = 0; c < ch; ++c) m += sound.samples[i * ch + c];
        m /= static_cast<double>(ch);
        const double h = hp.run(m);
        high += h * h;
        all += m * m;
    }
    return all > 0 ? std::min(1.0, high / all) : 0.0;
}

double bandAboveDb(const Sound& sound, double hz) {
    const double share = highShare(sound, hz);
    return share > 0 ? 10.0 * std::log10(share) : kSilentDb;
}

double sideToMidDb(const Sound& sound) {
    if (sound.channels != 2) return kSilentDb;
    double mid = 0, side = 0;
    for (size_t i = 0; i + 1 < sound.samples.size(); i += 2) {
        const double l = sound.samples[i], r = sound.samples[i + 1];
        mid += (l + r) * (l + r);
        side += (l - r) * (l - r);
    }
    return mid > 0 && side > 0 ? 10.0 * std::log10(side / mid) : kSilentDb;
}

} // namespace assetgen
