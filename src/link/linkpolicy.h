#pragma once
// The tables the link threads work from: where each reply goes and which
// requests each polling mode asks for.
#include <cstdint>
#include <optional>
#include <span>

#include "link/pollmode.h"
#include "link/telegram.h"

namespace velmora::link {

inline constexpr int kReadGroupCommand = 0xCF;
inline constexpr int kLinkCheckCommand = 0x80;
inline constexpr int kLinkCheckReply = 0x81;
inline constexpr int kStatusReply = 0x60;

inline constexpr int kInitialPollMode = static_cast<int>(PollMode::Initial);

struct ReplyRoute {
    int slot;          // slot of the telegram set
    unsigned message;  // posted after the queue took it; 0 for none
};

// nullopt: the reply is dropped without a message.
[[nodiscard]] std::optional<ReplyRoute> RouteForReply(int command);

struct PollPlan {
    bool status = true;           // status request first, then a pause
    std::span<const int> groups;  // further read requests, back to back
    int extraPauseMs = 0;         // after the further requests
};

[[nodiscard]] PollPlan PollPlanFor(int mode);

// The link threads ask for reads and link checks again when one is lost;
// every other request is an order someone gave once (a write, an action).
[[nodiscard]] bool IsOrder(int command);

// The group (0x50..0x58) a group write (0x10..0x18) carries; -1 for any other
// command.
[[nodiscard]] int GroupWrittenBy(int command);

[[nodiscard]] Telegram BuildReadRequest(int code);
[[nodiscard]] Telegram BuildLinkCheck();

}  // namespace velmora::link
