// Depth-first search over moves (wait, then roll past the next spike) on snapshots of the
// round. Each level of the search holds one snapshot: the state just after a spike was passed.
#include "tools/playtest/search.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "tools/playtest/snapshot.h"

namespace {

constexpr int kStartWait = 60;         // the start sequence waits here for a fresh press
constexpr int kStartDone = 120;        // from here the ball may move
constexpr int kOpeningLimit = 600;     // ticks the start sequence may take at most
constexpr int kHoldLimit = 120;        // ticks of holding per spike to pass
constexpr int kGoalLimit = 240;        // ticks from the goal spike to the end of the round
constexpr int kWaitSpare = 3;          // waits beyond one whole bounce
constexpr int kBallHeight = 2;         // ball block: height above the ground
constexpr int kBallVelY = 24;          // ball block: vertical velocity
constexpr float kSheepCatchUp = 0.4f;  // share of the way left the ball gains on the sheep
constexpr int kAlikeStates = 4;        // states searched per goal key
constexpr int kAlikeBounces = 24;      // the same for the Bounces kind
constexpr float kComboBucket = 8.0f;   // combo timer units told apart by the goal key
constexpr float kChaserBucket = 32.0f; // pixels of chaser distance told apart by the goal key
constexpr float kPlaceBucket = 32.0f;  // pixels of the ball's place told apart (Target kind)

// The start sequence: wait for the title, one fresh press, wait for the ball to be free.
bool playOpening(PlaytestRound& r) {
    c_MyApp& g = r.game();
    while (g.m_playFrames < kStartWait && r.ticks() < kOpeningLimit && !r.over()) r.tick(false);
    r.tick(true);
    while ((g.m_playFrames < kStartDone || g.m_backLatch != 0 || g.m_pointerLatch != 0) &&
           r.ticks() < kOpeningLimit && !r.over()) {
        r.tick(false);
    }
    return !r.over() && r.ticks() < kOpeningLimit;
}

// Ticks of one bounce from the ground to the ground, with a few to spare.
int longestWait(const c_MyApp& g) {
    return static_cast<int>(std::ceil(2.0f * g.m_bounceSpeed / g.m_gravity)) + kWaitSpare;
}

uint64_t mix(uint64_t h, int64_t v) {
    h ^= static_cast<uint64_t>(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

// What decides the rest of the round, closely enough to treat two states as the same.
uint64_t stateKey(const PlaytestRound& r) {
    const c_MyApp& g = r.game();
    uint64_t h = 0;
    h = mix(h, r.passed());
    h = mix(h, static_cast<int64_t>(std::lround(g.m_ball[kBallX])));
    h = mix(h, static_cast<int64_t>(std::lround(g.m_ball[kBallHeight] * 4)));
    h = mix(h, static_cast<int64_t>(std::lround(g.m_ball[kBallVelY] * 16)));
    h = mix(h, g.m_super);
    h = mix(h, g.m_leap);
    h = mix(h, g.m_score);
    h = mix(h, g.m_comboTimer > 0 ? 1 : 0);
    h = mix(h, static_cast<int64_t>(g.m_ball[kBallBounces]));
    h = mix(h, static_cast<int64_t>(g.m_ball[kBallCollected]));
    h = mix(h, g.m_chaserX);
    h = mix(h, static_cast<int64_t>(std::lround(g.m_keyRampX * 64)));
    if (g.m_theme == kThemeDeepBlue) h = mix(h, r.ticks());
    return h;
}

// Bounds past which the round cannot be won any more (they only cut the search short).
bool hopeless(const PlaytestRound& r) {
    const c_MyApp& g = r.game();
    const int left = g.m_target - r.passed();
    if (g.m_kind == kKindTarget) {
        // Each pass adds its leap times its SUPER chain: at least 1, at most what unbroken
        // chains to the goal would add.
        if (g.m_score + left > g.m_param) return true;
        int64_t most = 0;
        for (int i = 1; i <= left; ++i) most += int64_t{g.m_leap + i} * (g.m_super + i);
        if (g.m_score + most < g.m_param) return true;
    }
    if (g.m_kind == kKindSheepRace && g.m_target > 0) {
        const float goalX = kCourseStartX + kSpikeSpacing * g.m_target;
        const float ballX = g.m_ball[kBallX];
        if (g.m_chaserX - ballX > kSheepCatchUp * (goalX - ballX)) return true;
    }
    return false;
}

// What the level's goal depends on besides the ball's exact motion: states alike in this are
// searched at most kAlikeStates times, so a dead end is not retried at every bounce phase.
// Only what the kind's goal counts is told apart (the score only where it must be exact).
uint64_t goalKey(const PlaytestRound& r) {
    const c_MyApp& g = r.game();
    uint64_t h = mix(0, r.passed());
    switch (g.m_kind) {
    case kKindTarget:
        h = mix(h, g.m_score);
        h = mix(h, g.m_super);
        h = mix(h, g.m_leap);
        h = mix(h, static_cast<int64_t>(g.m_comboTimer / kComboBucket));
        h = mix(h, static_cast<int64_t>(g.m_ball[kBallX] / kPlaceBucket));
        h = mix(h, static_cast<int64_t>(g.m_ball[kBallBounces])); // time taken, in bounces
        break;
    case kKindSuper: {
        const int param = std::max(g.m_param, 1);
        h = mix(h, std::min(g.m_super, param));
        h = mix(h, std::min(g.m_bestSuper, param));
        break;
    }
    case kKindBounces:
        h = mix(h, static_cast<int64_t>(g.m_ball[kBallBounces]));
        break;
    case kKindCollect:
        h = mix(h, static_cast<int64_t>(g.m_ball[kBallCollected]));
        break;
    case kKindSheepRace:
    case kKindLavaChase:
        h = mix(h, static_cast<int64_t>((g.m_chaserX - g.m_ball[kBallX]) / kChaserBucket));
        break;
    default:
        break;
    }
    return h;
}

// The Bounces kind's key is coarse (spikes and bounces only) and its phases matter most.
int alikeStates(const c_MyApp& g) {
    return g.m_kind == kKindBounces ? kAlikeBounces : kAlikeStates;
}

enum class Move { kFailed, kPassed, kWon };

// From the node's state: wait, then hold until spike `next` is passed; past the goal, hold to
// the end of the round.
Move playMove(PlaytestRound& r, int wait, int next) {
    const c_MyApp& g = r.game();
    for (int i = 0; i < wait; ++i) {
        r.tick(false);
        if (r.over()) return Move::kFailed;
    }
    const int holdLimit = kHoldLimit * std::max(1, next - r.passed());
    for (int i = 0; r.passed() < next; ++i) {
        if (i >= holdLimit) return Move::kFailed;
        r.tick(true);
        if (r.over() && !r.won()) return Move::kFailed;
    }
    if (r.won()) return Move::kWon;
    const bool goal = g.m_target > 0 && r.passed() >= g.m_target;
    if (!goal) return Move::kPassed;
    for (int i = 0; i < kGoalLimit && !r.over(); ++i) r.tick(true);
    return r.won() ? Move::kWon : Move::kFailed;
}

struct Node {
    GameSnapshot state;
    int nextOption = 0; // chain moves first (when the kind wants a chain), then single moves
};

// How many spikes a move must pass in one unbroken roll: the SUPER kind's missing chain
// while it is still missing, otherwise none (0: no chain moves from this node).
int chainWanted(const c_MyApp& g) {
    if (g.m_kind != kKindSuper || g.m_bestSuper >= g.m_param) return 0;
    return g.m_param;
}

} // namespace

SearchResult searchRound(PlaytestRound& r, int64_t budgetTicks) {
    SearchResult result;
    const int startTicks = r.ticks();
    if (!playOpening(r)) {
        result.ticks = r.ticks() - startTicks;
        return result;
    }
    const int maxWait = longestWait(r.game());
    // Nodes are kept once made and reused as the search goes deeper again, so their buffers
    // are allocated once per depth.
    std::vector<std::unique_ptr<Node>> nodes;
    size_t depth = 0;
    auto push = [&]() {
        if (depth == nodes.size()) nodes.push_back(std::make_unique<Node>());
        Node& node = *nodes[depth++];
        node.nextOption = 0;
        r.snapshot(node.state);
    };
    std::unordered_set<uint64_t> seen;
    std::unordered_map<uint64_t, int> alike;
    push();

    while (depth > 0 && result.ticks < budgetTicks) {
        Node& node = *nodes[depth - 1];
        const int option = node.nextOption++;
        if (option > 2 * maxWait + 1) {
            --depth;
            continue;
        }
        r.restore(node.state);
        const int chain = chainWanted(r.game());
        const bool chainMove = option <= maxWait;
        if (chainMove && chain == 0) continue;
        const int wait = chainMove ? option : option - maxWait - 1;
        // A chain continued without a wait needs only the spikes it still lacks.
        const int spikes = !chainMove ? 1 : (wait == 0 ? chain - r.game().m_super : chain);
        const int before = r.ticks();
        const Move move = playMove(r, wait, r.passed() + std::max(spikes, 1));
        result.ticks += r.ticks() - before;
        ++result.moves;
        if (move == Move::kWon) {
            result.won = true;
            return result;
        }
        if (move == Move::kFailed || hopeless(r)) continue;
        if (!seen.insert(stateKey(r)).second) continue;
        if (++alike[goalKey(r)] > alikeStates(r.game())) continue;
        push();
    }
    return result;
}
