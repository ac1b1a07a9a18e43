#include "link/queues.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

#include "link/linkapi.h"
#include "link/linkpolicy.h"

namespace velmora::link {

namespace {

std::atomic<std::uint64_t> g_lostOrders{0};
std::atomic<std::uint64_t> g_queuedOrders{0};

bool IsOrderCode(int command) {
    return command >= 0 && command <= 0xFF && IsOrder(command);
}

// The record behind TakeLostOrders. At most one entry per command code, so it
// stays small however long nobody takes it.
struct LostRecord {
    std::mutex mutex;
    std::vector<LostOrder> orders;
    MessageTarget* target = nullptr;
};

LostRecord& TheLostRecord() {
    static LostRecord record;
    return record;
}

void Record(int command) {
    LostRecord& record = TheLostRecord();
    std::lock_guard lock(record.mutex);
    const bool first = record.orders.empty();
    auto found = std::find_if(record.orders.begin(), record.orders.end(),
                              [command](const LostOrder& o) { return o.command == command; });
    if (found == record.orders.end()) {
        record.orders.push_back({command, GroupWrittenBy(command), 0});
        found = record.orders.end() - 1;
    }
    ++found->times;
    // One message per batch: the taker empties the record and sees all of it.
    if (first && record.target && record.target->isAlive())
        record.target->postMessage(WM_ORDERS_LOST, 0);
}

}  // namespace

int FrameCommand(const WireFrame& frame) {
    if (frame.bytes.size() < 5 || frame.bytes[0] != kFrameStart) return -1;
    const auto digit = [](std::uint8_t c) {
        return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    };
    return digit(frame.bytes[3]) * 16 + digit(frame.bytes[4]);
}

std::uint64_t LostOrderCount() {
    return g_lostOrders.load();
}

std::uint64_t QueuedOrderCount() {
    return g_queuedOrders.load();
}

void CountLostOrder(int command) {
    if (!IsOrderCode(command)) return;
    ++g_lostOrders;
    Record(command);
}

std::vector<LostOrder> TakeLostOrders() {
    LostRecord& record = TheLostRecord();
    std::lock_guard lock(record.mutex);
    return std::exchange(record.orders, {});
}

void AnnounceLostOrdersTo(MessageTarget* target) {
    LostRecord& record = TheLostRecord();
    std::lock_guard lock(record.mutex);
    record.target = target;
}

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
    // queue is full it waits for room rather than being dropped unseen; past
    // the limit of that line it is refused and accounted as lost.
    const int command = request.command;
    const int result = TheTelegramQueues().PostOrHold(kRequestSlot, std::move(request));
    if (result == queue_result::kOk || result == queue_result::kHeld) {
        if (IsOrderCode(command)) ++g_queuedOrders;
        return 0;
    }
    CountLostOrder(command);
    return 1;
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
    for (const auto& frame : TheFrameQueue().TakeAll(0)) CountLostOrder(FrameCommand(frame));
    for (const auto& request : TheTelegramQueues().TakeAll(kRequestSlot))
        CountLostOrder(request.command);
}

}  // namespace velmora::link
