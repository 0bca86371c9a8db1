// Asset loading and loading screens: the resolution level from the window size, images and
// the font by slot, the 30-step start-up loader with its spinner (one asset per frame so the
// spinner keeps turning), the per-theme loader, the reload after a size change, the start
// screen and the intro logo overlay. The loaders name the images of their next steps to the
// host's prefetcher, which decodes them on its worker threads while the spinner turns, so a
// step's own frame only uploads its image.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "graphics/kp_graphics.h"
#include "runtime/kp_data.h"
#include "runtime/kp_error.h"

namespace {

constexpr int kCentreHandle = 1; // image flag: the handle at the frame's centre
constexpr int kFontGlyphs = 128;
constexpr int kFontCell = 16;
constexpr const char* kFontFile = "fonts/shadow_editundo";
constexpr int kFontAdvance = 7;
constexpr int kFontLineHeight = 10;
constexpr int kHdAbove = 630;   // a side above this loads the "-hd" images
constexpr int kHd2Above = 1230; // a side above this loads the "-hd2" images
constexpr float kSpinStep = 16.0f;
constexpr int kSpinnerDots = 11;
constexpr float kSpinnerDotRadius = 8.0f;
constexpr int kStudioLogoSlot = 93;
constexpr int kTestcardSlot = 91;
// Start-up loader steps whose images are decoded ahead: enough that the workers start on the
// largest images (steps 14, 15 and 18, about 75 ms each at the largest level) well before
// their turn, so it stays ahead of the loader however the work falls.
constexpr int kPrefetchSteps = 8;

// One start-up loader entry: an image, the font, a sound effect, or one of the entries that
// depend on the theme.
enum class Load { Image, Font, Sound, ThemeSound, WorldBlocks, WorldStrips };

struct LoadRow {
    int step;
    Load kind;
    int slot; // image slot or effect number
    const char* name;
    int w, h, frames;
};

constexpr LoadRow kStartupLoad[] = {
    {1, Load::Image, kImgIcons, "common/icons", 32, 32, 16},
    {2, Load::Image, kImgButtons, "common/Buttons", 64, 64, 16},
    {3, Load::Image, kImgDpad, "common/dpad", 32, 32, 16},
    {4, Load::Image, kStudioLogoSlot, "common/UlvoLogo", 256, 256, 1},
    {5, Load::Image, kTestcardSlot, "common/Testcard_Circle", 256, 256, 1},
    {6, Load::Font, kImgFont, kFontFile, kFontAdvance, kFontLineHeight, kFontGlyphs},
    {7, Load::Sound, kSfxBlip, nullptr, 0, 0, 0},
    {8, Load::Sound, kSfxBadge, nullptr, 0, 0, 0},
    {9, Load::Sound, kSfxConfirm, nullptr, 0, 0, 0},
    {10, Load::Sound, kSfxMove, nullptr, 0, 0, 0},
    {11, Load::Image, kImgBobs, "bobs", 32, 32, 64},
    {12, Load::Image, kImgLogo, "logo", 256, 128, 1},
    {12, Load::Image, kImgLogoHeart, "logo_heart", 256, 128, 1},
    {13, Load::Image, kImgParts, "parts", 8, 8, 256},
    {14, Load::Image, kImgBadges, "BadgesA", 64, 64, 64},
    {15, Load::Image, kImgCircle, "common/circle", 256, 256, 4},
    {16, Load::WorldBlocks, kImgBlocks, "blocks_world", 36, 36, 196},
    {17, Load::WorldStrips, kImgStrips, "strips_world", 512, 36, 14},
    {18, Load::Image, kImgMenu, "menu", 64, 64, 64},
    {19, Load::Sound, kSfxLost, nullptr, 0, 0, 0},
    {20, Load::Sound, kSfxWon, nullptr, 0, 0, 0},
    {21, Load::Sound, kSfxPass, nullptr, 0, 0, 0},
    {22, Load::ThemeSound, kSfxBounce, nullptr, 0, 0, 0},
    {23, Load::Sound, kSfxSuperPass, nullptr, 0, 0, 0},
    {24, Load::Sound, kSfxCrash, nullptr, 0, 0, 0},
    {25, Load::Sound, kSfxButton, nullptr, 0, 0, 0},
    {26, Load::Image, kImgLight, "common/light", 32, 32, 4},
    {27, Load::Sound, kSfxBurst, nullptr, 0, 0, 0},
    {28, Load::Sound, kSfxComboEnd, nullptr, 0, 0, 0},
    {29, Load::Image, kImgRecord, "record", 128, 128, 4},
    {30, Load::Sound, kSfxParam, nullptr, 0, 0, 0},
};

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// The image levels: 1 (no suffix), 2 ("-hd") and 4 ("-hd2").
constexpr int kImageLevels[] = {1, 2, 4};

// An image's file at an image level.
String imageFileAt(const String& name, int level) {
    String file = name;
    if (level == 2) file += u"-hd";
    if (level == 4) file += u"-hd2";
    return file + u".png";
}

} // namespace

