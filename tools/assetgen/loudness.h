// Loudness of a sound as a listener hears it (K-weighted, gated, in LUFS) and a normaliser
// that brings a sound to a target loudness while keeping its peaks under a ceiling.
#pragma once

#include "tools/assetgen/writers.h"

namespace assetgen {

// A second-order filter section (transposed direct form II), a0 normalised to 1.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    double run(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// Integrated loudness in LUFS. Sounds shorter than a block are measured as one block; silence
// gives kSilentLufs.
constexpr double kSilentLufs = -99.0;
double integratedLoudness(const Sound& sound);

// Momentary loudness in LUFS: the loudest 400 ms window, a shorter sound counted with silence
// after it. This is how loud a short effect is heard, however long its file: a 60 ms tick
// spreads its energy over the window where the integrated measure keeps it over 60 ms.
double momentaryLoudness(const Sound& sound);

// Which loudness a normaliser aims at: integrated (music) or momentary (short effects).
enum class LoudnessMeasure { Integrated, Momentary };

// Scales the sound to targetLufs; peaks above three quarters of the ceiling are bent softly so
// none passes it. A silent sound is left alone.
void normaliseLoudness(Sound& sound, double targetLufs, float ceiling,
                       LoudnessMeasure measure = LoudnessMeasure::Integrated);

} // namespace assetgen
