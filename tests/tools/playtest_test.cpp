// The headless runner's course command, run as a program: its lines for a patterned level,
// the spikes it adds past the first hundred, a results stream free of the game's log lines,
// and exit status 2 with a message for arguments it cannot use.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/test_support.h"

namespace {
struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);) out.push_back(line);
    return out;
}
} // namespace

class PlaytestTest : public ::testing::Test {
  protected:
    TempDir dir;

    Outcome playtest(const std::string& args) {
        const char* bin = std::getenv("KP_BINARY_DIR");
        const std::string out = dir.path() + "/out.txt";
        const std::string err = dir.path() + "/err.txt";
        const std::string command = "cd '" + dir.path() + "' && '" + std::string(bin ? bin : ".") +
                                    "/tools/playtest/playtest' " + args + " >'" + out + "' 2>'" +
                                    err + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    }
};

TEST_F(PlaytestTest, CoursePrintsNumberClassAndVariantOfEachSpike) {
    const Outcome run = playtest("course 1 12");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 1 0\n2 1 0\n3 2 0\n4 1 0\n5 3 0\n6 3 0\n7 1 0\n8 2 0\n9 1 0\n10 1 0\n"
                       "11 5 0\n12 7 0\n");

    const Outcome walls = playtest("course 93 8");
    EXPECT_EQ(lines(walls.out).back(), "8 8 3");
}

TEST_F(PlaytestTest, CourseGoesOnPastTheFirstHundredWithoutTheGamesLogLines) {
    // Deja Vu repeats every five spikes and logs a line for each spike it adds.
    const Outcome run = playtest("course 43 212");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 212u);
    for (int k = 6; k <= 212; ++k) {
        const std::string& line = out[k - 1];
        const std::string& period = out[(k - 1) % 5];
        ASSERT_EQ(line, std::to_string(k) + period.substr(period.find(' '))) << k;
    }
    EXPECT_NE(run.err.find("215:43:1\n"), std::string::npos);
    EXPECT_NE(run.err.find("258:86:212\n"), std::string::npos);
}

TEST_F(PlaytestTest, ArgumentsItCannotUseExitWithTwo) {
    for (const char* args : {"course 0 5", "course 501 5", "course 3 0", "course 3 -1",
                             "course x 5", "course 3 5x", "course 3", "nonsense 1 2", ""}) {
        const Outcome run = playtest(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err, "") << args;
        EXPECT_EQ(run.out, "") << args;
    }
    EXPECT_EQ(playtest("course 500 1").status, 0);
}
