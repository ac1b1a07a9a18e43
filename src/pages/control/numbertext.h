#pragma once
// How the pages read numbers the user typed and how they print them. The
// drive tool reads input like "%u" / "%f" (leading number, rest ignored, 0
// when there is none) but never through the C locale: the window may run
// under a locale whose decimal point is a comma, and the files must not.
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::pages {

// Leading unsigned number of text; 0 when there is none. A minus sign gives 0
// and values past 32 bits saturate, so no input wraps to a huge speed.
[[nodiscard]] inline std::uint32_t ParseUnsigned(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') return 0;
        ++i;
    }
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(value);
}

// Leading real number of text with '.' as the decimal point; 0 when there is
// none or it is not finite.
[[nodiscard]] inline float ParseReal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                              std::chars_format::general);
    (void)end;
    if (error != std::errc{} || !std::isfinite(value)) return 0.0f;
    return value;
}

[[nodiscard]] inline std::uint32_t ParseUnsigned(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseUnsigned(std::string_view(utf8));
}
[[nodiscard]] inline float ParseReal(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseReal(std::string_view(utf8));
}

// "%.Nf" without the locale.
[[nodiscard]] inline std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc{}) return "0";
    return std::string(buffer, end);
}

[[nodiscard]] inline QString FixedText(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}
[[nodiscard]] inline QString UnsignedText(std::uint32_t value) {
    return QString::number(value);
}

}  // namespace velmora::pages
