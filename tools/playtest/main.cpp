// playtest: the headless runner. Runs the real game code on the headless host (no window, no
// sound card) and prints its findings on standard output; the game's own log lines go to
// standard error. Usage: playtest COMMAND ARGS...; a bad command or argument exits with 2.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "tools/playtest/commands.h"

namespace {
constexpr PlaytestEntry kCommands[] = {
    {"course", "LEVEL COUNT", "print NUMBER CLASS VARIANT of spikes 1..COUNT of LEVEL", runCourse},
    {"prove", "[--plans DIR] [--budget TICKS] [--jobs N] [LEVEL...]",
     "search a winning plan for each level (1..150 when none is named)", runProve},
    {"replay", "[--expect FIGURES | --record FIGURES] FILE...",
     "play plan files again; exit 1 when one no longer wins or differs from FIGURES", runReplay},
    {"soak", "--seconds S --seed N", "random play across every screen, checked every tick",
     runSoak},
};

std::filesystem::path startFolder; // where the runner was started

// A scratch folder of the runner's own, made current; removed again at exit.
struct ScratchFolder {
    std::filesystem::path path;
    bool enter() {
        std::error_code error;
        startFolder = std::filesystem::current_path(error);
        if (error) return false;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "playtest-XXXXXX");
        if (!mkdtemp(pattern.data())) return false;
        path = pattern;
        std::filesystem::current_path(path, error);
        return !error;
    }
    ~ScratchFolder() {
        std::error_code error;
        if (!path.empty()) std::filesystem::remove_all(path, error);
    }
};

void printUsage() {
    std::fprintf(stderr, "usage: playtest COMMAND ARGS...\n");
    for (const PlaytestEntry& c : kCommands) {
        std::fprintf(stderr, "  %s %s\n      %s\n", c.name, c.usage, c.about);
    }
}

// The results stream: the process's standard output. Standard output itself is pointed at
// standard error, so that whatever the game prints stays out of the results.
std::FILE* takeStandardOutput() {
    std::fflush(stdout);
    const int results = dup(STDOUT_FILENO);
    if (results < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return nullptr;
    return fdopen(results, "w");
}
} // namespace

std::string userPath(const std::string& path) {
    return (startFolder / path).lexically_normal().string();
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "playtest: %s\n", message.c_str());
    return kExitUsage;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage();
        return kExitUsage;
    }
    const std::string name = argv[1];
    for (const PlaytestEntry& c : kCommands) {
        if (name != c.name) continue;
        ScratchFolder scratch;
        if (!scratch.enter()) return usageError("cannot make a scratch folder");
        std::FILE* out = takeStandardOutput();
        if (!out) return usageError("cannot set up the results stream");
        const int status = c.run(PlaytestArgs(argv + 2, argv + argc), out);
        std::fflush(out);
        return status;
    }
    usageError("unknown command \"" + name + "\"");
    printUsage();
    return kExitUsage;
}
