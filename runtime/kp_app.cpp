// The app module: registration of the one application, its globals, and the free functions
// over the host.
#include "runtime/kp_app.h"

#include "runtime/kp_error.h"

c_App* kp_app__app = nullptr;
c_GameDelegate* kp_app__delegate = nullptr;
KpGame* kp_app__game = nullptr;
std::vector<c_DisplayMode> kp_app__displayModes;
std::unique_ptr<c_DisplayMode> kp_app__desktopMode;
int kp_app__updateRate = 0;

int argc = 0;
char** argv = nullptr;

void kp_app_Init(KpGame* host) {
    kp_app__app = nullptr;
    kp_app__delegate = nullptr;
    kp_app__game = host;
    kp_app__devWidth = 0;
    kp_app__devHeight = 0;
    kp_app__displayModes.clear();
    kp_app__desktopMode.reset();
    kp_app__updateRate = 0;
}

c_App* c_App::m_new() {
    if (kp_app__app) kpError(std::string_view("App has already been created"));
    kp_app__app = this;
    // The delegate lives as long as the process, like the application itself.
    kp_app__delegate = new c_GameDelegate();
    kp_app__game->SetDelegate(kp_app__delegate);
    return this;
}

int c_App::p_OnClose() {
    kp_app_EndApp();
}

int c_App::p_OnBack() {
    kp_app_EndApp();
}

void kp_app_SetUpdateRate(int hertz) {
    kp_app__updateRate = hertz;
    kp_app__game->SetUpdateRate(hertz);
}

int kp_app_Millisecs() {
    return kp_app__game->Millisecs();
}

int kp_app_DeviceWidth() {
    return kp_app__devWidth;
}

int kp_app_DeviceHeight() {
    return kp_app__devHeight;
}

void kp_app_ValidateDeviceWindow(bool /*notify*/) {
    int w = kp_app__game->GetDeviceWidth();
    int h = kp_app__game->GetDeviceHeight();
    if (w != kp_app__devWidth || h != kp_app__devHeight) {
        kp_app__devWidth = w;
        kp_app__devHeight = h;
    }
}

void kp_app_EnumDisplayModes() {
    std::vector<KpDisplayMode> modes = kp_app__game->GetDisplayModes();
    std::vector<int> seen;
    std::vector<c_DisplayMode> list;
    for (const KpDisplayMode& mode : modes) {
        int key = mode.width << 16 | mode.height;
        bool known = false;
        for (int k : seen) known = known || k == key;
        if (known) continue;
        seen.push_back(key);
        list.emplace_back(mode.width, mode.height);
    }
    kp_app__displayModes = std::move(list);
    std::optional<KpDisplayMode> desktop = kp_app__game->GetDesktopMode();
    if (desktop) {
        kp_app__desktopMode = std::make_unique<c_DisplayMode>(desktop->width, desktop->height);
    } else {
        kp_app__desktopMode = std::make_unique<c_DisplayMode>(kp_app__devWidth, kp_app__devHeight);
    }
}

String kp_app_LoadState() {
    return kp_app__game->LoadState();
}

int kp_app_SaveState(const String& state) {
    return kp_app__game->SaveState(state);
}

void kp_app_EndApp() {
    kpError(String());
}
