// c_MyApp notices: a small panel at the bottom of the window that tells the player what went
// wrong with their progress file (a save that failed, a damaged file kept aside), in the
// game's own small text on the navy panel of the badge pop-ups. It appears once the font is
// loaded and stays until a key, button, click or touch, or until kNoticeTicks updates have
// passed; the press that ends it still acts on the screen below, so play is never held up.
#include "game/c_MyApp.h"

#include <algorithm>

#include "input/kp_input.h"

namespace {
constexpr int kNoticeTicks = 480;    // 8 s at 60 updates a second
constexpr int kNoticeReadTicks = 30; // shown this long before a press can end it
constexpr int kLastInputKey = 431;   // keyboard, mouse, pads and touches; not the window's close
constexpr float kLineHeight = 12.0f;
constexpr float kPad = 6.0f;
constexpr float kBottomMargin = 6.0f;
constexpr float kSideMargin = 8.0f;
constexpr float kPanelR = 0.0f;
constexpr float kPanelG = 0.0f;
constexpr float kPanelB = 80.0f;
constexpr float kPanelAlpha = 0.85f;
const String kCut = u"...";

bool anyInputHit() {
    for (int key = 1; key <= kLastInputKey; ++key) {
        if (kp_input_KeyHit(key) != 0) return true;
    }
    return false;
}
} // namespace

int c_MyApp::p_Notice(const String& first, const String& second, const String& third) {
    m_noticeLines[0] = first;
    m_noticeLines[1] = second;
    m_noticeLines[2] = third;
    m_noticeTicks = 0;
    m_noticeShown = 1;
    m_noticeFitWidth = 0; // fitted again at the next show
    return 0;
}

void c_MyApp::fitNotice() {
    // A line too long for the window keeps its end (a path's file name), cut at the front.
    // Fitted once for each screen width, so showing allocates nothing.
    const int advance = std::max(1, m_fontMetrics[m_font * 3]);
    const size_t room = static_cast<size_t>((kp_BT3_jscrw - 2 * (kSideMargin + kPad)) / advance);
    for (int i = 0; i < kNoticeLines; ++i) {
        const String& line = m_noticeLines[i];
        m_noticeFitted[i] = line.size() <= room || room <= kCut.size()
                                ? line
                                : kCut + line.substr(line.size() - (room - kCut.size()));
    }
    m_noticeFitWidth = kp_BT3_jscrw;
}

void c_MyApp::showNotice() {
    if (m_noticeShown == 0 || m_fontMetrics[m_font * 3] == 0) return; // no font yet
    ++m_noticeTicks;
    if (m_noticeTicks > kNoticeTicks || (m_noticeTicks > kNoticeReadTicks && anyInputHit())) {
        m_noticeShown = 0;
        return;
    }
    if (m_noticeFitWidth != kp_BT3_jscrw) fitNotice();
    int lines = 0;
    size_t widest = 0;
    for (const String& line : m_noticeFitted) {
        if (line.empty()) continue;
        ++lines;
        widest = std::max(widest, line.size());
    }
    const float advance = static_cast<float>(m_fontMetrics[m_font * 3]);
    const float w = std::min(kp_BT3_jscrw - 2 * kSideMargin, widest * advance + 2 * kPad);
    const float h = lines * kLineHeight + 2 * kPad;
    const float x = (kp_BT3_jscrw - w) / 2;
    const float y = kp_BT3_jscrh - kBottomMargin - h;

    p_ResetDraw();
    p_SetCol(kPanelR, kPanelG, kPanelB, kPanelAlpha);
    p_Rect(x, y, w, h);
    p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
    float lineY = y + kPad;
    for (const String& line : m_noticeFitted) {
        if (line.empty()) continue;
        p_Text(x + kPad, lineY, line, 0.0f, 0.0f, 0);
        lineY += kLineHeight;
    }
    p_ResetDraw();
}
