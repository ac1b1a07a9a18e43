#pragma once
// Initialisation-file ("profile") reader and writer.
//
// Behaves like the private-profile functions the drive tool was designed
// around: section and key names match without regard to ASCII case, the first
// matching section and key win, spaces around keys and values are trimmed, a
// value in matching double or single quotes loses them, a line may end in LF,
// CRLF or a lone CR, and a missing file, section or key gives the default.
// A file that is not valid UTF-8 (one written in the Windows code page) is
// read as Windows-1252. Writes keep every other line, the line ending, a
// UTF-8 byte-order mark and the file's encoding, and replace the file
// atomically.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/textencoding.h"

namespace velmora::platform {

class ProfileFile {
  public:
    ProfileFile() = default;
    // A missing or unreadable file gives an empty profile.
    [[nodiscard]] static ProfileFile load(const std::filesystem::path& path);
    // The file's bytes, in either encoding; values come out as UTF-8.
    [[nodiscard]] static ProfileFile parse(std::string_view bytes);
    // For read-modify-write: an empty profile when the file does not exist,
    // nullopt when it exists but cannot be read (saving over it would lose it).
    [[nodiscard]] static std::optional<ProfileFile> loadForUpdate(const std::filesystem::path& path,
                                                                  std::string* error = nullptr);

    [[nodiscard]] std::optional<std::string> value(std::string_view section,
                                                   std::string_view key) const;
    [[nodiscard]] std::string getString(std::string_view section, std::string_view key,
                                        std::string_view fallback) const;
    // Integers read as the platform reads them: optional sign, leading decimal
    // digits, 0 when there are none; the fallback only when the key is missing.
    [[nodiscard]] long getInt(std::string_view section, std::string_view key, long fallback) const;

    // "key in [section]" for the first key that stands a second time in a
    // section of the same name (ignoring case), where only the first would
    // count; nullopt when every key is there once.
    [[nodiscard]] std::optional<std::string> repeatedKey() const;

    // Replaces the first matching key in place, appends a missing key at the end
    // of its section and a missing section at the end of the text. Line breaks
    // inside section, key or value become spaces: they would split the entry.
    void setString(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes as save() writes them, in the encoding the file had.
    [[nodiscard]] std::string text() const;
    [[nodiscard]] TextEncoding encoding() const { return m_encoding; }
    // Writes through a temporary file in the same folder and renames it over
    // the target; false (and the old file untouched) on any failure.
    [[nodiscard]] bool save(const std::filesystem::path& path) const;

  private:
    std::string m_text;  // the whole file as UTF-8, BOM included
    TextEncoding m_encoding = TextEncoding::Utf8;
};

// One-shot helpers with the same semantics. Keys that stand before the first
// section belong to no section and are never read or written.
[[nodiscard]] std::string ReadProfileString(const std::filesystem::path& file,
                                            std::string_view section, std::string_view key,
                                            std::string_view fallback);
[[nodiscard]] long ReadProfileInt(const std::filesystem::path& file, std::string_view section,
                                  std::string_view key, long fallback);
// Read-modify-write: `edit` changes the file's profile, which is then saved.
// A file that exists but cannot be read is left alone (saving the edit alone
// would lose every other entry). false when nothing was written.
bool UpdateProfile(const std::filesystem::path& file,
                   const std::function<void(ProfileFile&)>& edit);
// false when the file could not be written.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

enum class ReadOnlyTarget {
    Refuse,   // a target without the owner's write bit stays as it is (failure)
    Replace,  // the user agreed to replace it: the new file gets the owner's write bit
};

// Writes bytes to path via a temporary file in the same folder and a rename,
// so a crash never leaves a half-written file. The new file keeps an existing
// target's permission bits (and owner, where allowed); a symbolic link is
// followed so the link itself survives. A read-only target is refused, or,
// with ReadOnlyTarget::Replace, replaced by a file its owner may write again.
// Sets *error to a one-line reason on failure; the old file is then untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         ReadOnlyTarget readOnly, std::string* error = nullptr);

}  // namespace velmora::platform
