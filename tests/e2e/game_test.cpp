// The real game with its generated data under Xvfb: the loader runs to the menu and intro,
// the screen is drawn (a screenshot kept in the build folder), F11 switches to the screen's
// size and back, F4 and the window's close both end the game with status 0, and a state file
// is loaded at start and written back whole when the window loses focus; a tap of a key or
// of the mouse button with no hold starts a level from the menu.
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <thread>

#include "support/process.h"
#include "support/state_file.h"
#include "support/test_support.h"
#include "support/x_drive.h"

namespace {

// One folder for every test of this binary, linking the data folder the build generated.
class GameEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        data_ = new TempDir();
        ASSERT_TRUE(std::filesystem::is_directory(buildDir() + "/data"))
            << "the build's data folder is missing: build the target data";
        std::filesystem::create_directory_symlink(buildDir() + "/data", data_->file("data"));
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    void start() {
        game_ =
            std::make_unique<ChildProcess>(buildDir() + "/brambolt3", std::vector<std::string>{},
                                           data_->path(), data_->file("out.txt"));
        watch_ = std::make_unique<WatchedGame>(*game_);
        window_ = findWindow("Brambolt3", 60.0);
        ASSERT_NE(window_, 0u) << readFile(data_->file("out.txt"));
        runCommand("xdotool windowfocus --sync " + std::to_string(window_));
    }

    std::string geometry() {
        return runCommand("xdotool getwindowgeometry " + std::to_string(window_));
    }

    // Distinct colours in a screenshot of the game's window, saved to the build folder.
    size_t screenshotColours(const std::string& name) {
        std::string file = buildDir() + "/screenshots/" + name + ".png";
        std::filesystem::create_directories(buildDir() + "/screenshots");
        runCommand("import -window " + std::to_string(window_) + " " + file, kShotBound);
        std::string count = runCommand("identify -format %k " + file + " 2>/dev/null");
        return count.empty() ? 0 : std::stoul(count);
    }

    static TempDir* data_;
    std::unique_ptr<ChildProcess> game_;
    std::unique_ptr<WatchedGame> watch_;
    unsigned long window_ = 0;
};

TempDir* GameEndToEnd::data_ = nullptr;

} // namespace

TEST_F(GameEndToEnd, LoaderFinishesAndTheScreenIsDrawn) {
    start();
    // The loader's screen has few colours; the intro's logo over the menu has many.
    EXPECT_TRUE(waitFor([&] { return screenshotColours("menu_640x480") > 8u; }))
        << readFile(data_->file("out.txt"));
    ASSERT_TRUE(game_->running()) << readFile(data_->file("out.txt"));
    ASSERT_TRUE(sendCloseRequest(window_));
    EXPECT_EQ(game_->wait(30.0), 0) << readFile(data_->file("out.txt"));
}

TEST_F(GameEndToEnd, F11SwitchesToTheScreenSizeAndBack) {
    start();
    // The window is made anew for each switch, so it is looked up again until it has the size.
    auto sized = [&](const std::string& size) {
        return waitFor([&] {
            window_ = findWindow("Brambolt3", 1.0);
            return window_ != 0 && geometry().find("Geometry: " + size) != std::string::npos;
        });
    };
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F11");
    ASSERT_TRUE(sized("1280x1024")) << geometry();
    EXPECT_TRUE(waitFor([&] { return screenshotColours("menu_fullscreen") > 8u; }));

    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F11");
    ASSERT_TRUE(sized("640x480")) << geometry();
    ASSERT_TRUE(game_->running());
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F4");
    EXPECT_EQ(game_->wait(30.0), 0) << readFile(data_->file("out.txt"));
}

TEST_F(GameEndToEnd, F4QuitsWithStatusZero) {
    start();
    runCommand("xdotool windowfocus --sync " + std::to_string(window_) + " key F4");
    EXPECT_EQ(game_->wait(30.0), 0) << readFile(data_->file("out.txt"));
}

