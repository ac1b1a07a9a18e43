#pragma once
// What pages and the model left in a link's queues for the drive, and
// replies put there as the link threads would.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "link/drivelink.h"
#include "link/pollmode.h"
#include "link/telegram.h"

namespace velmora::testkit {

// The oldest request waiting in the request queue (it is taken).
inline std::optional<link::Telegram> TakeRequest(link::DriveLink& link) {
    link::Telegram t;
    if (link.telegrams().Fetch(link::kRequestSlot, t, std::chrono::milliseconds(0)) !=
        link::queue_result::kOk)
        return std::nullopt;
    return t;
}

// Every request waiting in the request queue, oldest first (the queue is emptied).
inline std::vector<link::Telegram> TakeRequests(link::DriveLink& link) {
    std::vector<link::Telegram> out;
    while (auto t = TakeRequest(link)) out.push_back(std::move(*t));
    return out;
}

// The group codes of every queued read request, oldest first.
inline std::vector<int> TakeReadRequests(link::DriveLink& link) {
    std::vector<int> codes;
    for (const auto& t : TakeRequests(link)) codes.push_back(t.data.empty() ? -1 : t.data[0]);
    return codes;
}

// Every poll mode posted since the last call, oldest first.
inline std::vector<int> TakePollModes(link::DriveLink& link) {
    std::vector<int> modes;
    std::int32_t mode = 0;
    while (link.pollModes().Fetch(0, mode, std::chrono::milliseconds(0)) == link::queue_result::kOk)
        modes.push_back(mode);
    return modes;
}

// The numbers TakePollModes() gives for the modes named.
inline std::vector<int> PollModes(std::initializer_list<link::PollMode> modes) {
    std::vector<int> numbers;
    for (const link::PollMode mode : modes) numbers.push_back(static_cast<int>(mode));
    return numbers;
}

inline std::vector<int> Commands(const std::vector<link::Telegram>& requests) {
    std::vector<int> codes;
    for (const auto& t : requests) codes.push_back(t.command);
    return codes;
}

// Puts a reply into the reply queue as the reader thread would.
inline void PostReply(link::DriveLink& link, int command, std::vector<std::uint8_t> data) {
    link::Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    link.telegrams().Post(link::kReplySlot, std::move(t));
}

// Takes the oldest reply as the main window does on its announcement and
// hands it to `page`; false when none was waiting.
template <typename Page>
bool DeliverReply(link::DriveLink& link, Page& page) {
    link::Telegram reply;
    if (link.fetchReply(reply) != 0) return false;
    page.driveReply(reply);
    return true;
}

// "cmd:b0 b1 ..." for readable failures.
inline std::string Describe(const link::Telegram& t) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(t.command));
    std::string s = std::string(buffer) + ":";
    for (std::size_t i = 0; i < t.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? " %02X" : "%02X", t.data[i]);
        s += buffer;
    }
    return s;
}

inline std::vector<std::string> Describe(const std::vector<link::Telegram>& ts) {
    std::vector<std::string> out;
    for (const auto& t : ts) out.push_back(Describe(t));
    return out;
}

}  // namespace velmora::testkit
