// Badges: the table and its titles, awarding each badge once with one sound and
// one pop-up, the thirteen pop-up slots, and the pop-ups' slide in, hold, slide out and
// release as draw commands.
#include <vector>

#include "game/c_MyApp_commands.h"
#include "game_fixture.h"

using namespace bt3;

namespace {
class BadgeTest : public GameTest {
  protected:
    // Effects are counted by the voice they take (the sound setting lets them play).
    int voice() const { return app->m_sfxVoice; }
    int busySlots() const {
        int busy = 0;
        for (int slot = 0; slot < 15; ++slot) busy += app->m_badgeTimers[slot] != 0;
        return busy;
    }
    // The commands of one p_ShowBadges call on an empty list.
    std::vector<const float*> showOnce() {
        app->m_drawCount = 0;
        app->p_ShowBadges();
        std::vector<const float*> commands;
        for (int at = 0; at < app->m_drawCount; at += kDrawStride) {
            commands.push_back(&app->m_drawList[at]);
        }
        return commands;
    }
    // The rectangles of one call, one per pop-up drawn.
    std::vector<const float*> rectangles(const std::vector<const float*>& commands) {
        std::vector<const float*> found;
        for (const float* c : commands) {
            if (c[kSlotKind] == kCmdRect) found.push_back(c);
        }
        return found;
    }
};
} // namespace

TEST_F(BadgeTest, TheTableHasTwentyTwoBadgesWithTitleAndDescription) {
    int listed = 0;
    for (int n = 0; n < 256; ++n) listed += !app->p_BadgeID(n).empty();
    EXPECT_EQ(listed, 22);
    EXPECT_EQ(app->p_BadgeID(0), kpS("100 Spikes|Passed 100 Spikes\\nin a single round."));
    EXPECT_EQ(app->p_BadgeName(10), kpS("10,000 Spikes"));
    EXPECT_EQ(app->p_BadgeName(28), kpS("Unlock 150"));
    EXPECT_EQ(app->p_BadgeName(7), String()) << "7 is not in the table";
    EXPECT_EQ(app->p_BadgeName(-1), String());
    EXPECT_EQ(app->p_BadgeName(300), String());
}

TEST_F(BadgeTest, TheSameBadgeTwiceGivesOneSoundAndOnePopup) {
    Start();
    const int before = voice();
    app->p_GiveBadge(17);
    app->p_GiveBadge(17);
    EXPECT_TRUE(app->m_badges[17]);
    EXPECT_EQ(voice(), (before + 1) % 24) << "one sound";
    EXPECT_EQ(busySlots(), 1);
    EXPECT_EQ(app->m_badgeQueue[0], 17);
    EXPECT_EQ(app->m_badgeTimers[0], 1);
}

TEST_F(BadgeTest, FourteenBadgesInOneTickGiveThirteenPopups) {
    Start();
    const int before = voice();
    const int numbers[] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 16, 17};
    for (int n : numbers) app->p_GiveBadge(n);
    for (int n : numbers) EXPECT_TRUE(app->m_badges[n]) << n;
    EXPECT_EQ(voice(), (before + 14) % 24) << "each new badge plays its sound";
    EXPECT_EQ(busySlots(), 13);
    for (int slot = 0; slot < 13; ++slot) {
        EXPECT_EQ(app->m_badgeQueue[slot], numbers[slot]);
        EXPECT_EQ(app->m_badgeTimers[slot], 1);
    }
    EXPECT_EQ(app->m_badgeTimers[13], 0) << "slots 13 and 14 are never used";
    EXPECT_EQ(rectangles(showOnce()).size(), 13u);
}

TEST_F(BadgeTest, AFreedSlotIsReusedByTheNextBadge) {
    Start();
    app->p_GiveBadge(0);
    app->p_GiveBadge(1);
    app->m_badgeTimers[0] = 0; // slot 0 done
    app->p_GiveBadge(2);
    EXPECT_EQ(app->m_badgeQueue[0], 2);
    EXPECT_EQ(app->m_badgeQueue[1], 1);
}

