#pragma once
// Direct access to the link's request and reply queues, so model tests see
// exactly what DriveData sends and can hand it replies.
#include <chrono>
#include <optional>
#include <vector>

#include "link/queues.h"

namespace velmora::model::testing {

inline std::optional<link::Telegram> TakeRequest() {
    link::Telegram request;
    if (link::TheTelegramQueues().Fetch(link::kRequestSlot, request,
                                        std::chrono::milliseconds(0)) != link::queue_result::kOk) {
        return std::nullopt;
    }
    return request;
}

// The reply codes of every queued ReadGroup request, in order.
inline std::vector<int> TakeReadRequests() {
    std::vector<int> codes;
    while (auto request = TakeRequest()) {
        codes.push_back(request->data.empty() ? -1 : request->data[0]);
    }
    return codes;
}

inline void PostReply(int code, std::vector<std::uint8_t> data) {
    link::Telegram reply;
    reply.command = code;
    reply.length = static_cast<std::uint8_t>(data.size());
    reply.data = std::move(data);
    link::TheTelegramQueues().Post(link::kReplySlot, std::move(reply));
}

}  // namespace velmora::model::testing
