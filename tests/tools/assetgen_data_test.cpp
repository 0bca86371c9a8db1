// The generated data folder, checked through the game's own loaders: every image the game
// asks for decodes at all three resolution levels and cuts into the frame grid the game asks
// for (as the graphics module cuts row-major frames), the frames the game draws are painted,
// every effect and tune decodes to audible sound, world tunes loop without a click, the
// measurements of the folder stay inside the limits play needs (ball and spikes readable on
// every sky, no ball-like scenery, sounds centred, levelled and in stereo), and the generator
// repeats itself byte for byte. One generation run is shared by all checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/kp_headless_game.h"
#include "support/test_support.h"
#include "tools/assetgen/audio.h"
#include "tools/assetgen/compose.h"
#include "tools/assetgen/generator.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/report.h"
#include "tools/assetgen/writers.h"

namespace {

struct Level {
    const char* suffix;
    int factor;
};
const Level kLevels[] = {{"", 1}, {"-hd", 2}, {"-hd2", 4}};

// What the game loads: name, frame size at level 1, frame count.
struct Wanted {
    std::string name;
    int w, h, frames;
};

std::vector<Wanted> wantedImages() {
    std::vector<Wanted> list = {
        {"common/icons", 32, 32, 16},
        {"common/Buttons", 64, 64, 16},
        {"common/dpad", 32, 32, 16},
        {"common/UlvoLogo", 256, 256, 1},
        {"common/Testcard_Circle", 256, 256, 1},
        {"fonts/shadow_editundo", 16, 16, 128},
        {"bobs", 32, 32, 64},
        {"logo", 256, 128, 1},
        {"logo_heart", 256, 128, 1},
        {"parts", 8, 8, 256},
        {"BadgesA", 64, 64, 64},
        {"common/circle", 256, 256, 4},
        {"menu", 64, 64, 64},
        {"common/light", 32, 32, 4},
        {"record", 128, 128, 4},
    };
    for (int theme = 1; theme <= 16; ++theme) {
        char n[8];
        std::snprintf(n, sizeof n, "%03d", theme);
        list.push_back({std::string("blocks_world") + n, 36, 36, 196});
        list.push_back({std::string("strips_world") + n, 512, 36, 14});
    }
    for (const char* v : {"016b", "016c"}) {
        list.push_back({std::string("blocks_world") + v, 36, 36, 196});
        list.push_back({std::string("strips_world") + v, 512, 36, 14});
    }
    return list;
}

struct Image {
    KpBytes pixels;
    int width = 0, height = 0, depth = 0;
    unsigned char alpha(int x, int y) const {
        return pixels[(static_cast<size_t>(y) * width + x) * 4 + 3];
    }
};

struct Audio {
    KpBytes data;
    int length = 0, channels = 0, format = 0, hertz = 0;
    short at(int frame, int channel) const {
        return reinterpret_cast<const short*>(
            data.get())[static_cast<size_t>(frame) * channels + channel];
    }
};

struct Origin {
    int x, y;
};

// The frame origins the graphics module's grid cutting gives, or none if a frame falls
// outside the surface.
bool cutGrid(int surfaceW, int surfaceH, int fw, int fh, int frames, std::vector<Origin>& out) {
    int x = 0, y = 0;
    for (int i = 0; i < frames; ++i) {
        if (x + fw > surfaceW) {
            y += fh;
            if (fw > surfaceW) return false;
            x = 0;
        }
        if (y + fh > surfaceH) return false;
        out.push_back({x, y});
        x += fw;
    }
    return true;
}

// Painted area of a frame in pixels: the sum of its alpha.
double coverage(const Image& img, Origin o, int fw, int fh) {
    double n = 0;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) n += img.alpha(o.x + x, o.y + y) / 255.0;
    return n;
}

