#include "pages/techservice/fieldrules.h"

#include <algorithm>
#include <cmath>

#include "model/invertermodels.h"

namespace velmora::pages::techservice {

std::uint32_t CommitLow16(std::uint32_t typed, std::uint32_t max) {
    return std::min<std::uint32_t>(typed & 0xFFFFu, max);
}

std::uint32_t StepBounded(std::uint32_t value, int direction, std::uint32_t max) {
    if (direction > 0) return value >= max ? max : value + 1;
    value = std::min(value, max + 1);
    return value == 0 ? 0 : value - 1;
}

std::uint32_t CommitFrequency(std::uint32_t typed) {
    return std::clamp(typed, kMinTestFrequency, kMaxTestFrequency);
}

std::uint32_t StepFrequency(std::uint32_t value, int direction) {
    if (direction > 0) {
        if (value < kMinTestFrequency - 1) value = kMinTestFrequency - 1;
        return value >= kMaxTestFrequency ? kMaxTestFrequency : value + 1;
    }
    value = (value >= 1 && value <= kMaxTestFrequency + 1) ? value - 1 : kMaxTestFrequency;
    return std::max(value, kMinTestFrequency);
}

float MaxTestCurrent(std::uint32_t inverterType) {
    // A model the table does not know gets the larger current, as inv02.
    const model::InverterModel* model = model::FindInverterModel(inverterType);
    return static_cast<float>(model != nullptr ? model->maxCurrent : 16.0);
}

float ClampCurrent(float value, float min, float max) {
    if (!std::isfinite(value)) return min;
    return std::clamp(value, min, max);
}

float StepCurrent(float value, int direction, float min, float max) {
    value = ClampCurrent(value, min, max);
    return ClampCurrent(value + (direction > 0 ? 0.1f : -0.1f), min, max);
}

std::uint16_t Hundredths(double value) {
    const double scaled = std::floor(value * 100.0 + 0.5);
    if (!(scaled > 0.0)) return 0;
    if (scaled >= 65535.0) return 65535;
    return static_cast<std::uint16_t>(scaled);
}

TestValues StartValues(float current, float minCurrent, float maxCurrent, std::uint32_t frequency,
                       float voltage) {
    const float volts = ClampCurrent(voltage, 0.0f, static_cast<float>(kMaxTestVoltage));
    return TestValues{
        Hundredths(ClampCurrent(current, minCurrent, maxCurrent)),
        static_cast<std::uint16_t>(CommitFrequency(frequency)),
        Hundredths(volts),
    };
}

double TemperatureCelsius(std::uint16_t tenths) {
    return (tenths + 0.01) * 0.1;
}

}  // namespace velmora::pages::techservice
