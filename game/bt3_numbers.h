// Numbers that several files of the game share: the screen states of the frame driver and
// the thirteen level kinds. Sound numbers, image slots and the like that one file alone uses
// stay private to that file; a number needed by a second file moves here.
#pragma once

// Screen states (m_screen).
enum Bt3Screen {
    kScreenMenu = 1,
    kScreenToMenu = 2,
    kScreenQuitBox = 4,
    kScreenWaitStart = 5,
    kScreenPlay = 10,
    kScreenLevelLoad = 11,
};

// p_PlayKey's player that reads only the keyboard and the virtual buttons, no pad.
constexpr int kKeyboardPlayer = -1;

// Level kinds (m_levelKind, m_kind).
enum Bt3Kind {
    kKindSuper = 1,
    kKindTarget = 2,
    kKindSpikes = 3,
    kKindLeap = 4,
    kKindSpike = 5,
    kKindInfinity = 6,
    kKindSheepRace = 7,
    kKindDejaVu = 8,
    kKindBounces = 9,
    kKindLavaChase = 10,
    kKindCollect = 11,
    kKindMegaSpikes = 12,
    kKindButtons = 13,
};

// Level groups and themes: ten levels a group; the themes run 1..16.
constexpr int kLevelsPerGroup = 10;
constexpr int kThemeCount = 16;

// Per-level records (m_records): three sections of ten slots a level, level L at (L - 1) * 10.
constexpr int kRecordBest = 0;
constexpr int kRecordLast = 5000;
constexpr int kRecordStats = 10000;
constexpr int kRecordSlots = 10;
constexpr int kRecordLevels = 500;
// Statistic slots and the pass/fail marker's values.
enum Bt3Stat {
    kStatMostSpikes = 0,
    kStatTargetDiff = 1,
    kStatBestLeap = 2,
    kStatBestSuper = 3,
    kStatTotalSpikes = 7,
    kStatMarker = 8,
};
constexpr int kMarkerPassed = -1;
constexpr int kMarkerMaxFails = 3;

// Image slots the effects share with play and the loaders: the theme's world blocks (ball,
// spikes, scenery, stars of play) and the 8 x 8 sparks and star shapes of "parts".
constexpr int kImageWorld = 1;
constexpr int kImageParts = 96;
