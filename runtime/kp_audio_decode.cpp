// Sound decoding for the hosts: a bounded RIFF/WAV PCM reader and an OGG Vorbis reader over
// stb_vorbis. The WAV reader never reads or allocates past the file's size and rejects
// frames of size zero, so malformed files yield none instead of crashing.
#include <algorithm>
#include <cstring>
#include <string>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_vorbis.h>
#pragma GCC diagnostic pop

#include "runtime/kp_game.h"

namespace {

constexpr int kOggBlock = 4096;      // samples per channel decoded at a time
constexpr int kPcmFormat = 1;        // WAVE_FORMAT_PCM
constexpr unsigned kFmtMinimum = 16; // the PCM fields we read

struct WavReader {
    FILE* file;
    long size; // total bytes in the file

    long remaining() const { return size - std::ftell(file); }
    bool read(void* out, size_t n) { return std::fread(out, 1, n, file) == n; }
    bool tag(char out[4]) {
        std::memset(out, 0, 4);
        return read(out, 4);
    }
    bool u16(unsigned& out) {
        unsigned char b[2];
        if (!read(b, 2)) return false;
        out = b[0] | (b[1] << 8);
        return true;
    }
    bool u32(unsigned& out) {
        unsigned char b[4];
        if (!read(b, 4)) return false;
        out = b[0] | (b[1] << 8) | (b[2] << 16) | (unsigned(b[3]) << 24);
        return true;
    }
    bool skip(unsigned long n) {
        if (n > static_cast<unsigned long>(remaining())) return false;
        return std::fseek(file, static_cast<long>(n), SEEK_CUR) == 0;
    }
};

KpBytes readWav(FILE* file, int* length, int* channels, int* format, int* hertz) {
    if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    WavReader in{file, std::ftell(file)};
    std::rewind(file);

    char tag[4];
    unsigned riffSize = 0;
    if (!in.tag(tag) || std::memcmp(tag, "RIFF", 4) != 0 || !in.u32(riffSize)) return nullptr;
    if (!in.tag(tag) || std::memcmp(tag, "WAVE", 4) != 0) return nullptr;
    if (!in.tag(tag) || std::memcmp(tag, "fmt ", 4) != 0) return nullptr;

    unsigned fmtSize = 0, code = 0, chans = 0, rate = 0, byteRate = 0, align = 0, bits = 0;
    if (!in.u32(fmtSize) || fmtSize < kFmtMinimum) return nullptr;
    if (!in.u16(code) || code != kPcmFormat) return nullptr;
    if (!in.u16(chans) || !in.u32(rate) || !in.u32(byteRate) || !in.u16(align) || !in.u16(bits))
        return nullptr;
    int bytesPerSample = static_cast<int>(bits / 8);
    // A frame of size zero would divide by zero below: such a file is not playable.
    if (chans == 0 || bytesPerSample == 0) return nullptr;
    if (!in.skip(fmtSize - kFmtMinimum)) return nullptr;

    for (;;) {
        bool gotTag = in.tag(tag);
        if (!gotTag || in.remaining() <= 0) return nullptr;
        unsigned chunkSize = 0;
        if (!in.u32(chunkSize)) return nullptr;
        if (std::memcmp(tag, "data", 4) != 0) {
            if (!in.skip(chunkSize)) return nullptr;
            continue;
        }
        // Never allocate more than the file can still hold.
        if (chunkSize > static_cast<unsigned long>(in.remaining())) return nullptr;
        KpBytes data(static_cast<unsigned char*>(std::malloc(chunkSize ? chunkSize : 1)));
        if (!data || !in.read(data.get(), chunkSize)) return nullptr;
        *length = static_cast<int>(chunkSize / (chans * bytesPerSample));
        *channels = static_cast<int>(chans);
        *format = bytesPerSample;
        *hertz = static_cast<int>(rate);
        return data;
    }
}

KpBytes readOgg(FILE* file, int* length, int* channels, int* format, int* hertz) {
    int error = 0;
    stb_vorbis* decoder = stb_vorbis_open_file(file, 0, &error, nullptr);
    if (!decoder) return nullptr;
    stb_vorbis_info info = stb_vorbis_get_info(decoder);
    const int c = info.channels;
    if (c <= 0) {
        stb_vorbis_close(decoder);
        return nullptr;
    }
    size_t capacity = static_cast<size_t>(c) * kOggBlock;
    size_t total = 0;
    auto* samples = static_cast<short*>(std::malloc(capacity * sizeof(short)));
    while (samples) {
        int space = static_cast<int>(capacity - total);
        int frames = stb_vorbis_get_frame_short_interleaved(decoder, c, samples + total, space);
        if (frames == 0) break;
        total += static_cast<size_t>(frames) * c;
        if (capacity - total < static_cast<size_t>(c) * kOggBlock) {
            capacity *= 2;
            auto* grown = static_cast<short*>(std::realloc(samples, capacity * sizeof(short)));
            if (!grown) std::free(samples);
            samples = grown;
        }
    }
    stb_vorbis_close(decoder);
    if (!samples) return nullptr;
    // Shrink the block to what was decoded.
    if (total > 0) {
        if (auto* fitted = static_cast<short*>(std::realloc(samples, total * sizeof(short))))
            samples = fitted;
    }
    KpBytes data(reinterpret_cast<unsigned char*>(samples));
    *length = static_cast<int>(total / c);
    *channels = c;
    *format = 2;
    *hertz = static_cast<int>(info.sample_rate);
    return data;
}

bool endsWith(const std::string& text, const char* suffix) {
    size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

} // namespace

KpBytes kpDecodeAudioFile(const String& path, FILE* file, int* length, int* channels, int* format,
                          int* hertz) {
    std::string lower = kpToUtf8(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (endsWith(lower, ".wav")) return readWav(file, length, channels, format, hertz);
    if (endsWith(lower, ".ogg")) return readOgg(file, length, channels, format, hertz);
    return nullptr;
}
