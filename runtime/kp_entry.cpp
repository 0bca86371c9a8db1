// Process start-up: the host and the player folder's lock (a second game in the same folder
// stops before it opens a window), the window library and the players' gamepad mappings,
// signal handlers, locale, the module globals and the application, then the frame loop.
#include <GLFW/glfw3.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_gamepad_mappings.h"
#include "runtime/kp_glfw_game.h"

namespace {

// The exit status of a game started in a folder where another is running.
constexpr int kAlreadyRunningStatus = 3;

// Two games in one folder would each save their own memory over the other's progress, so the
// second one says where the first is running and ends before it opens a window.
void lockPlayerFolder(KpGame& host) {
    if (host.LockStateFolder() != KpFolderLock::HeldByOther) return;
    const std::string folder = std::filesystem::path(host.StateFilePath()).parent_path().string();
    kpPrintError("the game is already running in " + folder +
                 " (a second copy there would overwrite its progress)");
    std::exit(kAlreadyRunningStatus);
}

void setLocale() {
    if (!std::setlocale(LC_CTYPE, "en_US.UTF-8")) std::setlocale(LC_CTYPE, "");
}

} // namespace

int kp_std_main(int count, char** values) {
    argc = count;
    argv = values;
    kpInstallSignalHandlers();
    setLocale();
    kpInit();
    kpMain();
    return 0;
}

int KpZembraGame::Main(int count, char** values) {
    // The host lives until the process ends, like the application it drives.
    auto* host = new KpZembraGame();
    lockPlayerFolder(*host);
    // The window library's own reason goes to standard error; standard output keeps the
    // program's lines.
    glfwSetErrorCallback([](int code, const char* description) {
        std::fprintf(stderr, "GLFW error %d: %s\n", code, description);
    });
    if (!glfwInit()) {
        kpPrint(std::string_view("glfwInit failed"));
        std::exit(-1);
    }
    kpLoadGamepadMappings();
    kpReportGamepads();
    argc = count;
    argv = values;
    kpInstallSignalHandlers();
    setLocale();
    try {
        kpInit();
        kpMain();
    } catch (const ThrowableObject& thrown) {
        glfwTerminate();
        host->Die(&thrown);
    } catch (...) {
        glfwTerminate();
        host->Die(nullptr);
    }
    if (host->Delegate()) host->Run();
    glfwTerminate();
    return 0;
}
