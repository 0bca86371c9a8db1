// Snapshots: the game object's fields from its first to its last declared one, as byte runs
// that leave out the members owning memory and the draw list. The runs are worked out once
// from the members' addresses in a live object.
#include "tools/playtest/snapshot.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "input/c_InputDevice.h"
#include "runtime/kp_random.h"
#include "tools/playtest/round.h"

namespace {

using Run = std::pair<size_t, size_t>; // offset, length

template <typename T> Run runOf(const c_MyApp& game, const T& member) {
    const auto* base = reinterpret_cast<const unsigned char*>(&game);
    return {static_cast<size_t>(reinterpret_cast<const unsigned char*>(&member) - base), sizeof(T)};
}

// The byte runs to copy: the field block minus the skipped members.
std::vector<Run> buildRuns(const c_MyApp& game) {
    const Run first = runOf(game, game.m_stars);
    const Run last = runOf(game, game.m_pauseChoice);
    std::vector<Run> skipped = {
        runOf(game, game.m_levelPattern), runOf(game, game.m_images),
        runOf(game, game.m_sfx),          runOf(game, game.m_pattern),
        runOf(game, game.m_pingText),     runOf(game, game.m_pingRequest),
        runOf(game, game.m_drawList),
    };
    std::sort(skipped.begin(), skipped.end());
    std::vector<Run> runs;
    size_t at = first.first;
    const size_t end = last.first + last.second;
    for (const Run& s : skipped) {
        if (s.first > at) runs.push_back({at, s.first - at});
        at = std::max(at, s.first + s.second);
    }
    if (end > at) runs.push_back({at, end - at});
    return runs;
}

const std::vector<Run>& runsFor(const c_MyApp& game) {
    static const std::vector<Run> runs = buildRuns(game);
    return runs;
}

} // namespace

void GameSnapshot::take(const c_MyApp& game, int tick) {
    const auto& runs = runsFor(game);
    size_t total = 0;
    for (const Run& r : runs) total += r.second;
    bytes_.resize(total);
    const auto* src = reinterpret_cast<const unsigned char*>(&game);
    size_t at = 0;
    for (const Run& r : runs) {
        std::memcpy(bytes_.data() + at, src + r.first, r.second);
        at += r.second;
    }
    seed_ = kp_random_Seed;
    keyDown_ = kp_input_device->keyDown[kGoKey];
    tick_ = tick;
}

void GameSnapshot::restore(c_MyApp& game) const {
    auto* dst = reinterpret_cast<unsigned char*>(&game);
    size_t at = 0;
    for (const Run& r : runsFor(game)) {
        std::memcpy(dst + r.first, bytes_.data() + at, r.second);
        at += r.second;
    }
    kp_random_Seed = seed_;
    kp_input_device->keyDown[kGoKey] = keyDown_;
}
