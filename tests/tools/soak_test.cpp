// The display soak run briefly on the real game under Xvfb: it must finish by itself with
// status 0 (the game not ended, no texture alive that no image holds), print a sample every
// period with the game's textures all accounted for, and judge each figure at the end.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "support/process.h"
#include "support/test_support.h"

namespace {

constexpr int kSeconds = 24;
constexpr int kSamplePeriod = 4;

std::string buildDir() {
    const char* dir = std::getenv("KP_BINARY_DIR");
    return dir ? dir : ".";
}

} // namespace

TEST(DisplaySoak, AShortRunSamplesEveryPeriodAndAccountsForEveryTexture) {
    TempDir dir;
    ASSERT_TRUE(std::filesystem::is_directory(buildDir() + "/data"))
        << "the build's data folder is missing: build the target data";
    std::filesystem::create_directory_symlink(buildDir() + "/data", dir.file("data"));

    ChildProcess soak(buildDir() + "/tools/soak/soak",
                      {dir.path(), "--seconds", std::to_string(kSeconds), "--sample",
                       std::to_string(kSamplePeriod), "--seed", "7"},
                      dir.path(), dir.file("soak.txt"));
    const int status = soak.wait(kSeconds + 240.0); // generous: a loaded machine starts slowly
    const std::string out = readFile(dir.file("soak.txt"));
    ASSERT_EQ(status, 0) << out;

    // Sample lines: seconds, rss MB, fds, textures alive, textures held, commands, window,
    // screen, MB in use.
    std::istringstream lines(out);
    std::string line;
    int samples = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        double seconds = 0, rss = 0, inUse = 0;
        int fds = 0, alive = 0, held = 0, commands = 0, screen = 0;
        std::string window;
        if (!(fields >> seconds >> rss >> fds >> alive >> held)) continue;
        ++samples;
        EXPECT_TRUE(fields >> commands >> window >> screen >> inUse) << line;
        EXPECT_GT(rss, 0) << line;
        EXPECT_GT(inUse, 0) << line;
        EXPECT_GT(fds, 2) << line;
        EXPECT_EQ(alive, held) << line;
    }
    // The loop samples on time, catching up after a slow iteration; the first and last
    // samples are printed again at the end. A busy machine can hold one iteration (a
    // fullscreen flip reloads every image) past the end and the samples due meanwhile, so
    // only the start, one sample between and the end are certain.
    EXPECT_GE(samples, 3 + 2) << out;
    for (const char* figure :
         {"resident memory", "memory in use", "file descriptors", "textures alive", "draw list"}) {
        EXPECT_NE(out.find(figure), std::string::npos) << figure << "\n" << out;
    }
    // Counted figures are judged by their floor with no slack: rose when the second half's
    // lowest value lies above the first half's.
    for (const std::string figure : {"file descriptors", "textures alive", "draw list"}) {
        const size_t at = out.find(figure + " ");
        ASSERT_NE(at, std::string::npos) << out;
        std::string line = out.substr(at + figure.size(), out.find('\n', at) - at - figure.size());
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == ',' || c == ':'; }, ' ');
        std::istringstream verdict(line);
        std::string first, half1, second, half2, to1, to2, judged;
        double earlyLo = 0, earlyHi = 0, lateLo = 0, lateHi = 0;
        ASSERT_TRUE(verdict >> first >> half1 >> earlyLo >> to1 >> earlyHi >> second >> half2 >>
                    lateLo >> to2 >> lateHi >> judged)
            << out.substr(at, 120);
        EXPECT_LE(earlyLo, earlyHi);
        EXPECT_LE(lateLo, lateHi);
        EXPECT_EQ(judged, lateLo > earlyLo ? "ROSE" : "flat") << out.substr(at, 120);
    }
    EXPECT_NE(out.find("fullscreen keys"), std::string::npos) << out;
}
