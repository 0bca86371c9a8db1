// Scenery motifs of the block images: standing props (drawn on the frame's bottom edge) and
// things buried in the ground (hanging from its top), each painted in a theme's palette.
#pragma once

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/themes.h"

namespace assetgen {

enum class Motif {
    Bush,
    Tree,
    Flowers,
    Rock,
    Windmill,
    Tuft,
    Mushroom,
    Spring,
    Vent,
    Boulder,
    Flame,
    Lilypad,
    Lotus,
    Reed,
    Buoy,
    Car,
    Signal,
    Seaweed,
    Coral,
    NeonPalm,
    NeonSign,
    Tomb,
    Cross,
    DeadTree,
    Pumpkin,
    Snowman,
    Pine,
    Balloon,
    Lantern,
    Crater,
    Flag,
    Antenna,
    Barrel,
    Chest,
    Anchor,
    Parrot,
    Hay,
    Fence,
    Easel,
    Cloud,
    // Buried (layers 2 and 4)
    Pebbles,
    Bone,
    Fossil,
    Root,
    Crystal,
    Coin,
    Ember,
    Bubbles,
    Chip,
    Shell,
    Plank,
    Scribble
};

// A prop standing on the ground line; index varies the look within a theme.
void paintStandingMotif(Pen& pen, Motif m, const Theme& t, int index);
// Something in the ground: pebbles, bones, roots, crystals and so on.
void paintBuriedMotif(Pen& pen, Motif m, const Theme& t, int index);

} // namespace assetgen
