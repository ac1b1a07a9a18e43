#include "link/portwatch.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "link/seriallink.h"

namespace velmora::link {

bool DeviceNodeGone(const std::string& device) {
    return !device.empty() && ::access(device.c_str(), F_OK) != 0 && errno == ENOENT;
}

bool SerialLink::PortLost() const {
    const auto port = currentPort();
    return port && (port->gone() || DeviceNodeGone(port->device()));
}

WatchedSleep SleepWatchingPort(StopFlag& flag, const SerialLink& link,
                               std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + duration;
    for (;;) {
        if (link.PortLost()) return WatchedSleep::PortLost;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds::zero()) return WatchedSleep::Elapsed;
        if (flag.SleepFor(std::min(left, kPortWatchSlice))) return WatchedSleep::Stopped;
    }
}

}  // namespace velmora::link
