#pragma once
// Value-axis ticks a reader takes in at a glance: steps of 1, 2 or 5 times a
// power of ten, the axis ending on a tick. Qt-free.
namespace velmora::trend {

struct AxisTicks {
    double low = 0;
    double high = 1;
    double step = 1;
    int count = 2;     // ticks from low to high, both included
    int decimals = 0;  // enough to tell the steps apart
};

// An axis around low..high with at most maxTicks ticks (taken as at least 2);
// a range of zero or a reversed one is widened around its value.
[[nodiscard]] AxisTicks NiceTicks(double low, double high, int maxTicks);

}  // namespace velmora::trend
