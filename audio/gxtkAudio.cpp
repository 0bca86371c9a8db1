// gxtkAudio: opening OpenAL, the channel operations, lazy and borrowed sources, sample
// loading through the host's decoder, and the flush of the discard list. The music channel's
// operations first settle its track decoding (Update, gxtkMusic.cpp).
#include "audio/gxtkAudio.h"

#include <climits>
#include <cmath>

#include "runtime/kp_error.h"
#include "runtime/kp_game.h"

namespace {

// OpenAL buffer format by bytes per sample and channel count; anything else is format 0,
// which OpenAL rejects on upload.
struct SampleFormat {
    int bytes;
    int channels;
    ALenum format;
};
constexpr SampleFormat kFormats[] = {
    {1, 1, AL_FORMAT_MONO8},
    {1, 2, AL_FORMAT_STEREO8},
    {2, 1, AL_FORMAT_MONO16},
    {2, 2, AL_FORMAT_STEREO16},
};

ALenum formatOf(int bytes, int channels) {
    for (const SampleFormat& f : kFormats) {
        if (f.bytes == bytes && f.channels == channels) return f.format;
    }
    return 0;
}

} // namespace

gxtkAudio* gxtkAudio::audio = nullptr;
gxtkAudio* kp_audio_device = nullptr;

void kp_audio_SetAudioDevice(gxtkAudio* device) {
    kp_audio_device = device;
}

// ---- lifetime ----

gxtkAudio::gxtkAudio() {
    audio = this;
    // Buffer names left from an earlier device mean nothing to this one.
    kpAudioDiscardList().clear();

    alcDevice = alcOpenDevice(nullptr);
    if (!alcDevice) kpPrint("OpenAl error: alcOpenDevice failed");
    if (alcDevice) alcContext = alcCreateContext(alcDevice, nullptr);
    if (!alcContext) kpPrint("OpenAl error: alcCreateContext failed");
    // Making "no context" current would succeed, yet leave nothing to play on.
    live_ = alcContext && alcMakeContextCurrent(alcContext);
    if (!live_) kpPrint("OpenAl error: alcMakeContextCurrent failed");
    if (!live_) return;

    // Positions give a direction only, never distance attenuation.
    alDistanceModel(AL_NONE);
    findMixerClock();
    obtainSource(kMusicChannel);
}

gxtkAudio::~gxtkAudio() {
    joinDecoders();
    if (live_) {
        for (gxtkChannel& c : channels) {
            if (c.source == 0) continue;
            alSourceStop(c.source);
            alSourcei(c.source, AL_BUFFER, 0);
            alDeleteSources(1, &c.source);
            c.source = 0;
        }
        releaseSpares(); // fades still running are cut: the output closes with them
    }
    for (gxtkChannel& c : channels) c.sample.reset();
    if (live_) FlushDiscarded();
    kpAudioDiscardList().clear();
    if (live_) alcMakeContextCurrent(nullptr);
    if (alcContext) alcDestroyContext(alcContext);
    if (alcDevice) alcCloseDevice(alcDevice);
    if (audio == this) audio = nullptr;
    if (kp_audio_device == this) kp_audio_device = nullptr;
}

// ---- whole device ----

void gxtkAudio::Suspend() {
    Update();
    suspended_ = true; // a track adopted from now on starts paused at its source
    // Each sounding source fades and is paused by a later Update(); channel states stay.
    for (int i = 0; i < kChannels; ++i) {
        if (channels[i].state == kChannelPlaying) fadeOut(i, FadeKind::Pause);
    }
}

void gxtkAudio::Resume() {
    Update();
    suspended_ = false;
    for (int i = 0; i < kChannels; ++i) {
        if (channels[i].state != kChannelPlaying) continue;
        if (fades_[i].kind == FadeKind::Pause) {
            endFade(i, true); // not paused yet: it plays on at its own gain
        } else if (sourceState(channels[i].source) == AL_PAUSED) {
            alSourcePlay(channels[i].source); // the mixer fades a starting source in
        }
    }
}

// ---- samples ----

std::shared_ptr<gxtkSample> gxtkAudio::LoadSample(const String& path) {
    FlushDiscarded();
    auto sample = std::make_shared<gxtkSample>();
    if (!LoadSample__UNSAFE__(*sample, path)) return nullptr;
    return sample;
}

bool gxtkAudio::LoadSample__UNSAFE__(gxtkSample& sample, const String& path) {
    KpGame* host = KpGame::_game;
    if (!host) return false;
    int length = 0, channelCount = 0, bytes = 0, hertz = 0;
    KpBytes data = host->LoadAudioData(path, &length, &channelCount, &bytes, &hertz);
    if (!data) return false;
    if (!live_) return true; // a silent device keeps the sample without a buffer
    upload(sample, data.get(), length, channelCount, bytes, hertz);
    return true;
}

void gxtkAudio::upload(gxtkSample& sample, const unsigned char* data, int length, int channelCount,
                       int bytes, int hertz) {
    long long size = static_cast<long long>(length) * channelCount * bytes;
    if (size < 0 || size > INT_MAX) size = 0;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, formatOf(bytes, channelCount), data, static_cast<ALsizei>(size), hertz);
    sample.buffer = buffer;
}

// ---- channels ----

int gxtkAudio::PlaySample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags) {
    if (channel == kMusicChannel) {
        Update();
        abandonTrack(); // a sample played on the music channel replaces the pending track
    }
    return playSample(sample, channel, flags);
}

