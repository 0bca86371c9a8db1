// Sound and image decoding through the host: WAV files of every supported shape and the
// malformed ones that must yield none, OGG Vorbis from the tests' encoder, PNG pixels.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "runtime/kp_headless_game.h"
#include "support/ogg_writer.h"
#include "support/test_support.h"

namespace {

void put16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

struct WavShape {
    unsigned channels = 1;
    unsigned bits = 16;
    unsigned rate = 22050;
    unsigned fmtSize = 16;
    unsigned formatCode = 1;
    std::string extraChunk; // a whole chunk placed between fmt and data
    std::string beforeFmt;  // a whole chunk placed between WAVE and fmt
};

std::string wav(const WavShape& shape, const std::string& samples, long declaredSize = -1) {
    std::string s = "RIFF";
    put32(s, 0);
    s += "WAVE";
    s += shape.beforeFmt;
    s += "fmt ";
    put32(s, shape.fmtSize);
    put16(s, shape.formatCode);
    put16(s, shape.channels);
    put32(s, shape.rate);
    put32(s, shape.rate * shape.channels * shape.bits / 8);
    put16(s, shape.channels * shape.bits / 8);
    put16(s, shape.bits);
    if (shape.fmtSize > 16) s += std::string(shape.fmtSize - 16, '\0');
    s += shape.extraChunk;
    s += "data";
    put32(s, declaredSize < 0 ? static_cast<unsigned>(samples.size())
                              : static_cast<unsigned>(declaredSize));
    s += samples;
    return s;
}

struct Decoded {
    KpBytes data;
    int length = -1, channels = -1, format = -1, hertz = -1;
};

Decoded load(KpGame& host, const String& name) {
    Decoded d;
    d.data = host.LoadAudioData(name, &d.length, &d.channels, &d.format, &d.hertz);
    return d;
}

class Decoding : public ::testing::Test {
  protected:
    TempDir dir;
    KpHeadlessGame host;
};

} // namespace

TEST_F(Decoding, WavOfEveryWidthAndChannelCount) {
    WavShape mono8;
    mono8.bits = 8;
    writeFile("data/m8.wav", wav(mono8, std::string(300, '\x80')));
    Decoded d = load(host, u"zembra://data/m8.wav");
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.length, 300);
    EXPECT_EQ(d.channels, 1);
    EXPECT_EQ(d.format, 1);
    EXPECT_EQ(d.hertz, 22050);

    WavShape stereo16;
    stereo16.channels = 2;
    stereo16.rate = 44100;
    std::string samples;
    for (int i = 0; i < 4000; ++i) samples.push_back(static_cast<char>(i));
    writeFile("data/s16.WAV", wav(stereo16, samples));
    d = load(host, u"zembra://data/s16.WAV");
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.length, 1000);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.format, 2);
    EXPECT_EQ(std::memcmp(d.data.get(), samples.data(), samples.size()), 0);
}

TEST_F(Decoding, WavSkipsListChunksAndLongFmtChunks) {
    WavShape shape;
    shape.fmtSize = 18;
    std::string list = "LIST";
    put32(list, 6);
    list += "INFOab";
    shape.extraChunk = list;
    writeFile("data/list.wav", wav(shape, std::string(200, '\0')));
    Decoded d = load(host, u"zembra://data/list.wav");
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.length, 100);
}

TEST_F(Decoding, MalformedWavFilesYieldNone) {
    WavShape before;
    std::string junk = "junk";
    put32(junk, 2);
    junk += "xx";
    before.beforeFmt = junk;
    writeFile("data/before.wav", wav(before, std::string(100, '\0')));

    WavShape zeroChannels;
    zeroChannels.channels = 0;
    writeFile("data/zero.wav", wav(zeroChannels, std::string(100, '\0')));

    WavShape fourBits;
    fourBits.bits = 4;
    writeFile("data/four.wav", wav(fourBits, std::string(100, '\0')));

    WavShape compressed;
    compressed.formatCode = 2;
    writeFile("data/adpcm.wav", wav(compressed, std::string(100, '\0')));

    std::string huge = wav(WavShape(), std::string(100, '\0'));
    writeFile("data/hugefmt.wav", huge.substr(0, 16) + "\xF0\xFF\xFF\x7F" + huge.substr(20));

    writeFile("data/oversize.wav", wav(WavShape(), std::string(100, '\0'), 0x7FFFFFFF));
    std::string whole = wav(WavShape(), std::string(100, '\0'));
    writeFile("data/truncated.wav", whole.substr(0, 30));
    writeFile("data/nodata.wav", whole.substr(0, 44 - 8));
    writeFile("data/empty.wav", "");
    writeFile("data/tone.mp3", whole);

    for (const char16_t* name :
         {u"before.wav", u"zero.wav", u"four.wav", u"adpcm.wav", u"hugefmt.wav", u"oversize.wav",
          u"truncated.wav", u"nodata.wav", u"empty.wav", u"tone.mp3", u"missing.wav"}) {
        Decoded d = load(host, u"zembra://data/" + String(name));
        EXPECT_FALSE(d.data) << kpToUtf8(name);
    }
}

