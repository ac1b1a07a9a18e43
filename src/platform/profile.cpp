#include "platform/profile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/profiletext.h"

namespace velmora::platform {

namespace {

using detail::FindKey;
using detail::FindSection;
using detail::LineCursor;
using detail::TextLine;

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// A line break inside a name or value would start a new entry of its own.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

long ParseLeadingInt(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Saturates instead of overflowing on absurdly long digit runs.
    constexpr long kMax = std::numeric_limits<long>::max();
    long magnitude = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const int digit = s[i] - '0';
        magnitude = magnitude > (kMax - digit) / 10 ? kMax : magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

// Where a new key goes: after the section's last entry, so blank separator
// lines and a comment heading the next section stay in front of it.
std::size_t AppendPosition(std::string_view text, const detail::SectionBody& body) {
    std::size_t position = body.begin;
    LineCursor cursor(text.substr(0, body.end), body.begin);
    while (!cursor.atEnd()) {
        const TextLine line = cursor.take();
        const std::string_view content =
            detail::Trim(text.substr(line.begin, line.end - line.begin));
        if (!content.empty() && !content.starts_with(';') && !content.starts_with('#')) {
            position = line.next;
        }
    }
    return position;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error) {
    std::error_code ec;
    // Only plain files: a folder reads as nothing and a pipe would block.
    if (!std::filesystem::is_regular_file(path, ec)) {
        if (error) *error = path.string() + ": not a regular file";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) {
        if (error) *error = path.string() + ": read error";
        return std::nullopt;
    }
    return std::move(contents).str();
}

}  // namespace

ProfileFile ProfileFile::load(const std::filesystem::path& path) {
    auto text = ReadWholeFile(path, nullptr);
    return text ? parse(*text) : ProfileFile{};
}

ProfileFile ProfileFile::parse(std::string_view bytes) {
    // The byte-order mark stays as it is; the encoding is the rest's.
    const std::size_t bom = detail::BodyStart(bytes);
    ProfileFile profile;
    profile.m_encoding = DetectEncoding(bytes.substr(bom));
    profile.m_text =
        std::string(bytes.substr(0, bom)) + DecodeText(bytes.substr(bom), profile.m_encoding);
    return profile;
}

std::optional<ProfileFile> ProfileFile::loadForUpdate(const std::filesystem::path& path,
                                                      std::string* error) {
    std::error_code ec;
    // A dangling symbolic link counts as missing: the write creates its target.
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return ProfileFile{};
    if (ec) {
        if (error) *error = path.string() + ": " + ec.message();
        return std::nullopt;
    }
    auto text = ReadWholeFile(path, error);
    if (!text) return std::nullopt;
    return parse(*text);
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    const auto body = FindSection(m_text, section);
    if (!body) return std::nullopt;
    const auto entry = FindKey(m_text, *body, key);
    if (!entry) return std::nullopt;
    return std::string(Unquote(entry->value));
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
    auto found = value(section, key);
    return found ? std::move(*found) : std::string(fallback);
}

long ProfileFile::getInt(std::string_view section, std::string_view key, long fallback) const {
    const auto found = value(section, key);
    return found ? ParseLeadingInt(*found) : fallback;
}

std::optional<std::string> ProfileFile::repeatedKey() const {
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    };
    std::set<std::pair<std::string, std::string>> seen;
    std::string_view section;
    LineCursor cursor(m_text, detail::BodyStart(m_text));
    while (!cursor.atEnd()) {
        const TextLine line = cursor.take();
        const std::string_view content =
            detail::Trim(std::string_view(m_text).substr(line.begin, line.end - line.begin));
        if (const auto name = detail::SectionName(content)) {
            section = *name;
            continue;
        }
        const auto entry = detail::SplitKey(content);
        if (!entry || content.starts_with(';') || content.starts_with('#')) continue;
        if (!seen.emplace(lower(section), lower(entry->key)).second)
            return std::string(entry->key) + " in [" + std::string(section) + "]";
    }
    return std::nullopt;
}

void ProfileFile::setString(std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string name = OneLine(detail::Trim(section));
    const std::string entry = OneLine(detail::Trim(key)) + "=" + OneLine(value);
    const std::string eol(detail::LineEnding(m_text));

    const auto body = FindSection(m_text, name);
    if (body) {
        if (const auto found = FindKey(m_text, *body, OneLine(key))) {
            m_text.replace(found->line.begin, found->line.end - found->line.begin, entry);
            return;
        }
        const std::size_t position = AppendPosition(m_text, *body);
        if (position == m_text.size() && !m_text.empty() && !detail::EndsWithLineBreak(m_text)) {
            m_text += eol + entry;  // the file had no final line break; keep it that way
        } else {
            m_text.insert(position, entry + eol);
        }
        return;
    }
    if (m_text.size() > detail::BodyStart(m_text) && !detail::EndsWithLineBreak(m_text)) {
        m_text += eol;
    }
    m_text += "[" + name + "]" + eol + entry + eol;
}

std::string ProfileFile::text() const {
    const std::size_t bom = detail::BodyStart(m_text);
    return m_text.substr(0, bom) + EncodeText(std::string_view(m_text).substr(bom), m_encoding);
}

bool ProfileFile::save(const std::filesystem::path& path) const {
    return WriteFileAtomically(path, text());
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback) {
    return ProfileFile::load(file).getString(section, key, fallback);
}

long ReadProfileInt(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, long fallback) {
    return ProfileFile::load(file).getInt(section, key, fallback);
}

bool UpdateProfile(const std::filesystem::path& file,
                   const std::function<void(ProfileFile&)>& edit) {
    auto profile = ProfileFile::loadForUpdate(file);
    if (!profile) return false;
    edit(*profile);
    return profile->save(file);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    return UpdateProfile(file,
                         [&](ProfileFile& profile) { profile.setString(section, key, value); });
}

}  // namespace velmora::platform
