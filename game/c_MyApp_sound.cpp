// c_MyApp sound: numbered effects loaded from "sfx/NNN.wav" (or a theme's "sfx/NNN_TTT.wav")
// and played on 24 rotating voices, and one music track at a time from "sfx/NAME.ogg", both
// gated by the sound setting (0 silent, 1 all, 2 effects only, 3 music only). Leans on the
// audio module; a missing file leaves the effect silent.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "runtime/kp_error.h"

namespace {
constexpr int kNoLoop = 0;

bool effectsAllowed(int setting) {
    return setting == kSoundAll || setting == kEffectsOnly;
}
bool musicAllowed(int setting) {
    return setting == kSoundAll || setting == kMusicOnly;
}

// "sfx/" and the effect number written with at least three digits.
String effectBase(int n) {
    String digits = kpIntToString(n);
    String base = kpS("sfx/");
    if (n < 10) {
        base += u"00";
    } else if (n < 100) {
        base += u"0";
    }
    return base + digits;
}
} // namespace

int c_MyApp::p_LoadSFX(int n, int theme) {
    if (n < 0 || n >= kSoundSlots) return 0;
    String name = effectBase(n);
    // Appended piece by piece: `u"_" + temporary` inserts at the front, which GCC 12's
    // -Wrestrict misjudges as an overlapping copy in optimised builds.
    if (theme >= 0) {
        name += u"_";
        name += p_rstr(theme, 3, kpS("0"));
    }
    name += u".wav";
    m_sfx[n] = kp_audio_LoadSound(name);
    return 0;
}

int c_MyApp::p_PlaySFX(int n, float rate, float volume, float pan) {
    if (!effectsAllowed(m_settings[kSoundSetting])) return 0;
    m_sfxVoice = (m_sfxVoice + 1) % kSfxVoices;
    const int channel = m_sfxChannels[m_sfxVoice];
    kp_audio_StopChannel(channel);
    const c_Sound* sound = (n >= 0 && n < kSoundSlots) ? m_sfx[n].get() : nullptr;
    if (sound && sound->sample) kp_audio_PlaySound(sound, channel, kNoLoop);
    kp_audio_SetChannelRate(channel, rate);
    kp_audio_SetChannelVolume(channel, volume);
    kp_audio_SetChannelPan(channel, pan);
    return 0;
}

int c_MyApp::p_PlayTune(const String& name, int flags) {
    const String path = kpS("sfx/") + name + u".ogg";
    kpPrint(path);
    if (m_musicPlaying != 0) {
        kp_audio_StopMusic();
        m_musicPlaying = 0;
    }
    if (musicAllowed(m_settings[kSoundSetting])) {
        kp_audio_PlayMusic(path, flags);
        m_musicPlaying = 1;
    }
    return 0;
}

int c_MyApp::p_StopTune() {
    kp_audio_StopMusic();
    m_musicPlaying = 0;
    return 0;
}
