#include "shell/frameplayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace velmora::shell {
namespace {

using namespace std::chrono_literals;

// Records steps and lets a test wait for a number of them.
class StepLog {
  public:
    FramePlayer::Sink sink() {
        return [this](PlayStep step) {
            std::lock_guard lock(m_mutex);
            m_steps.push_back(step);
            m_changed.notify_all();
        };
    }
    bool waitFor(std::size_t count, std::chrono::milliseconds limit = 5000ms) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_steps.size() >= count; });
    }
    std::vector<PlayStep> steps() {
        std::lock_guard lock(m_mutex);
        return m_steps;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<PlayStep> m_steps;
};

// Catches a wrong order of drawing, disposing and clearing: the picture
// would keep stale frames or lose the disposal of the last one.
TEST(FramePlayer, StepsThroughTheFramesRoundAndRound) {
    StepLog log;
    FramePlayer player;
    player.start({1, 1}, log.sink());
    ASSERT_TRUE(log.waitFor(12));
    EXPECT_TRUE(player.stop());
    const auto steps = log.steps();
    const std::vector<std::pair<PlayStep::Kind, int>> expected = {
        {PlayStep::DisposeCurrent, 0}, {PlayStep::Draw, 0},           {PlayStep::DisposeCurrent, 0},
        {PlayStep::Draw, 1},           {PlayStep::DisposeCurrent, 1}, {PlayStep::Clear, 0},
        {PlayStep::Draw, 0},           {PlayStep::DisposeCurrent, 0}, {PlayStep::Draw, 1},
        {PlayStep::DisposeCurrent, 1}, {PlayStep::Clear, 0},          {PlayStep::Draw, 0}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(steps[i].kind, expected[i].first) << i;
        if (steps[i].kind == PlayStep::Draw || i > 0) {
            EXPECT_EQ(steps[i].frame, expected[i].second) << i;
        }
    }
}

// Catches a stop that waits out a long or endless frame delay, and a sink
// called after stop returned (it would post to a window being destroyed).
TEST(FramePlayer, StopEndsAnEndlessWaitAndSilencesTheSink) {
    for (const auto wait : {std::optional<int>{}, std::optional<int>{60000}}) {
        StepLog log;
        std::atomic<bool> stopped{false};
        std::atomic<int> lateCalls{0};
        auto record = log.sink();
        FramePlayer player;
        player.start({wait, wait}, [&](PlayStep step) {
            if (stopped) ++lateCalls;
            record(step);
        });
        ASSERT_TRUE(log.waitFor(2));
        const auto before = std::chrono::steady_clock::now();
        EXPECT_TRUE(player.stop());
        stopped = true;
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
        EXPECT_FALSE(player.running());
        EXPECT_EQ(log.steps().size(), 2u);
        EXPECT_EQ(lateCalls, 0);
    }
}

// Catches a second thread started over a running one, and a thread that
// spins without frames.
TEST(FramePlayer, StartIsIgnoredWhileRunningOrWithoutFrames) {
    StepLog log;
    FramePlayer player;
    player.start({}, log.sink());
    EXPECT_FALSE(player.running());
    player.start({std::nullopt}, log.sink());
    EXPECT_TRUE(player.running());
    ASSERT_TRUE(log.waitFor(2));
    player.start({1}, log.sink());
    EXPECT_TRUE(player.stop());
    EXPECT_EQ(log.steps().size(), 2u);
    // and it can play again after a stop
    player.start({std::nullopt}, log.sink());
    EXPECT_TRUE(log.waitFor(4));
}

// Catches a destructor that leaves the thread running on freed memory.
TEST(FramePlayer, DestroyingStopsTheThread) {
    StepLog log;
    const auto sinkHeld = std::make_shared<int>();
    {
        FramePlayer player;
        player.start({1, 1, 1}, [sink = log.sink(), sinkHeld](PlayStep step) { sink(step); });
        ASSERT_TRUE(log.waitFor(3));
    }
    const auto count = log.steps().size();
    // Nothing holds the sink any more: no step can follow.
    EXPECT_EQ(sinkHeld.use_count(), 1);
    EXPECT_EQ(log.steps().size(), count);
}

}  // namespace
}  // namespace velmora::shell
