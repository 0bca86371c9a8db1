// The menu driven through the frame driver with scripted keys and pointer: which tiles are
// open, selection by keys with the repeat timing and by the pointer, locked tiles, the level
// start and its theme loading, the latches of the intro, the back press, the totals, the
// marks drawn under a tile, the hidden unlock codes, and the detail panel.
#include <vector>

#include "game/bt3_numbers.h"
#include "game_fixture.h"

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyRB = 78; // "N": action button 15

struct Spot {
    float x;
    float y;
};

class MenuTest : public GameTest {
  protected:
    // Created, loaded, the intro over, and the list resting on its target.
    void SetUp() override {
        GameTest::SetUp();
        Start();
        app->m_loadStep = 0;
        app->m_introFrames = 320;
        app->m_loadedTheme = 1;
        Tick();
    }
    void Tick() { host->UpdateGame(); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
    void Press(int key) { host->KeyEvent(kEventKeyDown, key); }
    void Release(int key) { host->KeyEvent(kEventKeyUp, key); }
    void Tap(int key) {
        Press(key);
        Tick();
        Release(key);
        Tick();
    }
    int& Marker(int index) { return app->m_records[kRecordStats + index * 10 + kStatMarker]; }
    void Settle() { app->m_menuY = app->m_menuYTarget; }

    // Where tile `index` sits: the snake from the top tile down, turning every fifth tile.
    Spot TileSpot(int index) const {
        float step = static_cast<float>(static_cast<int>(kp_BT3_jscrw / 7));
        Spot s{step, app->m_menuY};
        for (int i = kp_BT3_MaxGamesB - 1; i > index; --i) {
            s.y += (i % 5 == 0 || i % 5 == 4) ? 56 : 24;
            s.x -= step;
            if (i % 5 == 4) {
                s.x += 2 * step;
                step = -step;
            }
        }
        return s;
    }
    // One press and release on a tile's face.
    void PressTile(int index) {
        Settle();
        const Spot s = TileSpot(index);
        host->MouseEvent(kEventMouseDown, 0, s.x, s.y + 18);
        Tick();
        host->MouseEvent(kEventMouseUp, 0, s.x, s.y + 18);
        Tick();
    }
    // Draw commands of an image slot and frame in the current list.
    int CountDrawn(int slot, int frame) const {
        int n = 0;
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            if (app->m_drawList[i] == slot && app->m_drawList[i + 6] == frame) ++n;
        }
        return n;
    }
    // The left edge of the detail panel's backing (its dark blue rectangle), or -9999.
    float DetailPanelX() const {
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            const float* c = &app->m_drawList[i];
            if (c[0] == kCmdRect && c[10] == 0 && c[11] == 0 && c[12] == 60) return c[1];
        }
        return -9999;
    }
    float FirstY(int slot, int frame) const {
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            if (app->m_drawList[i] == slot && app->m_drawList[i + 6] == frame)
                return app->m_drawList[i + 2];
        }
        return -9999;
    }
};

} // namespace

using FindSpot = GameTest;

TEST_F(FindSpot, IsWholeAtTheHeightsOfWideWindows) {
    kp_BT3_jscrh = 360;
    EXPECT_EQ(app->p_FindSpot(150), 234);
    kp_BT3_jscrh = 720;
    EXPECT_EQ(app->p_FindSpot(150), 468);
    kp_BT3_jscrh = 480;
    EXPECT_EQ(app->p_FindSpot(149), 312 - 56);
    EXPECT_EQ(app->p_FindSpot(145), 312 - 56 * 2 - 24 * 3);
}

TEST_F(MenuTest, FreshStartOpensOnlyLevelOneSelectedAndBouncing) {
    EXPECT_EQ(app->m_menuOpenCount, 1);
    EXPECT_EQ(app->m_menuLevel, 0);
    Tap(kKeyUp);
    EXPECT_EQ(app->m_menuLevel, 0) << "level 2 is locked";
    std::vector<float> ys;
    for (int i = 0; i < 12; ++i) {
        Tick();
        ys.push_back(FirstY(95, 1));
    }
    EXPECT_EQ(CountDrawn(95, 1), 1) << "one selected tile";
    EXPECT_NE(ys.front(), ys[5]) << "the highest open tile bobs";
    for (float y : ys) EXPECT_LE(y, TileSpot(0).y + 0.01f);
}

