// Oscillators use polyBLEP corrections on the square and saw edges, which keeps the high notes
// free of harsh aliasing at 44.1 kHz. The filter is a one-pole low-pass run twice (12 dB per
// octave). Noise comes from a seeded LCG so every render is identical.
#include "tools/assetgen/synth.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float kTwoPi = 6.28318531f;
constexpr float kSoftClip = 1.2f; // curvature of the final soft clip

float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

} // namespace

float Envelope::level(float t, float len) const {
    if (t < 0) return 0;
    auto held = [&](float u) {
        if (u < attack) return attack > 0 ? u / attack : 1.0f;
        u -= attack;
        if (u < decay) return 1.0f + (sustain - 1.0f) * (decay > 0 ? u / decay : 1.0f);
        return sustain;
    };
    if (t < len) return held(t);
    float r = t - len;
    if (r >= release) return 0;
    return held(len) * (1.0f - r / std::max(release, 1e-4f));
}

float noteHz(float midi) {
    return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f);
}

void renderVoice(std::vector<float>& buf, int channels, int rate, long start, float length,
                 const Voice& v) {
    long frames = static_cast<long>((length + v.env.release) * static_cast<float>(rate));
    long total = static_cast<long>(buf.size()) / channels;
    float phase = 0, modPhase = 0, lp1 = 0, lp2 = 0;
    uint32_t noise = v.seed * 747796405u + 2891336453u;
    float noiseHold = 0;
    float gl = v.pan < 0 ? 1.0f : 1.0f - v.pan, gr = v.pan > 0 ? 1.0f : 1.0f + v.pan;
    const float inv = 1.0f / static_cast<float>(rate);
    for (long i = 0; i < frames; ++i) {
        long at = start + i;
        if (at >= total) break;
        float t = static_cast<float>(i) * inv;
        float env = v.env.level(t, length);
        if (at < 0) continue;
        float u = std::min(1.0f, t / std::max(length, 1e-4f));
        float f = v.freq;
        if (v.freqEnd > 0) f = v.freq * std::pow(v.freqEnd / v.freq, std::pow(u, v.glideCurve));
        if (v.vibratoDepth > 0) f *= 1.0f + v.vibratoDepth * std::sin(kTwoPi * v.vibratoHz * t);
        float dt = std::min(0.49f, f * inv);
        float s = 0;
        switch (v.wave) {
        case Wave::Sine:
            s = std::sin(kTwoPi * phase);
            break;
        case Wave::Triangle:
            s = 4.0f * std::fabs(phase - 0.5f) - 1.0f;
            break;
        case Wave::Square:
        case Wave::Pulse25: {
            float duty = v.wave == Wave::Pulse25 ? 0.25f : v.duty;
            s = phase < duty ? 1.0f : -1.0f;
            s += polyBlep(phase, dt);
            s -= polyBlep(std::fmod(phase + 1.0f - duty, 1.0f), dt);
            // A pulse of duty d averages 2d - 1: take it away so narrow pulses carry no DC.
            s -= 2.0f * duty - 1.0f;
            break;
        }
        case Wave::Saw:
            s = 2.0f * phase - 1.0f - polyBlep(phase, dt);
            break;
        case Wave::Noise:
            // Sample-and-hold at the voice's frequency gives pitched, crunchy noise.
            if (phase < dt || i == 0) {
                noise = noise * 1664525u + 1013904223u;
                noiseHold = static_cast<float>(noise >> 8) / 8388608.0f - 1.0f;
            }
            s = noiseHold;
            break;
        case Wave::Fm: {
            float index = v.fmIndex * env;
            s = std::sin(kTwoPi * phase + index * std::sin(kTwoPi * modPhase));
            modPhase += f * v.fmRatio * inv;
            modPhase -= std::floor(modPhase);
            break;
        }
        }
        phase += f * inv;
        phase -= std::floor(phase);
        if (v.cutoff > 0) {
            float c = v.cutoffEnd > 0 ? v.cutoff * std::pow(v.cutoffEnd / v.cutoff, u) : v.cutoff;
            float a = 1.0f - std::exp(-kTwoPi * c * inv);
            lp1 += a * (s - lp1);
            lp2 += a * (lp1 - lp2);
            s = lp2;
        }
        s *= env * v.volume;
        if (channels == 1) {
            buf[static_cast<size_t>(at)] += s;
        } else {
            buf[static_cast<size_t>(at) * 2] += s * gl;
            buf[static_cast<size_t>(at) * 2 + 1] += s * gr;
        }
    }
}

void finishMix(std::vector<float>& buf, float peak) {
    float m = 0;
    for (float s : buf) m = std::max(m, std::fabs(s));
    if (m <= 0) return;
    // Scale to the peak, then bend through a gentle tanh curve that keeps the peak where it is
    // and lifts the quieter body of the mix.
    float gain = 1.0f / m;
    for (float& s : buf) s = peak * std::tanh(kSoftClip * s * gain) / std::tanh(kSoftClip);
}

} // namespace assetgen
