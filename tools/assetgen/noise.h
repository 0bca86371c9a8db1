// Deterministic randomness for the generator: an integer hash, value noise with fractal sums,
// and a small seeded generator. Nothing here reads the clock, so every run paints and composes
// the same bytes.
#pragma once

#include <cmath>
#include <cstdint>

namespace assetgen {

inline uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline uint32_t hash3(int a, int b, int c) {
    return hash32(static_cast<uint32_t>(a) * 73856093U ^
                  hash32(static_cast<uint32_t>(b) * 19349663U) ^
                  static_cast<uint32_t>(c) * 83492791U);
}

// 0..1 from three integers.
inline float hashUnit(int a, int b, int c) {
    return (hash3(a, b, c) & 0xffffff) / 16777216.0f;
}

// Smooth value noise in 0..1; period wraps x every `wrap` units when wrap > 0 (tiling strips).
inline float valueNoise(float x, float y, int seed, int wrap = 0) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    auto at = [&](int i, int j) {
        if (wrap > 0) i = ((i % wrap) + wrap) % wrap;
        return hashUnit(i, j, seed);
    };
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = at(xi, yi), b = at(xi + 1, yi), c = at(xi, yi + 1), d = at(xi + 1, yi + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

// Fractal sum of four octaves, 0..1.
inline float fbm(float x, float y, int seed, int wrap = 0) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < 4; ++o) {
        sum += amp * valueNoise(x, y, seed + o * 101, wrap);
        norm += amp;
        x *= 2;
        y *= 2;
        wrap *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

// A small seeded generator for composition and scattering.
class Rng {
  public:
    explicit Rng(uint32_t seed) : state_(seed * 2654435761U + 1U) {}
    uint32_t next() {
        state_ = state_ * 1664525U + 1013904223U;
        return hash32(state_);
    }
    float unit() { return (next() & 0xffffff) / 16777216.0f; }
    float range(float a, float b) { return a + (b - a) * unit(); }
    int pick(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

  private:
    uint32_t state_;
};

} // namespace assetgen
