// What the page and its tests may read of the game: a few of c_MyApp's public fields, by
// name, through one exported function. The browser tests wait on these instead of guessing
// from pictures when a screen has changed; the game itself never calls it.
#include <emscripten.h>
#include <string_view>

#include "game/bt3_ball.h"
#include "game/c_MyApp.h"
#include "runtime/kp_app.h"

// The value of a field (screen, level, paused, speed, options, hdLevel, loadStep, intro,
// notice), or -1 when there is no game yet or no such field.
extern "C" EMSCRIPTEN_KEEPALIVE int bt3_web_probe(const char* field) {
    auto* app = dynamic_cast<c_MyApp*>(kp_app__app);
    if (!app || !field) return -1;
    const std::string_view name(field);
    if (name == "screen") return app->m_screen;
    if (name == "level") return app->m_level;
    if (name == "paused") return app->m_paused;
    if (name == "speed") return static_cast<int>(app->m_ball[bt3ball::kSpeed]);
    if (name == "options") return app->m_optionsOpen;
    if (name == "hdLevel") return app->m_hdLevel;
    if (name == "loadStep") return app->m_loadStep;
    if (name == "intro") return app->m_introFrames;
    if (name == "notice") return app->m_noticeShown;
    return -1;
}
