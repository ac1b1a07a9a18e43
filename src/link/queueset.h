#pragma once
// Sets of request queues reached by slot number.
#include <array>
#include <deque>
#include <utility>

#include "link/requestqueue.h"

namespace velmora::link {

// Queues reached through one handle by slot number; a slot out of range gives
// kBadSlot for every operation.
template <typename Entry, std::size_t Slots>
class QueueSet {
  public:
    explicit QueueSet(std::size_t capacity) : m_queues(Make(capacity, Index{})) {}

    int Post(int slot, Entry entry) {
        auto* queue = at(slot);
        return queue ? queue->Post(std::move(entry)) : queue_result::kBadSlot;
    }
    int PostOrHold(int slot, Entry entry) {
        auto* queue = at(slot);
        return queue ? queue->PostOrHold(std::move(entry)) : queue_result::kBadSlot;
    }
    int PostUrgent(int slot, Entry entry) {
        auto* queue = at(slot);
        return queue ? queue->PostUrgent(std::move(entry)) : queue_result::kBadSlot;
    }
    int PostWithin(int slot, Entry entry, std::chrono::milliseconds timeout) {
        auto* queue = at(slot);
        return queue ? queue->PostWithin(std::move(entry), timeout) : queue_result::kBadSlot;
    }
    int Fetch(int slot, Entry& entry, std::chrono::milliseconds timeout = kFetchTimeout) {
        auto* queue = at(slot);
        return queue ? queue->Fetch(entry, timeout) : queue_result::kBadSlot;
    }
    int Flush(int slot) {
        auto* queue = at(slot);
        return queue ? queue->Flush() : queue_result::kBadSlot;
    }
    std::deque<Entry> TakeAll(int slot) {
        auto* queue = at(slot);
        return queue ? queue->TakeAll() : std::deque<Entry>{};
    }
    void FlushAll() {
        for (auto& queue : m_queues) queue.Flush();
    }
    [[nodiscard]] std::size_t size(int slot) const {
        return slot >= 0 && static_cast<std::size_t>(slot) < Slots ? m_queues[slot].size() : 0;
    }
    [[nodiscard]] std::size_t held(int slot) const {
        return slot >= 0 && static_cast<std::size_t>(slot) < Slots ? m_queues[slot].held() : 0;
    }

  private:
    using Index = std::make_index_sequence<Slots>;
    template <std::size_t... I>
    static std::array<RequestQueue<Entry>, Slots> Make(std::size_t capacity,
                                                       std::index_sequence<I...>) {
        return {((void)I, RequestQueue<Entry>(capacity))...};
    }
    RequestQueue<Entry>* at(int slot) {
        if (slot < 0 || static_cast<std::size_t>(slot) >= Slots) return nullptr;
        return &m_queues[static_cast<std::size_t>(slot)];
    }

    std::array<RequestQueue<Entry>, Slots> m_queues;
};

}  // namespace velmora::link
