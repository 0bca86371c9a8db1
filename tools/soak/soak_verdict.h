// The display soak's samples and its verdict on them, shared by the soak (which takes the
// samples and prints them as it goes) and by `soak --judge` and the tests (which read a run's
// printed samples back). Each figure is judged within the states seen at least twice in each
// half of the run, a state being the window size, screen, theme, images held and their memory,
// and the tune the music channel holds; the draw list by whether its second half lies wholly
// above its first. Leans on nothing but the C library.
#pragma once

#include <cstdio>
#include <vector>

namespace soak {

constexpr double kAbsent = -1; // a figure an older run's output does not have

// One sample of a run, as it is printed on one line.
struct Sample {
    double seconds = 0;
    double rssMb = 0;
    double inUseMb = 0; // allocated and not freed, by the allocator's count
    int fds = 0;
    int textures = 0; // alive in the driver
    int held = 0;     // held by the game's images
    int drawCommands = 0;
    int width = 0, height = 0;
    int screen = 0;
    int theme = 0;
    double imageMb = 0;         // pixel copies, textures and prefetched pixels of the game's images
    double anonMb = kAbsent;    // resident and not backed by a file
    double freeMb = kAbsent;    // free in the allocator's arenas, resident or not
    double trimmedMb = kAbsent; // resident after the allocator's free pages went back (--trim)
    double soundMb = kAbsent;   // in every OpenAL buffer alive
    double musicMb = kAbsent;   // in the buffer the music channel holds (its last tune)
};

// Prints s as one line of a run's output.
void printSample(std::FILE* out, const Sample& s);

// Reads one sample line into s: false for any other line. Older runs printed neither the
// anonymous memory nor the free bytes, nor later the sound memory; "-" is a figure not taken
// (the trimmed one without --trim).
bool parseSample(const char* line, Sample& s);

// The sample lines of a run's output, up to its closing summary.
std::vector<Sample> readSamples(std::FILE* in);

// Prints the verdict on the samples v, a line per figure; fewer than four are too few.
void printVerdict(std::FILE* out, const std::vector<Sample>& v);

} // namespace soak
