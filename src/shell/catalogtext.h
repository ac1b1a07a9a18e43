#pragma once
// Values of the language files as the windows show them.
#include <QString>
#include <string_view>

namespace velmora::platform {
class ProfileFile;
}

namespace velmora::shell {

inline constexpr std::string_view kFileError = "FILE_ERROR";

// The first maxCharacters characters of text. A character is a Unicode code
// point, so a surrogate pair is never split, whatever the file's encoding.
[[nodiscard]] QString cutToCharacters(const QString& text, qsizetype maxCharacters);

// The UTF-8 value of key in section, "FILE_ERROR" when the file, the section
// or the key is missing, cut to maxCharacters.
[[nodiscard]] QString profileText(const platform::ProfileFile& file, std::string_view section,
                                  std::string_view key, qsizetype maxCharacters);

}  // namespace velmora::shell