TEST_F(Decoding, OggVorbisDecodesToSixteenBitFramesAnyCaseExtension) {
    writeFile("data/tone.OGG", encodeOgg(2, 22050, 22050));
    Decoded d = load(host, u"zembra://data/tone.OGG");
    ASSERT_TRUE(d.data);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.format, 2);
    EXPECT_EQ(d.hertz, 22050);
    EXPECT_NEAR(d.length, 22050, 64);
    const auto* samples = reinterpret_cast<const short*>(d.data.get());
    int peak = 0;
    for (int i = 0; i < d.length * 2; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    EXPECT_GT(peak, 12000); // the half-scale tone survived the round trip
    EXPECT_LT(peak, 20000);

    writeFile("data/bad.ogg", "OggS but not really a stream");
    EXPECT_FALSE(load(host, u"zembra://data/bad.ogg").data);
}

TEST_F(Decoding, PngKeepsItsComponentCountUnflipped) {
    const unsigned char rgba[2 * 2 * 4] = {255, 0, 0,   255, 0, 255, 0, 128,
                                           0,   0, 255, 255, 9, 9,   9, 0};
    ASSERT_TRUE(stbi_write_png("data_img.png", 2, 2, 4, rgba, 8));
    std::filesystem::create_directory("data");
    std::filesystem::rename("data_img.png", "data/img.png");
    int w = 0, h = 0, depth = 0;
    KpBytes pixels = host.LoadImageData(u"zembra://data/img.png", &w, &h, &depth);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(depth, 4);
    EXPECT_EQ(std::memcmp(pixels.get(), rgba, sizeof rgba), 0);

    const unsigned char grey[3] = {10, 20, 30};
    ASSERT_TRUE(stbi_write_png("data/grey.png", 3, 1, 1, grey, 3));
    pixels = host.LoadImageData(u"zembra://data/grey.png", &w, &h, &depth);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(depth, 1);

    writeFile("data/fake.png", "not an image");
    EXPECT_FALSE(host.LoadImageData(u"zembra://data/fake.png", &w, &h, &depth));
}

namespace {

// A PNG of any colour type, depth and interlace, written with libpng; rows are packed as the
// format stores them (16-bit samples big-endian).
struct PngLayout {
    int width, height, bitDepth, colourType;
    bool interlaced = false;
    std::vector<unsigned char> rows;
    std::vector<png_color> palette = {};
    std::vector<unsigned char> paletteAlpha = {};
    png_color_16 transparentGrey = {};
    bool greyTransparency = false;
};

void writeLibpng(const std::string& path, const PngLayout& layout) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) {
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    }
    if (!layout.paletteAlpha.empty()) {
        png_set_tRNS(png, info, layout.paletteAlpha.data(),
                     static_cast<int>(layout.paletteAlpha.size()), nullptr);
    }
    if (layout.greyTransparency) png_set_tRNS(png, info, nullptr, 0, &layout.transparentGrey);
    png_write_info(png, info);
    const size_t stride = layout.rows.size() / layout.height;
    std::vector<png_bytep> rows;
    for (int y = 0; y < layout.height; ++y) {
        rows.push_back(const_cast<png_bytep>(layout.rows.data()) + y * stride);
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

} // namespace

TEST_F(Decoding, PngOfEveryKindArrivesAsEightBitChannelsUnchanged) {
    std::filesystem::create_directory("data");
    struct Case {
        const char* name;
        PngLayout layout;
        int depth;
        std::vector<unsigned char> pixels;
    };
    std::vector<unsigned char> interlaced;
    for (int i = 0; i < 8 * 8 * 4; ++i) interlaced.push_back(static_cast<unsigned char>(i * 7));
    const Case cases[] = {
        {"palette with transparency",
         {2, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {1, 0}, {{255, 0, 0}, {0, 255, 0}}, {255, 0}},
         4,
         {0, 255, 0, 0, 255, 0, 0, 255}},
        {"opaque palette of 4 bits",
         {2, 1, 4, PNG_COLOR_TYPE_PALETTE, false, {0x10}, {{9, 8, 7}, {1, 2, 3}}},
         3,
         {1, 2, 3, 9, 8, 7}},
        {"16-bit colour keeps the high bytes",
         {1, 1, 16, PNG_COLOR_TYPE_RGB, false, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}},
         3,
         {0x12, 0xAB, 0xFF}},
        {"2-bit grey spreads over 0..255",
         {4, 1, 2, PNG_COLOR_TYPE_GRAY, false, {0x1B}},
         1,
         {0, 85, 170, 255}},
        {"grey with a transparent level",
         {2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {5, 6}, {}, {}, {0, 0, 0, 0, 6}, true},
         2,
         {5, 255, 6, 0}},
        {"interlaced colour and alpha",
         {8, 8, 8, PNG_COLOR_TYPE_RGBA, true, interlaced},
         4,
         interlaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeLibpng("data/kind.png", c.layout);
        int w = 0, h = 0, depth = 0;
        KpBytes pixels = host.LoadImageData(u"zembra://data/kind.png", &w, &h, &depth);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(w, c.layout.width);
        EXPECT_EQ(h, c.layout.height);
        ASSERT_EQ(depth, c.depth);
        EXPECT_EQ(std::vector<unsigned char>(pixels.get(), pixels.get() + c.pixels.size()),
                  c.pixels);
    }
}
