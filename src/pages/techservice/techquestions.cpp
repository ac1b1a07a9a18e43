#include "pages/techservice/techquestions.h"

#include <limits>
#include <string_view>

#include "shell/textcatalog.h"

namespace velmora::pages::techservice {

namespace {
constexpr std::uint32_t kMaxSerialNumber = std::numeric_limits<std::uint32_t>::max();
}

QString MemoryResetQuestion(const MemoryArea& area) {
    if (std::string_view(area.key) == "totaleeprom") return shell::T("askresettotal");
    return shell::T("askresetarea").arg(shell::T(area.key));
}

QString SerialNumberQuestion(std::uint32_t serial) {
    return shell::T("askserialnumber").arg(serial);
}

QString SerialNumberRefusal() {
    return shell::T("serialnumberinvalid").arg(kMaxSerialNumber);
}

QString CalibrationQuestion() {
    return shell::T("askcalibration");
}

std::optional<std::uint32_t> ParseSerialNumber(const QString& typed) {
    const QString digits = typed.trimmed();
    // Ten digits hold every 32-bit number; leading zeros beyond that are
    // still a number, so only the value decides.
    if (digits.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - '0');
        if (value > kMaxSerialNumber) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace velmora::pages::techservice
