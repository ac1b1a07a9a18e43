#pragma once
// The remote-control page's rules as plain functions and tables.
#include <cstdint>
#include <span>

namespace velmora::pages {

// A choice list of the page: its parameter and the catalogue keys of its
// entries in list order.
struct RemoteList {
    int parameter;
    std::span<const char* const> entryKeys;
    bool followsOperation;  // enabled and disabled with the drive's operation bit
};
[[nodiscard]] std::span<const RemoteList> RemoteLists();

// Allowed range of the speed parameters 135, 136, 137 (internal unit).
// Parameter 135 stays one below speedMax; the drive needs it below the top.
struct SpeedRange {
    std::uint32_t low;
    std::uint32_t high;
};
[[nodiscard]] SpeedRange RemoteSpeedRange(int parameter, std::uint32_t speedMin,
                                          std::uint32_t speedMax);
// v brought into the range (the upper bound wins when the range is empty).
[[nodiscard]] std::uint32_t ClampRemoteSpeed(int parameter, std::uint32_t v, std::uint32_t speedMin,
                                             std::uint32_t speedMax);
// One internal unit down (delta <= 0) or up from v, then clamped.
[[nodiscard]] std::uint32_t StepRemoteSpeed(int parameter, std::uint32_t v, int delta,
                                            std::uint32_t speedMin, std::uint32_t speedMax);

// The relay current limit (parameter 125) in amperes: 0.40 .. 12.00.
[[nodiscard]] float ClampRelayCurrent(float amperes);
// One hundredth down (delta <= 0) or up, kept inside 0.40 .. 12.00.
[[nodiscard]] float StepRelayCurrent(float amperes, int delta);

// How parameter 137 is chosen: 0 off, 1 the minimum speed, 2 a speed of its own.
enum class Speed137Mode { Off = 0, MinimumSpeed = 1, Chosen = 2 };
[[nodiscard]] Speed137Mode ModeOf137(std::uint32_t p137, std::uint32_t speedMin);

}  // namespace velmora::pages
