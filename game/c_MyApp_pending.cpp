// Methods that p_OnCreate already calls but whose work belongs to later stages of the game:
// the star field, the online ping, the asset loaders and the save data. Until those land they
// do nothing and return 0, so creation runs its whole order; each moves to its own file then.
#include "game/c_MyApp.h"

int c_MyApp::p_ResetStars(int /*count*/) {
    return 0;
}

int c_MyApp::p_GetURL(const String& /*url*/, const String& /*query*/) {
    return 0;
}

int c_MyApp::p_Reload() {
    return 0;
}

int c_MyApp::p_Load() {
    return 0;
}
