// Shaping for the mix the player hears, often on small laptop speakers that give little below
// about 200 Hz: a high-pass that moves an effect's weight above the speaker's low end, the
// master stage of every tune (brighter top, wider stereo), the trim of a tune's silent tail,
// and the measures the report and the tests judge the mix by.
#pragma once

#include "tools/assetgen/writers.h"

namespace assetgen {

// Second-order high-pass (Butterworth) over every channel.
void highPass(Sound& sound, double hz);

// A tune's master: a high shelf lifting the top above about 3 kHz, and the stereo side raised
// with a delayed, high-passed copy of the mid so that even a centred arrangement opens up.
void masterTune(Sound& sound);

// Cuts the digital silence after the last sample above `threshold`, keeping a short tail.
void trimSilentTail(Sound& sound, float threshold);

// Energy share of the mono mix above `hz` (0..1).
double highShare(const Sound& sound, double hz);
// Energy of the mono mix above `hz` against the whole, in dB (0 or below).
double bandAboveDb(const Sound& sound, double hz);
// Energy of the side (L-R) against the mid (L+R), in dB; very low for mono.
double sideToMidDb(const Sound& sound);

} // namespace assetgen