TEST_F(MenuTest, HeldUpRepeatsAfter30_22_14_6_4TicksAndStopsAtTheLastOpenTile) {
    app->p_UnlockAllTheLevels();
    Press(kKeyUp);
    std::vector<int> moves;
    int before = app->m_menuLevel;
    for (int t = 0; t < 90; ++t) {
        Tick();
        if (app->m_menuLevel != before) moves.push_back(t);
        before = app->m_menuLevel;
    }
    EXPECT_EQ(moves, (std::vector<int>{0, 30, 52, 66, 72, 76, 80, 84, 88}));
    EXPECT_EQ(app->m_menuYTarget, app->p_FindSpot(app->m_menuLevel));
    Release(kKeyUp);
    Tick();
    Press(kKeyDown);
    Tick();
    EXPECT_EQ(app->m_menuLevel, 8) << "a new press moves at once";
    Ticks(29);
    EXPECT_EQ(app->m_menuLevel, 8) << "releasing restored the 30-tick delay";
    Tick();
    EXPECT_EQ(app->m_menuLevel, 7);
    Release(kKeyDown);

    for (int k = 0; k < 150; ++k) Marker(k) = 0;
    Marker(0) = -1;
    Marker(1) = 3; // levels 1 to 3 open
    Press(kKeyDown);
    Ticks(200);
    EXPECT_EQ(app->m_menuLevel, 0);
    Release(kKeyDown);
    Tick();
    Press(kKeyUp);
    Ticks(200);
    EXPECT_EQ(app->m_menuOpenCount, 3);
    EXPECT_EQ(app->m_menuLevel, 2);
}

TEST_F(MenuTest, PointerPicksOpenTilesStartsTheSelectedOneAndIgnoresLockedOnes) {
    PressTile(1);
    EXPECT_EQ(app->m_menuLevel, 0) << "level 2 is locked";
    EXPECT_EQ(app->m_screen, kScreenMenu);

    Marker(0) = 3;
    Tick();
    PressTile(1);
    EXPECT_EQ(app->m_menuLevel, 1);
    EXPECT_EQ(app->m_menuYTarget, app->p_FindSpot(1));
    EXPECT_EQ(app->m_screen, kScreenMenu) << "picking a tile does not start it";

    Settle();
    const Spot s = TileSpot(1);
    host->MouseEvent(kEventMouseDown, 0, s.x, s.y + 18);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenLevelLoad);
    EXPECT_EQ(app->m_level, 2);
    EXPECT_EQ(app->m_iconStyle, 2) << "started by the pointer";
}

TEST_F(MenuTest, ATapBetweenTwoTicksStartsTheSelectedLevel) {
    // Enter pressed and let go before the tick, as a quick tap arrives.
    Press(kKeyEnter);
    Release(kKeyEnter);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenLevelLoad);
    EXPECT_EQ(app->m_level, 1);

    // A tap of the pointer (a touchpad's tap-to-click sends both at once) picks an open tile,
    // and the next tap on it starts it.
    app->m_screen = kScreenMenu;
    Marker(0) = 3;
    Ticks(2);
    Settle();
    Spot s = TileSpot(1);
    host->MouseEvent(kEventMouseDown, 0, s.x, s.y + 18);
    host->MouseEvent(kEventMouseUp, 0, s.x, s.y + 18);
    Tick();
    EXPECT_EQ(app->m_menuLevel, 1);
    EXPECT_EQ(app->m_screen, kScreenMenu);
    Tick();
    Settle();
    s = TileSpot(1);
    host->MouseEvent(kEventMouseDown, 0, s.x, s.y + 18);
    host->MouseEvent(kEventMouseUp, 0, s.x, s.y + 18);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenLevelLoad);
    EXPECT_EQ(app->m_level, 2);
}

