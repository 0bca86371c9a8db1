// Fades of the audio device: a source stopped or paused mid-sound would drop from its level to
// silence between two samples, which the speaker gives back as a click. Instead its gain is set
// to zero, which the mixer ramps down over the first samples of its next block, and the stop
// or pause follows once the source's play position shows that block was mixed. Pauses and the
// music's stop wait for that here (a bounded few blocks); effects' stops finish in a later
// tick, so effects stopped in play never hold up the tick. (A source that starts or resumes
// needs nothing: the mixer fades it in.)
#include <chrono>
#include <thread>

#include "audio/gxtkAudio.h"

namespace {

// The mixer must have moved the source on twice: once may be the block already being mixed
// when the gain changed.
constexpr int kBlocksMixed = 2;
constexpr auto kWaitStep = std::chrono::milliseconds(1);
constexpr auto kLongestWait = std::chrono::milliseconds(250);

} // namespace

bool gxtkAudio::fadeOut(int channel, FadeKind kind) {
    gxtkChannel& c = channels[channel];
    Fade& f = fades_[channel];
    if (!live_ || c.source == 0 || sourceState(c.source) != AL_PLAYING) return false;
    if (f.kind == FadeKind::None) alGetSourcef(c.source, AL_GAIN, &f.gain);
    f.kind = kind;
    f.mixerBlocks = 0;
    alGetSourcei(c.source, AL_SAMPLE_OFFSET, &f.offset);
    alSourcef(c.source, AL_GAIN, 0.0f);
    return true;
}

bool gxtkAudio::fadeDone(int channel) {
    Fade& f = fades_[channel];
    const ALuint source = channels[channel].source;
    if (source == 0 || sourceState(source) != AL_PLAYING) return true;
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    if (offset != f.offset) {
        f.offset = offset;
        ++f.mixerBlocks;
    }
    return f.mixerBlocks >= kBlocksMixed;
}

void gxtkAudio::endFade(int channel, bool cancel) {
    Fade& f = fades_[channel];
    const ALuint source = channels[channel].source;
    if (f.kind == FadeKind::None) return;
    if (source != 0) {
        if (!cancel && f.kind == FadeKind::Stop) alSourceStop(source);
        if (!cancel && f.kind == FadeKind::Pause) alSourcePause(source);
        alSourcef(source, AL_GAIN, f.gain);
    }
    f.kind = FadeKind::None;
}

void gxtkAudio::finishFades(FadeKind kind) {
    const auto giveUp = std::chrono::steady_clock::now() + kLongestWait;
    for (;;) {
        bool waiting = false;
        for (int i = 0; i < kChannels; ++i) {
            if (fades_[i].kind == kind && !fadeDone(i)) waiting = true;
        }
        if (!waiting || std::chrono::steady_clock::now() >= giveUp) break;
        std::this_thread::sleep_for(kWaitStep);
    }
    for (int i = 0; i < kChannels; ++i) {
        if (fades_[i].kind == kind) endFade(i, false);
    }
}

void gxtkAudio::advanceFades() {
    for (int i = 0; i < kChannels; ++i) {
        if (fades_[i].kind != FadeKind::None && fadeDone(i)) endFade(i, false);
    }
}
