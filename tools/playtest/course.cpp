// The course command: sets up a level and prints, for spikes 1..COUNT, one line
// "NUMBER CLASS VARIANT". Spikes past the first hundred are added as play adds them, each
// into the ring slot the spike a hundred before it held.
#include <string>

#include "game/bt3_course.h"
#include "tools/playtest/commands.h"
#include "tools/playtest/session.h"

namespace {
constexpr int kFirstLevel = 1;
constexpr int kLastLevel = 500;
} // namespace

int runCourse(const PlaytestArgs& args, std::FILE* out) {
    int level = 0;
    int count = 0;
    if (args.size() != 2 || !parseInt(args[0], &level) || !parseInt(args[1], &count)) {
        return usageError("course needs two whole numbers: LEVEL COUNT");
    }
    if (level < kFirstLevel || level > kLastLevel) {
        return usageError("level " + args[0] + " is outside 1..500");
    }
    if (count < 1) return usageError("count " + args[1] + " is below 1");

    PlaytestSession session;
    session.startLevel(level);
    c_MyApp& game = session.game();
    for (int k = 1; k <= count; ++k) {
        if (k > kSpikeSlots) game.p_AddSpike();
        const float* spike = &game.m_spikes[kSpikeStride * (k % kSpikeSlots)];
        std::fprintf(out, "%d %d %d\n", static_cast<int>(spike[kSpikeNumber]),
                     static_cast<int>(spike[kSpikeClass]), static_cast<int>(spike[kSpikeVariant]));
    }
    return kExitOk;
}
