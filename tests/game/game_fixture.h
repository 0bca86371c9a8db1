// A headless host with a fresh game object for each test: kpInit resets every module global,
// the game registers itself as the one application, and TearDown releases both so that the
// next test can register again. Tests that need creation call Start(). Every test runs in a
// temporary working folder of its own, so saves never meet another test's or the player's
// state file.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/c_MyApp.h"
#include "runtime/kp_headless_game.h"
#include "support/test_support.h"

class GameTest : public ::testing::Test {
  protected:
    // First member, so a derived fixture's own folder nests inside it.
    TempDir workDir;

    void SetUp() override {
        host = std::make_unique<KpHeadlessGame>(640, 480);
        kpInit();
        app = new c_MyApp();
    }

    void TearDown() override {
        delete app;
        delete kp_app__delegate;
        kp_app_Init(nullptr);
        host.reset();
    }

    // The host's start: devices, then the game's p_OnCreate.
    void Start() { host->StartGame(); }

    // Sets up a level's round as the menu starts it: its theme first, then the round.
    void setUp(int level) {
        app->m_level = level;
        app->m_theme = app->m_levelTheme[level];
        app->p_LoadGame_Ball();
    }

    std::unique_ptr<KpHeadlessGame> host;
    c_MyApp* app = nullptr;
};
