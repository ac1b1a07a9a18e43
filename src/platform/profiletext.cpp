#include "platform/profiletext.h"

namespace velmora::platform::detail {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\v\f\r";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

LineCursor::LineCursor(std::string_view text, std::size_t from) : m_text(text), m_pos(from) {}

TextLine LineCursor::take() {
    TextLine line;
    line.begin = m_pos;
    const std::size_t brk = m_text.find_first_of("\r\n", m_pos);
    if (brk == std::string_view::npos) {
        line.end = m_text.size();
        line.next = m_text.size();
    } else {
        line.end = brk;
        const bool crlf = m_text[brk] == '\r' && brk + 1 < m_text.size() && m_text[brk + 1] == '\n';
        line.next = brk + (crlf ? 2 : 1);
    }
    m_pos = line.next;
    return line;
}

std::size_t BodyStart(std::string_view text) {
    return text.starts_with(kBom) ? kBom.size() : 0;
}

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (!trimmed.starts_with('[')) return std::nullopt;
    const std::size_t close = trimmed.find(']');
    // A header missing its bracket still opens a section, as the platform reads it.
    const std::string_view name =
        trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    return Trim(name);
}

std::optional<KeyValue> SplitKey(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyValue{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::optional<SectionBody> FindSection(std::string_view text, std::string_view section) {
    LineCursor cursor(text, BodyStart(text));
    std::optional<SectionBody> found;
    while (!cursor.atEnd()) {
        const TextLine line = cursor.take();
        const auto name = SectionName(text.substr(line.begin, line.end - line.begin));
        if (!name) continue;
        if (found) {
            found->end = line.begin;
            return found;
        }
        if (EqualsNoCase(*name, Trim(section))) {
            found = SectionBody{line.end, line.next, text.size()};
        }
    }
    return found;
}

std::optional<KeyLine> FindKey(std::string_view text, const SectionBody& body,
                               std::string_view key) {
    const std::string_view wanted = Trim(key);
    LineCursor cursor(text.substr(0, body.end), body.begin);
    while (!cursor.atEnd()) {
        const TextLine line = cursor.take();
        const auto entry = SplitKey(text.substr(line.begin, line.end - line.begin));
        if (entry && EqualsNoCase(entry->key, wanted)) return KeyLine{line, entry->value};
    }
    return std::nullopt;
}

std::string_view LineEnding(std::string_view text) {
    const std::size_t brk = text.find_first_of("\r\n");
    if (brk == std::string_view::npos || text[brk] == '\n') return "\n";
    return brk + 1 < text.size() && text[brk + 1] == '\n' ? "\r\n" : "\r";
}

bool EndsWithLineBreak(std::string_view text) {
    return text.ends_with('\n') || text.ends_with('\r');
}

}  // namespace velmora::platform::detail
