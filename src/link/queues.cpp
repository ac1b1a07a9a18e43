#include "link/queues.h"

#include "link/linkapi.h"

namespace velmora::link {

TelegramQueues& TheTelegramQueues() {
    static TelegramQueues queues(kTelegramCapacity);
    return queues;
}

FrameQueue& TheFrameQueue() {
    static FrameQueue queue(kFrameCapacity);
    return queue;
}

PollModeQueue& ThePollModeQueue() {
    static PollModeQueue queue(kPollModeCapacity);
    return queue;
}

ByteQueue& TheByteQueue() {
    static ByteQueue queue(kByteCapacity);
    return queue;
}

void FlushAllQueues() {
    TheTelegramQueues().FlushAll();
    TheFrameQueue().FlushAll();
    ThePollModeQueue().FlushAll();
    TheByteQueue().FlushAll();
}

std::optional<std::uint8_t> ByteQueueSource::nextByte(std::chrono::milliseconds wait) {
    std::uint8_t byte = 0;
    if (TheByteQueue().Fetch(0, byte, wait) != queue_result::kOk) return std::nullopt;
    return byte;
}

int SendRequest(Telegram request) {
    // A request is what a page or the user asked the drive to do: when the
    // queue is full it waits for room rather than being dropped unseen.
    const int result = TheTelegramQueues().PostOrHold(kRequestSlot, std::move(request));
    return result == queue_result::kOk || result == queue_result::kHeld ? 0 : 1;
}

int FetchReply(Telegram& reply) {
    return TheTelegramQueues().Fetch(kReplySlot, reply) == queue_result::kOk ? 0 : 1;
}

int FetchStatus(Telegram& reply) {
    return TheTelegramQueues().Fetch(kStatusSlot, reply) == queue_result::kOk ? 0 : 1;
}

int SetPollMode(int mode) {
    return ThePollModeQueue().Post(0, mode) == queue_result::kOk ? 0 : 1;
}

void FlushOutgoing() {
    TheFrameQueue().Flush(0);
    TheTelegramQueues().Flush(kRequestSlot);
}

}  // namespace velmora::link
