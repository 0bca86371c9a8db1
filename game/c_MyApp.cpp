// c_MyApp state and creation: construction defaults, p_OnCreate's start-up order, the
// 500-level table (group rule plus hand-made levels), and the shared helpers p_Rand,
// p_ResetPlayers and p_FindSpot. Other concerns of the class live in the c_MyApp_*.cpp files.
#include "game/c_MyApp.h"

#include <cmath>
#include <string_view>

#include "game/bt3_numbers.h"
#include "runtime/kp_random.h"

namespace {
constexpr int kFirstSelectedLevel = 2;
constexpr float kOuyaOverscan = 64.0f;
constexpr int kPlayerFloats = 500;

// The ping goes to this endpoint when kp_BT3_J_On_Allow is set (it is not by default); the
// host is chosen when building (BRAMBOLT_PING_HOST).
#ifndef BT3_PING_HOST
#define BT3_PING_HOST "http://housecall.brambolt3.invalid"
#endif
constexpr std::string_view kPingAddress = BT3_PING_HOST "/housecall.php";
constexpr std::string_view kPingQuery = "hello=1&gameID=";

// Groups that play another theme than their number: 5 and 7 are crossed over, 14 is mirrored.
struct ThemeSwap {
    int group;
    int theme;
};
constexpr ThemeSwap kThemeSwaps[] = {{5, 7}, {7, 5}, {14, 16}};

// Targets by position in the group (level number mod 10); position 0 is the Infinity level.
constexpr int kTargetByPosition[kLevelsPerGroup] = {0, 10, 10, 10, 20, 50, 10, 10, 10, 35};

// Hand-made levels written over the rule; the theme always stays the group's.
struct LevelOverride {
    int level;
    int kind;
    int target;
    int param;
    std::string_view pattern;
};
constexpr LevelOverride kLevelOverrides[] = {
    {1, kKindSpikes, 10, 0, "AABACCABAA"},
    {2, kKindSpikes, 10, 0, "ABCDEFGHIJ"},
    {3, kKindSpikes, 10, 0, "NJIHGFEDCBA"},
    {4, kKindSpikes, 20, 0, "AJBICHDGEF"},
    {5, kKindSpikes, 50, 0, "ABCDEFGHIJ"},
    {6, kKindTarget, 5, 15, "AABAC"},
    {7, kKindTarget, 5, 21, "AABAC"},
    {8, kKindTarget, 5, 35, "AABAC"},
    {9, kKindSpikes, 30, 0, "AJBICHDGEF"},
    {10, kKindInfinity, 0, 0, "ABCDEFGHIJ"},
    {13, kKindSuper, 20, 4, ""},
    {14, kKindSuper, 20, 5, ""},
    {17, kKindSuper, 20, 6, ""},
    {18, kKindSuper, 20, 7, ""},
    {23, kKindSheepRace, 20, 0, ""},
    {24, kKindSheepRace, 30, 0, ""},
    {27, kKindSheepRace, 50, 0, ""},
    {33, kKindSuper, 20, 3, ""},
    {36, kKindSuper, 20, 3, ""},
    {38, kKindSuper, 20, 3, ""},
    {43, kKindDejaVu, 15, 0, ""},
    {46, kKindDejaVu, 15, 0, ""},
    {48, kKindDejaVu, 15, 0, ""},
    {53, kKindBounces, 15, 10, ""},
    {56, kKindBounces, 15, 10, ""},
    {58, kKindBounces, 15, 8, ""},
    {64, kKindSuper, 20, 3, ""},
    {67, kKindSuper, 20, 4, ""},
    {68, kKindSuper, 20, 4, ""},
    {73, kKindLavaChase, 20, 0, ""},
    {76, kKindLavaChase, 30, 0, ""},
    {78, kKindLavaChase, 40, 0, ""},
    {83, kKindTarget, 10, 80, ""},
    {86, kKindTarget, 10, 93, ""},
    {88, kKindTarget, 10, 73, ""},
    {93, kKindButtons, 20, 0, ""},
    {96, kKindButtons, 30, 0, ""},
    {97, kKindButtons, 40, 0, ""},
    {98, kKindButtons, 50, 0, ""},
    {103, kKindCollect, 20, 3, ""},
    {106, kKindCollect, 20, 4, ""},
    {108, kKindCollect, 20, 5, ""},
    {112, kKindBounces, 20, 15, ""},
    {114, kKindBounces, 20, 12, ""},
    {116, kKindBounces, 20, 10, ""},
    {118, kKindBounces, 15, 8, ""},
    {123, kKindSuper, 20, 3, ""},
    {126, kKindSuper, 20, 4, ""},
    {128, kKindSuper, 20, 4, ""},
    {132, kKindSheepRace, 20, 0, ""},
    {134, kKindSheepRace, 30, 0, ""},
    {137, kKindSheepRace, 50, 0, ""},
    {142, kKindMegaSpikes, 20, 0, ""},
    {144, kKindMegaSpikes, 30, 0, ""},
    {146, kKindMegaSpikes, 40, 0, ""},
    {148, kKindMegaSpikes, 50, 0, ""},
};

// Level list geometry of the menu: tiles at positions 0 and 4 of each row of five are taller.
constexpr int kTallTileStep = 56;
constexpr int kTileStep = 24;
// In double: 0.65 in single precision times 360 or 720 falls just short of a whole unit.
constexpr double kListAnchor = 0.65;

// Clearing ranges of p_OnCreate.
constexpr int kBadgeSlotsCleared = 15;
constexpr int kBadgeFlagsCleared = 128;
constexpr int kRecordsCleared = 5001;
} // namespace

