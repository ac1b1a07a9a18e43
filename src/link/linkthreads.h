#pragma once
// The six link threads. linkapi.h is what the window uses; this adds the
// pauses, which tests shorten to keep the supervision cycle quick.
#include <chrono>

#include "link/linkapi.h"

namespace velmora::link {

struct LinkTimings {
    std::chrono::milliseconds loopPause{3};     // every thread, every pass
    std::chrono::milliseconds checkPause{100};  // before each look for the 0x81 reply
    int checkLooks = 3;
    std::chrono::milliseconds connectedPause{4000};  // after an answered link check
    std::chrono::milliseconds pollPause{250};        // after the status request, and per cycle
};

void StartLinkThreads(MessageTarget& target, const LinkTimings& timings);
[[nodiscard]] bool LinkThreadsRunning();

}  // namespace velmora::link
