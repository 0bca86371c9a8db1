// The thread primitive over std::thread. The status moves 1 -> 2 on the worker as its very last
// step (release), which is what the queue's main-thread side reads to see whether it is alive;
// nothing waits on the handle, so it is detached at once and exiting the process never trips
// over a thread that is still blocked in a call.
#include "net/kp_thread.h"

#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "runtime/kp_error.h"

namespace {
constexpr int kFatalStatus = -1;
constexpr auto kJoinPoll = std::chrono::milliseconds(1);
} // namespace

KpThread::~KpThread() {
    Join();
}

void KpThread::Join() {
    while (IsRunning()) std::this_thread::sleep_for(kJoinPoll);
}

void KpThread::Start() {
    if (IsRunning()) return;
    result_ = nullptr;
    status_.store(kRunning, std::memory_order_release);
    try {
        std::thread([this] {
            Run__UNSAFE__();
            status_.store(kFinished, std::memory_order_release); // the last touch of *this
        }).detach();
    } catch (const std::system_error&) {
        kpPrint(std::string_view("CreateThread failed!"));
        std::exit(kFatalStatus);
    }
}