c_MyApp::c_MyApp() {
    m_pattern = kpS("ABCDEFGH");
    m_pingText = kpS("N/A");
    m_new();
}

int c_MyApp::p_OnCreate() {
    // Loaders idle, no theme variant, standard resolution.
    m_miniLoadStep = 0;
    m_variant = -1;
    m_hdLevel = 1;
    m_theme = 1;

    m_ouyaLayout = 0;
    if (kp_BT3_isOuya == 1) {
        m_iconStyle = 1;
        kp_BT3_overscan = kOuyaOverscan;
    }

    m_fullscreen = 0;
    m_hideOverlay = 0;
    p_ResetStars(kStartStars);
    m_introFrames = 0;
    m_introShown = 1;
    m_menuY = static_cast<float>(p_FindSpot(0));
    m_menuYTarget = m_menuY;

    buildLevelTable();

    if (kp_BT3_J_On_Allow == 1) {
        String query = kpS(kPingQuery) + kpIntToString(kp_BT3_GameNum);
        p_GetURL(kpS(kPingAddress), query);
    }

    kp_app_SetUpdateRate(kUpdateRate);

    m_screen = kScreenMenu;
    m_lastDevW = kp_app_DeviceWidth();
    m_lastDevH = kp_app_DeviceHeight();

    p_Reload();

    // The pause panel at rest, off screen.
    m_level = kFirstSelectedLevel;
    m_pauseTop = -32;
    m_pauseFade = 50;
    m_paused = 0;
    m_pauseDir = -1;
    m_pauseY = -64;

    for (int i = 0; i < kBadgeSlotsCleared; ++i) {
        m_badgeQueue[i] = 0;
        m_badgeTimers[i] = 0;
    }
    for (int i = 0; i < kBadgeFlagsCleared; ++i) m_badges[i] = false;
    for (int i = 0; i < kButtonsCleared; ++i) m_buttons[i] = 0;
    m_settings.fill(0);
    m_settings[kSoundSetting] = 1;
    for (int i = 0; i < kRecordsCleared; ++i) m_records[i] = 0;

    p_Load();

    for (int i = 0; i < kAudioChannels; ++i) m_sfxChannels[i] = i;
    return 0;
}

void c_MyApp::buildLevelTable() {
    for (m_i = 1; m_i <= kLevelTableSize; ++m_i) {
        int group = (m_i - 1) / kLevelsPerGroup + 1;
        int position = m_i % kLevelsPerGroup;
        int theme = group;
        for (const ThemeSwap& swap : kThemeSwaps) {
            if (swap.group == group) theme = swap.theme;
        }
        m_levelTheme[m_i] = theme;
        m_levelKind[m_i] = position == 0 ? kKindInfinity : kKindSpikes;
        m_levelTarget[m_i] = kTargetByPosition[position];
        m_levelParam[m_i] = 0;
        m_levelPattern[m_i] = String();
    }
    for (const LevelOverride& row : kLevelOverrides) {
        m_levelKind[row.level] = row.kind;
        m_levelTarget[row.level] = row.target;
        m_levelParam[row.level] = row.param;
        m_levelPattern[row.level] = kpS(row.pattern);
    }
}

int c_MyApp::p_Rand(float lo, float hi) {
    double r = kp_random_Rnd();
    return static_cast<int>(std::floor(lo + (hi + 0.99 - lo) * r));
}

int c_MyApp::p_ResetPlayers() {
    for (m_i = 0; m_i < kPlayerFloats; ++m_i) m_ball[m_i] = 0;
    return 0;
}

int c_MyApp::p_FindSpot(int level) {
    double spot = 0;
    for (int k = level; k < kp_BT3_MaxGamesB; ++k) {
        int row = k % 5;
        spot -= (row == 0 || row == 4) ? kTallTileStep : kTileStep;
    }
    spot += kListAnchor * static_cast<double>(kp_BT3_jscrh);
    return static_cast<int>(spot);
}
