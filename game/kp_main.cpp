// The program's kpInit (every module global to its start value) and kpMain (the game, once
// its data folder holds what it cannot start without).
#include <cstdlib>
#include <filesystem>

#include "audio/gxtkAudio.h"
#include "game/c_MyApp.h"
#include "game/kp_bt3_globals.h"
#include "graphics/kp_graphics.h"
#include "input/c_InputDevice.h"
#include "net/kp_asyncevent.h"
#include "runtime/kp_data.h"
#include "runtime/kp_error.h"
#include "runtime/kp_random.h"

namespace {
constexpr int kMissingDataStatus = 1;
} // namespace

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
    // Without its data the game would open an empty window: it names what is missing instead.
    const String missing = c_MyApp::p_FirstMissingDataFile();
    if (!missing.empty()) {
        const String folder = kp_app__game->PathToFilePath(kp_data_FixDataPath(String()));
        std::string absolute = std::filesystem::absolute(kpToUtf8(folder)).lexically_normal();
        if (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
        kpPrintError("cannot start without its data: " + absolute + " has no readable " +
                     kpToUtf8(missing));
        std::exit(kMissingDataStatus);
    }
    // The application lives until the process ends.
    new c_MyApp();
    return 0;
}
