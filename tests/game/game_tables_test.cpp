// Every row of the game's design tables, as the player meets them: the advance of each letter
// that has its own spacing, each theme's ball and background, each step of the start-up
// loader in its order, and each iCade cabinet letter pair.
#include <cstdio>
#include <string>
#include <vector>

#include "audio_support.h"
#include "game/bt3_numbers.h"
#include "game_fixture.h"
#include "png_writer.h"

namespace {

constexpr int kAdvance = 7;

class Tables : public GameTest {
  protected:
    void Tick() { host->UpdateGame(); }
    void Type(char16_t c) { host->KeyEvent(kEventKeyChar, c); }
};

// How far a letter moves the glyph after it: one advance plus the letter's own adjustment.
float advanceOf(c_MyApp* app, char16_t letter) {
    app->m_drawCount = 0;
    String text(1, letter);
    text += u'A';
    app->p_Text(0, 0, text, 0, 1, 0);
    return app->m_drawList[15 + 1] - app->m_drawList[1];
}

} // namespace

TEST_F(Tables, EachLetterAdvancesByItsOwnSpacing) {
    app->p_ResetDraw();
    app->m_font = kImgFont;
    app->m_fontMetrics[kImgFont * 3] = kAdvance;
    app->m_fontMetrics[kImgFont * 3 + 1] = 10;
    struct Spacing {
        std::u16string letters;
        int adj;
    };
    const Spacing rows[] = {{u"wm", 2}, {u"WM", 1},       {u"if", -3},
                            {u"l", -3}, {u"jskrztn", -1}, {u"aAbBcexyZ09.!", 0}};
    for (const Spacing& row : rows) {
        for (char16_t letter : row.letters) {
            EXPECT_FLOAT_EQ(advanceOf(app, letter), kAdvance + row.adj)
                << "letter " << static_cast<char>(letter);
        }
    }
}

TEST_F(Tables, EachThemeSetsItsBallAndBackground) {
    struct Rule {
        int theme, trail, halfW, halfH, style, r, g, b, keys;
        float tilt;
        int allowBack; // -1: keeps what the theme before left
    };
    const Rule rules[] = {
        {1, 1, 16, 16, 0, 0, 0, 0, 0, 0, 0},        {2, 1, 12, 12, 0, 0, 20, 180, 0, 1.0f, 1},
        {3, 0, 8, 16, 0, 70, 130, 190, 1, 0, 1},    {4, 1, 16, 16, 2, 40, 0, 0, 1, 0, 0},
        {5, 1, 14, 14, 5, 130, 160, 255, 1, 0, 0},  {6, 0, 16, 16, 2, 0, 0, 60, 0, 1.5f, 0},
        {7, 1, 16, 16, 0, 0, 60, 0, 1, 0, 0},       {8, 0, 12, 8, 3, 0, 0, 60, 1, 0, 0},
        {9, 0, 22, 22, 2, 0, 0, 0, 0, 0, 0},        {10, 0, 15, 15, 2, 0, 0, 80, 1, 0.3f, 1},
        {11, 0, 16, 16, 0, 200, 200, 200, 0, 0, 0}, {12, 1, 12, 10, 4, 0, 0, 120, 0, 0, 0},
        {13, 1, 12, 12, 0, 0, 0, 0, 0, 0, 0},       {14, 0, 14, 14, 0, 220, 220, 220, 0, 0, -1},
        {15, 0, 10, 18, 6, 126, 126, 25, 0, 0, -1},
    };
    for (const Rule& rule : rules) {
        SCOPED_TRACE(rule.theme);
        for (int before : {0, 1}) {
            app->m_allowBack = before;
            app->m_bgTargetR = app->m_bgTargetG = app->m_bgTargetB = -1;
            app->p_GfxRules(rule.theme);
            EXPECT_EQ(app->m_trail, rule.trail);
            EXPECT_EQ(app->m_ballHalfW, rule.halfW);
            EXPECT_EQ(app->m_ballHalfH, rule.halfH);
            EXPECT_EQ(app->m_ballStyle, rule.style);
            EXPECT_EQ(app->m_themeKeys, rule.keys);
            EXPECT_FLOAT_EQ(app->m_tilt, rule.tilt);
            EXPECT_EQ(app->m_allowBack, rule.allowBack < 0 ? before : rule.allowBack);
            EXPECT_FLOAT_EQ(app->m_bgTargetR, static_cast<float>(rule.r));
            EXPECT_FLOAT_EQ(app->m_bgTargetG, static_cast<float>(rule.g));
            EXPECT_FLOAT_EQ(app->m_bgTargetB, static_cast<float>(rule.b));
        }
    }
    app->m_variant = 0;
    app->p_GfxRules(16);
    EXPECT_EQ(app->m_ballStyle, 6);
    EXPECT_EQ(app->m_themeKeys, 1);
    EXPECT_FLOAT_EQ(app->m_bgTargetG, 160);
}

