// The WAV reader on arbitrary bytes: it may refuse, but what it returns holds exactly the
// frames it reports, never more than the file carried.
#include "fuzz_support.h"
#include "runtime/kp_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFile file = memoryFile(data, size);
    if (!file) return 0;
    int length = 0, channels = 0, format = 0, hertz = 0;
    KpBytes pcm = kpDecodeAudioFile(u"fuzz.wav", file.get(), &length, &channels, &format, &hertz);
    if (!pcm) return 0;
    const size_t bytes = static_cast<size_t>(length) * channels * format;
    expect(length >= 0 && channels > 0 && format > 0 && bytes <= size);
    touch(pcm.get(), bytes);
    return 0;
}
