#pragma once
// The model's number rules, also for the texts of the widgets.
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/numberparse.h"

namespace velmora::pages {

// One overload set with the QString forms below.
using model::FormatFixed;
using model::ParseDouble;
using model::ParseReal;
using model::ParseUnsigned;

[[nodiscard]] inline std::uint32_t ParseUnsigned(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseUnsigned(std::string_view(utf8));
}
[[nodiscard]] inline float ParseReal(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseReal(std::string_view(utf8));
}

[[nodiscard]] inline QString FixedText(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}
[[nodiscard]] inline QString UnsignedText(std::uint32_t value) {
    return QString::number(value);
}

}  // namespace velmora::pages
