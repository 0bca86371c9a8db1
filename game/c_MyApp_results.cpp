// The end of a round: the results panel p_GameOver (veil, bars, the two-word verdict, the rank
// box) with its timer that leaves play for the menu after 90 ticks and fades over the menu,
// the rank text p_MyNth, and p_LoadMenu, which files the round into the level's best and last
// scores and statistics, moves the selection on after a win, updates the pass/fail marker and
// saves.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/bt3_course.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

namespace {

// The panel: timer ticks until the menu, the values it restarts from there, and its fading.
constexpr int kResultsTicks = 90;
constexpr int kResultsOverMenu = 75;
constexpr int kResultsOverMenuSilent = 73;
constexpr int kResultsFade = 2;
constexpr float kVeilTicks = 40.0f;
constexpr float kVeilMax = 0.7f;
constexpr int kBarSpeed = 12;
constexpr float kBarStop = 0.45f;
constexpr float kBarHeight = 16.0f;

// Verdicts: the two words, their colour and scale.
struct Verdict {
    const char16_t* first;
    const char16_t* second;
    float r, g, b;
    float scale;
};
enum VerdictCode { kGameOver, kSheepLost, kSheepWon, kComplete, kPerfect, kMissedTarget };
constexpr Verdict kVerdicts[] = {
    {u"GAME", u"OVER", 255, 180, 180, 4},      {u"You", u"Lost", 255, 100, 100, 4},
    {u"You", u"Won!", 100, 255, 100, 4},       {u"Level", u"Complete", 100, 255, 100, 3},
    {u"Perfect", u"Score!", 100, 255, 100, 4}, {u"", u"", 255, 100, 100, 4},
};
// Every word of the panel stands on a dark plate, so nothing behind it (the goal spike's
// label, the other word sliding past) reads as part of it. In font pixels at scale 1.
constexpr float kPlateAlpha = 0.8f;
constexpr float kAdvance = 7.0f;
constexpr float kPlatePad = 2.0f;
constexpr float kInkAbove = 5.0f;
constexpr float kInkBelow = 6.0f;
// The rank box: its corner at 0.35 of the width, wide and tall enough for both lines.
constexpr float kRankBoxX = 0.35f;
constexpr float kRankBoxW = 0.4f;
constexpr float kRankBoxH = 40.0f;
constexpr float kRankTextAbove = 4.0f; // the first line's ink reaches above the box
constexpr float kFirstWordX = 0.35f;
constexpr float kSecondWordX = 0.65f;
constexpr float kTargetRowsAbove = 58.0f;
constexpr float kTargetFiguresAbove = 38.0f;

constexpr std::u16string_view kRanks[] = {u"1st!", u"2nd", u"3rd", u"4th", u"5th",
                                          u"6th",  u"7th", u"8th", u"9th", u"10th"};

bool levelInRecords(int level) {
    return level >= 1 && level <= kRecordLevels;
}

VerdictCode verdictOf(const c_MyApp& app) {
    const bool reached = app.m_ball[kBallPassed] >= static_cast<float>(app.m_target);
    switch (app.m_kind) {
    case kKindSheepRace:
        return app.m_won == 1 ? kSheepWon : kSheepLost;
    case kKindSpikes:
    case kKindDejaVu:
    case kKindBounces:
    case kKindLavaChase:
    case kKindCollect:
        return app.m_won == 1 ? kComplete : kGameOver;
    case kKindTarget:
        if (!reached) return kGameOver;
        return app.m_won == 1 ? kPerfect : kMissedTarget;
    default:
        return kGameOver;
    }
}

// Writes one verdict word centred on x, on its plate.
void platedWord(c_MyApp& app, float x, float y, const String& word, const Verdict& v) {
    if (word.empty()) return;
    // The text's leading space puts the word's middle half an advance right of x; its ink
    // spans kInkAbove font pixels above y and kInkBelow below (descenders) at its scale.
    const float s = v.scale;
    const float width = (kAdvance * static_cast<float>(word.size()) + kPlatePad) * s;
    app.p_SetCol(0, 0, 0, kPlateAlpha);
    app.p_Rect(x + kAdvance / 2 * s - width / 2, y - kInkAbove * s, width,
               (kInkAbove + kInkBelow) * s);
    app.p_SetCol(v.r, v.g, v.b, 1);
    app.p_SetSize(s, s);
    app.p_Text(x, y, word, 1, 1, 0);
    app.p_ResetDraw();
}

} // namespace

