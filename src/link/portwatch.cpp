#include "link/portwatch.h"

#include <unistd.h>

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

WatchedSleep SleepWatchingPort(StopFlag& flag, const SerialLink& link, LinkClock& clock,
                               std::chrono::milliseconds duration) {
    const auto deadline = clock.now() + duration;
    for (;;) {
        if (link.PortLost()) return WatchedSleep::PortLost;
        if (clock.now() >= deadline) return WatchedSleep::Elapsed;
        if (clock.sleepUntil(flag, deadline, kPortWatchSlice)) return WatchedSleep::Stopped;
    }
}

}  // namespace velmora::link
