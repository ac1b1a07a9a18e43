// The shipped language files, loaded by the program's text catalogue exactly
// as the window does at start-up.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "shell/addedtexts.h"
#include "shell/textcatalog.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using velmora::platform::ProfileFile;
using velmora::shell::TextCatalog;

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
    for (const auto& added : velmora::shell::AddedTexts()) {
        const std::string raw =
            file.getString(std::string(added.section), std::string(added.key), "FILE_ERROR");
        EXPECT_NE(raw, "FILE_ERROR") << "[" << added.section << "] " << added.key;
        EXPECT_EQ(TextCatalog::instance().text(added.key).toStdString(), raw) << added.key;
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
