// Shared by the audio tests: an OpenAL Soft configuration written into a temporary folder
// (ALSOFT_CONF, read once per process before the first device opens), a writer of sine-tone
// WAV files, a reader of the wave backend's mixed output with per-window loudness, and waits
// on conditions and on the mixer's own clock. The wave backend mixes on its own thread, which
// a busy machine can hold back for a while: tests wait for what the mixer has done, never for
// a stretch of wall time.
#pragma once

#include <AL/alc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"

class gxtkAudio;
class c_Sound;

// How the process's OpenAL Soft is set up; only the first call in a process takes effect.
struct AudioTestConfig {
    std::string drivers = "wave"; // the one backend allowed
    int sources = 0;              // 0 keeps the library's default limit
};

// Makes the temporary folder (also the working directory) and points OpenAL Soft at a
// configuration there; returns the folder. The wave backend writes to mixedOutputPath().
TempDir& audioTestFolder(const AudioTestConfig& config = {});
std::string mixedOutputPath();

// Writes a sine tone of the given length as a PCM WAV file.
struct Tone {
    double seconds = 0.3;
    int rate = 22050;
    int channels = 1;
    int bytesPerSample = 2;
    double amplitude = 0.5; // of full scale
    double hertz = 440.0;
};
void writeToneWav(const std::string& path, const Tone& tone);

// Makes the test folder, opens the audio device on its wave backend and, when it opened
// (callers check Live()), makes it the audio module's device.
std::unique_ptr<gxtkAudio> openTestDevice();
// Writes the tone to data/NAME and loads it through the audio module; none if that fails.
std::unique_ptr<c_Sound> loadTone(const std::string& name, const Tone& tone);

// The wave backend's output, per channel, as samples in [-1, 1].
struct MixedOutput {
    int rate = 0;
    std::vector<float> left;
    std::vector<float> right;

    static MixedOutput read(const std::string& path);
    double seconds() const { return rate > 0 ? double(left.size()) / rate : 0.0; }
    // Root-mean-square level of one channel (0 left, 1 right) between two times in seconds.
    double rms(int channel, double from, double to) const;
    // Loudest of both channels per window of kWindow seconds.
    std::vector<double> windowLevels() const;
    // Total length of the windows louder than kSounding.
    double soundingSeconds() const;
    // The longest run of quiet windows lying between two loud ones, in seconds.
    double longestInnerSilence() const;
    // Whether every window in the last `seconds` of the output is quiet.
    bool quietAtEnd(double seconds) const;

    static constexpr double kWindow = 0.01;
    static constexpr double kSounding = 0.02;
};

// How long a wait may last before the test gives up on its condition. Only a broken build
// waits that long: the bound ends a hang, it does not measure anything.
constexpr double kWaitBound = 30.0;

// Checks done() about every millisecond until it holds; false if it still does not after
// boundSeconds.
bool waitUntil(const std::function<bool()>& done, double boundSeconds = kWaitBound);

// Seconds of output the device has mixed since it opened (its clock); -1 if the library
// cannot tell. The clock moves in the mixer's blocks of about 23 ms.
double mixedSeconds(ALCdevice* device);

// Runs the device's per-tick Update(), as the game's ticks do, until the mixer has made
// `seconds` more output; false if it never does.
bool mixWithTicks(gxtkAudio& device, double seconds);
// Runs the device's Update() until done() holds; false if it never does.
bool tickUntil(gxtkAudio& device, const std::function<bool()>& done);