class GeneratedData : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        host_ = new KpHeadlessGame();
        report_ = assetgen::generateData(dir_->path() + "/data",
                                         [](const char* stage, int files, double seconds) {
                                             stages_.push_back({stage, files, seconds});
                                         });
        measured_ = new assetgen::DataReport(assetgen::reportData(dir_->path() + "/data"));
    }
    static void TearDownTestSuite() {
        delete measured_;
        delete host_;
        delete dir_;
    }

    static Image image(const std::string& name) {
        Image img;
        img.pixels = host_->LoadImageData(kpS("zembra://data/" + name + ".png"), &img.width,
                                          &img.height, &img.depth);
        return img;
    }
    static Audio audio(const std::string& file) {
        Audio a;
        a.data = host_->LoadAudioData(kpS("zembra://data/sfx/" + file), &a.length, &a.channels,
                                      &a.format, &a.hertz);
        return a;
    }

    static TempDir* dir_;
    static KpHeadlessGame* host_;
    static assetgen::GenerateReport report_;
    static assetgen::DataReport* measured_;
    struct Stage {
        std::string name;
        int files;
        double seconds;
    };
    static std::vector<Stage> stages_;
};

TempDir* GeneratedData::dir_ = nullptr;
KpHeadlessGame* GeneratedData::host_ = nullptr;
assetgen::GenerateReport GeneratedData::report_;
assetgen::DataReport* GeneratedData::measured_ = nullptr;
std::vector<GeneratedData::Stage> GeneratedData::stages_;

TEST_F(GeneratedData, EveryFileIsWritten) {
    EXPECT_TRUE(report_.ok);
    EXPECT_TRUE(report_.failures.empty()) << report_.failures.front();
}

// The build prints one progress line per stage: every stage is told once, in order, and
// together they account for every file written.
TEST_F(GeneratedData, EachStageIsReportedOnceWithItsFiles) {
    ASSERT_EQ(stages_.size(), 4u);
    EXPECT_EQ(stages_[0].name, "tunes");
    EXPECT_EQ(stages_[1].name, "images");
    EXPECT_EQ(stages_[2].name, "sound effects");
    EXPECT_EQ(stages_[3].name, "window icons");
    int files = 0;
    for (const Stage& stage : stages_) {
        EXPECT_GT(stage.files, 0) << stage.name;
        EXPECT_GE(stage.seconds, 0.0) << stage.name;
        files += stage.files;
    }
    EXPECT_EQ(files, report_.files);
}

TEST_F(GeneratedData, EveryImageCutsIntoTheGameGridAtEveryLevel) {
    for (const Wanted& want : wantedImages()) {
        for (const Level& level : kLevels) {
            SCOPED_TRACE(want.name + level.suffix);
            Image img = image(want.name + level.suffix);
            ASSERT_TRUE(img.pixels) << "missing or undecodable";
            EXPECT_EQ(img.depth, 4);
            int fw = want.w * level.factor, fh = want.h * level.factor;
            std::vector<Origin> origins;
            ASSERT_TRUE(cutGrid(img.width, img.height, fw, fh, want.frames, origins))
                << "frame outside surface";
            // No spare pixels: whole columns of frames, and no empty rows below the last frame.
            EXPECT_EQ(img.width % fw, 0);
            int columns = img.width / fw;
            EXPECT_EQ(img.height, ((want.frames + columns - 1) / columns) * fh);
        }
    }
}

TEST_F(GeneratedData, DefaultFontIsAPaddedStripOf96Glyphs) {
    Image img = image("vexa_font");
    ASSERT_TRUE(img.pixels);
    ASSERT_EQ(img.width % 96, 0);
    int w = img.width / 96;
    for (int g = 0; g < 96; ++g) {
        // The padding columns at both sides of every glyph stay clear.
        for (int y = 0; y < img.height; ++y) {
            EXPECT_EQ(img.alpha(g * w, y), 0) << "glyph " << g;
            EXPECT_EQ(img.alpha(g * w + w - 1, y), 0) << "glyph " << g;
        }
        if (g > 0 && g < 95) {
            EXPECT_GT(coverage(img, {g * w, 0}, w, img.height), 2.0) << "glyph " << g;
        }
    }
}

