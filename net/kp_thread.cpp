// The thread primitive over std::thread. The status moves 1 -> 2 on the worker as its very last
// step (release), which is what the queue's main-thread side reads to see whether it is alive.
#include "net/kp_thread.h"

#include <cstdlib>
#include <system_error>

#include "runtime/kp_error.h"

namespace {
constexpr int kFatalStatus = -1;
}

KpThread::~KpThread() {
    Join();
}

void KpThread::Join() {
    if (thread_.joinable()) thread_.join();
}

void KpThread::Start() {
    if (IsRunning()) return;
    // The earlier thread has stored its last status and is about to return: release it.
    Join();
    result_ = nullptr;
    status_.store(kRunning, std::memory_order_release);
    try {
        thread_ = std::thread([this] {
            Run__UNSAFE__();
            status_.store(kFinished, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        kpPrint(std::string_view("CreateThread failed!"));
        std::exit(kFatalStatus);
    }
}
