// The audio device over OpenAL: kChannels numbered channels (0 to 31 for effects, 32 for
// music), each with a lazily created source. When the driver refuses another source, a channel
// borrows the source of an effect channel that has stopped; a play that finds none returns -1.
// Discarded sample buffers are deleted at the next flush that finds them free (gxtkSample.h).
// Music is decoded whole on a worker thread (gxtkMusic.cpp) and played from one buffer once
// Update() sees it finished; every OpenAL call stays on the main thread. Without a sound card
// the constructor reports its failures once and the device stays silent: every later call does
// nothing and touches no OpenAL state, and music is never decoded. A source that is stopped
// or paused while it sounds is faded out rather than cut, without any call waiting for the
// fade (gxtkFade.cpp).
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "audio/gxtkSample.h"
#include "runtime/kp_game.h"
#include "runtime/kp_object.h"
#include "runtime/kp_string.h"

constexpr int kChannels = 33;
constexpr int kEffectChannels = 32; // channels 0 to 31; borrowing only looks among these
constexpr int kMusicChannel = 32;
// Spare sources that carry stopped sounds through their fade-out while their channels play on;
// the channels the game sees stay kChannels. Made only when needed, and only while the driver
// has voices to spare.
constexpr int kHandoffSources = 8;

// Channel states as answered by ChannelState.
constexpr int kChannelStopped = 0;
constexpr int kChannelPlaying = 1;
constexpr int kChannelPaused = 2;

// One channel: its source (0 until first needed), the last sample and flags played on it.
struct gxtkChannel {
    ALuint source = 0;
    std::shared_ptr<gxtkSample> sample;
    int flags = 0; // any non-zero value loops
    int state = kChannelStopped;
};

// The decoder a music track runs through on its worker thread: path (which picks the format),
// an open file it must not close, and the PCM's length, channels, bytes per sample and rate.
using gxtkTrackDecoder = KpBytes (*)(const String& path, FILE* file, int* length, int* channels,
                                     int* bytes, int* hertz);

// One track decoding: the main thread fills the request before starting the worker; the
// worker fills the result and raises `ready` last; the main thread reads the result after.
struct gxtkMusicDecode {
    String path;
    FILE* file = nullptr; // the worker's to close
    gxtkTrackDecoder decoder = nullptr;

    KpBytes data; // none when the track does not decode
    int length = 0;
    int channels = 0;
    int bytes = 0;
    int hertz = 0;

    std::atomic<bool> ready{false};
    std::thread worker;
};

class gxtkAudio : public Object {
  public:
    static gxtkAudio* audio; // the device instance, set by the constructor

    ALCdevice* alcDevice = nullptr;
    ALCcontext* alcContext = nullptr;
    gxtkChannel channels[kChannels];
    // Decodes music tracks; pure and free of globals, since it runs off the main thread.
    gxtkTrackDecoder trackDecoder = kpDecodeAudioFile;

    // Opens the default device and makes a context current; failures print one line each.
    gxtkAudio();
    // Stops and releases every source, deletes what the discard list holds and closes the
    // device (the game's device lives to the end of the process; tests open and close several).
    ~gxtkAudio() override;
    gxtkAudio(const gxtkAudio&) = delete;
    gxtkAudio& operator=(const gxtkAudio&) = delete;

