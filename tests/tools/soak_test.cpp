// The display soak run briefly on the real game under Xvfb: it must finish by itself with
// status 0 (the game not ended, no texture alive that no image holds), print a sample every
// period with the game's textures all accounted for, and judge each figure at the end.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "support/process.h"
#include "support/test_support.h"

namespace {

constexpr int kSeconds = 24;
constexpr int kSamplePeriod = 4;

} // namespace

TEST(DisplaySoak, AShortRunSamplesEveryPeriodAndAccountsForEveryTexture) {
    TempDir dir;
    ASSERT_TRUE(std::filesystem::is_directory(buildDir() + "/data"))
        << "the build's data folder is missing: build the target data";
    std::filesystem::create_directory_symlink(buildDir() + "/data", dir.file("data"));

    ChildProcess soak(buildDir() + "/tools/soak/soak",
                      {dir.path(), "--seconds", std::to_string(kSeconds), "--sample",
                       std::to_string(kSamplePeriod), "--seed", "7", "--trim"},
                      dir.path(), dir.file("soak.txt"));
    const int status = soak.wait(kSeconds + 240.0); // generous: a loaded machine starts slowly
    const std::string out = readFile(dir.file("soak.txt"));
    ASSERT_EQ(status, 0) << out;

    // Sample lines: seconds, rss MB, fds, textures alive, textures held, commands, window,
    // screen, MB in use, theme, MB the images account for, anonymous MB, the allocator's free
    // MB, MB resident after the free pages went back, sound MB, the music channel's MB.
    std::istringstream lines(out);
    std::string line;
    int samples = 0;
    double mostSound = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        double seconds = 0, rss = 0, inUse = 0, images = 0, anon = 0, free = -1, trimmed = 0;
        double sound = -1, music = -1;
        int fds = 0, alive = 0, held = 0, commands = 0, screen = 0, theme = 0;
        std::string window;
        if (!(fields >> seconds >> rss >> fds >> alive >> held)) continue;
        ++samples;
        EXPECT_TRUE(fields >> commands >> window >> screen >> inUse >> theme >> images >> anon >>
                    free >> trimmed >> sound >> music)
            << line;
        // The tune on the music channel is one of the buffers alive.
        EXPECT_GE(music, 0) << line;
        EXPECT_GE(sound, music) << line;
        mostSound = std::max(mostSound, sound);
        EXPECT_GT(rss, 0) << line;
        // The images' pixels and textures live in the process's own allocations; the font's
        // copy is always loaded.
        EXPECT_GT(images, 0) << line;
        EXPECT_LE(images, inUse) << line;
        EXPECT_GT(fds, 2) << line;
        // Resident memory is more than its anonymous part: the program's code is mapped from
        // files. (What stays after the trim is read later, while the loader may be at work.)
        EXPECT_GT(anon, 0) << line;
        EXPECT_LT(anon, rss) << line;
        EXPECT_GE(free, 0) << line;
        EXPECT_GT(trimmed, 0) << line;
        EXPECT_EQ(alive, held) << line;
    }
    // The loop samples on time, catching up after a slow iteration; the first and last
    // samples are printed again at the end. A busy machine can hold one iteration (a
    // fullscreen flip reloads every image) past the end and the samples due meanwhile, so
    // only the start, one sample between and the end are certain.
    EXPECT_GE(samples, 3 + 2) << out;
    // The game's sound effects are loaded once the loader has run (the null backend mixes).
    EXPECT_GT(mostSound, 0) << out;
    // Each figure is judged state by state; the word follows the count of states that rose.
    // Textures alive always equal the images' textures, which are part of the state, so they
    // cannot rise within one.
    for (const std::string figure :
         {"resident memory", "memory in use", "file descriptors", "textures alive",
          "anonymous memory", "resident trimmed", "sound memory"}) {
        const size_t at = out.find(figure + " ");
        ASSERT_NE(at, std::string::npos) << out;
        std::string line = out.substr(at + figure.size(), out.find('\n', at) - at - figure.size());
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == ';' || c == ',' || c == ':'; }, ' ');
        std::istringstream verdict(line);
        double lo = 0, hi = 0;
        int states = 0, rose = 0;
        std::string to, statesWord, seen, twice, in, both, halves, roseWord, inWord, judged;
        ASSERT_TRUE(verdict >> lo >> to >> hi >> states >> statesWord >> seen >> twice >> in >>
                    both >> halves >> roseWord >> inWord >> rose >> judged)
            << out.substr(at, 120);
        EXPECT_LE(lo, hi);
        EXPECT_LE(rose, states);
        EXPECT_EQ(judged, states == 0 ? "too" : (rose > 0 ? "ROSE" : "flat"))
            << out.substr(at, 120);
        if (figure == "textures alive") {
            EXPECT_EQ(rose, 0) << out.substr(at, 120);
        }
    }
    // The draw list: rose when the second half's smallest lies above the first half's largest,
    // both within the range.
    const size_t at = out.find("draw list ");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string drawLine = out.substr(at, out.find('\n', at) - at);
    int lo = 0, hi = 0, earlyMost = 0, lateLeast = 0;
    char judged[8] = {};
    ASSERT_EQ(std::sscanf(drawLine.c_str(),
                          "draw list %d to %d; largest %d in the first half, smallest %d in the "
                          "second: %7s",
                          &lo, &hi, &earlyMost, &lateLeast, judged),
              5)
        << drawLine;
    EXPECT_LE(lo, lateLeast) << drawLine;
    EXPECT_LE(earlyMost, hi) << drawLine;
    EXPECT_STREQ(judged, lateLeast > earlyMost ? "ROSE" : "flat") << drawLine;
    EXPECT_NE(out.find("fullscreen keys"), std::string::npos) << out;
}