void c_MyApp::computeResolutionLevel() {
    const int w = kp_app__devWidth;
    const int h = kp_app__devHeight;
    m_hdLevel = 1;
    m_imageScale = 1.0f;
    if (w > kHdAbove || h > kHdAbove) {
        m_hdLevel = 2;
        m_imageScale = 0.5f;
    }
    if (w > kHd2Above || h > kHd2Above) {
        m_hdLevel = 4;
        m_imageScale = 0.25f;
    }
    if (kp_BT3_UseHDImages == 0) {
        m_hdLevel = 1;
        m_imageScale = 1.0f;
    }
}

String c_MyApp::imageFileName(const String& name) const {
    return imageFileAt(name, m_hdLevel);
}

String c_MyApp::p_FirstMissingDataFile() {
    for (const LoadRow& row : kStartupLoad) {
        if (row.kind != Load::Image && row.kind != Load::Font) continue;
        for (int level : kImageLevels) {
            const String file = imageFileAt(kpS(row.name), level);
            if (!kp_app__game->HasDataFile(kp_data_FixDataPath(file))) return file;
        }
    }
    return String();
}

int c_MyApp::p_LoadImg(int slot, const String& name, int w, int h, int frames, int flags) {
    const int fw = w * m_hdLevel;
    const int fh = h * m_hdLevel;
    // The slot owns its image; a reload at another resolution replaces it.
    m_images[slot] = kp_graphics_LoadImage2(imageFileName(name), fw, fh, frames, flags);
    m_fontMetrics[slot * 3] = fw;
    m_fontMetrics[slot * 3 + 1] = fh;
    m_fontMetrics[slot * 3 + 2] = frames;
    return 0;
}

int c_MyApp::p_LoadFont(int slot, const String& name, int advance, int lineHeight) {
    const int cell = kFontCell * m_hdLevel;
    m_images[slot] =
        kp_graphics_LoadImage2(imageFileName(name), cell, cell, kFontGlyphs, kCentreHandle);
    // The font's metrics are in virtual units and do not grow with the image level.
    m_fontMetrics[slot * 3] = advance;
    m_fontMetrics[slot * 3 + 1] = lineHeight;
    m_fontMetrics[slot * 3 + 2] = kFontGlyphs;
    m_font = slot;
    return 0;
}

String c_MyApp::worldName(const char* base, int theme) {
    String name = kpS(base) + p_rstr(theme, 3, u"0");
    if (theme == kThemeWoolly && m_variant == 1) name += u"b";
    if (theme == kThemeWoolly && m_variant == 2) name += u"c";
    return name;
}

void c_MyApp::loadThemeSound3() {
    p_LoadSFX(3, m_themeKeys != 0 ? m_theme : -1);
}

