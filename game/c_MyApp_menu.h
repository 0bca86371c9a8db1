// Numbers the menu's files share: its image frames and the level-start and panel rules that
// both the tiles and the keys reach. Private to c_MyApp_menu*.cpp; image slots, sounds,
// buttons and the numbers other parts of the game need live in bt3_numbers.h.
#pragma once

namespace bt3menu {

// Image frames.
constexpr int kFrameTileSelected = 1;
constexpr int kFrameTileLocked = 2;
constexpr int kFrameTilePassed = 3;
constexpr int kFrameTileOpen = 5;
constexpr int kFramePassMark = 16;
constexpr int kFrameCross = 18;
constexpr int kFrameColumn = 21;
constexpr int kFrameTileBase = 23; // + theme

// The pointer latch after a tile is picked: counts up to -1 before the list may be dragged.
constexpr int kPickLatch = -15;
constexpr int kDragLatch = -1;

// The hidden tile code: four tile indexes pressed in this order.
constexpr int kTileCodeLength = 4;
constexpr int kTileCode[kTileCodeLength] = {6, 2, 7, 3};

} // namespace bt3menu
