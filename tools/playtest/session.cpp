// The runner's game session: a headless host, the null sound driver unless one is chosen, the
// game's creation through the host's start, and level starts as the menu makes them.
#include "tools/playtest/session.h"

#include <cstdlib>

PlaytestSession::PlaytestSession() {
    // No sound card is needed: OpenAL's silent driver, unless the caller picked one.
    setenv("ALSOFT_DRIVERS", "null", 0);
    host_ = std::make_unique<KpHeadlessGame>(640, 480);
    host_->SetTime(kStartSeconds);
    kpInit();
    game_ = new c_MyApp();
    host_->StartGame();
}

PlaytestSession::~PlaytestSession() {
    delete game_;
    delete kp_app__delegate;
    kp_app_Init(nullptr);
}

void PlaytestSession::startLevel(int level) {
    game_->m_level = level;
    game_->m_theme = game_->m_levelTheme[level];
    game_->p_LoadGame_Ball();
}
