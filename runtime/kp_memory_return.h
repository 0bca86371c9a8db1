// When to give freed memory back to the system. The desktop host asks the allocator to keep
// freed heap memory for reuse, so that the driver's per-frame buffers are not faulted in
// afresh every frame; but then the pages of a window size that was left, or of a set of
// images that was let go, stay resident for good. Whoever releases much at once notes it
// here, and the frame loop gives the free pages back once things have settled: kSettle
// seconds after the last note, when at least kWorthBytes were noted since the last return.
#pragma once

#include <cstddef>

class KpMemoryReturn {
  public:
    static constexpr size_t kWorthBytes = size_t{4} << 20;
    static constexpr double kSettle = 1.0; // seconds without a note before returning

    // bytes were released (or are about to be, as with a window's buffers).
    void Note(size_t bytes) {
        pending_ += bytes;
        noted_ = true;
    }

    // Asked once per loop iteration with the clock in seconds: true when the memory should
    // go back now. Each note restarts the wait, so a run of resizes returns memory once.
    bool Due(double now) {
        if (noted_) {
            noted_ = false;
            since_ = now;
        }
        if (pending_ < kWorthBytes || now - since_ < kSettle) return false;
        pending_ = 0;
        return true;
    }

  private:
    size_t pending_ = 0; // bytes noted since memory last went back
    bool noted_ = false; // a note came since the last Due
    double since_ = 0.0; // when the loop first saw the last note
};
