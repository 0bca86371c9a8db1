// Measurements of a generated data folder, read back from its files: per theme the luminance
// contrast of ball and spikes against the sky they are seen on, how far the spikes' colour is
// from the ball's, and how much the scenery drawn at double size looks like the ball; per
// sound its peak, DC offset, integrated loudness (K-weighted, gated), share of power below
// 250 Hz and stereo width. `assetgen --report DIR` prints them; the tests hold them to limits.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/themes.h"
#include "tools/assetgen/writers.h"

namespace assetgen {

// Share of the sound's power below `hz` (second-order low-pass split), 0..1.
double lowShare(const Sound& sound, double hz);
// Side power over mid power; 0 for mono or identical channels.
double stereoWidth(const Sound& sound);

struct ThemeStats {
    std::string suffix;
    double skyLuminance = 0;
    double ball = 0;   // worst contrast over the ball frames (body or outline, the better)
    double spikes = 0; // worst over the fourteen spike frames
    double hueGap = 0; // degrees between ball and spike colour; 180 when the ball is neutral
    double danger = 0; // least share of danger-red pixels over the spike frames
    double decoy = 0;  // likeness of the most ball-like scenery frame drawn at 2x, 0..1
    int decoyFrame = -1;
};

struct SoundStats {
    std::string name; // file name under sfx/
    bool tune = false;
    double seconds = 0;
    double peak = 0;
    double dc = 0;
    double lufs = kSilentLufs; // integrated for tunes, momentary for effects
    double low = 0;            // share of power below 250 Hz
    double width = 0;          // stereo width
    double above300 = 0;       // share of power above 300 Hz: what a laptop speaker still gives
    double top4kDb = 0;        // power above 4 kHz against the whole, dB
    double sideDb = 0;         // side against mid, dB
};

struct DataReport {
    std::vector<ThemeStats> themes;
    std::vector<SoundStats> sounds;
    std::vector<std::string> missing; // files that could not be read
};

// Measures one theme from its 1x block and strip images.
ThemeStats measureTheme(const Theme& theme, const Canvas& blocks, const Canvas& strips);
// Measures one sound.
SoundStats measureSound(const std::string& name, const Sound& sound, bool tune);
// Reads and measures the data folder at dir.
DataReport reportData(const std::string& dir);
// Prints the tables.
void printReport(const DataReport& report, std::FILE* out);

// Image and sound readers used by the report.
bool readPng(const std::string& path, Canvas& out);
bool readWav(const std::string& path, Sound& out);
bool readOgg(const std::string& path, Sound& out);

} // namespace assetgen
