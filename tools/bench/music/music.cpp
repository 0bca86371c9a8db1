// Music benchmark: the main thread's time in p_PlayTune for the title tune and a few round
// tunes, on the headless host with OpenAL Soft's null backend; the main thread's longest
// Update() while the track decodes (the one that uploads and starts it); and the wall time
// until the track sounds. Run it from a folder holding a data/ made by assetgen.
//
// Usage: music_bench [repeats]   (default 5; prints the median per tune)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "audio/gxtkAudio.h"
#include "tools/bench/bench_game.h"

namespace {

constexpr int kDefaultRepeats = 5;
constexpr double kGiveUpSeconds = 5.0; // a track not sounding by then counts as failed
constexpr auto kPoll = std::chrono::milliseconds(1);
constexpr const char* kTunes[] = {"title_full", "world001", "world008", "world015"};

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Pumps the device as the game's ticks do until the music channel's source plays; the
// longest Update() (the one that uploads and starts the track) goes to updateMs.
bool waitUntilSounding(gxtkAudio& audio, double& updateMs) {
    const Clock::time_point start = Clock::now();
    updateMs = 0.0;
    while (millisSince(start) < kGiveUpSeconds * 1000.0) {
        const Clock::time_point tick = Clock::now();
        audio.Update();
        updateMs = std::max(updateMs, millisSince(tick));
        ALint state = AL_STOPPED;
        alGetSourcei(audio.channels[kMusicChannel].source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) return true;
        if (audio.MusicState() == kChannelStopped) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRepeats;
    BenchGame game; // the tunes are played, silently
    c_MyApp* app = game.app;
    app->m_settings[5] = 1; // music and effects
    gxtkAudio& audio = *kp_audio_device;

    std::printf("tune        play_ms  update_ms  sounding_ms\n");
    for (const char* tune : kTunes) {
        std::vector<double> mainMs, updateMs, soundingMs;
        for (int r = 0; r < repeats; ++r) {
            const Clock::time_point start = Clock::now();
            app->p_PlayTune(kpS(tune), 1);
            mainMs.push_back(millisSince(start));
            double longestUpdate = 0.0;
            if (!waitUntilSounding(audio, longestUpdate)) {
                std::printf("%-10s  did not sound (is there a data/ folder here?)\n", tune);
                return 1;
            }
            soundingMs.push_back(millisSince(start));
            updateMs.push_back(longestUpdate);
            app->p_StopTune();
        }
        std::printf("%-10s  %7.1f  %9.1f  %11.1f\n", tune, median(mainMs), median(updateMs),
                    median(soundingMs));
    }
    return 0;
}
