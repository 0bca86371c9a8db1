// One round of a level played tick by tick on the runner's session, as a player plays it: the
// round is set up by the game's own p_LoadGame_Ball at a given clock (the generator seeded
// from that clock, as the menu seeds it when a level starts), and each tick is a whole update
// of the frame driver with the go key (right arrow) held or not through the input device. The
// clock advances 1000/60 ms a tick, read in whole milliseconds. The inputs so far are kept
// as the round's plan: '1' for a tick with the key held, '0' without.
#pragma once

#include <string>

#include "game/c_MyApp.h"
#include "tools/playtest/session.h"

class GameSnapshot;

constexpr int kGoKey = 39;           // the right arrow
constexpr int kRoundCrashed = 1;     // m_roundOver after a crash, a burst or being caught
constexpr int kRoundFinished = 10;   // m_roundOver once the goal sequence is done
constexpr int kInfinitySpikes = 100; // spikes an Infinity round must pass to count as won

class PlaytestRound {
  public:
    PlaytestRound(int level, int clock);

    // The clock in milliseconds at tick n of a round set up at clock.
    static int millisAt(int clock, int tick) { return clock + tick * 1000 / 60; }

    // One update with the go key held or not.
    void tick(bool hold);
    void snapshot(GameSnapshot& into) const;
    // Back to a snapshot of this round; the plan is cut back to its tick.
    void restore(const GameSnapshot& from);

    c_MyApp& game() { return session_.game(); }
    const c_MyApp& game() const { return const_cast<PlaytestSession&>(session_).game(); }
    int level() const { return level_; }
    int clock() const { return clock_; }
    int ticks() const { return static_cast<int>(plan_.size()); }
    const std::string& plan() const { return plan_; }

    int passed() const;
    bool over() const { return game().m_roundOver != 0; }
    // The round ended with its goal sequence and p_DidIWin found it won; for Infinity levels,
    // the round is still running with 100 spikes passed.
    bool won() const;

    // "LEVEL KIND TARGET PARAM won|LOST FRAMES SCORE BESTSUPER SPIKES": what the round
    // played to, the same every time the same plan is played.
    std::string figuresLine(bool isWon) const;
    // The figures line, then the SECONDS it took.
    std::string resultLine(bool isWon, double seconds) const;

  private:
    PlaytestSession session_;
    int level_;
    int clock_;
    std::string plan_;
};
