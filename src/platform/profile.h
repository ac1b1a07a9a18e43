#pragma once
// Initialisation-file ("profile") reader and writer.
//
// Behaves like the private-profile functions the drive tool was designed
// around: section and key names match without regard to ASCII case, the first
// matching section and key win, spaces around keys and values are trimmed, a
// value in matching double quotes loses them, and a missing file, section or
// key gives the default. Writes keep every other line, the line ending (LF or
// CRLF) and a UTF-8 byte-order mark, and replace the file atomically.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

class ProfileFile {
  public:
    ProfileFile() = default;
    // A missing or unreadable file gives an empty profile.
    [[nodiscard]] static ProfileFile load(const std::filesystem::path& path);
    [[nodiscard]] static ProfileFile parse(std::string_view text);
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

    // Replaces the first matching key in place, appends a missing key at the end
    // of its section and a missing section at the end of the text. Line breaks
    // inside section, key or value become spaces: they would split the entry.
    void setString(std::string_view section, std::string_view key, std::string_view value);

    [[nodiscard]] std::string text() const;
    // Writes through a temporary file in the same folder and renames it over
    // the target; false (and the old file untouched) on any failure.
    [[nodiscard]] bool save(const std::filesystem::path& path) const;

  private:
    std::string m_text;  // the whole file, BOM included
};

// One-shot helpers with the same semantics. Keys that stand before the first
// section belong to no section and are never read or written.
[[nodiscard]] std::string ReadProfileString(const std::filesystem::path& file,
                                            std::string_view section, std::string_view key,
                                            std::string_view fallback);
[[nodiscard]] long ReadProfileInt(const std::filesystem::path& file, std::string_view section,
                                  std::string_view key, long fallback);
// false when the file could not be written.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

enum class ReadOnlyTarget {
    Refuse,   // a target without the owner's write bit stays as it is (failure)
    Replace,  // the caller has asked the user; the new file keeps the old mode
};

// Writes bytes to path via a temporary file in the same folder and a rename,
// so a crash never leaves a half-written file. The new file keeps an existing
// target's permission bits (and owner, where allowed); a symbolic link is
// followed so the link itself survives. A read-only target is refused. Sets
// *error to a one-line reason on failure; the old file is then untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         ReadOnlyTarget readOnly, std::string* error = nullptr);

}  // namespace velmora::platform
