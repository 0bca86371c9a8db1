// The game object's state model: construction defaults, the creation order, the level and
// theme tables, and the shared helpers p_Rand, p_ResetPlayers and p_FindSpot.
#include <set>

#include "game_fixture.h"
#include "runtime/kp_random.h"

using StateTest = GameTest;

TEST_F(StateTest, ConstructionSetsTheNonZeroDefaultsOnly) {
    EXPECT_EQ(app->m_starCount, 100);
    EXPECT_EQ(app->m_miscLast, 20);
    EXPECT_EQ(app->m_particleLast, 250);
    EXPECT_EQ(app->m_pattern, kpS("ABCDEFGH"));
    EXPECT_EQ(app->m_pingText, kpS("N/A"));
    EXPECT_FLOAT_EQ(app->m_pauseGlowA, 25.0f);
    EXPECT_FLOAT_EQ(app->m_pauseGlowB, 25.0f);
    EXPECT_EQ(app->m_drawScaleX, 0.0f);
    EXPECT_EQ(app->m_drawCount, 0);
    EXPECT_EQ(app->m_levelPattern[1], String());
    EXPECT_EQ(app->m_images[0], nullptr);
    EXPECT_EQ(app->m_sfx[99], nullptr);
}

TEST_F(StateTest, CreationRunsTheWholeStartUpOrder) {
    app->m_records[5000] = 9;
    app->m_records[5001] = 9;
    app->m_buttons[18] = 2;
    app->m_buttons[19] = 2;
    app->m_badges[127] = true;
    app->m_badges[128] = true;
    Start();
    EXPECT_EQ(app->m_screen, 1);
    EXPECT_EQ(app->m_level, 2);
    EXPECT_EQ(app->m_theme, 1);
    EXPECT_EQ(app->m_variant, -1);
    EXPECT_EQ(kp_app__updateRate, 60);
    EXPECT_EQ(host->UpdateRate(), 60);
    EXPECT_EQ(app->m_lastDevW, 640);
    EXPECT_EQ(app->m_lastDevH, 480);
    EXPECT_EQ(app->m_menuY, -5208.0f);
    EXPECT_EQ(app->m_menuYTarget, -5208.0f);
    EXPECT_EQ(app->m_pauseTop, -32);
    EXPECT_EQ(app->m_pauseFade, 50);
    EXPECT_EQ(app->m_pauseDir, -1);
    EXPECT_EQ(app->m_pauseY, -64);
    EXPECT_EQ(app->m_introShown, 1);
    EXPECT_EQ(app->m_settings[5], 1);
    EXPECT_EQ(app->m_records[5000], 0);
    EXPECT_EQ(app->m_records[5001], 9) << "only entries 0..5000 are cleared";
    EXPECT_EQ(app->m_buttons[18], 0);
    EXPECT_EQ(app->m_buttons[19], 2) << "only buttons 0..18 are cleared";
    EXPECT_FALSE(app->m_badges[127]);
    EXPECT_TRUE(app->m_badges[128]) << "only badges 0..127 are cleared";
    for (int i = 0; i < kAudioChannels; ++i) EXPECT_EQ(app->m_sfxChannels[i], i);
    EXPECT_EQ(kp_BT3_overscan, 0.0f);
    EXPECT_EQ(app->m_iconStyle, 0);
}

TEST_F(StateTest, CreationOnTheConsoleKeepsAnOverscanMarginAndButtonIcons) {
    kp_BT3_isOuya = 1;
    Start();
    EXPECT_EQ(kp_BT3_overscan, 64.0f);
    EXPECT_EQ(app->m_iconStyle, 1);
    EXPECT_EQ(app->m_ouyaLayout, 0);
}

TEST_F(StateTest, GroupsFiveSevenAndFourteenPlayAnotherTheme) {
    Start();
    for (int level = 1; level <= 500; ++level) {
        int group = (level - 1) / 10 + 1;
        int expected = group == 5 ? 7 : group == 7 ? 5 : group == 14 ? 16 : group;
        ASSERT_EQ(app->m_levelTheme[level], expected) << "level " << level;
    }
    EXPECT_EQ(app->m_levelTheme[41], 7);
    EXPECT_EQ(app->m_levelTheme[70], 5);
    EXPECT_EQ(app->m_levelTheme[131], 16);
    EXPECT_EQ(app->m_levelTheme[151], 16) << "groups past 15 play their own number";
}

