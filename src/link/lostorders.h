#pragma once
// The orders of one link that never reached the line: discarded by a flush
// (a lost link, a firmware start), refused by a full request queue, not
// encodable, or not written (no port, a write that failed or timed out). A
// program that ends learns from it whether what it ordered went out.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "link/messagetarget.h"

namespace velmora::link {

// One entry per command (a group write per group), in the order of their
// first loss since the last take.
struct LostOrder {
    int command = 0;
    int group = -1;  // the group a group write carries; -1 for other orders
    std::uint64_t times = 0;
};

class LostOrders {
  public:
    // Counts and records an order; anything else (reads, link checks, which
    // are asked for again) is ignored.
    void count(int command);
    [[nodiscard]] std::uint64_t total() const { return m_total.load(); }
    // What was lost since the last take; at most one entry per command, so
    // the record stays small however long nobody takes it.
    [[nodiscard]] std::vector<LostOrder> take();
    // Where the first loss after a take is announced with WM_ORDERS_LOST;
    // nullptr for nowhere.
    void announceTo(MessageTarget* target);

  private:
    std::atomic<std::uint64_t> m_total{0};
    std::mutex m_mutex;
    std::vector<LostOrder> m_orders;
    MessageTarget* m_target = nullptr;
};

// True for a command code that orders the drive to do something.
[[nodiscard]] bool IsOrderCode(int command);

}  // namespace velmora::link
