// Plan files: a winning round's inputs, one character per update tick after p_LoadGame_Ball.
//   level L clock C
//   0000111...   ('1' go key held during that tick, '0' not; lines of at most 100 characters)
// C is the clock in milliseconds at set-up (the generator is seeded from it, as the menu
// does); it then advances 1000/60 ms a tick, read in whole milliseconds.
#pragma once

#include <string>

constexpr int kPlanLineLength = 100;

struct Plan {
    int level = 0;
    int clock = 0;
    std::string ticks; // '0' and '1' only
};

// The file's text for a plan.
std::string formatPlan(const Plan& plan);
// Reads a plan's text; false with a reason for anything but the format above.
bool parsePlan(const std::string& text, Plan* plan, std::string* reason);

// DIR/level-LLL.plan
std::string planFileName(const std::string& dir, int level);
bool writePlanFile(const std::string& path, const Plan& plan);
bool readPlanFile(const std::string& path, Plan* plan, std::string* reason);
