// Sound synthesis shared by the effects and the music: band-limited oscillators, envelopes,
// a deterministic noise source, one-pole filters, and a voice renderer that mixes one note
// (pitch glide, vibrato, filter sweep, envelope, pan) into a stereo or mono buffer.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

enum class Wave { Sine, Triangle, Square, Saw, Noise, Pulse25, Fm };

struct Envelope {
    float attack = 0.005f; // seconds
    float decay = 0.1f;    // seconds to fall to sustain
    float sustain = 0.7f;  // level 0..1
    float release = 0.1f;  // seconds after the note's end
    float level(float t, float noteLength) const;
};

struct Voice {
    Wave wave = Wave::Square;
    float freq = 440;     // Hz at the start
    float freqEnd = 0;    // Hz at the end of the note (0: no glide)
    float glideCurve = 1; // >1 bends late, <1 early
    float vibratoHz = 0;
    float vibratoDepth = 0; // fraction of the pitch
    float duty = 0.5f;      // pulse width for Square
    float fmRatio = 2;      // modulator ratio for Fm
    float fmIndex = 0;      // modulation index for Fm (decays with the envelope)
    float cutoff = 0;       // low-pass start in Hz (0: open)
    float cutoffEnd = 0;    // low-pass end in Hz (0: same as start)
    float volume = 0.3f;
    float pan = 0; // -1 left .. 1 right
    Envelope env;
    uint32_t seed = 1; // noise seed
};

// Mixes the voice into buf (interleaved, `channels` 1 or 2) from frame `start` for `length`
// seconds plus the release. Frames past the buffer are dropped.
void renderVoice(std::vector<float>& buf, int channels, int rate, long start, float length,
                 const Voice& v);

// MIDI note number to Hz.
float noteHz(float midi);

// Soft clip of the whole buffer and peak normalising to `peak`.
void finishMix(std::vector<float>& buf, float peak);

} // namespace assetgen
