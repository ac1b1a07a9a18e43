#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/tempfolder.h"
#include "tests/support/withoutpermission.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// Reading must find values exactly as the platform's own reader would, or
// existing config and language files give different settings.
// Byte-order mark, CRLF endings, "=" inside a value and a last line without
// a line break must not change what a key reads.
TEST(ProfileRead, IgnoresEncodingDetails) {
    const auto p = ProfileFile::parse(
        "\xEF\xBB\xBF[languagetype]\r\nlanguage=2\r\n[a] ; note\r\nexpr = x=1 \r\nlast=end");
    EXPECT_EQ(p.getInt("languagetype", "language", 0), 2);
    EXPECT_EQ(p.getString("a", "expr", "?"), "x=1");
    EXPECT_EQ(p.getString("a", "last", "?"), "end");
    EXPECT_EQ(ProfileFile::parse("\xEF\xBB\xBFk=v\n").getString("", "k", "?"), "?");
    EXPECT_EQ(ProfileFile::load("/nonexistent/velmora/config.ini").getInt("a", "b", 7), 7);
}

TEST(ProfileRead, MatchesThePlatformLookupRules) {
    const auto p = ProfileFile::parse(
        "orphan=before any section\n"
        "[ComType]\n"
        "  Port  =  5  \n"
        "port=7\n"
        "quoted=\"  spaced  \"\n"
        "half=\"open\n"
        "empty=\n"
        "noequals\n"
        "[comtype]\n"
        "second=only in the duplicate\n"
        "[ other ]\n"
        "port=9\n");
    EXPECT_EQ(p.getString("COMTYPE", "PORT", "x"), "5");  // case, trimming, first key wins
    EXPECT_EQ(p.getString("comtype", "quoted", "x"), "  spaced  ");
    EXPECT_EQ(p.getString("comtype", "half", "x"), "\"open");  // quotes only when they match
    EXPECT_EQ(p.getString("comtype", "empty", "x"), "");
    EXPECT_EQ(p.getString("comtype", "noequals", "x"), "x");
    EXPECT_EQ(p.getString("comtype", "second", "x"), "x");  // first section wins
    EXPECT_EQ(p.getString("other", "port", "x"), "9");
    EXPECT_EQ(p.getString("", "orphan", "x"), "x");  // keys before any section
    EXPECT_EQ(p.getString("missing", "port", "dflt"), "dflt");
    EXPECT_FALSE(p.value("comtype", "nothere").has_value());
}

struct ReadCase {
    const char* name;
    std::string bytes;
    const char* key;
    const char* expected;  // UTF-8
};
class ProfileReadCases : public ::testing::TestWithParam<ReadCase> {};

