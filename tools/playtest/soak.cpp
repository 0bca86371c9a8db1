// The soak command: random but plausible input for S seconds of game time (60 ticks a
// second, run as fast as the machine allows) from the game's own start: keys, the go key held
// and let go, the pointer moved and pressed, focus lost and regained, window sizes and the
// fullscreen key, across the menu, level starts, play, pause, options and results. After each
// tick it checks the draw list's count, that the camera, ball, spikes and score are finite,
// and at each save point that the saved state loads back with every checksum valid and the
// same values. The first broken check ends the run with the seed and tick to repeat it. Keys
// that end the program by design (back on the menu, F4, the close key) are never pressed.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/bt3_numbers.h"
#include "input/c_InputDevice.h"
#include "tools/playtest/commands.h"
#include "tools/playtest/round.h"
#include "tools/playtest/session.h"
#include "tools/playtest/snapshot.h"
#include "tools/random_keys.h"

namespace {

constexpr int kTicksPerSecond = 60;
constexpr int kExitBroken = 1;
constexpr const char* kStateFile = ".zembrastate";
constexpr int kSpikeSlotsChecked = 1000; // the ring of 100 records of 10 fields

constexpr int kKeyF11 = KpRandomKeys::kKeyF11;
constexpr int kWindowSizes[][2] = {{640, 480},   {800, 600}, {1280, 720}, {320, 240},
                                   {1920, 1080}, {480, 640}, {1, 1},      {0, 0}};

// How likely each input is in one tick.
constexpr double kPointerMove = 0.05;
constexpr double kPointerPress = 0.02;
constexpr double kPointerRelease = 0.2;
constexpr double kFocusLoss = 0.001;
constexpr double kFocusBack = 0.05;
constexpr double kResize = 0.001;
constexpr double kFullscreenKey = 0.0005;

struct SoakState {
    std::mt19937 random;
    KpRandomKeys keys;
    bool pointerDown = false;
    bool suspended = false;
    std::set<std::string> screens;
    int saves = 0;
    long long stamp = -1; // the state file's inode and time at the last save checked
};

// The tick and seed of the running soak, for a report if the game ends the program.
int soakTick = 0;
int soakSeed = 0;
bool soakRunning = false;
void reportUnexpectedExit() {
    if (!soakRunning) return;
    std::fprintf(stderr, "soak: the game ended the program at tick %d with seed %d\n", soakTick,
                 soakSeed);
    _exit(kExitBroken);
}

bool chance(SoakState& s, double p) {
    return std::uniform_real_distribution<double>(0, 1)(s.random) < p;
}
int pick(SoakState& s, int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(s.random);
}

void randomInput(SoakState& s, KpHeadlessGame& host, const c_MyApp& g) {
    const bool onMenu = g.m_screen == kScreenMenu || g.m_screen == kScreenToMenu;
    s.keys.Step(host, s.random, onMenu);
    const float w = static_cast<float>(host.GetDeviceWidth());
    const float h = static_cast<float>(host.GetDeviceHeight());
    if (chance(s, kPointerMove)) {
        std::uniform_real_distribution<float> x(-8.0f, w + 8.0f), y(-8.0f, h + 8.0f);
        host.MouseEvent(kEventMouseMove, 0, x(s.random), y(s.random));
    }
    if (!s.pointerDown && chance(s, kPointerPress)) {
        std::uniform_real_distribution<float> x(0.0f, w), y(0.0f, h);
        host.MouseEvent(kEventMouseDown, 0, x(s.random), y(s.random));
        s.pointerDown = true;
    } else if (s.pointerDown && chance(s, kPointerRelease)) {
        host.MouseEvent(kEventMouseUp, 0, 0, 0);
        s.pointerDown = false;
    }
    if (!s.suspended && chance(s, kFocusLoss)) {
        host.SetActive(false);
        host.SuspendGame();
        s.suspended = true;
    } else if (s.suspended && chance(s, kFocusBack)) {
        host.SetActive(true);
        host.ResumeGame();
        s.suspended = false;
    }
    if (chance(s, kResize)) {
        const auto& size = kWindowSizes[pick(s, static_cast<int>(std::size(kWindowSizes)))];
        host.SetDeviceSize(size[0], size[1]);
    }
    if (chance(s, kFullscreenKey)) {
        host.KeyEvent(kEventKeyDown, kKeyF11);
        host.KeyEvent(kEventKeyUp, kKeyF11);
    }
}

void noteScreen(SoakState& s, const c_MyApp& g) {
    switch (g.m_screen) {
    case kScreenMenu:
        s.screens.insert("menu");
        break;
    case kScreenLevelLoad:
        s.screens.insert("level-start");
        break;
    case kScreenPlay:
        s.screens.insert(g.m_paused != 0 ? "pause" : "play");
        if (g.m_roundOver > 0 && g.m_resultsTimer > 0) s.screens.insert("results");
        break;
    default:
        break;
    }
    if (g.m_optionsOpen == 1) s.screens.insert("options");
}

bool finite(float v) {
    return std::isfinite(v);
}

// The first broken per-tick check, or an empty string.
std::string checkTick(const c_MyApp& g) {
    if (g.m_drawCount < 0 || g.m_drawCount > kDrawFloats) {
        return "draw list count " + std::to_string(g.m_drawCount) + " outside its capacity";
    }
    const float camera[] = {g.m_camX, g.m_camY, g.m_camTargetX, g.m_camTargetY};
    for (float v : camera) {
        if (!finite(v)) return "camera not finite";
    }
    for (size_t i = 0; i < g.m_ball.size(); ++i) {
        if (!finite(g.m_ball[i])) return "ball slot " + std::to_string(i) + " not finite";
    }
    for (int i = 0; i < kSpikeSlotsChecked; ++i) {
        if (!finite(g.m_spikes[i])) return "spike field " + std::to_string(i) + " not finite";
    }
    if (g.m_score < 0) return "score " + std::to_string(g.m_score) + " below zero";
    const float controls[] = {g.m_analogX,   g.m_analogY, g.m_keyRampX,   g.m_keyRampY,
                              g.m_rollSpeed, g.m_menuY,   g.m_menuYTarget};
    for (float v : controls) {
        if (!finite(v)) return "control or menu position not finite";
    }
    return {};
}

// The state file's identity: a save writes a new file and renames it over the old one.
long long stateStamp() {
    struct stat st;
    if (stat(kStateFile, &st) != 0) return -1;
    return static_cast<long long>(st.st_ino) * 1000003LL + st.st_mtim.tv_nsec + st.st_size;
}

// Loads the state file just saved into the game and compares what it restores with the
// values it was saved from; the game's own load reports any checksum that fails.
std::string checkSave(c_MyApp& g, int tick) {
    GameSnapshot before;
    before.take(g, tick);
    const auto settings = g.m_settings;
    const auto badges = g.m_badges;
    const auto records = g.m_records;

    // Capture the load's own log lines, which name a failed checksum.
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    std::FILE* log = std::tmpfile();
    if (saved < 0 || !log) return "cannot capture the load's log";
    dup2(fileno(log), STDOUT_FILENO);
    g.p_Load();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::rewind(log);
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, log)) > 0;) text.append(buffer, n);
    std::fclose(log);

    std::string broken;
    std::istringstream logLines(text);
    std::string failed;
    for (std::string line; std::getline(logLines, line);) {
        if (line.find("Checksum Invalid") != std::string::npos) failed += " [" + line + "]";
    }
    if (!failed.empty()) {
        broken = "the saved state fails its checksums on loading:" + failed;
    } else if (g.m_settings != settings) {
        broken = "the settings loaded back differ from those saved";
    } else if (g.m_badges != badges) {
        broken = "the badges loaded back differ from those saved";
    } else if (g.m_records != records) {
        broken = "the level records loaded back differ from those saved";
    }
    before.restore(g);
    return broken;
}

} // namespace

