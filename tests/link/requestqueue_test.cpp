#include "link/requestqueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "link/drivelink.h"
#include "link/linkpolicy.h"
#include "link/queues.h"
#include "link/queueset.h"
#include "tests/support/messagerecorder.h"

namespace velmora::link {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Catches a fetch that returns early or blocks longer than its time-out, and
// wrong result codes for out-of-range slots.
TEST(RequestQueue, EmptyFetchTimesOutAndBadSlotsAreRefused) {
    QueueSet<int, 1> single(10);
    int value = -7;
    const auto start = Clock::now();
    EXPECT_EQ(single.Fetch(0, value), queue_result::kTimedOut);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 240ms);
    EXPECT_LT(waited, 1000ms);
    EXPECT_EQ(value, -7) << "a failed fetch leaves the caller's entry alone";

    EXPECT_EQ(single.Post(1, 5), queue_result::kBadSlot);
    EXPECT_EQ(single.Fetch(1, value), queue_result::kBadSlot);
    EXPECT_EQ(single.Flush(1), queue_result::kBadSlot);
    EXPECT_EQ(single.Post(-1, 5), queue_result::kBadSlot);

    QueueSet<Telegram, 4> set(50);
    Telegram t;
    EXPECT_EQ(set.Post(4, Telegram{}), queue_result::kBadSlot);
    EXPECT_EQ(set.Fetch(4, t), queue_result::kBadSlot);
    EXPECT_EQ(set.Flush(4), queue_result::kBadSlot);
}

// Catches capacities that differ from what the threads rely on, and a refused
// post that still leaves its entry in the queue.
TEST(RequestQueue, CapacitiesOfTheSevenQueues) {
    link::DriveLink link;
    const struct {
        const char* name;
        std::size_t capacity;
        std::function<int()> post;
        std::function<std::size_t()> size;
        std::function<void()> flush;
    } queues[] = {
        {"request", 50, [&] { return link.telegrams().Post(kRequestSlot, Telegram{}); },
         [&] { return link.telegrams().size(kRequestSlot); },
         [&] { link.telegrams().Flush(kRequestSlot); }},
        {"reply", 50, [&] { return link.telegrams().Post(kReplySlot, Telegram{}); },
         [&] { return link.telegrams().size(kReplySlot); },
         [&] { link.telegrams().Flush(kReplySlot); }},
        {"link reply", 50, [&] { return link.telegrams().Post(kLinkReplySlot, Telegram{}); },
         [&] { return link.telegrams().size(kLinkReplySlot); },
         [&] { link.telegrams().Flush(kLinkReplySlot); }},
        {"status", 50, [&] { return link.telegrams().Post(kStatusSlot, Telegram{}); },
         [&] { return link.telegrams().size(kStatusSlot); },
         [&] { link.telegrams().Flush(kStatusSlot); }},
        {"frame", 250,
         [&] {
             return link.frames().Post(0, WireFrame{{1, 2}});
         },
         [&] { return link.frames().size(0); }, [&] { link.frames().Flush(0); }},
        {"poll mode", 10, [&] { return link.pollModes().Post(0, 3); },
         [&] { return link.pollModes().size(0); }, [&] { link.pollModes().Flush(0); }},
        {"byte", 250, [&] { return link.bytes().Post(0, 0x30); },
         [&] { return link.bytes().size(0); }, [&] { link.bytes().Flush(0); }},
    };
    for (const auto& q : queues) {
        q.flush();
        for (std::size_t i = 0; i < q.capacity; ++i) ASSERT_EQ(q.post(), 0) << q.name << " " << i;
        EXPECT_EQ(q.post(), queue_result::kRefused) << q.name;
        EXPECT_EQ(q.size(), q.capacity) << q.name;
        q.flush();
        EXPECT_EQ(q.size(), 0u) << q.name;
    }
}

// Catches a flush that leaves a count behind (a later fetch would return at
// once with nothing) and a flush that forgets entries.
TEST(RequestQueue, FlushEmptiesAndTheNextFetchWaits) {
    QueueSet<int, 1> queue(10);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(queue.Post(0, i), 0);
    EXPECT_EQ(queue.Flush(0), 0);
    int value = 0;
    const auto start = Clock::now();
    EXPECT_EQ(queue.Fetch(0, value), queue_result::kTimedOut);
    EXPECT_GE(Clock::now() - start, 240ms);
    ASSERT_EQ(queue.Post(0, 42), 0);
    EXPECT_EQ(queue.Fetch(0, value), 0);
    EXPECT_EQ(value, 42);
}

