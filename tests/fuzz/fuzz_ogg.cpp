// The OGG path on arbitrary bytes. Each page's checksum is set right before decoding, so the
// mutations reach the Vorbis decoder instead of stopping at the page layer. What decodes
// holds the frames it reports and stays within the reader's bound on growth.
#include <ogg/ogg.h>

#include <vector>

#include "fuzz_support.h"
#include "runtime/kp_game.h"

namespace {

constexpr size_t kPageHeader = 27;     // bytes before the segment table
constexpr size_t kMaxExpansion = 4096; // the reader's bound: decoded bytes per channel per byte

// Recomputes the checksum of every whole page found at an "OggS" capture pattern.
void repairChecksums(std::vector<unsigned char>& bytes) {
    size_t at = 0;
    while (at + kPageHeader <= bytes.size()) {
        if (bytes[at] != 'O' || bytes[at + 1] != 'g' || bytes[at + 2] != 'g' ||
            bytes[at + 3] != 'S') {
            ++at;
            continue;
        }
        const size_t segments = bytes[at + 26];
        const size_t headerLength = kPageHeader + segments;
        if (at + headerLength > bytes.size()) return;
        size_t bodyLength = 0;
        for (size_t i = 0; i < segments; ++i) bodyLength += bytes[at + kPageHeader + i];
        if (at + headerLength + bodyLength > bytes.size()) return;
        ogg_page page{&bytes[at], static_cast<long>(headerLength), &bytes[at + headerLength],
                      static_cast<long>(bodyLength)};
        ogg_page_checksum_set(&page);
        at += headerLength + bodyLength;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    repairChecksums(bytes);
    MemoryFile file = memoryFile(bytes.data(), bytes.size());
    if (!file) return 0;
    int length = 0, channels = 0, format = 0, hertz = 0;
    KpBytes pcm = kpDecodeAudioFile(u"fuzz.ogg", file.get(), &length, &channels, &format, &hertz);
    if (!pcm) return 0;
    const size_t decoded = static_cast<size_t>(length) * channels * format;
    expect(length >= 0 && channels > 0 && format == 2 && hertz > 0);
    expect(decoded <= size * kMaxExpansion * channels);
    touch(pcm.get(), decoded);
    return 0;
}
