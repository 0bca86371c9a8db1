// Methods that creation and the frame driver already call but whose work belongs to later
// stages of the game. Until each lands it does nothing and returns 0 (or an empty text), so
// creation and every tick run their whole order; each group moves to files of its own then.
#include "game/c_MyApp.h"

// ==== Effects
// ==== end of effects

// ==== Course, set-up and win rules
// ==== end of course

// ==== Ball play
// ==== end of ball play

// ==== Save data and badges
// ==== end of save data

// ==== Menu and results
// ==== end of menu

// ==== Panels and ping
// ==== end of panels
