// Our own tunes decode through the loader to the same samples as an independent decoder
// reads from the same files: the title jingle and one world loop, written by the generator.
// The reference decoder here reads only these valid files, never hostile ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

#include "runtime/kp_headless_game.h"
#include "support/test_support.h"
#include "tools/assetgen/audio.h"
#include "tools/assetgen/writers.h"

namespace {

constexpr float kQuality = 0.3f;   // the generator's own setting
constexpr int kMaxSampleError = 4; // rounding of the float output, in 16-bit steps

void expectSameSamples(const assetgen::TuneDef& tune) {
    SCOPED_TRACE(tune.name);
    TempDir dir;
    ASSERT_TRUE(assetgen::writeOgg("data/tune.ogg", tune.make(), kQuality));
    KpHeadlessGame host;
    int length = 0, channels = 0, format = 0, hertz = 0;
    KpBytes ours =
        host.LoadAudioData(u"zembra://data/tune.ogg", &length, &channels, &format, &hertz);
    ASSERT_TRUE(ours);

    std::string file = readFile("data/tune.ogg");
    int refChannels = 0, refRate = 0;
    short* reference = nullptr;
    int refFrames =
        stb_vorbis_decode_memory(reinterpret_cast<const unsigned char*>(file.data()),
                                 static_cast<int>(file.size()), &refChannels, &refRate, &reference);
    ASSERT_GT(refFrames, 0);
    EXPECT_EQ(channels, refChannels);
    EXPECT_EQ(hertz, refRate);
    EXPECT_EQ(format, 2);
    EXPECT_EQ(length, refFrames);

    const auto* samples = reinterpret_cast<const short*>(ours.get());
    const int count = std::min(length, refFrames) * channels;
    int worst = 0, loud = 0;
    for (int i = 0; i < count; ++i) {
        worst = std::max(worst, std::abs(samples[i] - reference[i]));
        loud = std::max(loud, std::abs(int(samples[i])));
    }
    std::free(reference);
    EXPECT_LE(worst, kMaxSampleError);
    EXPECT_GT(loud, 3000) << "the tune is audible";
}

} // namespace

TEST(OggEquivalence, GeneratedTunesDecodeToTheReferenceSamples) {
    const auto tunes = assetgen::allTunes();
    expectSameSamples(tunes.back()); // the title jingle
    expectSameSamples(tunes[1]);     // the first world loop
}