int runSoak(const PlaytestArgs& args, std::FILE* out) {
    int seconds = -1;
    int seed = -1;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--seconds" && parseInt(args[i + 1], &seconds) && seconds > 0) continue;
        if (args[i] == "--seed" && parseInt(args[i + 1], &seed) && seed >= 0) continue;
        return usageError("soak takes --seconds S (above 0) and --seed N (0 or above)");
    }
    if (args.size() != 4 || seconds <= 0 || seed < 0) {
        return usageError("soak needs --seconds S and --seed N");
    }

    PlaytestSession session;
    KpHeadlessGame& host = session.host();
    c_MyApp& g = session.game();
    g.p_UnlockAllTheLevels(); // every level on the menu can be started
    SoakState s;
    s.random.seed(static_cast<unsigned>(seed));
    s.stamp = stateStamp();
    const int ticks = seconds * kTicksPerSecond;
    soakSeed = seed;
    std::atexit(reportUnexpectedExit); // nothing the soak presses should end the program
    soakRunning = true;
    for (int t = 1; t <= ticks; ++t) {
        soakTick = t;
        randomInput(s, host, g);
        host.SetTime(PlaytestSession::kStartSeconds + static_cast<double>(t) / kTicksPerSecond);
        host.UpdateGame();
        noteScreen(s, g);
        std::string broken = checkTick(g);
        const long long stamp = stateStamp();
        if (broken.empty() && stamp != s.stamp) {
            s.stamp = stamp;
            ++s.saves;
            broken = checkSave(g, t);
        }
        if (!broken.empty()) {
            std::fprintf(out, "soak: broken at tick %d with seed %d: %s\n", t, seed,
                         broken.c_str());
            soakRunning = false;
            return kExitBroken;
        }
    }
    std::string visited;
    for (const std::string& name : s.screens) visited += (visited.empty() ? "" : " ") + name;
    std::fprintf(out, "ticks %d\nscreens %s\nsaves checked %d\n", ticks, visited.c_str(), s.saves);
    soakRunning = false;
    return kExitOk;
}
