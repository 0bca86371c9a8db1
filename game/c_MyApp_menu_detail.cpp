// The menu's level detail panel: it slides in from the right over a dark veil and shows the
// selected level's seven best and last scores, its group title, four spinning medallions with
// the level's own statistics above and the all-levels totals below, the total of failed rounds
// and a ticker of the credit lines. A press or an action button closes it.
#include <algorithm>
#include <cmath>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_menu.h"

using namespace bt3menu;

namespace {

constexpr int kSlideStep = 32;
constexpr int kSlideOpen = 1280;
constexpr float kVeilAlpha = 0.3f;
constexpr int kListedScores = 7;
constexpr int kScoreWidth = 8;

// Layout in units from the panel's left edge and the screen's top.
constexpr float kTitleY = 24.0f;
constexpr float kFailsInset = 8.0f;
constexpr float kFailsY = 16.0f;
constexpr float kListsY = 100.0f;
constexpr float kBestX = 40.0f;
constexpr float kLastX = 180.0f;
constexpr float kListScale = 1.5f;
constexpr float kListGap = 24.0f;

// The medallions: a row across the lower part, the level's figure above, the totals below.
struct Medallion {
    const char16_t* label;
    int stat;       // statistic slot of the level
    int totalEntry; // entry of m_menuStats
};
constexpr Medallion kMedallions[] = {
    {u"Passed", kStatMostSpikes, 0},
    {u"Combo", kStatBestLeap, 2},
    {u"Super", kStatBestSuper, 3},
    {u"Spikes", kStatTotalSpikes, 17},
};
constexpr float kMedallionRowY = 0.76f; // of the screen height
constexpr float kMedallionScale = 0.5f;
constexpr float kFigureOffset = 32.0f;
constexpr float kLabelOffset = 56.0f;
constexpr float kSpinPerMilli = 0.09f;
// The figures stand clear of the medallion's rim: the upper one above its point, the lower below.
constexpr float kAlignAbove = 2.0f;
constexpr float kAlignBelow = 0.0f;

// The credit ticker: five lines of 16 units rolling up 0.3 units a tick.
constexpr float kTickerX = 480.0f;
constexpr float kTickerY = 100.0f;
constexpr float kTickerLine = 16.0f;
constexpr int kTickerLines = 5;
constexpr float kTickerSpeed = 0.3f;

// The scores of one list, slots 0..6, each padded with blanks to 8 characters, one a line.
String scoreList(c_MyApp& app, int section, int level) {
    String text;
    if (level < 0 || level >= kRecordLevels) return text;
    for (int slot = 0; slot < kListedScores; ++slot) {
        if (slot > 0) text += u"\\n";
        text += app.p_rstr(app.m_records[section + level * kRecordSlots + slot], kScoreWidth, u" ");
    }
    return text;
}

} // namespace

void c_MyApp::menuDetailPanel() {
    if (m_detailSlide > 0) {
        m_detailSlide = std::min(m_detailSlide + kSlideStep, kSlideOpen);
    } else {
        m_detailSlide += kSlideStep;
        if (m_detailSlide > -kSlideStep) {
            m_detailSlide = 0;
            return;
        }
    }
    // The left edge follows the slide in; a closing (negative) slide puts the panel past the
    // right edge at once, and only the veil stays until the slide has run back to 0.
    const float x = std::max(0.0f, kp_BT3_jscrw - static_cast<float>(m_detailSlide));
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;

    p_ResetDraw();
    p_SetCol(0, 0, 0, kVeilAlpha);
    p_Rect(-1, -1, w + 2, h + 2);
    p_SetCol(0, 0, 60, 0.75f);
    p_Rect(x, 0, w, h);

    const int level = m_menuLevel;
    const int group = std::clamp(level, 0, kRecordLevels - 1) / kLevelsPerGroup;
    p_SetCol(255, 128, 0, 1);
    p_SetSize(2, 2);
    if (2 * group < kMenuSetSize) p_Text(x + w / 2, kTitleY, kp_BT3_MenuSet[2 * group], 1, 1, 0);

    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, 1);
    p_Text(x + w - kFailsInset, kFailsY, u"Fails : " + kpIntToString(m_menuStats[kStatsFails]), 2,
           1, 0);

    p_SetSize(kListScale, kListScale);
    p_Text(x + kBestX, kListsY, u"Best", 0, 1, 0);
    p_Text(x + kLastX, kListsY, u"Last", 0, 1, 0);
    p_Text(x + kBestX, kListsY + kListGap, scoreList(*this, kRecordBest, level), 0, 1, 0);
    p_Text(x + kLastX, kListsY + kListGap, scoreList(*this, kRecordLast, level), 0, 1, 0);

    const float rowY = h * kMedallionRowY;
    const float spin = static_cast<float>(kp_app_Millisecs() % 36000) * kSpinPerMilli;
    const int count = static_cast<int>(std::size(kMedallions));
    for (int i = 0; i < count; ++i) {
        const Medallion& m = kMedallions[i];
        const float mx = x + w * (i + 1) / (count + 1);
        const int own = level >= 0 && level < kRecordLevels
                            ? m_records[kRecordStats + level * kRecordSlots + m.stat]
                            : 0;
        p_SetCol(255, 255, 255, 1);
        p_SetSize(kMedallionScale, kMedallionScale);
        p_SetRot(spin + 90.0f * i);
        p_DrawImg(kImgRecord, mx, rowY, i);
        p_SetRot(0);
        p_SetSize(1, 1);
        p_SetCol(180, 200, 255, 1);
        p_Text(mx, rowY - kLabelOffset, m.label, 1, 1, 0);
        p_SetCol(255, 255, 255, 1);
        p_SetSize(1.5f, 1.5f);
        p_Text(mx, rowY - kFigureOffset, kpIntToString(own), 1, kAlignAbove, 0);
        p_SetSize(1, 1);
        p_Alpha(0.7f);
        p_Text(mx, rowY + kFigureOffset, kpIntToString(m_menuStats[m.totalEntry]), 1, kAlignBelow,
               0);
    }

    // The credit ticker: lines fade in at the bottom of its window and out at the top.
    m_menuTicker += kTickerSpeed;
    if (m_menuTicker >= kTickerLine * kCreditLines) m_menuTicker -= kTickerLine * kCreditLines;
    const float span = kTickerLine * kTickerLines;
    const int first = static_cast<int>(m_menuTicker / kTickerLine);
    const float scrolled = std::fmod(m_menuTicker, kTickerLine);
    p_SetSize(1, 1);
    for (int j = 0; j <= kTickerLines; ++j) {
        const float ly = kTickerY + j * kTickerLine - scrolled;
        const float along = (ly - kTickerY) / span;
        const float alpha =
            std::clamp(static_cast<float>(std::sin(along * M_PI)) * 2.0f, 0.0f, 1.0f);
        if (alpha <= 0) continue;
        p_SetCol(255, 255, 255, alpha);
        p_Text(x + kTickerX, ly, kp_BT3_CreditText[(first + j) % kCreditLines], 1, 1, 0);
    }

    // A press or an action button sends the panel back out.
    if (m_detailSlide > 0) {
        bool button = false;
        for (int b = kButtonA; b <= kButtonRB; ++b) button = button || p_PlayKeyAll(b, 1) != 0;
        if ((m_pointerLatch == 0 && m_pointerDown != 0) || (m_backLatch == 0 && button)) {
            m_detailSlide = -m_detailSlide;
            m_pointerLatch = 1;
            m_backLatch = 1;
        }
    }
}
