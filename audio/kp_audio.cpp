// The audio module's functions: path mapping and forwarding to the installed device.
#include "audio/kp_audio.h"

#include "runtime/kp_data.h"

std::unique_ptr<c_Sound> kp_audio_LoadSound(const String& path) {
    if (!kp_audio_device) return nullptr;
    std::shared_ptr<gxtkSample> sample = kp_audio_device->LoadSample(kp_data_FixDataPath(path));
    if (!sample) return nullptr;
    return std::make_unique<c_Sound>(std::move(sample));
}

int kp_audio_PlaySound(const c_Sound* sound, int channel, int flags) {
    if (!kp_audio_device || !sound || !sound->sample) return -1;
    return kp_audio_device->PlaySample(sound->sample, channel, flags);
}

void kp_audio_StopChannel(int channel) {
    if (kp_audio_device) kp_audio_device->StopChannel(channel);
}

void kp_audio_SetChannelVolume(int channel, float volume) {
    if (kp_audio_device) kp_audio_device->SetVolume(channel, volume);
}

void kp_audio_SetChannelPan(int channel, float pan) {
    if (kp_audio_device) kp_audio_device->SetPan(channel, pan);
}

void kp_audio_SetChannelRate(int channel, float rate) {
    if (kp_audio_device) kp_audio_device->SetRate(channel, rate);
}

int kp_audio_PlayMusic(const String& path, int flags) {
    if (!kp_audio_device) return -1;
    return kp_audio_device->PlayMusic(kp_data_FixDataPath(path), flags);
}

void kp_audio_StopMusic() {
    if (kp_audio_device) kp_audio_device->StopMusic();
}

void kp_audio_PauseMusic() {
    if (kp_audio_device) kp_audio_device->PauseMusic();
}

void kp_audio_ResumeMusic() {
    if (kp_audio_device) kp_audio_device->ResumeMusic();
}
