#pragma once
// Every text of the language files, defined once: its section, its key and,
// for a text added after the 531 ordinal keys, the English wording shown
// when a language file lacks it (a file written for an older version). The
// catalogue loads this table and the checks of the shipped files read it.
// Qt-free so that the table can be checked and fuzzed on its own.
#include <span>
#include <string_view>

namespace velmora::shell::textkeys {

// The keys every language file holds, reachable by ordinal as well as by name.
inline constexpr int kKeyCount = 531;

struct TextKey {
    std::string_view section;
    std::string_view key;
    std::string_view english;  // empty: a missing key reads "FILE_ERROR"
};

// Every text: the ordinal keys in ordinal order, then the added texts, each
// section in the order the language files hold them.
[[nodiscard]] std::span<const TextKey> allTexts();
// Index of a key name into allTexts(); -1 when unknown.
[[nodiscard]] int indexOf(std::string_view key);
// How many characters of the value at that index are read: an ordinal key
// holds a short label, cut after 127 characters; added texts are whole sentences.
[[nodiscard]] int maxCharacters(int index);

// Name of the key with this ordinal; empty outside 0..530.
[[nodiscard]] std::string_view keyName(int ordinal);
// Section the ordinal belongs to; empty outside 0..530.
[[nodiscard]] std::string_view sectionOf(int ordinal);
// Ordinal of a key name (exact, lower-case as in the files); -1 when unknown
// or an added text.
[[nodiscard]] int ordinalOf(std::string_view key);

}  // namespace velmora::shell::textkeys