TEST_F(GameEndToEnd, TheStateFileIsLoadedAndSavedWholeWhenTheWindowLosesFocus) {
    // A folder of its own with the generated data, and a state file written here.
    TempDir work;
    std::filesystem::create_directory_symlink(data_->file("data"), work.file("data"));
    StateFile state;
    state.settings[1] = 1;  // score pop-ups off
    state.settings[4] = 36; // level 37 selected
    state.settings[5] = 2;  // effects only
    state.settings[10] = 80;
    state.settings[11] = 64;
    state.settings[12] = 12;
    state.settings[14] = 1;
    state.settings[20] = -7; // unused, kept
    state.badgeWords[0] = (1u << 0) | (1u << 5) | (1u << 16) | (1u << 31);
    state.badgeWords[7] = 1u << 31;
    for (int k = 0; k < 36; ++k) {
        for (int r = 0; r < 10; ++r) {
            state.best[k * 10 + r] = 1000 * (k + 1) - 50 * r;
            state.last[k * 10 + r] = 10 * k + r;
        }
        state.stat[k * 10 + 0] = 20 + k; // spikes passed
        state.stat[k * 10 + 2] = 3;
        state.stat[k * 10 + 7] = 400 + k;
        state.stat[k * 10 + 8] = -1; // passed
    }
    state.stat[36 * 10 + 8] = 2; // level 37 failed twice
    state.best[499 * 10 + 9] = 2147483647;
    const std::string written = state.text();
    writeFile(work.file(".zembrastate"), written);

    ChildProcess game(buildDir() + "/brambolt3", {}, work.path(), work.file("out.txt"));
    const WatchedGame watch(game);
    unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u) << readFile(work.file("out.txt"));
    runCommand("xdotool windowfocus --sync " + std::to_string(window));
    // The state file is read as the game is created, before its loader runs.
    waitFor([&] { return readFile(work.file("out.txt")).find("Badge") != std::string::npos; });
    ASSERT_TRUE(game.running()) << readFile(work.file("out.txt"));
    std::string out = readFile(work.file("out.txt"));
    EXPECT_NE(out.find("Settings Loaded\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Badges Loaded\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Checksum Invalid"), std::string::npos) << out;

    // Losing the focus suspends the game, which saves; nothing else changes the file.
    const auto before = std::filesystem::last_write_time(work.file(".zembrastate"));
    focusNothing();
    waitFor([&] { return std::filesystem::last_write_time(work.file(".zembrastate")) != before; });
    ASSERT_NE(std::filesystem::last_write_time(work.file(".zembrastate")), before)
        << "no save on suspend\n"
        << readFile(work.file("out.txt"));
    ASSERT_TRUE(game.running());

    StateFile saved;
    std::string why;
    ASSERT_TRUE(StateFile::parse(readFile(work.file(".zembrastate")), saved, why)) << why;
    EXPECT_EQ(saved.settings, state.settings);
    EXPECT_EQ(saved.best, state.best);
    EXPECT_EQ(saved.last, state.last);
    EXPECT_EQ(saved.stat, state.stat);
    for (size_t g = 0; g < 8; ++g) {
        EXPECT_EQ(saved.badgeWords[g] & state.badgeWords[g], state.badgeWords[g])
            << "badges may only grow; word " << g;
    }
    EXPECT_FALSE(std::filesystem::exists(work.file(".zembrastate.tmp")));

    runCommand("xdotool windowfocus --sync " + std::to_string(window) + " key F4");
    EXPECT_EQ(game.wait(30.0), 0) << readFile(work.file("out.txt"));
}

