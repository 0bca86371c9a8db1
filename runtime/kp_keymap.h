// Key translation from the window library's key names to the framework's key codes, and the
// key-to-character table applied on key presses.
#pragma once

// The framework key code of a GLFW key, or 0 for keys the framework ignores.
int kpTranslateGlfwKey(int glfwKey);
// The character a translated key produces on press, or 0 for none.
int kpKeyToChar(int code);
