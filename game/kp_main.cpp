// The program's kpInit (every module global to its start value) and kpMain (the game).
#include "audio/gxtkAudio.h"
#include "game/c_MyApp.h"
#include "game/kp_bt3_globals.h"
#include "graphics/kp_graphics.h"
#include "input/c_InputDevice.h"
#include "net/kp_asyncevent.h"
#include "runtime/kp_random.h"

int kpInit() {
    kp_app_Init(KpGame::_game);
    kp_graphics_Init();
    kp_audio_SetAudioDevice(nullptr);
    kp_input_SetInputDevice(nullptr);
    kp_random_Seed = 1234;
    kp_asyncevent_Init();
    kp_BT3_Init();
    return 0;
}

int kpMain() {
    // The application lives until the process ends.
    new c_MyApp();
    return 0;
}
