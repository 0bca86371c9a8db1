// c_MyApp draw list: the draw state, the 15-float commands appended during an update, the
// frame background with its eased colour, and the per-theme graphics rules. Commands are
// dropped silently once the list is full (2499 per frame). p_OnRender replays the list.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_commands.h"

#include <algorithm>

using namespace bt3;

namespace {

constexpr int kBlendNormal = 1;
// Background easing: each channel covers a thirtieth of the way per frame.
constexpr float kBgEase = 30.0f;
// A target channel below this keeps the old target; this alpha means full.
constexpr int kBgKeep = -122;

// One row of the theme rules; allowBack -1 leaves the previous theme's value.
struct ThemeRule {
    int trail;
    int halfW;
    int halfH;
    int ballStyle;
    int bgR, bgG, bgB; // bgR -1: no background call
    int themeKeys;
    float tilt;
    int allowBack;
};
constexpr int kKeep = -1;
constexpr ThemeRule kThemeRules[] = {
    {1, 16, 16, 0, 0, 0, 0, 0, 0.0f, 0},           // 1
    {1, 12, 12, 0, 0, 20, 180, 0, 1.0f, 1},        // 2
    {0, 8, 16, 0, 70, 130, 190, 1, 0.0f, 1},       // 3
    {1, 16, 16, 2, 40, 0, 0, 1, 0.0f, 0},          // 4
    {1, 14, 14, 5, 130, 160, 255, 1, 0.0f, 0},     // 5
    {0, 16, 16, 2, 0, 0, 60, 0, 1.5f, 0},          // 6
    {1, 16, 16, 0, 0, 60, 0, 1, 0.0f, 0},          // 7
    {0, 12, 8, 3, 0, 0, 60, 1, 0.0f, 0},           // 8
    {0, 22, 22, 2, 0, 0, 0, 0, 0.0f, 0},           // 9
    {0, 15, 15, 2, 0, 0, 80, 1, 0.3f, 1},          // 10
    {0, 16, 16, 0, 200, 200, 200, 0, 0.0f, 0},     // 11
    {1, 12, 10, 4, 0, 0, 120, 0, 0.0f, 0},         // 12
    {1, 12, 12, 0, 0, 0, 0, 0, 0.0f, 0},           // 13
    {0, 14, 14, 0, 220, 220, 220, 0, 0.0f, kKeep}, // 14
    {0, 10, 18, 6, 126, 126, 25, 0, 0.0f, kKeep},  // 15
    {0, 16, 8, 6, -1, 0, 0, 1, 0.0f, kKeep},       // 16: background by variant
};
constexpr ThemeRule kOtherTheme = {1, 16, 16, 0, 0, 0, 0, 0, 0.0f, kKeep};

// Backgrounds of theme 16 by variant 0, 1, 2.
struct Rgb {
    int r, g, b;
};
constexpr Rgb kVariantBackgrounds[] = {{120, 160, 220}, {8, 10, 20}, {10, 20, 160}};
} // namespace

float* c_MyApp::newCommand() {
    if (m_drawCount > kDrawAppendLimit) return nullptr;
    float* command = &m_drawList[m_drawCount];
    m_drawCount += kDrawStride;
    return command;
}

// Stamps rotation, colour, alpha and blend, the part every drawing command shares.
static void stampState(float* command, float rot, float alpha, float r, float g, float b,
                       int blend) {
    command[kSlotRot] = rot;
    command[kSlotAlpha] = alpha;
    command[kSlotR] = r;
    command[kSlotG] = g;
    command[kSlotB] = b;
    command[kSlotBlend] = static_cast<float>(blend);
}

int c_MyApp::p_ResetDraw() {
    m_drawScaleX = 1;
    m_drawScaleY = 1;
    m_drawRot = 0;
    m_drawR = 255;
    m_drawG = 255;
    m_drawB = 255;
    m_drawAlpha = 1;
    m_drawBlend = kBlendNormal;
    return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
    m_drawR = r;
    m_drawG = g;
    m_drawB = b;
    if (a > kNotGiven) m_drawAlpha = a;
    return 0;
}

int c_MyApp::p_Alpha(float a) {
    m_drawAlpha = a;
    return 0;
}

int c_MyApp::p_Blend(int mode) {
    m_drawBlend = mode;
    return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
    m_drawScaleX = sx;
    m_drawScaleY = sy > kNotGiven ? sy : sx;
    return 0;
}

