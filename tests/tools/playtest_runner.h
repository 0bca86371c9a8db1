// Runs the headless playtest runner as a program from the tests: a fixture with a scratch
// folder that becomes the runner's working directory, its exit status and both output
// streams, and splitting its output into lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/test_support.h"

struct PlaytestOutcome {
    int status;
    std::string out;
    std::string err;
};

inline std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);) out.push_back(line);
    return out;
}

class PlaytestRunner : public ::testing::Test {
  protected:
    TempDir dir;

    // Runs `playtest ARGS` in the scratch folder.
    PlaytestOutcome playtest(const std::string& args) {
        const std::string out = dir.path() + "/out.txt";
        const std::string err = dir.path() + "/err.txt";
        const std::string command = "cd '" + dir.path() + "' && '" + buildDir() +
                                    "/tools/playtest/playtest' " + args + " >'" + out + "' 2>'" +
                                    err + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    }
};