TEST_F(StateTest, EveryTenthLevelIsInfinityWithNoTarget) {
    Start();
    for (int level = 10; level <= 500; level += 10) {
        EXPECT_EQ(app->m_levelKind[level], 6) << level;
        EXPECT_EQ(app->m_levelTarget[level], 0) << level;
    }
    EXPECT_EQ(app->m_levelPattern[10], kpS("ABCDEFGHIJ"));
    EXPECT_EQ(app->m_levelPattern[20], String());
}

TEST_F(StateTest, UnlistedLevelsFollowTheGroupRule) {
    Start();
    struct Row {
        int level, kind, target;
    };
    const Row rows[] = {{11, 3, 10},  {12, 3, 10},  {15, 3, 50},  {19, 3, 35}, {151, 3, 10},
                        {154, 3, 20}, {155, 3, 50}, {159, 3, 35}, {160, 6, 0}, {499, 3, 35}};
    for (const Row& row : rows) {
        EXPECT_EQ(app->m_levelKind[row.level], row.kind) << row.level;
        EXPECT_EQ(app->m_levelTarget[row.level], row.target) << row.level;
        EXPECT_EQ(app->m_levelParam[row.level], 0) << row.level;
        EXPECT_EQ(app->m_levelPattern[row.level], String()) << row.level;
    }
}

TEST_F(StateTest, HandMadeLevelsOverrideKindTargetParameterAndPattern) {
    Start();
    struct Row {
        int level, kind, target, param;
        const char* pattern;
    };
    const Row rows[] = {
        {1, 3, 10, 0, "AABACCABAA"}, {2, 3, 10, 0, "ABCDEFGHIJ"}, {3, 3, 10, 0, "NJIHGFEDCBA"},
        {4, 3, 20, 0, "AJBICHDGEF"}, {5, 3, 50, 0, "ABCDEFGHIJ"}, {6, 2, 5, 15, "AABAC"},
        {7, 2, 5, 21, "AABAC"},      {8, 2, 5, 35, "AABAC"},      {9, 3, 30, 0, "AJBICHDGEF"},
        {10, 6, 0, 0, "ABCDEFGHIJ"}, {13, 1, 20, 4, ""},          {14, 1, 20, 5, ""},
        {17, 1, 20, 6, ""},          {18, 1, 20, 7, ""},          {23, 7, 20, 0, ""},
        {24, 7, 30, 0, ""},          {27, 7, 50, 0, ""},          {33, 1, 20, 3, ""},
        {36, 1, 20, 3, ""},          {38, 1, 20, 3, ""},          {43, 8, 15, 0, ""},
        {46, 8, 15, 0, ""},          {48, 8, 15, 0, ""},          {53, 9, 15, 10, ""},
        {56, 9, 15, 10, ""},         {58, 9, 15, 8, ""},          {64, 1, 20, 3, ""},
        {67, 1, 20, 4, ""},          {68, 1, 20, 4, ""},          {73, 10, 20, 0, ""},
        {76, 10, 30, 0, ""},         {78, 10, 40, 0, ""},         {83, 2, 10, 80, ""},
        {86, 2, 10, 93, ""},         {88, 2, 10, 73, ""},         {93, 13, 20, 0, ""},
        {96, 13, 30, 0, ""},         {97, 13, 40, 0, ""},         {98, 13, 50, 0, ""},
        {103, 11, 20, 3, ""},        {106, 11, 20, 4, ""},        {108, 11, 20, 5, ""},
        {112, 9, 20, 15, ""},        {114, 9, 20, 12, ""},        {116, 9, 20, 10, ""},
        {118, 9, 15, 8, ""},         {123, 1, 20, 3, ""},         {126, 1, 20, 4, ""},
        {128, 1, 20, 4, ""},         {132, 7, 20, 0, ""},         {134, 7, 30, 0, ""},
        {137, 7, 50, 0, ""},         {142, 12, 20, 0, ""},        {144, 12, 30, 0, ""},
        {146, 12, 40, 0, ""},        {148, 12, 50, 0, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(app->m_levelKind[row.level], row.kind) << row.level;
        EXPECT_EQ(app->m_levelTarget[row.level], row.target) << row.level;
        EXPECT_EQ(app->m_levelParam[row.level], row.param) << row.level;
        EXPECT_EQ(app->m_levelPattern[row.level], kpS(row.pattern)) << row.level;
    }
    EXPECT_EQ(app->m_levelTheme[43], 7) << "overrides never change the theme";
    EXPECT_EQ(app->m_levelTheme[132], 16);
}

TEST_F(StateTest, PatternLettersGiveSpikeHeightsFromOne) {
    Start();
    const String& descent = app->m_levelPattern[3];
    EXPECT_EQ(descent.front() - 64, 14);
    EXPECT_EQ(descent.back() - 64, 1);
}

TEST_F(StateTest, RandCoversBothEndsAndNeverPassesTheTop) {
    kp_random_Seed = 77;
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int v = app->p_Rand(1, 6);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 6);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 6u);
    for (int i = 0; i < 200; ++i) {
        int v = app->p_Rand(-8, 8);
        ASSERT_GE(v, -8);
        ASSERT_LE(v, 8);
    }
    EXPECT_EQ(app->p_Rand(3, 3), 3);
}