// Files as the platform's own reader reads them: single quotes dropped like
// double ones, lines ending in a lone CR (old Mac editors), and files written
// in the Windows code page read as such instead of showing broken umlauts.
TEST_P(ProfileReadCases, ReadsLikeThePlatform) {
    const auto p = ProfileFile::parse(GetParam().bytes);
    EXPECT_EQ(p.getString("s", GetParam().key, "?"), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReadCases,
    ::testing::Values(ReadCase{"SingleQuotes", "[s]\nk=  'two  words'  \n", "k", "two  words"},
                      ReadCase{"MixedQuotesKept", "[s]\nk='x\"\n", "k", "'x\""},
                      ReadCase{"LoneCr", "[t]\rk=1\r[s]\rk=2\rz=3", "k", "2"},
                      ReadCase{"LoneCrLastKey", "[s]\rk=1\rz=3", "z", "3"},
                      ReadCase{"Windows1252",
                               "[s]\r\nk=Drehzahl \xFC"
                               "ber Grenzwert \x80 \x85\r\n",
                               "k", "Drehzahl \u00FCber Grenzwert \u20AC \u2026"},
                      ReadCase{"BomThenWindows1252", "\xEF\xBB\xBF[s]\nk=\xE4\n", "k", "\u00E4"},
                      ReadCase{"Utf8StaysUtf8",
                               "[s]\nk=\xC3\xBC"
                               "ber\n",
                               "k", "\u00FCber"},
                      ReadCase{"OverlongIsNoUtf8", "[s]\nk=\xC0\xAF\n", "k", "\u00C0\u00AF"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file in the Windows code page is written back in it: the bytes the
// edit did not touch stay as they were (undefined code points included), and
// the new value's umlaut becomes its one code-page byte; a lone-CR file keeps
// its line ends.
TEST(ProfileEdit, KeepsTheEncodingAndLineEndsOfTheFile) {
    const std::string before("[s]\r\nname=M\xFCller \x81\x8D\x8F\x90\x9D\r\nk=1\r\n");
    auto p = ProfileFile::parse(before);
    EXPECT_EQ(p.encoding(), TextEncoding::Windows1252);
    p.setString("s", "k", "gr\u00FC\u00DF \u20AC \u4E2D");
    p.setString("s", "new", "\u00E4");
    EXPECT_EQ(p.text(),
              "[s]\r\nname=M\xFCller \x81\x8D\x8F\x90\x9D\r\nk=gr\xFC\xDF \x80 ?\r\n"
              "new=\xE4\r\n");
    EXPECT_EQ(ProfileFile::parse(p.text()).getString("s", "k", "?"), "gr\u00FC\u00DF \u20AC ?");

    auto bom = ProfileFile::parse("\xEF\xBB\xBF[s]\nk=\xE4\n");
    bom.setString("s", "k", "\u00F6");
    EXPECT_EQ(bom.text(), "\xEF\xBB\xBF[s]\nk=\xF6\n");

    auto utf8 = ProfileFile::parse("[s]\nk=1\n");
    utf8.setString("s", "k", "\u00FC");
    EXPECT_EQ(utf8.text(), "[s]\nk=\xC3\xBC\n");

    auto cr = ProfileFile::parse("[s]\rk=1\r[t]\r");
    cr.setString("s", "z", "2");
    cr.setString("u", "y", "3");
    EXPECT_EQ(cr.text(), "[s]\rk=1\rz=2\r[t]\r[u]\ry=3\r");
}

struct IntCase {
    const char* text;
    long expected;
};
class ProfileInt : public ::testing::TestWithParam<IntCase> {};

// Integers must parse like the platform's reader: a wrong fallback or a
// rejected "12abc" changes stored settings.
TEST_P(ProfileInt, ParsesLeadingDigits) {
    const auto p = ProfileFile::parse(std::string("[s]\nk=") + GetParam().text + "\n");
    EXPECT_EQ(p.getInt("s", "k", -999), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Values, ProfileInt,
    ::testing::Values(IntCase{"42", 42}, IntCase{"  -17 ", -17}, IntCase{"+8", 8},
                      IntCase{"12abc", 12}, IntCase{"abc", 0}, IntCase{"", 0}, IntCase{"-", 0},
                      IntCase{"\"33\"", 33}, IntCase{"0x1F", 0},
                      IntCase{"99999999999999999999999999", 9223372036854775807L},
                      IntCase{"-99999999999999999999999999", -9223372036854775807L}));

TEST(ProfileInt, FallbackOnlyWhenTheKeyIsMissing) {
    const auto p = ProfileFile::parse("[s]\nk=\n");
    EXPECT_EQ(p.getInt("s", "k", 5), 0);
    EXPECT_EQ(p.getInt("s", "other", 5), 5);
    EXPECT_EQ(p.getInt("t", "k", 5), 5);
}

struct EditCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};
class ProfileEdit : public ::testing::TestWithParam<EditCase> {};

// Every other byte of the file must survive an edit: users keep comments and
// unknown keys in these files, and the file keeps its own line ending.
TEST_P(ProfileEdit, ChangesOnlyTheEntry) {
    auto p = ProfileFile::parse(GetParam().before);
    p.setString(GetParam().section, GetParam().key, GetParam().value);
    EXPECT_EQ(p.text(), GetParam().after);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileEdit,
    ::testing::Values(
        EditCase{"ReplaceInPlace", "; c\n[a]\nx=1\ny=2\n", "A", "X", "9", "; c\n[a]\nX=9\ny=2\n"},
        EditCase{"CrlfKept", "[a]\r\nx=1\r\n\r\n[b]\r\n", "a", "y", "2",
                 "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\n"},
        EditCase{"CrlfNewSection", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        EditCase{"BomKept", "\xEF\xBB\xBF[a]\nx=1\n", "a", "x", "2", "\xEF\xBB\xBF[a]\nx=2\n"},
        EditCase{"BomOnly", "\xEF\xBB\xBF", "a", "x", "2", "\xEF\xBB\xBF[a]\nx=2\n"},
        EditCase{"EmptyFile", "", "a", "x", "2", "[a]\nx=2\n"},
        EditCase{"NoFinalNewlineKey", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2"},
        EditCase{"NoFinalNewlineHeader", "[a]", "a", "y", "2", "[a]\ny=2"},
        EditCase{"NoFinalNewlineSection", "[a]\nx=1", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
        EditCase{"DuplicateSectionFirstWins", "[a]\nx=1\n[A]\nx=2\n", "a", "x", "3",
                 "[a]\nx=3\n[A]\nx=2\n"},
        EditCase{"DuplicateKeyFirstWins", "[a]\nx=1\nx=2\n", "a", "x", "3", "[a]\nx=3\nx=2\n"},
        EditCase{"OrphanKeyUntouched", "x=1\n[a]\n", "a", "x", "2", "x=1\n[a]\nx=2\n"},
        EditCase{"BeforeBlankSeparator", "[a]\nx=1\n\n; next\n[b]\n", "a", "y", "2",
                 "[a]\nx=1\ny=2\n\n; next\n[b]\n"},
        EditCase{"LineBreakInValue", "[a]\n", "a", "x", "1\n[evil]\r", "[a]\nx=1 [evil] \n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Arbitrary bytes (NULs, invalid UTF-8, very long lines) must neither crash
// the reader nor be altered by an edit elsewhere in the file.
TEST(ProfileEdit, KeepsBinaryJunkAndLongLines) {
    std::string junk("[a]\nx=1\n", 8);
    junk += std::string("\0\xff\xfe[\r=]\r\r\n", 10);
    junk += std::string(200000, 'z') + "=long\n";
    auto p = ProfileFile::parse(junk);
    EXPECT_EQ(p.getString("a", std::string(200000, 'z'), "?"), "long");
    p.setString("a", "x", "2");
    std::string expected = junk;
    expected.replace(4, 3, "x=2");
    EXPECT_EQ(p.text(), expected);
}

class ProfileFiles : public testkit::TempFolderTest {
  protected:
    ProfileFiles() : TempFolderTest("profile") {}
};

// The one-shot helpers must create, update and read back a real file.
TEST_F(ProfileFiles, OneShotHelpersRoundTrip) {
    const auto file = m_dir / "config.ini";
    EXPECT_EQ(ReadProfileInt(file, "comtype", "port", 3), 3);
    ASSERT_TRUE(WriteProfileString(file, "comtype", "port", "5"));
    ASSERT_TRUE(WriteProfileString(file, "comdevices", "com5", "/dev/ttyUSB0"));
    ASSERT_TRUE(WriteProfileString(file, "COMTYPE", "Port", "6"));
    EXPECT_EQ(Slurp(file), "[comtype]\nPort=6\n[comdevices]\ncom5=/dev/ttyUSB0\n");
    EXPECT_EQ(ReadProfileInt(file, "comtype", "port", 3), 6);
    EXPECT_EQ(ReadProfileString(file, "comdevices", "COM5", ""), "/dev/ttyUSB0");
}

// A file that exists but cannot be read must not be replaced by a file
// holding only the new key.
TEST_F(ProfileFiles, UnreadableFileIsNotOverwritten) {
    const auto file = m_dir / "config.ini";
    ASSERT_TRUE(WriteFileAtomically(file, "[a]\nx=1\n"));
    fs::permissions(m_dir, fs::perms::all);
    fs::permissions(file, fs::perms::owner_write | fs::perms::others_write);
    EXPECT_FALSE(
        testkit::AttemptWithoutPermission([&] { return WriteProfileString(file, "a", "y", "2"); }));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Slurp(file), "[a]\nx=1\n");
    EXPECT_FALSE(WriteProfileString(m_dir, "a", "y", "2"));  // a folder is no profile

    // A pipe must neither block the reader nor be replaced by a file.
    const auto pipe = m_dir / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadProfileString(pipe, "a", "x", "dflt"), "dflt");
    EXPECT_FALSE(WriteProfileString(pipe, "a", "x", "1"));
    EXPECT_TRUE(fs::is_fifo(pipe));

    // A dangling link is written through: the link stays, its target appears.
    const auto link = m_dir / "link.ini";
    fs::create_symlink("target.ini", link);
    ASSERT_TRUE(WriteProfileString(link, "a", "x", "1"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(Slurp(m_dir / "target.ini"), "[a]\nx=1\n");
}

}  // namespace
}  // namespace velmora::platform
