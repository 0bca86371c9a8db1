// Effects benchmark: the time of one tick of the effects as play runs them (p_DoParticles,
// p_DoStars, and p_DoMisc for the ground layer and the other layers) with every pool at its
// creation size: 251 live particles (one in ten a number pop-up), 101 stars, 21 decorations
// with a collectable item, on the snow theme whose stars take random draws each tick. Prints
// the median, the 99th percentile and the allocations per tick over kTicks ticks; the figure
// to hold is a median under 15 microseconds and no allocation.
//
// Usage: effects [ticks]   (no display needed: the game runs on the headless host)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "tools/bench/alloc_count.h"
#include "tools/bench/bench_game.h"

namespace {

constexpr int kTicks = 10000;
constexpr int kWarmUpTicks = 200;
constexpr double kTargetMicros = 15.0;
constexpr int kSnowTheme = 11;
constexpr int kPopUpEvery = 10;
constexpr int kPopUpKind = 99;
// Lives long enough that no particle dies during the run, so the pool stays full.
constexpr float kEndlessLife = 1.0e6f;
constexpr float kScrollX = -3.0f;
constexpr float kStarScroll = 0.5f;
// Record layout of a particle (ten floats): kind, life and the number a pop-up shows.
constexpr int kRecordFloats = 10;
constexpr int kKindSlot = 0;
constexpr int kLifeSlot = 7;
constexpr int kNumberSlot = 9;
constexpr int kBallScreenX = 18;
constexpr float kBallFarAway = -5000.0f;

using Clock = std::chrono::steady_clock;

void fillPools(c_MyApp& app) {
    app.m_theme = kSnowTheme;
    app.m_screen = kScreenPlay;
    app.m_restY = 400;
    app.m_groundY = 420;
    app.m_ball[kBallScreenX] = kBallFarAway; // the ball never reaches the item
    app.p_ResetStars(100);
    app.p_ResetMisc(20);
    app.p_ResetParticles(250);
    for (int i = 0; i <= app.m_particleLast; ++i) {
        const int kind = i % kPopUpEvery == 0 ? kPopUpKind : 1 + i % 6;
        app.p_ThrowParticle(320, 240, kind, 1 + i % 9, kNotGiven, kNotGiven);
    }
    for (int i = 0; i <= app.m_particleLast; ++i) {
        float* p = &app.m_particles[i * kRecordFloats];
        p[kLifeSlot] = kEndlessLife;
        if (p[kKindSlot] == kPopUpKind) p[kNumberSlot] = static_cast<float>(100 + i);
    }
}

void tick(c_MyApp& app) {
    app.p_DoStars(kScrollX * kStarScroll, 0);
    app.p_DoMisc(kScrollX, 0, 0);
    app.p_DoMisc(kScrollX, 0, 1);
    app.p_DoParticles();
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : kTicks;
    BenchGame game(false); // the effects need no creation
    c_MyApp* app = game.app;
    fillPools(*app);

    for (int t = 0; t < kWarmUpTicks; ++t) {
        app->p_CLS2D(kNotGiven, 0, 0, 0);
        tick(*app);
    }
    std::vector<double> micros(static_cast<size_t>(ticks));
    const long allocationsBefore = kpAllocationCount();
    int commands = 0;
    for (int t = 0; t < ticks; ++t) {
        app->p_CLS2D(kNotGiven, 0, 0, 0); // a fresh list, as each update starts one
        const auto start = Clock::now();
        tick(*app);
        micros[static_cast<size_t>(t)] =
            std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        commands = app->m_drawCount / kDrawStride;
    }
    const long allocations = kpAllocationCount() - allocationsBefore;
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    const double p99 = micros[micros.size() * 99 / 100];

    std::printf("effects tick: %d particles, %d stars, %d decorations, %d commands\n",
                app->m_particleLast + 1, app->m_starCount + 1, app->m_miscLast + 1, commands);
    std::printf("median %.2f us, 99th percentile %.2f us over %d ticks (target < %.0f us)\n",
                median, p99, ticks, kTargetMicros);
    std::printf("allocations per tick: %.3f\n", static_cast<double>(allocations) / ticks);
    const bool ok = median < kTargetMicros && allocations == 0;
    std::printf("%s\n", ok ? "OK" : "OVER TARGET");
    return ok ? 0 : 1;
}
