// The shared test window: the window library and one desktop host for the whole binary.
#include "support/test_window.h"

#include <GLFW/glfw3.h>

#include "runtime/kp_glfw_game.h"

KpGlfwGame* sharedTestWindow() {
    static KpGlfwGame* host = nullptr;
    if (host) return host;
    if (glfwInit() != GLFW_TRUE) return nullptr;
    host = new KpGlfwGame();
    host->OpenInitialWindow();
    if (!host->Window()) return nullptr;
    return host;
}
