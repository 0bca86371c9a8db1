// The level kinds: p_DidIWin on both sides of every kind's threshold, the head-up counter's
// number, colour and icon rows, the start title's text and travel, and the pass-value list.
#include <string>
#include <vector>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game_fixture.h"

struct KindDisplayProbe {
    static void counter(c_MyApp* app) { app->drawKindCounter(); }
    static void title(c_MyApp* app) { app->drawStartTitle(); }
    static void passValues(c_MyApp* app) { app->drawPassValues(); }
};

namespace {
// One round's end as p_DidIWin sees it.
struct Ending {
    int kind;
    int target;
    int param;
    int passed;
    int score;
    int bestSuper;
    int chaserAhead;
    int collected;
    bool won;
};

const Ending kEndings[] = {
    // kind               target param passed score super ahead items won
    {kKindSuper, 20, 4, 20, 0, 4, 0, 0, true},
    {kKindSuper, 20, 4, 20, 0, 3, 0, 0, false}, // chain one short
    {kKindSuper, 20, 4, 19, 0, 9, 0, 0, false}, // chain but no goal
    {kKindTarget, 5, 15, 5, 15, 0, 0, 0, true},
    {kKindTarget, 5, 15, 5, 14, 0, 0, 0, false},
    {kKindTarget, 5, 15, 5, 16, 0, 0, 0, false},
    {kKindSpikes, 10, 0, 10, 0, 0, 0, 0, true},
    {kKindSpikes, 10, 0, 9, 0, 0, 0, 0, false},
    {kKindDejaVu, 15, 0, 15, 0, 0, 0, 0, true},
    {kKindDejaVu, 15, 0, 14, 0, 0, 0, 0, false},
    {kKindBounces, 15, 10, 15, 0, 0, 0, 0, true},
    {kKindBounces, 15, 10, 14, 0, 0, 0, 0, false},
    {kKindLavaChase, 20, 0, 21, 0, 0, 0, 0, true},
    {kKindLavaChase, 20, 0, 19, 0, 0, 0, 0, false},
    {kKindMegaSpikes, 20, 0, 20, 0, 0, 0, 0, true},
    {kKindMegaSpikes, 20, 0, 0, 0, 0, 0, 0, false},
    {kKindButtons, 20, 0, 20, 0, 0, 0, 0, true},
    {kKindButtons, 20, 0, 19, 0, 0, 0, 0, false},
    {kKindInfinity, 0, 0, 0, 0, 0, 1, 0, true},
    {kKindSheepRace, 20, 0, 20, 0, 0, 0, 0, true},
    {kKindSheepRace, 20, 0, 20, 0, 0, 1, 0, false}, // the sheep was ahead at the goal
    {kKindSheepRace, 20, 0, 19, 0, 0, 0, 0, false},
    {kKindCollect, 20, 3, 0, 0, 0, 0, 3, true}, // items count, not spikes
    {kKindCollect, 20, 3, 20, 0, 0, 0, 2, false},
    {kKindLeap, 5, 0, 50, 0, 50, 0, 50, false},
    {kKindSpike, 5, 0, 50, 0, 50, 0, 50, false},
};

const float* command(const c_MyApp* app, int index) {
    return &app->m_drawList[index * kDrawStride];
}
int commandCount(const c_MyApp* app) {
    return app->m_drawCount / kDrawStride;
}
// The glyphs drawn in the font's slot, as text (spaces are not drawn).
std::string textDrawn(const c_MyApp* app) {
    std::string out;
    for (int i = 0; i < commandCount(app); ++i) {
        const float* c = command(app, i);
        if (c[0] == app->m_font) out.push_back(static_cast<char>(c[6] + 32));
    }
    return out;
}
// The image commands of one image slot.
std::vector<const float*> images(const c_MyApp* app, int image) {
    std::vector<const float*> out;
    for (int i = 0; i < commandCount(app); ++i) {
        if (command(app, i)[0] == image) out.push_back(command(app, i));
    }
    return out;
}
} // namespace

class KindsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Start();
    }
    void counter() {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        KindDisplayProbe::counter(app);
    }
    void title() {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        KindDisplayProbe::title(app);
    }
};

