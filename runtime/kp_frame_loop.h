// The frame loop's scheduling, apart from any window: one render per iteration, a sleep
// until the next update is due, event processing, focus changes, then 0 to 4 fixed-rate
// updates; free memory goes back to the system a while after the host or the game noted
// a large release. A platform supplies the clock, sleeping, swapping and events, so tests can drive
// the schedule with a clock of their own.
#pragma once

class KpGame;

class KpLoopPlatform {
  public:
    virtual ~KpLoopPlatform() = default;
    virtual double Now() = 0; // seconds
    virtual void Sleep(double seconds) = 0;
    // False for a platform that cannot block (a browser calls each iteration from its own
    // display frames): an iteration there ends after the render when no update is due yet.
    virtual bool CanSleep() { return true; }
    virtual void SwapBuffers() = 0;
    virtual void ProcessEvents(bool block) = 0;
    virtual bool WindowActive() = 0;
    // Gives the heap's free pages back to the system.
    virtual void ReturnMemory() = 0;
};

struct KpFrameLoop {
    static constexpr int kMaxCatchUp = 4; // updates per rendered frame at most

    double updatePeriod = 0.0; // seconds per update; kept when the rate is set to 0
    double nextUpdate = 0.0;   // clock time of the next update; 0 = not scheduled
    long updates = 0;          // updates run so far, for the browser's benchmark

    // A new rate restarts the schedule at the next update.
    void SetUpdateRate(int hertz);
    // One iteration of the loop: render, sleep, events, focus, updates.
    void Iterate(KpGame& game, KpLoopPlatform& platform);
};
