// The game object. For now a minimal application that registers itself and opens nothing
// of its own; the game's state model replaces it.
#pragma once

#include "runtime/kp_app.h"

class c_MyApp : public c_App {
  public:
    c_MyApp();
    int p_OnCreate() override;
};
