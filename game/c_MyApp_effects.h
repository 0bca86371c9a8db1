// The layout the three effect pools share (particles, stars, decorations): 510 records of ten
// floats each, the slot of every value in a record, the range a reset accepts, and one random
// draw Rnd(a, b) = a + (b - a) r of the framework's generator. Private to the effects files.
#pragma once

#include <algorithm>

#include "runtime/kp_random.h"

namespace fx {

constexpr int kStride = 10;
constexpr int kRecords = 510;
// Reset methods accept a new "last in use" index in this range and ignore any other.
constexpr int kResetMin = 1;
constexpr int kResetMax = 499;

// Slots of a record. Particles: kind, position, speed, angle, spin, life, colour, frame.
constexpr int kKind = 0;
constexpr int kX = 1;
constexpr int kY = 2;
constexpr int kSpeedX = 3;
constexpr int kSpeedY = 4;
constexpr int kAngle = 5;
constexpr int kSpin = 6;
constexpr int kLife = 7;
constexpr int kColour = 8;
constexpr int kPartFrame = 9; // or the number a pop-up shows
// Stars and decorations: frame first, depth (parallax factor and alpha) in the speed slot.
constexpr int kFrame = 0;
constexpr int kDepth = 3;
constexpr int kSize = 7;  // decorations: 1 or 2
constexpr int kLayer = 9; // decorations: 1, 2, 4 or 5

// The frame count of "parts" and of a random frame draw: floor(Rnd(0, 255.99)).
constexpr float kFrameDrawTop = 255.99f;

inline float rnd(float a, float b) {
    return kp_random_Rnd2(a, b);
}

inline bool acceptsCount(int n) {
    return n >= kResetMin && n <= kResetMax;
}

// The last record a loop may visit: the index, kept inside the pool should a caller have
// written a larger one into the field.
inline int lastRecord(int last) {
    return std::min(last, kRecords - 1);
}

} // namespace fx
