#pragma once
// A set of numbered files in a folder of the working directory: the language
// files ("language_01.ini", ...) for the language menu, and the run-in program
// files ("runin_01.run", ...).
#include <QString>
#include <filesystem>
#include <string_view>

namespace velmora::shell {

class LanguageFileSet {
  public:
    // Counts the unbroken run of files prefix01extension, prefix02extension, ...
    // in folder. 0 when all 99 exist, 2 when the scan stopped at a missing
    // number (the normal case).
    int scan(const QString& folder, const QString& prefix, const QString& extension);
    [[nodiscard]] int count() const { return m_count; }
    // Path of file number n of the last scan (whether it exists or not).
    [[nodiscard]] std::filesystem::path filePath(int n) const;
    // Value of key in section of file n, cut to 255 characters; "FILE_ERROR"
    // when n is not one of the counted files or the entry is missing.
    [[nodiscard]] QString entryValue(int n, std::string_view section, std::string_view key) const;

  private:
    std::filesystem::path m_folder;
    QString m_prefix;
    QString m_extension;
    int m_count = 0;
};

}  // namespace velmora::shell
