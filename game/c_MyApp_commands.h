// The layout of one draw command, shared by the code that appends commands and the replay:
// the float slots of the 15-float record.
#pragma once

namespace bt3 {
constexpr int kSlotKind = 0; // image slot, or one of the kCmd* kinds
constexpr int kSlotX = 1;
constexpr int kSlotY = 2;
constexpr int kSlotRot = 3;
constexpr int kSlotW = 4;
constexpr int kSlotH = 5;
constexpr int kSlotFrame = 6;
constexpr int kSlotAlpha = 7;
constexpr int kSlotR = 10;
constexpr int kSlotG = 11;
constexpr int kSlotB = 12;
constexpr int kSlotBlend = 13;
} // namespace bt3