namespace {

// Presses key until the game's output file holds text: "Loading theme" once a level starts,
// "sfx/world" once its round has begun and its tune is asked for. A press the game was not
// ready for is made again.
bool pressUntilSaid(const std::string& key, const std::string& outputFile,
                    const std::string& text) {
    return waitFor([&] {
        if (readFile(outputFile).find(text) != std::string::npos) return true;
        pressKey(key);
        pause(0.2);
        return readFile(outputFile).find(text) != std::string::npos;
    });
}

// Whether the intro's overlay has all but gone from a screenshot of the menu: the options cog
// in the top-left corner has white in it, which the overlay covers with flat dark blue until
// it has faded almost to nothing. (Its brightest point is measured, not one pixel: the cog
// turns.)
bool overlayGone(const std::string& file) {
    const std::string out = runCommand("convert " + file +
                                       " -crop 48x48+0+0 +repage -fx 'min(r,min(g,b))'"
                                       " -format '%[fx:int(255*maxima)]' info:");
    return !out.empty() && std::atoi(out.c_str()) > 240;
}

// Waits until the menu shows past the intro: the overlay has gone and the intro's logo, which
// fades out over the menu last, has gone too, so two pictures a little apart nearly agree.
// The intro lets go of the menu's input at most a few ticks later.
bool waitForMenu(unsigned long window) {
    return waitFor([&] {
        const std::string first = screenshot(window, "menu_probe");
        if (!overlayGone(first)) return false;
        pause(0.4);
        const std::string second = screenshot(window, "menu_probe_again");
        const long changed = changedPixels(first, second);
        return changed >= 0 && changed < 12000 && overlayGone(second);
    });
}

// Waits until the window has shown two new pictures, so that the game has run an update
// after whatever was sent before the call.
bool framesDrawn(unsigned long window) {
    for (int frame = 0; frame < 2; ++frame) {
        const std::string before = screenshot(window, "frame_probe");
        if (!waitFor([&] {
                return changedPixels(before, screenshot(window, "frame_probe_next"), 0) > 0;
            })) {
            return false;
        }
    }
    return true;
}

// A held press that the game then sees released: a next press made at once could otherwise
// reach the game before an update saw this one let go, and the menus take a press only after
// all keys were up.
void pressKeyIn(unsigned long window, const std::string& key) {
    pressKey(key);
    framesDrawn(window);
}

// Presses key until the window's picture changes by more than `pixels` from how it looked
// before: the intro and a busy machine can both make the game miss a press, so a press that
// had no effect is made again.
bool pressUntilChanged(unsigned long window, const std::string& key, long pixels,
                       const std::string& name) {
    const std::string before = screenshot(window, name + "_before");
    auto changed = [&] { return changedPixels(before, screenshot(window, name)) > pixels; };
    // A press that took effect is given a few seconds to show before the next is made.
    return waitFor([&] {
        pressKey(key);
        return waitFor(changed, 5.0);
    });
}

} // namespace