TEST_F(BadgeTest, APopupSlidesInHoldsSlidesOutAndIsFreed) {
    Start();
    app->p_GiveBadge(9);
    // x of the pop-up at the n-th call (the timer is then n + 1).
    std::vector<float> xs(1, 0.0f);
    for (int call = 1; call <= 241; ++call) {
        std::vector<const float*> rects = rectangles(showOnce());
        if (call <= 240) {
            ASSERT_EQ(rects.size(), 1u) << "call " << call;
            xs.push_back(rects[0][kSlotX]);
        } else {
            EXPECT_TRUE(rects.empty()) << "freed after 240 ticks";
        }
    }
    EXPECT_EQ(app->m_badgeTimers[0], 0);
    // Timer t: x = 16 t - 160 sliding in, 16 (240 - t) - 160 past 230, never above 0.
    for (int call = 1; call <= 240; ++call) {
        int t = call + 1;
        int slide = t > 230 ? 240 - t : t;
        float want = static_cast<float>(std::min(16 * slide - 160, 0));
        ASSERT_EQ(xs[call], want) << "timer " << t;
    }
    EXPECT_EQ(xs[1], -128.0f) << "tick 1";
    EXPECT_EQ(xs[9], 0.0f) << "tick 9, timer 10: fully in";
    EXPECT_EQ(xs[10], 0.0f) << "tick 10";
    EXPECT_EQ(xs[229], 0.0f) << "tick 229, timer 230: still held";
    EXPECT_EQ(xs[230], -16.0f) << "tick 230, timer 231: sliding out";
    EXPECT_EQ(xs[235], -96.0f) << "tick 235";
    EXPECT_EQ(xs[239], -160.0f) << "tick 239, timer 240";
    EXPECT_EQ(xs[240], -176.0f) << "tick 240, timer 241: drawn one last time";
}

TEST_F(BadgeTest, APopupDrawsItsPanelTitleAndIcon) {
    Start();
    app->m_font = 5;
    app->m_fontMetrics[5 * 3] = 10;
    app->m_fontMetrics[5 * 3 + 1] = 16;
    app->p_GiveBadge(0);
    app->p_GiveBadge(16);
    for (int i = 0; i < 9; ++i) showOnce(); // timer 10: fully in
    app->m_drawAlpha = 0.3f;
    app->m_drawScaleX = 3.0f;
    std::vector<const float*> commands = showOnce();
    const float h = kp_BT3_jscrh;

    std::vector<const float*> rects = rectangles(commands);
    ASSERT_EQ(rects.size(), 2u);
    for (int slot = 0; slot < 2; ++slot) {
        const float* r = rects[slot];
        EXPECT_EQ(r[kSlotX], 0.0f);
        EXPECT_EQ(r[kSlotY], h - (slot + 1) * 34.0f);
        EXPECT_EQ(r[kSlotW], 160.0f);
        EXPECT_EQ(r[kSlotH], 32.0f);
        EXPECT_EQ(r[kSlotR], 0.0f);
        EXPECT_EQ(r[kSlotG], 0.0f);
        EXPECT_EQ(r[kSlotB], 80.0f);
        EXPECT_FLOAT_EQ(r[kSlotAlpha], 0.8f);
    }
    // Glyphs of the title "100 Spikes" in white, starting right of x + 16.
    int glyphs = 0;
    std::vector<const float*> icons;
    for (const float* c : commands) {
        if (c[kSlotKind] == 5.0f) {
            ++glyphs;
            EXPECT_EQ(c[kSlotR], 255.0f);
            EXPECT_EQ(c[kSlotAlpha], 1.0f);
            EXPECT_EQ(c[kSlotW], 1.0f) << "the draw state is reset first";
            EXPECT_GT(c[kSlotX], 16.0f);
        }
        if (c[kSlotKind] == 80.0f) icons.push_back(c);
    }
    EXPECT_EQ(glyphs, 9 + 6) << "the letters of 100 Spikes and Super 5; spaces draw nothing";
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0][kSlotFrame], 0.0f);
    EXPECT_EQ(icons[1][kSlotFrame], 16.0f);
    EXPECT_EQ(icons[0][kSlotX], 144.0f);
    EXPECT_EQ(icons[0][kSlotY], h - 34.0f + 16.0f);
    EXPECT_EQ(icons[1][kSlotY], h - 68.0f + 16.0f);
    EXPECT_EQ(icons[0][kSlotW], 0.5f);
    EXPECT_EQ(icons[0][kSlotH], 0.5f);
}

TEST_F(BadgeTest, BadgesFromSixtyFourOnHaveNoIcon) {
    Start();
    app->p_GiveBadge(64);
    app->p_GiveBadge(63);
    std::vector<const float*> commands = showOnce();
    std::vector<float> frames;
    for (const float* c : commands) {
        if (c[kSlotKind] == 80.0f) frames.push_back(c[kSlotFrame]);
    }
    EXPECT_EQ(frames, std::vector<float>{63.0f});
    EXPECT_EQ(rectangles(commands).size(), 2u);
}
