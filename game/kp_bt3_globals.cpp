// The kp_BT3_* globals and their start values, with the theme titles of the fifteen level
// groups and the credits lines rolled by the menu's detail panel.
#include "game/kp_bt3_globals.h"

#include <string_view>

namespace {
constexpr float kDesignWidth = 640.0f;
constexpr float kDesignHeight = 480.0f;
constexpr int kPlayableLevels = 150;
constexpr int kGameNumber = 400;

// Titles of level groups 1 to 15, in group order.
constexpr std::string_view kGroupTitles[] = {
    "Old Faithful",
    "Crosswind",
    "Pip's Springy Outing",
    "Magma Row",
    "Gridlock",
    "Seaside",
    "Lilypad Lane",
    "Deep Blue",
    "Neon Nights",
    "Ghost Runner",
    "Frostbite",
    "Glittering\\nStarlight\\nParade", // the text escape for a line break
    "Lunar Leaps",
    "Woolly Stampede",
    "Pixel Pirate",
};

// Blocks: maker, tools, graphics, audio, thanks; separated by empty and five-space lines.
constexpr std::string_view kCredits[] = {
    "Brambolt3",
    "A Brambolt Studio game",
    "Design and code by",
    "the Brambolt Studio team",
    "",
    "     ",
    "Made with our own",
    "small 2D framework",
    "in C++ on GLFW,",
    "OpenGL and OpenAL",
    "",
    "     ",
    "Graphics",
    "Drawn in-house by",
    "the studio art desk",
    "Bitmap fonts cut",
    "by hand, pixel by pixel",
    "",
    "     ",
    "Audio",
    "Effects and music",
    "recorded and mixed",
    "in the studio",
    "",
    "     ",
    "Thanks to",
    "Everyone who played",
    "the early builds",
    "Our families and friends",
    "And you, for playing!",
    "",
    "     ",
};
} // namespace

float kp_BT3_jscrw = kDesignWidth;
float kp_BT3_jscrh = kDesignHeight;
float kp_BT3_rawscrw = kDesignWidth;
float kp_BT3_rawscrh = kDesignHeight;
float kp_BT3_overscan = 0.0f;
int kp_BT3_isOuya = 0;
int kp_BT3_MaxGamesB = kPlayableLevels;
int kp_BT3_GameNum = kGameNumber;
int kp_BT3_J_On_Allow = 0;
int kp_BT3_J_On_Able = 0;
int kp_BT3_UseHDImages = 1;
int kp_BT3_DebugMode = 0;
int kp_BT3_iCadeControls = 0;
int kp_BT3_OnScreenControls = 0;
int kp_BT3_AccelerometerControls = 0;
int kp_BT3_HasMusicStream = 1;
std::array<String, kMenuSetSize> kp_BT3_MenuSet;
std::array<String, kCreditLines> kp_BT3_CreditText;

void kp_BT3_Init() {
    kp_BT3_jscrw = kDesignWidth;
    kp_BT3_jscrh = kDesignHeight;
    kp_BT3_rawscrw = kDesignWidth;
    kp_BT3_rawscrh = kDesignHeight;
    kp_BT3_overscan = 0.0f;
    kp_BT3_isOuya = 0;
    kp_BT3_MaxGamesB = kPlayableLevels;
    kp_BT3_GameNum = kGameNumber;
    kp_BT3_J_On_Allow = 0;
    kp_BT3_J_On_Able = 0;
    kp_BT3_UseHDImages = 1;
    kp_BT3_DebugMode = 0;
    kp_BT3_iCadeControls = 0;
    kp_BT3_OnScreenControls = 0;
    kp_BT3_AccelerometerControls = 0;
    kp_BT3_HasMusicStream = 1;

    kp_BT3_MenuSet.fill(String());
    int group = 0;
    for (std::string_view title : kGroupTitles) kp_BT3_MenuSet[2 * group++] = kpS(title);

    kp_BT3_CreditText.fill(String());
    int line = 0;
    for (std::string_view text : kCredits) kp_BT3_CreditText[line++] = kpS(text);
}
