// Snapshots of a round for the search: every plain field of the game object, the generator's
// seed and the go key's state, copied as bytes and put back later. The fields that own memory
// (images, sounds, strings, the ping request) are never copied; neither is the draw list, which
// each play tick rebuilds from its start. A field that owns memory and is added to the game
// object must be added to the list of skipped fields in snapshot.cpp.
#pragma once

#include <cstddef>
#include <vector>

#include "game/c_MyApp.h"

class GameSnapshot {
  public:
    // Copies the game's plain fields, the seed and whether the go key is down.
    void take(const c_MyApp& game, int tick);
    // Puts them back; the input device gets the key state back without a press.
    void restore(c_MyApp& game) const;
    int tick() const { return tick_; }

  private:
    std::vector<unsigned char> bytes_;
    int seed_ = 0;
    bool keyDown_ = false;
    int tick_ = 0;
};
