// Numbers that the files of ball play share: the slots of the ball block (m_ball) and of a
// spike record, the constants of play and the image frames it draws with. Only the ball-play
// files include it; screens, kinds, themes, sounds and image slots are in game/bt3_numbers.h.
#pragma once

#include "game/bt3_course.h"

namespace bt3ball {

// Ball block slots.
constexpr int kX = kBallX; // position along the course, pixels
constexpr int kHeight = 2; // height above the ground line, >= 0
constexpr int kSpeed = 3;  // horizontal speed of this frame
constexpr int kNegPrevX = kBallPrevXNeg;
constexpr int kScreenX = 18; // x - camera x
constexpr int kScreenY = 19; // ground line - height - screen x * slope factor
constexpr int kLastPassed = kBallPassed;
constexpr int kFurthest = kBallFurthestX;
constexpr int kSpeedCopy = 23; // copy of the speed
constexpr int kVelY = 24;      // vertical velocity, positive downwards
constexpr int kCamStepX = 25;  // camera step of this frame
constexpr int kCamStepY = 26;
constexpr int kGlow = 27; // floor glow, eased toward its target
constexpr int kGlowTarget = 28;
constexpr int kSplash = 31;     // bounce animation value
constexpr int kEasedSpeed = 32; // speed eased 1/8 per frame (ball style 3)
constexpr int kBounces = kBallBounces;
constexpr int kCollected = kBallCollected;
constexpr int kBurst = 57;      // 1 once the ball has burst (Bounces kind)
constexpr int kPassSlide = 58;  // slide of the newest pass value, pixels
constexpr int kTargetBase = 60; // Target kind: the value of spike k sits in slot 60 + k
constexpr int kPassFirst = 61;  // pass-value list 61..80, newest in 80
constexpr int kPassLast = 80;
constexpr int kHistX = 170; // histories of 30 entries, newest last
constexpr int kHistSpin = 220;
constexpr int kHistY = 270;
constexpr int kHistFrame = 320;
constexpr int kHistLen = 30;

// Spike records (the ring and its fields are the course's; short names for play).
constexpr int kSpClass = kSpikeClass;
constexpr int kSpX = kSpikeX;
constexpr int kSpHead = kSpikeHead;
constexpr int kSpAngle = kSpikeSpin;
constexpr int kSpSpin = kSpikeSpinRate;
constexpr int kSpVariant = kSpikeVariant; // also the bobbing phase on theme 5
constexpr int kSpNumber = kSpikeNumber;
constexpr int kPillarDown = kVariantPillarDown;
constexpr int kPillarUp = kVariantPillarUp;
constexpr int kWallWithButton = kVariantWall;

// Constants of play.
constexpr int kStartWait = 60;      // the start sequence waits here for a fresh press
constexpr int kStartResume = 64;    // where a press at the wait sends it
constexpr int kStartDone = 120;     // from here the ball may move
constexpr int kStartStep = 3;       // per frame
constexpr float kComboFull = 68.0f; // combo timer on each spike passed
constexpr int kGoalResult = 20;     // goal frames until the result is decided
constexpr int kGoalEnd = 40;        // goal frames until the round ends
constexpr int kRoundCrashed = 1;    // m_roundOver after a crash, a burst or being caught
constexpr int kRoundFinished = 10;  // m_roundOver once the goal sequence is done
constexpr int kPopups = 10;

// Image frames.
constexpr int kFrameSpikeBase = 13; // + height class
constexpr int kFramePillar = 112;
constexpr int kFrameWall = 113;
constexpr int kFrameButton = 114;
constexpr int kFrameLava = 115;
constexpr int kFrameLavaBlob = 116;
constexpr int kFrameMarker = 117;
constexpr int kFrameSpark = 16;     // of the menu image
constexpr int kFramePopupBase = 16; // of the bobs image: + 2 * colour, + 1 for look 2

} // namespace bt3ball
