// The math module: absolute value and maximum for ints and floats.
#pragma once

inline int kp_math_Abs(int x) {
    return x < 0 ? -x : x;
}
inline float kp_math_Abs2(float x) {
    return x < 0.0f ? -x : x;
}
// Returns the first argument when the two are equal.
inline int kp_math_Max(int x, int y) {
    return x >= y ? x : y;
}
inline float kp_math_Max2(float x, float y) {
    return x >= y ? x : y;
}
