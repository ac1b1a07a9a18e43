#pragma once
// Texts added to the language files after their fixed key list. Each lives
// in a section of its own and carries its English wording, shown when a
// language file lacks the key (a file written for an older version).
#include <string_view>
#include <vector>

namespace velmora::shell {

struct AddedText {
    std::string_view section;
    std::string_view key;
    std::string_view english;
};

// Every added text, the port hints of the link's table included.
[[nodiscard]] const std::vector<AddedText>& AddedTexts();

}  // namespace velmora::shell
