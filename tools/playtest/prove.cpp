// The prove and replay commands. prove searches a winning plan for each level asked for (all
// of 1..150 when none is named), checks each plan by playing it again on a fresh game, prints
// one result line per level and "proved N of M", and may write the plans; levels whose course
// changes with the clock are proved at several fixed clocks. With --jobs the levels are shared
// out among forked worker processes. replay plays plan files on a fresh game, and may hold
// what each plays to against recorded figures or record them.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/bt3_course.h"
#include "tools/playtest/commands.h"
#include "tools/playtest/figures.h"
#include "tools/playtest/plan.h"
#include "tools/playtest/round.h"
#include "tools/playtest/search.h"

namespace {

constexpr int kFirstLevel = 1;
constexpr int kDefaultLastLevel = 150;
constexpr int kLastLevel = 500;
constexpr int kDefaultClock = 1000;
constexpr int kClocks[] = {kDefaultClock, 4321, 98765}; // for courses that follow the clock
constexpr int64_t kDefaultBudget = 6000000;             // ticks of search per level and clock
constexpr int kMaxJobs = 16;
constexpr int kExitLost = 1;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// CPU time of this process and its finished workers.
double cpuSeconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                 usage.ru_stime.tv_usec / 1e6;
    }
    return total;
}

// Whether the first spikes of the level differ between two clocks at set-up.
bool courseFollowsClock(int level) {
    auto course = [level](int clock) {
        PlaytestRound r(level, clock);
        std::vector<float> spikes;
        for (int s = 0; s < kSpikeSlots; ++s) {
            const float* spike = &r.game().m_spikes[kSpikeStride * s];
            spikes.push_back(spike[kSpikeClass]);
            spikes.push_back(spike[kSpikeVariant]);
        }
        return spikes;
    };
    return course(kClocks[0]) != course(kClocks[1]);
}

// Plays a plan on a fresh game until its round ends or the plan does; the result line, and
// the figures line when asked for.
bool playPlan(const Plan& plan, double seconds, std::string* line, std::string* figures = nullptr) {
    const Clock::time_point start = Clock::now();
    PlaytestRound r(plan.level, plan.clock);
    for (char c : plan.ticks) {
        if (r.over()) break;
        r.tick(c == '1');
    }
    const bool won = r.won();
    *line = r.resultLine(won, seconds >= 0 ? seconds : secondsSince(start));
    if (figures) *figures = r.figuresLine(won);
    return won;
}

struct LevelOutcome {
    bool won = true;
    std::string line;
    int64_t ticks = 0;
};

// Proves one level at every clock its course needs; the line is that of the first clock.
LevelOutcome proveLevel(int level, int64_t budget, const std::string& plansDir) {
    LevelOutcome out;
    const bool follows = courseFollowsClock(level);
    const int clocks = follows ? static_cast<int>(std::size(kClocks)) : 1;
    for (int c = 0; c < clocks; ++c) {
        const Clock::time_point start = Clock::now();
        Plan plan;
        plan.level = level;
        plan.clock = kClocks[c];
        bool won;
        std::string line;
        {
            PlaytestRound r(level, plan.clock);
            const SearchResult found = searchRound(r, budget);
            out.ticks += found.ticks;
            plan.ticks = r.plan();
            won = found.won;
            line = r.resultLine(false, secondsSince(start));
        }
        // A plan counts only when a fresh game wins with it.
        if (won) won = playPlan(plan, secondsSince(start), &line);
        if (c == 0) out.line = line;
        if (follows) {
            std::fprintf(stderr, "level %d clock %d: %s\n", level, plan.clock,
                         won ? "won" : "LOST");
        }
        out.won = out.won && won;
        if (won && c == 0 && !plansDir.empty() &&
            !writePlanFile(planFileName(plansDir, level), plan)) {
            std::fprintf(stderr, "playtest: cannot write the plan of level %d\n", level);
            out.won = false;
        }
    }
    return out;
}

// "won|LOST" line, then the ticks searched, for a worker's result file.
void writeOutcome(const std::string& path, const LevelOutcome& o) {
    std::ofstream f(path);
    f << (o.won ? 1 : 0) << ' ' << o.ticks << '\n' << o.line << '\n';
}

bool readOutcome(const std::string& path, LevelOutcome* o) {
    std::ifstream f(path);
    int won = 0;
    if (!(f >> won >> o->ticks)) return false;
    f.ignore();
    std::getline(f, o->line);
    o->won = won == 1;
    return true;
}

} // namespace

