// The save string on arbitrary text: loading it never fails, and what a load keeps is stable,
// so saving what was loaded, loading that and saving again gives the same string. The host
// keeps the state in memory instead of the state file.
#include <cstdio>

#include "fuzz_support.h"
#include "game/c_MyApp.h"
#include "runtime/kp_headless_game.h"

namespace {

class MemoryStateHost : public KpHeadlessGame {
  public:
    MemoryStateHost() : KpHeadlessGame(640, 480) {}
    String LoadState() override { return loaded; }
    int SaveState(const String& state) override {
        saved = state;
        return 0;
    }
    String loaded, saved;
};

MemoryStateHost& host() {
    static MemoryStateHost state;
    return state;
}

c_MyApp* application() {
    static c_MyApp* app = [] {
        host();
        // The loader's status lines would cost more than the load itself.
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();
        kpInit();
        return new c_MyApp();
    }();
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    c_MyApp* app = application();
    MemoryStateHost& state = host();
    app->m_settings.fill(0);
    app->m_badges.fill(false);
    app->m_records.fill(0);

    state.loaded = kpDecodeText(data, size);
    app->p_Load();
    app->p_Save();
    const String first = state.saved;
    state.loaded = first;
    app->p_Load();
    app->p_Save();
    expect(state.saved == first);
    return 0;
}
