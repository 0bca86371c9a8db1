// The lock-free operation ring. Slots [get, exec) are executed and await completion on the
// main thread; slots [exec, put) await the worker. The worker ends when it catches up with
// put; work queued just as it ended is found by the next pump ("RACE!") and restarted.
#include "net/c_AsyncQueue.h"

#include "runtime/kp_error.h"

c_AsyncQueue::~c_AsyncQueue() {
    Join();
}

int c_AsyncQueue::p_Enqueue(std::unique_ptr<c_AsyncOp> op) {
    int slot = put_.load(std::memory_order_relaxed);
    if (next(slot) == get_) kpError(std::string_view("AsyncQueue queue overflow!"));
    ops_[slot] = std::move(op);
    put_.store(next(slot), std::memory_order_release); // the op is complete before it is seen
    Start();
    return 0;
}

void c_AsyncQueue::Run__UNSAFE__() {
    // exec is this thread's own; the previous worker's last store came before this start.
    int slot = exec_.load(std::memory_order_relaxed);
    while (slot != put_.load(std::memory_order_acquire)) {
        ops_[slot]->p_Execute__UNSAFE__(socket_);
        slot = next(slot);
        exec_.store(slot, std::memory_order_release); // the result is written before it is seen
    }
}

bool c_AsyncQueue::p_Idle() const {
    return exec_.load(std::memory_order_acquire) == put_.load(std::memory_order_relaxed);
}

int c_AsyncQueue::p_UpdateAsyncEvents() {
    if (!p_Idle()) {
        if (!IsRunning()) kpPrint(std::string_view("RACE!"));
        Start(); // does nothing while the worker runs
    }
    while (get_ != exec_.load(std::memory_order_acquire)) {
        std::unique_ptr<c_AsyncOp> op = std::move(ops_[get_]);
        get_ = next(get_);
        op->p_Complete(socket_);
    }
    return 0;
}

void c_AsyncQueue::p_DropCallbacks() {
    const int end = put_.load(std::memory_order_relaxed);
    for (int slot = get_; slot != end; slot = next(slot)) ops_[slot]->p_DropCallback();
}
