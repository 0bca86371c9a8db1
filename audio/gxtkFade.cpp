// Fades of the audio device: a source stopped or paused mid-sound would drop from its level to
// silence between two samples, which the speaker gives back as a click. Instead its gain is set
// to zero, which the mixer ramps down over the first samples of its next block, and the stop
// or pause follows in a later Update() (or state query) once the mixer's clock (or, where the
// library has none, the source's play position) shows that block was mixed, however seldom
// the ticks come (5 a second while the game is suspended); no call waits for the mixer. A stopped
// sound still fading is handed to one of a few spare sources, so its channel is free at once for
// the next sound and the two overlap instead of the old one being cut; the channel takes the
// spare's source with its own gain, direction and speed. (A source that starts or resumes needs
// nothing: the mixer fades it in.)
#include "audio/gxtkAudio.h"

namespace {

// The mixer must have mixed two blocks: the first may be the one already being mixed when
// the gain changed.
constexpr int kBlocksMixed = 2;
constexpr double kNanoseconds = 1e9;

} // namespace

// ---- starting and ending ----

bool gxtkAudio::fadeOut(int channel, FadeKind kind) {
    gxtkChannel& c = channels[channel];
    Fade& f = fades_[channel];
    if (!live_ || c.source == 0 || sourceState(c.source) != AL_PLAYING) return false;
    if (f.kind == FadeKind::None) alGetSourcef(c.source, AL_GAIN, &f.gain);
    f.kind = kind;
    f.startedNs = mixerClock();
    f.mixerBlocks = 0;
    alGetSourcei(c.source, AL_SAMPLE_OFFSET, &f.offset);
    alSourcef(c.source, AL_GAIN, 0.0f);
    return true;
}

bool gxtkAudio::fadeDone(ALuint source, Fade& f) const {
    if (source == 0 || sourceState(source) != AL_PLAYING) return true;
    if (clockQuery_) return mixerClock() - f.startedNs >= kBlocksMixed * blockNs_;
    // Each move of the offset seen is at least one block; a slow tick may miss some.
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
    gxtkChannel& c = channels[channel];
    if (f.kind == FadeKind::None) return;
    if (c.source != 0) {
        if (!cancel && f.kind == FadeKind::Stop) alSourceStop(c.source);
        if (!cancel && f.kind == FadeKind::Pause) alSourcePause(c.source);
        alSourcef(c.source, AL_GAIN, f.gain);
        // A sound that ran out while fading towards a pause has nothing left to resume.
        if (c.state == kChannelPaused && sourceState(c.source) == AL_STOPPED) {
            c.state = kChannelStopped;
        }
    }
    f.kind = FadeKind::None;
}

void gxtkAudio::settleFade(int channel) {
    if (fades_[channel].kind != FadeKind::None &&
        fadeDone(channels[channel].source, fades_[channel])) {
        endFade(channel, false);
    }
}

void gxtkAudio::advanceFades() {
    for (int i = 0; i < kChannels; ++i) settleFade(i);
    for (Handoff& h : handoffs_) {
        if (h.fade.kind == FadeKind::None || !fadeDone(h.source, h.fade)) continue;
        alSourceStop(h.source);
        alSourcei(h.source, AL_BUFFER, 0);         // so the buffer of a discarded sample can go
        alSourcef(h.source, AL_GAIN, h.fade.gain); // audible again should a channel borrow it
        h.fade.kind = FadeKind::None;
    }
}

void gxtkAudio::findMixerClock() {
    ALCint refresh = 0; // mixer blocks per second
    alcGetIntegerv(alcDevice, ALC_REFRESH, 1, &refresh);
    if (refresh <= 0 || !alcIsExtensionPresent(alcDevice, "ALC_SOFT_device_clock")) return;
    clockQuery_ = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
        alcGetProcAddress(alcDevice, "alcGetInteger64vSOFT"));
    blockNs_ = static_cast<ALCint64SOFT>(kNanoseconds / refresh) + 1;
}

ALCint64SOFT gxtkAudio::mixerClock() const {
    ALCint64SOFT ns = 0;
    if (clockQuery_) clockQuery_(alcDevice, ALC_DEVICE_CLOCK_SOFT, 1, &ns);
    return ns;
}

// ---- spare sources ----

bool gxtkAudio::handOff(int channel) {
    Fade& f = fades_[channel];
    gxtkChannel& c = channels[channel];
    if (f.kind == FadeKind::None || c.source == 0) return false;
    Handoff* spare = nullptr;
    for (Handoff& h : handoffs_) {
        if (h.fade.kind == FadeKind::None) {
            spare = &h;
            break;
        }
    }
    if (!spare) return false;
    if (spare->source == 0) {
        alGetError();
        ALuint made = 0;
        alGenSources(1, &made);
        if (alGetError() != AL_NO_ERROR || made == 0) return false; // the driver has no voice
        spare->source = made;
    }

    // The fresh source carries the channel's settings, as they stay on a channel's source.
    const ALuint fresh = spare->source;
    ALfloat position[3] = {0.0f, 0.0f, 0.0f};
    ALfloat pitch = 1.0f;
    alGetSourcefv(c.source, AL_POSITION, position);
    alGetSourcef(c.source, AL_PITCH, &pitch);
    alSourcefv(fresh, AL_POSITION, position);
    alSourcef(fresh, AL_PITCH, pitch);
    alSourcef(fresh, AL_GAIN, f.gain);
    alSourceStop(fresh);

    spare->source = c.source;
    spare->fade = f;
    spare->fade.kind = FadeKind::Stop; // whatever it was heading for, the sound is over
    f.kind = FadeKind::None;
    c.source = fresh;
    return true;
}

ALuint gxtkAudio::takeIdleSpare() {
    for (Handoff& h : handoffs_) {
        if (h.source == 0 || h.fade.kind != FadeKind::None) continue;
        const ALuint source = h.source;
        h.source = 0;
        return source;
    }
    return 0;
}

void gxtkAudio::releaseSpares() {
    for (Handoff& h : handoffs_) {
        if (h.source == 0) continue;
        alSourceStop(h.source);
        alSourcei(h.source, AL_BUFFER, 0);
        alDeleteSources(1, &h.source);
        h = Handoff{};
    }
}