TEST_F(MenuTest, ALevelStartLoadsItsThemeOnlyWhenItIsNotLoaded) {
    Press(kKeyEnter);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenLevelLoad);
    EXPECT_EQ(app->m_level, 1);
    EXPECT_EQ(app->m_theme, 1);
    EXPECT_EQ(app->m_miniLoadStep, 0) << "theme 1 is loaded already";
    EXPECT_EQ(app->m_variant, -1);
    EXPECT_EQ(app->m_iconStyle, 0) << "started from the keyboard";
    EXPECT_EQ(app->m_pointerLatch, 1);
    EXPECT_EQ(app->m_backLatch, 1);
    Release(kKeyEnter);

    // Level 12 plays theme 2; levels of the mirrored theme load afresh and cycle variants.
    const int levels[] = {12, 131, 132};
    const int loaded[] = {1, 16, 16};
    const int variants[] = {-1, 0, 1};
    for (int i = 0; i < 3; ++i) {
        app->m_screen = kScreenMenu;
        app->m_miniLoadStep = 0;
        app->m_loadedTheme = loaded[i];
        app->p_UnlockAllTheLevels();
        app->m_menuLevel = levels[i] - 1;
        app->m_menuYTarget = app->p_FindSpot(app->m_menuLevel); // in view, as a key move does
        Settle();
        Tick();
        Press(kKeyEnter);
        Tick();
        Release(kKeyEnter);
        EXPECT_EQ(app->m_screen, kScreenLevelLoad) << levels[i];
        EXPECT_EQ(app->m_miniLoadStep, 1) << levels[i];
        EXPECT_EQ(app->m_variant, variants[i]) << levels[i];
    }
}

TEST_F(MenuTest, TheIntroHoldsTheLatchesSoNothingStarts) {
    app->m_introFrames = 100;
    Press(kKeyEnter);
    Ticks(3);
    EXPECT_EQ(app->m_screen, kScreenMenu);
    Settle();
    const Spot s = TileSpot(0);
    host->MouseEvent(kEventMouseDown, 0, s.x, s.y + 18);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenMenu);
}

