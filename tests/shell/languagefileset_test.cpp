#include "shell/languagefileset.h"

#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

const QString kMissingEntry = QStringLiteral("FILE_ERROR");

class LanguageFileSetTest : public testkit::WidgetTest {};

// Catches a scan that skips a gap (the menu would list a language whose
// neighbours are missing) or counts past it.
TEST_F(LanguageFileSetTest, ScanStopsAtTheFirstMissingNumber) {
    write("data_language/language_01.ini", "[general]\nlanguagefile=English\n");
    write("data_language/language_02.ini", "[general]\nlanguagefile=\"Deutsch\"\n");
    write("data_language/language_04.ini", "[general]\nlanguagefile=Svenska\n");
    LanguageFileSet set;
    EXPECT_EQ(set.scan("data_language", "language_", ".ini"), 2);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.entryValue(1, "general", "languagefile"), "English");
    EXPECT_EQ(set.entryValue(2, "general", "languagefile"), "Deutsch");
    // File 04 exists but lies beyond the count: not read.
    EXPECT_EQ(set.entryValue(4, "general", "languagefile"), kMissingEntry);
    EXPECT_EQ(set.entryValue(0, "general", "languagefile"), kMissingEntry);
    EXPECT_EQ(set.entryValue(-1, "general", "languagefile"), kMissingEntry);
    EXPECT_EQ(set.entryValue(1, "general", "missing"), kMissingEntry);
}

// Catches a scan of 99 files that overruns into 100 or reports the normal
// result, and a folder not taken from the working directory.
TEST_F(LanguageFileSetTest, AllNinetyNineRunInFiles) {
    for (int n = 1; n <= 100; ++n) {
        write(QString::asprintf("data_runin/runin_%.2u.run", n), "[runin]\n");
    }
    LanguageFileSet set;
    EXPECT_EQ(set.scan("data_runin", "runin_", ".run"), 0);
    EXPECT_EQ(set.count(), 99);
    EXPECT_EQ(QString::fromStdString(set.filePath(7).string()), path("data_runin/runin_07.run"));
    LanguageFileSet empty;
    EXPECT_EQ(empty.scan("nowhere", "runin_", ".run"), 2);
    EXPECT_EQ(empty.count(), 0);
    EXPECT_EQ(empty.entryValue(1, "runin", "x"), kMissingEntry);
}

// Catches long menu entries not cut to the 255 characters of their buffer.
TEST_F(LanguageFileSetTest, EntriesAreCutTo255Characters) {
    write("data_language/language_01.ini",
          "[general]\nlanguagefile=" + QByteArray(300, 'e') + "\n");
    LanguageFileSet set;
    set.scan("data_language", "language_", ".ini");
    EXPECT_EQ(set.entryValue(1, "general", "languagefile"), QString(255, 'e'));
}

}  // namespace
}  // namespace velmora::shell
