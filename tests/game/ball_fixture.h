// Whole rounds on the headless host: a level started as the menu starts it, ticks of the
// frame driver on a clock that advances 1/60 s per tick, keys pressed and released by the
// test, and a log of the sound effects each tick played (every effect a round uses is loaded
// from a tone file of its own, so the sample on a voice tells which effect it was). A driver
// that rolls only when the crossing of the next spike is clear plays rounds to the goal.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "audio/gxtkAudio.h"
#include "audio_support.h"
#include "game_fixture.h"
#include "runtime/kp_game.h"

class BallRound : public GameTest {
  protected:
    static constexpr int kKeyRight = 39;
    static constexpr int kKeyLeft = 37;
    static constexpr int kKeyEscape = 27;
    static constexpr int kKeySpace = 32;
    static constexpr int kEffects[] = {2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 98};

    void SetUp() override {
        GameTest::SetUp();
        std::filesystem::create_directories(workDir.file("data/sfx"));
        Tone tone;
        tone.seconds = 0.05;
        for (int n : kEffects) {
            char name[32];
            std::snprintf(name, sizeof name, "data/sfx/%03d.wav", n);
            writeToneWav(workDir.file(name), tone);
        }
        Start();
        app->m_loadStep = 0;
        for (int n : kEffects) app->p_LoadSFX(n, -1);
        app->m_settings[5] = 1;
    }

    // Starts a round of the level as the menu does, then runs the frame driver once.
    void StartLevel(int level) {
        app->m_level = level;
        app->m_theme = app->m_levelTheme[level];
        app->m_screen = 11;
        app->m_miniLoadStep = 0;
        Tick();
        ASSERT_EQ(app->m_screen, 10);
    }

    // Starts the level and plays through the start sequence with one short press.
    void StartAndGo(int level) {
        StartLevel(level);
        while (app->m_playFrames < 60) Tick();
        Press(kKeyRight);
        Tick();
        Release(kKeyRight);
        while (app->m_playFrames < 120) Tick();
        Tick();
    }

    void Tick() {
        host->Advance(1.0 / 60.0);
        const int before = app->m_sfxVoice;
        host->UpdateGame();
        std::vector<int> played;
        for (int v = before; v != app->m_sfxVoice;) {
            v = (v + 1) % 24;
            played.push_back(effectOn(app->m_sfxChannels[v]));
        }
        sounds.push_back(played);
        ++ticks;
    }
    void Press(int key) {
        host->KeyEvent(kEventKeyDown, key);
        held = true;
    }
    void Release(int key) {
        host->KeyEvent(kEventKeyUp, key);
        held = false;
    }

    // The effect whose sample was last played on the channel, or -1.
    int effectOn(int channel) const {
        const gxtkSample* sample = kp_audio_device->channels[channel].sample.get();
        for (int n : kEffects) {
            if (app->m_sfx[n] && app->m_sfx[n]->sample.get() == sample) return n;
        }
        return -1;
    }
    // The ticks (indices into sounds) that played the effect.
    std::vector<int> TicksOf(int effect) const {
        std::vector<int> found;
        for (size_t t = 0; t < sounds.size(); ++t) {
            for (int n : sounds[t]) {
                if (n == effect) found.push_back(static_cast<int>(t));
            }
        }
        return found;
    }

    float BallX() const { return app->m_ball[1]; }
    // Puts the ball at x with the camera behind it, as if it had rolled there, and at a
    // height with no vertical speed. The spikes it jumped over are not counted.
    void PlaceBall(float x, float height) {
        app->m_ball[1] = x;
        app->m_ball[21] = std::max(app->m_ball[21], x);
        app->m_camX = app->m_camTargetX = x - 128.0f;
        app->m_ball[2] = height;
        app->m_ball[24] = 0;
    }
    int Passed() const { return static_cast<int>(app->m_ball[20]); }
    // The record of the spike with this number among the 100 slots, or nullptr.
    float* Spike(int number) {
        for (int s = 0; s < 100; ++s) {
            if (static_cast<int>(app->m_spikes[10 * s + 9]) == number)
                return &app->m_spikes[10 * s];
        }
        return nullptr;
    }

    // How many of the next spikes rolling on from now, without stopping, crosses clear of
    // their heads (with a few pixels to spare), up to most. Flat, still-headed themes only.
    int ClearSpikes(int most) {
        const float w = app->m_ballHalfW + 15.0f + 2.0f;
        const float h = app->m_ballHalfH + 15.0f + 4.0f;
        float x = BallX();
        float height = app->m_ball[2];
        float v = app->m_ball[24];
        for (int k = 1; k <= most; ++k) {
            const float* spike = Spike(Passed() + k);
            if (!spike) return most;
            const float sx = spike[1];
            for (int t = 0; t < 400 && sx - x > -40.0f; ++t) {
                x += app->m_rollSpeed;
                height -= v;
                v = std::min(v + app->m_gravity, app->m_bounceSpeed);
                if (height < 0) {
                    height = 0;
                    v = -app->m_bounceSpeed;
                }
                if (std::fabs(sx - x) < w + app->m_rollSpeed && std::fabs(height - spike[2]) < h) {
                    return k - 1;
                }
            }
        }
        return most;
    }
    bool ClearAhead() { return ClearSpikes(1) == 1; }

    // One tick of the careful driver: hold forward while the next crossing is clear.
    void DriveTick() {
        const bool go = ClearAhead();
        if (go && !held) Press(kKeyRight);
        if (!go && held) Release(kKeyRight);
        Tick();
    }

    std::vector<std::vector<int>> sounds; // per tick, the effects played in order
    int ticks = 0;
    bool held = false;
};