TEST_F(MenuTest, ABackPressEndsTheProgramEvenFromTheDetailPanel) {
    app->m_detailSlide = 640;
    EXPECT_EXIT(
        {
            Press(kKeyEscape);
            Tick();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MenuTest, APadsBackStartOrGuideOpensTheQuitBoxInsteadOfQuitting) {
    // Run in a child: the game quits through exit(0), which must not pass for success.
    EXPECT_EXIT(
        {
            int wrong = 0;
            for (const int unit : {0, 1}) {
                KpHeadlessGame::Joystick& pad = host->JoystickAt(unit);
                pad.present = true;
                pad.buttonCount = kJoyButtons;
                for (const int button : {6, 7, 14}) {
                    pad.buttons[button] = true;
                    Tick();
                    wrong += app->m_screen != kScreenQuitBox;
                    pad.buttons[button] = false;
                    Tick();
                    // The pad's A (like the keyboard's Space) goes back to the menu.
                    pad.buttons[0] = true;
                    Tick();
                    wrong += app->m_screen != kScreenMenu;
                    pad.buttons[0] = false;
                    Ticks(2);
                }
            }
            std::exit(wrong == 0 ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
    // The keyboard's Escape still ends the program at once, with a pad connected.
    host->JoystickAt(0).present = true;
    host->JoystickAt(0).buttonCount = kJoyButtons;
    EXPECT_EXIT(
        {
            Press(kKeyEscape);
            Tick();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MenuTest, TotalsAddUpTheStatisticsOfEveryLevel) {
    int* stats = &app->m_records[kRecordStats];
    stats[0 * 10 + kStatTotalSpikes] = 60;
    stats[1 * 10 + kStatTotalSpikes] = 45;
    stats[1 * 10 + kStatMostSpikes] = 30;
    stats[4 * 10 + kStatMostSpikes] = 12;
    stats[0 * 10 + kStatMarker] = -1;
    stats[1 * 10 + kStatMarker] = 2;
    stats[149 * 10 + kStatMarker] = 3;
    Tick();
    EXPECT_EQ(app->m_menuStats[17], 105);
    EXPECT_EQ(app->m_menuStats[0], 30) << "largest, not the sum";
    EXPECT_EQ(app->m_menuStats[10], 42);
    EXPECT_EQ(app->m_menuStats[28], 5) << "failed rounds";
    EXPECT_EQ(app->m_menuStats[38], 1) << "passed levels";
    EXPECT_EQ(app->m_menuOpenCount, 150) << "the last level's fails open no 151st";
    EXPECT_TRUE(app->m_badges[8]) << "more than 99 spikes in total";
    EXPECT_FALSE(app->m_badges[9]);
    for (int badge = 24; badge <= 28; ++badge) EXPECT_TRUE(app->m_badges[badge]) << badge;

    // The badges come from the totals: 99 spikes and 149 open levels are not enough.
    app->m_badges.fill(false);
    stats[1 * 10 + kStatTotalSpikes] = 39;
    stats[149 * 10 + kStatMarker] = 0;
    stats[147 * 10 + kStatMarker] = 3;
    Tick();
    EXPECT_EQ(app->m_menuOpenCount, 149);
    EXPECT_FALSE(app->m_badges[8]);
    EXPECT_TRUE(app->m_badges[27]);
    EXPECT_FALSE(app->m_badges[28]);
}

TEST_F(MenuTest, ThreeFailsOpenTheNextLevelAndShowThreeCrosses) {
    Marker(0) = 2;
    Tick();
    EXPECT_EQ(app->m_menuOpenCount, 1);
    EXPECT_EQ(CountDrawn(9, 18), 2);
    Marker(0) = 3;
    Tick();
    EXPECT_EQ(app->m_menuOpenCount, 2);
    EXPECT_EQ(CountDrawn(9, 18), 3);
    EXPECT_EQ(CountDrawn(9, 16), 0);
    Marker(0) = -1;
    Marker(1) = -1;
    Tick();
    EXPECT_EQ(app->m_menuOpenCount, 3);
    EXPECT_EQ(CountDrawn(9, 16), 2) << "a pass mark under each passed level";
    EXPECT_EQ(CountDrawn(95, 3), 1) << "level 2 passed, level 1 selected";
}

TEST_F(MenuTest, TheHiddenTileCodeUnlocksEveryLevel) {
    const int code[] = {6, 2, 7, 3};
    PressTile(code[0]);
    PressTile(code[1]);
    EXPECT_EQ(app->m_unlockStep, 2);
    PressTile(5);
    EXPECT_EQ(app->m_unlockStep, 2) << "other tiles leave the code alone";
    PressTile(code[2]);
    PressTile(code[3]);
    EXPECT_EQ(app->m_unlockStep, 0);
    EXPECT_EQ(app->m_menuOpenCount, 150);
    for (int k = 0; k < 150; ++k) ASSERT_EQ(Marker(k), 3) << k;
    EXPECT_EQ(app->m_menuLevel, 0) << "the code's presses started nothing";
    EXPECT_EQ(app->m_screen, kScreenMenu);
}

TEST_F(MenuTest, TheHiddenSideCodeUnlocksEveryLevelAndAWrongPressStartsOver) {
    const int code[] = {2, 2, 1, 2, 1, 1, 2, 2, 2, 1, 1, 1, 2, 1, 2, 2, 1};
    auto side = [this](int s) { Tap(s == 1 ? kKeyLeft : kKeyRight); };
    for (int i = 0; i < 5; ++i) side(code[i]);
    EXPECT_EQ(app->m_unlockStep, -5);
    side(code[5] == 1 ? 2 : 1); // wrong; a right press is also the code's first
    EXPECT_EQ(app->m_unlockStep, -1);
    Tap(kKeyLeft);
    EXPECT_EQ(app->m_unlockStep, 0);
    EXPECT_EQ(app->m_menuOpenCount, 1);
    for (int s : code) side(s);
    EXPECT_EQ(app->m_unlockStep, 0);
    EXPECT_EQ(app->m_menuOpenCount, 150);
}

TEST_F(MenuTest, TheDetailPanelSlidesOpenClosesAndKeepsTheTilesStill) {
    Press(kKeyRB);
    Tick();
    Release(kKeyRB);
    EXPECT_EQ(app->m_detailSlide, 33) << "opened, then one slide step in the same tick";
    Tick();
    EXPECT_EQ(app->m_detailSlide, 65);
    EXPECT_EQ(DetailPanelX(), kp_BT3_jscrw - 65);
    Ticks(60);
    EXPECT_EQ(app->m_detailSlide, 1280);
    EXPECT_EQ(DetailPanelX(), 0);

    Press(kKeyUp);
    Ticks(2);
    Release(kKeyUp);
    app->p_UnlockAllTheLevels();
    Tick();
    EXPECT_EQ(app->m_menuLevel, 0) << "keys do not move the hidden tiles";

    Press(kKeyEnter);
    Tick();
    Release(kKeyEnter);
    EXPECT_EQ(app->m_screen, kScreenMenu) << "the button closes the panel, it starts nothing";
    EXPECT_LT(app->m_detailSlide, 0);
    Tick();
    EXPECT_GE(DetailPanelX(), kp_BT3_jscrw) << "a closing panel is gone; only its veil stays";
    Ticks(45);
    EXPECT_EQ(app->m_detailSlide, 0);

    // The Best corner opens it with a press.
    Tick();
    host->MouseEvent(kEventMouseDown, 0, kp_BT3_jscrw - 20, 10);
    Tick();
    host->MouseEvent(kEventMouseUp, 0, kp_BT3_jscrw - 20, 10);
    Tick();
    EXPECT_GT(app->m_detailSlide, 0);
}

TEST_F(MenuTest, ASelectedTileScrolledOffScreenNeitherStartsByButtonNorShowsTheCorners) {
    auto cornerOvals = [this] {
        int n = 0;
        for (int i = 0; i < app->m_drawCount; i += kDrawStride) {
            const float* c = &app->m_drawList[i];
            if (c[0] == kCmdOval && c[1] == kp_BT3_jscrw && c[4] == 128) ++n;
        }
        return n;
    };
    Tick();
    EXPECT_EQ(cornerOvals(), 2);
    // Level 1's tile dragged below the screen.
    app->m_menuY = app->m_menuYTarget = app->p_FindSpot(0) + 300;
    Tick();
    ASSERT_GT(TileSpot(0).y, kp_BT3_jscrh + 64);
    EXPECT_EQ(cornerOvals(), 0);
    Press(kKeyEnter);
    Tick();
    Release(kKeyEnter);
    EXPECT_EQ(app->m_screen, kScreenMenu);
    Tick();

    // Just inside the band of tiles drawn, it starts.
    app->m_menuY = app->m_menuYTarget = app->m_menuY - (TileSpot(0).y - (kp_BT3_jscrh + 63));
    Tick();
    EXPECT_EQ(cornerOvals(), 2);
    Press(kKeyEnter);
    Tick();
    EXPECT_EQ(app->m_screen, kScreenLevelLoad);
}

TEST_F(MenuTest, DraggingMovesTheListTwiceAsFarAsThePointer) {
    Settle();
    const float target = app->m_menuYTarget;
    host->MouseEvent(kEventMouseDown, 0, 600, 380);
    Tick();
    EXPECT_EQ(app->m_menuYTarget, target) << "the press only takes hold";
    host->MouseEvent(kEventMouseMove, -1, 600, 390);
    Tick();
    EXPECT_EQ(app->m_menuYTarget, target + 20);
    host->MouseEvent(kEventMouseMove, -1, 600, 385);
    Tick();
    EXPECT_EQ(app->m_menuYTarget, target + 10);
    host->MouseEvent(kEventMouseUp, 0, 600, 385);
    Tick();
    EXPECT_EQ(app->m_menuLevel, 0);
}
