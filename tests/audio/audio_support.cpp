// Audio test helpers: OpenAL Soft configuration, tone files and mixed-output analysis.
#include "audio_support.h"

#include "audio/gxtkAudio.h"
#include "audio/kp_audio.h"

#include <AL/alext.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <thread>

namespace {

constexpr int kOutputRate = 44100;

std::unique_ptr<TempDir>& folder() {
    static std::unique_ptr<TempDir> made;
    return made;
}

void putU16(std::string& out, unsigned v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void putU32(std::string& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

uint32_t getU32(const std::string& in, size_t at) {
    if (at + 4 > in.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(in.data() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

unsigned getU16(const std::string& in, size_t at) {
    return getU32(in, at) & 0xFFFF;
}

} // namespace

TempDir& audioTestFolder(const AudioTestConfig& config) {
    if (folder()) return *folder();
    folder() = std::make_unique<TempDir>();
    std::string text =
        "[general]\ndrivers = " + config.drivers +
        "\nchannels = stereo\nsample-type = int16\nfrequency = " + std::to_string(kOutputRate) +
        "\nhrtf = false\n";
    if (config.sources > 0) text += "sources = " + std::to_string(config.sources) + "\n";
    text += "[wave]\nfile = " + mixedOutputPath() + "\n";
    std::string conf = folder()->file("alsoft.conf");
    writeFile(conf, text);
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", config.drivers.c_str(), 1);
    return *folder();
}

std::string mixedOutputPath() {
    return folder() ? folder()->file("mixed.wav") : "";
}

void writeToneWav(const std::string& path, const Tone& tone) {
    const int frames = int(tone.seconds * tone.rate);
    const int blockAlign = tone.channels * tone.bytesPerSample;
    std::string data;
    for (int i = 0; i < frames; ++i) {
        double v = tone.amplitude * std::sin(2.0 * std::numbers::pi * tone.hertz * i / tone.rate);
        for (int c = 0; c < tone.channels; ++c) {
            if (tone.bytesPerSample == 1) {
                data.push_back(char(128 + int(v * 127)));
            } else {
                putU16(data, unsigned(int16_t(v * 32767)) & 0xFFFF);
            }
        }
    }
    std::string out = "RIFF";
    putU32(out, uint32_t(36 + data.size()));
    out += "WAVEfmt ";
    putU32(out, 16);
    putU16(out, 1); // PCM
    putU16(out, tone.channels);
    putU32(out, tone.rate);
    putU32(out, tone.rate * blockAlign);
    putU16(out, blockAlign);
    putU16(out, tone.bytesPerSample * 8);
    out += "data";
    putU32(out, uint32_t(data.size()));
    out += data;
    writeFile(path, out);
}

MixedOutput MixedOutput::read(const std::string& path) {
    MixedOutput mixed;
    std::string in = readFile(path);
    if (in.size() < 12 || in.compare(0, 4, "RIFF") != 0) return mixed;
    unsigned channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= in.size()) {
        std::string id = in.substr(at, 4);
        uint32_t size = getU32(in, at + 4);
        if (id == "fmt ") {
            channels = getU16(in, at + 10);
            mixed.rate = int(getU32(in, at + 12));
            bits = getU16(in, at + 22);
        } else if (id == "data") {
            // The size may not be final; the samples run to the end of the file.
            if (channels != 2 || bits != 16) return mixed;
            for (size_t p = at + 8; p + 4 <= in.size(); p += 4) {
                mixed.left.push_back(int16_t(getU16(in, p)) / 32768.0f);
                mixed.right.push_back(int16_t(getU16(in, p + 2)) / 32768.0f);
            }
            return mixed;
        }
        at += 8 + size + (size & 1);
    }
    return mixed;
}

double MixedOutput::rms(int channel, double from, double to) const {
    const std::vector<float>& s = channel == 0 ? left : right;
    size_t a = size_t(std::max(0.0, from) * rate);
    size_t b = std::min(s.size(), size_t(std::max(0.0, to) * rate));
    if (b <= a) return 0.0;
    double sum = 0.0;
    for (size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(b - a));
}

std::vector<double> MixedOutput::windowLevels() const {
    std::vector<double> levels;
    for (double t = 0.0; t + kWindow <= seconds(); t += kWindow) {
        levels.push_back(std::max(rms(0, t, t + kWindow), rms(1, t, t + kWindow)));
    }
    return levels;
}

double MixedOutput::soundingSeconds() const {
    int loud = 0;
    for (double level : windowLevels()) loud += level > kSounding;
    return loud * kWindow;
}

double MixedOutput::longestInnerSilence() const {
    std::vector<double> levels = windowLevels();
    int longest = 0, run = 0;
    bool seenLoud = false;
    for (double level : levels) {
        if (level > kSounding) {
            if (seenLoud) longest = std::max(longest, run);
            seenLoud = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return longest * kWindow;
}

bool MixedOutput::quietAtEnd(double seconds) const {
    std::vector<double> levels = windowLevels();
    size_t count = size_t(seconds / kWindow);
    if (levels.size() < count) return false;
    for (size_t i = levels.size() - count; i < levels.size(); ++i) {
        if (levels[i] > kSounding) return false;
    }
    return true;
}

bool waitUntil(const std::function<bool()>& done, double boundSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(boundSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

double mixedSeconds(ALCdevice* device) {
    using ClockQuery = void(ALC_APIENTRY*)(ALCdevice*, ALCenum, ALCsizei, ALCint64SOFT*);
    static const auto query =
        reinterpret_cast<ClockQuery>(alcGetProcAddress(nullptr, "alcGetInteger64vSOFT"));
    if (!query || !device) return -1.0;
    ALCint64SOFT nanoseconds = 0;
    query(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    return double(nanoseconds) * 1e-9;
}

bool tickUntil(gxtkAudio& device, const std::function<bool()>& done) {
    return waitUntil([&] {
        device.Update();
        return done();
    });
}

bool mixWithTicks(gxtkAudio& device, double seconds) {
    const double until = mixedSeconds(device.alcDevice) + seconds;
    return tickUntil(device, [&] { return mixedSeconds(device.alcDevice) >= until; });
}

std::unique_ptr<gxtkAudio> openTestDevice() {
    audioTestFolder();
    auto device = std::make_unique<gxtkAudio>();
    if (device->Live()) kp_audio_SetAudioDevice(device.get());
    return device;
}

std::unique_ptr<c_Sound> loadTone(const std::string& name, const Tone& tone) {
    writeToneWav("data/" + name, tone);
    return kp_audio_LoadSound(kpS(name));
}
