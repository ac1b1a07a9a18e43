#include "faulttexts.h"

#include <cstdio>
#include <filesystem>

#include "platform/configfile.h"
#include "platform/templatepath.h"

namespace velmora::tools::mqtt {
namespace {

platform::ProfileFile LoadLanguage() {
    const long number =
        platform::ReadProfileInt(platform::ConfigFilePath(), "languagetype", "language", 1);
    char name[32];
    std::snprintf(name, sizeof name, "language_%.2lu.ini",
                  static_cast<unsigned long>(number) & 0xFFu);
    const auto exe = platform::ExecutableFolder();
    std::error_code code;
    for (const auto& folder : {std::filesystem::path("data_language"), exe / "data_language",
                               exe / ".." / "share" / "velmora-tool" / "data_language"}) {
        if (std::filesystem::is_regular_file(folder / name, code))
            return platform::ProfileFile::load(folder / name);
    }
    return {};
}

}  // namespace

FaultTexts::FaultTexts() : m_language(LoadLanguage()) {}

std::string FaultTexts::text(int number) const {
    if (number <= 0) return {};
    char key[16];
    std::snprintf(key, sizeof key, "error%.2d", number);
    return m_language.getString("errors", key, "");
}

}  // namespace velmora::tools::mqtt
