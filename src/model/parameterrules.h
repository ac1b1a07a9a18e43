#pragma once
// What the drive accepts for each writable parameter: one table read by the
// guarded write path (model/drivegate.h), the pages' fields and the
// command-line tool, so the window and a script refuse the same values.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velmora::model {

class DriveData;

enum class RuleKind {
    Integer,    // whole number in the shown unit
    Frequency,  // Hz, whole
    Real,       // decimal, scaled by ScaleFactor on the wire
    Choice,     // list index, coded as ChoiceCodingOf says
};

// Limits that follow other parameters (read from the values about to be sent,
// so a file that raises p42 and a fixed frequency together is judged whole).
enum class Bound {
    Fixed,
    MinSpeed,         // p41
    MaxSpeed,         // p42
    MaxSpeedLessOne,  // p42 - 1 (the drive needs p135 below the top)
    InverterCurrent,  // largest current of the inverter type in p36
};

struct ParameterRule {
    int parameter;
    RuleKind kind;
    double low;  // in the shown unit (Hz, V, A, s, list index)
    double high;
    Bound lowBound = Bound::Fixed;
    Bound highBound = Bound::Fixed;
    // Markers the drive takes outside the range ("off", "no I part").
    std::span<const double> special = {};
    const char* unit = "";
};

struct Range {
    double low = 0.0;
    double high = 0.0;
};

[[nodiscard]] std::span<const ParameterRule> AllParameterRules();
// nullptr for a parameter no one writes (read-only, or unknown).
[[nodiscard]] const ParameterRule* FindParameterRule(int parameter);

// The rule's limits with its bounds resolved against `values` (a bound whose
// source is unread keeps the table's limit).
[[nodiscard]] Range AllowedRange(const ParameterRule& rule, const DriveData& values);

// A stored word in the rule's shown unit (list index for choices).
[[nodiscard]] double ShownValue(const ParameterRule& rule, std::uint32_t word);

// Why a word may not be sent for this parameter, or nullopt when it may: it
// must fit the parameter's field on the wire, have been read or set (not the
// unread marker) and lie in its allowed range or be one of its markers.
struct ValueRefusal {
    int parameter = 0;
    double value = 0.0;  // shown unit
    Range allowed;
    bool unread = false;
    bool tooWide = false;  // does not fit the field at all
    [[nodiscard]] std::string describe() const;
};
[[nodiscard]] std::optional<ValueRefusal> CheckParameterValue(int parameter, std::uint32_t word,
                                                              const DriveData& values);

// Shown value with the decimals the unit needs ("4000", "2.5").
[[nodiscard]] std::string FormatShown(double value);

}  // namespace velmora::model
