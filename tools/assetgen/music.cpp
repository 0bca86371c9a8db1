// The composer: melody motifs (a seeded rhythm and contour per phrase letter, fitted to each
// bar's chord: chord tones on the beats, scale steps between, a cadence on the chord root to
// close each phrase), bass, arpeggio and pad from per-bar patterns, drums from step strings
// with a fill at each phrase end. Loops are rendered with their tails wrapped to the start and
// the echo run round the loop twice, so the end flows into the beginning without a seam.
#include "tools/assetgen/compose.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/loudness.h"
#include "tools/assetgen/mixing.h"
#include "tools/assetgen/noise.h"

namespace assetgen {

const std::vector<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kMinor = {0, 2, 3, 5, 7, 8, 10};
const std::vector<int> kDorian = {0, 2, 3, 5, 7, 9, 10};
const std::vector<int> kMixolydian = {0, 2, 4, 5, 7, 9, 10};
const std::vector<int> kLydian = {0, 2, 4, 6, 7, 9, 11};
const std::vector<int> kHarmonicMinor = {0, 2, 3, 5, 7, 8, 11};

namespace {

constexpr int kSteps = 16;      // sixteenths per bar
constexpr int kMotifSteps = 32; // a motif spans two bars
constexpr int kPhraseBars = 4;
constexpr float kTailSeconds = 3.0f;
constexpr float kEchoFeedback = 0.35f;
constexpr int kEchoSteps = 3;      // a dotted eighth
constexpr float kArpPan = 0.7f;    // the arpeggio sits right of centre
constexpr float kLeadPan = -0.6f;  // the lead a little left, its echo bouncing across
constexpr double kLowCutHz = 70.0; // rumble under the bass notes is cut from the mix

struct Note {
    int step;   // within the motif
    int length; // in steps
    int move;   // contour: scale steps (off the beat) or chord-tone steps (on the beat)
};

struct Score {
    const SongStyle& s;
    long stepFrames;
    std::vector<float> mix;
    std::vector<float> send;

