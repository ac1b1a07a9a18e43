#include "model/parameterrules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/invertermodels.h"
#include "model/numberparse.h"
#include "model/parameters.h"

namespace velmora::model {
namespace {

constexpr double kOff[] = {0.0};
constexpr double kNoIntegralPart[] = {1000.0};  // the drive's "no I part" marker
constexpr double kHoldTimeOff[] = {0.0, 0.4};   // "off" as stored by either firmware

using enum RuleKind;

// Choices: low 0, high the last list index.
constexpr ParameterRule kRules[] = {
    // Set-up of the speed (0x50).
    // Below p41 the drive runs at its minimum (a run-in step may ask for it);
    // above p42 is refused.
    {param::kSetSpeed, Frequency, 0, 4000, Bound::Fixed, Bound::MaxSpeed, {}, "Hz"},
    {param::kControlSource, Choice, 0, 1},
    {param::kSpeedUnit, Choice, 0, 1},
    // Limits (0x51).
    {param::kMinSpeed, Frequency, 30, 100, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kMaxSpeed, Frequency, 100, 4000, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kMaxCurrent, Real, 0, 16, Bound::Fixed, Bound::InverterCurrent, {}, "A"},
    {param::kAccelerationTime, Real, 0, 400, Bound::Fixed, Bound::Fixed, {}, "s"},
    {param::kDecelerationTime, Real, 0, 400, Bound::Fixed, Bound::Fixed, {}, "s"},
    {param::kStoppingTime, Real, 0, 400, Bound::Fixed, Bound::Fixed, {}, "s"},
    {50, Choice, 0, 2},
    {param::kStartUpTime, Real, 0.5, 100, Bound::Fixed, Bound::Fixed, kHoldTimeOff, "s"},
    {52, Real, 0.5, 16, Bound::Fixed, Bound::Fixed, {}, "A"},
    {53, Frequency, 1, 30, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {54, Integer, 200, 1000, Bound::Fixed, Bound::Fixed, {}, "µs"},
    {55, Real, 0, 120, Bound::Fixed, Bound::Fixed, {}, "s"},
    {56, Real, 0.1, 10, Bound::Fixed, Bound::Fixed, {}, "A"},
    {57, Real, 0.1, 3, Bound::Fixed, Bound::Fixed, kOff, "A"},
    {58, Choice, 0, 1},
    // V/f characteristic (0x52).
    {param::kVoltageU0, Real, 0, 50, Bound::Fixed, Bound::Fixed, {}, "V"},
    {param::kFrequencyF1, Frequency, 30, 4000, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kVoltageU1, Real, 0, 50, Bound::Fixed, Bound::Fixed, {}, "V"},
    {param::kFrequencyF2, Frequency, 30, 4000, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kVoltageU2, Real, 0, 50, Bound::Fixed, Bound::Fixed, {}, "V"},
    {param::kFrequencyF3, Frequency, 30, 4000, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kVoltageU3, Real, 0, 50, Bound::Fixed, Bound::Fixed, {}, "V"},
    // Control parameters (0x53).
    {param::kVoltageControl, Choice, 0, 1},
    {param::kIrCompensation, Real, 0, 10, Bound::Fixed, Bound::Fixed, {}, "V/A"},
    {72, Real, 0, 40, Bound::Fixed, Bound::Fixed, {}, "%/A"},
    {73, Integer, 1, 1000, Bound::Fixed, Bound::Fixed, {}, "ms"},
    {77, Integer, 2, 200, Bound::Fixed, Bound::Fixed, {}, "%"},
    {78, Integer, 1, 999, Bound::Fixed, Bound::Fixed, kNoIntegralPart, "ms"},
    {79, Integer, 5, 100, Bound::Fixed, Bound::Fixed, {}, "%"},
    {80, Integer, 1, 999, Bound::Fixed, Bound::Fixed, kNoIntegralPart, "ms"},
    {81, Integer, 5, 500, Bound::Fixed, Bound::Fixed, {}, "%"},
    {82, Integer, 5, 999, Bound::Fixed, Bound::Fixed, kNoIntegralPart, "ms"},
    {param::kVoltageRateTime, Integer, 0, 300, Bound::Fixed, Bound::Fixed, {}, "ms"},
    {84, Integer, 1, 300, Bound::Fixed, Bound::Fixed, {}, "ms"},
    // Motor (0x54, 0x55).
    {param::kTemperatureSensor, Choice, 0, 2},
    {86, Integer, 500, 4000, Bound::Fixed, Bound::Fixed, {}, "Ω"},
    {param::kMotorType, Choice, 0, 4},
    {param::kRatedFrequency, Frequency, 30, 4000, Bound::Fixed, Bound::Fixed, {}, "Hz"},
    {param::kRatedVoltage, Real, 0, 50, Bound::Fixed, Bound::Fixed, {}, "V"},
    {param::kRatedCurrent, Real, 0.5, 16, Bound::Fixed, Bound::InverterCurrent, {}, "A"},
    {param::kMagnetisingCurrent, Integer, 20, 100, Bound::Fixed, Bound::Fixed, {}, "%"},
    {param::kPoles, Choice, 0, 3},
    // Remote control (0x56, 0x57, 0x58).
    {param::kFixedFrequency1, Frequency, 30, 4000, Bound::MinSpeed, Bound::MaxSpeed, {}, "Hz"},
    {param::kFixedFrequency2, Frequency, 30, 4000, Bound::MinSpeed, Bound::MaxSpeed, {}, "Hz"},
    {param::kFixedFrequency3, Frequency, 30, 4000, Bound::MinSpeed, Bound::MaxSpeed, {}, "Hz"},
    {param::kMotorSelection, Choice, 0, 1},
    {110, Choice, 0, 2},
    {111, Choice, 0, 4},
    {112, Choice, 0, 3},
    {113, Choice, 0, 3},
    {114, Choice, 0, 4},
    {115, Choice, 0, 4},
    {120, Choice, 0, 9},
    {121, Choice, 0, 9},
    {param::kRelayCurrent, Real, 0.4, 12, Bound::Fixed, Bound::Fixed, {}, "A"},
    {129, Choice, 0, 1},
    {param::kSpeedAtMinSetPoint,
     Frequency,
     30,
     3999,
     Bound::MinSpeed,
     Bound::MaxSpeedLessOne,
     {},
     "Hz"},
    {param::kSpeedAtMaxSetPoint, Frequency, 30, 4000, Bound::MinSpeed, Bound::MaxSpeed, {}, "Hz"},
    {param::kStopBelow, Frequency, 30, 4000, Bound::MinSpeed, Bound::MaxSpeed, kOff, "Hz"},
    {param::kBasicSettingsChange, Choice, 0, 1},
    {param::kStartSource, Choice, 0, 1},
    {param::kSetPointSource, Choice, 0, 1},
    {param::kRotationDirection, Choice, 0, 2},
};

// A limit nobody read, or one no drive holds (0 Hz), leaves the table's.
bool Unread(const DriveData& values, int parameter) {
    return values.Working(parameter) == kUnreadWord || values.Working(parameter) == 0;
}

double Resolve(Bound bound, double tableValue, const DriveData& values) {
    switch (bound) {
        case Bound::Fixed:
            return tableValue;
        case Bound::MinSpeed:
            return Unread(values, param::kMinSpeed) ? tableValue : values.Working(param::kMinSpeed);
        case Bound::MaxSpeed:
            return Unread(values, param::kMaxSpeed) ? tableValue : values.Working(param::kMaxSpeed);
        case Bound::MaxSpeedLessOne:
            return Unread(values, param::kMaxSpeed)
                       ? tableValue
                       : static_cast<double>(values.Working(param::kMaxSpeed)) - 1.0;
        case Bound::InverterCurrent: {
            const InverterModel* model = FindInverterModel(values.Working(param::kInverterType));
            if (model == nullptr) model = FindInverterModel(values.Image(param::kInverterType));
            return model != nullptr ? std::min(model->maxCurrent, tableValue) : tableValue;
        }
    }
    return tableValue;
}

int FieldBits(int parameter) {
    const GroupLayout* group = GroupOfParameter(parameter);
    if (group == nullptr) return 32;
    for (const FieldLayout& field : group->fields) {
        if (field.parameter == parameter) return field.bits;
    }
    return 32;
}

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

}  // namespace

std::span<const ParameterRule> AllParameterRules() {
    return kRules;
}

const ParameterRule* FindParameterRule(int parameter) {
    for (const ParameterRule& rule : kRules) {
        if (rule.parameter == parameter) return &rule;
    }
    return nullptr;
}

Range AllowedRange(const ParameterRule& rule, const DriveData& values) {
    return {Resolve(rule.lowBound, rule.low, values), Resolve(rule.highBound, rule.high, values)};
}

double ShownValue(const ParameterRule& rule, std::uint32_t word) {
    if (rule.kind == RuleKind::Real) {
        return static_cast<double>(word) / static_cast<double>(ScaleFactor(rule.parameter));
    }
    if (rule.kind != RuleKind::Choice) return static_cast<double>(word);
    switch (ChoiceCodingOf(rule.parameter)) {
        case ChoiceCoding::PlusOne:
            return static_cast<double>(word) - 1.0;
        case ChoiceCoding::Poles:
            return word % 2 == 0 ? static_cast<double>(word / 2) - 1.0 : -1.0;
        case ChoiceCoding::Flag32:
            return word != 0 ? 1.0 : 0.0;
        case ChoiceCoding::Identity:
        case ChoiceCoding::None:
            break;
    }
    return static_cast<double>(word);
}

std::string FormatShown(double value) {
    if (Near(value, std::round(value), 1e-9)) return FormatFixed(value, 0);
    std::string text = FormatFixed(value, 2);
    while (text.back() == '0') text.pop_back();
    return text;
}

std::string ValueRefusal::describe() const {
    const std::string name = "p" + std::to_string(parameter);
    if (unread) return name + " has no value read from the drive or a file";
    const std::string range = FormatShown(allowed.low) + " … " + FormatShown(allowed.high);
    if (tooWide)
        return name + " = " + FormatShown(value) + " does not fit its field; allowed " + range;
    return name + " = " + FormatShown(value) + " is outside the allowed " + range;
}

std::optional<ValueRefusal> CheckParameterValue(int parameter, std::uint32_t word,
                                                const DriveData& values) {
    ValueRefusal refusal;
    refusal.parameter = parameter;
    if (word == kUnreadWord) {
        refusal.unread = true;
        return refusal;
    }
    const ParameterRule* rule = FindParameterRule(parameter);
    const int bits = FieldBits(parameter);
    const bool fits = bits >= 32 || word < (std::uint64_t{1} << bits);
    if (rule == nullptr) {
        if (fits) return std::nullopt;
        refusal.value = word;
        refusal.tooWide = true;
        refusal.allowed = {0.0, static_cast<double>((std::uint64_t{1} << bits) - 1)};
        return refusal;
    }
    refusal.value = ShownValue(*rule, word);
    refusal.allowed = AllowedRange(*rule, values);
    refusal.tooWide = !fits;
    // Half the wire's resolution: 2.5 A stored as 249 hundredths still passes 2.5.
    const double tolerance = rule->kind == RuleKind::Real ? 0.5 / ScaleFactor(parameter) : 1e-9;
    const bool marker = std::any_of(rule->special.begin(), rule->special.end(),
                                    [&](double m) { return Near(refusal.value, m, tolerance); });
    const bool inside = refusal.value >= refusal.allowed.low - tolerance &&
                        refusal.value <= refusal.allowed.high + tolerance;
    if (fits && (inside || marker)) return std::nullopt;
    return refusal;
}

}  // namespace velmora::model
