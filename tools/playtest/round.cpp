// A round played tick by tick: set-up at a clock, one whole update per tick with the go key
// through the host's key events, snapshots for the search, and the result line.
#include "tools/playtest/round.h"

#include <cstdio>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "input/c_InputDevice.h"
#include "runtime/kp_random.h"
#include "tools/playtest/snapshot.h"

namespace {
// Half a millisecond into each whole millisecond, so the host's truncation reads it exactly.
double secondsOf(int millis) {
    return (millis + 0.5) / 1000.0;
}
} // namespace

PlaytestRound::PlaytestRound(int level, int clock) : level_(level), clock_(clock) {
    c_MyApp& g = game();
    g.m_loadStep = 0; // no asset loading: the rules need no images or sounds
    session_.host().SetTime(secondsOf(clock));
    kp_random_Seed = clock;
    g.m_level = level;
    g.m_theme = g.m_levelTheme[level];
    g.p_LoadGame_Ball();
}

void PlaytestRound::tick(bool hold) {
    KpHeadlessGame& host = session_.host();
    if (hold != kp_input_device->keyDown[kGoKey]) {
        host.KeyEvent(hold ? kEventKeyDown : kEventKeyUp, kGoKey);
    }
    plan_.push_back(hold ? '1' : '0');
    host.SetTime(secondsOf(millisAt(clock_, ticks())));
    host.UpdateGame();
}

void PlaytestRound::snapshot(GameSnapshot& into) const {
    into.take(game(), ticks());
}

void PlaytestRound::restore(const GameSnapshot& from) {
    from.restore(game());
    plan_.resize(static_cast<size_t>(from.tick()));
}

int PlaytestRound::passed() const {
    return static_cast<int>(game().m_ball[kBallPassed]);
}

bool PlaytestRound::won() const {
    const c_MyApp& g = game();
    if (g.m_kind == kKindInfinity) return g.m_roundOver == 0 && passed() >= kInfinitySpikes;
    return g.m_roundOver == kRoundFinished && g.m_won == 1;
}

std::string PlaytestRound::figuresLine(bool isWon) const {
    const c_MyApp& g = game();
    char line[160];
    std::snprintf(line, sizeof line, "%d %d %d %d %s %d %d %d %d", level_, g.m_kind, g.m_target,
                  g.m_param, isWon ? "won" : "LOST", ticks(), g.m_score, g.m_bestSuper, passed());
    return line;
}

std::string PlaytestRound::resultLine(bool isWon, double seconds) const {
    char time[32];
    std::snprintf(time, sizeof time, " %.2f", seconds);
    return figuresLine(isWon) + time;
}
