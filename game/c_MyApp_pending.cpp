// Methods that creation and the frame driver already call but whose work belongs to later
// stages of the game. Until each lands it does nothing and returns 0 (or an empty text), so
// creation and every tick run their whole order; each group moves to files of its own then.
#include "game/c_MyApp.h"

namespace {
constexpr float kMenuBackgroundAlpha = -123.0f; // full alpha, eased colour
}

// ==== Effects
// ==== end of effects

// ==== Course, set-up and win rules
// ==== end of course

// ==== Ball play
int c_MyApp::p_Game_Ball() {
    return 0;
}
int c_MyApp::p_InGame() {
    return 0;
}
int c_MyApp::p_FindFloor() {
    return 0;
}
// ==== end of ball play

// ==== Menu and results
int c_MyApp::p_Menu() {
    // The menu's own clear, so each tick's drawing starts a fresh list.
    p_DoBG(0, 0, 80, kMenuBackgroundAlpha);
    m_theme = 0;
    return 0;
}
int c_MyApp::p_LoadMenu() {
    return 0;
}
int c_MyApp::p_UnlockAllTheLevels() {
    return 0;
}
int c_MyApp::p_GameOver() {
    return 0;
}
String c_MyApp::p_MyNth() {
    return String();
}
// ==== end of menu

// ==== Panels and ping
int c_MyApp::p_OptionBox() {
    return 0;
}
int c_MyApp::p_PauseMenu() {
    return 0;
}
int c_MyApp::p_OuyaQuit() {
    return 0;
}
int c_MyApp::p_GetURL(const String&, const String&) {
    return 0;
}
// ==== end of panels
