// The game on the headless host for the benchmarks that need no window: OpenAL Soft's null
// backend (sounds and tunes play, silently), a 640x480 device, the game object, and optionally
// its creation with the loader skipped. The destructor releases the game so the process ends
// as the tests' fixture does.
#pragma once

#include <cstdlib>
#include <memory>

#include "game/c_MyApp.h"
#include "runtime/kp_headless_game.h"

class BenchGame {
  public:
    explicit BenchGame(bool start = true) {
        setenv("ALSOFT_DRIVERS", "null", 0);
        host = std::make_unique<KpHeadlessGame>(640, 480);
        kpInit();
        app = new c_MyApp();
        if (!start) return;
        host->StartGame();
        app->m_loadStep = 0;
    }
    ~BenchGame() {
        delete app;
        delete kp_app__delegate;
        kp_app_Init(nullptr);
    }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    std::unique_ptr<KpHeadlessGame> host;
    c_MyApp* app = nullptr;
};
