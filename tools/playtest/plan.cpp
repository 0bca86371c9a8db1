// Reading and writing plan files, strictly: a plan with anything beyond its header line and
// its lines of '0' and '1' is refused rather than played differently from how it was written.
#include "tools/playtest/plan.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/playtest/commands.h"

bool parseInt(const std::string& text, int* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
    if (text[0] == ' ' || text[0] == '+' || text[0] == '\t') return false;
    *value = static_cast<int>(v);
    return true;
}

std::string formatPlan(const Plan& plan) {
    std::string text =
        "level " + std::to_string(plan.level) + " clock " + std::to_string(plan.clock) + "\n";
    for (size_t at = 0; at < plan.ticks.size(); at += kPlanLineLength) {
        text += plan.ticks.substr(at, kPlanLineLength);
        text += '\n';
    }
    return text;
}

bool parsePlan(const std::string& text, Plan* plan, std::string* reason) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line)) {
        *reason = "the plan is empty";
        return false;
    }
    std::istringstream header(line);
    std::string levelWord, levelText, clockWord, clockText, extra;
    header >> levelWord >> levelText >> clockWord >> clockText;
    if (levelWord != "level" || clockWord != "clock" || (header >> extra) ||
        !parseInt(levelText, &plan->level) || !parseInt(clockText, &plan->clock) ||
        line != "level " + levelText + " clock " + clockText) {
        *reason = "the first line is not \"level L clock C\"";
        return false;
    }
    plan->ticks.clear();
    int number = 1;
    while (std::getline(in, line)) {
        ++number;
        if (line.size() > static_cast<size_t>(kPlanLineLength)) {
            *reason = "line " + std::to_string(number) + " is longer than 100 characters";
            return false;
        }
        for (char c : line) {
            if (c != '0' && c != '1') {
                *reason = "line " + std::to_string(number) + " holds something other than 0 and 1";
                return false;
            }
        }
        plan->ticks += line;
    }
    return true;
}

std::string planFileName(const std::string& dir, int level) {
    char name[32];
    std::snprintf(name, sizeof name, "level-%03d.plan", level);
    return dir + "/" + name;
}

bool writePlanFile(const std::string& path, const Plan& plan) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << formatPlan(plan);
    out.close();
    return static_cast<bool>(out);
}

bool readPlanFile(const std::string& path, Plan* plan, std::string* reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *reason = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parsePlan(text.str(), plan, reason);
}
