// Decoders fed damaged and hostile files: OGG headers that claim more than they hold, damaged
// codebooks, PNG headers that ask for huge images, and the RIFF pad byte that valid WAV files
// carry after an odd-sized chunk. Each must load as none (or decode), quickly, never crash.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <zlib.h>

#include "runtime/kp_headless_game.h"
#include "support/ogg_writer.h"
#include "support/test_support.h"

namespace {

// CPU seconds the calling thread has used. A hostile file must be turned away without a long
// computation; unlike the wall clock, a busy machine does not inflate this figure.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void put32(std::string& s, unsigned v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put32be(std::string& s, unsigned v) {
    for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

struct Decoded {
    KpBytes data;
    int length = -1, channels = -1, format = -1, hertz = -1;
};

class HostileFiles : public ::testing::Test {
  protected:
    Decoded sound(const std::string& name, const std::string& bytes) {
        writeFile("data/" + name, bytes);
        Decoded d;
        d.data = host.LoadAudioData(kpS("zembra://data/" + name), &d.length, &d.channels, &d.format,
                                    &d.hertz);
        return d;
    }
    TempDir dir;
    KpHeadlessGame host;
};

// A comment packet: the vorbis signature, then the given fields as they stand in the file.
std::string commentPacket(const std::string& fields) {
    return std::string("\x03vorbis", 7) + fields;
}

} // namespace

TEST_F(HostileFiles, WavSkipsThePadByteAfterAnOddSizedChunk) {
    std::string s = "RIFF";
    put32(s, 0);
    s += "WAVEfmt ";
    put32(s, 17); // an odd fmt chunk: one spare byte, then the pad byte
    const unsigned char fmt[] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 7};
    s.append(reinterpret_cast<const char*>(fmt), sizeof fmt);
    s.push_back('\0');
    s += "LIST";
    put32(s, 5);
    s += "INFOa";
    s.push_back('\0');
    s += "data";
    put32(s, 8);
    s += std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    Decoded d = sound("odd.wav", s);
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.length, 4);
    EXPECT_EQ(d.hertz, 22050);
    EXPECT_EQ(std::memcmp(d.data.get(), "\x01\x02\x03\x04\x05\x06\x07\x08", 8), 0);
}

TEST_F(HostileFiles, OggCommentHeadersThatClaimTooMuchYieldNoneQuickly) {
    std::string hugeCount, hugeVendor, hugeComment;
    put32(hugeCount, 0);
    put32(hugeCount, 0x7FFFFFFF); // two thousand million comments in a few bytes
    hugeCount += '\x01';
    put32(hugeVendor, 0xFFFFFFF0);
    hugeVendor += "x\x01";
    put32(hugeComment, 0);
    put32(hugeComment, 0x40000000);
    put32(hugeComment, 0xFFFFFFF0);
    hugeComment += "x\x01";
    std::string noComments;
    put32(noComments, 0);
    put32(noComments, 0); // valid: no vendor, no comments, framing bit
    noComments += '\x01';

    const double start = threadCpuSeconds();
    for (const std::string& fields : {hugeCount, hugeVendor, hugeComment}) {
        std::string file = encodeOgg(1, 22050, 4000, [&](int index, std::string& packet) {
            if (index == 1) packet = commentPacket(fields);
        });
        EXPECT_FALSE(sound("hostile.ogg", file).data);
    }
    EXPECT_LT(threadCpuSeconds() - start, 2.0);

    std::string plain = encodeOgg(1, 22050, 4000, [&](int index, std::string& packet) {
        if (index == 1) packet = commentPacket(noComments);
    });
    Decoded d = sound("plain.ogg", plain);
    ASSERT_TRUE(d.data) << "a stream without comments is valid";
    EXPECT_EQ(d.length, 4000);
}

TEST_F(HostileFiles, OggWithDamagedHeadersNeverCrashesOrGrowsWithoutBound) {
    // The identification header's fields: channels at byte 11, rate at 12..15.
    std::string noChannels = encodeOgg(1, 22050, 2000, [](int index, std::string& packet) {
        if (index == 0) packet[11] = 0;
    });
    EXPECT_FALSE(sound("nochannels.ogg", noChannels).data);
    std::string noRate = encodeOgg(1, 22050, 2000, [](int index, std::string& packet) {
        if (index == 0) std::memset(&packet[12], 0, 4);
    });
    EXPECT_FALSE(sound("norate.ogg", noRate).data);

    // Random damage to the comments and codebooks, the pages' checksums kept valid.
    std::mt19937 random(2112);
    int decoded = 0;
    for (int trial = 0; trial < 80; ++trial) {
        std::string file = encodeOgg(2, 22050, 3000, [&](int index, std::string& packet) {
            if (index == 0 || packet.size() < 8) return;
            for (int k = 0; k < 3; ++k) {
                size_t at = 7 + random() % (packet.size() - 7);
                packet[at] = static_cast<char>(random());
            }
        });
        Decoded d = sound("damaged.ogg", file);
        if (!d.data) continue;
        ++decoded;
        EXPECT_EQ(d.channels, 2);
        // At most half of Vorbis's largest block per two bytes of file, per channel.
        EXPECT_LE(static_cast<size_t>(d.length) * 2, file.size() * 4096);
    }
    EXPECT_LT(decoded, 80) << "damaged codebooks should not all decode";
}

TEST_F(HostileFiles, LongSilenceStillDecodesThoughItPacksThousandsToOne) {
    // Two and a half minutes of stereo silence at the lowest quality: a valid file that decodes to
    // thousands of times its size, which the reader's bound on growth must still allow.
    const int frames = 44100 * 150;
    std::string file = encodeOgg(2, 44100, frames, {}, 0.0f, -0.1f);
    ASSERT_FALSE(file.empty());
    ASSERT_GT(static_cast<double>(frames) * 4 / static_cast<double>(file.size()), 2048.0);
    Decoded d = sound("silence.ogg", file);
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.length, frames);
    EXPECT_EQ(d.channels, 2);
}

TEST_F(HostileFiles, PngThatAsksForMoreThanItsSizeCanHoldYieldsNone) {
    // A 20000 x 20000 RGBA header with one tiny compressed row: stb_image's own limits would
    // try 1.6 GB; the loader bounds every block by the file's size.
    auto chunk = [](const std::string& type, const std::string& body) {
        std::string c;
        put32be(c, static_cast<unsigned>(body.size()));
        std::string typed = type + body;
        c += typed;
        put32be(c, static_cast<unsigned>(
                       crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
        return c;
    };
    auto png = [&](unsigned side) {
        std::string header;
        put32be(header, side);
        put32be(header, side);
        header += std::string("\x08\x06\x00\x00\x00", 5);
        const unsigned char row[] = {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01};
        return std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) +
               chunk("IDAT", std::string(reinterpret_cast<const char*>(row), sizeof row)) +
               chunk("IEND", "");
    };
    writeFile("data/huge.png", png(20000));
    int w = 0, h = 0, depth = 0;
    const double start = threadCpuSeconds();
    EXPECT_FALSE(host.LoadImageData(u"zembra://data/huge.png", &w, &h, &depth));
    EXPECT_LT(threadCpuSeconds() - start, 1.0);
}
