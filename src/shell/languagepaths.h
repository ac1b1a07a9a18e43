#pragma once
// Where the language files live. Every path starts at the process's current
// working directory at the moment of the call, so a program started elsewhere
// finds no language files (config.ini: platform/configfile.h).
#include <filesystem>
#include <string>

namespace velmora::shell {

// "%.2u" of a number: 1 -> "01", 123 -> "123".
[[nodiscard]] std::string twoDigits(unsigned n);

// data_language/language_NN.ini; only the low 8 bits of the number count.
[[nodiscard]] std::filesystem::path languageFilePath(unsigned language);
// data_language/language_NN/, the folder of the help and note files.
[[nodiscard]] std::filesystem::path languageFolderPath(unsigned language);
// data_language/animation_NN.gif
[[nodiscard]] std::filesystem::path animationFilePath(unsigned language);

}  // namespace velmora::shell
