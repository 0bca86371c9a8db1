// The layout of the spike course that set-up, play and the tools share: the ring of spike
// records in m_spikes, the fields of one record, and the slots of the ball block m_ball that
// hold the course state and the round's counts. Every spike lies on a fixed spacing along the
// course, so spike k stands at x = kCourseStartX + kSpikeSpacing * k.
#pragma once

// The ring: 100 records of 10 floats, record s at kSpikeStride * s.
constexpr int kSpikeSlots = 100;
constexpr int kSpikeStride = 10;

// Fields of a spike record.
enum Bt3SpikeField {
    kSpikeClass = 0, // height class 1..14
    kSpikeX = 1,     // x on the course
    kSpikeHead = 2,  // head offset above the ground line: (class - 1) * 16
    kSpikeSpin = 5,  // spin angle (theme 5)
    kSpikeSpinRate = 6,
    kSpikeVariant = 7, // 0 plain, 1 pillar downwards, 2 pillar upwards, 3 wall with a button
    kSpikeParam = 8,
    kSpikeNumber = 9, // along the course, from 1
};

// Spike variants.
enum Bt3SpikeVariant {
    kVariantPlain = 0,
    kVariantPillarDown = 1,
    kVariantPillarUp = 2,
    kVariantWall = 3,
};

// Slots of the ball block used by the course and the win rules.
enum Bt3BallSlot {
    kBallX = 1,
    kBallPrevXNeg = 11, // the negated x before this frame's move
    kBallPassed = 20,   // number of the last spike passed
    kBallFurthestX = 21,
    kBallLastSpikeSlot = 51,
    kBallSpikesAdded = 52,
    kBallNextSpikeX = 53,
    kBallSpikeSpacing = 54,
    kBallBounces = 55,
    kBallCollected = 56,
};

// Course geometry: the ball starts at 2048 and the first spike stands at 2256.
constexpr float kCourseStartX = 2000.0f;
constexpr float kSpikeSpacing = 256.0f;
constexpr float kBallStartX = 2048.0f;
constexpr float kHeadStep = 16.0f; // head offset per height class