// Catches lost, duplicated or reordered entries when a producer and a consumer
// run at the same time against a small queue that fills up.
TEST(RequestQueue, FifoUnderConcurrentProducerAndConsumer) {
    QueueSet<Telegram, 4> queues(50);
    constexpr int kCount = 5000;
    std::thread producer([&] {
        for (int i = 0; i < kCount; ++i) {
            Telegram t;
            t.command = i & 0xFF;
            t.length = 2;
            t.data = {static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
            while (queues.Post(2, t) == queue_result::kRefused) std::this_thread::yield();
        }
    });
    int expected = 0;
    while (expected < kCount) {
        Telegram t;
        const int result = queues.Fetch(2, t);
        ASSERT_EQ(result, 0);
        ASSERT_EQ(t.data.size(), 2u);
        ASSERT_EQ(t.data[0] << 8 | t.data[1], expected);
        ASSERT_EQ(t.command, expected & 0xFF);
        ++expected;
    }
    producer.join();
    EXPECT_EQ(queues.size(2), 0u);
}

// Catches a holding-back post that overruns the capacity, never gives up, or
// misses the room a fetch makes.
TEST(RequestQueue, PostWithinWaitsForRoomAndGivesUp) {
    QueueSet<int, 1> queue(2);
    ASSERT_EQ(queue.Post(0, 1), 0);
    ASSERT_EQ(queue.Post(0, 2), 0);
    auto start = Clock::now();
    EXPECT_EQ(queue.PostWithin(0, 3, 50ms), queue_result::kRefused);
    EXPECT_GE(Clock::now() - start, 45ms);
    EXPECT_EQ(queue.size(0), 2u);
    std::thread consumer([&] {
        std::this_thread::sleep_for(30ms);  // real time: a post waiting for room shows nowhere
        int value = 0;
        queue.Fetch(0, value);
    });
    EXPECT_EQ(queue.PostWithin(0, 3, 2000ms), 0);
    consumer.join();
    std::vector<int> order;
    int value = 0;
    while (queue.Fetch(0, value, 0ms) == 0) order.push_back(value);
    EXPECT_EQ(order, (std::vector<int>{2, 3}));
    EXPECT_EQ(queue.PostWithin(1, 3, 10ms), queue_result::kBadSlot);
}

// Catches sendRequest/fetchReply/fetchStatus/setPollMode writing to the wrong
// slot or queue, and FlushOutgoing touching the incoming side.
TEST(RequestQueue, PageOperationsUseTheirSlots) {
    link::DriveLink link;
    link.flushAllQueues();
    Telegram request;
    request.command = 0xA0;
    EXPECT_EQ(link.sendRequest(request), 0);
    EXPECT_EQ(link.telegrams().size(kRequestSlot), 1u);

    Telegram reply;
    reply.command = 0x59;
    ASSERT_EQ(link.telegrams().Post(kReplySlot, reply), 0);
    Telegram status;
    status.command = 0x60;
    ASSERT_EQ(link.telegrams().Post(kStatusSlot, status), 0);
    Telegram got;
    EXPECT_EQ(link.fetchStatus(got), 0);
    EXPECT_EQ(got.command, 0x60);
    EXPECT_EQ(link.fetchReply(got), 0);
    EXPECT_EQ(got.command, 0x59);
    EXPECT_EQ(link.fetchReply(got), 1);

    EXPECT_EQ(link.setPollMode(13), 0);
    int mode = 0;
    EXPECT_EQ(link.pollModes().Fetch(0, mode), 0);
    EXPECT_EQ(mode, 13);

    ASSERT_EQ(link.frames().Post(0, WireFrame{{1}}), 0);
    ASSERT_EQ(link.telegrams().Post(kLinkReplySlot, Telegram{}), 0);
    link.flushOutgoing();
    EXPECT_EQ(link.telegrams().size(kRequestSlot), 0u);
    EXPECT_EQ(link.frames().size(0), 0u);
    EXPECT_EQ(link.telegrams().size(kLinkReplySlot), 1u);
    link.flushAllQueues();
}

// Catches a request dropped when the request queue is full (a page's write
// vanishing right after start-up), requests overtaking the ones that wait,
// the capacity being overrun, and a flush that sends held requests later.
TEST(RequestQueue, FullRequestQueueHoldsRequestsInOrder) {
    link::DriveLink link;
    link.flushAllQueues();
    for (int i = 0; i < 60; ++i) {
        Telegram request;
        request.command = i;
        ASSERT_EQ(link.sendRequest(request), 0) << i;
    }
    EXPECT_EQ(link.telegrams().size(kRequestSlot), 50u);
    EXPECT_EQ(link.telegrams().held(kRequestSlot), 10u);
    std::vector<int> order;
    std::thread late([&] {
        Telegram request;
        request.command = 60;
        link.sendRequest(request);  // from another thread while the encoder drains
    });
    Telegram got;
    while (link.telegrams().Fetch(kRequestSlot, got, 300ms) == queue_result::kOk) {
        order.push_back(got.command);
        EXPECT_LE(link.telegrams().size(kRequestSlot), 50u);
    }
    late.join();
    ASSERT_EQ(order.size(), 61u);
    for (int i = 0; i < 61; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);

    for (int i = 0; i < 55; ++i) link.sendRequest(Telegram{});
    link.flushOutgoing();
    EXPECT_EQ(link.telegrams().size(kRequestSlot), 0u);
    EXPECT_EQ(link.telegrams().held(kRequestSlot), 0u);
    link.flushAllQueues();
}

using Lost = std::vector<std::tuple<int, int, std::uint64_t>>;  // command, group, times
Lost TakeLost(DriveLink& link) {
    Lost out;
    for (const LostOrder& o : link.lostOrders().take())
        out.emplace_back(o.command, o.group, o.times);
    return out;
}

// Catches flushed orders only counted: each is named (a group write by its
// group) and the batch announced once; reads and link checks are no orders.
TEST(LostOrders, FlushedWritesAreNamedAndAnnouncedOnce) {
    link::DriveLink link;
    link.flushAllQueues();
    (void)link.lostOrders().take();
    testkit::MessageRecorder target;
    link.lostOrders().announceTo(&target);
    const auto lostBefore = link.lostOrders().total();
    for (int command : {0x11, 0xA0, 0x11, 0xCF, 0x80})
        link.sendRequest(Telegram{1, command, 0, {}});
    link.flushOutgoing();
    link.lostOrders().announceTo(nullptr);
    EXPECT_EQ(link.lostOrders().total() - lostBefore, 3u);
    EXPECT_EQ(TakeLost(link), (Lost{{0x11, 0x51, 2}, {0xA0, -1, 1}}));
    EXPECT_EQ(target.messages(),
              (std::vector<testkit::MessageRecorder::Message>{{WM_ORDERS_LOST, 0}}));
}

// Catches an unbounded held line, a refusal there without a trace, and a
// link check waiting behind the line (late checks read as a lost link).
TEST(LostOrders, HeldLineIsBoundedAndLinkChecksPassIt) {
    link::DriveLink link;
    link.flushAllQueues();
    (void)link.lostOrders().take();
    for (std::size_t i = 0; i < kTelegramCapacity + kHeldLimit; ++i)
        ASSERT_EQ(link.sendRequest(Telegram{1, 0x10, 0, {}}), 0) << i;
    EXPECT_EQ(link.sendRequest(Telegram{1, 0xA1, 0, {}}), 1);
    EXPECT_EQ(link.telegrams().held(kRequestSlot), kHeldLimit);
    EXPECT_EQ(TakeLost(link), (Lost{{0xA1, -1, 1}}));

    auto& queues = link.telegrams();
    EXPECT_EQ(queues.PostUrgent(kRequestSlot, BuildLinkCheck()), queue_result::kOk);
    EXPECT_EQ(queues.PostUrgent(kRequestSlot, BuildLinkCheck()), queue_result::kRefused);
    for (int expected : {kLinkCheckCommand, 0x10}) {
        Telegram got;
        ASSERT_EQ(queues.Fetch(kRequestSlot, got, 0ms), queue_result::kOk);
        EXPECT_EQ(got.command, expected);
    }
}

}  // namespace
}  // namespace velmora::link
