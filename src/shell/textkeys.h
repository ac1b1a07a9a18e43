#pragma once
// The 480 language-file keys: ordinal, name and section. Qt-free so that the
// table can be checked and fuzzed on its own.
#include <string_view>

namespace velmora::shell::textkeys {

inline constexpr int kKeyCount = 480;

// Name of the key with this ordinal; empty outside 0..478.
[[nodiscard]] std::string_view keyName(int ordinal);
// Section the ordinal belongs to; empty outside 0..478.
[[nodiscard]] std::string_view sectionOf(int ordinal);
// Ordinal of a key name (exact, lower-case as in the files); -1 when unknown.
[[nodiscard]] int ordinalOf(std::string_view key);

}  // namespace velmora::shell::textkeys
