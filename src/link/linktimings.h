#pragma once
// The pauses of the link threads, which tests shorten to keep the supervision
// cycle quick.
#include <chrono>

namespace velmora::link {

struct LinkTimings {
    std::chrono::milliseconds loopPause{3};     // every thread, every pass
    std::chrono::milliseconds checkPause{100};  // before each look for the 0x81 reply
    int checkLooks = 3;
    std::chrono::milliseconds connectedPause{4000};  // after an answered link check
    std::chrono::milliseconds pollPause{250};        // after the status request, and per cycle
};

}  // namespace velmora::link
