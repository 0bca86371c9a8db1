// The audio device over OpenAL: 33 channels (0 to 31 effects, 32 music), samples and music.
#pragma once

#include "runtime/kp_object.h"

class gxtkAudio : public Object {
  public:
    gxtkAudio();
    void Suspend();
    void Resume();
};

extern gxtkAudio* kp_audio_device;
void kp_audio_SetAudioDevice(gxtkAudio* device);
