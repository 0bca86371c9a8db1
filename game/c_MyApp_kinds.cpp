// The thirteen level kinds: p_DidIWin judges a round once its goal spike is passed, the
// head-up counter shows each kind's number (spikes left, bounces left, the target score...)
// with an icon row for the SUPER and Collect kinds, and the start title names the kind while
// the round begins. The rules of play that go with each kind are in the round itself.
#include <algorithm>

#include "game/bt3_ball.h"
#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

namespace {
// Badges and sounds of the win rules.
constexpr int kTargetBadge = 5;
constexpr int kSheepBadge = 6;

// The head-up counter: scale 4 at the top right, green, or red while the sheep leads.
constexpr float kCounterRight = 64.0f;
constexpr float kCounterY = 48.0f;
constexpr float kCounterScale = 4.0f;
constexpr float kCounterAlpha = 0.8f;
struct Rgb {
    float r, g, b;
};
constexpr Rgb kCounterColour = {100, 255, 100};
constexpr Rgb kSheepAheadColour = {255, 100, 100};

// Icon rows under the counter: one icon per unit of the parameter, 12 pixels apart.
constexpr float kIconRowY = 72.0f;
constexpr float kIconStep = 12.0f;
constexpr float kSuperIconScale = 0.25f;
constexpr float kSuperIconAlpha = 0.75f;
constexpr int kSuperIconOn = 16, kSuperIconOff = 17;
constexpr int kItemImage = 1;
constexpr float kItemIconScale = 0.3f;
constexpr int kItemIconOn = 84, kItemIconOff = 85;
constexpr float kItemAlphaOn = 0.8f, kItemAlphaOff = 0.6f;

// Start title: the icon comes from above and the title from below, resting at frame 60.
constexpr float kTitleScale = 2.0f;
constexpr float kTitleBelow = 64.0f;
constexpr float kKindIconScale = 4.0f;
constexpr float kKindIconAlpha = 0.7f;
constexpr int kTitleRestFrames = 60;
constexpr float kTitleTravel = 2.0f; // pixels per unit of 3 * m_playFrames - 180
constexpr float kCentred = 1.0f;

// What a title's number is: none, the parameter or the target.
enum class TitleNumber { kNone, kParam, kTarget };
struct KindTitle {
    std::u16string_view text;
    TitleNumber number;
};
constexpr KindTitle kKindTitles[] = {
    {u"SUPER : ", TitleNumber::kParam},   {u"Score : ", TitleNumber::kParam},
    {u"Spikes : ", TitleNumber::kTarget}, {u"Leap : ", TitleNumber::kTarget},
    {u"Spike", TitleNumber::kNone},       {u"Infinity", TitleNumber::kNone},
    {u"Sheep Race", TitleNumber::kNone},  {u"Deja Vu", TitleNumber::kNone},
    {u"Bounces : ", TitleNumber::kParam}, {u"Lava Chase", TitleNumber::kNone},
    {u"Collect : ", TitleNumber::kParam}, {u"Mega Spikes", TitleNumber::kNone},
    {u"Buttons", TitleNumber::kNone},
};
constexpr int kKindCount = sizeof kKindTitles / sizeof kKindTitles[0];
} // namespace

int c_MyApp::p_DidIWin() {
    m_lost = 1;
    m_won = 0;
    // A round cut short before the goal sequence gave its verdict is lost whatever its kind
    // would say: a crash, a burst, being caught by the lava, or leaving through the pause
    // panel (all of them m_roundOver 1) while m_goalFrames is below 20. The results panel and
    // the return to the menu ask again after the round has ended, and every kind's goal is to
    // reach the goal spike: without this a Target round crashed with the exact score, or a
    // Collect round left with enough items, would be filed as passed (and earn its badge),
    // and so would a crash in the very frame that passes the goal spike. Infinity has no goal
    // and only ends this way, so it is left to its own rule (always won).
    const bool cutShort = m_roundOver == bt3ball::kRoundCrashed &&
                          m_goalFrames < bt3ball::kGoalResult && m_kind != kKindInfinity;
    if (cutShort) return 0;
    const int passed = static_cast<int>(m_ball[kBallPassed]);
    const bool reachedGoal = passed >= m_target;
    bool won = false;
    switch (m_kind) {
    case kKindSuper:
        won = m_bestSuper >= m_param && reachedGoal;
        break;
    case kKindTarget:
        won = m_score == m_param;
        if (won) p_GiveBadge(kTargetBadge);
        break;
    case kKindSpikes:
    case kKindDejaVu:
    case kKindBounces:
    case kKindLavaChase:
    case kKindMegaSpikes:
    case kKindButtons:
        won = reachedGoal;
        break;
    case kKindInfinity:
        won = true;
        break;
    case kKindSheepRace:
        // A sheep ahead at the goal wins the race, whatever happens after.
        won = m_chaserAhead == 0 && reachedGoal;
        if (won) p_GiveBadge(kSheepBadge);
        break;
    case kKindCollect:
        won = static_cast<int>(m_ball[kBallCollected]) >= m_param;
        break;
    default: // Leap and Spike cannot be won
        break;
    }
    if (won) {
        m_won = 1;
        m_lost = 0;
    }
    return 0;
}

