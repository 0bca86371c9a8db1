// Process start-up in the browser: the stored working folder is mounted and read back from
// IndexedDB first (the game reads its state once, at creation), then the window library, the
// host, the module globals and the application, as on the desktop; the page's display frames
// run the loop from there. The desktop's single-instance lock has no meaning in a page.
#include <GLFW/glfw3.h>
#include <emscripten.h>

#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_web_game.h"

namespace {

// The game after the stored folder is back: the same order as the desktop's start-up.
void startGame() {
    if (!glfwInit()) kpError(std::string_view("glfwInit failed"));
    auto* host = new KpWebGame(); // lives until the page goes, like the application it drives
    try {
        kpInit();
        kpMain();
    } catch (const ThrowableObject& thrown) {
        host->Die(&thrown);
    } catch (...) {
        host->Die(nullptr);
    }
    if (host->Delegate()) host->Run();
}

} // namespace

// Called by the page's code once IndexedDB has filled the working folder (or failed to).
extern "C" EMSCRIPTEN_KEEPALIVE void kp_web_start(const char* error) {
    if (error && *error) {
        kpPrintError(std::string("could not read your progress from the browser's storage: ") +
                     error);
    }
    startGame();
}

// Mounts the stored working folder, makes it current and reads it back from IndexedDB.
EM_JS(void, kpWebMountState, (), {
    FS.mkdir("/state");
    FS.mount(IDBFS, {}, "/state");
    FS.chdir("/state");
    FS.syncfs(
        true, function(err) {
            var text = err ? String(err.message || err.errno || err) : "";
            Module.ccall("kp_web_start", null, ["string"], [text]);
        });
});

int main(int count, char** values) {
    argc = count;
    argv = values;
    kpWebMountState();
    return 0; // the runtime stays: the game starts from the sync's callback
}
