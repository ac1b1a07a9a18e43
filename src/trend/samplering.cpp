#include "trend/samplering.h"

#include <algorithm>

namespace velmora::trend {

SampleRing::SampleRing(std::size_t capacity) : m_slots(std::max<std::size_t>(capacity, 1)) {}

void SampleRing::push(const TrendSample& sample) {
    // A clock set back would break the time order the searches rely on: such
    // a sample is kept at the time of the latest one.
    TrendSample kept = sample;
    if (m_size > 0 && kept.timeMs < latest().timeMs) kept.timeMs = latest().timeMs;
    if (m_size < m_slots.size()) {
        m_slots[(m_head + m_size) % m_slots.size()] = kept;
        ++m_size;
        return;
    }
    m_slots[m_head] = kept;
    m_head = (m_head + 1) % m_slots.size();
}

void SampleRing::clear() {
    m_head = 0;
    m_size = 0;
}

const TrendSample& SampleRing::at(std::size_t index) const {
    return m_slots[(m_head + index) % m_slots.size()];
}

std::size_t SampleRing::firstAtOrAfter(std::int64_t timeMs) const {
    std::size_t low = 0;
    std::size_t high = m_size;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (at(middle).timeMs < timeMs) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::size_t SampleRing::nearest(std::int64_t timeMs) const {
    if (m_size == 0) return 0;
    const std::size_t after = firstAtOrAfter(timeMs);
    if (after == 0) return 0;
    if (after == m_size) return m_size - 1;
    return timeMs - at(after - 1).timeMs <= at(after).timeMs - timeMs ? after - 1 : after;
}

}  // namespace velmora::trend
