#include "shell/languagefileset.h"

#include "platform/profile.h"
#include "shell/catalogtext.h"
#include "shell/languagepaths.h"

namespace velmora::shell {

namespace {
constexpr int kMaxFiles = 99;
// Entries are read into 256-character buffers.
constexpr qsizetype kMaxEntryCharacters = 255;
}  // namespace

int LanguageFileSet::scan(const QString& folder, const QString& prefix, const QString& extension) {
    m_prefix = prefix;
    m_extension = extension;
    std::error_code error;
    m_folder = std::filesystem::current_path(error) / folder.toStdString();
    m_count = 0;
    for (int n = 1; n <= kMaxFiles; ++n) {
        if (!std::filesystem::exists(filePath(n), error)) return 2;
        ++m_count;
    }
    return 0;
}

std::filesystem::path LanguageFileSet::filePath(int n) const {
    const auto name =
        m_prefix.toStdString() + twoDigits(static_cast<unsigned>(n)) + m_extension.toStdString();
    return m_folder / name;
}

QString LanguageFileSet::entryValue(int n, std::string_view section, std::string_view key) const {
    // Number 0 is never part of a set, so it reads nothing either.
    if (n < 1 || n > m_count) return QString::fromLatin1(kFileError.data(), kFileError.size());
    return profileText(platform::ProfileFile::load(filePath(n)), section, key, kMaxEntryCharacters);
}

}  // namespace velmora::shell
