// The display soak's verdict, given samples written as a run prints them (soak --judge): each
// figure is judged within the states seen at least twice in each half, a state being the
// window size, screen, theme, images held and the memory they account for; the first sample
// and the closing summary are left out; the draw list is judged by each half's largest.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/test_support.h"

namespace {

struct Row {
    double rss, inUse;
    int fds, textures, commands;
    const char* window;
    double images;
};

// A run's output: the header, one sample a minute from the rows (textures held equal those
// alive; play, theme 1), then the summary, whose lines must not count as samples.
std::string runOutput(const std::vector<Row>& rows) {
    std::string out = "soak: 600 s, seed 1, a sample every 60 s\n seconds    rss MB   fds\n";
    char line[160];
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        std::snprintf(line, sizeof line, "%8zu %9.1f %5d %9d %6d %8d %12s %6d %9.1f %5d %9.1f\n",
                      i * 60, r.rss, r.fds, r.textures, r.textures, r.commands, r.window, 10,
                      r.inUse, 1, r.images);
        out += line;
    }
    out += "input: 10 keys, 3 clicks\nfirst and last samples:\n";
    out += "       0     900.0    99        17     17      900    640x480        10     900.0     "
           "1      28.9\n";
    return out;
}

std::string judge(const std::vector<Row>& rows) {
    TempDir dir;
    writeFile(dir.file("run.txt"), runOutput(rows));
    ChildProcess soak(buildDir() + "/tools/soak/soak", {"--judge", dir.file("run.txt")}, dir.path(),
                      dir.file("verdict.txt"));
    EXPECT_EQ(soak.wait(60.0), 0);
    return readFile(dir.file("verdict.txt"));
}

// The verdict line of figure.
std::string verdictOf(const std::string& out, const std::string& figure) {
    const size_t at = out.find(figure + " ");
    if (at == std::string::npos) return "missing: " + out;
    return out.substr(at, out.find('\n', at) - at);
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(SoakJudge, AFigureRisesOnlyWhenAStateSeenTwiceInEachHalfClimbs) {
    // The first sample (a high draw list and little memory at start-up) is no baseline.
    const Row first = {80, 5, 12, 3, 400, "1280x1024", 28.9};
    // Play at 1280x1024 with three textures: the memory in use climbs 10 MB in this state and
    // a descriptor stays open, while resident memory wanders within its slack; at 640x480
    // (other art, more memory) the figures stay.
    const Row a1 = {150, 50, 10, 3, 120, "1280x1024", 28.9};
    const Row a2 = {156, 51, 10, 3, 200, "1280x1024", 28.9};
    const Row a3 = {152, 60, 11, 3, 130, "1280x1024", 28.9};
    const Row a4 = {155, 62, 11, 3, 140, "1280x1024", 28.9};
    const Row b = {180, 78, 10, 17, 150, "640x480", 54.3};
    // Once in each half only: a rise there is not judged.
    const Row c1 = {170, 70, 10, 5, 100, "800x600", 33.0};
    const Row c2 = {240, 140, 14, 5, 100, "800x600", 33.0};
    // The same window and textures while the loader holds the next images' pixels.
    const Row d = {260, 160, 10, 3, 120, "1280x1024", 115.5};
    const std::string out = judge({first, a1, b, c1, a2, b, d, a3, b, c2, d, a4, b});

    EXPECT_EQ(verdictOf(out, "memory in use"),
              "memory in use     50.0 to 160.0; 2 states seen twice in both halves, rose in 1: "
              "ROSE");
    EXPECT_EQ(verdictOf(out, "resident memory"),
              "resident memory   150.0 to 260.0; 2 states seen twice in both halves, rose in 0: "
              "flat");
    EXPECT_EQ(verdictOf(out, "file descriptors"),
              "file descriptors  10.0 to 14.0; 2 states seen twice in both halves, rose in 1: "
              "ROSE");
    EXPECT_TRUE(has(verdictOf(out, "textures alive"), "rose in 0: flat")) << out;
    // The start-up sample's 400 commands are left out.
    EXPECT_EQ(verdictOf(out, "draw list"),
              "draw list         100 to 200; highest 200 in the first half, 150 in the second: "
              "flat");
}

TEST(SoakJudge, TheDrawListRisesWhenTheSecondHalfsLargestIsAQuarterAboveTheFirsts) {
    const Row calm = {150, 50, 10, 3, 200, "1280x1024", 28.9};
    Row busy = calm;
    busy.commands = 249; // within a quarter
    EXPECT_TRUE(has(verdictOf(judge({calm, calm, calm, busy, busy}), "draw list"), ": flat"));
    busy.commands = 251;
    EXPECT_TRUE(has(verdictOf(judge({calm, calm, calm, busy, busy}), "draw list"), ": ROSE"));
}

TEST(SoakJudge, TheImagesMemoryIsPartOfTheState) {
    // Later samples of the same window and textures hold the next theme's pixels as well: a
    // state of its own, not a rise of the first.
    const Row plain = {150, 50, 10, 3, 120, "1280x1024", 28.9};
    const Row loading = {240, 140, 10, 3, 120, "1280x1024", 115.5};
    const Row menu = {180, 78, 10, 17, 150, "640x480", 54.3};
    const std::string out = judge({plain, plain, menu, plain, menu, loading, menu, loading, menu});
    EXPECT_TRUE(has(verdictOf(out, "memory in use"), "1 states seen twice in both halves, rose "
                                                     "in 0: flat"))
        << out;
}

TEST(SoakJudge, TooFewSamplesOrStatesAreSaidSo) {
    const Row one = {150, 50, 10, 3, 120, "1280x1024", 28.9};
    Row other = one;
    other.window = "640x480";
    EXPECT_TRUE(has(judge({one, one, one}), "too few samples to judge flatness"));
    // Five samples, but no state twice in both halves.
    EXPECT_TRUE(has(verdictOf(judge({one, one, one, other, other}), "memory in use"),
                    "0 states seen twice in both halves, rose in 0: too few states to judge"));
}
