// Key translation from the window library's key names to the framework's key codes, the
// key-to-character table applied on key presses, and the forwarding both GLFW hosts share.
#pragma once

class KpGame;

// The framework key code of a GLFW key, or 0 for keys the framework ignores.
int kpTranslateGlfwKey(int glfwKey);
// The character a translated key produces on press, or 0 for none.
int kpKeyToChar(int code);
// Forwards a GLFW key action to the host: a release as key up, a press or repeat as key down
// followed by the key's character, if it has one.
void kpForwardGlfwKey(KpGame& game, int glfwKey, int action);