    long at(long step) const {
        long frame = step * stepFrames;
        if (step % 2 == 1) frame += static_cast<long>(s.swing * static_cast<float>(stepFrames));
        return frame;
    }
    float seconds(int steps) const { return static_cast<float>(steps * stepFrames) / kMusicRate; }
    void play(std::vector<float>& buf, long step, int steps, const Instrument& in, float midi,
              float gain = 1) {
        Voice v;
        v.wave = in.wave;
        v.freq = noteHz(midi);
        v.env = in.env;
        v.volume = in.volume * gain;
        v.cutoff = in.cutoff;
        v.vibratoHz = 5.5f;
        v.vibratoDepth = in.vibrato;
        v.fmRatio = in.fmRatio;
        v.fmIndex = in.fmIndex;
        v.pan = in.pan;
        v.duty = in.duty;
        renderVoice(buf, 2, kMusicRate, at(step), seconds(steps) * 0.92f, v);
    }
};

std::vector<int> chordTones(const SongStyle& s, int degree) {
    std::vector<int> tones;
    for (int k = 0; k < 3; ++k) {
        int idx = degree + 2 * k;
        tones.push_back(s.scale[idx % 7] + 12 * (idx / 7));
    }
    return tones;
}

std::vector<Note> makeMotif(const SongStyle& s, char letter) {
    Rng rng(s.seed * 131u + static_cast<unsigned>(letter));
    std::vector<int> onsets;
    for (int i = 0; i < kMotifSteps; ++i) {
        float p = i % 8 == 0 ? 0.9f
                             : (i % 4 == 0 ? s.density + 0.25f
                                           : (i % 2 == 0 ? s.density : s.density * 0.3f));
        if (rng.unit() < p) onsets.push_back(i);
    }
    if (onsets.empty() || onsets.front() != 0) onsets.insert(onsets.begin(), 0);
    std::vector<Note> motif;
    for (size_t i = 0; i < onsets.size(); ++i) {
        int next = i + 1 < onsets.size() ? onsets[i + 1] : kMotifSteps;
        motif.push_back({onsets[i], std::min(next - onsets[i], 8), rng.pick(5) - 2});
    }
    return motif;
}

// All notes of the mode over a wide range, for stepping through the scale.
std::vector<int> scaleNotes(const SongStyle& s) {
    std::vector<int> notes;
    for (int oct = -3; oct <= 4; ++oct)
        for (int d : s.scale) notes.push_back(s.root + 12 * oct + d);
    return notes;
}

int nearestIndex(const std::vector<int>& notes, int midi) {
    int best = 0;
    for (int i = 1; i < static_cast<int>(notes.size()); ++i)
        if (std::abs(notes[i] - midi) < std::abs(notes[best] - midi)) best = i;
    return best;
}

int nearestChordTone(const SongStyle& s, int degree, int midi, int centre) {
    int best = midi, bestCost = 1000;
    for (int oct = -2; oct <= 3; ++oct) {
        for (int t : chordTones(s, degree)) {
            int n = s.root + 12 * oct + t;
            int cost = std::abs(n - midi) * 2 + std::max(0, std::abs(n - centre) - 9) * 3;
            if (cost < bestCost) {
                bestCost = cost;
                best = n;
            }
        }
    }
    return best;
}

int degreeOfBar(const SongStyle& s, int bar) {
    return s.progression[static_cast<size_t>(bar) % s.progression.size()];
}

void melody(Score& sc, int firstBar, int phrases) {
    const SongStyle& s = sc.s;
    std::vector<int> notes = scaleNotes(s);
    Instrument lead = s.lead;
    lead.pan = kLeadPan;
    int centre = s.root + 12 * s.leadOctave + 4;
    int pitch = centre;
    for (int p = 0; p < phrases; ++p) {
        std::vector<Note> motif = makeMotif(s, s.form[static_cast<size_t>(p)]);
        int phraseBar = firstBar + p * kPhraseBars;
        for (int half = 0; half < 2; ++half) {
            for (const Note& n : motif) {
                int step = half * kMotifSteps + n.step;
                int len = n.length;
                bool cadence = half == 1 && step >= kPhraseBars * kSteps - 8;
                if (cadence && step > kPhraseBars * kSteps - 8) continue;
                int bar = phraseBar + step / kSteps;
                int degree = degreeOfBar(s, bar);
                if (cadence) {
                    pitch = nearestChordTone(s, degree, pitch, centre);
                    int root = s.root + s.scale[static_cast<size_t>(degree)];
                    while (root < pitch - 6) root += 12;
                    while (root > pitch + 6) root -= 12;
                    pitch = root;
                    len = 8;
                } else if (step % 4 == 0) {
                    pitch = nearestChordTone(s, degree, pitch + n.move * 3, centre);
                } else {
                    int idx = nearestIndex(notes, pitch) + (n.move == 0 ? 1 : n.move);
                    idx = std::clamp(idx, 0, static_cast<int>(notes.size()) - 1);
                    // Keep to the lead's range by stepping back inside the scale, never off it.
                    while (idx > 0 && notes[static_cast<size_t>(idx)] > centre + 12) --idx;
                    while (idx + 1 < static_cast<int>(notes.size()) &&
                           notes[static_cast<size_t>(idx)] < centre - 8)
                        ++idx;
                    pitch = notes[static_cast<size_t>(idx)];
                }
                long global = static_cast<long>(phraseBar) * kSteps + step;
                sc.play(sc.mix, global, len, lead, static_cast<float>(pitch));
                sc.play(sc.send, global, len, lead, static_cast<float>(pitch));
            }
        }
    }
}

void band(Score& sc, int bar, bool phraseEnd, bool finalBar) {
    const SongStyle& s = sc.s;
    int degree = finalBar ? 0 : degreeOfBar(s, bar);
    std::vector<int> tones = chordTones(s, degree);
    long base = static_cast<long>(bar) * kSteps;
    // Bass.
    if (finalBar) {
        sc.play(sc.mix, base, kSteps, s.bass, static_cast<float>(s.root - 24 + tones[0]));
    } else {
        for (int i = 0; i < kSteps; ++i) {
            char c = s.bassPattern[static_cast<size_t>(i) % s.bassPattern.size()];
            if (c == '.') continue;
            int len = 1;
            while (i + len < kSteps &&
                   s.bassPattern[static_cast<size_t>(i + len) % s.bassPattern.size()] == '.')
                ++len;
            int t = c == 'F' ? tones[2] : (c == 'T' ? tones[1] : tones[0] + (c == 'O' ? 12 : 0));
            sc.play(sc.mix, base + i, len, s.bass, static_cast<float>(s.root - 24 + t));
        }
    }
    // Pad.
    if (s.pad.volume > 0) {
        for (int k = 0; k < 3; ++k) {
            Instrument in = s.pad;
            in.pan = static_cast<float>(k - 1);
            sc.play(sc.mix, base, kSteps, in,
                    static_cast<float>(s.root + tones[static_cast<size_t>(k)]));
        }
    }
    // Arpeggio.
    if (s.arp.volume > 0 && !finalBar) {
        for (int i = 0; i < kSteps; ++i) {
            char c = s.arpPattern[static_cast<size_t>(i) % s.arpPattern.size()];
            if (c < '0' || c > '3') continue; // a rest
            int k = c - '0';
            int t = k >= 3 ? tones[0] + 12 : tones[static_cast<size_t>(k)];
            Instrument in = s.arp;
            in.pan = kArpPan;
            sc.play(sc.mix, base + i, 1, in, static_cast<float>(s.root + 12 + t),
                    i % 4 == 0 ? 1.0f : 0.75f);
        }
    }
    // Drums.
    if (s.drumVolume <= 0) return;
    // The kick sweeps down to about 65 Hz, not into the sub-bass.
    Instrument kick{Wave::Sine, 0.45f * s.drumVolume, {0.001f, 0.12f, 0.0f, 0.03f}};
    Instrument snare{Wave::Noise, 0.35f * s.drumVolume, {0.001f, 0.1f, 0.0f, 0.04f}, 7000};
    Instrument hat{Wave::Noise, 0.12f * s.drumVolume, {0.001f, 0.025f, 0.0f, 0.01f}};
    float kickFrom = 45, kickTo = 36, snarePitch = 120, hatPitch = 135;
    switch (s.kit) {
    case 1: // electronic: a tight, higher kick, a bright clap, a hissing hat
        kick.env = {0.001f, 0.08f, 0.0f, 0.02f};
        kickFrom = 52;
        kickTo = 40;
        snare.cutoff = 10000;
        snare.env = {0.001f, 0.14f, 0.0f, 0.05f};
        hat.env = {0.001f, 0.04f, 0.0f, 0.02f};
        break;
    case 2: // brushes: a soft kick, a dull swishing snare, a quiet hat
        kick.volume *= 0.7f;
        snare.cutoff = 2500;
        snare.env = {0.01f, 0.2f, 0.0f, 0.08f};
        snare.volume *= 0.8f;
        hat.volume *= 0.6f;
        hat.cutoff = 6000;
        break;
    case 3: // chip: square-wave blips and pitched noise
        kick.wave = Wave::Square;
        kick.volume *= 0.35f;
        kick.cutoff = 1200;
        kickFrom = 57;
        kickTo = 45;
        snarePitch = 100;
        hatPitch = 140;
        break;
    default:
        break;
    }
    hat.pan = 0.6f;
    snare.pan = -0.15f;
    auto drum = [&](const Instrument& in, long step, float midi, float glideTo, float gain) {
        Voice v;
        v.wave = in.wave;
        v.freq = noteHz(midi);
        v.freqEnd = glideTo > 0 ? noteHz(glideTo) : 0;
        v.env = in.env;
        v.volume = in.volume * gain;
        v.cutoff = in.cutoff;
        v.pan = in.pan;
        v.seed = static_cast<uint32_t>(step) + 17;
        renderVoice(sc.mix, 2, kMusicRate, sc.at(step), in.env.attack + in.env.decay, v);
    };
    if (finalBar) {
        drum(kick, base, kickFrom, kickTo, 1);
        Instrument crash{Wave::Noise, 0.25f * s.drumVolume, {0.001f, 1.8f, 0.0f, 0.5f}, 11000};
        drum(crash, base, 130, 0, 1);
        return;
    }
    for (int i = 0; i < kSteps; ++i) {
        auto on = [&](const std::string& p) {
            return !p.empty() && p[static_cast<size_t>(i) % p.size()] != '.';
        };
        bool fill = phraseEnd && i >= 12 && !s.snare.empty();
        if (on(s.kick)) drum(kick, base + i, kickFrom, kickTo, 1);
        if (on(s.snare) || fill) {
            float g = fill ? 0.6f + 0.12f * static_cast<float>(i - 12) : 1.0f;
            drum(snare, base + i, snarePitch, 0, g);
            Instrument body{Wave::Triangle, 0.25f * s.drumVolume, {0.001f, 0.06f, 0.0f, 0.02f}};
            drum(body, base + i, 55, 50, g);
        }
        if (on(s.hat))
            drum(hat, base + i, hatPitch, 0,
                 s.hat[static_cast<size_t>(i) % s.hat.size()] == 'X' ? 1.6f : 1.0f);
    }
}

// Echo of the lead send: circular over a loop (two passes reach the steady state), linear
// for a song with an ending.
void addEcho(Score& sc, long frames, bool loop) {
    if (sc.s.echo <= 0) return;
    long d = sc.stepFrames * kEchoSteps;
    std::vector<float> out(sc.send.begin(), sc.send.begin() + frames * 2);
    for (int pass = 0; pass < (loop ? 2 : 1); ++pass) {
        for (long i = 0; i < frames; ++i) {
            long j = i - d;
            if (j < 0) {
                if (!loop) continue;
                j += frames;
            }
            // Ping-pong: each side repeats the other.
            out[static_cast<size_t>(i) * 2] = sc.send[static_cast<size_t>(i) * 2] +
                                              kEchoFeedback * out[static_cast<size_t>(j) * 2 + 1];
            out[static_cast<size_t>(i) * 2 + 1] = sc.send[static_cast<size_t>(i) * 2 + 1] +
                                                  kEchoFeedback * out[static_cast<size_t>(j) * 2];
        }
    }
    for (long i = 0; i < frames * 2; ++i)
        sc.mix[static_cast<size_t>(i)] +=
            (out[static_cast<size_t>(i)] - sc.send[static_cast<size_t>(i)]) * sc.s.echo;
}

// High-pass of the stereo mix. A loop is filtered as a circle: the filter runs through the
// loop once to settle, then again for real, so the end still joins the start.
void cutLows(std::vector<float>& mix, bool loop) {
    const double pi = 3.14159265358979;
    double w = 2 * pi * kLowCutHz / kMusicRate, alpha = std::sin(w) / (2 * 0.7071067811865476);
    double a0 = 1 + alpha, c = std::cos(w);
    Biquad hp;
    hp.b0 = (1 + c) / 2 / a0;
    hp.b1 = -(1 + c) / a0;
    hp.b2 = (1 + c) / 2 / a0;
    hp.a1 = -2 * c / a0;
    hp.a2 = (1 - alpha) / a0;
    size_t frames = mix.size() / 2;
    for (size_t ch = 0; ch < 2; ++ch) {
        Biquad f = hp;
        if (loop)
            for (size_t i = 0; i < frames; ++i) f.run(mix[i * 2 + ch]);
        for (size_t i = 0; i < frames; ++i)
            mix[i * 2 + ch] = static_cast<float>(f.run(mix[i * 2 + ch]));
    }
}

} // namespace

float barSeconds(const SongStyle& s) {
    long stepFrames = std::lround(kMusicRate * 60.0 / s.bpm / 4.0);
    return static_cast<float>(stepFrames * kSteps) / kMusicRate;
}

Sound composeSong(const SongStyle& s) {
    Score sc{s, std::lround(kMusicRate * 60.0 / s.bpm / 4.0), {}, {}};
    int phrases = static_cast<int>(s.form.size());
    int bars = s.introBars + phrases * kPhraseBars + (s.ending ? 1 : 0);
    long frames = static_cast<long>(bars) * kSteps * sc.stepFrames;
    long tail = static_cast<long>(kTailSeconds * kMusicRate);
    sc.mix.assign(static_cast<size_t>((frames + tail) * 2), 0.0f);
    sc.send.assign(sc.mix.size(), 0.0f);

    melody(sc, s.introBars, phrases);
    for (int b = 0; b < bars; ++b) {
        bool finalBar = s.ending && b == bars - 1;
        bool phraseEnd = b >= s.introBars && (b - s.introBars) % kPhraseBars == kPhraseBars - 1;
        band(sc, b, phraseEnd || (b == s.introBars - 1), finalBar);
    }
    if (s.ending) {
        // The last chord's melody note, held into the ring-out.
        int pitch = s.root + 12 * s.leadOctave;
        sc.play(sc.mix, static_cast<long>(bars - 1) * kSteps, kSteps, s.lead,
                static_cast<float>(pitch));
        sc.play(sc.send, static_cast<long>(bars - 1) * kSteps, kSteps, s.lead,
                static_cast<float>(pitch));
        long total = frames + tail;
        addEcho(sc, total, false);
        sc.mix.resize(static_cast<size_t>(total * 2));
        // Fade the last second so the file ends in silence.
        long fade = kMusicRate;
        for (long i = 0; i < fade; ++i) {
            float g = 1.0f - static_cast<float>(i) / static_cast<float>(fade);
            long f = total - fade + i;
            sc.mix[static_cast<size_t>(f) * 2] *= g;
            sc.mix[static_cast<size_t>(f) * 2 + 1] *= g;
        }
    } else {
        for (long i = 0; i < tail * 2; ++i) {
            sc.mix[static_cast<size_t>(i)] += sc.mix[static_cast<size_t>(frames * 2 + i)];
            sc.send[static_cast<size_t>(i)] += sc.send[static_cast<size_t>(frames * 2 + i)];
        }
        addEcho(sc, frames, true);
        sc.mix.resize(static_cast<size_t>(frames * 2));
    }
    cutLows(sc.mix, !s.ending);
    Sound out;
    out.rate = kMusicRate;
    out.channels = 2;
    out.samples = std::move(sc.mix);
    masterTune(out);
    normaliseLoudness(out, kTuneLufs, kTuneCeiling);
    return out;
}

} // namespace assetgen
