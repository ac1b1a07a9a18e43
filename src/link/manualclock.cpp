#include "link/manualclock.h"

namespace velmora::link {
namespace {

// How often a caller waiting for a sleep looks at its own condition, which
// nothing here is told about.
constexpr std::chrono::milliseconds kLookAgain{2};

}  // namespace

LinkClock::time_point ManualClock::now() const {
    return time_point(time_point::duration(m_ticks.load()));
}

bool ManualClock::sleepUntil(StopFlag& flag, time_point deadline, std::chrono::milliseconds slice) {
    std::list<Sleeper>::iterator sleeper;
    {
        std::lock_guard lock(m_mutex);
        sleeper = m_sleepers.insert(m_sleepers.end(), Sleeper{&flag, deadline});
    }
    m_slept.notify_all();
    const bool stopped = flag.SleepFor(slice, [&] { return now() >= deadline; });
    std::lock_guard lock(m_mutex);
    m_sleepers.erase(sleeper);
    return stopped;
}

void ManualClock::advance(std::chrono::milliseconds step) {
    m_ticks += std::chrono::duration_cast<time_point::duration>(step).count();
    // Under the lock, so no sleeper leaves (and takes its flag away) meanwhile.
    std::lock_guard lock(m_mutex);
    const auto moment = now();
    for (const Sleeper& sleeper : m_sleepers) {
        if (sleeper.deadline <= moment) sleeper.flag->Wake();
    }
}

std::optional<std::chrono::milliseconds> ManualClock::sleeping(Pauses pauses) const {
    std::lock_guard lock(m_mutex);
    const auto moment = now();
    for (const auto pause : pauses) {
        for (const Sleeper& sleeper : m_sleepers) {
            if (sleeper.deadline == moment + pause) return pause;
        }
    }
    return std::nullopt;
}

bool ManualClock::advanceUntil(const std::function<bool()>& done, Pauses pauses,
                               std::chrono::milliseconds patience) {
    using Real = std::chrono::steady_clock;
    auto giveUp = Real::now() + patience;
    for (int advanced = 0; advanced <= kMaxPauses;) {
        // The sleep first, then `done()`: what the sleeping thread did before
        // it began to sleep (a post, a request) is then visible, so the sleep
        // that follows the awaited event is never taken for one to end.
        const auto pause = sleeping(pauses);
        if (done()) return true;
        if (pause) {
            advance(*pause);
            ++advanced;
            giveUp = Real::now() + patience;
            continue;
        }
        if (Real::now() >= giveUp) return false;
        std::unique_lock lock(m_mutex);
        m_slept.wait_for(lock, kLookAgain);
    }
    return done();
}

bool ManualClock::waitForSleep(std::chrono::milliseconds pause,
                               std::chrono::milliseconds patience) {
    return advanceUntil([&] { return sleeping({pause}).has_value(); }, {}, patience);
}

}  // namespace velmora::link
