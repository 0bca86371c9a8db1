// Driving the real game on the real GLFW host to the scenes the frame benchmark and the
// picture tests look at: the intro, the menu after it, and a play frame of a theme, entered as
// the menu enters a level, with the button held. Each step runs the game's own updates with a
// render and swap after each, as the host's loop does.
#pragma once

#include <GLFW/glfw3.h>

#include "game/bt3_ball.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_glfw_game.h"

namespace scenes {

constexpr int kIntroFrame = 100;   // the intro's scene: its overlay well under way
constexpr int kMenuSettle = 30;    // menu ticks after the intro before its frame is taken
constexpr int kPlaySettle = 60;    // ticks with the button held after the start title
constexpr int kGiveUpTicks = 3000; // a scene not reached by then is reported as missing
constexpr int kKeyRight = 39;      // the one button, as the keyboard sends it

inline c_MyApp& game() {
    return *static_cast<c_MyApp*>(kp_app__app);
}

// One update, as the host's loop runs it, with the window's events taken first.
inline void tick(KpGlfwGame& host) {
    glfwPollEvents();
    host.UpdateGame();
}

// Renders and swaps, so the game sees frames while it is driven.
inline void show(KpGlfwGame& host) {
    host.RenderGame();
    glfwSwapBuffers(host.Window());
}

// Ticks and shows until done() holds; false if it does not within kGiveUpTicks.
template <typename Done> bool drive(KpGlfwGame& host, Done done) {
    for (int t = 0; t < kGiveUpTicks; ++t) {
        if (done()) return true;
        tick(host);
        show(host);
    }
    return done();
}

// Creates the game in a new window of the given size (the folder holding data/ is the
// working directory) and runs it until the start-up loader is done and the intro is up.
inline KpGlfwGame* startGame(int width, int height) {
    auto* host = new KpZembraGame();
    kpInit();
    kpMain();
    host->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
    host->SetSwapInterval(0);
    host->StartGame();
    c_MyApp& app = game();
    if (!drive(*host, [&] { return app.m_loadStep == 0 && app.m_introFrames >= kIntroFrame; })) {
        return nullptr;
    }
    return host;
}

// From the intro on to the menu standing alone.
inline void toMenu(KpGlfwGame& host) {
    drive(host, [&] { return game().m_introFrames >= kIntroEnd; });
    for (int t = 0; t < kMenuSettle; ++t) tick(host);
}

inline int firstLevelOf(int theme) {
    for (int level = 1; level <= kLevelTableSize; ++level) {
        if (game().m_levelTheme[level] == theme) return level;
    }
    return 0;
}

// Enters the theme's first level the way the menu does, ends the start title and holds the
// button for a while, so the ball is on its way.
inline bool enterPlay(KpGlfwGame& host, int theme) {
    c_MyApp& app = game();
    const int level = firstLevelOf(theme);
    if (level == 0) return false;
    host.KeyEvent(kEventKeyUp, kKeyRight);
    app.m_theme = theme;
    app.m_variant = theme == kThemeCount ? 0 : -1; // only the last theme has variants
    app.m_miniLoadStep = 1;
    app.p_GfxRules(theme);
    app.m_level = level;
    app.m_screen = kScreenLevelLoad;
    if (!drive(host, [&] { return app.m_screen == kScreenPlay; })) return false;
    app.m_playFrames = bt3ball::kStartDone;
    host.KeyEvent(kEventKeyDown, kKeyRight);
    for (int t = 0; t < kPlaySettle && app.m_roundOver == 0; ++t) {
        tick(host);
        show(host);
    }
    return app.m_screen == kScreenPlay;
}

} // namespace scenes
