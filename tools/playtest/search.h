// The search for a winning plan of one round. It plays only through the game's own update:
// the start sequence with one fresh press, then one move per spike: let go for some ticks
// (the ball bounces in place and its phase shifts), then hold until the game counts the spike
// passed. Moves are tried shortest wait first, depth first with a snapshot per spike, so the
// first plan found keeps the ball rolling where it can. States already met after a move are
// not searched twice, and a few bounds cut rounds that can no longer be won.
#pragma once

#include <cstdint>

#include "tools/playtest/round.h"

struct SearchResult {
    bool won = false;
    int64_t ticks = 0; // every tick the search played, for its speed
    int64_t moves = 0;
};

// Searches from a freshly set-up round; on success the round holds the winning plan and its
// final state. budgetTicks bounds the ticks played.
SearchResult searchRound(PlaytestRound& round, int64_t budgetTicks);
