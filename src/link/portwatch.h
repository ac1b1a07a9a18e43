#pragma once
// Noticing a pulled adapter while the supervision sleeps: the port reports a
// hang-up (the reader sees it on its next poll) or its device node is gone,
// and the loss is reported at once instead of after two silent link checks.
#include <chrono>
#include <string>

#include "link/linkclock.h"
#include "link/stopflag.h"

namespace velmora::link {

class SerialLink;

// How often (in real time) a sleeping supervision looks at the port.
inline constexpr std::chrono::milliseconds kPortWatchSlice{50};

// Whether `device` has left the file system (a USB adapter's node, its
// by-id link, a simulator's pseudo-terminal link).
[[nodiscard]] bool DeviceNodeGone(const std::string& device);

enum class WatchedSleep { Elapsed, Stopped, PortLost };

// Sleeps `duration` of `clock` unless the flag stops it or the link's port is
// lost. The port is looked at every slice of real time, as a pulled adapter
// does not wait for the clock.
WatchedSleep SleepWatchingPort(StopFlag& flag, const SerialLink& link, LinkClock& clock,
                               std::chrono::milliseconds duration);

}  // namespace velmora::link
