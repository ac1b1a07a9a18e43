#include "pages/report/reportrows.h"

#include "pages/common/numbertext.h"

namespace velmora::pages {

namespace {

using F = ReportFormat;
using U = ReportUnit;

constexpr ReportRow kOperatingValues[] = {
    {"p10", 10, 151, F::Speed, U::Speed, nullptr},
    {"p11", 11, 11, F::Real1, U::Fixed, "ampereac"},
    {"p13", 13, 152, F::Speed, U::Speed, nullptr},
    {"p14", 14, 14, F::Speed, U::Speed, nullptr},
    {"p15", 15, 153, F::Real2, U::Fixed, "voltac"},
    {"p16", 16, 154, F::Real2, U::Fixed, "voltac"},
    {"p18", 18, 155, F::Real2, U::Fixed, "ampereac"},
    {"p19", 19, 19, F::Real2, U::Fixed, "watt"},
    {"p20", 20, 20, F::Unsigned, U::None, nullptr},
};

constexpr ReportRow kErrorCounters[] = {
    {"p30", 30, 30, F::Unsigned, U::None, nullptr}, {"p31", 31, 31, F::Unsigned, U::None, nullptr},
    {"p32", 32, 32, F::Unsigned, U::None, nullptr}, {"p33", 33, 33, F::Unsigned, U::None, nullptr},
    {"p34", 34, 34, F::Unsigned, U::None, nullptr},
};

constexpr ReportRow kOperatingHours[] = {
    {"p25", 25, 25, F::Unsigned, U::Fixed, "hour"},
    {"p26", 26, 26, F::Unsigned, U::Fixed, "minute"},
};

}  // namespace

std::span<const ReportRow> OperatingValueRows() {
    return kOperatingValues;
}
std::span<const ReportRow> ErrorCounterRows() {
    return kErrorCounters;
}
std::span<const ReportRow> OperatingHourRows() {
    return kOperatingHours;
}

std::string ReportValueText(const model::DriveData& data, const ReportRow& row, bool holdStorage) {
    const int parameter = holdStorage ? row.holdParameter : row.parameter;
    switch (row.format) {
        case F::Speed: {
            std::uint32_t speed = data.GetChoice(parameter);
            data.ToDisplaySpeed(speed);
            return std::to_string(speed);
        }
        case F::Real1:
            return FormatFixed(data.GetReal(parameter), 1);
        case F::Real2:
            return FormatFixed(data.GetReal(parameter), 2);
        case F::Unsigned:
            break;
    }
    return std::to_string(data.GetChoice(parameter));
}

const char* SpeedUnitKey(std::uint32_t unitChoice) {
    if (unitChoice == 0) return "hz";
    if (unitChoice == 1) return "rpm";
    return nullptr;
}

}  // namespace velmora::pages
