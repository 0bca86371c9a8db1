// Numbers that several files of the game share: screen states, level kinds, themes, records,
// settings, image and sound slots, player buttons and a few shared measures. Each number has
// one name, declared once, here. A number that one file alone uses stays private to that
// file; a number needed by a second file moves here.
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
constexpr int kPlayers = 4; // player-key rows, one per pad

// Themes, numbered as the data generator numbers them and named for their titles; the
// comments name the rules of their own that play, drawing and the effects follow.
enum Bt3Theme {
    kThemeOldFaithful = 1,
    kThemeCrosswind = 2,
    kThemeSpringy = 3,    // Pip's Springy Outing: big stars in play, no star rotation
    kThemeMagma = 4,      // Magma Row: stars at one depth, no star rotation
    kThemeLilypad = 5,    // Lilypad Lane
    kThemeSeaside = 6,    // scenery rocks on the water
    kThemeGridlock = 7,   // square stars on a 16-pixel grid that flicker
    kThemeDeepBlue = 8,   // heads that move with the clock
    kThemeNeon = 9,       // Neon Nights
    kThemeGhost = 10,     // Ghost Runner: collectables; floating scenery
    kThemeFrostbite = 11, // snow that jitters; collectables that fall
    kThemeStarlight = 12, // Glittering Starlight Parade: fast-spinning stars, haloed scenery
    kThemeLunar = 13,     // Lunar Leaps: slow, far scenery
    kThemeSketchbook = 14,
    kThemePirate = 15, // Pixel Pirate: pillars
    kThemeWoolly = 16, // Woolly Stampede: play mirrored left to right, in three variants
};

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
// Entries of the menu's level statistics: entry 28 adds up every positive marker.
constexpr int kStatsFails = 28;

// Settings entries (m_settings) that more than one file reads, and the sound setting's values.
constexpr int kSettingCount = 25;
constexpr int kScorePopupsSetting = 1; // 0 shows score popups
constexpr int kSelectedLevelSetting = 4;
constexpr int kSoundSetting = 5;
constexpr int kOverscanSetting = 14;
constexpr int kSoundAll = 1;
constexpr int kEffectsOnly = 2;
constexpr int kMusicOnly = 3;

// Buttons of p_PlayKey: the directions, the face and shoulder buttons, and "back".
constexpr int kButtonUp = 0;
constexpr int kButtonLeft = 3;
constexpr int kButtonRight = 5;
constexpr int kButtonDown = 8;
constexpr int kButtonA = 10;
constexpr int kButtonB = 11;
constexpr int kButtonX = 12;
constexpr int kButtonY = 13;
constexpr int kButtonLB = 14;
constexpr int kButtonRB = 15;
constexpr int kButtonBack = 99;
constexpr int kButtonsCleared = 19; // buttons 0..18 are cleared with the player keys
// The buttons whose presses hold a latch (the back latch, the options panel's), in the order
// they are checked: a press that opened a screen acts there only once it was let go.
constexpr int kLatchButtons[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, kButtonBack};

// Image slots (m_images).
constexpr int kImgBlocks = 1;  // the theme's ball, spikes, scenery and blocks
constexpr int kImgStrips = 2;  // the theme's floor rows
constexpr int kImgMenu = 9;    // kind and theme icons, marks, sparks, tile bases
constexpr int kImgRecord = 11; // the four statistics medallions
constexpr int kImgLogoHeart = 78;
constexpr int kImgBadges = 80;
constexpr int kImgCircle = 85; // title rings
constexpr int kImgLight = 86;
constexpr int kImgFont = 90; // the bitmap font
constexpr int kImgDpad = 94;
constexpr int kImgButtons = 95; // menu tiles and the options cog
constexpr int kImgParts = 96;   // the 8 x 8 sparks and star shapes
constexpr int kImgIcons = 97;   // the pause icon and the pause panel's ring
constexpr int kImgLogo = 98;
constexpr int kImgBobs = 99; // sheep and popup badges

// Sound effect slots (m_sfx), as the data generator numbers sfx/NNN.wav.
constexpr int kSfxBlip = 1;
constexpr int kSfxPass = 2;
constexpr int kSfxBounce = 3;
constexpr int kSfxSuperPass = 4; // also the options' confirmation and a code step
constexpr int kSfxCrash = 5;
constexpr int kSfxButton = 6;
constexpr int kSfxParam = 7;
constexpr int kSfxLost = 10; // also the options' re-lock
constexpr int kSfxWon = 11;
constexpr int kSfxBurst = 12; // also a collectable taken
constexpr int kSfxComboEnd = 13;
constexpr int kSfxBadge = 95;
constexpr int kSfxConfirm = 98; // pause, start, toggle
constexpr int kSfxMove = 99;    // a move in a menu or panel

// Frame timing and the shared measures of drawing.
constexpr int kUpdateRate = 60;  // updates a second
constexpr int kIntroEnd = 320;   // frames of the intro overlay
constexpr int kStartStars = 100; // stars of the title and results screens
constexpr int kScoreDigits = 8;
constexpr float kFullAlpha = -123.0f; // p_DoBG: the eased colour at full alpha
constexpr float kFullTurn = 360.0f;
constexpr float kDegToRad = 0.017453292f;
constexpr float kDepthLow = 0.2f; // the nearest and farthest depth of stars and scenery
constexpr float kDepthHigh = 0.8f;
constexpr float kCameraLead = 128.0f; // the camera runs this far ahead of the ball
constexpr int kStyleFrog = 5;         // the ball style that hops
constexpr int kPopupStride = 10;      // floats of one score popup record
constexpr int kOrbiterStride = 4;     // floats of one SUPER orbiter record
// The options cog in the options and pause panels: its scale and spin in degrees per tick.
constexpr float kCogScale = 1.5f;
constexpr float kCogSpin = 0.2f;
constexpr int kCogFrames[] = {8, 9, 10};                   // its three layers in the buttons image
constexpr float kCogLayerTurn[] = {-0.66f, -0.33f, -1.0f}; // each layer's share of the angle
constexpr float kSpinRange = 0.5f; // stars and decorations spin by up to this either way