TEST_F(GeneratedData, DrawnFramesArePaintedAtEveryLevelAlike) {
    // Frames the game draws, per image; each must hold art, the same art at each level.
    std::vector<std::pair<Wanted, std::vector<int>>> drawn;
    std::vector<int> worldFrames;
    for (int f = 0; f < 32; ++f) worldFrames.push_back(f);
    for (int f : {42, 43, 44, 45, 56, 60, 69, 70, 71, 72, 73, 84, 85}) worldFrames.push_back(f);
    for (int f : {assetgen::kPillarBlockFrame, assetgen::kWallBlockFrame, assetgen::kButtonFrame,
                  assetgen::kLavaFrame})
        worldFrames.push_back(f);
    for (const Wanted& w : wantedImages()) {
        if (w.name.rfind("blocks_world", 0) == 0) drawn.push_back({w, worldFrames});
        if (w.name.rfind("strips_world", 0) == 0) drawn.push_back({w, {0, 1, 2, 3}});
    }
    std::vector<int> menuFrames = {16, 17, 18, 21};
    for (int f = 0; f < 16; ++f) menuFrames.push_back(f);
    for (int f = 24; f < 40; ++f) menuFrames.push_back(f);
    std::vector<int> glyphs = {96, 99, 102, 108, 112, 115, 124};
    for (int c = 33; c < 127; ++c) glyphs.push_back(c - 32);
    drawn.push_back({{"menu", 64, 64, 64}, menuFrames});
    drawn.push_back({{"BadgesA", 64, 64, 64}, {0,  1,  2,  3,  4,  5,  6,  8,  9,  10, 11,
                                               12, 16, 17, 18, 19, 20, 24, 25, 26, 27, 28}});
    drawn.push_back({{"common/Buttons", 64, 64, 16}, {1, 2, 3, 5, 8, 9, 10}});
    drawn.push_back({{"common/icons", 32, 32, 16}, {0, 1, 3, 6}});
    drawn.push_back({{"bobs", 32, 32, 64}, {0, 1, 2, 3, 4, 5, 16, 17, 30, 31}});
    drawn.push_back({{"record", 128, 128, 4}, {0, 1, 2, 3}});
    drawn.push_back({{"fonts/shadow_editundo", 16, 16, 128}, glyphs});
    drawn.push_back({{"logo", 256, 128, 1}, {0}});
    drawn.push_back({{"logo_heart", 256, 128, 1}, {0}});
    for (const auto& [want, frames] : drawn) {
        Image base = image(want.name);
        Image hd2 = image(want.name + "-hd2");
        ASSERT_TRUE(base.pixels && hd2.pixels) << want.name;
        std::vector<Origin> o1, o4;
        ASSERT_TRUE(cutGrid(base.width, base.height, want.w, want.h, want.frames, o1));
        ASSERT_TRUE(cutGrid(hd2.width, hd2.height, want.w * 4, want.h * 4, want.frames, o4));
        for (int f : frames) {
            SCOPED_TRACE(want.name + " frame " + std::to_string(f));
            double n1 = coverage(base, o1[static_cast<size_t>(f)], want.w, want.h);
            double n4 = coverage(hd2, o4[static_cast<size_t>(f)], want.w * 4, want.h * 4);
            EXPECT_GT(n1, 2.0) << "empty frame";
            // The 4x frame covers about 16 times the area of the 1x one.
            EXPECT_NEAR(n4 / 16.0, n1, std::max(3.0, n1 * 0.2));
        }
    }
}