String c_MyApp::loaderWorldName(const char* base) {
    return kpS(base) + p_rstr(m_loadedTheme, 3, u"0");
}

void c_MyApp::prefetchThemeImages() {
    kp_graphics_PrefetchImage(imageFileName(worldName("blocks_world", m_theme)));
    kp_graphics_PrefetchImage(imageFileName(worldName("strips_world", m_theme)));
}

void c_MyApp::prefetchLoaderSteps(int first, int last) {
    for (const LoadRow& row : kStartupLoad) {
        if (row.step < first || row.step > last) continue;
        switch (row.kind) {
        case Load::Image:
        case Load::Font:
            kp_graphics_PrefetchImage(imageFileName(kpS(row.name)));
            break;
        case Load::WorldBlocks:
        case Load::WorldStrips:
            kp_graphics_PrefetchImage(imageFileName(loaderWorldName(row.name)));
            break;
        case Load::Sound:
        case Load::ThemeSound:
            break;
        }
    }
}

int c_MyApp::p_Loader() {
    computeResolutionLevel();
    // The workers decode the next steps' images while this step loads its own.
    prefetchLoaderSteps(m_loadStep + 1, m_loadStep + kPrefetchSteps);
    bool performed = false;
    for (const LoadRow& row : kStartupLoad) {
        if (row.step != m_loadStep) continue;
        performed = true;
        switch (row.kind) {
        case Load::Image:
            p_LoadImg(row.slot, kpS(row.name), row.w, row.h, row.frames, kCentreHandle);
            break;
        case Load::Font:
            p_LoadFont(row.slot, kpS(row.name), row.w, row.h);
            break;
        case Load::Sound:
            p_LoadSFX(row.slot, -1);
            break;
        case Load::ThemeSound:
            loadThemeSound3();
            break;
        case Load::WorldBlocks:
        case Load::WorldStrips:
            p_LoadImg(row.slot, loaderWorldName(row.name), row.w, row.h, row.frames, kCentreHandle);
            break;
        }
    }
    if (performed) {
        ++m_loadStep;
    } else {
        m_loadStep = 0;
    }
    drawSpinner();
    return 0;
}

void c_MyApp::drawSpinner() {
    p_CLS2D(0, 0, 80, 1);
    const int s = static_cast<int>(std::min(kp_BT3_jscrw, kp_BT3_jscrh));
    const float cx = kp_BT3_jscrw / 2;
    const float cy = kp_BT3_jscrh / 2;
    m_spin += kSpinStep;
    struct Ring {
        float shade;
        float offset;
    };
    const Ring rings[] = {{250, 180}, {50, 0}}; // light ring first, dark ring over it
    for (const Ring& ring : rings) {
        for (int i = 0; i < kSpinnerDots; ++i) {
            const double a = (m_spin + ring.offset + kSpinStep * i) * M_PI / 180.0;
            p_SetCol(ring.shade, ring.shade, ring.shade, i / 10.0f);
            p_Oval(static_cast<float>(cx + std::sin(a) * s / 4),
                   static_cast<float>(cy - std::cos(a) * s / 4), kSpinnerDotRadius,
                   kSpinnerDotRadius);
        }
    }
}

