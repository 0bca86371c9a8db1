// Threads: KpThread runs Run__UNSAFE__ on one operating-system thread at a time and reports
// 0 never started, 1 running, 2 finished. The handle is released (detached) at start; the
// thread touches nothing of the object after storing "finished", so destruction only has to
// wait for that store. c_Thread is the framework's class.
#pragma once

#include <atomic>

#include "runtime/kp_object.h"

class KpThread : public Object {
  public:
    static constexpr int kNeverStarted = 0;
    static constexpr int kRunning = 1;
    static constexpr int kFinished = 2;

    KpThread() = default;
    // Waits while a thread runs: Run__UNSAFE__ may still use the object.
    ~KpThread() override;
    KpThread(const KpThread&) = delete;
    KpThread& operator=(const KpThread&) = delete;

    // Starts a new thread unless one is running; a failed start is fatal ("CreateThread failed!").
    void Start();
    bool IsRunning() const { return status_.load(std::memory_order_acquire) == kRunning; }
    int Status() const { return status_.load(std::memory_order_acquire); }
    Object* Result() const { return result_; }
    void SetResult(Object* result) { result_ = result; }

    // The thread's work; runs off the main thread. Does nothing here.
    virtual void Run__UNSAFE__() {}

  protected:
    // Waits until the thread has stored its last status.
    void Join();

  private:
    std::atomic<int> status_{kNeverStarted};
    Object* result_ = nullptr;
};

class c_Thread : public KpThread {};
