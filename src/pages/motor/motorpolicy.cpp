#include "pages/motor/motorpolicy.h"

#include <cmath>

#include "model/invertermodels.h"
#include "model/numberparse.h"

namespace velmora::pages {

NumberSpec IntegerRow(int parameter, double low, double high, const char* unit) {
    return {parameter, NumberKind::Integer, 1.0, {low, high}, {low, high}, 0, unit};
}

NumberSpec FrequencyRow(int parameter, double low, double high) {
    return {parameter, NumberKind::Frequency, 1.0, {low, high}, {low, high}, 0, ""};
}

NumberSpec RealRow(int parameter, double step, double low, double high, const char* unit,
                   int decimals) {
    return {parameter, NumberKind::Real, step, {low, high}, {low, high}, decimals, unit};
}

NumberSpec RampRow(int parameter) {
    NumberSpec spec = RealRow(parameter, 0.1, 0, 400, "sec");
    spec.spin = {0.5, 400};
    return spec;
}

double ClampToRange(double value, NumberRange range) {
    const double high = range.high < range.low ? range.low : range.high;
    if (!(value >= range.low)) return range.low;  // also catches NaN
    if (value > high) return high;
    return value;
}

std::optional<double> TextValue(const NumberSpec& spec, std::string_view text, bool rpm,
                                char decimalSeparator) {
    if (spec.kind == NumberKind::Real) return model::ParseDoubleStrict(text, decimalSeparator);
    std::optional<std::uint32_t> value = model::ParseUnsignedStrict(text);
    if (!value) return std::nullopt;
    if (spec.kind == NumberKind::Frequency && rpm) *value /= 60;
    return static_cast<double>(*value);
}

std::optional<double> CommitValue(const NumberSpec& spec, std::string_view text, bool rpm,
                                  char decimalSeparator) {
    const std::optional<double> value = TextValue(spec, text, rpm, decimalSeparator);
    if (!value) return std::nullopt;
    return ClampToRange(*value, spec.typed);
}

std::optional<double> SpinValue(const NumberSpec& spec, std::string_view text, bool rpm,
                                int direction, char decimalSeparator) {
    const std::optional<double> value = TextValue(spec, text, rpm, decimalSeparator);
    if (!value) return std::nullopt;
    const double step = direction >= 0 ? spec.step : -spec.step;
    return ClampToRange(*value + step, spec.spin);
}

bool RpmDisplay(std::uint32_t speedUnitChoice) {
    return speedUnitChoice != 0;
}

const char* FrequencyUnitKey(std::uint32_t speedUnitChoice) {
    if (speedUnitChoice == 0) return "hz";
    if (speedUnitChoice == 1) return "rpm";
    return nullptr;
}

double MaxCurrent(CurrentPanel panel, std::uint32_t inverterType) {
    if (const auto* model = model::FindInverterModel(inverterType)) return model->maxCurrent;
    return panel == CurrentPanel::Asynchronous ? 8.0 : 16.0;
}

double FollowingMaxCurrent(double ratedCurrent) {
    return 1.5 * ratedCurrent;
}

bool MaxFrequencyChosen(int selector0, std::uint32_t p42, std::uint32_t p91) {
    return selector0 != 0 && p42 != p91;
}

bool MaxCurrentChosen(int selector1, double p44, double p93) {
    return selector1 != 0 && std::fabs(p44 - FollowingMaxCurrent(p93)) >= 0.001;
}

StopRampEntry ClassifyStopRamp(double p48, double p47) {
    if (std::fabs(p48) < 0.001 || (p48 > 0.299 && p48 < 0.301)) return StopRampEntry::DcBrake;
    if (std::fabs(p48 - p47) < 0.001) return StopRampEntry::FallTime;
    return StopRampEntry::Choose;
}

bool HoldTimeOff(double p51) {
    return std::fabs(p51) < 0.01 || (p51 > 0.39 && p51 < 0.41);
}

bool ValueChosen(double value, double bound) {
    return std::fabs(value) >= bound;
}

ActionLists ListsForAction(int action) {
    if (action == 0) return {true, false};
    if (action >= 1 && action <= 3) return {false, true};
    return {false, false};
}

bool KeepsLastMotorModel(double firmwareVersion) {
    return firmwareVersion > 3.075;
}

}  // namespace velmora::pages
