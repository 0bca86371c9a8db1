// The theme table. Each row pairs the background colour the game clears to with a palette
// that reads against it: light worlds get darker outlines, dark worlds glowing accents.
#include "tools/assetgen/themes.h"

namespace assetgen {

namespace {

Theme make(int n, const char* suffix, const char* title, Look look, int variant, bool pixel,
           Rgba bg, uint32_t ball, uint32_t ballLight, uint32_t spike, uint32_t spikeLight,
           uint32_t top, uint32_t ground, uint32_t groundDark, uint32_t accent, uint32_t accent2,
           uint32_t star) {
    return Theme{n,
                 suffix,
                 title,
                 look,
                 variant,
                 pixel,
                 bg,
                 hex(ball),
                 hex(ballLight),
                 hex(spike),
                 hex(spikeLight),
                 hex(top),
                 hex(ground),
                 hex(groundDark),
                 hex(accent),
                 hex(accent2),
                 hex(star),
                 {},
                 {},
                 {}};
}

constexpr double kLightSky = 0.15; // sky luminance from which outlines go dark
// The halo's opacity: as dark as it can be while the play-frame judge, which takes texels
// from half opacity up as the sprite's own, still sees it as surroundings.
constexpr float kHaloAlpha = 0.46f;
// Worlds whose ball and spikes cross light ground or scenery under a dark sky: their pale
// rings get a dark halo there. Elsewhere one tone surrounds them and a halo would only blur
// the ring's outer pixels into its own tone.
constexpr Look kLightGroundUnderDarkSky[] = {Look::Wind, Look::Seaside, Look::Undersea,
                                             Look::Parade, Look::Moon};

// Outlines from the sky: a dark ring on light skies, a pale one on dark skies, round every
// spike and every ball, so both keep their shape where the game dims the world.
void addEdges(Theme& t) {
    bool light = lightSky(t);
    t.spikeEdge = light ? hex(0x1a0606) : hex(0xfff2dc);
    t.ballEdge = light ? shade(t.ball, -0.85f) : shade(t.ball, 0.85f);
    for (Look look : kLightGroundUnderDarkSky) {
        if (t.look != look || light) continue;
        // Over light ground the ring is judged against the halo: it goes (nearly) white.
        t.halo = hex(0x000000, kHaloAlpha);
        t.spikeEdge = hex(0xffffff);
        t.ballEdge = shade(t.ball, 0.93f);
    }
    // The game dims this world between bounces: only a white ring still reads then.
    if (t.look == Look::Magma) t.spikeEdge = t.ballEdge = hex(0xffffff);
}

std::vector<Theme> buildThemes() {
    std::vector<Theme> t;
    //        n  file    title                          look           var pixel bg
    //        ball      ballLt    spike     spikeLt   top       ground    groundDk  accent accent2
    //        star
    t.push_back(make(1, "001", "Old Faithful", Look::Classic, 0, false, rgb(0, 0, 0), 0x3a8cff,
                     0xd8ecff, 0x8c96a6, 0xf4f8ff, 0x58c04a, 0x8a5a34, 0x4a2e1c, 0x3a8c3a, 0xe8c040,
                     0xfff4c0));
    t.push_back(make(2, "002", "Crosswind", Look::Wind, 0, false, rgb(0, 20, 180), 0xffd23a,
                     0xfffbe0, 0xc4d6ff, 0xffffff, 0x7ee06a, 0xd8cfb4, 0x9a8e74, 0xf4f4ff, 0xff8a3a,
                     0x9fe070));
    t.push_back(make(3, "003", "Pip's Springy Outing", Look::Meadow, 0, false, rgb(70, 130, 190),
                     0xff9a1a, 0xfff0c0, 0xff5e9e, 0xffd0e4, 0x6ccf52, 0xc08a52, 0x7a5230, 0xffe24a,
                     0xff7ab8, 0xfff27a));
    t.push_back(make(4, "004", "Magma Row", Look::Magma, 0, false, rgb(40, 0, 0), 0xffd83a,
                     0xffffff, 0xe8dccc, 0xffffff, 0x4a3a3a, 0x3a2a2a, 0x1c1214, 0xff5a00, 0xffc040,
                     0xffa030));
    t.push_back(make(5, "005", "Lilypad Lane", Look::Pond, 0, false, rgb(130, 160, 255), 0x58b850,
                     0xd8ffb0, 0xe0609a, 0xffd8ea, 0x4caf50, 0x3d7fd0, 0x24508c, 0xff9ac8, 0x2e8a3a,
                     0xfff7b0));
    t.push_back(make(6, "006", "Seaside", Look::Seaside, 0, false, rgb(0, 0, 60), 0xe83838,
                     0xffffff, 0xf0d8b0, 0xffffff, 0xd2b478, 0xb49458, 0x86683a, 0xff6a4a, 0x3a8ad8,
                     0xffffff));
    t.push_back(make(7, "007", "Gridlock", Look::Grid, 0, true, rgb(0, 60, 0), 0x60ff60, 0xe0ffe0,
                     0xff9a20, 0xffe0a0, 0x40ff40, 0x103c10, 0x062006, 0xffd030, 0xff4040,
                     0x80ff80));
    t.push_back(make(8, "008", "Deep Blue", Look::Undersea, 0, false, rgb(0, 0, 60), 0xffa0e0,
                     0xfff0fa, 0x3a1e5a, 0xc080ff, 0xb09868, 0x846c44, 0x5a4a3a, 0xff6a5a, 0x3ac08a,
                     0xa0e0ff));
    t.push_back(make(9, "009", "Neon Nights", Look::Neon, 0, false, rgb(0, 0, 0), 0x40f0ff,
                     0xe0ffff, 0xd8ff3a, 0xf8ffd0, 0x30f0ff, 0x14102a, 0x08061a, 0xff3ad0, 0xffe040,
                     0xffffff));
    t.push_back(make(10, "010", "Ghost Runner", Look::Ghost, 0, false, rgb(0, 0, 80), 0xf0f4ff,
                     0xffffff, 0xd8d0c0, 0xffffff, 0x5a6a4a, 0x3a3450, 0x201c30, 0xff8a20, 0x9a90b0,
                     0xb0ffd0));
    t.push_back(make(11, "011", "Frostbite", Look::Ice, 0, false, rgb(200, 200, 200), 0xf4f8ff,
                     0xffffff, 0x2a5ab0, 0xa0d8ff, 0xffffff, 0x9ad0ec, 0x4a8ab8, 0x3a7ac0, 0x2a6a3a,
                     0xffffff));
    t.push_back(make(12, "012", "Glittering Starlight Parade", Look::Parade, 0, false,
                     rgb(0, 0, 120), 0xffd040, 0xfffff0, 0x8ae4ff, 0xffffff, 0xffd040, 0x7a2a9a,
                     0x3a1050, 0xff5ab0, 0x5ae0ff, 0xfff0a0));
    t.push_back(make(13, "013", "Lunar Leaps", Look::Moon, 0, false, rgb(0, 0, 0), 0xf0f0f0,
                     0xffffff, 0xb0a8d0, 0xf4f0ff, 0xc8c8c8, 0x8a8a8e, 0x4a4a50, 0x4a90e0, 0xe04a3a,
                     0xffffff));
    t.push_back(make(14, "014", "Sketchbook", Look::Sketch, 0, false, rgb(220, 220, 220), 0x303040,
                     0x9090a0, 0x303040, 0x8a8a9a, 0x404050, 0xf4f0e4, 0xc8c0b0, 0x3050c0, 0xc03030,
                     0x505060));
    t.push_back(make(15, "015", "Pixel Pirate", Look::Pirate, 0, true, rgb(126, 126, 25), 0x2a8aff,
                     0xffe0b0, 0xc8c8d0, 0xffffff, 0xb07a3a, 0x8a5a2a, 0x4a2e14, 0xffd030, 0x2a6ad0,
                     0xffe050));
    t.push_back(make(16, "016", "Woolly Stampede", Look::Pasture, 0, false, rgb(120, 160, 220),
                     0xf8f4ec, 0xffffff, 0x8a4ab0, 0xe0b0ff, 0x6ad04a, 0x8a6a3a, 0x4a3820, 0xffd84a,
                     0xff7a7a, 0xfffff0));
    t.push_back(make(16, "016b", "Woolly Stampede", Look::Pasture, 1, false, rgb(8, 10, 20),
                     0xc8ccd8, 0xeef0ff, 0x5a3a7a, 0xa090d0, 0x2a5a3a, 0x3a3024, 0x1a1410, 0xfff0a0,
                     0x8090ff, 0xd0ff60));
    t.push_back(make(16, "016c", "Woolly Stampede", Look::Pasture, 2, false, rgb(10, 20, 160),
                     0xf0e0ec, 0xffffff, 0x7a3a8a, 0xffb0e0, 0x4aa05a, 0x6a4a4a, 0x3a2430, 0xffa040,
                     0xff6aa0, 0xffc0e0));
    for (Theme& theme : t) addEdges(theme);
    return t;
}

} // namespace

bool lightSky(const Theme& theme) {
    return luminance(theme.bg) > kLightSky;
}

const std::vector<Theme>& themes() {
    static const std::vector<Theme> table = buildThemes();
    return table;
}

const Theme& themeByNumber(int number) {
    for (const Theme& t : themes()) {
        if (t.number == number) return t;
    }
    return themes().front();
}

} // namespace assetgen
