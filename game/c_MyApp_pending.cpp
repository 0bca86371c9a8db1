// Methods that creation and the frame driver already call but whose work belongs to later
// stages of the game: the star field, the online ping, the save data, and the screens and
// panels (menu, play, results, options, pause, badges). Until those land they do nothing and
// return 0, so creation and every tick run their whole order; each moves to its own file then.
#include "game/c_MyApp.h"

namespace {
constexpr float kMenuBackgroundAlpha = -123.0f; // full alpha, eased colour
}

int c_MyApp::p_ResetStars(int /*count*/) {
    return 0;
}

int c_MyApp::p_GetURL(const String& /*url*/, const String& /*query*/) {
    return 0;
}

int c_MyApp::p_Load() {
    return 0;
}

int c_MyApp::p_Save() {
    return 0;
}

int c_MyApp::p_Menu() {
    // The menu's own clear, so each tick's drawing starts a fresh list; the tiles, panels
    // and level select come with the menu screen.
    p_DoBG(0, 0, 80, kMenuBackgroundAlpha);
    m_theme = 0;
    return 0;
}

int c_MyApp::p_LoadMenu() {
    return 0;
}

int c_MyApp::p_GameOver() {
    return 0;
}

int c_MyApp::p_OuyaQuit() {
    return 0;
}

int c_MyApp::p_Game_Ball() {
    return 0;
}

int c_MyApp::p_InGame() {
    return 0;
}

int c_MyApp::p_LoadGame_Ball() {
    return 0;
}

int c_MyApp::p_OptionBox() {
    return 0;
}

int c_MyApp::p_ShowBadges() {
    return 0;
}