TEST_F(KindsTest, EveryKindIsJudgedOnBothSidesOfItsThreshold) {
    for (const Ending& e : kEndings) {
        app->m_kind = e.kind;
        app->m_target = e.target;
        app->m_param = e.param;
        app->m_ball[kBallPassed] = static_cast<float>(e.passed);
        app->m_score = e.score;
        app->m_bestSuper = e.bestSuper;
        app->m_chaserAhead = e.chaserAhead;
        app->m_ball[kBallCollected] = static_cast<float>(e.collected);
        // What the last round left must not decide this one.
        app->m_won = e.won ? 0 : 1;
        app->m_lost = e.won ? 1 : 0;
        app->p_DidIWin();
        SCOPED_TRACE(::testing::Message() << "kind " << e.kind << " passed " << e.passed
                                          << " score " << e.score << " items " << e.collected);
        EXPECT_EQ(app->m_won, e.won ? 1 : 0);
        EXPECT_EQ(app->m_lost, e.won ? 0 : 1);
    }
}

TEST_F(KindsTest, TheCounterShowsWhatEachKindCounts) {
    setUp(12); // Spikes, target 10
    app->m_ball[kBallPassed] = 3;
    counter();
    EXPECT_EQ(app->m_num, 7);
    EXPECT_EQ(textDrawn(app), "7");
    const float* digit = command(app, 0);
    EXPECT_EQ(digit[4], 4.0f);
    EXPECT_FLOAT_EQ(digit[7], 0.8f);
    EXPECT_EQ(digit[10], 100);
    EXPECT_EQ(digit[11], 255);
    app->m_ball[kBallPassed] = 12;
    counter();
    EXPECT_EQ(app->m_num, 0) << "never below zero";

    setUp(6); // Target, score 15
    app->m_ball[kBallPassed] = 2;
    counter();
    EXPECT_EQ(textDrawn(app), "15");

    setUp(20); // Infinity counts up
    app->m_ball[kBallPassed] = 37;
    counter();
    EXPECT_EQ(app->m_num, 37);

    setUp(43); // Deja Vu shows its parameter, 0
    app->m_ball[kBallPassed] = 4;
    counter();
    EXPECT_EQ(app->m_num, 0);

    setUp(23); // Sheep Race: red while the sheep leads
    app->m_ball[kBallPassed] = 5;
    app->m_chaserX = static_cast<int>(app->m_ball[kBallX]) + 1;
    counter();
    EXPECT_EQ(app->m_num, 15);
    EXPECT_EQ(command(app, 0)[10], 255);
    EXPECT_EQ(command(app, 0)[11], 100);
    app->m_chaserX = static_cast<int>(app->m_ball[kBallX]) - 1;
    counter();
    EXPECT_EQ(command(app, 0)[11], 255);
}

TEST_F(KindsTest, RunningOutOfBouncesShowsZeroAndEndsTheRoundEvenWithTheOverlayHidden) {
    setUp(53); // Bounces, 10
    app->m_ball[kBallBounces] = 4;
    counter();
    EXPECT_EQ(app->m_num, 6);
    EXPECT_EQ(app->m_roundOver, 0);

    app->m_hideOverlay = 1;
    app->m_ball[kBallBounces] = 11;
    counter();
    EXPECT_EQ(app->m_num, 0);
    EXPECT_EQ(app->m_roundOver, 1);
    EXPECT_EQ(commandCount(app), 0) << "a hidden overlay draws nothing";
}

TEST_F(KindsTest, IconRowsLightTheChainReachedAndTheItemsCollected) {
    setUp(13); // SUPER, 4
    app->m_bestSuper = 2;
    counter();
    std::vector<const float*> row = images(app, 9);
    ASSERT_EQ(row.size(), 4u);
    const int frames[] = {16, 16, 17, 17};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(row[i][6], frames[i]) << i;
        EXPECT_EQ(row[i][1], 640 - 64 - 18 + 12 * i) << i;
        EXPECT_EQ(row[i][2], 72);
        EXPECT_EQ(row[i][4], 0.25f);
    }

    setUp(103); // Collect, 3
    app->m_ball[kBallCollected] = 1;
    counter();
    row = images(app, 1);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[0][6], 84);
    EXPECT_FLOAT_EQ(row[0][7], 0.8f);
    EXPECT_EQ(row[1][6], 85);
    EXPECT_FLOAT_EQ(row[1][7], 0.6f);
    EXPECT_EQ(row[2][1], 640 - 64 - 12 + 24);
}