int c_MyApp::p_SetRot(float degrees) {
    m_drawRot = -degrees;
    return 0;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, int frame) {
    float* c = newCommand();
    if (!c) return 0;
    c[kSlotKind] = static_cast<float>(slot);
    c[kSlotX] = x;
    c[kSlotY] = y;
    c[kSlotW] = m_drawScaleX;
    c[kSlotH] = m_drawScaleY;
    c[kSlotFrame] = static_cast<float>(frame);
    stampState(c, m_drawRot, m_drawAlpha, m_drawR, m_drawG, m_drawB, m_drawBlend);
    return 0;
}

// Rectangle, oval and line share one layout: kind, two points or sizes, frame 0.
static void fillShape(float* c, float kind, float a, float b, float d, float e) {
    c[kSlotKind] = kind;
    c[kSlotX] = a;
    c[kSlotY] = b;
    c[kSlotW] = d;
    c[kSlotH] = e;
    c[kSlotFrame] = 0;
}

int c_MyApp::appendShape(float kind, float a, float b, float w, float h) {
    float* c = newCommand();
    if (!c) return 0;
    fillShape(c, kind, a, b, w, h);
    stampState(c, m_drawRot, m_drawAlpha, m_drawR, m_drawG, m_drawB, m_drawBlend);
    return 0;
}

int c_MyApp::p_Rect(float x, float y, float w, float h) {
    return appendShape(kCmdRect, x, y, w, h);
}

int c_MyApp::p_Oval(float cx, float cy, float rx, float ry) {
    return appendShape(kCmdOval, cx, cy, rx, ry);
}

int c_MyApp::p_Line(float x1, float y1, float x2, float y2) {
    return appendShape(kCmdLine, x1, y1, x2, y2);
}

int c_MyApp::p_FlipScreen() {
    float* c = newCommand();
    if (!c) return 0;
    c[kSlotKind] = kCmdMirror;
    c[kSlotX] = 0;
    c[kSlotY] = 0;
    return 0;
}

int c_MyApp::p_Bend(float a, float b) {
    float* c = newCommand();
    if (!c) return 0;
    c[kSlotKind] = kCmdShear;
    c[kSlotX] = a;
    c[kSlotY] = b;
    return 0;
}

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
    m_drawCount = 0;
    if (r > kNotGiven) {
        m_clsR = r;
        m_clsG = g;
        m_clsB = b;
        m_clsAlpha = a;
    }
    p_ResetDraw();
    return 0;
}

int c_MyApp::p_DoBG(int r, int g, int b, float a) {
    if (r >= kBgKeep) m_bgTargetR = static_cast<float>(r);
    if (g >= kBgKeep) m_bgTargetG = static_cast<float>(g);
    if (b >= kBgKeep) m_bgTargetB = static_cast<float>(b);
    m_bgR -= (m_bgR - m_bgTargetR) / kBgEase;
    m_bgG -= (m_bgG - m_bgTargetG) / kBgEase;
    m_bgB -= (m_bgB - m_bgTargetB) / kBgEase;
    float alpha;
    if (a == kFullAlpha) {
        alpha = 1;
    } else if (a < 0) {
        alpha = 0;
    } else {
        alpha = std::min(a, 1.0f);
    }
    p_CLS2D(m_bgR, m_bgG, m_bgB, alpha);
    return 0;
}

int c_MyApp::p_GfxRules(int theme) {
    bool known = theme >= 1 && theme <= kThemeCount;
    const ThemeRule& rule = known ? kThemeRules[theme - 1] : kOtherTheme;
    m_trail = rule.trail;
    m_ballHalfW = rule.halfW;
    m_ballHalfH = rule.halfH;
    m_ballStyle = rule.ballStyle;
    m_themeKeys = rule.themeKeys;
    m_tilt = rule.tilt;
    if (rule.allowBack != kKeep) m_allowBack = rule.allowBack;

    if (!known) {
        p_DoBG(0, 0, 0, kFullAlpha);
    } else if (theme == kThemeWoolly) {
        if (m_variant >= 0 && m_variant <= 2) {
            const Rgb& bg = kVariantBackgrounds[m_variant];
            p_DoBG(bg.r, bg.g, bg.b, kFullAlpha);
        }
    } else {
        p_DoBG(rule.bgR, rule.bgG, rule.bgB, kFullAlpha);
    }
    return 0;
}
