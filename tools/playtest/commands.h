// The commands of the headless runner: each takes its own arguments (after the command's
// name) and the stream its results go to, and returns the process's exit status. The game's
// own log lines go to standard error, so the results stream carries nothing else.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

using PlaytestArgs = std::vector<std::string>;
using PlaytestCommand = int (*)(const PlaytestArgs& args, std::FILE* out);

struct PlaytestEntry {
    const char* name;
    const char* usage; // the arguments, as the usage line shows them
    const char* about;
    PlaytestCommand run;
};

// Whole decimal integers only ("12", "-3"); anything else is refused.
bool parseInt(const std::string& text, int* value);

// Prints "playtest: " and the message to standard error; returns kExitUsage.
int usageError(const std::string& message);

// A path the user gave, relative to the folder the runner was started in (the runner works
// in a scratch folder of its own, so no state file of the player's is read or written).
std::string userPath(const std::string& path);

// prove [--plans DIR] [--budget TICKS] [--jobs N] [LEVEL...]: winning plans, one line a level.
int runProve(const PlaytestArgs& args, std::FILE* out);
// replay [--expect FIGURES | --record FIGURES] FILE...: plays plan files again, a line each;
// 1 when one no longer wins or, with --expect, plays to other figures than recorded.
int runReplay(const PlaytestArgs& args, std::FILE* out);
// soak --seconds S --seed N: random play across every screen, checked after every tick.
int runSoak(const PlaytestArgs& args, std::FILE* out);

// course LEVEL COUNT: the class and variant of spikes 1..COUNT of a level.
int runCourse(const PlaytestArgs& args, std::FILE* out);
