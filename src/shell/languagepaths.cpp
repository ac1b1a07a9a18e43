#include "shell/languagepaths.h"

#include <cstdio>

namespace velmora::shell {

namespace {

std::filesystem::path workingDirectory() {
    std::error_code error;
    auto path = std::filesystem::current_path(error);
    return error ? std::filesystem::path{} : path;
}

std::filesystem::path languageData() {
    return workingDirectory() / "data_language";
}

}  // namespace

std::string twoDigits(unsigned n) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2u", n);
    return text;
}

std::filesystem::path languageFilePath(unsigned language) {
    return languageData() / ("language_" + twoDigits(language & 0xFFu) + ".ini");
}

std::filesystem::path languageFolderPath(unsigned language) {
    return languageData() / ("language_" + twoDigits(language & 0xFFu));
}

std::filesystem::path animationFilePath(unsigned language) {
    return languageData() / ("animation_" + twoDigits(language & 0xFFu) + ".gif");
}

}  // namespace velmora::shell