TEST_F(StateTest, RandUsesOneDrawOfTheFrameworkGenerator) {
    kp_random_Seed = 1234;
    float r = kp_random_Rnd();
    kp_random_Seed = 1234;
    EXPECT_EQ(app->p_Rand(0, 9), static_cast<int>(r * 9.99));
}

TEST_F(StateTest, ResetPlayersClearsTheFirstFiveHundredBallFloats) {
    app->m_ball.fill(7);
    app->p_ResetPlayers();
    EXPECT_EQ(app->m_ball[0], 0);
    EXPECT_EQ(app->m_ball[499], 0);
    EXPECT_EQ(app->m_ball[500], 7);
    EXPECT_EQ(app->m_i, 500);
}

TEST_F(StateTest, FindSpotStepsUpTheListAndTruncatesTowardZero) {
    // 150 levels: 60 tall rows of 56 and 90 of 24, plus 0.65 of 480.
    EXPECT_EQ(app->p_FindSpot(0), -5520 + 312);
    EXPECT_EQ(app->p_FindSpot(150), 312);
    EXPECT_EQ(app->p_FindSpot(149), 312 - 56);
    EXPECT_EQ(app->p_FindSpot(145), 312 - 56 - 24 - 24 - 24 - 56);
    kp_BT3_jscrh = 101; // 0.65 * 101 = 65.65
    EXPECT_EQ(app->p_FindSpot(148), -14) << "-80 + 65.65 truncates toward zero";
    kp_BT3_jscrh = 437;
    EXPECT_EQ(app->p_FindSpot(150), 284);
}

TEST_F(StateTest, TitlesAndCreditsHaveTheirFixedShape) {
    EXPECT_EQ(kp_BT3_MenuSet.size(), 30u);
    EXPECT_EQ(kp_BT3_CreditText.size(), 50u);
    EXPECT_EQ(kp_BT3_MenuSet[0], kpS("Old Faithful"));
    EXPECT_EQ(kp_BT3_MenuSet[8], kpS("Gridlock"));
    EXPECT_EQ(kp_BT3_MenuSet[22], kpS("Glittering\\nStarlight\\nParade"));
    EXPECT_EQ(kp_BT3_MenuSet[28], kpS("Pixel Pirate"));
    for (int i = 1; i < 30; i += 2) EXPECT_EQ(kp_BT3_MenuSet[i], String()) << i;
    int headings = 0;
    for (const String& line : kp_BT3_CreditText) {
        if (line == kpS("Graphics") || line == kpS("Audio") || line == kpS("Thanks to")) {
            ++headings;
        }
    }
    EXPECT_EQ(headings, 3);
}