TEST_F(GameEndToEnd, AFirstRoundFromTheMenuReturnsToItAndIsSaved) {
    TempDir work;
    std::filesystem::create_directory_symlink(data_->file("data"), work.file("data"));
    const std::string shots = buildDir() + "/screenshots/";
    std::filesystem::create_directories(shots);
    const std::string stateFile = work.file(".zembrastate");
    ChildProcess game(buildDir() + "/brambolt3", {}, work.path(), work.file("out.txt"));
    const WatchedGame watch(game);
    const unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u) << readFile(work.file("out.txt"));
    runCommand("xdotool windowfocus --sync " + std::to_string(window));
    auto shot = [&](const std::string& name) {
        runCommand("import -window " + std::to_string(window) + " " + shots + name + ".png",
                   kShotBound);
        return shots + name + ".png";
    };
    // The results panel's yellow bar crosses this point; the menu shows dark blue there.
    auto yellowBar = [](const std::string& file) {
        const std::array<int, 3> rgb = pixelAt(file, 300, 216);
        return rgb[0] > 90 && rgb[1] > 90 && rgb[2] < rgb[1] / 2;
    };

    ASSERT_TRUE(waitForMenu(window)) << readFile(work.file("out.txt"));
    const std::string menu = shot("menu_fresh");
    EXPECT_GT(std::stoul(runCommand("identify -format %k " + menu)), 50u) << "tiles drawn";
    EXPECT_FALSE(yellowBar(menu));

    // Enter starts level 1; the intro holds input back, so press until the theme loads.
    ASSERT_TRUE(pressUntilSaid("Return", work.file("out.txt"), "Loading theme"))
        << "Enter did not start level 1";
    pause(1.0);
    shot("level1_start");

    // Hold Right in long presses until the round ends and the game is back in the menu, which
    // saves. (The press that ends the start title never moves the ball, so a press that came
    // too early is let go and taken again.)
    bool sawPanel = false;
    bool tookPlay = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!std::filesystem::exists(stateFile) && std::chrono::steady_clock::now() < deadline &&
           game.running()) {
        runCommand("xdotool keydown Right");
        const auto hold = std::chrono::steady_clock::now() + std::chrono::seconds(4);
        while (!std::filesystem::exists(stateFile) && std::chrono::steady_clock::now() < hold) {
            const std::string probe = shot(tookPlay ? "results_probe" : "level1_rolling");
            tookPlay = true;
            if (!sawPanel && yellowBar(probe)) {
                std::filesystem::copy_file(probe, shots + "results_panel.png",
                                           std::filesystem::copy_options::overwrite_existing);
                sawPanel = true;
            }
        }
        runCommand("xdotool keyup Right");
        pause(0.2);
    }
    ASSERT_TRUE(std::filesystem::exists(stateFile)) << "no return to the menu\n"
                                                    << readFile(work.file("out.txt"));
    EXPECT_TRUE(sawPanel) << "the results panel was not seen";
    std::filesystem::remove(shots + "results_probe.png");

    EXPECT_TRUE(waitFor([&] { return !yellowBar(shot("menu_after_round")); }))
        << "the panel has faded";
    ASSERT_TRUE(game.running()) << readFile(work.file("out.txt"));

    StateFile saved;
    std::string why;
    ASSERT_TRUE(StateFile::parse(readFile(stateFile), saved, why)) << why;
    // The round is filed: its score (0 if the ball met the first spike) is level 1's last and
    // best, its spikes are the level's total and its most, and its result is marked.
    EXPECT_EQ(saved.best[0], saved.last[0]);
    EXPECT_EQ(saved.stat[7], saved.stat[0]);
    EXPECT_GE(saved.last[0], saved.stat[7]) << "every spike passed scores";
    const int marker = saved.stat[8];
    EXPECT_TRUE(marker == 1 || marker == -1) << marker;
    EXPECT_EQ(saved.settings[4], marker == -1 ? 1 : 0) << "the selection after the round";

    runCommand("xdotool windowfocus --sync " + std::to_string(window) + " key F4");
    EXPECT_EQ(game.wait(30.0), 0) << readFile(work.file("out.txt"));
}

namespace {

// Pixels of a screenshot close to pure yellow (the pause panel's choice ring).
long yellowPixels(unsigned long window, const std::string& name) {
    const std::string file = buildDir() + "/screenshots/" + name + ".png";
    std::filesystem::create_directories(buildDir() + "/screenshots");
    runCommand("import -window " + std::to_string(window) + " " + file, kShotBound);
    const std::string count = runCommand("convert " + file +
                                         " -fuzz 12% -fill white -opaque '#ffff00' -fill black"
                                         " +opaque white -format '%[fx:round(mean*w*h)]' info:");
    return count.empty() ? -1 : std::stol(count);
}

// Screenshots until the count of yellow pixels satisfies `done`, for up to 20 seconds; the
// last count.
template <class Done> long waitForYellow(unsigned long window, const std::string& name, Done done) {
    long n = yellowPixels(window, name);
    for (int i = 0; i < 80 && !done(n); ++i) {
        pause(0.25);
        n = yellowPixels(window, name);
    }
    return n;
}

// The game in a fresh folder of its own (sharing the generated data), past the intro.
struct FreshGame {
    FreshGame() {
        std::filesystem::create_directory_symlink(dataDir + "/data", work.file("data"));
        game = std::make_unique<ChildProcess>(buildDir() + "/brambolt3", std::vector<std::string>{},
                                              work.path(), work.file("out.txt"));
        watch = std::make_unique<WatchedGame>(*game);
        window = findWindow("Brambolt3", 60.0);
        if (window != 0) runCommand("xdotool windowfocus --sync " + std::to_string(window));
        menuUp = window != 0 && waitForMenu(window);
    }
    std::string output() { return readFile(work.file("out.txt")); }
    void quit() { runCommand("xdotool windowfocus --sync " + std::to_string(window) + " key F4"); }

