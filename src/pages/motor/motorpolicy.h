#pragma once
// The motor panels' rules as plain functions: how a typed or stepped text
// becomes a stored value, which current limit an inverter has, and how a
// stored value picks the entry of a special-value list. Qt-free.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::pages {

enum class NumberKind { Integer, Frequency, Real };

struct NumberRange {
    double low = 0.0;
    double high = 0.0;
};

// One number field of a panel: the parameter, how it is read and shown, its
// step and its ranges (typed input and spin steps differ on a few rows).
struct NumberSpec {
    int parameter = 0;
    NumberKind kind = NumberKind::Integer;
    double step = 1.0;
    NumberRange typed;
    NumberRange spin;
    int decimals = 1;          // reals only
    const char* unitKey = "";  // frequencies take "hz" or "rpm" from parameter 8
};

// Rows with one range use it for both typed input and spin steps.
[[nodiscard]] NumberSpec IntegerRow(int parameter, double low, double high, const char* unit);
[[nodiscard]] NumberSpec FrequencyRow(int parameter, double low, double high);
[[nodiscard]] NumberSpec RealRow(int parameter, double step, double low, double high,
                                 const char* unit, int decimals = 1);

// A ramp time: typed from 0 s, but the arrows never step below 0.5 s.
[[nodiscard]] NumberSpec RampRow(int parameter);

// Clamps to low..high; a range whose ends cross (a fixed frequency between
// p41 and a smaller p42) collapses onto its lower end.
[[nodiscard]] double ClampToRange(double value, NumberRange range);

// The stored-unit value a field's text stands for: frequencies in rpm display
// are divided by 60 (integer division). nullopt when the text is not a number
// of the field's kind; reals take decimalSeparator as well as the point.
[[nodiscard]] std::optional<double> TextValue(const NumberSpec& spec, std::string_view text,
                                              bool rpm, char decimalSeparator = '.');
// Value stored when the field loses the focus.
[[nodiscard]] std::optional<double> CommitValue(const NumberSpec& spec, std::string_view text,
                                                bool rpm, char decimalSeparator = '.');
// Value stored by one spin step (direction +1 up, -1 down).
[[nodiscard]] std::optional<double> SpinValue(const NumberSpec& spec, std::string_view text,
                                              bool rpm, int direction, char decimalSeparator = '.');

// Parameter 8's list index: 0 shows Hz, 1 rpm; other values convert like rpm.
[[nodiscard]] bool RpmDisplay(std::uint32_t speedUnitChoice);
// "hz", "rpm", or nullptr when the unit texts stay as they are.
[[nodiscard]] const char* FrequencyUnitKey(std::uint32_t speedUnitChoice);

// Panels that limit a current by the inverter type in parameter 36.
enum class CurrentPanel { RatedValue, Asynchronous, Bldc };
[[nodiscard]] double MaxCurrent(CurrentPanel panel, std::uint32_t inverterType);

// Follow rules of the rated values: p42 from p91, p44 from p93.
[[nodiscard]] double FollowingMaxCurrent(double ratedCurrent);
// true when the stored p42 is a free choice rather than the rated frequency.
[[nodiscard]] bool MaxFrequencyChosen(int selector0, std::uint32_t p42, std::uint32_t p91);
[[nodiscard]] bool MaxCurrentChosen(int selector1, double p44, double p93);

// Entries of the p48 list (stop ramp).
enum class StopRampEntry { DcBrake = 0, FallTime = 1, Choose = 2 };
[[nodiscard]] StopRampEntry ClassifyStopRamp(double p48, double p47);
// p51: true for the `off` entry.
[[nodiscard]] bool HoldTimeOff(double p51);
// p55, p57, p71, p72: the `choose` entry when the magnitude reaches bound.
[[nodiscard]] bool ValueChosen(double value, double bound);

// Which of the page's two lists the chosen action uses.
struct ActionLists {
    bool motorModels = false;
    bool memorySlots = false;
};
[[nodiscard]] ActionLists ListsForAction(int action);

// Firmware up to 3.075 (parameter 37) does not know the last motor model.
[[nodiscard]] bool KeepsLastMotorModel(double firmwareVersion);

}  // namespace velmora::pages
