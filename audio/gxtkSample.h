// One loaded sound held in an OpenAL buffer, and the process-wide discard list of buffers
// waiting to be deleted. A discarded buffer may still be attached to a playing or paused
// source, so it is not deleted at once: the audio device deletes the listed buffers at its
// next flush (gxtkAudio::FlushDiscarded) once no source holds them any more.
#pragma once

#include <AL/al.h>

#include <vector>

#include "runtime/kp_object.h"

class gxtkSample : public Object {
  public:
    ALuint buffer = 0; // 0 once discarded (or when no buffer could be made)

    gxtkSample() = default;
    // Writes "Discarding sample" and queues the buffer for deletion.
    ~gxtkSample() override;
    gxtkSample(const gxtkSample&) = delete;
    gxtkSample& operator=(const gxtkSample&) = delete;

    // Queues the buffer on the discard list and forgets it; nothing when already discarded.
    void Discard();
};

// The buffer names waiting for deletion, in the order they were discarded.
std::vector<ALuint>& kpAudioDiscardList();
