// The thread primitive of the single-threaded browser build: Start runs the work at once on
// the calling thread and marks it finished, so the operation queues still hand their results
// to the main thread through the next pump. This is safe only because every socket operation
// there fails at once (kp_socket_web.cpp): nothing run here can block.
#include "net/kp_thread.h"

KpThread::~KpThread() {
    Join();
}

void KpThread::Join() {}

void KpThread::Start() {
    if (IsRunning()) return; // a queue that enqueues from its own work runs it in this loop
    result_ = nullptr;
    status_.store(kRunning, std::memory_order_release);
    Run__UNSAFE__();
    status_.store(kFinished, std::memory_order_release);
}
