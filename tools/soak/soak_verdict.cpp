// The soak's verdict: samples printed and read back, and each figure judged state by state.
#include "tools/soak/soak_verdict.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace soak {

namespace {

constexpr double kRssTolerance = 0.05; // a later floor this much above an earlier: growing
constexpr double kRssToleranceMb = 4.0;
constexpr size_t kLeastPerHalf = 2; // samples of a state in each half before it is judged

// What a sample's figures follow besides time: the window size, the screen, the theme, the
// images held and the memory they account for (which art size is loaded, and whether the
// loader holds the next images' pixels), and the memory of the tune the music channel holds
// (each tune is as long as it is), to the tenth of a MB they are printed with. Samples in the
// same state are compared with each other.
bool sameState(const Sample& a, const Sample& b) {
    auto tenths = [](double mb) { return std::llround(mb * 10); };
    return a.width == b.width && a.height == b.height && a.screen == b.screen &&
           a.theme == b.theme && a.held == b.held && tenths(a.imageMb) == tenths(b.imageMb) &&
           tenths(a.musicMb) == tenths(b.musicMb);
}

// The draw list is built anew every frame, and within one state it spans what is on screen,
// from a level's first frame to its busiest: neither its highest nor its lowest few samples
// hold still. A list that is not emptied, or keeps some of every frame's commands, grows with
// every frame and so lifts every later sample above every earlier one, whatever the state:
// it rose when the second half's smallest size lies above the first half's largest.
void printDrawVerdict(std::FILE* out, const std::vector<Sample>& v) {
    const size_t half = v.size() / 2;
    int lo = v[0].drawCommands, hi = lo, earlyMost = lo, lateLeast = v.back().drawCommands;
    for (size_t i = 0; i < v.size(); ++i) {
        const int commands = v[i].drawCommands;
        lo = std::min(lo, commands);
        hi = std::max(hi, commands);
        if (i < half) {
            earlyMost = std::max(earlyMost, commands);
        } else {
            lateLeast = std::min(lateLeast, commands);
        }
    }
    std::fprintf(
        out, "%-17s %d to %d; largest %d in the first half, smallest %d in the second: %s\n",
        "draw list", lo, hi, earlyMost, lateLeast, lateLeast > earlyMost ? "ROSE" : "flat");
}

} // namespace

void printSample(std::FILE* out, const Sample& s) {
    std::fprintf(out, "%8.0f %9.1f %5d %9d %6d %8d %6dx%-5d %6d %9.1f %5d %9.1f %9.1f %9.1f",
                 s.seconds, s.rssMb, s.fds, s.textures, s.held, s.drawCommands, s.width, s.height,
                 s.screen, s.inUseMb, s.theme, s.imageMb, s.anonMb, s.freeMb);
    if (s.trimmedMb == kAbsent) {
        std::fprintf(out, " %10s", "-");
    } else {
        std::fprintf(out, " %10.1f", s.trimmedMb);
    }
    std::fprintf(out, " %9.1f %9.1f\n", s.soundMb, s.musicMb);
    std::fflush(out);
}

bool parseSample(const char* line, Sample& s) {
    s = Sample{};
    int n = 0;
    if (std::sscanf(line, "%lf %lf %d %d %d %d %dx%d %d %lf %d %lf%n", &s.seconds, &s.rssMb, &s.fds,
                    &s.textures, &s.held, &s.drawCommands, &s.width, &s.height, &s.screen,
                    &s.inUseMb, &s.theme, &s.imageMb, &n) != 12) {
        return false;
    }
    double* later[] = {&s.anonMb, &s.freeMb, &s.trimmedMb, &s.soundMb, &s.musicMb};
    size_t read = 0;
    for (const char* at = line + n; read < std::size(later); ++read) {
        char word[32];
        int used = 0;
        if (std::sscanf(at, "%31s%n", word, &used) != 1) break;
        at += used;
        char* end = nullptr;
        const double value = std::strtod(word, &end);
        if (std::strcmp(word, "-") == 0) {
            *later[read] = kAbsent;
        } else if (*end == '\0') {
            *later[read] = value;
        } else {
            return false;
        }
    }
    // Each output printed none of the later figures, the first two, three, or all five.
    return read == 0 || read == 2 || read == 3 || read == std::size(later);
}

