#include "platform/textencoding.h"

#include <array>
#include <cstdint>

namespace velmora::platform {
namespace {

// Code points of bytes 0x80..0x9F in code page 1252; the rest equal their byte.
constexpr std::array<char32_t, 32> kHigh{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The byte for a code point, or '?' when code page 1252 has none.
char ToWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Length of the valid UTF-8 sequence at `at`, with its code point; 0 when invalid.
std::size_t NextUtf8(std::string_view s, std::size_t at, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(at);
    struct Lead {
        std::uint8_t first, last, mask;
        std::size_t length;
        char32_t min;  // smaller values are overlong forms
    };
    static constexpr std::array<Lead, 4> kLeads{{{0x00, 0x7F, 0x7F, 1, 0},
                                                 {0xC2, 0xDF, 0x1F, 2, 0x80},
                                                 {0xE0, 0xEF, 0x0F, 3, 0x800},
                                                 {0xF0, 0xF4, 0x07, 4, 0x10000}}};
    std::size_t length = 0;
    char32_t min = 0;
    for (const Lead& l : kLeads) {
        if (lead >= l.first && lead <= l.last) {
            length = l.length;
            c = lead & l.mask;
            min = l.min;
        }
    }
    if (length == 0) return 0;
    if (at + length > s.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    char32_t c = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = NextUtf8(bytes, at, c);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char32_t{b});
    }
    return out;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    char32_t c = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = NextUtf8(utf8, at, c);
        // Text from this program is UTF-8; a stray byte still maps to one byte.
        out += length == 0 ? '?' : ToWindows1252(c);
        at += length == 0 ? 1 : length;
    }
    return out;
}

}  // namespace velmora::platform
