// c_MyApp replay: p_OnRender measures the render rate, clears the window to the frame
// background, notices a new device size (which restarts the asset loader), fits the virtual
// screen to the window, and replays the draw list in list order. Mirror and shear commands
// replace the base matrix for the rest of the list; they never accumulate.
#include "game/c_MyApp.h"
#include "game/c_MyApp_commands.h"
#include "graphics/kp_graphics.h"

using namespace bt3;

namespace {
// A device taller than wide lays out against a design one and a half times larger.
constexpr float kPortraitFactor = 1.5f;
constexpr int kFpsSmoothing = 10;
constexpr int kBlendAlpha = 0;
constexpr int kBlendAdditive = 1;
constexpr float kAdditiveCommand = 3.0f;

} // namespace

KpScreenFit kpFitScreen(int devW, int devH, float rawW, float rawH, float overscan) {
    const float w = static_cast<float>(devW);
    const float h = static_cast<float>(devH);
    const float m = devH > devW ? kPortraitFactor : 1.0f;
    const float sx = (w - 2 * overscan) / (rawW * m);
    const float sy = (h - 2 * overscan) / (rawH * m);
    KpScreenFit fit{};
    float k;
    if (sx >= sy) {
        fit.scale = sx;
        fit.mode = 1;
        k = w / (rawW * m);
    } else {
        fit.scale = sy;
        fit.mode = 2;
        k = h / (rawH * m);
    }
    if (k > 0) {
        fit.virtualW = w / k;
        fit.virtualH = h / k;
    } else {
        // A window with no pixels on the fitted side (one minimised to 0 by 0) keeps the
        // designed screen instead of dividing by zero.
        fit.virtualW = rawW * m;
        fit.virtualH = rawH * m;
    }
    fit.landscape = fit.virtualH <= fit.virtualW ? 1 : 0;
    fit.offsetX = overscan;
    fit.offsetY = devW != 0 ? overscan * h / w : 0.0f;
    return fit;
}

int c_MyApp::p_OnRender() {
    const int now = kp_app_Millisecs();
    if (now > m_renderMillis) m_renderFpsNow = 1000 / (now - m_renderMillis);
    m_renderFps = ((kFpsSmoothing - 1) * m_renderFps + m_renderFpsNow) / kFpsSmoothing;
    m_renderMillis = now;

    const int devW = kp_app__devWidth;
    const int devH = kp_app__devHeight;
    kp_graphics_SetColor(m_clsR, m_clsG, m_clsB);
    kp_graphics_SetAlpha(m_clsAlpha);
    kp_graphics_DrawRect(-1, -1, static_cast<float>(devW + 2), static_cast<float>(devH + 2));
    kp_graphics_SetColor(255, 255, 255);
    kp_graphics_SetAlpha(1);

    // A new window size reloads every image at the resolution that suits it.
    if (devW != m_lastDevW || devH != m_lastDevH) {
        m_lastDevW = devW;
        m_lastDevH = devH;
        m_loadStep = 1;
    }

    const KpScreenFit fit =
        kpFitScreen(devW, devH, kp_BT3_rawscrw, kp_BT3_rawscrh, kp_BT3_overscan);
    m_scaleX = fit.scale;
    m_scaleY = fit.scale;
    m_scaleMode = fit.mode;
    kp_BT3_jscrw = fit.virtualW;
    kp_BT3_jscrh = fit.virtualH;
    m_landscape = fit.landscape;
    return p_ReplayList(fit);
}

int c_MyApp::p_ReplayList(const KpScreenFit& fit) {
    const float s = fit.scale;
    const float ox = fit.offsetX;
    const float oy = fit.offsetY;
    const float devW = static_cast<float>(kp_app__devWidth);
    kp_graphics_PushMatrix();
    for (m_i = 0; m_i < m_drawCount - (kDrawStride - 1); m_i += kDrawStride) {
        const float* c = &m_drawList[m_i];
        kp_graphics_SetAlpha(c[kSlotAlpha]);
        kp_graphics_SetColor(c[kSlotR], c[kSlotG], c[kSlotB]);
        // One blend set per command, the one it needs: setting alpha first and then additive
        // would end a run of additive commands at every command.
        kp_graphics_SetBlend(c[kSlotBlend] == kAdditiveCommand ? kBlendAdditive : kBlendAlpha);

        const float kind = c[kSlotKind];
        if (kind == kCmdRect) {
            kp_graphics_DrawRect(c[kSlotX] * s + ox, c[kSlotY] * s + oy, c[kSlotW] * s,
                                 c[kSlotH] * s);
        } else if (kind == kCmdOval) {
            kp_graphics_DrawEllipse(c[kSlotX] * s + ox, c[kSlotY] * s + oy, c[kSlotW] * s,
                                    c[kSlotH] * s);
        } else if (kind == kCmdLine) {
            kp_graphics_DrawLine(c[kSlotX] * s + ox, c[kSlotY] * s + oy, c[kSlotW] * s + ox,
                                 c[kSlotH] * s + oy);
        } else if (kind == kCmdShear) {
            // x' = x + b y, y' = a x + y, in device pixels, for the rest of the list.
            kp_graphics_PopMatrix();
            kp_graphics_PushMatrix();
            kp_graphics_Transform(1, c[kSlotX], c[kSlotY], 1, 0, 0);
        } else if (kind == kCmdMirror) {
            kp_graphics_PopMatrix();
            kp_graphics_PushMatrix();
            kp_graphics_Transform(-1, 0, 0, 1, devW, 0);
        } else if (kind > -1) {
            const int slot = static_cast<int>(kind);
            const int frame = static_cast<int>(c[kSlotFrame]);
            c_Image* image = slot < kImageSlots ? m_images[slot].get() : nullptr;
            // A frame the image does not have draws nothing rather than reading past it.
            if (image && frame >= 0 && frame < static_cast<int>(image->frames.size())) {
                const float scale = s * m_imageScale;
                kp_graphics_DrawImage2(image, c[kSlotX] * s + ox, c[kSlotY] * s + oy, c[kSlotRot],
                                       c[kSlotW] * scale, c[kSlotH] * scale, frame);
            }
        }
    }
    kp_graphics_PopMatrix();
    return 0;
}
