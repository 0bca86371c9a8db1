// Play-tick benchmark: the time of one p_Game_Ball + p_InGame on the heaviest themes (8, 12
// and 15), with the trail on, 100 spikes and every particle record busy, on the headless host
// with a clock that advances 1/60 s per tick. The ball is held forward; a round that ends is
// set up again outside the timing. Prints the median and the 99th percentile per theme.
//
// Usage: tick [ticks per theme]   (default 20000; no display or data folder needed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/bt3_ball.h"
#include "game/c_MyApp.h"
#include "tools/bench/bench_game.h"

namespace {

constexpr int kDefaultTicks = 20000;
constexpr double kTickSeconds = 1.0 / 60.0;

struct Heavy {
    int theme;
    int level; // a level of that theme's group
};
constexpr Heavy kThemes[] = {{8, 71}, {12, 111}, {15, 142}};

using Clock = std::chrono::steady_clock;

// A round of the level, already past its start sequence, with the ball held forward.
void startRound(c_MyApp& app, const Heavy& heavy) {
    app.m_level = heavy.level;
    app.m_theme = heavy.theme;
    app.p_LoadGame_Ball();
    app.m_playFrames = bt3ball::kStartDone;
    app.m_trail = 1;
    app.m_pointerLatch = 0;
    app.m_backLatch = 0;
    app.m_pointerDown = 1;
}

// Every particle record busy, as after a burst.
void fillParticles(c_MyApp& app) {
    for (int guard = 0; guard < 600 && app.p_FreeParticle() >= 0; ++guard) {
        app.p_ThrowParticle(app.m_ball[bt3ball::kX], 200, 1, 3, kNotGiven, kNotGiven);
    }
}

double percentile(std::vector<double>& v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : kDefaultTicks;
    BenchGame game; // the sounds are played, silently
    c_MyApp* app = game.app;

    std::printf("theme  median_us  p99_us  rounds\n");
    for (const Heavy& heavy : kThemes) {
        startRound(*app, heavy);
        std::vector<double> micros;
        micros.reserve(ticks);
        int rounds = 1;
        for (int t = 0; t < ticks; ++t) {
            game.host->Advance(kTickSeconds);
            if (app->m_roundOver != 0) {
                startRound(*app, heavy);
                ++rounds;
            }
            fillParticles(*app);
            // Let go now and then so the ball also bounces in place and chains break.
            app->m_pointerDown = (t / 90) % 4 == 3 ? 0 : 1;
            const auto start = Clock::now();
            app->p_Game_Ball();
            app->p_InGame();
            micros.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        const double median = percentile(micros, 0.5);
        const double p99 = percentile(micros, 0.99);
        std::printf("%5d  %9.2f  %6.2f  %6d\n", heavy.theme, median, p99, rounds);
    }
    return 0;
}
