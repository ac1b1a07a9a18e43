#pragma once
// The technician access code, asked for by the password panel that the
// specific-programming and technician pages share.
#include <string_view>

namespace velmora::pages {

inline constexpr std::string_view kAccessCode = "t@rn5582";
// Whole and case-sensitive: no trimming, no folding.
[[nodiscard]] inline bool IsAccessCode(std::string_view input) {
    return input == kAccessCode;
}

}  // namespace velmora::pages
