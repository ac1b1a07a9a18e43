#pragma once
// Shared by the technician page tests: poll modes and replies as the link
// threads would leave them.
#include <chrono>
#include <cstdint>
#include <vector>

#include "link/queues.h"
#include "link/telegram.h"

namespace velmora::testkit {

inline std::vector<int> TakePollModes() {
    std::vector<int> modes;
    std::int32_t mode = 0;
    while (link::ThePollModeQueue().Fetch(0, mode, std::chrono::milliseconds(0)) ==
           link::queue_result::kOk)
        modes.push_back(mode);
    return modes;
}

inline void PostReply(int command, std::vector<std::uint8_t> data) {
    link::Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    link::TheTelegramQueues().Post(link::kReplySlot, std::move(t));
}

}  // namespace velmora::testkit
