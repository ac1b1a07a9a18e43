// The shipped language files, loaded by the program's text catalogue exactly
// as the window does at start-up.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "shell/textcatalog.h"

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
        m_previous = fs::current_path();
        m_dir = fs::temp_directory_path() /
                ("velmora-language-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(GetParam()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy(DataDir() / "data_language", m_dir / "data_language", fs::copy_options::recursive);
        fs::current_path(m_dir);
        TextCatalog::instance().resetForTest();
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
        TextCatalog::instance().resetForTest();
    }
    fs::path m_previous;
    fs::path m_dir;
};

// A key missing from a file shows "FILE_ERROR" in the window; a value longer
// than the catalogue keeps is shown cut off in mid-word.
TEST_P(ShippedLanguage, EveryKeyLoadsWholeAndUncut) {
    const int number = GetParam();
    ASSERT_EQ(TextCatalog::keyCount(), 480);
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
