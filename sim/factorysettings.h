#pragma once
// The values the simulated drive leaves the factory with, and the maker's
// motor data sets it can load.
#include <array>
#include <cstdint>

namespace velmora::sim {

// One word per parameter number; index 0 carries no parameter.
using ParameterWords = std::array<std::uint32_t, 156>;

inline constexpr int kMotorModelCount = 15;
inline constexpr std::uint32_t kInverterType = 7302;    // model inv02, 16 A
inline constexpr std::uint32_t kFirmwareVersion = 312;  // 3.12, scaled by 100
inline constexpr std::uint32_t kFactorySerialNumber = 73020417;

// Factory values of every parameter that travels in a group (the live
// values of group 0x59 start at 0).
[[nodiscard]] ParameterWords FactoryParameters();

// Overwrites the motor parameters with the maker's data set of a motor model
// (the entry index of the tool's model list, 0..14). False, and nothing
// changed, for any other index.
bool ApplyMakerSet(int model, ParameterWords& words);

// Parameters of the motor groups 0x51..0x56: what a memory slot holds and
// what the maker's sets and "motor parameters" memory resets touch.
[[nodiscard]] bool IsMotorParameter(int parameter);
// Parameters of the remote-control groups 0x57 and 0x58.
[[nodiscard]] bool IsRemoteParameter(int parameter);
// Parameters of the groups the tool writes (0x50..0x58).
[[nodiscard]] bool IsWritableParameter(int parameter);

}  // namespace velmora::sim