int c_MyApp::p_MiniLoader() {
    if (m_miniLoadStep < 1) return 0;
    p_DoBG(0, 0, 80, -123);
    m_drawRot = 90; // stamped as given: the logo lies on its side while it waits
    p_SetSize(3, 3);
    p_DrawImg(kImgLogoHeart, static_cast<int>(kp_BT3_jscrw / 2),
              static_cast<int>(kp_BT3_jscrh / 2 + 260), 0);
    kpPrint(u"Loading theme : " + kpIntToString(m_theme) + u" variant " + kpIntToString(m_variant));
    switch (m_miniLoadStep) {
    case 1:
        prefetchThemeImages(); // the strips decode while the blocks load
        p_LoadImg(kImgBlocks, worldName("blocks_world", m_theme), 36, 36, 196, kCentreHandle);
        break;
    case 2:
        p_LoadImg(kImgStrips, worldName("strips_world", m_theme), 512, 36, 14, kCentreHandle);
        break;
    case 3:
        p_LoadSFX(2, -1);
        break;
    case 4:
        // Drawing the new image off screen makes the renderer build its texture now.
        p_DrawImg(kImgBlocks, -512, -512, 0);
        loadThemeSound3();
        break;
    case 5:
        p_DrawImg(kImgStrips, -512, -512, 0);
        p_LoadSFX(4, -1);
        break;
    default:
        m_miniLoadStep = 0;
        m_loadedTheme = m_theme;
        return 0;
    }
    ++m_miniLoadStep;
    return 0;
}

int c_MyApp::p_Reload() {
    // Only the frame background turns black; what the list holds stays.
    m_clsR = 0;
    m_clsG = 0;
    m_clsB = 0;
    m_clsAlpha = 1;
    computeResolutionLevel();
    // A worker decodes the font while this thread decodes the logo.
    kp_graphics_PrefetchImage(imageFileName(kpS(kFontFile)));
    prefetchLoaderSteps(1, kPrefetchSteps);
    p_LoadImg(kStudioLogoSlot, u"common/UlvoLogo", 256, 256, 1, kCentreHandle);
    p_LoadFont(kImgFont, kpS(kFontFile), kFontAdvance, kFontLineHeight);
    m_loadStep = 1;
    return 0;
}

int c_MyApp::p_WaitStart(int /*mode*/) {
    p_CLS2D(0, 0, 80, 1);
    m_spin += kSpinStep;
    const float x = kp_BT3_jscrw / 2;
    const float y = kp_BT3_jscrh * 0.7f;
    p_SetCol(0, 0, 0, 0.2f);
    p_Oval(x, y, 136, 24);
    p_Oval(x, y, 132, 20);
    p_Oval(x, y, 128, 16);
    p_SetSize(2, 2);
    p_SetCol(255, 255, 255, 1);
    p_Text(x, y, u"Click to Start", 1, 1, 0);
    m_pointerLatch = 1;
    m_screen = kScreenMenu;
    p_Reload();
    kp_app_SetUpdateRate(kUpdateRate);
    return 0;
}

int c_MyApp::p_FirstLoader() {
    const float f = static_cast<float>(m_introFrames);
    const float fade = 1 - (f - 200) / 120;
    if (fade > 0) {
        p_SetCol(0, 0, 80, std::min(fade, 1.0f));
        p_Rect(-64, -64, kp_BT3_jscrw + 128, kp_BT3_jscrh + 128);
    }
    p_SetCol(255, 255, 255, 1);
    m_drawRot = f <= 180 ? 90 : std::max(450 - 2 * f, 0.0f);
    const float size = std::clamp(4 - (f - 180) / 20, 2.0f, 3.0f);
    p_SetSize(size, size);

    const int x = static_cast<int>(kp_BT3_jscrw / 2);
    const int y0 = static_cast<int>(kp_BT3_jscrh / 2 + 260);
    int y = y0;
    if (f > 180)
        y = std::max(y0 + static_cast<int>(2 * (180 - f)), static_cast<int>(kp_BT3_jscrh / 2));

    float logoAlpha = 0;
    if (f > 120 && f <= 300) logoAlpha = clamp01((f - 120) / 30);
    if (f > 300) logoAlpha = clamp01(-(f - 320) / 20);
    p_Alpha(logoAlpha);
    p_DrawImg(kImgLogo, x, y, 0);

    p_Alpha(f <= 160 ? 1.0f : clamp01(-(f - 300) / 90));
    p_DrawImg(kImgLogoHeart, x, y, 0);
    return 0;
}
