#pragma once
// The six link threads. linkapi.h is what the window uses; this adds the
// pauses, which tests shorten to keep the supervision cycle quick.
#include <chrono>
#include <cstdint>

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

// For a program that ends (the command-line tool): queues a mark behind every
// request queued so far and returns its number (rising). The writer thread
// passes it once everything before it is written or discarded.
std::uint64_t QueueSentMark();
// The number of the last mark the writer passed (0: none yet).
[[nodiscard]] std::uint64_t LastSentMark();

}  // namespace velmora::link
