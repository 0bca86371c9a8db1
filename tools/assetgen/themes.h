// The sixteen world themes (and the two extra looks of theme 16) as data: file suffix, title,
// background colour the game clears to, the look family the painters switch on, and a palette
// chosen to sit on that background. Painters read only this table, never theme numbers.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace assetgen {

enum class Look {
    Classic,
    Wind,
    Meadow,
    Magma,
    Pond,
    Seaside,
    Grid,
    Undersea,
    Neon,
    Ghost,
    Ice,
    Parade,
    Moon,
    Sketch,
    Pirate,
    Pasture
};

struct Theme {
    int number;         // 1..16
    std::string suffix; // "001" .. "016", "016b", "016c"
    std::string title;
    Look look;
    int variant; // theme 16: 0 day, 1 night, 2 dusk; otherwise 0
    bool pixel;  // painted as pixel art on the 1x grid
    Rgba bg;     // the colour the game clears to behind the world
    Rgba ball, ballLight;
    Rgba spike, spikeLight;
    Rgba top, ground, groundDark; // surface, body and shadow of the floor
    Rgba accent, accent2;         // decoration colours
    Rgba star;                    // drifting particles in play
    // Readability: the ring round every spike and the outline round the ball (alpha 0: no
    // outline), picked to stand out from the sky: dark on light skies, light on dark ones.
    Rgba spikeEdge;
    Rgba ballEdge;
    // A see-through dark band round a pale ring (alpha 0: none): where spike or ball crosses
    // light ground or scenery under a dark sky, it keeps the ring apart from them.
    Rgba halo;
};

// The red every spike carries round its silhouette, in every theme: the one danger cue.
constexpr uint32_t kDangerRed = 0xff2418;
// Whether the theme's sky is light enough that outlines go dark.
bool lightSky(const Theme& theme);

// Every theme set that gets its own blocks/strips files, in file order.
const std::vector<Theme>& themes();
// The theme with that number (variant 0 for 16).
const Theme& themeByNumber(int number);

} // namespace assetgen
