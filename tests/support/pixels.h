// Window pixels as the display tests read them back: one pixel from a render device as red,
// green and blue, and EXPECT_RGB, which allows kRgbTolerance for the rounding of blending and
// of the byte conversion.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "graphics/gxtkGraphics.h"

struct Rgb {
    int r, g, b;
    int brightest() const { return std::max({r, g, b}); }
};

constexpr int kRgbTolerance = 2;

// The pixel at (x, y), top-left origin, of what device has drawn.
inline Rgb readRgb(gxtkGraphics& device, int x, int y) {
    std::array<int, 1> p = {};
    device.ReadPixels(p, x, y, 1, 1, 0, 1);
    unsigned v = static_cast<unsigned>(p[0]);
    return {static_cast<int>(v >> 16 & 255), static_cast<int>(v >> 8 & 255),
            static_cast<int>(v & 255)};
}

#define EXPECT_RGB(actual, red, green, blue)                                                       \
    do {                                                                                           \
        Rgb got_ = (actual);                                                                       \
        EXPECT_NEAR(got_.r, red, kRgbTolerance) << #actual;                                        \
        EXPECT_NEAR(got_.g, green, kRgbTolerance) << #actual;                                      \
        EXPECT_NEAR(got_.b, blue, kRgbTolerance) << #actual;                                       \
    } while (0)
