// The music channel of gxtkAudio. A track is decoded whole, off the main thread, so starting a
// long tune never stalls a frame: PlayMusic opens the file on the main thread and hands it to
// a worker that runs the device's trackDecoder, closes the file and then raises `ready`
// (release). Update() sees the flag (acquire), joins the worker, uploads the PCM and plays it
// on channel kMusicChannel, so every OpenAL call stays on the main thread. A decode that is
// stopped or replaced runs on unheard and is joined once done, or by the destructor. Where no
// thread can be started (a single-threaded browser build), the track is decoded at once on the
// main thread and adopted by the next Update() the same way.
#include <cstdio>
#include <new>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "audio/gxtkAudio.h"

namespace {

// Niceness of the decoding thread: a tune may start a little later, but the decode must not
// take a core from the start-up loader's image decoding or from the renderer.
constexpr int kDecoderNice = 10;

// Decodes the request, closes its file and raises `ready`; everything it touches belongs to
// the request until then.
void decode(gxtkMusicDecode* job) {
    try {
        job->data = job->decoder(job->path, job->file, &job->length, &job->channels, &job->bytes,
                                 &job->hertz);
    } catch (const std::bad_alloc&) {
        job->data.reset(); // a track too long for memory is a track that does not decode
    }
    std::fclose(job->file);
    job->file = nullptr;
    job->ready.store(true, std::memory_order_release);
}

// The worker thread's body.
void decodeTrack(gxtkMusicDecode* job) {
    // On Linux the nice value is per thread; a failure leaves the thread at normal priority.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kDecoderNice);
    decode(job);
}

// Joins the worker of a finished request; one decoded on the main thread has none.
void joinWorker(gxtkMusicDecode& job) {
    if (job.worker.joinable()) job.worker.join();
}

bool finished(const gxtkMusicDecode& job) {
    return job.ready.load(std::memory_order_acquire);
}

} // namespace

// ---- music operations ----

int gxtkAudio::PlayMusic(const String& path, int flags) {
    StopMusic();
    KpGame* host = KpGame::_game;
    FILE* file = host ? host->OpenFile(path, u"rb") : nullptr;
    if (!file) return -1;
    if (!live_) {
        std::fclose(file); // nothing could ever be heard: no need to decode
        return 0;
    }

    auto job = std::make_unique<gxtkMusicDecode>();
    job->path = path;
    job->file = file;
    job->decoder = trackDecoder;
    try {
        job->worker = std::thread(decodeTrack, job.get());
    } catch (const std::system_error&) {
        decode(job.get());
    }
    decoding_ = std::move(job);
    gxtkChannel& music = channels[kMusicChannel];
    music.flags = flags;
    music.state = kChannelPlaying;
    return 0;
}

void gxtkAudio::StopMusic() {
    StopChannel(kMusicChannel);
}
void gxtkAudio::PauseMusic() {
    PauseChannel(kMusicChannel);
}
void gxtkAudio::ResumeMusic() {
    ResumeChannel(kMusicChannel);
}
int gxtkAudio::MusicState() {
    return ChannelState(kMusicChannel);
}
void gxtkAudio::SetMusicVolume(float volume) {
    SetVolume(kMusicChannel, volume);
}

// ---- adopting a decoded track ----

void gxtkAudio::Update() {
    if (live_) advanceFades();
    if (!kpAudioDiscardList().empty()) FlushDiscarded();
    if (!abandoned_.empty()) reapAbandoned();
    if (!decoding_ || !finished(*decoding_)) return;
    std::unique_ptr<gxtkMusicDecode> done = std::move(decoding_);
    joinWorker(*done);
    adoptTrack(*done);
}

void gxtkAudio::adoptTrack(gxtkMusicDecode& done) {
    gxtkChannel& music = channels[kMusicChannel];
    const int wanted = music.state; // playing or paused: a stop abandons the decode
    music.state = kChannelStopped;
    if (!done.data) return;

    FlushDiscarded();
    auto sample = std::make_shared<gxtkSample>();
    upload(*sample, done.data.get(), done.length, done.channels, done.bytes, done.hertz);
    done.data.reset();
    if (playSample(sample, kMusicChannel, music.flags) != 0) return;
    // Re-apply what happened while the track was decoding: a pause by the game keeps the
    // channel paused; a suspended device holds the source until Resume() plays it again.
    if (wanted == kChannelPaused) {
        alSourcePause(music.source);
        music.state = kChannelPaused;
    } else if (suspended_) {
        alSourcePause(music.source);
    }
}

// ---- abandoned decodes ----

void gxtkAudio::abandonTrack() {
    if (decoding_) abandoned_.push_back(std::move(decoding_));
}

void gxtkAudio::reapAbandoned() {
    std::erase_if(abandoned_, [](const std::unique_ptr<gxtkMusicDecode>& job) {
        if (!finished(*job)) return false;
        joinWorker(*job);
        return true;
    });
}

void gxtkAudio::joinDecoders() {
    abandonTrack();
    for (const std::unique_ptr<gxtkMusicDecode>& job : abandoned_) joinWorker(*job);
    abandoned_.clear();
}
