#pragma once
// How the pages read numbers the user typed or a file holds, and how they
// print them. Input is read like "%u" / "%f" (leading number, rest ignored,
// 0 when there is none) but never through the C locale: the window may run
// under a locale whose decimal point is a comma, and the files must not.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::pages {

[[nodiscard]] inline std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    return i;
}

// Leading unsigned number of text; 0 when there is none. A minus sign gives 0
// and values past 32 bits saturate, so no input wraps round to a huge value
// that a clamp would then turn into a row's maximum.
[[nodiscard]] inline std::uint32_t ParseUnsigned(std::string_view text) {
    std::size_t i = SkipBlanks(text);
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
[[nodiscard]] inline double ParseDouble(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc{} || !std::isfinite(value)) return 0.0;
    return value;
}

// As ParseDouble, for the fields the drive keeps as single precision; a
// value beyond its range reads 0 like any other unusable input.
[[nodiscard]] inline float ParseReal(std::string_view text) {
    const double value = ParseDouble(text);
    const auto single = static_cast<float>(value);
    return std::isfinite(single) ? single : 0.0f;
}

// "%.Nf" without the locale.
[[nodiscard]] inline std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) return "0";
    return std::string(buffer, result.ptr);
}

}  // namespace velmora::pages
