// One iteration of the frame loop, in the order the host runs it.
#include "runtime/kp_frame_loop.h"

#include "runtime/kp_game.h"

void KpFrameLoop::SetUpdateRate(int hertz) {
    if (hertz != 0) updatePeriod = 1.0 / hertz;
    nextUpdate = 0.0;
}

void KpFrameLoop::Iterate(KpGame& game, KpLoopPlatform& platform) {
    game.RenderGame();
    platform.SwapBuffers();

    if (nextUpdate != 0.0) {
        double wait = nextUpdate - platform.Now();
        if (wait > 0.0) {
            if (!platform.CanSleep()) return;
            platform.Sleep(wait);
        }
    }

    // While suspended, block until something happens instead of spinning.
    platform.ProcessEvents(game.Suspended());
    if (game.MemoryReturn().Due(platform.Now())) platform.ReturnMemory();

    bool active = platform.WindowActive();
    if (active && game.Suspended()) {
        game.ResumeGame();
        nextUpdate = 0.0; // no catch-up burst for the time spent suspended
    } else if (!active && !game.Suspended()) {
        game.SuspendGame();
        nextUpdate = 0.0;
    }
    if (game.Suspended()) return;

    if (game.UpdateRate() == 0) {
        game.UpdateGame();
        ++updates;
        return;
    }

    if (nextUpdate == 0.0) nextUpdate = platform.Now();
    for (int i = 0; i < kMaxCatchUp; ++i) {
        game.UpdateGame();
        ++updates;
        if (nextUpdate == 0.0) return; // the update changed the rate
        nextUpdate += updatePeriod;
        if (nextUpdate > platform.Now()) return;
    }
    // Still behind after the last catch-up update: drop the backlog and restart.
    nextUpdate = 0.0;
}
