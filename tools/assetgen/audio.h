// The sound side of the data folder: the effect table (numbers and theme variants of the
// bounce) and the tune table, each entry synthesising its own samples.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/writers.h"

namespace assetgen {

constexpr int kSfxRate = 44100;
constexpr int kMusicRate = 44100;

struct SfxDef {
    std::string name; // "sfx/003" or "sfx/003_016", without ".wav"
    std::function<Sound()> make;
};

struct TuneDef {
    std::string name; // "sfx/world001", without ".ogg"
    bool loops;       // world tunes wrap seamlessly
    std::function<Sound()> make;
};

std::vector<SfxDef> allEffects(); // sfx.cpp
std::vector<TuneDef> allTunes();  // music.cpp

} // namespace assetgen
