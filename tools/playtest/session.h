// One game on the headless host for the runner's commands: every module global reset, the
// game created and started as the desktop starts it, on a clock that stands still unless a
// command moves it, so a command's results are the same on every run.
#pragma once

#include <memory>

#include "game/c_MyApp.h"
#include "runtime/kp_headless_game.h"

class PlaytestSession {
  public:
    static constexpr double kStartSeconds = 1.0;

    PlaytestSession();
    ~PlaytestSession();
    PlaytestSession(const PlaytestSession&) = delete;
    PlaytestSession& operator=(const PlaytestSession&) = delete;

    c_MyApp& game() { return *game_; }
    KpHeadlessGame& host() { return *host_; }

    // Starts a round of level as the menu does: the level's theme, then the round's set-up.
    void startLevel(int level);

  private:
    std::unique_ptr<KpHeadlessGame> host_;
    c_MyApp* game_ = nullptr; // registered with the app module, released in the destructor
};
