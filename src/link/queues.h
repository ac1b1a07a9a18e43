#pragma once
// The seven process-wide queues of the link, created on first use.
#include <cstdint>
#include <vector>

#include "link/codec.h"
#include "link/messages.h"
#include "link/queueset.h"
#include "link/telegram.h"

namespace velmora::link {

// Slots of the telegram set.
inline constexpr int kRequestSlot = 0;    // pages, polling, supervision -> encoder
inline constexpr int kReplySlot = 1;      // receive thread -> window (group and other replies)
inline constexpr int kLinkReplySlot = 2;  // receive thread -> supervision (0x81)
inline constexpr int kStatusSlot = 3;     // receive thread -> window (0x60)

inline constexpr std::size_t kTelegramCapacity = 50;
inline constexpr std::size_t kFrameCapacity = 250;
inline constexpr std::size_t kPollModeCapacity = 10;
inline constexpr std::size_t kByteCapacity = 250;

using TelegramQueues = QueueSet<Telegram, 4>;
using FrameQueue = QueueSet<WireFrame, 1>;
using PollModeQueue = QueueSet<std::int32_t, 1>;
using ByteQueue = QueueSet<std::uint8_t, 1>;

[[nodiscard]] TelegramQueues& TheTelegramQueues();
[[nodiscard]] FrameQueue& TheFrameQueue();
[[nodiscard]] PollModeQueue& ThePollModeQueue();
[[nodiscard]] ByteQueue& TheByteQueue();

// Empties all seven queues (a fresh start of the link threads).
void FlushAllQueues();

// How many orders (IsOrder) never reached the line since the program
// started: discarded by a flush (a lost link, a firmware start), refused by a
// full request queue, not encodable, or not written (no port, a write that
// failed or timed out). A program that ends learns from it whether what it
// ordered went out.
[[nodiscard]] std::uint64_t LostOrderCount();
// How many orders SendRequest has queued since the program started.
[[nodiscard]] std::uint64_t QueuedOrderCount();
// Counts and records an order that never reached the line; anything else
// (reads, link checks, which are asked for again) is ignored.
void CountLostOrder(int command);

// What was lost since the last TakeLostOrders, one entry per command (a group
// write per group), in the order of their first loss.
struct LostOrder {
    int command = 0;
    int group = -1;  // the group a group write carries; -1 for other orders
    std::uint64_t times = 0;
};
[[nodiscard]] std::vector<LostOrder> TakeLostOrders();
// Where the first loss after a take is announced with WM_ORDERS_LOST (the
// link threads' target while they run); nullptr for nowhere.
void AnnounceLostOrdersTo(MessageTarget* target);
// The command code an encoded frame carries; -1 for no telegram's frame.
[[nodiscard]] int FrameCommand(const WireFrame& frame);

// The byte queue as the decoder's byte source.
class ByteQueueSource final : public ByteSource {
  public:
    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override;
};

}  // namespace velmora::link
