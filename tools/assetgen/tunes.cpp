// The tune table: one looping tune per world theme, each in its theme's mood, the title
// theme played once at start-up (with an intro and an ending) and the short jingle heard when
// a round returns to the menu. Loop lengths are 30 to 60 seconds: the forms are sized to the
// tempo (four bars per phrase letter).
#include <cmath>
#include <cstdio>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/compose.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"

namespace assetgen {

namespace {

constexpr float kSilentTail = 1e-4f; // below this a tune's tail counts as silence

Instrument inst(Wave w, float vol, Envelope e, float cutoff = 0, float vibrato = 0) {
    Instrument i;
    i.wave = w;
    i.volume = vol;
    i.env = e;
    i.cutoff = cutoff;
    i.vibrato = vibrato;
    return i;
}

Instrument fm(float vol, Envelope e, float ratio, float index) {
    Instrument i = inst(Wave::Fm, vol, e);
    i.fmRatio = ratio;
    i.fmIndex = index;
    return i;
}

// Lead voices.
Instrument squareLead() {
    return inst(Wave::Square, 0.14f, {0.005f, 0.15f, 0.6f, 0.08f}, 4500, 0.004f);
}
Instrument pulseLead() {
    return inst(Wave::Pulse25, 0.14f, {0.004f, 0.12f, 0.55f, 0.06f}, 5000, 0.003f);
}
Instrument flute() {
    return inst(Wave::Triangle, 0.3f, {0.03f, 0.1f, 0.8f, 0.12f}, 0, 0.008f);
}
Instrument pluck() {
    return inst(Wave::Square, 0.16f, {0.002f, 0.18f, 0.0f, 0.08f}, 3000);
}
Instrument marimba() {
    return fm(0.3f, {0.001f, 0.35f, 0.0f, 0.12f}, 4.0f, 1.4f);
}
Instrument steelDrum() {
    return fm(0.26f, {0.002f, 0.4f, 0.1f, 0.2f}, 2.0f, 1.8f);
}
Instrument bell() {
    return fm(0.22f, {0.001f, 0.7f, 0.0f, 0.4f}, 3.5f, 2.6f);
}
Instrument sawLead() {
    return inst(Wave::Saw, 0.11f, {0.01f, 0.2f, 0.7f, 0.12f}, 3200, 0.005f);
}
Instrument organ() {
    return fm(0.2f, {0.02f, 0.1f, 0.85f, 0.1f}, 1.0f, 0.9f);
}

// Bass voices.
Instrument triBass() {
    return inst(Wave::Triangle, 0.2f, {0.003f, 0.1f, 0.8f, 0.05f});
}
Instrument sawBass() {
    return inst(Wave::Saw, 0.11f, {0.003f, 0.15f, 0.7f, 0.05f}, 650);
}
Instrument squareBass() {
    return inst(Wave::Square, 0.09f, {0.003f, 0.12f, 0.7f, 0.04f}, 900);
}
Instrument pluckBass() {
    return inst(Wave::Triangle, 0.22f, {0.002f, 0.25f, 0.2f, 0.05f});
}

// Accompaniment.
Instrument chipArp() {
    return inst(Wave::Square, 0.045f, {0.002f, 0.06f, 0.0f, 0.03f}, 2600);
}
Instrument bellArp() {
    return fm(0.07f, {0.001f, 0.2f, 0.0f, 0.15f}, 3.0f, 1.5f);
}
Instrument softPad() {
    return inst(Wave::Saw, 0.04f, {0.5f, 0.6f, 0.8f, 0.7f}, 1100);
}
Instrument glassPad() {
    return inst(Wave::Triangle, 0.07f, {0.6f, 0.6f, 0.8f, 0.9f});
}
Instrument none() {
    return inst(Wave::Sine, 0.0f, {});
}

SongStyle world(int theme) {
    SongStyle s;
    s.seed = static_cast<unsigned>(theme) * 977u;
    s.scale = kMajor;
    s.progression = {0, 4, 5, 3};
    s.lead = squareLead();
    s.bass = triBass();
    s.arp = none();
    s.pad = none();
    switch (theme) {
    case 1: // Old Faithful: a bright, bouncy arcade tune
        s.bpm = 136;
        s.root = 67;
        s.form = "AABAB";
        s.lead = pulseLead();
        s.arp = chipArp();
        s.arpPattern = "0120";
        s.bassPattern = "R...O...R...F...";
        break;
    case 2: // Crosswind: breezy flute over a mixolydian sway
        s.bpm = 120;
        s.root = 62;
        s.scale = kMixolydian;
        s.progression = {0, 6, 3, 0};
        s.lead = flute();
        s.pad = softPad();
        s.density = 0.4f;
        s.kick = "x.........x.....";
        s.hat = "..x...x...x...x.";
        break;
    case 3: // Pip's Springy Outing: staccato and skipping
        s.bpm = 140;
        s.root = 65;
        s.kit = 2;
        s.form = "AABAB";
        s.lead = pluck();
        s.bass = pluckBass();
        s.swing = 0.3f;
        s.bassPattern = "R..F..R.O..F..R.";
        s.arp = bellArp();
        s.arpPattern = "0.2.1.2.";
        break;
    case 4: // Magma Row: heavy minor riffs
        s.bpm = 96;
        s.root = 52;
        s.scale = kHarmonicMinor;
        s.progression = {0, 5, 4, 0};
        s.lead = organ();
        s.bass = squareBass();
        s.kit = 1;
        s.bassPattern = "R.R.R.R.R.R.F.O.";
        s.kick = "x..x..x.x..x..x.";
        s.snare = "....x.......x..x";
        s.density = 0.45f;
        break;
    case 5: // Lilypad Lane: a lazy pentatonic marimba
        s.bpm = 96;
        s.root = 63;
        s.kit = 2;
        s.lead = marimba();
        s.density = 0.4f;
        s.progression = {0, 3, 0, 4};
        s.pad = glassPad();
        s.kick = "x.......x.......";
        s.snare = "............x...";
        s.hat = "..x...x...x...x.";
        s.bassPattern = "R.....F.R.....F.";
        break;
    case 6: // Seaside: steel drum and a gentle shuffle
        s.bpm = 104;
        s.root = 58;
        s.kit = 2;
        s.lead = steelDrum();
        s.swing = 0.35f;
        s.progression = {0, 3, 4, 0};
        s.bassPattern = "R...F...R...T...";
        s.hat = "x.xxx.xxx.xxx.xx";
        break;
    case 7: // Gridlock: a racing chiptune
        s.bpm = 150;
        s.root = 55;
        s.kit = 3;
        s.scale = kMinor;
        s.progression = {0, 5, 2, 6};
        s.form = "AABAAB";
        s.lead = pulseLead();
        s.bass = squareBass();
        s.arp = chipArp();
        s.arpPattern = "0123";
        s.bassPattern = "R.O.R.O.R.O.F.O.";
        s.kick = "x...x...x...x...";
        s.hat = "xXxXxXxXxXxXxXxX";
        break;
    case 8: // Deep Blue: slow, dreamy dorian with bubbling bells
        s.bpm = 84;
        s.root = 61;
        s.kit = 2;
        s.scale = kDorian;
        s.progression = {0, 3, 0, 6};
        s.lead = bell();
        s.pad = softPad();
        s.density = 0.3f;
        s.echo = 0.45f;
        s.arp = bellArp();
        s.arpPattern = "0.1.2.3.";
        s.kick = "x.........x.....";
        s.snare = "";
        s.hat = "....x.......x...";
        s.bassPattern = "R.......F.......";
        break;
    case 9: // Neon Nights: synthwave on a four-on-the-floor
        s.bpm = 118;
        s.root = 57;
        s.kit = 1;
        s.scale = kMinor;
        s.progression = {0, 5, 2, 6};
        s.lead = sawLead();
        s.bass = sawBass();
        s.pad = softPad();
        s.bassPattern = "R.R.R.R.R.R.R.R.";
        s.kick = "x...x...x...x...";
        s.hat = "..X...X...X...X.";
        s.arp = chipArp();
        s.arpPattern = "0120";
        s.echo = 0.35f;
        break;
    case 10: // Ghost Runner: a spooky organ in harmonic minor
        s.bpm = 100;
        s.root = 56;
        s.scale = kHarmonicMinor;
        s.progression = {0, 3, 4, 0};
        s.lead = organ();
        s.bass = pluckBass();
        s.density = 0.35f;
        s.kick = "x.......x.......";
        s.snare = "....x.......x...";
        s.hat = "x.....x.....x...";
        s.bassPattern = "R..R..F.R..R..T.";
        break;
    case 11: // Frostbite: crystalline bells, light drums
        s.bpm = 112;
        s.root = 64;
        s.scale = kMinor;
        s.progression = {0, 5, 3, 4};
        s.lead = bell();
        s.pad = glassPad();
        s.arp = bellArp();
        s.arpPattern = "0123";
        s.hat = "x...x...x...x...";
        s.kick = "x.......x.......";
        s.drumVolume = 0.7f;
        break;
    case 12: // Glittering Starlight Parade: a festive march
        s.bpm = 126;
        s.root = 59;
        s.form = "AABAB";
        s.lead = pulseLead();
        s.arp = bellArp();
        s.arpPattern = "0213";
        s.progression = {0, 3, 4, 0};
        s.snare = "....x.x.....x.xx";
        s.bassPattern = "R...F...R...F...";
        break;
    case 13: // Lunar Leaps: spacious lydian with long echoes
        s.bpm = 90;
        s.root = 66;
        s.kit = 1;
        s.scale = kLydian;
        s.progression = {0, 1, 0, 1};
        s.lead = flute();
        s.pad = softPad();
        s.density = 0.25f;
        s.echo = 0.5f;
        s.kick = "x...............";
        s.snare = "";
        s.hat = "........x.......";
        s.bassPattern = "R...............";
        break;
    case 14: // Sketchbook: whimsical pizzicato
        s.bpm = 116;
        s.root = 65;
        s.lead = pluck();
        s.bass = pluckBass();
        s.swing = 0.2f;
        s.progression = {0, 5, 1, 4};
        s.bassPattern = "R...F...R...F...";
        s.snare = "....x.......x...";
        s.kick = "x.......x.......";
        break;
    case 15: // Pixel Pirate: a shanty on a rolling shuffle
        s.bpm = 128;
        s.root = 62;
        s.kit = 3;
        s.scale = kDorian;
        s.progression = {0, 6, 0, 4};
        s.form = "AABAB";
        s.lead = pulseLead();
        s.bass = squareBass();
        s.swing = 0.45f;
        s.bassPattern = "R.....F.R.....F.";
        s.kick = "x.....x.x.....x.";
        s.snare = "...x.....x..x...";
        break;
    default: // 16, Woolly Stampede: a galloping hoedown
        s.bpm = 150;
        s.root = 67;
        s.form = "AABAAB";
        s.lead = pluck();
        s.bass = pluckBass();
        s.progression = {0, 3, 0, 4};
        s.bassPattern = "R.F.R.F.R.F.R.F.";
        s.kick = "x...x...x...x...";
        s.snare = "..x...x...x...x.";
        s.hat = "";
        s.bass.volume *= 0.7f;
        s.arp = chipArp();
        s.arp.volume *= 1.6f;
        s.arpPattern = "0.1.2.1.";
        break;
    }
    return s;
}

SongStyle titleTheme() {
    SongStyle s;
    s.bpm = 120;
    s.root = 60;
    s.scale = kMajor;
    s.progression = {0, 5, 3, 4};
    s.form = "AABACCAB";
    s.seed = 4242;
    s.lead = squareLead();
    s.bass = triBass();
    s.arp = chipArp();
    s.arpPattern = "0120";
    s.pad = softPad();
    s.bassPattern = "R...O...R...F...";
    s.introBars = 2;
    s.ending = true;
    return s;
}

// The jingle: a rising fanfare landing on the tonic chord.
Sound jingle() {
    const int rate = kMusicRate;
    const float beat = 60.0f / 150.0f;
    Sound out;
    out.rate = rate;
    out.channels = 2;
    out.samples.assign(static_cast<size_t>(rate * 4.5f) * 2, 0.0f);
    auto put = [&](float at, float len, Wave w, float midi, float vol, Envelope e, float pan = 0) {
        Voice v;
        v.wave = w;
        v.freq = noteHz(midi);
        v.volume = vol;
        v.env = e;
        v.pan = pan;
        v.cutoff = w == Wave::Square ? 4500.0f : 0.0f;
        renderVoice(out.samples, 2, rate, static_cast<long>(at * rate), len, v);
    };
    const float melody[] = {67, 72, 76, 79, 77, 79, 84};
    const float at[] = {0, 0.5f, 1, 1.5f, 2.25f, 2.5f, 3};
    const float len[] = {0.45f, 0.45f, 0.45f, 0.7f, 0.22f, 0.45f, 2.5f};
    Envelope lead{0.005f, 0.15f, 0.6f, 0.3f};
    for (int i = 0; i < 7; ++i)
        put(at[i] * beat, len[i] * beat, Wave::Square, melody[i], 0.15f, lead, -0.6f);
    for (float n : {60.0f, 64.0f, 67.0f})
        put(3 * beat, 2.5f * beat, Wave::Triangle, n, 0.12f, {0.01f, 0.3f, 0.6f, 0.5f},
            (n - 64) / 4);
    const float bass[] = {36, 43, 36, 43, 36};
    for (int i = 0; i < 5; ++i)
        put(i * 0.75f * beat, i == 4 ? 2.0f * beat : 0.6f * beat, Wave::Triangle, bass[i], 0.22f,
            {0.003f, 0.1f, 0.8f, 0.1f});
    Voice crash;
    crash.wave = Wave::Noise;
    crash.freq = noteHz(130);
    crash.volume = 0.12f;
    crash.env = {0.001f, 1.2f, 0.0f, 0.3f};
    crash.cutoff = 10000;
    renderVoice(out.samples, 2, rate, static_cast<long>(3 * beat * rate), 1.2f, crash);
    masterTune(out);
    // The buffer is laid out longer than the fanfare rings: no silence is kept after it.
    trimSilentTail(out, kSilentTail);
    normaliseLoudness(out, kTuneLufs, kTuneCeiling);
    return out;
}

} // namespace

std::vector<TuneDef> allTunes() {
    std::vector<TuneDef> list;
    list.push_back({"sfx/title_full", false, [] { return composeSong(titleTheme()); }});
    for (int t = 1; t <= 16; ++t) {
        char name[32];
        std::snprintf(name, sizeof name, "sfx/world%03d", t);
        list.push_back({name, true, [t] { return composeSong(world(t)); }});
    }
    list.push_back({"sfx/title_snip", false, jingle});
    return list;
}

} // namespace assetgen