TEST_F(GeneratedData, GroundRowsAreSolidAndTileSideBySide) {
    for (const Wanted& want : wantedImages()) {
        if (want.name.rfind("strips_world", 0) != 0) continue;
        SCOPED_TRACE(want.name);
        Image img = image(want.name);
        ASSERT_TRUE(img.pixels);
        for (int row : {2, 3}) {
            int y0 = row * want.h;
            double seam = 0, inner = 0;
            for (int y = 0; y < want.h; ++y) {
                for (int x = 0; x < want.w; ++x)
                    ASSERT_EQ(img.alpha(x, y0 + y), 255) << "hole at " << x << "," << y;
                const unsigned char* p =
                    img.pixels.get() + (static_cast<size_t>(y0 + y) * img.width) * 4;
                for (int c = 0; c < 3; ++c) {
                    seam += std::abs(p[c] - p[(want.w - 1) * 4 + c]); // right edge to left edge
                    for (int x = 0; x + 1 < want.w; ++x)
                        inner += std::abs(p[x * 4 + c] - p[(x + 1) * 4 + c]);
                }
            }
            // Where two copies meet, neighbours differ about as much as neighbours inside do.
            EXPECT_LT(seam, inner / (want.w - 1) * 3 + want.h * 6) << "row " << row;
        }
    }
}

TEST_F(GeneratedData, DeepRowsTileDownwardsAndSpritesStayInTheirCells) {
    for (const Wanted& want : wantedImages()) {
        if (want.name.rfind("strips_world", 0) == 0) {
            SCOPED_TRACE(want.name);
            Image img = image(want.name);
            ASSERT_TRUE(img.pixels);
            // Frame 3 stacked on itself: its last row meets its first.
            int y0 = 3 * want.h;
            auto px = [&](int x, int y, int c) {
                return static_cast<int>(
                    img.pixels[(static_cast<size_t>(y) * img.width + x) * 4 + c]);
            };
            // The step from its last row to its first is no bigger than steps inside it.
            auto step = [&](int ya, int yb) {
                double d = 0;
                for (int x = 0; x < want.w; ++x)
                    for (int c = 0; c < 3; ++c) d += std::abs(px(x, ya, c) - px(x, yb, c));
                return d;
            };
            double inner = 0;
            for (int y = y0; y + 1 < y0 + want.h; ++y) inner = std::max(inner, step(y, y + 1));
            EXPECT_LT(step(y0 + want.h - 1, y0), inner * 1.2 + want.w * 6);
        }
        if (want.name.rfind("blocks_world", 0) != 0) continue;
        SCOPED_TRACE(want.name);
        Image img = image(want.name);
        ASSERT_TRUE(img.pixels);
        std::vector<Origin> o;
        ASSERT_TRUE(cutGrid(img.width, img.height, want.w, want.h, want.frames, o));
        // Balls and spike heads keep clear of their cell's edge: nothing of them is cut off.
        for (int f = 0; f < 28; ++f) {
            int edge = 0;
            for (int i = 0; i < want.w; ++i) {
                edge = std::max({edge, static_cast<int>(img.alpha(o[f].x + i, o[f].y)),
                                 static_cast<int>(img.alpha(o[f].x + i, o[f].y + want.h - 1)),
                                 static_cast<int>(img.alpha(o[f].x, o[f].y + i)),
                                 static_cast<int>(img.alpha(o[f].x + want.w - 1, o[f].y + i))});
            }
            EXPECT_LT(edge, 64) << "frame " << f << " touches its cell's edge";
        }
    }
}

std::vector<std::string> effectFiles() {
    std::vector<std::string> list;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 95, 98, 99}) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.wav", n);
        list.push_back(name);
    }
    for (int theme : {3, 4, 5, 7, 8, 10, 16}) {
        char name[16];
        std::snprintf(name, sizeof name, "003_%03d.wav", theme);
        list.push_back(name);
    }
    return list;
}

int peak(const Audio& a) {
    int m = 0;
    for (int i = 0; i < a.length; ++i)
        for (int c = 0; c < a.channels; ++c)
            m = std::max(m, std::abs(static_cast<int>(a.at(i, c))));
    return m;
}