int c_MyApp::p_LoadMenu() {
    m_unlockStep = 0;
    p_ResetStars(kStartStars);
    if (levelInRecords(m_level)) {
        const int base = (m_level - 1) * kRecordSlots;
        const int score = m_score;

        // Best scores: in before the first smaller one; an equal score goes below it.
        int* best = &m_records[kRecordBest + base];
        for (int slot = 0; slot < kRecordSlots; ++slot) {
            if (best[slot] < score) {
                std::copy_backward(best + slot, best + kRecordSlots - 1, best + kRecordSlots);
                best[slot] = score;
                break;
            }
        }

        int* last = &m_records[kRecordLast + base];
        std::copy_backward(last, last + kRecordSlots - 1, last + kRecordSlots);
        last[0] = score;

        int* stats = &m_records[kRecordStats + base];
        const float spikes = m_ball[kBallPassed];
        stats[kStatMostSpikes] = std::max(stats[kStatMostSpikes], static_cast<int>(spikes));
        const int diff = score - m_param;
        if (std::abs(diff) < std::abs(stats[kStatTargetDiff])) stats[kStatTargetDiff] = diff;
        stats[kStatBestLeap] = std::max(stats[kStatBestLeap], m_bestLeap);
        stats[kStatBestSuper] = std::max(stats[kStatBestSuper], m_bestSuper);
        stats[kStatTotalSpikes] =
            static_cast<int>(static_cast<float>(stats[kStatTotalSpikes]) + spikes);
    }

    p_DidIWin();

    // After a win the selection moves on, except from the last level of a group of ten.
    if (m_won == 1 && m_menuLevel < kp_BT3_MaxGamesB &&
        m_menuLevel % kLevelsPerGroup != kLevelsPerGroup - 1) {
        ++m_menuLevel;
    }
    if (m_menuLevel >= kp_BT3_MaxGamesB) m_menuLevel = kp_BT3_MaxGamesB - 1;

    if (levelInRecords(m_level)) {
        int& marker = m_records[kRecordStats + (m_level - 1) * kRecordSlots + kStatMarker];
        if (m_lost == 1 && marker >= 0) ++marker;
        if (marker > kMarkerMaxFails) marker = kMarkerMaxFails;
        if (m_won == 1 && marker >= 0) marker = kMarkerPassed;
    }

    m_settings[kSelectedLevelSetting] = m_menuLevel;
    m_menuYTarget = static_cast<float>(p_FindSpot(m_menuLevel));
    p_Save();
    return 0;
}

String c_MyApp::p_MyNth() {
    m_i = 0;
    if (!levelInRecords(m_level)) return String();
    const int* best = &m_records[kRecordBest + (m_level - 1) * kRecordSlots];
    for (int slot = 0; slot < kRecordSlots; ++slot) {
        // An equal score ranks above the stored one here.
        if (best[slot] <= m_score) {
            m_i = slot + 1;
            return String(kRanks[slot]);
        }
    }
    return String();
}

