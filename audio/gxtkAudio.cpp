// The audio device (being built): silent for now.
#include "audio/gxtkAudio.h"

gxtkAudio* kp_audio_device = nullptr;

gxtkAudio::gxtkAudio() = default;
void gxtkAudio::Suspend() {}
void gxtkAudio::Resume() {}
void kp_audio_SetAudioDevice(gxtkAudio* device) { kp_audio_device = device; }
