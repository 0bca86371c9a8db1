// The end of a round: filing the score into the best and last lists and the statistics, the
// selection and pass/fail marker after a win or a loss, the rank text, the results panel's
// timer over play and over the menu, and the verdict shown for each kind and result.
#include <string>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game_fixture.h"

namespace {

class ResultsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Start();
        app->m_loadStep = 0;
    }
    // A finished round of a level: its kind, score, spikes passed, target and parameter.
    void Round(int level, int kind, int score, int passed, int target = 10, int param = 0) {
        app->m_level = level;
        app->m_menuLevel = level - 1;
        app->m_kind = kind;
        app->m_score = score;
        app->m_ball[kBallPassed] = static_cast<float>(passed);
        app->m_target = target;
        app->m_param = param;
        app->m_chaserAhead = 0;
    }
    int* Best(int level) { return &app->m_records[kRecordBest + (level - 1) * 10]; }
    int* Last(int level) { return &app->m_records[kRecordLast + (level - 1) * 10]; }
    int* Stats(int level) { return &app->m_records[kRecordStats + (level - 1) * 10]; }
    std::vector<int> List(const int* values) { return std::vector<int>(values, values + 10); }

    // The characters the list draws in the font, in order (blanks draw nothing).
    std::string DrawnText() const {
        std::string text;
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            if (app->m_drawList[i] == app->m_font)
                text += static_cast<char>(app->m_drawList[i + 6] + 32);
        }
        return text;
    }
    // One results step over the menu with the panel showing.
    std::string PanelText() {
        app->m_screen = kScreenMenu;
        app->m_resultsTimer = 50;
        app->p_CLS2D(0, 0, 0, 1);
        app->p_GameOver();
        return DrawnText();
    }
};

} // namespace

TEST_F(ResultsTest, BestScoresTakeTheFirstSmallerSlotAndAnEqualScoreGoesBelow) {
    const int before[] = {50, 40, 30, 20, 10, 9, 8, 7, 6, 5};
    std::copy(before, before + 10, Best(3));
    Last(3)[0] = 77;
    Round(3, kKindSpikes, 40, 2);
    EXPECT_EQ(app->p_MyNth(), u"2nd") << "an equal score ranks above the stored one";
    EXPECT_EQ(app->m_i, 2);
    app->p_LoadMenu();
    EXPECT_EQ(List(Best(3)), (std::vector<int>{50, 40, 40, 30, 20, 10, 9, 8, 7, 6}));
    EXPECT_EQ(Last(3)[0], 40);
    EXPECT_EQ(Last(3)[1], 77);

    Round(3, kKindSpikes, 6, 2);
    EXPECT_EQ(app->p_MyNth(), u"10th");
    app->p_LoadMenu();
    EXPECT_EQ(Best(3)[9], 6) << "equal to the tenth is not filed";
    EXPECT_EQ(List(Last(3)), (std::vector<int>{6, 40, 77, 0, 0, 0, 0, 0, 0, 0}));

    Round(3, kKindSpikes, 5, 2);
    EXPECT_EQ(app->p_MyNth(), u"");
    EXPECT_EQ(app->m_i, 0);
}

TEST_F(ResultsTest, AZeroOnAnEmptyLevelRanksFirstButFilesNothing) {
    Round(4, kKindSpikes, 0, 0);
    const std::string panel = PanelText();
    EXPECT_NE(panel.find("NewHighscore1st!"), std::string::npos) << panel;
    app->p_LoadMenu();
    EXPECT_EQ(List(Best(4)), std::vector<int>(10, 0));

    std::fill(Best(4), Best(4) + 10, 1);
    EXPECT_EQ(PanelText().find("NewHighscore"), std::string::npos) << "no rank, no box";
}

TEST_F(ResultsTest, StatisticsKeepTheBestOfEachAndAddUpTheSpikes) {
    int* stats = Stats(2);
    stats[kStatMostSpikes] = 7;
    stats[kStatTotalSpikes] = 100;
    Round(2, kKindSpikes, 30, 5, 10, 0);
    app->m_bestLeap = 4;
    app->m_bestSuper = 6;
    app->p_LoadMenu();
    EXPECT_EQ(stats[kStatMostSpikes], 7);
    EXPECT_EQ(stats[kStatTotalSpikes], 105);
    EXPECT_EQ(stats[kStatBestLeap], 4);
    EXPECT_EQ(stats[kStatBestSuper], 6);
    EXPECT_EQ(stats[kStatTargetDiff], 0) << "no difference is smaller than none";

    stats[kStatTargetDiff] = 10;
    Round(2, kKindSpikes, 12, 9, 10, 15);
    app->m_bestLeap = 2;
    app->m_bestSuper = 1;
    app->p_LoadMenu();
    EXPECT_EQ(stats[kStatMostSpikes], 9);
    EXPECT_EQ(stats[kStatTotalSpikes], 114);
    EXPECT_EQ(stats[kStatBestLeap], 4);
    EXPECT_EQ(stats[kStatBestSuper], 6);
    EXPECT_EQ(stats[kStatTargetDiff], -3);
    Round(2, kKindSpikes, 20, 9, 10, 15);
    app->p_LoadMenu();
    EXPECT_EQ(stats[kStatTargetDiff], -3) << "a larger difference does not replace it";
}