    static inline std::string dataDir;
    TempDir work;
    std::unique_ptr<ChildProcess> game;
    std::unique_ptr<WatchedGame> watch;
    unsigned long window = 0;
    bool menuUp = false; // the menu showed past the intro
};

} // namespace

TEST_F(GameEndToEnd, OptionsChangedFromTheMenuAreSavedWhenThePanelCloses) {
    FreshGame::dataDir = data_->path();
    FreshGame run;
    ASSERT_TRUE(run.menuUp) << run.output();
    // The menu's options button; the panel slides in over the tiles.
    ASSERT_TRUE(pressUntilChanged(run.window, "b", 20000, "options_panel"));
    pressKeyIn(run.window, "Down"); // the sound line
    pressKeyIn(run.window, "space");
    pressKeyIn(run.window, "Down"); // score popups
    pressKeyIn(run.window, "space");
    EXPECT_FALSE(std::filesystem::exists(run.work.file(".zembrastate"))) << "saved on closing";
    pressKeyIn(run.window, "Escape");
    waitFor([&] { return std::filesystem::exists(run.work.file(".zembrastate")); });
    ASSERT_TRUE(run.game->running()) << "the back press closed the panel, not the game";
    StateFile saved;
    std::string why;
    ASSERT_TRUE(StateFile::parse(readFile(run.work.file(".zembrastate")), saved, why)) << why;
    EXPECT_EQ(saved.settings[5], 2) << "sound: effects only";
    EXPECT_EQ(saved.settings[1], 1) << "score popups off";
    run.quit();
    EXPECT_EQ(run.game->wait(30.0), 0) << run.output();
}

TEST_F(GameEndToEnd, EscapeInPlayPausesTheRoundWhichEnterResumesButEscapeDoesNot) {
    FreshGame::dataDir = data_->path();
    FreshGame run;
    ASSERT_TRUE(run.menuUp) << run.output();
    const std::string out = run.work.file("out.txt");
    ASSERT_TRUE(pressUntilSaid("Return", out, "Loading theme")) << "level 1 did not start";
    ASSERT_TRUE(pressUntilSaid("Right", out, "sfx/world")) << "its round did not begin";
    const long playing = yellowPixels(run.window, "pause_before");
    pressKey("Escape");
    const long paused =
        waitForYellow(run.window, "pause_panel", [&](long n) { return n > playing + 400; });
    ASSERT_GT(paused, playing + 400) << "the pause panel's choice ring is up";
    pressKey("Escape");
    // Had it resumed, the panel would be gone within a fifth of a second.
    pause(1.5);
    EXPECT_GT(yellowPixels(run.window, "pause_back"), playing + 400) << "back leaves it up";
    pressKey("Return"); // the choice starts on resume
    EXPECT_LT(waitForYellow(run.window, "pause_resumed", [&](long n) { return n < paused - 400; }),
              paused - 400)
        << "the panel has gone";
    ASSERT_TRUE(run.game->running()) << run.output();
    run.quit();
    EXPECT_EQ(run.game->wait(30.0), 0) << run.output();
}

TEST_F(GameEndToEnd, AnOpenedLevelOfAnotherThemeStartsFromTheMenuAndIsPlayed) {
    // Levels 1..100 passed and level 101 (the snow theme) selected: Enter starts it.
    TempDir work;
    std::filesystem::create_directory_symlink(data_->file("data"), work.file("data"));
    StateFile state;
    state.settings[4] = 100;
    state.settings[5] = 2; // effects only
    for (int k = 0; k < 100; ++k) state.stat[k * 10 + 8] = -1;
    writeFile(work.file(".zembrastate"), state.text());
    const std::string shots = buildDir() + "/screenshots/";
    std::filesystem::create_directories(shots);

    ChildProcess game(buildDir() + "/brambolt3", {}, work.path(), work.file("out.txt"));
    const WatchedGame watch(game);
    const unsigned long window = findWindow("Brambolt3", 60.0);
    ASSERT_NE(window, 0u) << readFile(work.file("out.txt"));
    runCommand("xdotool windowfocus --sync " + std::to_string(window));
    ASSERT_TRUE(waitForMenu(window)) << readFile(work.file("out.txt"));
    runCommand("import -window " + std::to_string(window) + " " + shots + "menu_level101.png",
               kShotBound);
    ASSERT_TRUE(pressUntilSaid("Return", work.file("out.txt"), "Loading theme"))
        << "Enter did not start level 101";
    const std::string out = readFile(work.file("out.txt"));
    EXPECT_NE(out.find("Loading theme : 11 "), std::string::npos) << out;
    // A press ends the wait at the start, and the round's tune is asked for; the ball rolls
    // from the next press.
    ASSERT_TRUE(pressUntilSaid("Right", work.file("out.txt"), "sfx/world"));
    runCommand("xdotool keydown Right");
    pause(1.0);
    const std::string play = shots + "level101_play.png";
    runCommand("import -window " + std::to_string(window) + " " + play, kShotBound);
    runCommand("xdotool keyup Right");
    EXPECT_GT(std::stoul(runCommand("identify -format %k " + play)), 50u);
    ASSERT_TRUE(game.running()) << readFile(work.file("out.txt"));
    runCommand("xdotool windowfocus --sync " + std::to_string(window) + " key F4");
    EXPECT_EQ(game.wait(30.0), 0) << readFile(work.file("out.txt"));
}

