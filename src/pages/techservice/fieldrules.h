#pragma once
// The technician panels' field rules: what a field holds after it loses the
// focus and what one step of its up-down control makes of it. Qt-free so the
// boundaries can be checked as tables.
#include <array>
#include <cstdint>

namespace velmora::pages::techservice {

inline constexpr std::uint32_t kMaxMemoryAddress = 8190;
inline constexpr std::uint32_t kMaxCalibration = 10000;
inline constexpr std::uint32_t kMinTestFrequency = 30;
inline constexpr std::uint32_t kMaxTestFrequency = 4000;
inline constexpr std::uint32_t kMaxTestVoltage = 70;
inline constexpr std::uint32_t kDefaultTestFrequency = 500;
inline constexpr std::uint32_t kDefaultTestVoltage = 20;

// Memory address and calibration values: the low 16 bits of what was typed,
// at most the field's maximum.
[[nodiscard]] std::uint32_t CommitLow16(std::uint32_t typed, std::uint32_t max);
// Up adds 1 (at most max); down first limits to max + 1, then takes 1 away,
// stopping at 0.
[[nodiscard]] std::uint32_t StepBounded(std::uint32_t value, int direction, std::uint32_t max);

[[nodiscard]] std::uint32_t CommitFrequency(std::uint32_t typed);
[[nodiscard]] std::uint32_t StepFrequency(std::uint32_t value, int direction);

// The test current's limits follow the inverter model in parameter 36.
[[nodiscard]] float MaxTestCurrent(std::uint32_t inverterType);
[[nodiscard]] float ClampCurrent(float value, float min, float max);
// One step of 0.1 A, within [min, max].
[[nodiscard]] float StepCurrent(float value, int direction, float min, float max);

// floor(x * 100 + 0.5) as a 16-bit wire value; negative gives 0, too large 65535.
[[nodiscard]] std::uint16_t Hundredths(double value);

struct TestValues {
    std::uint16_t current;    // A x 100
    std::uint16_t frequency;  // Hz
    std::uint16_t voltage;    // V x 100
};
// What the start button sends. Each value is held to its field's range, so a
// field that never lost the focus cannot send an out-of-range value.
[[nodiscard]] TestValues StartValues(float current, float minCurrent, float maxCurrent,
                                     std::uint32_t frequency, float voltage);

// Temperature of SensorStateReply's third value, in degrees Celsius.
[[nodiscard]] double TemperatureCelsius(std::uint16_t tenths);

struct MemoryArea {
    const char* key;
    std::uint8_t bit;
};
// The memory-reset buttons and the ResetEeprom byte each sends.
inline constexpr std::array<MemoryArea, 6> kMemoryAreas{{
    {"motorparameters", 0x01},
    {"remotectrlpara", 0x02},
    {"allparameters", 0x04},
    {"runtimedata", 0x08},
    {"totaleeprom", 0x10},
    {"burnin", 0x20},
}};

}  // namespace velmora::pages::techservice
