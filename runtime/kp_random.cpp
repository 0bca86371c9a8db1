// seed = seed * 1664525 + 1013904223 (mod 2^32); each draw is the top 24 bits as a fraction,
// so it is never 1. Results are computed in double and returned as float.
#include "runtime/kp_random.h"

#include <cstdint>

namespace {
constexpr uint32_t kMultiplier = 1664525u;
constexpr uint32_t kIncrement = 1013904223u;
constexpr double kTop24 = 1.0 / 16777216.0;

double draw() {
    uint32_t seed = static_cast<uint32_t>(kp_random_Seed) * kMultiplier + kIncrement;
    kp_random_Seed = static_cast<int>(seed);
    return static_cast<double>(seed >> 8) * kTop24;
}
} // namespace

int kp_random_Seed = 1234;

float kp_random_Rnd() {
    return static_cast<float>(draw());
}

float kp_random_Rnd3(float range) {
    return static_cast<float>(draw() * range);
}

float kp_random_Rnd2(float low, float high) {
    double r = draw();
    return static_cast<float>(low + (static_cast<double>(high) - low) * r);
}
