#include "latencyhistogram.h"

#include <algorithm>
#include <cmath>

namespace velmora::bench {

int LatencyHistogram::bucketOf(double ms) {
    if (!(ms > 0)) return 0;  // also NaN
    if (ms < 100.0) return std::min(kFine - 1, static_cast<int>(ms * 100.0));
    if (ms < 10000.0) return kFine + std::min(kCoarse - 1, static_cast<int>(ms) - 100);
    return kFine + kCoarse;
}

double LatencyHistogram::valueOf(int bucket) {
    if (bucket < kFine) return bucket / 100.0;
    return 100.0 + (bucket - kFine);
}

void LatencyHistogram::add(double ms) {
    ++m_buckets[static_cast<std::size_t>(bucketOf(ms))];
    ++m_count;
    m_worst = std::max(m_worst, ms);
}

double LatencyHistogram::percentile(double p) const {
    if (m_count == 0) return 0;
    if (p >= 100.0) return m_worst;
    // The same rank as sorting the samples and taking the nearest index.
    const auto rank = static_cast<std::uint64_t>(std::max(0.0, p) / 100.0 * (m_count - 1) + 0.5);
    std::uint64_t seen = 0;
    for (std::size_t b = 0; b < m_buckets.size(); ++b) {
        seen += m_buckets[b];
        if (seen > rank) return std::min(valueOf(static_cast<int>(b)), m_worst);
    }
    return m_worst;
}

}  // namespace velmora::bench