std::vector<Sample> readSamples(std::FILE* in) {
    std::vector<Sample> samples;
    char line[512];
    Sample s;
    while (std::fgets(line, sizeof line, in) && std::strncmp(line, "input:", 6) != 0) {
        if (parseSample(line, s)) samples.push_back(s);
    }
    return samples;
}

// Judges each figure state by state: a leak, or memory kept for good, lifts every later sample
// of a state above that state's earlier ones, while across states the figures follow the
// window size and what is on screen. A state rose when its lowest value in the second half
// of the samples lies above its lowest in the first half by more than the figure's slack,
// each half's lowest taken over the same number of the state's samples.
void printVerdict(std::FILE* out, const std::vector<Sample>& v) {
    if (v.size() < 4) {
        std::fprintf(out, "too few samples to judge flatness\n");
        return;
    }
    struct Row {
        const char* name;
        double (*figure)(const Sample&);
        double share; // slack: this share of the early floor, and at least `least`
        double least;
    } rows[] = {
        {"resident memory", [](const Sample& s) { return s.rssMb; }, kRssTolerance,
         kRssToleranceMb},
        {"memory in use", [](const Sample& s) { return s.inUseMb; }, kRssTolerance,
         kRssToleranceMb},
        {"file descriptors", [](const Sample& s) { return double(s.fds); }, 0, 0},
        {"textures alive", [](const Sample& s) { return double(s.textures); }, 0, 0},
        {"anonymous memory", [](const Sample& s) { return s.anonMb; }, kRssTolerance,
         kRssToleranceMb},
        {"resident trimmed", [](const Sample& s) { return s.trimmedMb; }, kRssTolerance,
         kRssToleranceMb},
        {"sound memory", [](const Sample& s) { return s.soundMb; }, kRssTolerance, kRssToleranceMb},
    };
    const size_t half = v.size() / 2;
    for (const Row& row : rows) {
        // A figure the run did not take (no --trim, an older run's output) is not judged.
        if (std::any_of(v.begin(), v.end(),
                        [&row](const Sample& s) { return row.figure(s) == kAbsent; })) {
            continue;
        }
        double lo = row.figure(v[0]), hi = lo;
        int states = 0, rose = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            lo = std::min(lo, row.figure(v[i]));
            hi = std::max(hi, row.figure(v[i]));
            // Each state once, at its first sample of the first half.
            bool first = i < half;
            for (size_t j = 0; j < i && first; ++j) first = !sameState(v[i], v[j]);
            if (!first) continue;
            std::vector<double> early, late;
            for (size_t j = i; j < v.size(); ++j) {
                if (sameState(v[i], v[j])) (j < half ? early : late).push_back(row.figure(v[j]));
            }
            // One sample cannot tell noise from a trend.
            const size_t k = std::min(early.size(), late.size());
            if (k < kLeastPerHalf) continue;
            // The lowest of many samples lies below the lowest of a few by chance alone, so
            // both floors are taken over as many samples: the state's first k of the first
            // half against its last k of the second, as far apart in time as the run allows.
            const double earlyFloor = *std::min_element(early.begin(), early.begin() + k);
            const double lateFloor = *std::min_element(late.end() - k, late.end());
            ++states;
            if (lateFloor > earlyFloor + std::max(row.least, earlyFloor * row.share)) ++rose;
        }
        std::fprintf(out,
                     "%-17s %.1f to %.1f; %d states seen twice in both halves, rose in %d: %s\n",
                     row.name, lo, hi, states, rose,
                     states == 0 ? "too few states to judge"
                     : rose > 0  ? "ROSE"
                                 : "flat");
    }
    printDrawVerdict(out, v);
}

} // namespace soak
