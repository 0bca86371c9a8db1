// The random player's keyboard, shared by the headless soak (playtest) and the display soak:
// the go key held and let go, other keys a player may press (arrows, the A/B/X/Y letters,
// enter, space, shift, control, escape, F1 and F2) pressed and let go at random. Escape is
// never pressed on the menu, where it quits. Events go to the host as its callbacks send them.
#pragma once

#include <iterator>
#include <random>
#include <set>

#include "runtime/kp_game.h"

struct KpRandomKeys {
    static constexpr int kGoKey = 39; // the right arrow
    static constexpr int kKeyEscape = 27;
    static constexpr int kKeyF11 = 122;
    static constexpr int kPlayKeys[] = {37, 38, 39, 40, 13,         32,  90, 88,
                                        67, 86, 16, 17, kKeyEscape, 112, 113};

    // How likely each is in one tick.
    static constexpr double kGoToggle = 0.06;
    static constexpr double kKeyPress = 0.02;
    static constexpr double kKeyRelease = 0.2; // for each key held

    std::set<int> held;

    // One tick: the go key toggled, one more key pressed, other held keys let go, each with
    // its chance. Returns the keys pressed.
    int Step(KpGame& host, std::mt19937& random, bool onMenu) {
        std::uniform_real_distribution<double> chance(0, 1);
        int pressed = 0;
        if (chance(random) < kGoToggle) {
            const bool down = held.count(kGoKey) != 0;
            host.KeyEvent(down ? kEventKeyUp : kEventKeyDown, kGoKey);
            if (down) {
                held.erase(kGoKey);
            } else {
                held.insert(kGoKey);
            }
        }
        if (chance(random) < kKeyPress) {
            const int count = static_cast<int>(std::size(kPlayKeys));
            const int key = kPlayKeys[std::uniform_int_distribution<int>(0, count - 1)(random)];
            if (!(key == kKeyEscape && onMenu) && held.insert(key).second) {
                host.KeyEvent(kEventKeyDown, key);
                ++pressed;
            }
        }
        for (auto it = held.begin(); it != held.end();) {
            if (*it != kGoKey && chance(random) < kKeyRelease) {
                host.KeyEvent(kEventKeyUp, *it);
                it = held.erase(it);
            } else {
                ++it;
            }
        }
        return pressed;
    }
};
