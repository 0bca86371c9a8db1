// c_MyApp badges: the table of 22 badges (title "|" description, the description using
// p_Text's backslash-n line break), awarding a badge once with a sound and a pop-up, and the
// pop-ups themselves: up to 13 stacked from the bottom, each sliding in from the left for 10
// ticks, held, and sliding out until it is freed after 240 ticks. Drawing allocates nothing:
// the titles are made once.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {
struct Badge {
    int number;
    std::u16string_view text;
};
// Numbers not listed have the empty text.
constexpr Badge kBadges[] = {
    {0, u"100 Spikes|Passed 100 Spikes\\nin a single round."},
    {1, u"250 Spikes|Passed 250 Spikes\\nin a single round."},
    {2, u"500 Spikes|Passed 500 Spikes\\nin a single round."},
    {3, u"700 Spikes|Passed 700 Spikes\\nin a single round."},
    {4, u"1000 Spikes|Passed 1000 Spikes\\nin a single round."},
    {5, u"Math Whiz|Worked out a Target level."},
    {6, u"Speed of Sheep|Beat the Sheep!"},
    {8, u"100 Spikes|Passed 100 Spikes\\nin total."},
    {9, u"1000 Spikes|Passed 1000 Spikes\\nin total."},
    {10, u"10,000 Spikes|Passed 10,000 Spikes\\nin total."},
    {11, u"100,000 Spikes|Passed 100,000 Spikes\\nin total."},
    {12, u"1,000,000 Spikes|Passed 1,000,000 Spikes\\nin total."},
    {16, u"Super 5|Passed 5 spikes without\\nletting go."},
    {17, u"Super 8|Passed 8 spikes without\\nletting go."},
    {18, u"Super 10|Passed 10 spikes without\\nletting go."},
    {19, u"Super 15|Passed 15 spikes without\\nletting go."},
    {20, u"Super 20|Passed 20 spikes without\\nletting go."},
    {24, u"Unlock 10|Unlocked 10 levels."},
    {25, u"Unlock 20|Unlocked 20 levels."},
    {26, u"Unlock 40|Unlocked 40 levels."},
    {27, u"Unlock 80|Unlocked 80 levels."},
    {28, u"Unlock 150|Unlocked 150 levels."},
};

constexpr int kBadgeFlags = 256;
constexpr int kPopupSlots = 13;
constexpr int kBadgeSound = 95;

// Pop-up geometry and timing, in virtual units and ticks.
constexpr int kSlideStep = 16;
constexpr int kPopupWidth = 160;
constexpr int kPopupHeight = 32;
constexpr int kPopupPitch = 34;
constexpr int kSlideOutAfter = 230;
constexpr int kFreeAfter = 240;
constexpr float kTitleDx = 16.0f;
constexpr float kTitleDy = 4.0f;
constexpr float kIconDx = 144.0f;
constexpr float kIconDy = 16.0f;
constexpr float kIconScale = 0.5f;
constexpr int kIconBadges = 64; // badge numbers with a frame in the icon strip
constexpr float kPanelR = 0.0f;
constexpr float kPanelG = 0.0f;
constexpr float kPanelB = 80.0f;
constexpr float kPanelAlpha = 0.8f;

std::u16string_view badgeText(int n) {
    for (const Badge& badge : kBadges) {
        if (badge.number == n) return badge.text;
    }
    return {};
}

std::u16string_view titleOf(std::u16string_view text) {
    return text.substr(0, text.find(u'|'));
}

// Every badge number's title, made on first use.
const String& popupTitle(int n) {
    static const std::array<String, kBadgeFlags> titles = [] {
        std::array<String, kBadgeFlags> made;
        for (const Badge& badge : kBadges) made[badge.number] = String(titleOf(badge.text));
        return made;
    }();
    static const String none;
    return n >= 0 && n < kBadgeFlags ? titles[n] : none;
}
} // namespace

String c_MyApp::p_BadgeID(int n) {
    return String(badgeText(n));
}

String c_MyApp::p_BadgeName(int n) {
    return String(titleOf(badgeText(n)));
}

int c_MyApp::p_GiveBadge(int n) {
    if (n < 0 || n >= kBadgeFlags || m_badges[n]) return 0;
    m_badges[n] = true;
    p_PlaySFX(kBadgeSound, 1.0f, 1.0f, 0.0f);
    for (int slot = 0; slot < kPopupSlots; ++slot) {
        if (m_badgeTimers[slot] == 0) {
            m_badgeQueue[slot] = n;
            m_badgeTimers[slot] = 1;
            break;
        }
    }
    return 0;
}

int c_MyApp::p_ShowBadges() {
    p_ResetDraw();
    for (int slot = 0; slot < kPopupSlots; ++slot) {
        if (m_badgeTimers[slot] <= 0) continue;
        const int t = ++m_badgeTimers[slot];
        const int n = m_badgeQueue[slot];
        int slide = t > kSlideOutAfter ? kFreeAfter - t : t;
        const float x = static_cast<float>(std::min(kSlideStep * slide - kPopupWidth, 0));
        const float y = kp_BT3_jscrh - static_cast<float>((slot + 1) * kPopupPitch);

        p_SetSize(1.0f, 1.0f);
        p_SetCol(kPanelR, kPanelG, kPanelB, kPanelAlpha);
        p_Rect(x, y, static_cast<float>(kPopupWidth), static_cast<float>(kPopupHeight));
        p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
        p_Text(x + kTitleDx, y + kTitleDy, popupTitle(n), 0.0f, 0.0f, 0);
        if (n < kIconBadges) {
            p_SetSize(kIconScale, kIconScale);
            p_DrawImg(kImgBadges, x + kIconDx, y + kIconDy, n);
        }
        if (t > kFreeAfter) m_badgeTimers[slot] = 0;
    }
    return 0;
}