TEST_F(GeneratedData, EveryEffectIsShortAudible16BitSound) {
    for (const std::string& file : effectFiles()) {
        SCOPED_TRACE(file);
        Audio a = audio(file);
        ASSERT_TRUE(a.data) << "missing or undecodable";
        EXPECT_EQ(a.format, 2);
        EXPECT_EQ(a.hertz, assetgen::kSfxRate);
        EXPECT_LT(a.length, a.hertz * 2);
        // Not near silence: above -18 dBFS at its peak. (Bounces are levelled to sit a few dB
        // under the music, so their peaks are the lowest; assetgen_mix checks every level.)
        EXPECT_GT(peak(a), 4000);
        // It ends faded out, not cut off mid-note: the last 10 ms are near silence.
        EXPECT_LT(std::abs(a.at(a.length - 1, 0)), 600);
        int tail = 0;
        for (int i = a.length - a.hertz / 100; i < a.length; ++i)
            tail = std::max(tail, std::abs(static_cast<int>(a.at(i, 0))));
        EXPECT_LT(tail, peak(a) / 50);
    }
}

TEST_F(GeneratedData, WorldTunesLoopWithoutAClick) {
    for (int theme = 1; theme <= 16; ++theme) {
        char name[32];
        std::snprintf(name, sizeof name, "world%03d.ogg", theme);
        SCOPED_TRACE(name);
        Audio a = audio(name);
        ASSERT_TRUE(a.data);
        double seconds = static_cast<double>(a.length) / a.hertz;
        EXPECT_GE(seconds, 30.0);
        EXPECT_LE(seconds, 60.0);
        EXPECT_GT(peak(a), 10000);
        for (int c = 0; c < a.channels; ++c) {
            // The jump from the last sample back to the first is no bigger than the signal's
            // own steps around that point.
            int wrap = std::abs(a.at(a.length - 1, c) - a.at(0, c));
            int local = 0;
            for (int i = 1; i < 64; ++i) {
                local = std::max(local, std::abs(a.at(i, c) - a.at(i - 1, c)));
                local =
                    std::max(local, std::abs(a.at(a.length - i, c) - a.at(a.length - i - 1, c)));
            }
            EXPECT_LE(wrap, local * 2 + 200) << "channel " << c;
        }
    }
}

TEST_F(GeneratedData, TitleTunesHaveTheirLengthsAndEndInSilence) {
    struct Tune {
        const char* file;
        double minSeconds, maxSeconds;
    };
    for (Tune t : {Tune{"title_full.ogg", 30, 120}, Tune{"title_snip.ogg", 2, 10}}) {
        SCOPED_TRACE(t.file);
        Audio a = audio(t.file);
        ASSERT_TRUE(a.data);
        double seconds = static_cast<double>(a.length) / a.hertz;
        EXPECT_GE(seconds, t.minSeconds);
        EXPECT_LE(seconds, t.maxSeconds);
        EXPECT_GT(peak(a), 10000);
        int tail = 0;
        for (int i = a.length - a.hertz / 20; i < a.length; ++i)
            tail = std::max(tail, std::abs(static_cast<int>(a.at(i, 0))));
        EXPECT_LT(tail, 1500) << "the tune should ring out, not stop mid-note";
    }
}

TEST_F(GeneratedData, BallAndSpikesReadOnEverySky) {
    ASSERT_TRUE(measured_->missing.empty()) << measured_->missing.front();
    ASSERT_EQ(measured_->themes.size(), 18u);
    for (const assetgen::ThemeStats& t : measured_->themes) {
        SCOPED_TRACE("theme " + t.suffix);
        EXPECT_GE(t.ball, 3.0) << "ball contrast against the sky";
        EXPECT_GE(t.spikes, 3.0) << "spike contrast against the sky";
        EXPECT_GE(t.hueGap, 30.0) << "spikes too close in colour to the ball";
        EXPECT_GE(t.danger, 0.08) << "spike without the red danger rim";
        EXPECT_LT(t.decoy, 0.3) << "scenery frame " << t.decoyFrame << " looks like the ball";
    }
}

