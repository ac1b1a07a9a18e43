#include "link/lostorders.h"

#include <algorithm>
#include <utility>

#include "link/linkpolicy.h"

namespace velmora::link {

bool IsOrderCode(int command) {
    return command >= 0 && command <= 0xFF && IsOrder(command);
}

void LostOrders::count(int command) {
    if (!IsOrderCode(command)) return;
    ++m_total;
    std::lock_guard lock(m_mutex);
    const bool first = m_orders.empty();
    auto found = std::find_if(m_orders.begin(), m_orders.end(),
                              [command](const LostOrder& o) { return o.command == command; });
    if (found == m_orders.end()) {
        m_orders.push_back({command, GroupWrittenBy(command), 0});
        found = m_orders.end() - 1;
    }
    ++found->times;
    // One message per batch: the taker empties the record and sees all of it.
    if (first && m_target && m_target->isAlive()) m_target->postMessage(WM_ORDERS_LOST, 0);
}

std::vector<LostOrder> LostOrders::take() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_orders, {});
}

void LostOrders::announceTo(MessageTarget* target) {
    std::lock_guard lock(m_mutex);
    m_target = target;
}

}  // namespace velmora::link
