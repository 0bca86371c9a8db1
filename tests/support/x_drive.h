// Helpers for the end-to-end tests that drive the real game through the X server: waits with
// a generous bound for what the window shows, key presses sent with xdotool, screenshots of the
// window and comparisons of them with ImageMagick, and the keyboard focus taken away.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "support/process.h"

// How long a test waits for the game to show what it expects. The game runs slower on a busy
// machine, so tests wait for what they can see, never for a fixed time; this bound only ends
// a test whose game never gets there.
constexpr double kShowBound = 90.0;
// How long one screenshot may take; import can wait for ever on a window that has just gone.
constexpr double kShotBound = 20.0;

void pause(double seconds);

// Names the game a test is driving for as long as it lives: waits then give up at once when
// that game has ended, rather than looking at a window that has gone until their bound.
struct WatchedGame {
    explicit WatchedGame(ChildProcess& game);
    ~WatchedGame();
    WatchedGame(const WatchedGame&) = delete;
    WatchedGame& operator=(const WatchedGame&) = delete;
};

// Checks done() every tenth of a second until it holds; false if it still does not after
// seconds, or if the watched game has ended.
bool waitFor(const std::function<bool()>& done, double seconds = kShowBound);

// The colour of one pixel of a screenshot as r, g, b in 0..255.
std::array<int, 3> pixelAt(const std::string& file, int x, int y);

// Holds a key for a moment, long enough for several game ticks to see it down.
void pressKey(const std::string& key);

// Saves a screenshot of the window to the build folder's screenshots (an old one of that name
// is removed first, so a failed shot is never mistaken for a new one); returns its path.
std::string screenshot(unsigned long window, const std::string& name);

// Pixels that differ between two screenshots beyond a tolerance, in percent: at 15, twinkling
// stars and the spinning decorations change a few thousand and a panel coming or going many
// thousands; at 0, any new frame changes some. -1 if either picture is missing.
long changedPixels(const std::string& a, const std::string& b, int fuzzPercent = 15);

// Gives the keyboard focus to the root window, as switching to another program takes it from
// the game's window.
void focusNothing();
