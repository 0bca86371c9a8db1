// c_MyApp: registration and the update rate the frame loop runs at.
#include "game/c_MyApp.h"

namespace {
constexpr int kUpdatesPerSecond = 60;
}

c_MyApp::c_MyApp() { m_new(); }

int c_MyApp::p_OnCreate() {
    kp_app_SetUpdateRate(kUpdatesPerSecond);
    return 0;
}
