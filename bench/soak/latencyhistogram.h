#pragma once
// Timer lateness samples kept in fixed buckets, so that a long soak does not
// measure its own sample storage as the window's memory growth: 0.01 ms steps
// up to 100 ms, 1 ms steps up to 10 s, and the worst value exactly.
#include <array>
#include <cstdint>

namespace velmora::bench {

class LatencyHistogram {
  public:
    void add(double ms);
    [[nodiscard]] std::uint64_t count() const { return m_count; }
    [[nodiscard]] double worst() const { return m_worst; }
    // The p-th percentile (0..100) at bucket resolution; the worst for 100.
    [[nodiscard]] double percentile(double p) const;

  private:
    static constexpr int kFine = 10000;   // 0.01 ms each, to 100 ms
    static constexpr int kCoarse = 9900;  // 1 ms each, 100 ms to 10 s
    static int bucketOf(double ms);
    static double valueOf(int bucket);

    std::array<std::uint32_t, kFine + kCoarse + 1> m_buckets{};  // last: beyond 10 s
    std::uint64_t m_count = 0;
    double m_worst = 0;
};

}  // namespace velmora::bench
