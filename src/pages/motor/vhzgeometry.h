#pragma once
// Where the V/f graph's lines, ticks, labels and markers lie, in pixels of a
// 96-dpi screen inside the characteristic panel. Qt-free.
#include <array>
#include <cstdint>

namespace velmora::pages {

struct GraphPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GraphPoint&) const = default;
};

// The characteristic's four points: (0, U0), (f1, U1), (f2, U2), (f3, U3).
struct VHzValues {
    std::array<double, 4> voltages{};
    std::array<std::uint32_t, 3> frequencies{};
};

struct VHzGeometry {
    std::array<GraphPoint, 4> curve{};
    std::array<int, 4> frequencyTicks{};          // x of vertical ticks, y 357..363
    std::array<int, 5> voltageTicks{};            // y of horizontal ticks, x 257..263
    std::array<GraphPoint, 4> frequencyLabels{};  // "0", f1, f2, f3
    std::array<GraphPoint, 5> voltageLabels{};    // "0", U0, U1, U2, U3
};

namespace vhz {
inline constexpr int kOriginX = 260;
inline constexpr int kOriginY = 360;
inline constexpr int kRightX = 640;
inline constexpr int kTopY = 70;
inline constexpr int kMarkerHalf = 4;
inline constexpr GraphPoint kFrequencyCaption{644, 348};
inline constexpr GraphPoint kVoltageCaption{250, 50};
}  // namespace vhz

// f2 := max(f1, f2), f3 := max(f2, f3); true when a value changed.
bool MakeNonDecreasing(std::array<std::uint32_t, 3>& frequencies);

// Expects non-decreasing frequencies. A zero highest voltage or f3 is taken
// as 1, so all-zero input lies on the axes instead of dividing by zero.
[[nodiscard]] VHzGeometry ComputeVHzGeometry(const VHzValues& values);

}  // namespace velmora::pages
