#include "bench/soak/latencyhistogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace velmora::bench {
namespace {

// The nearest-rank percentile of the sorted samples, which the buckets must
// match to their resolution.
double SortedPercentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(p / 100.0 * (samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

TEST(LatencyHistogram, PercentilesMatchSortedSamplesToBucketResolution) {
    LatencyHistogram empty;
    EXPECT_EQ(empty.percentile(50), 0.0);
    EXPECT_EQ(empty.worst(), 0.0);

    std::mt19937 random(7);
    std::exponential_distribution<double> late(2.0);  // mostly well under 1 ms
    std::vector<double> samples;
    LatencyHistogram histogram;
    for (int i = 0; i < 20000; ++i) {
        const double ms =
            late(random) + (i % 997 == 0 ? 150.0 + i / 100.0 : 0.0);  // a few late beats
        samples.push_back(ms);
        histogram.add(ms);
    }
    ASSERT_EQ(histogram.count(), samples.size());
    for (double p : {0.0, 50.0, 90.0, 99.0, 99.9}) {
        const double exact = SortedPercentile(samples, p);
        const double step = exact < 100.0 ? 0.01 : 1.0;
        EXPECT_LE(histogram.percentile(p), exact) << p;
        EXPECT_GT(histogram.percentile(p), exact - step) << p;
    }
    EXPECT_EQ(histogram.percentile(100), *std::max_element(samples.begin(), samples.end()));
    EXPECT_EQ(histogram.worst(), histogram.percentile(100));
}

// Values outside the buckets land at their ends; nothing indexes past them.
TEST(LatencyHistogram, OutOfRangeValues) {
    LatencyHistogram histogram;
    histogram.add(-5.0);
    histogram.add(std::numeric_limits<double>::quiet_NaN());
    histogram.add(99.999);
    histogram.add(1e9);
    EXPECT_EQ(histogram.count(), 4u);
    EXPECT_EQ(histogram.percentile(0), 0.0);
    EXPECT_DOUBLE_EQ(histogram.percentile(70), 99.99);
    EXPECT_EQ(histogram.worst(), 1e9);
    EXPECT_EQ(histogram.percentile(99.9), 10000.0);
}

}  // namespace
}  // namespace velmora::bench
