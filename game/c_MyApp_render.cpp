// c_MyApp replay: p_OnRender measures the render rate, clears the window to the frame
// background, notices a new device size (which restarts the asset loader), fits the virtual
// screen to the window, and replays the draw list in list order. Mirror and shear commands
// replace the base matrix for the rest of the list; they never accumulate.
#include "game/c_MyApp.h"

namespace {
// A device taller than wide lays out against a design one and a half times larger.
constexpr float kPortraitFactor = 1.5f;
} // namespace

KpScreenFit kpFitScreen(int devW, int devH, float rawW, float rawH, float overscan) {
    const float w = static_cast<float>(devW);
    const float h = static_cast<float>(devH);
    const float m = devH > devW ? kPortraitFactor : 1.0f;
    const float sx = (w - 2 * overscan) / (rawW * m);
    const float sy = (h - 2 * overscan) / (rawH * m);
    KpScreenFit fit{};
    if (sx >= sy) {
        fit.scale = sx;
        fit.mode = 1;
        float k = w / (rawW * m);
        fit.virtualW = w / k;
        fit.virtualH = h / k;
    } else {
        fit.scale = sy;
        fit.mode = 2;
        float k = h / (rawH * m);
        fit.virtualW = w / k;
        fit.virtualH = h / k;
    }
    fit.landscape = fit.virtualH <= fit.virtualW ? 1 : 0;
    fit.offsetX = overscan;
    fit.offsetY = devW != 0 ? overscan * h / w : 0.0f;
    return fit;
}

int c_MyApp::p_OnRender() {
    const int now = kp_app_Millisecs();
    if (now > m_renderMillis) m_renderFpsNow = 1000 / (now - m_renderMillis);
    m_renderFps = (9 * m_renderFps + m_renderFpsNow) / 10;
    m_renderMillis = now;

    const int devW = kp_app__devWidth;
    const int devH = kp_app__devHeight;
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
    return 0;
}
