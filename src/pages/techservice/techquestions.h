#pragma once
// What the technician page asks before it overwrites the drive's memory,
// and which serial numbers it accepts.
#include <QString>
#include <cstdint>
#include <optional>

#include "pages/techservice/fieldrules.h"

namespace velmora::pages::techservice {

// Names the area; the entire memory is called what it is.
[[nodiscard]] QString MemoryResetQuestion(const MemoryArea& area);
[[nodiscard]] QString SerialNumberQuestion(std::uint32_t serial);
// Why a typed serial number was refused (nothing is sent then).
[[nodiscard]] QString SerialNumberRefusal();
[[nodiscard]] QString CalibrationQuestion();

// A serial number as typed: decimal digits only, blanks around them allowed,
// 0 .. 4294967295 (the drive keeps 32 bits). Anything else has no value.
[[nodiscard]] std::optional<std::uint32_t> ParseSerialNumber(const QString& typed);

}  // namespace velmora::pages::techservice
