#pragma once
// For tests that check that something did NOT reach the simulated drive: once
// the drive has caught up with the link, whatever was queued before has been
// written and answered, and a state that has not changed will not.
#include <cstdint>

#include "link/drivelink.h"
#include "sim/driveserver.h"
#include "tests/support/waitfor.h"

namespace velmora::testkit {

// Queues a sent mark behind every request queued on `link` so far and waits
// until the writer has passed it and `drive` has taken all it was sent.
[[nodiscard]] inline bool DriveCaughtUp(link::DriveLink& link, sim::DriveServer& drive,
                                        int timeoutMs = 5000) {
    const std::uint64_t mark = link.queueSentMark();
    return WaitFor([&] { return link.lastSentMark() >= mark && drive.lineDrained(); }, timeoutMs);
}

}  // namespace velmora::testkit
