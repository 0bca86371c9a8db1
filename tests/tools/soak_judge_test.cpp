// The display soak's verdict, given samples written as a run prints them (soak --judge): each
// figure is judged within the states seen at least twice in each half, a state being the
// window size, screen, theme, images held and the memory they account for and the tune the
// music channel holds; the draw list, by whether its second half lies wholly above its first.
// The first sample and the closing summary are left out.
// The figures a run did not take (older runs, no --trim) are not judged.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/soak/soak_verdict.h"

namespace {

struct Row {
    double rss, inUse;
    int fds, textures, commands;
    const char* window;
    double images;
    double anon = 60;
    double trimmed = -1; // below 0: the run took no such figure and prints "-"
    double sound = 20, music = 6.1;
};

// How a run printed its samples: before the anonymous and free memory were added, before the
// sound memory was, or now.
enum class Columns { kOlder, kNoSound, kCurrent };

// A run's output: the header, one sample a minute from the rows (textures held equal those
// alive; play, theme 1), then the summary, whose lines must not count as samples.
std::string runOutput(const std::vector<Row>& rows, Columns columns) {
    std::string out = "soak: 600 s, seed 1, a sample every 60 s\n seconds    rss MB   fds\n";
    char line[160];
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        std::snprintf(line, sizeof line, "%8zu %9.1f %5d %9d %6d %8d %12s %6d %9.1f %5d %9.1f",
                      i * 60, r.rss, r.fds, r.textures, r.textures, r.commands, r.window, 10,
                      r.inUse, 1, r.images);
        out += line;
        if (columns != Columns::kOlder) {
            std::snprintf(line, sizeof line, " %9.1f %9.1f", r.anon, 2.5);
            out += line;
            if (r.trimmed < 0) {
                out += "          -";
            } else {
                std::snprintf(line, sizeof line, " %10.1f", r.trimmed);
                out += line;
            }
        }
        if (columns == Columns::kCurrent) {
            std::snprintf(line, sizeof line, " %9.1f %9.1f", r.sound, r.music);
            out += line;
        }
        out += "\n";
    }
    out += "input: 10 keys, 3 clicks\nfirst and last samples:\n";
    out += "       0     900.0    99        17     17      900    640x480        10     900.0     "
           "1      28.9\n";
    return out;
}

std::string judge(const std::vector<Row>& rows, Columns columns = Columns::kCurrent) {
    std::string text = runOutput(rows, columns);
    std::FILE* in = fmemopen(text.data(), text.size(), "r");
    EXPECT_NE(in, nullptr);
    if (!in) return "";
    std::vector<soak::Sample> samples = soak::readSamples(in);
    std::fclose(in);
    EXPECT_FALSE(samples.empty());
    if (samples.empty()) return "";
    // As the run judges them: the first sample left out.
    samples.erase(samples.begin());
    char* verdict = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&verdict, &size);
    EXPECT_NE(out, nullptr);
    if (!out) return "";
    soak::printVerdict(out, samples);
    std::fclose(out);
    std::string result(verdict, size);
    std::free(verdict);
    return result;
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
              "draw list         100 to 200; largest 200 in the first half, smallest 100 in the "
              "second: flat");
}

TEST(SoakJudge, TheDrawListRisesWhenTheSecondHalfLiesWhollyAboveTheFirst) {
    const Row calm = {150, 50, 10, 3, 200, "1280x1024", 28.9};
    Row busy = calm, burst = calm;
    busy.commands = 201;
    burst.commands = 900;
    auto drawList = [](const std::vector<Row>& rows) {
        return verdictOf(judge(rows), "draw list");
    };
    // Every later sample above every earlier one, by however little: the list grows.
    EXPECT_TRUE(has(drawList({calm, calm, calm, busy, busy}), ": ROSE"));
    // Level with the first half's largest, or one sample down among them: no growth.
    EXPECT_TRUE(has(drawList({calm, calm, calm, calm, calm}), ": flat"));
    EXPECT_TRUE(has(drawList({calm, calm, busy, calm, busy}), ": flat"));
    // One busy moment late in the run, or a state whose few samples dip early, is no climb.
    EXPECT_TRUE(has(drawList({calm, calm, calm, calm, burst, calm, calm}), ": flat"));
    // A list that keeps commands from frame to frame.
    std::vector<Row> kept;
    for (int i = 0; i < 9; ++i) {
        kept.push_back(calm);
        kept.back().commands = 200 + 40 * i;
    }
    EXPECT_EQ(verdictOf(judge(kept), "draw list"),
              "draw list         240 to 520; largest 360 in the first half, smallest 400 in the "
              "second: ROSE");
}

