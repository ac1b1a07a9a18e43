#include "trend/axisticks.h"

#include <algorithm>
#include <cmath>

namespace velmora::trend {

namespace {

double NiceStep(double rough) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // A little slack so 0.2 is not taken for just above 0.2.
        if (rough <= factor * magnitude * (1 + 1e-9)) return factor * magnitude;
    }
    return 10 * magnitude;
}

}  // namespace

AxisTicks NiceTicks(double low, double high, int maxTicks) {
    maxTicks = std::max(maxTicks, 2);
    if (!std::isfinite(low) || !std::isfinite(high)) return {};
    if (high < low) std::swap(low, high);
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        const double half = std::max(0.5, std::abs(high) * 0.05);
        low -= half;
        high += half;
    }
    AxisTicks ticks;
    double step = NiceStep((high - low) / (maxTicks - 1));
    for (;;) {
        ticks.low = std::floor(low / step + 1e-9) * step;
        ticks.high = std::ceil(high / step - 1e-9) * step;
        ticks.count = static_cast<int>(std::lround((ticks.high - ticks.low) / step)) + 1;
        // Rounding both ends outwards may add a tick too many.
        if (ticks.count <= maxTicks) break;
        step = NiceStep(step * 1.01);
    }
    ticks.step = step;
    ticks.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    return ticks;
}

}  // namespace velmora::trend
