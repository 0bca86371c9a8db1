// The layout of one draw command, shared by the code that appends commands, the replay and the
// tools that replay a frame in software: the 15-float record, the kinds that are not an image
// slot, and the list's limits.
#pragma once

// The kinds of the non-image draw commands; a rectangle's kind is also the marker of an
// argument that is not given.
constexpr float kCmdRect = -3717.0f;
constexpr float kCmdOval = -3716.0f;
constexpr float kCmdLine = -3715.0f;
constexpr float kCmdMirror = -3711.0f;
constexpr float kCmdShear = -3710.0f;

// Draw list geometry: 15 floats per command; appending stops once the count passes the limit,
// so at most 2499 commands fit in one frame. An image command's kind is its slot, 0..99.
constexpr int kDrawStride = 15;
constexpr int kDrawFloats = 37500;
constexpr int kDrawAppendLimit = 37484;
constexpr int kImageSlots = 100;

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
