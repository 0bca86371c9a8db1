// The frame driver: one update tick of the game in its fixed order (hot keys, the async
// pump, music following pause, the update rate, pointer and touch sampling, the two input
// latches, one screen, the panels and the loader, iCade letters, the end of one-tick presses,
// the debug line, badge pop-ups, the player's notice), and the suspend, resume and fullscreen
// handlers.
#include <cmath>

#include "audio/gxtkAudio.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "input/kp_input.h"
#include "net/kp_asyncevent.h"
#include "runtime/kp_error.h"
#include "runtime/kp_game.h"

namespace {

constexpr int kKeyF1 = 112;
constexpr int kKeyF2 = 113;
constexpr int kKeyF4 = 115;
constexpr int kKeyF11 = 122;
constexpr int kOuyaBackButton = 14; // joystick 0's button that acts as back on the console
constexpr int kBackSlot = 19;       // m_buttons entry of the platform back key
constexpr int kOneTickButtons = 19; // entries 0 to 18 hold one-tick presses
constexpr int kOptionsSlideMax = 30;
constexpr int kSuspendedUpdateRate = 5;
constexpr int kWindowedWidth = 640;
constexpr int kWindowedHeight = 480;
constexpr float kUp = -3717.0f; // a touch slot that is up

// Intro overlay: two counts per tick up to this value, one after it, gone from kIntroEnd.
constexpr int kIntroFastUntil = 89;

// iCade cabinet letters: the press letter holds the button, the release letter frees it.
struct ICadeRow {
    char press;
    char release;
    int button;
};
constexpr ICadeRow kICadeLetters[] = {
    {'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},  {'Y', 'T', 13}, {'U', 'F', 14},
    {'I', 'M', 15}, {'O', 'G', 16}, {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'L', 'V', 17},
};

// Upper case for the letters a to z; every other character, however large, stays itself.
int upper(int c) {
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

// Device pixels to virtual units; a scale not yet known (before the first render) counts as 1.
int toVirtual(float device, float offset, float scale) {
    if (!(scale > 0.0f)) scale = 1.0f;
    return static_cast<int>((device - offset) / scale);
}

} // namespace

int c_MyApp::p_OnUpdate() {
    readBackKey();
    handleHotKeys();
    kp_asyncevent_UpdateAsyncEvents();
    musicFollowsPause();
    measureUpdateRate();
    samplePointer();
    updateLatches();
    if (m_loadStep == 0) {
        dispatchScreen();
        runPanels();
    }
    if (m_loadStep > 0) p_Loader();
    if (kp_BT3_iCadeControls == 1) decodeICade();
    for (int i = 0; i < kOneTickButtons; ++i) {
        if (m_buttons[i] == 1) m_buttons[i] = 0;
    }
    if (kp_BT3_DebugMode == 1 && m_screen != kScreenWaitStart) drawDebugLine();
    p_ShowBadges();
    // A save the host stored after it had returned (the browser's sync) may fail only now.
    if (kp_app__game->TakeLateSaveFailure()) noticeSaveFailed();
    showNotice();
    return 0;
}

void c_MyApp::readBackKey() {
    if (kp_BT3_isOuya == 1) {
        m_buttons[kBackSlot] = kp_input_JoyHit(kOuyaBackButton, 0) > 0 ? 1 : 0;
    } else {
        m_buttons[kBackSlot] = kp_input_KeyHit(kKeyBack);
    }
}

void c_MyApp::handleHotKeys() {
    if (kp_input_KeyHit(kKeyF1) != 0) kp_BT3_DebugMode = 1 - kp_BT3_DebugMode;
    if (kp_input_KeyHit(kKeyF2) != 0) m_hideOverlay = 1 - m_hideOverlay;
    if (kp_input_KeyHit(kKeyF11) != 0) p_FullscreenFlip();
    if (kp_input_KeyHit(kKeyF4) != 0) kpError(String());
    if (kp_input_KeyHit(kKeyClose) != 0) kpError(String());
}

void c_MyApp::musicFollowsPause() {
    if (kp_BT3_HasMusicStream != 1 || !kp_audio_device) return;
    if (m_paused != 0 && m_musicPlaying == 1) kp_audio_device->PauseMusic();
    if (m_paused == 0 && m_musicPlaying == 1) kp_audio_device->ResumeMusic();
}

void c_MyApp::measureUpdateRate() {
    int now = kp_app_Millisecs();
    // A clock that has not advanced keeps the previous instantaneous rate.
    if (now - m_updateMillis > 0) m_updateFpsNow = 1000 / (now - m_updateMillis);
    m_updateFps = (m_updateFps * 9 + m_updateFpsNow) / 10;
    m_updateMillis = kp_app_Millisecs();
}

void c_MyApp::samplePointer() {
    m_prevPointerX = m_pointerX;
    m_prevPointerY = m_pointerY;
    const float ox = kp_BT3_overscan;
    const float oy =
        kp_app__devWidth != 0 ? kp_BT3_overscan * kp_app__devHeight / kp_app__devWidth : 0.0f;
    m_pointerX = toVirtual(kp_input_MouseX(), ox, m_scaleX);
    m_pointerY = toVirtual(kp_input_MouseY(), oy, m_scaleY);
    const bool mouseDown = kp_input_KeyDownThisUpdate(kKeyMouseLeft);
    if (m_prevMouseDown == 0 && mouseDown) {
        // A fresh press never shows a jump from the last position.
        m_prevPointerX = m_pointerX;
        m_prevPointerY = m_pointerY;
    }
    m_pointerDown = mouseDown ? 1 : 0;
    m_mouseHit = kp_input_KeyHit(kKeyMouseLeft);

    for (int slot = 0; slot < kTouchSlots; ++slot) {
        m_touchDown[slot] = 0;
        m_touchX[slot] = static_cast<int>(kUp);
        m_touchY[slot] = static_cast<int>(kUp);
        if (!kp_input_KeyDownThisUpdate(kKeyTouchFirst + slot)) continue;
        m_touchDown[slot] = 1;
        m_touchX[slot] = toVirtual(kp_input_TouchX(slot), ox, m_scaleX);
        m_touchY[slot] = toVirtual(kp_input_TouchY(slot), oy, m_scaleY);
        m_pointerDown = 1;
    }

    m_prevMouseDown = mouseDown ? 1 : 0;
    if (m_pointerDown == 0) m_pointerLatch = 0;
    if (kp_BT3_isOuya == 1) {
        m_pointerDown = 0;
        m_prevMouseDown = 0;
        m_pointerLatch = 0;
    }
}

void c_MyApp::updateLatches() {
    int pressed = 0;
    for (int button : kLatchButtons) {
        for (int player = 0; player < kPlayers; ++player) pressed += p_PlayKey(button, 1, player);
        if (pressed != 0) break;
    }
    if (pressed == 0) {
        m_backLatch = 0;
    } else if (m_backLatch != 1 && m_pointerLatch == 0 && m_screen == kScreenMenu) {
        int back = 0;
        for (int player = 0; player < kPlayers; ++player) back += p_PlayKey(kButtonBack, 1, player);
        // With no panel open the menu handles the back press itself.
        if (back != 0 && m_optionsOpen != 1) return;
    }
    if (m_optionsOpen == 1) {
        m_pointerLatch = 1;
        m_backLatch = 1;
    }
}

void c_MyApp::dispatchScreen() {
    switch (m_screen) {
    case kScreenMenu:
        p_Menu();
        if (m_introFrames <= kIntroFastUntil) {
            ++m_introFrames;
            p_FirstLoader();
            ++m_introFrames;
        } else if (m_introFrames < kIntroEnd) {
            p_FirstLoader();
            ++m_introFrames;
        }
        break;
    case kScreenToMenu:
        p_LoadMenu();
        m_screen = kScreenMenu;
        p_GameOver();
        return;
    case kScreenQuitBox:
        p_OuyaQuit();
        break;
    case kScreenWaitStart:
        p_WaitStart(0);
        break;
    case kScreenPlay:
        // Play freezes while paused; the overlay runs on every play tick, since it is what
        // starts a pause and what runs the pause panel.
        if (m_paused == 0) p_Game_Ball();
        p_InGame();
        break;
    case kScreenLevelLoad:
        if (m_miniLoadStep > 0) {
            p_MiniLoader();
        } else {
            p_LoadGame_Ball();
        }
        break;
    default:
        return;
    }
    if (m_screen == kScreenPlay && m_roundOver > 0) p_GameOver();
    if (m_screen == kScreenMenu || m_screen == kScreenToMenu) p_GameOver();
}

void c_MyApp::runPanels() {
    if (m_optionsOpen == 0) m_relockStage = 0;
    if (m_optionsOpen == 1 || m_optionsSlide > 0) {
        p_OptionBox();
        if (m_optionsOpen == 1 && m_optionsSlide < kOptionsSlideMax) ++m_optionsSlide;
        if (m_optionsOpen == 0 && m_optionsSlide > 0) --m_optionsSlide;
    }
}

void c_MyApp::decodeICade() {
    for (;;) {
        int c = kp_input_GetChar();
        if (c == 0) break;
        if (c < 0) continue;
        const int letter = upper(c);
        for (const ICadeRow& row : kICadeLetters) {
            if (letter == row.press) m_buttons[row.button] = 2;
            if (letter == row.release) m_buttons[row.button] = 0;
        }
    }
}

void c_MyApp::drawDebugLine() {
    p_ResetDraw();
    String line = kpIntToString(m_renderFps) + u":" + kpFloatToString(m_scaleX) + u"," +
                  kpFloatToString(m_scaleY);
    p_Text(16, kp_BT3_jscrh - 16, line, 0, 0, 0);
}

void c_MyApp::resetButtonsAndKeyboard() {
    kp_app__game->SetKeyboardEnabled(false);
    kp_BT3_iCadeControls = 0;
    for (int i = 0; i < kOneTickButtons; ++i) m_buttons[i] = 0;
}

void c_MyApp::pauseIfPlaying() {
    if (m_screen < kScreenPlay) {
        m_paused = 0;
        m_pauseDir = 0;
        m_pauseY = 0;
    } else {
        // A round in progress comes back paused with the panel already in place.
        m_paused = 1;
        m_pauseDir = 1;
        m_pauseY = static_cast<int>(kp_BT3_jscrh * 0.5f);
    }
}

int c_MyApp::p_OnSuspend() {
    resetButtonsAndKeyboard();
    pauseIfPlaying();
    kp_app_SetUpdateRate(kSuspendedUpdateRate);
    p_Save();
    return 0;
}

int c_MyApp::p_OnResume() {
    pauseIfPlaying();
    kp_app_SetUpdateRate(kUpdateRate);
    resetButtonsAndKeyboard();
    return 0;
}

int c_MyApp::p_FullscreenFlip() {
    m_fullscreen = 1 - m_fullscreen;
    // Every host takes the request through its device window: the desktop opens a window of
    // the desktop's size on the primary monitor, the browser asks the page for fullscreen.
    std::optional<KpDisplayMode> mode = kp_app__game->GetDesktopMode();
    if (m_fullscreen == 1 && mode) {
        kp_app__game->SetDeviceWindow(mode->width, mode->height, 1);
    } else {
        kp_app__game->SetDeviceWindow(kWindowedWidth, kWindowedHeight, 0);
    }
    return 0;
}