    // Pause and restart the playing channels' sources without changing channel states.
    virtual void Suspend();
    virtual void Resume();
    // Loads a decoded file into a new sample; none when the file cannot be read.
    virtual std::shared_ptr<gxtkSample> LoadSample(const String& path);
    virtual bool LoadSample__UNSAFE__(gxtkSample& sample, const String& path);
    // Plays sample on channel (looping when flags is non-zero): 0, or -1 without a source.
    virtual int PlaySample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags);
    virtual void StopChannel(int channel);
    virtual void PauseChannel(int channel);
    virtual void ResumeChannel(int channel);
    // 0 stopped, 1 playing, 2 paused; notices sounds that ended by themselves.
    virtual int ChannelState(int channel);
    // Gain, direction (pan is an angle in radians) and speed of the channel's source; they
    // stay on the source for later plays.
    virtual void SetVolume(int channel, float volume);
    virtual void SetPan(int channel, float pan);
    virtual void SetRate(int channel, float rate);
    // Opens the track and starts decoding it on a worker thread: -1 when the file cannot be
    // opened, else 0 at once with the music channel playing (1). The track sounds from the
    // Update() after its decoding ends; a track that does not decode leaves the channel stopped.
    virtual int PlayMusic(const String& path, int flags);
    virtual void StopMusic();
    virtual void PauseMusic();
    virtual void ResumeMusic();
    virtual int MusicState();
    virtual void SetMusicVolume(float volume);

    // Starts a music track whose decoding has finished, as paused or suspended as the game
    // asked meanwhile, joins abandoned decoders that are done, and deletes discarded buffers
    // no source holds any more (a replaced tune's, once its fade has ended, even while no other
    // sound plays). Run once per tick and at the start of every music-channel operation; only
    // pointer tests when nothing is decoding or discarded.
    void Update();
    // Deletes the discarded buffers that no source holds any more; the rest wait.
    void FlushDiscarded();
    // Whether a context is current, i.e. whether the device makes any sound at all.
    bool Live() const { return live_; }
    // Whether a music track is still decoding, or decoded and not yet taken up by Update().
    bool MusicDecoding() const { return decodingMusic(); }

  private:
    gxtkChannel* channelAt(int channel);
    // The channel's source, created or borrowed on first need; 0 when none can be had.
    ALuint obtainSource(int channel);
    ALint sourceState(ALuint source) const;
    // PlaySample without the music channel's decode handling.
    int playSample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags);
    // Gives a decoded PCM block its OpenAL buffer; shared by samples and music tracks.
    void upload(gxtkSample& sample, const unsigned char* data, int length, int channelCount,
                int bytes, int hertz);

    // Music decoding (gxtkMusic.cpp). While decodingMusic() the music channel's state lives
    // only in its record: its source is stopped and may still hold the previous track.
    bool decodingMusic() const { return decoding_ != nullptr; }
    void adoptTrack(gxtkMusicDecode& done);
    // Lets the running decode finish unheard; it is joined once done (reapAbandoned).
    void abandonTrack();
    void reapAbandoned();
    void joinDecoders();

    // Fades (gxtkFade.cpp). A fade lowers a sounding source's gain to silence, which the
    // mixer ramps over its next block, and ends with the stop or pause once the mixer has
    // mixed past the change, in a later Update() or state query: no call waits for it. A
    // stopped sound fades on one of the spare sources while its channel plays on.
    enum class FadeKind { None, Stop, Pause };
    struct Fade {
        FadeKind kind = FadeKind::None;
        float gain = 1.0f;          // the channel's own gain, given back when the fade ends
        ALCint64SOFT startedNs = 0; // the mixer's clock when the fade began
        ALint offset = 0;           // without that clock: the source's offset when last seen
        int mixerBlocks = 0;        // and the times it has moved since the fade began
    };
    // A spare source: idle, or carrying a stopped sound to the end of its fade.
    struct Handoff {
        ALuint source = 0; // made on first need
        Fade fade;         // kind None while idle
    };
    // Starts fading the channel's source if it is sounding; false (nothing done) otherwise.
    bool fadeOut(int channel, FadeKind kind);
    // Whether the mixer has mixed the fade's source past its gain change.
    bool fadeDone(ALuint source, Fade& f) const;
    // Finds the mixer's clock and block length, where the library tells them (gxtkFade.cpp).
    void findMixerClock();
    // Nanoseconds of output mixed since the device opened; 0 without the clock.
    ALCint64SOFT mixerClock() const;
    // Stops or pauses as the fade asked and gives the gain back; cancel skips the stop or pause.
    void endFade(int channel, bool cancel);
    // Ends the channel's fade if the mixer has caught up with it.
    void settleFade(int channel);
    // Ends the fades the mixer has caught up with, spare sources' too; once per tick.
    void advanceFades();
    // Moves the channel's fading sound to an idle spare source, whose own source the channel
    // takes with the channel's settings; false when no spare can be had.
    bool handOff(int channel);
    // An idle spare's source, given up for a channel when the driver has no more; 0 if none.
    ALuint takeIdleSpare();
    void releaseSpares();

    bool live_ = false;
    bool suspended_ = false; // between Suspend() and Resume()
    Fade fades_[kChannels];
    Handoff handoffs_[kHandoffSources];
    LPALCGETINTEGER64VSOFT clockQuery_ = nullptr; // none: fades count offset moves instead
    ALCint64SOFT blockNs_ = 0;                    // one mixer block, in nanoseconds
    std::unique_ptr<gxtkMusicDecode> decoding_;
    std::vector<std::unique_ptr<gxtkMusicDecode>> abandoned_;
};

// The device the audio module plays on; set when the game starts.
extern gxtkAudio* kp_audio_device;
void kp_audio_SetAudioDevice(gxtkAudio* device);
