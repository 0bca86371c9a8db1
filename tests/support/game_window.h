// The one window and game a display test binary shares, as the program has one of each: on
// first use the window is opened, the module globals are reset, and the game is created and
// started on it. Suites that need the game set up in another order make their own.
#pragma once

#include "game/c_MyApp.h"
#include "runtime/kp_glfw_game.h"
#include "support/test_window.h"

struct SharedGame {
    KpGlfwGame* host = nullptr; // none when no window could be opened
    c_MyApp* app = nullptr;
};

// The same host and game on every call.
inline const SharedGame& sharedTestGame() {
    static SharedGame shared;
    if (shared.host) return shared;
    shared.host = sharedTestWindow();
    if (!shared.host) return shared;
    kpInit();
    shared.app = new c_MyApp();
    shared.host->StartGame();
    return shared;
}
