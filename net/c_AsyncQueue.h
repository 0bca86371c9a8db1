// The operation queue of one socket direction: a ring of 256 slots filled and completed on the
// main thread and executed in order by one worker thread. It is a single-producer,
// single-consumer ring without locks: `put` and `exec` are published with release ordering
// and read with acquire ordering, so an operation is complete before the other side sees it.
#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "net/kp_thread.h"

class c_Socket;

// One queued operation: executed on the worker, then completed on the main thread.
class c_AsyncOp : public Object {
  public:
    // Main thread: deliver the result (the callback runs here).
    virtual int p_Complete(c_Socket* source) = 0;
    // Worker thread: the blocking call; touches only this op, its socket handle and buffer.
    virtual int p_Execute__UNSAFE__(c_Socket* source) = 0;
    // Main thread: forget the callback, so completing the op calls nobody. The worker never
    // reads the callback, so this may happen while the op executes.
    virtual void p_DropCallback() {}
};

class c_AsyncQueue : public c_Thread {
  public:
    static constexpr int kRingSize = 256; // at most kRingSize - 1 operations outstanding

    // The owner is handed to every operation; it may be null for a queue of plain work.
    explicit c_AsyncQueue(c_Socket* socket) : socket_(socket) {}
    // Waits for the worker before the slots go away.
    ~c_AsyncQueue() override;

    // Queues op and starts the worker; a full ring is fatal ("AsyncQueue queue overflow!").
    int p_Enqueue(std::unique_ptr<c_AsyncOp> op);
    // Main thread: restarts a worker that missed queued work, then completes finished ops.
    int p_UpdateAsyncEvents();
    // True when every queued operation has been executed (completions may still be due).
    bool p_Idle() const;
    // True when every queued operation has also been completed.
    bool p_Drained() const { return get_ == put_.load(std::memory_order_relaxed); }
    // Main thread: drops the callback of every operation not yet completed.
    void p_DropCallbacks();

    void Run__UNSAFE__() override;

  private:
    static int next(int index) { return (index + 1) % kRingSize; }

    c_Socket* socket_;
    std::array<std::unique_ptr<c_AsyncOp>, kRingSize> ops_;
    std::atomic<int> put_{0};  // next slot to fill; written by the main thread
    int get_ = 0;              // next slot to complete; main thread only
    std::atomic<int> exec_{0}; // next slot to execute; written by the worker
};
