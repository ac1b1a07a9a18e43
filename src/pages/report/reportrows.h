#pragma once
// The report page's rows as data: which parameter each shows, in normal and
// in hold-storage mode, and how it is printed.
#include <span>
#include <string>

#include "model/drivedata.h"

namespace velmora::pages {

enum class ReportFormat {
    Speed,     // "%u" after ToDisplaySpeed
    Real1,     // "%.1f"
    Real2,     // "%.2f"
    Unsigned,  // "%u"
};

enum class ReportUnit { None, Speed, Fixed };

struct ReportRow {
    const char* labelKey;
    int parameter;      // shown in normal mode
    int holdParameter;  // shown in hold-storage mode (the drive's values at the fault)
    ReportFormat format;
    ReportUnit unit;
    const char* unitKey;  // for ReportUnit::Fixed
};

// Operating values, in display order.
[[nodiscard]] std::span<const ReportRow> OperatingValueRows();
// The five error counters.
[[nodiscard]] std::span<const ReportRow> ErrorCounterRows();
// Operating hours and minutes.
[[nodiscard]] std::span<const ReportRow> OperatingHourRows();

// The text of a row as the page shows it.
[[nodiscard]] std::string ReportValueText(const model::DriveData& data, const ReportRow& row,
                                          bool holdStorage);

// "hz" or "rpm" for the speed unit choice (parameter 8); nullptr keeps the
// previous label.
[[nodiscard]] const char* SpeedUnitKey(std::uint32_t unitChoice);

}  // namespace velmora::pages
