// The frame loop's schedule, driven by the headless host's clock: catch-up, the cap of four
// updates, rate changes, rate 0, suspend/resume by focus, and giving free memory back.
#include <gtest/gtest.h>

#include "runtime/kp_headless_game.h"

namespace {

// Counts the host's calls; renders and updates take as long as the test says.
class TimedDelegate : public KpGameDelegate {
  public:
    explicit TimedDelegate(KpHeadlessGame& host) : host_(host) {}
    void StartGame() override { ++starts; }
    void SuspendGame() override { ++suspends; }
    void ResumeGame() override { ++resumes; }
    void UpdateGame() override {
        ++updates;
        host_.Advance(updateSeconds);
        if (onUpdate) onUpdate();
    }
    void RenderGame() override {
        ++renders;
        host_.Advance(renderSeconds);
    }

    int starts = 0, suspends = 0, resumes = 0, updates = 0, renders = 0;
    double renderSeconds = 0.0;
    double updateSeconds = 0.0;
    std::function<void()> onUpdate;

  private:
    KpHeadlessGame& host_;
};

class FrameLoop : public ::testing::Test {
  protected:
    FrameLoop() : delegate(host) {
        host.SetDelegate(&delegate);
        host.SetTime(10.0);
        host.StartGame();
    }
    // Updates run by one iteration.
    int iterate() {
        int before = delegate.updates;
        host.RunIteration();
        return delegate.updates - before;
    }

    KpHeadlessGame host;
    TimedDelegate delegate;
};

} // namespace

TEST_F(FrameLoop, SlowRendersGetAboutThreeUpdatesPerFrame) {
    host.SetUpdateRate(60);
    delegate.renderSeconds = 0.05;
    iterate(); // the first iteration starts the schedule
    int total = 0;
    for (int i = 0; i < 30; ++i) total += iterate();
    EXPECT_NEAR(total / 30.0, 3.0, 0.15);
    EXPECT_EQ(delegate.renders, 31);
}

TEST_F(FrameLoop, FarBehindRunsFourUpdatesThenResetsTheSchedule) {
    host.SetUpdateRate(60);
    iterate();
    delegate.renderSeconds = 0.5; // thirty periods behind
    EXPECT_EQ(iterate(), 4);
    EXPECT_EQ(host.Loop().nextUpdate, 0.0);
    delegate.renderSeconds = 0.0;
    EXPECT_EQ(iterate(), 1); // slows down instead of bursting
}

TEST_F(FrameLoop, FastRendersSleepUntilTheNextUpdate) {
    host.SetUpdateRate(60);
    iterate();
    double sleptBefore = host.SleptSeconds();
    for (int i = 0; i < 60; ++i) EXPECT_EQ(iterate(), 1);
    EXPECT_NEAR(host.SleptSeconds() - sleptBefore, 1.0, 0.02);
}

TEST_F(FrameLoop, WithoutSleepFramesFasterThanTheRateSkipUpdatesInsteadOfRunningEach) {
    // A browser at 144 frames a second: the game still gets 60 updates a second.
    host.SetCanSleep(false);
    host.SetUpdateRate(60);
    delegate.renderSeconds = 1.0 / 144;
    iterate();
    int total = 0;
    for (int i = 0; i < 144; ++i) total += iterate();
    EXPECT_NEAR(total, 60, 1);
    EXPECT_EQ(host.SleptSeconds(), 0.0);
    // Slower frames still catch up several updates at a time.
    delegate.renderSeconds = 1.0 / 20;
    total = 0;
    for (int i = 0; i < 20; ++i) total += iterate();
    EXPECT_NEAR(total, 60, 2);
}

TEST_F(FrameLoop, RateChangeInsideAnUpdateEndsCatchUp) {
    host.SetUpdateRate(60);
    iterate();
    delegate.renderSeconds = 0.2;
    delegate.onUpdate = [this] { host.SetUpdateRate(30); };
    EXPECT_EQ(iterate(), 1);
    delegate.onUpdate = nullptr;
    double sleptBefore = host.SleptSeconds();
    delegate.renderSeconds = 0.0;
    iterate();
    EXPECT_EQ(host.SleptSeconds(), sleptBefore); // restarted without sleeping
}

TEST_F(FrameLoop, RateZeroUpdatesOncePerFrameWithoutSleeping) {
    host.SetUpdateRate(0);
    delegate.renderSeconds = 0.2;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(iterate(), 1);
    EXPECT_EQ(host.SleptSeconds(), 0.0);
}

TEST_F(FrameLoop, FocusSuspendsAndResumesWithoutACatchUpBurst) {
    host.SetUpdateRate(60);
    iterate();
    host.SetActive(false);
    EXPECT_EQ(iterate(), 0);
    EXPECT_EQ(delegate.suspends, 1);
    host.Advance(5.0);
    EXPECT_EQ(iterate(), 0);
    EXPECT_EQ(delegate.suspends, 1);
    EXPECT_EQ(delegate.renders, 3); // rendering goes on while suspended

    host.SetActive(true);
    EXPECT_EQ(iterate(), 1);
    EXPECT_EQ(delegate.resumes, 1);
    EXPECT_EQ(iterate(), 1);
}

TEST_F(FrameLoop, GuardsKeepEventsFromAnUnstartedOrSuspendedGame) {
    KpHeadlessGame fresh;
    TimedDelegate other(fresh);
    fresh.SetDelegate(&other);
    fresh.RenderGame();
    fresh.UpdateGame();
    fresh.SuspendGame();
    EXPECT_EQ(other.renders + other.updates + other.suspends, 0);
    fresh.StartGame();
    fresh.StartGame();
    EXPECT_EQ(other.starts, 1);
    fresh.SuspendGame();
    fresh.UpdateGame();
    fresh.RenderGame();
    EXPECT_EQ(other.updates, 0);
    EXPECT_EQ(other.renders, 1);
    fresh.ResumeGame();
    fresh.ResumeGame();
    EXPECT_EQ(other.resumes, 1);
}

TEST_F(FrameLoop, FreeMemoryGoesBackOnceASecondAfterTheLastLargeRelease) {
    constexpr size_t kMb = size_t{1} << 20;
    host.SetUpdateRate(60);
    iterate();
    // Releases below the worthwhile amount add up but return nothing by themselves.
    host.NoteMemoryReleased(3 * kMb);
    for (int i = 0; i < 180; ++i) iterate();
    EXPECT_EQ(host.MemoryReturns(), 0);

    // The next release makes it worthwhile; each one restarts the wait for things to settle.
    host.NoteMemoryReleased(1 * kMb);
    for (int i = 0; i < 48; ++i) iterate(); // 0.8 s
    host.NoteMemoryReleased(kMb / 2);
    for (int i = 0; i < 48; ++i) iterate();
    EXPECT_EQ(host.MemoryReturns(), 0);
    for (int i = 0; i < 18; ++i) iterate(); // 1.1 s after the last release
    EXPECT_EQ(host.MemoryReturns(), 1);

    // Once only: what went back is not counted again.
    for (int i = 0; i < 180; ++i) iterate();
    EXPECT_EQ(host.MemoryReturns(), 1);
    host.NoteMemoryReleased(8 * kMb);
    for (int i = 0; i < 70; ++i) iterate();
    EXPECT_EQ(host.MemoryReturns(), 2);
}
