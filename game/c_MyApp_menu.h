// Numbers the menu's files share: its image slots and frames, its sounds, the input buttons it
// reads, and the level-start and panel rules that both the tiles and the keys reach. Private
// to c_MyApp_menu*.cpp; numbers that other parts of the game need live in bt3_numbers.h.
#pragma once

namespace bt3menu {

// Image slots and frames.
constexpr int kImgMenu = 9;     // kind and theme icons, marks, column ornament, tile bases
constexpr int kImgButtons = 95; // tiles and the options cog
constexpr int kImgRecord = 11;  // the four statistics medallions
constexpr int kImgLogo = 98;
constexpr int kFrameTileSelected = 1;
constexpr int kFrameTileLocked = 2;
constexpr int kFrameTilePassed = 3;
constexpr int kFrameTileOpen = 5;
constexpr int kFramePassMark = 16;
constexpr int kFrameCross = 18;
constexpr int kFrameColumn = 21;
constexpr int kFrameTileBase = 23; // + theme

// Sounds.
constexpr int kSfxCodeStep = 4;
constexpr int kSfxStart = 98;
constexpr int kSfxMove = 99;

// Buttons of p_PlayKey.
constexpr int kButtonUp = 0;
constexpr int kButtonLeft = 3;
constexpr int kButtonRight = 5;
constexpr int kButtonDown = 8;
constexpr int kButtonA = 10;
constexpr int kButtonX = 12;
constexpr int kButtonY = 13;
constexpr int kButtonLB = 14;
constexpr int kButtonRB = 15;
constexpr int kButtonBack = 99;
constexpr int kPlayers = 4;

// The pointer latch after a tile is picked: counts up to -1 before the list may be dragged.
constexpr int kPickLatch = -15;
constexpr int kDragLatch = -1;

// The hidden tile code: four tile indexes pressed in this order.
constexpr int kTileCodeLength = 4;
constexpr int kTileCode[kTileCodeLength] = {6, 2, 7, 3};

} // namespace bt3menu
