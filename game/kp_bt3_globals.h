// The game's module-level settings (kp_BT3_*): the virtual screen size, build switches for
// other platforms, the control modes, and the theme titles and credits lines. kp_BT3_Init
// gives every one its start value; kpInit calls it before the application exists.
#pragma once

#include <array>

#include "runtime/kp_string.h"

constexpr int kMenuSetSize = 30;
constexpr int kCreditLines = 50;

extern float kp_BT3_jscrw;
extern float kp_BT3_jscrh;
extern float kp_BT3_rawscrw;
extern float kp_BT3_rawscrh;
extern float kp_BT3_overscan;
extern int kp_BT3_isOuya;
extern int kp_BT3_MaxGamesB;
extern int kp_BT3_GameNum;
extern int kp_BT3_J_On_Allow;
extern int kp_BT3_J_On_Able;
extern int kp_BT3_UseHDImages;
extern int kp_BT3_DebugMode;
extern int kp_BT3_iCadeControls;
extern int kp_BT3_OnScreenControls;
extern int kp_BT3_AccelerometerControls;
extern int kp_BT3_HasMusicStream;
// Group g's title at index 2(g-1); the odd entries are empty.
extern std::array<String, kMenuSetSize> kp_BT3_MenuSet;
extern std::array<String, kCreditLines> kp_BT3_CreditText;

// Every kp_BT3_* global to its start value.
void kp_BT3_Init();
