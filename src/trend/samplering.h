#pragma once
// A fixed number of the latest samples: memory is taken once, and a long
// session overwrites the oldest instead of growing. Window thread only.
#include <cstddef>
#include <vector>

#include "trend/trendseries.h"

namespace velmora::trend {

class SampleRing {
  public:
    // capacity 0 is taken as 1.
    explicit SampleRing(std::size_t capacity);

    void push(const TrendSample& sample);
    void clear();
    [[nodiscard]] std::size_t size() const { return m_size; }
    [[nodiscard]] std::size_t capacity() const { return m_slots.size(); }
    [[nodiscard]] bool empty() const { return m_size == 0; }
    // 0 is the oldest kept sample, size() - 1 the latest; index < size().
    [[nodiscard]] const TrendSample& at(std::size_t index) const;
    [[nodiscard]] const TrendSample& latest() const { return at(m_size - 1); }
    // Index of the first sample at or after timeMs (size() when none). Samples
    // are pushed in time order, so this is a binary search.
    [[nodiscard]] std::size_t firstAtOrAfter(std::int64_t timeMs) const;
    // Index of the sample closest in time; size() when the ring is empty.
    [[nodiscard]] std::size_t nearest(std::int64_t timeMs) const;

  private:
    std::vector<TrendSample> m_slots;
    std::size_t m_head = 0;  // slot of the oldest sample
    std::size_t m_size = 0;
};

}  // namespace velmora::trend
