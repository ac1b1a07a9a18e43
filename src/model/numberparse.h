#pragma once
// How the tool reads numbers the user typed or a file holds, and how they
// print them. Files are read like "%u" / "%f" (leading number, rest ignored,
// 0 when there is none), typed input strictly; never through the C locale:
// the window may run under a locale whose decimal point is a comma, and the
// files must not.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::model {

[[nodiscard]] inline std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    return i;
}

// Leading unsigned number of text; 0 when there is none (files; typed
// input uses the strict forms below). A minus sign gives 0
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

// What the user typed, read strictly: the whole text (blanks around it
// aside) must be the number, else nullopt, so that a typo is refused rather
// than read as 0 or as its leading digits. Values past 32 bits saturate.
[[nodiscard]] inline std::optional<std::uint32_t> ParseUnsignedStrict(std::string_view text) {
    text.remove_prefix(SkipBlanks(text));
    while (!text.empty() && SkipBlanks(text.substr(text.size() - 1)) == 1) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value <= UINT32_MAX) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(value);
}

// As ParseUnsignedStrict for a real number. The point is always the decimal
// point; decimalSeparator (the interface language's, ',' in German) is taken
// as one too. Infinite and not-a-number texts are refused.
[[nodiscard]] inline std::optional<double> ParseDoubleStrict(std::string_view text,
                                                             char decimalSeparator = '.') {
    text.remove_prefix(SkipBlanks(text));
    while (!text.empty() && SkipBlanks(text.substr(text.size() - 1)) == 1) text.remove_suffix(1);
    std::string number(text);
    for (char& c : number)
        if (c == decimalSeparator) c = '.';
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
        if (!number.empty() && (number.front() == '+' || number.front() == '-'))
            return std::nullopt;
    }
    if (number.empty()) return std::nullopt;
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto result = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// As ParseDoubleStrict for the single-precision fields; out of their range is refused.
[[nodiscard]] inline std::optional<float> ParseRealStrict(std::string_view text,
                                                          char decimalSeparator = '.') {
    const auto value = ParseDoubleStrict(text, decimalSeparator);
    if (!value || !std::isfinite(static_cast<float>(*value))) return std::nullopt;
    return static_cast<float>(*value);
}

// "%.Nf" without the locale.
[[nodiscard]] inline std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) return "0";
    return std::string(buffer, result.ptr);
}

}  // namespace velmora::model