TEST_F(GeneratedData, SoundsAreCentredLevelledAndTunesInStereo) {
    // Families of effects that play in the same place and role sit at one loudness.
    const std::vector<std::vector<std::string>> families = {
        {"001.wav", "098.wav", "099.wav"},
        {"003.wav", "003_003.wav", "003_004.wav", "003_005.wav", "003_007.wav", "003_008.wav",
         "003_010.wav", "003_016.wav"},
        {"002.wav", "004.wav", "005.wav", "012.wav"},
        {"006.wav", "013.wav"},
        {"007.wav", "010.wav", "011.wav", "095.wav"}};
    std::vector<double> tunes;
    int effects = 0;
    for (const assetgen::SoundStats& s : measured_->sounds) {
        SCOPED_TRACE(s.name);
        EXPECT_LT(std::fabs(s.dc), 0.005) << "DC offset";
        if (s.tune) {
            tunes.push_back(s.lufs);
            EXPECT_GE(s.width, 0.02) << "a mono tune";
            EXPECT_LT(s.low, 0.75) << "power piled up below 250 Hz";
        } else {
            ++effects;
        }
    }
    EXPECT_EQ(effects, 21);
    ASSERT_EQ(tunes.size(), 18u);
    double mean = 0;
    for (double l : tunes) mean += l / static_cast<double>(tunes.size());
    for (double l : tunes) EXPECT_NEAR(l, mean, 1.0);
    for (const auto& family : families) {
        double lo = 100, hi = -100;
        for (const std::string& name : family) {
            auto it = std::find_if(measured_->sounds.begin(), measured_->sounds.end(),
                                   [&](const assetgen::SoundStats& s) { return s.name == name; });
            ASSERT_NE(it, measured_->sounds.end()) << name;
            lo = std::min(lo, it->lufs);
            hi = std::max(hi, it->lufs);
        }
        EXPECT_LT(hi - lo, 1.5) << family.front() << " family spread";
    }
}

TEST(AssetGenerator, RepeatsItselfByteForByte) {
    TempDir dir;
    std::vector<assetgen::ImageDef> images = assetgen::allImages();
    auto find = [&](const std::string& name) {
        return *std::find_if(images.begin(), images.end(),
                             [&](const auto& s) { return s.name == name; });
    };
    for (int pass = 0; pass < 2; ++pass) {
        std::string p = dir.file(std::to_string(pass));
        ASSERT_TRUE(assetgen::writePng(p + "/blocks.png",
                                       assetgen::renderImage(find("blocks_world015"), 2)));
        ASSERT_TRUE(assetgen::writePng(p + "/logo.png", assetgen::renderImage(find("logo"), 1)));
        ASSERT_TRUE(assetgen::writeWav(p + "/crash.wav", assetgen::allEffects()[4].make()));
        ASSERT_TRUE(
            assetgen::writeOgg(p + "/jingle.ogg", assetgen::allTunes().back().make(), 0.3f));
    }
    for (const char* f : {"blocks.png", "logo.png", "crash.wav", "jingle.ogg"}) {
        std::string a = readFile(dir.file(std::string("0/") + f)),
                    b = readFile(dir.file(std::string("1/") + f));
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_EQ(a, b) << f;
    }
}

TEST(AssetGenerator, ReportsAFolderItCannotWrite) {
    TempDir dir;
    writeFile(dir.file("blocked"), "a file where a folder should go");
    EXPECT_FALSE(
        assetgen::writeWav(dir.file("blocked/sfx/001.wav"), assetgen::allEffects()[0].make()));
    EXPECT_FALSE(assetgen::writePng(dir.file("blocked/x.png"), assetgen::Canvas(4, 4)));
}

} // namespace
