#pragma once
// The queues between the link threads and the window (a DriveLink owns one
// set), and their slots and sizes.
#include <cstdint>

#include "link/codec.h"
#include "link/messagetarget.h"
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

// The command code an encoded frame carries; -1 for no telegram's frame.
[[nodiscard]] int FrameCommand(const WireFrame& frame);

// A byte queue as the decoder's byte source.
class ByteQueueSource final : public ByteSource {
  public:
    explicit ByteQueueSource(ByteQueue& queue) : m_queue(queue) {}
    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override;

  private:
    ByteQueue& m_queue;
};

}  // namespace velmora::link