TEST(SoakJudge, TheTunesMemoryIsPartOfTheStateAndTheSoundMemoryIsJudged) {
    // Play holds the menu's tune or its theme's, 6 MB more: each its own state, no rise.
    const Row menuTune = {150, 50, 10, 3, 120, "1280x1024", 28.9, 60, -1, 20.0, 6.1};
    const Row themeTune = {156, 56, 10, 3, 120, "1280x1024", 28.9, 60, -1, 26.0, 12.1};
    const std::string tunes = judge({menuTune, menuTune, themeTune, menuTune, themeTune, menuTune,
                                     themeTune, menuTune, themeTune});
    EXPECT_TRUE(has(verdictOf(tunes, "memory in use"), "2 states seen twice in both halves, rose "
                                                       "in 0: flat"))
        << tunes;
    // With the same tune held, buffers left alive pile up.
    Row piled = menuTune;
    piled.sound = 26.0;
    const std::string leak = judge({menuTune, menuTune, menuTune, piled, piled});
    EXPECT_EQ(verdictOf(leak, "sound memory"),
              "sound memory      20.0 to 26.0; 1 states seen twice in both halves, rose in 1: "
              "ROSE");
    EXPECT_TRUE(has(verdictOf(leak, "memory in use"), "rose in 0: flat")) << leak;
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

TEST(SoakJudge, AnonymousAndTrimmedMemoryAreJudgedOnlyWhenTheRunTookThem) {
    // Resident memory climbs 20 MB in its anonymous part, and all of it goes once the
    // allocator's free pages are given back: kept free, not held.
    const Row early = {150, 50, 10, 3, 120, "1280x1024", 28.9, 80, 130};
    const Row late = {170, 50, 10, 3, 120, "1280x1024", 28.9, 100, 131};
    const std::string trimmed = judge({early, early, early, late, late});
    EXPECT_TRUE(has(verdictOf(trimmed, "resident memory"), "rose in 1: ROSE")) << trimmed;
    EXPECT_EQ(verdictOf(trimmed, "anonymous memory"),
              "anonymous memory  80.0 to 100.0; 1 states seen twice in both halves, rose in 1: "
              "ROSE");
    EXPECT_EQ(verdictOf(trimmed, "resident trimmed"),
              "resident trimmed  130.0 to 131.0; 1 states seen twice in both halves, rose in 0: "
              "flat");

    // A run without --trim prints "-": its other figures are judged, that one is not.
    Row plainEarly = early, plainLate = late;
    plainEarly.trimmed = plainLate.trimmed = -1;
    const std::string plain = judge({plainEarly, plainEarly, plainEarly, plainLate, plainLate});
    EXPECT_TRUE(has(verdictOf(plain, "anonymous memory"), "rose in 1: ROSE")) << plain;
    EXPECT_FALSE(has(plain, "resident trimmed")) << plain;

    // Older runs' output, without the last five columns or the last two, is still judged.
    const std::string older = judge({early, early, early, late, late}, Columns::kOlder);
    EXPECT_TRUE(has(verdictOf(older, "resident memory"), "rose in 1: ROSE")) << older;
    EXPECT_FALSE(has(older, "anonymous memory")) << older;
    EXPECT_FALSE(has(older, "resident trimmed")) << older;
    EXPECT_FALSE(has(older, "sound memory")) << older;
    const std::string noSound = judge({early, early, early, late, late}, Columns::kNoSound);
    EXPECT_TRUE(has(verdictOf(noSound, "anonymous memory"), "rose in 1: ROSE")) << noSound;
    EXPECT_TRUE(has(verdictOf(noSound, "resident trimmed"), "rose in 0: flat")) << noSound;
    EXPECT_FALSE(has(noSound, "sound memory")) << noSound;
}

TEST(SoakJudge, BothHalvesFloorsAreTakenOverAsManySamples) {
    // Seen four times in the first half and twice in the second, from the same spread: the
    // lowest of four lies below the lowest of two by chance, which is no rise.
    auto at = [](double rss) { return Row{rss, 50, 10, 3, 120, "1280x1024", 28.9}; };
    const Row first = {80, 5, 12, 3, 400, "1280x1024", 28.9};
    const Row menu = {180, 78, 10, 17, 150, "640x480", 54.3};
    const std::string spread = judge(
        {first, at(150), at(152), at(140), at(151), menu, menu, menu, menu, at(150), at(151)});
    EXPECT_TRUE(has(verdictOf(spread, "resident memory"), "1 states seen twice in both halves, "
                                                          "rose in 0: flat"))
        << spread;
    // A climb still shows with the counts uneven.
    const std::string climb = judge(
        {first, at(150), at(152), at(140), at(151), menu, menu, menu, menu, at(170), at(171)});
    EXPECT_TRUE(has(verdictOf(climb, "resident memory"), "rose in 1: ROSE")) << climb;
    // The second half's floor is its latest samples', where a leak has grown the most.
    const std::string lateClimb = judge(
        {first, at(150), at(151), menu, menu, menu, at(150), at(151), at(170), at(171), menu});
    EXPECT_TRUE(has(verdictOf(lateClimb, "resident memory"), "rose in 1: ROSE")) << lateClimb;
}
