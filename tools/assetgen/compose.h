// The composer's song description: key and mode, a chord progression, a form of phrases,
// and the instruments and patterns of the band (lead, bass, arpeggio, pad, drums). The
// composer turns it into notes (melody motifs fitted to the chords) and renders a stereo mix,
// either as a seamless loop (the release tails wrap round to the start) or with an ending.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/synth.h"
#include "tools/assetgen/writers.h"

namespace assetgen {

struct Instrument {
    Wave wave = Wave::Square;
    float volume = 0.2f;
    Envelope env;
    float cutoff = 0;  // low-pass in Hz, 0 open
    float vibrato = 0; // depth as a fraction of the pitch
    float fmRatio = 2;
    float fmIndex = 0;
    float pan = 0;
    float duty = 0.5f;
};

struct SongStyle {
    int bpm = 120;
    int root = 60;                // MIDI note of the key's tonic
    std::vector<int> scale;       // seven semitone offsets of the mode
    std::vector<int> progression; // chord per bar as scale degree 0..6, cycled
    std::string form = "AABA";    // one letter per four-bar phrase
    float density = 0.5f;         // chance of a melody note on a free step
    float swing = 0;              // delay of odd sixteenths, fraction of a step
    int leadOctave = 1;           // melody octave above the root
    Instrument lead;
    Instrument bass;
    std::string bassPattern = "R.......R...F..."; // per bar: R root, F fifth, O octave, T third
    Instrument arp;                               // volume 0: no arpeggio
    std::string arpPattern = "0120"; // chord tones 0..2 (3: root an octave up), "." rests
    Instrument pad;                  // volume 0: no pad
    std::string kick = "x.......x.......";
    std::string snare = "....x.......x...";
    std::string hat = "x.x.x.x.x.x.x.x.";
    float drumVolume = 1.0f;
    int kit = 0;         // drum kit: 0 acoustic, 1 electronic, 2 brushes, 3 chip
    float echo = 0.25f;  // lead echo send (0 none)
    int introBars = 0;   // bars of band without melody at the start
    bool ending = false; // final tonic chord and ring-out instead of a loop
    unsigned seed = 1;
};

// Every tune is brought to this loudness (LUFS), under a peak ceiling.
constexpr double kTuneLufs = -16.0;
constexpr float kTuneCeiling = 0.9f;

// Renders the song at kMusicRate in stereo. Loops come out exactly form length long.
Sound composeSong(const SongStyle& style);

// Seconds one bar lasts.
float barSeconds(const SongStyle& style);

// Common modes.
extern const std::vector<int> kMajor;
extern const std::vector<int> kMinor;
extern const std::vector<int> kDorian;
extern const std::vector<int> kMixolydian;
extern const std::vector<int> kLydian;
extern const std::vector<int> kHarmonicMinor;

} // namespace assetgen