TEST_F(Tables, StartUpLoaderLoadsOneAssetPerStepInItsOrder) {
    struct Step {
        int step;
        bool sound;
        int slot;
        std::string file; // image name, without level suffix and ".png"
        int w, h, frames;
    };
    std::vector<Step> steps = {
        {1, false, 97, "common/icons", 32, 32, 16},
        {2, false, 95, "common/Buttons", 64, 64, 16},
        {3, false, 94, "common/dpad", 32, 32, 16},
        {4, false, 93, "common/UlvoLogo", 256, 256, 1},
        {5, false, 91, "common/Testcard_Circle", 256, 256, 1},
        {6, false, 90, "fonts/shadow_editundo", 16, 16, 128},
        {7, true, 1, "", 0, 0, 0},
        {8, true, 95, "", 0, 0, 0},
        {9, true, 98, "", 0, 0, 0},
        {10, true, 99, "", 0, 0, 0},
        {11, false, 99, "bobs", 32, 32, 64},
        {12, false, 98, "logo", 256, 128, 1},
        {12, false, 78, "logo_heart", 256, 128, 1},
        {13, false, 96, "parts", 8, 8, 256},
        {14, false, 80, "BadgesA", 64, 64, 64},
        {15, false, 85, "common/circle", 256, 256, 4},
        {16, false, 1, "blocks_world", 36, 36, 196},
        {17, false, 2, "strips_world", 512, 36, 14},
        {18, false, 9, "menu", 64, 64, 64},
        {19, true, 10, "", 0, 0, 0},
        {20, true, 11, "", 0, 0, 0},
        {21, true, 2, "", 0, 0, 0},
        {22, true, 3, "", 0, 0, 0},
        {23, true, 4, "", 0, 0, 0},
        {24, true, 5, "", 0, 0, 0},
        {25, true, 6, "", 0, 0, 0},
        {26, false, 86, "common/light", 32, 32, 4},
        {27, true, 12, "", 0, 0, 0},
        {28, true, 13, "", 0, 0, 0},
        {29, false, 11, "record", 128, 128, 4},
        {30, true, 7, "", 0, 0, 0},
    };
    // A window below 640 by 480 loads the plain files: level 1.
    host->SetDeviceSize(620, 460);
    Start();
    kp_app_ValidateDeviceWindow(true);
    const std::string theme = [&] {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", app->m_loadedTheme);
        return std::string(digits);
    }();
    Tone blip;
    blip.seconds = 0.01;
    for (const Step& s : steps) {
        if (s.sound) {
            char name[32];
            std::snprintf(name, sizeof name, "data/sfx/%03d.wav", s.slot);
            writeToneWav(name, blip);
            continue;
        }
        const int columns = s.frames < 16 ? s.frames : 16;
        const int rows = (s.frames + columns - 1) / columns;
        const bool world = s.file.ends_with("_world");
        writeSolidPng("data/" + s.file + (world ? theme : "") + ".png", s.w * columns, s.h * rows,
                      90, 90, 90, 255);
    }
    for (auto& image : app->m_images) image.reset();
    for (auto& sound : app->m_sfx) sound.reset();

    ASSERT_EQ(app->m_loadStep, 1);
    for (int step = 1; step <= 30; ++step) {
        SCOPED_TRACE(step);
        Tick();
        for (const Step& s : steps) {
            const bool due = s.step <= step;
            if (s.sound) {
                EXPECT_EQ(app->m_sfx[s.slot] != nullptr, due) << "sound " << s.slot;
                continue;
            }
            EXPECT_EQ(app->m_images[s.slot] != nullptr, due) << s.file;
            if (!due || !app->m_images[s.slot]) continue;
            if (s.slot == kImgFont) continue; // a font keeps its advance and line height
            EXPECT_EQ(app->m_fontMetrics[s.slot * 3], s.w) << s.file;
            EXPECT_EQ(app->m_fontMetrics[s.slot * 3 + 1], s.h) << s.file;
            EXPECT_EQ(app->m_fontMetrics[s.slot * 3 + 2], s.frames) << s.file;
        }
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_EQ(app->m_fontMetrics[kImgFont * 3], kAdvance);
    Tick();
    EXPECT_EQ(app->m_loadStep, 0) << "the loader ends after its thirtieth step";
}

TEST_F(Tables, EachICadeLetterPairHoldsAndReleasesItsButton) {
    Start();
    app->m_loadStep = 0;
    kp_BT3_iCadeControls = 1;
    struct Pair {
        char16_t press, release;
        int button;
    };
    const Pair pairs[] = {{u'W', u'E', 0},  {u'X', u'Z', 8},  {u'A', u'Q', 3},  {u'D', u'C', 5},
                          {u'H', u'R', 10}, {u'J', u'N', 11}, {u'K', u'P', 12}, {u'Y', u'T', 13},
                          {u'U', u'F', 14}, {u'I', u'M', 15}, {u'O', u'G', 16}, {u'L', u'V', 17}};
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(static_cast<char>(pair.press));
        for (int lower : {0, 32}) {
            Type(static_cast<char16_t>(pair.press + lower));
            Tick();
            for (int b = 0; b < 19; ++b) EXPECT_EQ(app->m_buttons[b], b == pair.button ? 2 : 0);
            Type(static_cast<char16_t>(pair.release + lower));
            Tick();
            EXPECT_EQ(app->m_buttons[pair.button], 0);
        }
    }
}