int c_MyApp::p_GameOver() {
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    if (m_resultsTimer > 0) {
        m_pointerLatch = 1;
        m_backLatch = 1;

        p_ResetDraw();
        p_SetCol(0, 0, 0, std::min(m_resultsTimer / kVeilTicks, kVeilMax));
        p_Rect(-1, -1, w + 2, h + 2);

        const int bar = std::min(m_resultsTimer * kBarSpeed, static_cast<int>(kBarStop * h));
        p_SetCol(255, 255, 0, 0.5f);
        p_Rect(-1, 0.45f * h - kBarHeight / 2, 2.0f * bar, kBarHeight);
        p_SetCol(255, 128, 0, 0.5f);
        p_Rect(w - 2.0f * bar, 0.55f * h - kBarHeight / 2, 2.0f * bar + 1, kBarHeight);

        p_DidIWin();
        resultsVerdict(static_cast<float>(bar));

        // The rank box waits until the second word, sliding up from below, has passed it,
        // so the two never lie across each other.
        const float wordBottom = h - bar + kInkBelow * kVerdicts[verdictOf(*this)].scale;
        const float boxTop = h - bar / 1.5f - 16 - kRankTextAbove;
        const String rank = p_MyNth();
        if (m_i > 0 && wordBottom < boxTop) {
            // The box holds both lines of the text: a dark plate under the blue keeps what
            // lies behind (a verdict word sliding past, a label) from showing through, and
            // reaches up over the first line's ink, which would otherwise stand on a light
            // sky's veil (the snow world's) with little to set it off.
            p_ResetDraw();
            p_SetCol(0, 0, 0, kPlateAlpha);
            p_Rect(kRankBoxX * w, boxTop, kRankBoxW * w, kRankBoxH + kRankTextAbove);
            p_SetCol(0, 125, 255, 0.5f);
            p_Rect(kRankBoxX * w, h - bar / 1.5f - 16, kRankBoxW * w, kRankBoxH);
            p_SetSize(2, 2);
            p_SetCol(100, 255, 100, 1);
            p_Text(0.5f * w, h - bar / 1.5f, u"New Highscore\\n           " + rank, 0.5f, 2, 0);
        }
    }

    if (m_screen == kScreenPlay) {
        ++m_resultsTimer;
        if (m_resultsTimer >= kResultsTicks) {
            m_screen = kScreenToMenu;
            m_resultsTimer = kResultsOverMenu;
            if (kp_BT3_HasMusicStream == 1) {
                kp_audio_StopMusic();
                m_musicPlaying = 0;
                p_PlayTune(u"title_snip", 0);
            } else {
                m_resultsTimer = kResultsOverMenuSilent;
            }
        }
    } else if (m_screen < kScreenPlay) {
        m_resultsTimer = std::max(0, m_resultsTimer - kResultsFade);
    }
    return 0;
}

void c_MyApp::resultsVerdict(float bar) {
    const float w = kp_BT3_jscrw;
    const float h = kp_BT3_jscrh;
    const VerdictCode code = verdictOf(*this);
    const Verdict& v = kVerdicts[code];
    String first(v.first);
    String second(v.second);
    if (code == kMissedTarget) {
        m_targetDiff = m_score - m_param;
        first = kpIntToString(std::abs(m_targetDiff));
        if (m_targetDiff < 0) second = u"Under";
        if (m_targetDiff > 0) second = u"Over!";
    }
    p_ResetDraw();
    platedWord(*this, kFirstWordX * w, bar, first, v);
    platedWord(*this, kSecondWordX * w, h - bar, second, v);

    if (code == kPerfect || code == kMissedTarget) {
        p_SetCol(255, 255, 255, 1);
        p_SetSize(2, 2);
        p_Text(kFirstWordX * w, bar - kTargetRowsAbove, u"You", 1, 1, 0);
        p_Text(kSecondWordX * w, bar - kTargetRowsAbove, u"Target", 1, 1, 0);
        p_SetSize(2.5f, 2.5f);
        p_Text(kFirstWordX * w, bar - kTargetFiguresAbove, kpIntToString(m_score), 1, 1, 0);
        p_Text(kSecondWordX * w, bar - kTargetFiguresAbove, kpIntToString(m_param), 1, 1, 0);
    }
}
