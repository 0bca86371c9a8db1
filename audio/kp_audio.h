// The audio module: what the game calls to load and play sounds and music on the installed
// device (kp_audio_device). Names given by the game are mapped with kp_data_FixDataPath.
// Every call does nothing (and loads nothing) while no device is installed.
#pragma once

#include <memory>

#include "audio/gxtkAudio.h"

// A loaded sound as the game holds it: a thin owner of the device's sample.
class c_Sound : public Object {
  public:
    std::shared_ptr<gxtkSample> sample;

    explicit c_Sound(std::shared_ptr<gxtkSample> loaded) : sample(std::move(loaded)) {}
};

// The sound at path, or none when the file is missing or unreadable.
std::unique_ptr<c_Sound> kp_audio_LoadSound(const String& path);
// Plays the sound on channel (looping when flags is non-zero); nothing for a none sound.
// 0, or -1 when nothing could be played.
int kp_audio_PlaySound(const c_Sound* sound, int channel, int flags);
void kp_audio_StopChannel(int channel);
void kp_audio_SetChannelVolume(int channel, float volume);
void kp_audio_SetChannelPan(int channel, float pan);
void kp_audio_SetChannelRate(int channel, float rate);
// Starts a music track (looping when flags is non-zero): 0, or -1 when it cannot be loaded.
int kp_audio_PlayMusic(const String& path, int flags);
void kp_audio_StopMusic();
void kp_audio_PauseMusic();
void kp_audio_ResumeMusic();