TEST_F(KindsTest, StartTitlesNameTheKindWithItsNumberAndRestAtSixty) {
    struct Title {
        int level;
        const char* text;
    };
    const Title titles[] = {{13, "SUPER:4"},     {6, "Score:15"},   {12, "Spikes:10"},
                            {20, "Infinity"},    {23, "SheepRace"}, {43, "DejaVu"},
                            {53, "Bounces:10"},  {73, "LavaChase"}, {103, "Collect:3"},
                            {142, "MegaSpikes"}, {93, "Buttons"}};
    for (const Title& t : titles) {
        setUp(t.level);
        app->m_playFrames = 60;
        title();
        EXPECT_EQ(textDrawn(app), t.text) << "level " << t.level;
        std::vector<const float*> icon = images(app, 9);
        ASSERT_EQ(icon.size(), 1u);
        EXPECT_EQ(icon[0][6], app->m_kind - 1);
        EXPECT_EQ(icon[0][2], 240) << "the icon rests at the centre";
    }
    // At the start the icon is above the screen; the title comes from below.
    app->m_playFrames = 0;
    title();
    EXPECT_EQ(images(app, 9)[0][2], 240 - 360);
    EXPECT_GT(command(app, 1)[2], 480);
}

TEST_F(KindsTest, ATargetHitAndTheFirstSheepRaceWonEarnTheirBadgesOnce) {
    auto finish = [this](int kind, int score, int ahead) {
        app->m_kind = kind;
        app->m_target = 20;
        app->m_param = 15;
        app->m_ball[kBallPassed] = 20;
        app->m_score = score;
        app->m_chaserAhead = ahead;
        app->p_DidIWin();
    };
    finish(kKindTarget, 16, 0);
    finish(kKindSheepRace, 0, 1);
    EXPECT_FALSE(app->m_badges[5]);
    EXPECT_FALSE(app->m_badges[6]);
    EXPECT_EQ(app->m_badgeTimers[0], 0);

    finish(kKindSheepRace, 0, 0);
    EXPECT_TRUE(app->m_badges[6]);
    EXPECT_EQ(app->m_badgeQueue[0], 6);
    EXPECT_EQ(app->m_badgeTimers[0], 1);
    finish(kKindSheepRace, 0, 0);
    EXPECT_EQ(app->m_badgeTimers[1], 0) << "a second win shows no second notice";

    finish(kKindTarget, 15, 0);
    EXPECT_TRUE(app->m_badges[5]);
    EXPECT_EQ(app->m_badgeQueue[1], 5);
}

TEST_F(KindsTest, ThePassValueListShowsAllTwentyValuesZerosIncludedFadingInTowardsTheNewest) {
    setUp(12); // Spikes
    // The newest value in slot 80, the one before it in 79, the rest still 0.
    app->m_ball[80] = 9;
    app->m_ball[79] = 4;
    app->p_CLS2D(kNotGiven, 0, 0, 0);
    KindDisplayProbe::passValues(app);
    std::string text;
    std::vector<float> alphas;
    std::vector<float> ys;
    for (int i = 0; i < commandCount(app); ++i) {
        const float* c = command(app, i);
        if (c[0] != app->m_font || c[4] != 1.5f) continue;
        text.push_back(static_cast<char>(c[6] + 32));
        alphas.push_back(c[7]);
        ys.push_back(c[2]);
    }
    EXPECT_EQ(text, std::string(18, '0') + "49") << "the oldest first, from the top";
    ASSERT_EQ(alphas.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_FLOAT_EQ(alphas[i], (i + 1) / 20.0f) << i;
        if (i > 0) {
            EXPECT_EQ(ys[i] - ys[i - 1], 18.0f) << i;
        }
    }
}
