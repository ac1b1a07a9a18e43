#include "sim/factorysettings.h"

#include <algorithm>

#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::sim {

namespace param = model::param;
namespace {

struct FactoryValue {
    std::uint8_t parameter;
    std::uint32_t value;  // as stored: scaled, list-coded
};

// A 2-pole asynchronous spindle of 4000 Hz, 42 V, 6 A on an inv02.
constexpr FactoryValue kFactory[] = {
    // 0x50: set speed 1000 Hz, PC control, speed shown in Hz
    {1, 1000},
    {7, 0},
    {8, 1},
    // 0x51: limits 30..4000 Hz, 9 A, ramps 4 s, DC brake 0.3 s
    {41, 30},
    {42, 4000},
    {44, 900},
    {46, 40},
    {47, 40},
    {48, 3},
    {50, 0},
    {51, 4},
    {52, 50},
    {53, 10},
    {54, 500},
    {55, 0},
    {56, 100},
    {57, 0},
    {58, 0},
    // 0x52: V/f characteristic (0 Hz 2 V, 400 Hz 6 V, 2000 Hz 24 V, 4000 Hz 42 V)
    {60, 200},
    {61, 400},
    {62, 600},
    {63, 2000},
    {64, 2400},
    {65, 4000},
    {66, 4200},
    // 0x53: control parameters
    {70, 0},
    {71, 0},
    {72, 0},
    {73, 100},
    {77, 50},
    {78, 100},
    {79, 20},
    {80, 50},
    {81, 100},
    {82, 20},
    {83, 0},
    {84, 10},
    // 0x54: PTC sensor
    {85, 1},
    {86, 1000},
    // 0x55: asynchronous motor, rated 4000 Hz, 42 V, 6 A, 80 %, 2 poles
    {90, 1},
    {91, 4000},
    {92, 4200},
    {93, 600},
    {94, 80},
    {96, 2},
    // 0x56: fixed frequencies
    {104, 1000},
    {105, 2000},
    {106, 3000},
    // 0x57: remote-control inputs and relays
    {102, 0},
    {110, 0},
    {111, 0},
    {112, 0},
    {113, 0},
    {114, 0},
    {115, 0},
    {120, 1},
    {121, 3},
    {125, 500},
    {129, 1},
    {135, 30},
    {136, 4000},
    {137, 1000},
    {142, 0},
    // 0x58: PC application, clockwise
    {140, 1},
    {141, 1},
    {146, 1},
    // 0x5A: identity
    {36, kInverterType},
    {37, kFirmwareVersion},
    {39, kFactorySerialNumber},
};

enum class Kind : std::uint8_t { Asynchronous = 1, Brushless = 2, BrushlessWithSensor = 3 };

struct MakerModel {
    Kind kind;
    std::uint16_t ratedHz;
    std::uint16_t ratedVolts100;
    std::uint16_t ratedAmps100;
    std::uint8_t poles;
    std::uint8_t sensor;  // p85
};

// In the order of the tool's model list: 01..07, 09, 10 (asynchronous),
// 11 (BLDC), 12 (BLDC, KTY), 13..15 (BLDC with Hall sensors), 08 (asynchronous).
constexpr MakerModel kModels[kMotorModelCount] = {
    {Kind::Asynchronous, 1000, 2400, 350, 2, 1},
    {Kind::Asynchronous, 1500, 3600, 400, 2, 1},
    {Kind::Asynchronous, 2000, 4200, 500, 2, 1},
    {Kind::Asynchronous, 2500, 4200, 650, 2, 1},
    {Kind::Asynchronous, 3000, 4200, 700, 2, 1},
    {Kind::Asynchronous, 3333, 4200, 800, 2, 1},
    {Kind::Asynchronous, 4000, 4200, 1000, 2, 1},
    {Kind::Asynchronous, 1000, 4000, 1200, 4, 1},
    {Kind::Asynchronous, 800, 4800, 1400, 4, 2},
    {Kind::Brushless, 1000, 3600, 600, 2, 0},
    {Kind::Brushless, 1500, 3600, 700, 2, 2},
    {Kind::BrushlessWithSensor, 2000, 4200, 800, 2, 1},
    {Kind::BrushlessWithSensor, 2500, 4200, 900, 4, 1},
    {Kind::BrushlessWithSensor, 3000, 4800, 1000, 4, 1},
    {Kind::Asynchronous, 3500, 4200, 900, 2, 1},
};

constexpr std::uint32_t kMaxCurrent100 = 1600;  // the inv02's limit

bool inGroup(int parameter, int firstCode, int lastCode) {
    const auto* group = model::GroupOfParameter(parameter);
    return group != nullptr && group->code >= firstCode && group->code <= lastCode;
}

}  // namespace

ParameterWords FactoryParameters() {
    ParameterWords words{};
    for (const auto& entry : kFactory) words[entry.parameter] = entry.value;
    return words;
}

bool ApplyMakerSet(int model, ParameterWords& words) {
    if (model < 0 || model >= kMotorModelCount) return false;
    const ParameterWords factory = FactoryParameters();
    for (int p = 1; p < static_cast<int>(words.size()); ++p)
        if (IsMotorParameter(p)) words[p] = factory[p];

    const MakerModel& m = kModels[model];
    const std::uint32_t hz = m.ratedHz;
    const std::uint32_t volts = m.ratedVolts100;
    words[param::kMotorType] = static_cast<std::uint32_t>(m.kind);
    words[param::kRatedFrequency] = hz;
    words[param::kRatedVoltage] = volts;
    words[param::kRatedCurrent] = m.ratedAmps100;
    words[param::kMagnetisingCurrent] = 80;
    words[param::kPoles] = m.poles;
    words[param::kTemperatureSensor] = m.sensor;
    words[param::kMaxSpeed] = hz;  // the maximum follows the rated frequency
    words[param::kMaxCurrent] = std::min<std::uint32_t>(m.ratedAmps100 * 3 / 2, kMaxCurrent100);
    // Ramps of one second per 1000 Hz, at least 0.5 s.
    words[param::kAccelerationTime] = std::max<std::uint32_t>(hz / 100, 5);
    words[param::kDecelerationTime] = words[param::kAccelerationTime];
    // V/f points at 10 %, 50 % and 100 % of the rated frequency, with a boost
    // at standstill.
    words[param::kVoltageU0] = volts / 20;
    words[param::kFrequencyF1] = std::max<std::uint32_t>(hz / 10, 30);
    words[param::kVoltageU1] = volts * 3 / 20;
    words[param::kFrequencyF2] = hz / 2;
    words[param::kVoltageU2] = volts * 11 / 20;
    words[param::kFrequencyF3] = hz;
    words[param::kVoltageU3] = volts;
    words[param::kFixedFrequency1] = hz / 4;
    words[param::kFixedFrequency2] = hz / 2;
    words[param::kFixedFrequency3] = hz * 3 / 4;
    return true;
}

bool IsMotorParameter(int parameter) {
    return inGroup(parameter, 0x51, 0x56);
}
bool IsRemoteParameter(int parameter) {
    return inGroup(parameter, 0x57, 0x58);
}
bool IsWritableParameter(int parameter) {
    return inGroup(parameter, 0x50, 0x58);
}

}  // namespace velmora::sim
