// The shipped language files, loaded by the program's text catalogue exactly
// as the window does at start-up.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"
#include "shell/textcatalog.h"
#include "shell/textkeys.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using velmora::platform::ProfileFile;
using velmora::shell::TextCatalog;
namespace textkeys = velmora::shell::textkeys;

using Sections = std::vector<std::pair<std::string, std::vector<std::string>>>;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Sections and their keys in file order, duplicates kept (the program's
// reader would see only the first of two).
Sections ReadSections(const fs::path& path) {
    std::ifstream in(path);
    Sections sections;
    for (std::string line; std::getline(in, line);) {
        if (sections.empty() && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        line = Trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            sections.push_back({Trimmed(line.substr(1, line.find(']') - 1)), {}});
        } else if (line.find('=') != std::string::npos && !sections.empty()) {
            sections.back().second.push_back(Trimmed(line.substr(0, line.find('='))));
        }
    }
    return sections;
}

// The sections and keys of the text table, in its order.
Sections TableSections() {
    Sections sections;
    for (const auto& text : textkeys::allTexts()) {
        if (sections.empty() || sections.back().first != text.section)
            sections.push_back({std::string(text.section), {}});
        sections.back().second.emplace_back(text.key);
    }
    return sections;
}

// VELMORA_TEST_DATA_DIR lets a check run against a changed copy of the data.
fs::path DataDir() {
    const char* dir = std::getenv("VELMORA_TEST_DATA_DIR");
    return dir ? fs::path(dir) : fs::path(VELMORA_DATA_DIR);
}

// The catalogue reads through the working directory, like the program.
class ShippedLanguage : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        fs::copy(DataDir() / "data_language", m_dir / "data_language", fs::copy_options::recursive);
        TextCatalog::instance().resetForTest();
    }
    void TearDown() override { TextCatalog::instance().resetForTest(); }
    velmora::testkit::WorkFolder m_folder{"language"};
    const fs::path m_dir = m_folder.path();
};

// A key missing from a file shows "FILE_ERROR" in the window; a value longer
// than the catalogue keeps is shown cut off in mid-word.
TEST_P(ShippedLanguage, EveryKeyLoadsWholeAndUncut) {
    const int number = GetParam();
    ASSERT_EQ(TextCatalog::keyCount(), 531);
    ASSERT_EQ(TextCatalog::instance().load(static_cast<unsigned>(number)), 0);
    char name[32];
    std::snprintf(name, sizeof name, "language_%02d.ini", number);
    const ProfileFile file = ProfileFile::load(m_dir / "data_language" / name);
    for (int ordinal = 0; ordinal < TextCatalog::keyCount(); ++ordinal) {
        const std::string key(TextCatalog::keyName(ordinal));
        const std::string section(TextCatalog::sectionOf(ordinal));
        QString text;
        ASSERT_EQ(TextCatalog::instance().text(ordinal, text), 0) << key;
        const std::string raw = file.getString(section, key, "FILE_ERROR");
        EXPECT_NE(raw, "FILE_ERROR") << "[" << section << "] " << key;
        EXPECT_EQ(text.toStdString(), raw) << "[" << section << "] " << key;
        EXPECT_FALSE(text.trimmed().isEmpty()) << key;
    }
    // The added texts are shipped in each language, not left to their English.
    const auto texts = textkeys::allTexts();
    for (std::size_t i = textkeys::kKeyCount; i < texts.size(); ++i) {
        const auto& added = texts[i];
        const std::string raw =
            file.getString(std::string(added.section), std::string(added.key), "FILE_ERROR");
        EXPECT_NE(raw, "FILE_ERROR") << "[" << added.section << "] " << added.key;
        EXPECT_EQ(TextCatalog::instance().text(added.key).toStdString(), raw) << added.key;
        EXPECT_FALSE(Trimmed(raw).empty()) << added.key;
    }
}

// A key misspelt, duplicated, out of order or in the wrong section, an extra
// section: the file must hold exactly the table's sections and keys, in order.
TEST_P(ShippedLanguage, HoldsTheTablesSectionsAndKeysInOrder) {
    char name[32];
    std::snprintf(name, sizeof name, "language_%02d.ini", GetParam());
    const Sections file = ReadSections(m_dir / "data_language" / name);
    const Sections table = TableSections();
    ASSERT_EQ(file.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(file[i].first, table[i].first);
        EXPECT_EQ(file[i].second, table[i].second) << "[" << table[i].first << "]";
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::Values(1, 2));

// The language menu lists each file by its own name for itself.
TEST(ShippedLanguageNames, NameThemselvesInTheirLanguage) {
    const fs::path folder = DataDir() / "data_language";
    EXPECT_EQ(
        ProfileFile::load(folder / "language_01.ini").getString("general", "languagefile", ""),
        "English");
    EXPECT_EQ(
        ProfileFile::load(folder / "language_02.ini").getString("general", "languagefile", ""),
        "Deutsch");
    EXPECT_EQ(ProfileFile::load(folder / "language_02.ini").getString("spec", "rpm", ""), "U/min");
}

}  // namespace
