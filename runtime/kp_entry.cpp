// Process start-up: the window library and the players' gamepad mappings, the host, signal
// handlers, locale, the module globals and the application, then the frame loop.
#include <GLFW/glfw3.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_gamepad_mappings.h"
#include "runtime/kp_glfw_game.h"

namespace {

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
    // The host lives until the process ends, like the application it drives.
    auto* host = new KpZembraGame();
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
