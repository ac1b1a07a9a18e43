#pragma once
// Line-level reading of profile text, shared by the profile's queries and edits.
#include <cstddef>
#include <optional>
#include <string_view>

namespace velmora::platform::detail {

struct TextLine {
    std::size_t begin = 0;  // first character
    std::size_t end = 0;    // one past the content, before "\r\n", "\n" or "\r"
    std::size_t next = 0;   // first character of the following line
};

// Lines of the text, starting after a UTF-8 byte-order mark.
class LineCursor {
  public:
    LineCursor(std::string_view text, std::size_t from);
    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }
    TextLine take();

  private:
    std::string_view m_text;
    std::size_t m_pos;
};

[[nodiscard]] std::size_t BodyStart(std::string_view text);
[[nodiscard]] std::string_view Trim(std::string_view s);
[[nodiscard]] bool EqualsNoCase(std::string_view a, std::string_view b);
// The name of a "[section]" line, or nullopt for any other line.
[[nodiscard]] std::optional<std::string_view> SectionName(std::string_view line);

struct KeyValue {
    std::string_view key;
    std::string_view value;  // trimmed, matching double quotes still present
};
[[nodiscard]] std::optional<KeyValue> SplitKey(std::string_view line);

struct SectionBody {
    std::size_t headerEnd = 0;  // end of the header line's content
    std::size_t begin = 0;      // first line after the header
    std::size_t end = 0;        // start of the next header, or the end of the text
};
// The first section with this name.
[[nodiscard]] std::optional<SectionBody> FindSection(std::string_view text,
                                                     std::string_view section);

struct KeyLine {
    TextLine line;
    std::string_view value;
};
// The first line of the body whose key matches.
[[nodiscard]] std::optional<KeyLine> FindKey(std::string_view text, const SectionBody& body,
                                             std::string_view key);

// The line break the text's first line ends with: "\r\n", a lone "\r", or
// "\n" (also when there is none).
[[nodiscard]] std::string_view LineEnding(std::string_view text);
[[nodiscard]] bool EndsWithLineBreak(std::string_view text);

}  // namespace velmora::platform::detail
