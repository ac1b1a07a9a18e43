#pragma once
// The drive's fault numbers and the catalogue keys of their popup texts.
#include <span>
#include <string_view>

namespace velmora::shell {

struct FaultText {
    unsigned number;
    std::string_view headlineKey;  // "errornumber" or "warningnumber"
    std::string_view faultKey;     // "error01" ...
};

[[nodiscard]] std::span<const FaultText> faultTable();
// The entry of a fault number; nullptr when the number has no text.
[[nodiscard]] const FaultText* findFault(unsigned number);

}  // namespace velmora::shell