void c_MyApp::drawKindCounter() {
    const int passed = static_cast<int>(m_ball[kBallPassed]);
    const int spikesLeft = std::max(0, m_levelTarget[m_level] - passed);
    m_num = m_paramShown;
    switch (m_kind) {
    case kKindSuper:
    case kKindSpikes:
    case kKindSheepRace:
    case kKindLavaChase:
    case kKindCollect:
    case kKindMegaSpikes:
    case kKindButtons:
        m_num = spikesLeft;
        break;
    case kKindTarget:
        m_num = m_param;
        break;
    case kKindInfinity:
        m_num = passed;
        break;
    case kKindBounces:
        m_num = m_param - static_cast<int>(m_ball[kBallBounces]);
        if (m_num < 1) {
            // Out of bounces: the count shows 0 and the round is over.
            m_num = 0;
            m_roundOver = 1;
        }
        break;
    default: // Leap, Spike and Deja Vu show the parameter
        break;
    }
    if (m_hideOverlay != 0) return;

    p_ResetDraw();
    const bool sheepAhead =
        m_kind == kKindSheepRace && static_cast<float>(m_chaserX) > m_ball[kBallX];
    const Rgb& ink = sheepAhead ? kSheepAheadColour : kCounterColour;
    p_SetCol(ink.r, ink.g, ink.b, kCounterAlpha);
    // Mirrored play flips the screen; a negative text scale flips the digits back.
    p_SetSize(m_theme == kThemeWoolly ? -kCounterScale : kCounterScale, kCounterScale);
    const float x = kp_BT3_jscrw - kCounterRight;
    p_Text(x, kCounterY, kpIntToString(m_num), kCentred, kCentred, 0);

    // The icon row: lit icons for the chain reached or the items collected so far.
    const float rowX = x - static_cast<float>(3 * m_param - 3) * 2.0f;
    if (m_kind == kKindSuper) {
        p_ResetDraw();
        p_SetSize(kSuperIconScale, kSuperIconScale);
        p_Alpha(kSuperIconAlpha);
        for (int i = 1; i <= m_param; ++i) {
            const int frame = i <= m_bestSuper ? kSuperIconOn : kSuperIconOff;
            p_DrawImg(kImgMenu, rowX + kIconStep * static_cast<float>(i - 1), kIconRowY, frame);
        }
    } else if (m_kind == kKindCollect) {
        p_ResetDraw();
        p_SetSize(kItemIconScale, kItemIconScale);
        const int collected = static_cast<int>(m_ball[kBallCollected]);
        for (int i = 1; i <= m_param; ++i) {
            const bool lit = i <= collected;
            p_Alpha(lit ? kItemAlphaOn : kItemAlphaOff);
            p_DrawImg(kItemImage, rowX + kIconStep * static_cast<float>(i - 1), kIconRowY,
                      lit ? kItemIconOn : kItemIconOff);
        }
    }
    p_ResetDraw();
}

void c_MyApp::drawStartTitle() {
    if (m_kind < 1 || m_kind > kKindCount) return;
    const KindTitle& title = kKindTitles[m_kind - 1];
    const float travel = static_cast<float>(3 * m_playFrames - 3 * kTitleRestFrames) * kTitleTravel;
    const float cx = kp_BT3_jscrw / 2;
    const float cy = kp_BT3_jscrh / 2;

    p_ResetDraw();
    p_SetSize(kKindIconScale, kKindIconScale);
    p_Alpha(kKindIconAlpha);
    p_DrawImg(kImgMenu, cx, cy + travel, m_kind - 1);

    String text(title.text);
    if (title.number == TitleNumber::kParam) text += kpIntToString(m_param);
    if (title.number == TitleNumber::kTarget) text += kpIntToString(m_target);
    p_ResetDraw();
    p_SetSize(m_theme == kThemeWoolly ? -kTitleScale : kTitleScale, kTitleScale);
    p_Text(cx, cy - travel + kTitleBelow, text, kCentred, kCentred, 0);
    p_ResetDraw();
}