namespace {

// Sends one tap (a press and release at once, with no hold) and waits for the game to log the
// start of a level; false if none starts within the bound. One tap only: repeated taps would
// sooner or later straddle an update and read as a short hold.
bool aTapStartsALevel(FreshGame& run, const std::string& tap) {
    runCommand("xdotool " + tap);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (run.output().find("Loading theme") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline && run.game->running()) {
        pause(0.1);
    }
    return run.output().find("Loading theme") != std::string::npos;
}

// Makes sure the menu takes input before a single tap is sent: the intro lets go of it a few
// ticks after the menu shows, later still on a busy machine. Held presses of B open the options
// panel, and held Escapes close it until the menu shows again (an Escape is made again only
// when the panel has not gone after a long wait, since one in the menu would quit).
bool menuTakesInput(FreshGame& run) {
    if (!pressUntilChanged(run.window, "b", 20000, "menu_ready_options")) return false;
    // The panel has finished sliding in once two pictures half a second apart nearly agree
    // (its cog turns); a picture taken later only makes the comparison below safer.
    const std::string panel = screenshot(run.window, "menu_ready_panel");
    waitFor(
        [&] {
            pause(0.5);
            const std::string again = screenshot(run.window, "menu_ready_panel_again");
            const bool still = changedPixels(panel, again) < 15000;
            std::filesystem::copy_file(again, panel,
                                       std::filesystem::copy_options::overwrite_existing);
            return still;
        },
        10.0);
    auto menuBack = [&] {
        const long changed = changedPixels(panel, screenshot(run.window, "menu_ready_again"));
        return changed > 20000;
    };
    return waitFor([&] {
        pressKey("Escape");
        return waitFor(menuBack, 20.0);
    });
}

} // namespace

TEST_F(GameEndToEnd, ATapOfEnterOrAClickWithNoHoldStartsTheSelectedLevel) {
    FreshGame::dataDir = data_->path();
    {
        FreshGame run;
        ASSERT_TRUE(run.menuUp && menuTakesInput(run)) << run.output();
        EXPECT_TRUE(aTapStartsALevel(run, "key --delay 0 Return")) << run.output();
        pause(1.0);
        std::filesystem::create_directories(buildDir() + "/screenshots");
        runCommand("import -window " + std::to_string(run.window) + " " + buildDir() +
                       "/screenshots/tap_return_started.png",
                   kShotBound);
        run.quit();
        EXPECT_EQ(run.game->wait(30.0), 0) << run.output();
    }
    {
        // Level 1's tile, selected on a fresh start, lies here in the 640x480 window.
        FreshGame run;
        ASSERT_TRUE(run.menuUp && menuTakesInput(run)) << run.output();
        runCommand("xdotool mousemove --window " + std::to_string(run.window) + " 182 245");
        EXPECT_TRUE(aTapStartsALevel(run, "click 1")) << run.output();
        run.quit();
        EXPECT_EQ(run.game->wait(30.0), 0) << run.output();
    }
}