TEST_F(ResultsTest, AWinMovesTheSelectionOnExceptFromTheTenthOfAGroup) {
    Round(9, kKindSpikes, 10, 30, 30);
    app->p_LoadMenu();
    EXPECT_EQ(app->m_won, 1);
    EXPECT_EQ(app->m_menuLevel, 9);
    EXPECT_EQ(Stats(9)[kStatMarker], -1);
    EXPECT_EQ(app->m_settings[4], 9);
    EXPECT_EQ(app->m_menuYTarget, app->p_FindSpot(9));

    Round(10, kKindInfinity, 10, 3, 0);
    app->p_LoadMenu();
    EXPECT_EQ(app->m_menuLevel, 9);
    EXPECT_EQ(Stats(10)[kStatMarker], -1);

    Round(150, kKindInfinity, 10, 3, 0);
    app->m_menuLevel = 160; // a selection beyond the last level is brought back
    app->p_LoadMenu();
    EXPECT_EQ(app->m_menuLevel, 149);
}

TEST_F(ResultsTest, LossesCountToThreeAndAPassStaysAPass) {
    for (int expected : {1, 2, 3, 3}) {
        Round(1, kKindSpikes, 5, 4, 10);
        app->p_LoadMenu();
        EXPECT_EQ(app->m_lost, 1);
        EXPECT_EQ(Stats(1)[kStatMarker], expected);
        EXPECT_EQ(app->m_menuLevel, 0);
    }
    Round(1, kKindSpikes, 5, 10, 10);
    app->p_LoadMenu();
    EXPECT_EQ(Stats(1)[kStatMarker], -1);
    EXPECT_EQ(app->m_menuLevel, 1);
    Round(1, kKindSpikes, 5, 4, 10);
    app->p_LoadMenu();
    EXPECT_EQ(Stats(1)[kStatMarker], -1) << "a passed level stays passed";
}

TEST_F(ResultsTest, ThePanelShows89PlayTicksThenFadesOverTheMenu) {
    for (int silent = 0; silent < 2; ++silent) {
        kp_BT3_HasMusicStream = silent ? 0 : 1;
        Round(1, kKindSpikes, 5, 4, 10);
        app->m_screen = kScreenPlay;
        app->m_resultsTimer = 0;
        app->p_CLS2D(0, 0, 0, 1);
        app->p_GameOver();
        EXPECT_EQ(app->m_drawCount, 0) << "the first step draws nothing";
        EXPECT_EQ(app->m_resultsTimer, 1);
        for (int i = 1; i < 89; ++i) app->p_GameOver();
        EXPECT_EQ(app->m_screen, kScreenPlay);
        EXPECT_EQ(app->m_resultsTimer, 89);
        app->p_GameOver();
        EXPECT_EQ(app->m_screen, kScreenToMenu);
        EXPECT_EQ(app->m_resultsTimer, silent ? 73 : 75);

        app->m_screen = kScreenMenu;
        int steps = 0;
        while (app->m_resultsTimer > 0 && steps < 100) {
            app->m_pointerLatch = 0;
            app->m_backLatch = 0;
            app->p_GameOver();
            ++steps;
            if (app->m_resultsTimer > 0) {
                ASSERT_EQ(app->m_backLatch, 1) << "input held back";
            }
        }
        EXPECT_EQ(steps, silent ? 37 : 38);
    }
}

TEST_F(ResultsTest, TheVerdictFollowsTheKindAndTheResult) {
    struct Case {
        int kind, score, passed, target, param, sheepAhead;
        const char* shows;
    };
    const Case cases[] = {
        {kKindSpikes, 9, 10, 10, 0, 0, "LevelComplete"},
        {kKindSpikes, 9, 4, 10, 0, 0, "GAMEOVER"},
        {kKindSheepRace, 9, 20, 20, 0, 1, "YouLost"},
        {kKindSheepRace, 9, 20, 20, 0, 0, "YouWon!"},
        {kKindTarget, 15, 5, 5, 15, 0, "PerfectScore!YouTarget1515"},
        {kKindTarget, 18, 5, 5, 15, 0, "3Over!YouTarget1815"},
        {kKindTarget, 12, 5, 5, 15, 0, "3UnderYouTarget1215"},
        {kKindTarget, 15, 4, 5, 15, 0, "GAMEOVER"},
        {kKindCollect, 9, 20, 20, 3, 0, "GAMEOVER"}, // no items collected
    };
    for (const Case& c : cases) {
        Round(5, c.kind, c.score, c.passed, c.target, c.param);
        app->m_chaserAhead = c.sheepAhead;
        std::fill(Best(5), Best(5) + 10, 1000); // no rank line
        const std::string text = PanelText();
        EXPECT_EQ(text, c.shows) << "kind " << c.kind;
    }
}
