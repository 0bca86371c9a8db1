// Sound decoding for the hosts: a bounded RIFF/WAV PCM reader and an OGG Vorbis reader over
// the reference decoder (vorbisfile). The WAV reader never reads or allocates past the file's
// size and rejects frames of size zero; the OGG reader stops past the most a valid stream of the
// file's size can hold; so malformed files yield none in bounded time and memory, never crash.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "runtime/kp_game.h"

namespace {

constexpr int kOggBlockBytes = 16384; // decoded bytes asked of vorbisfile at a time
// Decoded bytes per channel that one byte of an OGG file can hold at most: every audio packet
// takes at least one byte and one lacing byte of its page and yields at most half of Vorbis's
// largest block (8192) of 16-bit frames. No valid stream decodes to more; a hostile one stops.
constexpr size_t kVorbisMaxBlock = 8192;
constexpr size_t kOggPacketMinBytes = 2;
constexpr size_t kOggBytesPerByte = kVorbisMaxBlock / 2 * sizeof(short) / kOggPacketMinBytes;
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

// RIFF keeps every chunk at an even offset: an odd-sized chunk is followed by one pad byte.
unsigned long padded(unsigned size) {
    return static_cast<unsigned long>(size) + (size & 1u);
}

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
    if (!in.skip(padded(fmtSize) - kFmtMinimum)) return nullptr;

    for (;;) {
        bool gotTag = in.tag(tag);
        if (!gotTag || in.remaining() <= 0) return nullptr;
        unsigned chunkSize = 0;
        if (!in.u32(chunkSize)) return nullptr;
        if (std::memcmp(tag, "data", 4) != 0) {
            if (!in.skip(padded(chunkSize))) return nullptr;
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

// vorbisfile reads through these, so the FILE* the host opened stays the host's to close.
size_t oggRead(void* out, size_t size, size_t count, void* file) {
    return std::fread(out, size, count, static_cast<FILE*>(file));
}
int oggSeek(void* file, ogg_int64_t offset, int whence) {
    if (offset < LONG_MIN || offset > LONG_MAX) return -1;
    return std::fseek(static_cast<FILE*>(file), static_cast<long>(offset), whence);
}
long oggTell(void* file) {
    return std::ftell(static_cast<FILE*>(file));
}

// Decodes every link of the stream to interleaved 16-bit samples; none when the stream breaks,
// changes its channel count or rate, or decodes to more than any valid stream of its size.
KpBytes readOgg(FILE* file, int* length, int* channels, int* format, int* hertz) {
    if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    const long fileSize = std::ftell(file);
    std::rewind(file);
    if (fileSize <= 0) return nullptr;

    const ov_callbacks callbacks{oggRead, oggSeek, nullptr, oggTell};
    OggVorbis_File vf;
    if (ov_open_callbacks(file, &vf, nullptr, 0, callbacks) != 0) return nullptr;
    const vorbis_info* info = ov_info(&vf, -1);
    const int c = info ? info->channels : 0;
    const long rate = info ? info->rate : 0;
    std::vector<char> pcm;
    bool ok = c > 0 && rate > 0 && rate <= INT_MAX; // the host reports the rate as an int
    const size_t limit = static_cast<size_t>(fileSize) * kOggBytesPerByte * (c > 0 ? c : 0);
    char block[kOggBlockBytes];
    while (ok) {
        int link = 0;
        long got = ov_read(&vf, block, sizeof block, 0, 2, 1, &link);
        if (got == 0) break;          // end of the stream
        if (got == OV_HOLE) continue; // a gap in the pages: the decoder resynchronises
        const vorbis_info* now = ov_info(&vf, link);
        ok = got > 0 && now && now->channels == c && now->rate == rate &&
             pcm.size() + static_cast<size_t>(got) <= limit;
        if (ok) pcm.insert(pcm.end(), block, block + got);
    }
    ov_clear(&vf);
    const size_t frameBytes = static_cast<size_t>(c) * 2;
    if (!ok) return nullptr;
    const size_t frames = pcm.size() / frameBytes;
    KpBytes data(static_cast<unsigned char*>(std::malloc(frames * frameBytes + 1)));
    if (!data) return nullptr;
    if (frames > 0) std::memcpy(data.get(), pcm.data(), frames * frameBytes);
    *length = static_cast<int>(frames);
    *channels = c;
    *format = 2;
    *hertz = static_cast<int>(rate);
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
