// The one desktop window a display test binary draws into, as the program has one window.
#pragma once

class KpGlfwGame;

// Initialises the window library and opens the 640 by 480 window on first use; later calls
// return the same host. Returns nullptr when no window could be opened.
KpGlfwGame* sharedTestWindow();
