// Sound effects "sfx/NNN.wav" and the theme bounces "sfx/003_NNN.wav" (themes whose effect 3
// is their own). Each effect is a few voices with envelopes, pitch sweeps and noise, mixed in
// mono at 44.1 kHz, brought to its family's loudness and written as 16-bit PCM.
#include <cmath>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"
#include "tools/assetgen/synth.h"

namespace assetgen {

namespace {

constexpr float kPeak = 0.85f;
constexpr size_t kTailFrames = 64; // silence after the last release
constexpr float kCeiling = 0.95f;
constexpr double kEffectFromHz = 200.0;
constexpr double kBounceFromHz = 320.0;
// Momentary loudness (the loudest 400 ms) of each family of effects, so effects of one kind
// sit at one level however short they are: a 60 ms tick measured over its own length would
// count as loud as a held note. Levels against the music (tunes at -16 LUFS integrated, about
// -17.7 short-term through a 200 Hz high-pass, as a laptop speaker gives it), allowing for
// OpenAL Soft playing a centred mono effect about 1.5 dB under its file: the bounce, heard
// every second, a few dB under the tune; passes, crashes and bursts clear above it; the panel
// sounds, which the game plays at half volume as play pauses, heard there over the tune.
// The audio_mix test checks these on the device's real output.
constexpr double kUiLufs = -13.0;     // menu ticks, confirmations, the pause and options sounds
constexpr double kBounceLufs = -19.5; // every bounce of the ball
constexpr double kAccentLufs = -10.5; // passes, crashes and bursts
constexpr double kPlayLufs = -13.0;   // the other sounds of play
constexpr double kJingleLufs = -11.0; // goal, won, lost and badge jingles

struct Mixer {
    Sound sound;
    explicit Mixer(float seconds) {
        sound.rate = kSfxRate;
        sound.channels = 1;
        sound.samples.assign(static_cast<size_t>(seconds * kSfxRate), 0.0f);
    }
    void add(float at, float length, Voice v) {
        // The buffer grows to hold every voice's release, so no effect is cut mid-note.
        size_t end = static_cast<size_t>((at + length + v.env.release) * kSfxRate) + kTailFrames;
        if (end > sound.samples.size()) sound.samples.resize(end, 0.0f);
        renderVoice(sound.samples, 1, kSfxRate, static_cast<long>(at * kSfxRate), length, v);
    }
    Sound done(float peak = kPeak) {
        finishMix(sound.samples, peak);
        return sound;
    }
};

Voice tone(Wave w, float hz, float hzEnd, float a, float d, float s, float r, float vol) {
    Voice v;
    v.wave = w;
    v.freq = hz;
    v.freqEnd = hzEnd;
    v.env = {a, d, s, r};
    v.volume = vol;
    return v;
}

Sound blip() { // 1: a short bright tick
    Mixer m(0.12f);
    m.add(0, 0.03f, tone(Wave::Sine, 1400, 1800, 0.002f, 0.03f, 0.2f, 0.05f, 0.6f));
    m.add(0, 0.02f, tone(Wave::Square, 2800, 0, 0.001f, 0.02f, 0.0f, 0.02f, 0.1f));
    return m.done(0.6f);
}

Sound spikePassed() { // 2: a rising two-note ding
    Mixer m(0.3f);
    m.add(0, 0.05f, tone(Wave::Square, noteHz(84), 0, 0.002f, 0.05f, 0.3f, 0.06f, 0.25f));
    m.add(0.05f, 0.08f, tone(Wave::Square, noteHz(91), 0, 0.002f, 0.08f, 0.3f, 0.12f, 0.25f));
    m.add(0.05f, 0.1f, tone(Wave::Sine, noteHz(103), 0, 0.002f, 0.1f, 0.0f, 0.1f, 0.2f));
    return m.done(0.7f);
}

Sound bounce() { // 3: a soft rubbery thump, voiced in the mids a small speaker gives
    Mixer m(0.22f);
    m.add(0, 0.12f, tone(Wave::Sine, 210, 70, 0.002f, 0.12f, 0.0f, 0.05f, 0.35f));
    m.add(0, 0.08f, tone(Wave::Triangle, 520, 240, 0.002f, 0.08f, 0.0f, 0.04f, 0.6f));
    m.add(0, 0.03f, tone(Wave::Sine, 1100, 800, 0.001f, 0.03f, 0.0f, 0.02f, 0.3f));
    Voice click = tone(Wave::Noise, 6000, 0, 0.001f, 0.015f, 0.0f, 0.01f, 0.2f);
    click.cutoff = 3000;
    m.add(0, 0.015f, click);
    return m.done(0.7f);
}

Sound superPass() { // 4: a sparkling rising arpeggio
    Mixer m(0.45f);
    const float notes[] = {79, 83, 86, 91};
    for (int i = 0; i < 4; ++i) {
        Voice v = tone(Wave::Triangle, noteHz(notes[i]), 0, 0.002f, 0.06f, 0.4f, 0.12f, 0.4f);
        m.add(i * 0.045f, 0.06f, v);
        Voice b = tone(Wave::Fm, noteHz(notes[i] + 12), 0, 0.001f, 0.15f, 0.0f, 0.1f, 0.15f);
        b.fmRatio = 3.5f;
        b.fmIndex = 2;
        m.add(i * 0.045f, 0.05f, b);
    }
    return m.done();
}

Sound crash() { // 5: a crunchy noise burst over a falling growl
    Mixer m(0.8f);
    Voice burst = tone(Wave::Noise, 9000, 1500, 0.001f, 0.4f, 0.0f, 0.2f, 0.8f);
    burst.cutoff = 8000;
    burst.cutoffEnd = 400;
    m.add(0, 0.45f, burst);
    Voice growl = tone(Wave::Square, 330, 45, 0.001f, 0.5f, 0.2f, 0.2f, 0.35f);
    growl.cutoff = 2500;
    growl.cutoffEnd = 300;
    m.add(0, 0.5f, growl);
    m.add(0, 0.1f, tone(Wave::Sine, 120, 40, 0.001f, 0.15f, 0.0f, 0.05f, 0.8f));
    return m.done(0.9f);
}

Sound buttonPressed() { // 6: a mechanical click-clunk
    Mixer m(0.3f);
    Voice click = tone(Wave::Noise, 8000, 0, 0.001f, 0.01f, 0.0f, 0.01f, 0.5f);
    m.add(0, 0.01f, click);
    m.add(0.005f, 0.08f, tone(Wave::Square, 180, 110, 0.001f, 0.08f, 0.0f, 0.05f, 0.4f));
    m.add(0.06f, 0.12f, tone(Wave::Triangle, noteHz(76), 0, 0.002f, 0.1f, 0.3f, 0.1f, 0.4f));
    return m.done(0.75f);
}

Sound chime(const float* notes, int n, float step, float hold, float peak) {
    Mixer m(step * n + hold + 0.6f);
    for (int i = 0; i < n; ++i) {
        Voice bell = tone(Wave::Fm, noteHz(notes[i]), 0, 0.002f, 0.5f, 0.15f, 0.4f, 0.35f);
        bell.fmRatio = 3.0f;
        bell.fmIndex = 2.5f;
        m.add(i * step, (i == n - 1) ? hold : step, bell);
        m.add(i * step, (i == n - 1) ? hold : step,
              tone(Wave::Triangle, noteHz(notes[i] - 12), 0, 0.004f, 0.2f, 0.5f, 0.2f, 0.25f));
    }
    return m.done(peak);
}

Sound goalReached() { // 7
    const float notes[] = {72, 76, 79, 84};
    return chime(notes, 4, 0.08f, 0.35f, 0.8f);
}

Sound roundLost() { // 10: a sad falling "wah-wah-waah"
    Mixer m(1.3f);
    const float notes[] = {67, 66, 65, 64};
    for (int i = 0; i < 4; ++i) {
        float len = i == 3 ? 0.55f : 0.18f;
        Voice v = tone(Wave::Saw, noteHz(notes[i]), i == 3 ? noteHz(notes[i] - 1) : 0, 0.01f, 0.1f,
                       0.7f, 0.15f, 0.3f);
        v.cutoff = 500;
        v.cutoffEnd = i == 3 ? 300 : 1400;
        v.vibratoHz = i == 3 ? 6.0f : 0.0f;
        v.vibratoDepth = 0.015f;
        m.add(i * 0.22f, len, v);
    }
    return m.done(0.8f);
}

Sound roundWon() { // 11: a short fanfare
    Mixer m(1.4f);
    const float notes[] = {72, 76, 79, 84, 79, 84};
    const float at[] = {0, 0.1f, 0.2f, 0.3f, 0.5f, 0.6f};
    const float len[] = {0.09f, 0.09f, 0.09f, 0.18f, 0.09f, 0.6f};
    for (int i = 0; i < 6; ++i) {
        Voice lead = tone(Wave::Square, noteHz(notes[i]), 0, 0.005f, 0.1f, 0.6f, 0.12f, 0.22f);
        lead.vibratoHz = 5.5f;
        lead.vibratoDepth = i == 5 ? 0.008f : 0.0f;
        m.add(at[i], len[i], lead);
        m.add(at[i], len[i],
              tone(Wave::Triangle, noteHz(notes[i] - 24), 0, 0.005f, 0.1f, 0.8f, 0.1f, 0.35f));
    }
    Voice crashCym = tone(Wave::Noise, 12000, 0, 0.001f, 0.6f, 0.0f, 0.3f, 0.15f);
    m.add(0.6f, 0.5f, crashCym);
    return m.done(0.85f);
}

Sound burst() { // 12: pop plus a sparkle
    Mixer m(0.4f);
    Voice pop = tone(Wave::Noise, 10000, 0, 0.001f, 0.05f, 0.0f, 0.03f, 0.5f);
    pop.cutoff = 5000;
    m.add(0, 0.05f, pop);
    m.add(0, 0.06f, tone(Wave::Sine, 500, 1400, 0.001f, 0.06f, 0.0f, 0.03f, 0.6f));
    // The sparkle is built from sines only, all partials well under half the sample rate.
    for (int k = 0; k < 3; ++k) {
        float hz = noteHz(96.0f + 7.0f * static_cast<float>(k));
        m.add(0.04f + 0.03f * static_cast<float>(k), 0.12f,
              tone(Wave::Sine, hz, hz * 1.03f, 0.002f, 0.12f, 0.0f, 0.08f, 0.22f));
    }
    return m.done(0.75f);
}

Sound comboEnded() { // 13: a falling bloop
    Mixer m(0.4f);
    m.add(0, 0.25f, tone(Wave::Triangle, noteHz(79), noteHz(60), 0.003f, 0.2f, 0.4f, 0.08f, 0.5f));
    m.add(0, 0.25f, tone(Wave::Square, noteHz(67), noteHz(48), 0.003f, 0.2f, 0.3f, 0.08f, 0.12f));
    return m.done(0.6f);
}

Sound badge() { // 95: a shimmering arpeggiated chord
    const float notes[] = {72, 79, 84, 88, 91, 96};
    return chime(notes, 6, 0.06f, 0.5f, 0.8f);
}

Sound confirm() { // 98: two bright notes up
    Mixer m(0.35f);
    m.add(0, 0.06f, tone(Wave::Pulse25, noteHz(76), 0, 0.002f, 0.05f, 0.5f, 0.05f, 0.3f));
    m.add(0.07f, 0.12f, tone(Wave::Pulse25, noteHz(88), 0, 0.002f, 0.08f, 0.5f, 0.1f, 0.3f));
    return m.done(0.7f);
}

Sound menuMove() { // 99: a tiny tick
    Mixer m(0.08f);
    m.add(0, 0.02f, tone(Wave::Square, noteHz(93), 0, 0.001f, 0.02f, 0.0f, 0.02f, 0.3f));
    return m.done(0.5f);
}

// Theme bounces.
Sound boing() { // 3: Pip's spring
    Mixer m(0.4f);
    Voice v = tone(Wave::Sine, 260, 620, 0.002f, 0.3f, 0.3f, 0.08f, 0.8f);
    v.glideCurve = 0.5f;
    v.vibratoHz = 18;
    v.vibratoDepth = 0.06f;
    m.add(0, 0.3f, v);
    return m.done(0.7f);
}

Sound rockThud() { // 4: Magma Row
    Mixer m(0.35f);
    m.add(0, 0.12f, tone(Wave::Sine, 150, 50, 0.001f, 0.12f, 0.0f, 0.05f, 0.9f));
    Voice hiss = tone(Wave::Noise, 11000, 0, 0.01f, 0.25f, 0.0f, 0.05f, 0.25f);
    hiss.cutoff = 9000;
    hiss.cutoffEnd = 3000;
    m.add(0.02f, 0.25f, hiss);
    return m.done(0.7f);
}

Sound plop() { // 5: Lilypad Lane
    Mixer m(0.25f);
    m.add(0, 0.1f, tone(Wave::Sine, 300, 900, 0.001f, 0.1f, 0.0f, 0.03f, 0.8f));
    m.add(0.02f, 0.05f, tone(Wave::Sine, 1100, 1500, 0.001f, 0.05f, 0.0f, 0.03f, 0.2f));
    return m.done(0.7f);
}

Sound chipBounce() { // 7: Gridlock
    Mixer m(0.15f);
    m.add(0, 0.08f, tone(Wave::Square, 220, 440, 0.001f, 0.08f, 0.3f, 0.02f, 0.4f));
    return m.done(0.6f);
}

Sound bubble() { // 8: Deep Blue
    Mixer m(0.25f);
    Voice v = tone(Wave::Sine, 400, 1300, 0.002f, 0.12f, 0.2f, 0.05f, 0.8f);
    v.glideCurve = 2.0f;
    m.add(0, 0.12f, v);
    return m.done(0.65f);
}

Sound whoo() { // 10: Ghost Runner
    Mixer m(0.45f);
    Voice v = tone(Wave::Triangle, noteHz(74), noteHz(67), 0.04f, 0.2f, 0.6f, 0.15f, 0.6f);
    v.vibratoHz = 7;
    v.vibratoDepth = 0.02f;
    v.cutoff = 1500;
    m.add(0, 0.25f, v);
    return m.done(0.55f);
}

Sound bleat() { // 16: Woolly Stampede, a short "baa"
    Mixer m(0.35f);
    Voice v = tone(Wave::Saw, 330, 300, 0.02f, 0.1f, 0.8f, 0.08f, 0.5f);
    v.vibratoHz = 22;
    v.vibratoDepth = 0.05f;
    v.cutoff = 1800;
    v.cutoffEnd = 900;
    m.add(0, 0.22f, v);
    return m.done(0.6f);
}

} // namespace

std::vector<SfxDef> allEffects() {
    // Every effect leaves the speaker's low end: the bounces, whose body sits there, from
    // higher up so that most of their energy lies above 300 Hz.
    auto at = [](Sound (*make)(), double lufs) {
        return [make, lufs] {
            Sound s = make();
            highPass(s, lufs == kBounceLufs ? kBounceFromHz : kEffectFromHz);
            normaliseLoudness(s, lufs, kCeiling, LoudnessMeasure::Momentary);
            return s;
        };
    };
    return {
        {"sfx/001", at(blip, kUiLufs)},
        {"sfx/002", at(spikePassed, kAccentLufs)},
        {"sfx/003", at(bounce, kBounceLufs)},
        {"sfx/004", at(superPass, kAccentLufs)},
        {"sfx/005", at(crash, kAccentLufs)},
        {"sfx/006", at(buttonPressed, kPlayLufs)},
        {"sfx/007", at(goalReached, kJingleLufs)},
        {"sfx/010", at(roundLost, kJingleLufs)},
        {"sfx/011", at(roundWon, kJingleLufs)},
        {"sfx/012", at(burst, kAccentLufs)},
        {"sfx/013", at(comboEnded, kPlayLufs)},
        {"sfx/095", at(badge, kJingleLufs)},
        {"sfx/098", at(confirm, kUiLufs)},
        {"sfx/099", at(menuMove, kUiLufs)},
        {"sfx/003_003", at(boing, kBounceLufs)},
        {"sfx/003_004", at(rockThud, kBounceLufs)},
        {"sfx/003_005", at(plop, kBounceLufs)},
        {"sfx/003_007", at(chipBounce, kBounceLufs)},
        {"sfx/003_008", at(bubble, kBounceLufs)},
        {"sfx/003_010", at(whoo, kBounceLufs)},
        {"sfx/003_016", at(bleat, kBounceLufs)},
    };
}

} // namespace assetgen
