// KpGame: the event wrappers with their guards, and the base platform answers.
#include "runtime/kp_game.h"
#include "runtime/kp_image_prefetch.h"

#include <ctime>

#include "runtime/kp_error.h"

KpGame* KpGame::_game = nullptr;
int glfwGraphicsSeq = 0;
int kp_app__devWidth = 0;
int kp_app__devHeight = 0;

namespace {
constexpr int kDateFields = 7;
}

KpGame::KpGame() {
    _game = this;
}

KpGame::~KpGame() {
    if (_game == this) _game = nullptr;
}

void KpGame::GetDate(int* date, int count) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int fields[kDateFields] = {local.tm_year + 1900,
                                     local.tm_mon + 1,
                                     local.tm_mday,
                                     local.tm_hour,
                                     local.tm_min,
                                     local.tm_sec,
                                     0};
    for (int i = 0; i < count && i < kDateFields; ++i) date[i] = fields[i];
}

bool KpGame::PollJoystick(int, float*, float*, float*, bool*) {
    return false;
}

void KpGame::Die(const ThrowableObject*) {
    kpDieUncaught();
}

template <typename Call> void KpGame::guarded(Call call) {
    try {
        call();
    } catch (const ThrowableObject& thrown) {
        Die(&thrown);
    } catch (...) {
        Die(nullptr);
    }
    Housekeeping();
}

void KpGame::StartGame() {
    if (started_) return;
    started_ = true;
    guarded([this] { delegate_->StartGame(); });
}

void KpGame::SuspendGame() {
    if (!started_ || suspended_) return;
    suspended_ = true;
    guarded([this] { delegate_->SuspendGame(); });
}

void KpGame::ResumeGame() {
    if (!started_ || !suspended_) return;
    suspended_ = false;
    guarded([this] { delegate_->ResumeGame(); });
}

void KpGame::UpdateGame() {
    if (!started_ || suspended_) return;
    guarded([this] { delegate_->UpdateGame(); });
}

void KpGame::RenderGame() {
    if (!started_) return;
    guarded([this] { delegate_->RenderGame(); });
}

void KpGame::KeyEvent(int event, int data) {
    if (!started_) return;
    guarded([&] { delegate_->KeyEvent(event, data); });
}

void KpGame::MouseEvent(int event, int data, float x, float y) {
    if (!started_) return;
    guarded([&] { delegate_->MouseEvent(event, data, x, y); });
}

void KpGame::TouchEvent(int event, int data, float x, float y) {
    if (!started_) return;
    guarded([&] { delegate_->TouchEvent(event, data, x, y); });
}

void KpGame::MotionEvent(int event, int data, float x, float y, float z) {
    if (!started_) return;
    guarded([&] { delegate_->MotionEvent(event, data, x, y, z); });
}

void KpGame::DiscardGraphics() {
    if (!started_) return;
    guarded([this] { delegate_->DiscardGraphics(); });
}

bool KpGame::HasDataFile(const String& path) {
    FILE* file = OpenFile(path, u"rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}
