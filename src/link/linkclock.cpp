#include "link/linkclock.h"

#include <algorithm>

namespace velmora::link {

bool LinkClock::sleepFor(StopFlag& flag, std::chrono::milliseconds duration) {
    const auto deadline = now() + duration;
    while (now() < deadline) {
        if (sleepUntil(flag, deadline, duration)) return true;
    }
    return flag.stopped();
}

bool SteadyLinkClock::sleepUntil(StopFlag& flag, time_point deadline,
                                 std::chrono::milliseconds slice) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
    if (left <= std::chrono::milliseconds::zero()) return flag.stopped();
    return flag.SleepFor(std::min(left, slice));
}

}  // namespace velmora::link