int runProve(const PlaytestArgs& args, std::FILE* out) {
    std::vector<int> levels;
    std::string plansDir;
    int64_t budget = kDefaultBudget;
    int jobs = 1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int value = 0;
        if (a == "--plans" && i + 1 < args.size()) {
            plansDir = userPath(args[++i]);
        } else if (a == "--budget" && i + 1 < args.size() && parseInt(args[++i], &value) &&
                   value > 0) {
            budget = value;
        } else if (a == "--jobs" && i + 1 < args.size() && parseInt(args[++i], &value) &&
                   value >= 1 && value <= kMaxJobs) {
            jobs = value;
        } else if (parseInt(a, &value) && value >= kFirstLevel && value <= kLastLevel) {
            levels.push_back(value);
        } else {
            return usageError("prove takes [--plans DIR] [--budget TICKS] [--jobs N] "
                              "[LEVEL...] with levels in 1..500; not \"" +
                              a + "\"");
        }
    }
    if (levels.empty()) {
        for (int l = kFirstLevel; l <= kDefaultLastLevel; ++l) levels.push_back(l);
    }

    const Clock::time_point start = Clock::now();
    std::vector<LevelOutcome> outcomes(levels.size());
    if (jobs == 1) {
        for (size_t i = 0; i < levels.size(); ++i) {
            outcomes[i] = proveLevel(levels[i], budget, plansDir);
            std::fprintf(out, "%s\n", outcomes[i].line.c_str());
            std::fflush(out);
        }
    } else {
        // Workers prove every jobs-th level into result files in the scratch folder.
        std::fflush(out);
        std::vector<pid_t> workers;
        for (int w = 0; w < jobs; ++w) {
            const pid_t pid = fork();
            if (pid < 0) return usageError("cannot start a worker process");
            if (pid == 0) {
                for (size_t i = w; i < levels.size(); i += jobs) {
                    writeOutcome("outcome-" + std::to_string(i),
                                 proveLevel(levels[i], budget, plansDir));
                }
                std::fflush(nullptr);
                _exit(0);
            }
            workers.push_back(pid);
        }
        for (pid_t pid : workers) waitpid(pid, nullptr, 0);
        for (size_t i = 0; i < levels.size(); ++i) {
            LevelOutcome& o = outcomes[i];
            if (!readOutcome("outcome-" + std::to_string(i), &o)) {
                o.won = false;
                o.line = std::to_string(levels[i]) + " ? ? ? LOST worker failed";
            }
            std::fprintf(out, "%s\n", o.line.c_str());
        }
    }

    int proved = 0;
    int64_t ticks = 0;
    for (const LevelOutcome& o : outcomes) {
        proved += o.won ? 1 : 0;
        ticks += o.ticks;
    }
    const double seconds = secondsSince(start);
    const double cpu = cpuSeconds();
    std::fprintf(out, "proved %d of %d\n", proved, static_cast<int>(levels.size()));
    std::fprintf(stderr,
                 "searched %lld ticks in %.1f s on %d process(es), %.1f s of CPU: %.0f ticks "
                 "per CPU second\n",
                 static_cast<long long>(ticks), seconds, jobs, cpu, cpu > 0 ? ticks / cpu : 0.0);
    return proved == static_cast<int>(levels.size()) ? kExitOk : kExitLost;
}

int runReplay(const PlaytestArgs& args, std::FILE* out) {
    // --expect FILE or --record FILE may come first; the plan files follow.
    std::string expectPath, recordPath;
    size_t first = 0;
    if (args.size() >= 2 && (args[0] == "--expect" || args[0] == "--record")) {
        (args[0] == "--expect" ? expectPath : recordPath) = userPath(args[1]);
        first = 2;
    }
    if (args.size() <= first) {
        return usageError("replay takes [--expect FILE | --record FILE] and one or more plan "
                          "files");
    }
    FigureBook expected;
    std::string reason;
    if (!expectPath.empty() && !readFigures(expectPath, &expected, &reason)) {
        return usageError(args[1] + ": " + reason);
    }
    std::vector<Plan> plans(args.size() - first);
    for (size_t i = 0; i < plans.size(); ++i) {
        const std::string& file = args[first + i];
        if (!readPlanFile(userPath(file), &plans[i], &reason)) {
            return usageError(file + ": " + reason);
        }
        if (plans[i].level < kFirstLevel || plans[i].level > kLastLevel || plans[i].clock < 0) {
            return usageError(file + ": the level or the clock is out of range");
        }
    }
    bool all = true;
    FigureBook played;
    for (const Plan& plan : plans) {
        std::string line, figures;
        const bool won = playPlan(plan, -1, &line, &figures);
        all = won && all;
        std::fprintf(out, "%s\n", line.c_str());
        if (!recordPath.empty() && !played.emplace(plan.level, figures).second) {
            return usageError("two plans of level " + std::to_string(plan.level));
        }
        if (expectPath.empty()) continue;
        const auto recorded = expected.find(plan.level);
        if (recorded == expected.end()) {
            std::fprintf(stderr, "playtest: level %d has no recorded figures\n", plan.level);
            all = false;
        } else if (recorded->second != figures) {
            std::fprintf(stderr, "playtest: level %d played to \"%s\", recorded \"%s\"\n",
                         plan.level, figures.c_str(), recorded->second.c_str());
            all = false;
        }
    }
    if (!recordPath.empty()) {
        // Only figures of plans that still win are worth keeping.
        if (!all) {
            std::fprintf(stderr, "playtest: nothing recorded: a plan no longer wins\n");
            return kExitLost;
        }
        if (!writeFigures(recordPath, played)) return usageError("cannot write " + args[1]);
    }
    return all ? kExitOk : kExitLost;
}
