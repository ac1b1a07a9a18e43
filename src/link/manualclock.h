#pragma once
// A link clock that moves only when told to, for tests: the link's pauses
// pass in no time and in an order the test knows. A sleeper still wakes at
// once on its stop flag, so a link on a clock nobody moves stops as quickly
// as one on the steady clock.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <list>
#include <mutex>
#include <optional>

#include "link/linkclock.h"

namespace velmora::link {

class ManualClock final : public LinkClock {
  public:
    using Pauses = std::initializer_list<std::chrono::milliseconds>;

    [[nodiscard]] time_point now() const override;
    bool sleepUntil(StopFlag& flag, time_point deadline, std::chrono::milliseconds slice) override;

    // Moves time on by `step`, waking every sleeper whose deadline it passes.
    void advance(std::chrono::milliseconds step);
    // The first of `pauses` that some thread sleeps from now, if any.
    [[nodiscard]] std::optional<std::chrono::milliseconds> sleeping(Pauses pauses) const;
    // Moves time on one pause at a time until `done()` holds: whenever a
    // thread sleeps one of `pauses` from now, time moves on by that pause.
    // False when `done()` still fails after `patience` of real time without
    // such a sleep, or after kMaxPauses pauses.
    bool advanceUntil(const std::function<bool()>& done, Pauses pauses,
                      std::chrono::milliseconds patience = kPatience);
    // Waits until a thread sleeps `pause` from now.
    bool waitForSleep(std::chrono::milliseconds pause,
                      std::chrono::milliseconds patience = kPatience);

    static constexpr std::chrono::milliseconds kPatience{5000};
    static constexpr int kMaxPauses = 100;

  private:
    struct Sleeper {
        StopFlag* flag;
        time_point deadline;
    };

    // Time as ticks of the steady clock since its epoch: read by sleepers
    // under their stop flag's lock, so it must not need this clock's.
    std::atomic<time_point::rep> m_ticks{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_slept;  // a thread began to sleep
    std::list<Sleeper> m_sleepers;
};

}  // namespace velmora::link
