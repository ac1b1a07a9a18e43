#include "pages/motor/vhzgeometry.h"

#include <algorithm>
#include <cmath>

namespace velmora::pages {

namespace {

// Typed texts may hold anything until they are committed; keep the pixel
// inside what an int holds before truncating it. An infinite coordinate
// goes to its edge, so a huge voltage still lies above a smaller one.
int Truncate(double coordinate) {
    if (std::isnan(coordinate)) return 0;
    return static_cast<int>(std::clamp(coordinate, -100000.0, 100000.0));
}

}  // namespace

bool MakeNonDecreasing(std::array<std::uint32_t, 3>& frequencies) {
    bool changed = false;
    for (std::size_t i = 1; i < frequencies.size(); ++i) {
        if (frequencies[i] < frequencies[i - 1]) {
            frequencies[i] = frequencies[i - 1];
            changed = true;
        }
    }
    return changed;
}

VHzGeometry ComputeVHzGeometry(const VHzValues& values) {
    double umax = *std::max_element(values.voltages.begin(), values.voltages.end());
    if (umax == 0.0) umax = 1.0;
    double fmax = values.frequencies[2];
    if (fmax == 0.0) fmax = 1.0;
    const auto y = [umax](double u) { return Truncate(vhz::kOriginY - 290.0 * (u / umax)); };
    const auto x = [fmax](double f) { return Truncate(vhz::kOriginX + 380.0 * (f / fmax)); };

    const std::array<int, 4> ys{y(values.voltages[0]), y(values.voltages[1]), y(values.voltages[2]),
                                y(values.voltages[3])};
    const int x1 = x(values.frequencies[0]);
    const int x2 = x(values.frequencies[1]);

    VHzGeometry g;
    g.curve = {{{vhz::kOriginX, ys[0]}, {x1, ys[1]}, {x2, ys[2]}, {vhz::kRightX, ys[3]}}};
    g.frequencyTicks = {vhz::kOriginX, x1, x2, vhz::kRightX};
    g.voltageTicks = {vhz::kOriginY, ys[0], ys[1], ys[2], vhz::kTopY};
    g.frequencyLabels = {{{254, 365}, {x1 - 12, 365}, {x2 - 12, 365}, {628, 365}}};
    g.voltageLabels = {
        {{243, 352}, {225, ys[0] - 8}, {225, ys[1] - 8}, {225, ys[2] - 8}, {225, ys[3] - 8}}};
    return g;
}

}  // namespace velmora::pages