int gxtkAudio::playSample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags) {
    FlushDiscarded();
    gxtkChannel* c = channelAt(channel);
    if (!c || !sample) return -1;
    if (obtainSource(channel) == 0) return -1;

    // A sound still fading out fades on beside the new one; without a spare it is cut.
    if (fades_[channel].kind != FadeKind::None && !handOff(channel)) endFade(channel, true);
    const ALuint source = c->source;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
    c->sample = sample; // may release the channel's previous sample to the discard list
    c->flags = flags;
    c->state = kChannelPlaying;
    return 0;
}

void gxtkAudio::StopChannel(int channel) {
    if (channel == kMusicChannel) {
        Update();
        abandonTrack();
    }
    gxtkChannel* c = channelAt(channel);
    if (!c || c->state == kChannelStopped) return;
    if (fadeOut(channel, FadeKind::Stop)) {
        handOff(channel); // without a spare, the channel's own source ends the fade
    } else {
        endFade(channel, true);
        alSourceStop(c->source);
    }
    c->state = kChannelStopped;
}

void gxtkAudio::PauseChannel(int channel) {
    if (channel == kMusicChannel) Update();
    gxtkChannel* c = channelAt(channel);
    if (!c || c->state != kChannelPlaying) return;
    if (channel == kMusicChannel && decodingMusic()) {
        c->state = kChannelPaused; // the track starts paused when it arrives
        return;
    }
    if (sourceState(c->source) == AL_STOPPED) {
        c->state = kChannelStopped; // the sound ended by itself: nothing left to pause
        return;
    }
    if (!fadeOut(channel, FadeKind::Pause)) alSourcePause(c->source);
    c->state = kChannelPaused;
}

void gxtkAudio::ResumeChannel(int channel) {
    if (channel == kMusicChannel) Update();
    gxtkChannel* c = channelAt(channel);
    if (!c || c->state != kChannelPaused) return;
    if (channel == kMusicChannel && decodingMusic()) {
        c->state = kChannelPlaying; // the source still holds the previous track: leave it
        return;
    }
    c->state = kChannelPlaying;
    if (fades_[channel].kind == FadeKind::Pause) {
        endFade(channel, true); // still fading towards the pause: it carries on from here
        if (sourceState(c->source) == AL_STOPPED) c->state = kChannelStopped; // ran out
    } else {
        alSourcePlay(c->source);
    }
}

int gxtkAudio::ChannelState(int channel) {
    if (channel == kMusicChannel) Update();
    gxtkChannel* c = channelAt(channel);
    if (!c) return kChannelStopped;
    if (channel == kMusicChannel && decodingMusic()) return c->state; // its source is idle
    if (live_) settleFade(channel);
    if (c->state == kChannelPlaying && sourceState(c->source) == AL_STOPPED) {
        c->state = kChannelStopped;
    }
    return c->state;
}

void gxtkAudio::SetVolume(int channel, float volume) {
    ALuint source = obtainSource(channel);
    if (source == 0) return;
    // While a fade holds the source silent, the gain waits to be given back at its end.
    if (fades_[channel].kind != FadeKind::None) {
        fades_[channel].gain = volume;
    } else {
        alSourcef(source, AL_GAIN, volume);
    }
}

void gxtkAudio::SetPan(int channel, float pan) {
    if (ALuint source = obtainSource(channel)) {
        alSource3f(source, AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
    }
}

void gxtkAudio::SetRate(int channel, float rate) {
    if (ALuint source = obtainSource(channel)) alSourcef(source, AL_PITCH, rate);
}

// ---- discard list ----

void gxtkAudio::FlushDiscarded() {
    std::vector<ALuint>& discarded = kpAudioDiscardList();
    if (discarded.empty() || !live_) return;

    // A finished source still holds its buffer; let go of it so the buffer can be deleted.
    // Channels already marked stopped are included: a sound stopped or found ended earlier
    // would otherwise pin its buffer until the channel plays again.
    for (gxtkChannel& c : channels) {
        if (c.source == 0) continue;
        ALint state = sourceState(c.source);
        if (state == AL_STOPPED || state == AL_INITIAL) alSourcei(c.source, AL_BUFFER, 0);
    }
    // Deleting a buffer a playing or paused source holds fails: that one waits.
    size_t kept = 0;
    for (ALuint buffer : discarded) {
        alGetError();
        alDeleteBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) discarded[kept++] = buffer;
    }
    discarded.resize(kept);
}

// ---- internal ----

gxtkChannel* gxtkAudio::channelAt(int channel) {
    if (channel < 0 || channel >= kChannels) return nullptr;
    return &channels[channel];
}

ALuint gxtkAudio::obtainSource(int channel) {
    gxtkChannel* c = channelAt(channel);
    if (!c || !live_) return 0;
    if (c->source != 0) return c->source;

    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR && source != 0) {
        c->source = source;
        return source;
    }
    // The driver has no more voices: take an idle spare's, or the one of an effect channel
    // that has finished.
    if (ALuint spare = takeIdleSpare()) {
        c->source = spare;
        return spare;
    }
    for (int i = 0; i < kEffectChannels; ++i) {
        gxtkChannel& donor = channels[i];
        if (donor.source == 0 || ChannelState(i) != kChannelStopped) continue;
        endFade(i, false); // a stop still fading out ends now
        c->source = donor.source;
        donor.source = 0;
        return c->source;
    }
    return 0;
}

ALint gxtkAudio::sourceState(ALuint source) const {
    if (source == 0 || !live_) return AL_STOPPED;
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}
