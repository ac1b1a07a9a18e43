#include "model/parastructure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "model/grouplayout.h"
#include "platform/profile.h"
#include "tests/support/tempfolder.h"

namespace velmora::model {
namespace {

namespace fs = std::filesystem;

// Texts as a language file would give them; a key it lacks reads FILE_ERROR.
std::string Text(std::string_view key) {
    static const std::map<std::string, std::string, std::less<>> texts = {
        {"hz", "Hz"},
        {"rpm", "rpm"},
        {"ampereac", "A~"},
        {"inv01", "INV-01"},
        {"inv02", "INV-02"},
        {"undef", "undefined"},
        {"asm", "asynchron"},
        {"bldc", "BLDC"},
        {"4poles", "4 poles"},
        {"locked", "locked"},
        {"remotecontrol", "remote"},
        {"msec", "ms"},
        {"watt", "W"},
        {"cwrot", "cw"},
    };
    const auto found = texts.find(key);
    if (found != texts.end()) return found->second;
    if (key.starts_with("p") && key.ends_with("pn")) {
        return "Name " + std::string(key.substr(1, key.size() - 3));
    }
    return "FILE_ERROR";
}

std::size_t RowOf(int parameter) {
    const auto rows = ParaStructRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].parameter == parameter) return i;
    }
    return rows.size();
}

// The view lists exactly the parameters of groups 0x50..0x5A; a row missing
// or added would silently drop or invent a value in every export.
TEST(ParaStructRows, AreTheParametersOfTheFlaggedGroups) {
    std::vector<int> expected;
    for (int p = 1; p <= kParameterCount; ++p) {
        const auto* group = GroupOfParameter(p);
        if (group != nullptr && group->code <= 0x5A) expected.push_back(p);
    }
    std::vector<int> rows;
    for (const auto& row : ParaStructRows()) {
        rows.push_back(row.parameter);
        EXPECT_EQ(row.display == ParaDisplay::List, !row.listKeys.empty()) << int(row.parameter);
    }
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(rows.size(), 86u);
}

class ParaStructFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int p = 1; p <= kParameterCount; ++p) m_data.SetImage(p, 0);
    }
    DriveData m_data;
    ParaStructTexts m_texts;
};

// Each display rule must format with its own precision and list.
TEST_F(ParaStructFixture, RowsShowTheirRules) {
    m_data.SetImage(1, 400);    // "%u" in Hz, never converted
    m_data.SetImage(8, 2);      // list index 1: rpm
    m_data.SetImage(11, 1234);  // factor 100 shown with one decimal
    m_data.SetImage(19, 23);    // factor 10 shown with two decimals
    m_data.SetImage(36, 7302);
    m_data.SetImage(90, 1);
    m_data.SetImage(96, 4);  // 4 poles, stored 4
    m_data.SetImage(102, 32);
    m_data.TakeImage();
    m_texts.refresh(m_data, Text);
    EXPECT_EQ(m_texts.valueText(RowOf(1)), "400");
    EXPECT_EQ(m_texts.valueText(RowOf(8)), "rpm");
    EXPECT_EQ(m_texts.valueText(RowOf(11)), "12.3");
    EXPECT_EQ(m_texts.valueText(RowOf(19)), "2.30");
    EXPECT_EQ(m_texts.valueText(RowOf(36)), "INV-02");
    EXPECT_EQ(m_texts.valueText(RowOf(90)), "asynchron");
    EXPECT_EQ(m_texts.valueText(RowOf(96)), "4 poles");
    EXPECT_EQ(m_texts.valueText(RowOf(102)), "remote");
}

// Any unknown inverter code shows undef; a list value outside the list keeps
// the row's previous text instead of indexing past the list.
TEST_F(ParaStructFixture, UnknownValuesKeepTextOrShowUndef) {
    m_data.SetImage(90, 2);
    m_data.TakeImage();
    m_texts.refresh(m_data, Text);
    EXPECT_EQ(m_texts.valueText(RowOf(90)), "BLDC");
    EXPECT_EQ(m_texts.valueText(RowOf(36)), "undefined");  // 0

    m_data.SetImage(90, 5);
    m_data.SetImage(36, 7301);
    m_data.SetImage(8, 0);  // list index 0xFFFFFFFF
    m_data.TakeImage();
    m_texts.refresh(m_data, Text);
    EXPECT_EQ(m_texts.valueText(RowOf(90)), "BLDC");
    EXPECT_EQ(m_texts.valueText(RowOf(36)), "INV-01");
    EXPECT_EQ(m_texts.valueText(RowOf(8)), "");
    for (std::uint32_t type : {0u, 7300u, 7303u, 0xFFFFFFFFu}) {
        m_data.SetWorking(36, type);
        m_texts.refresh(m_data, Text);
        EXPECT_EQ(m_texts.valueText(RowOf(36)), "undefined") << type;
    }
    EXPECT_EQ(m_texts.valueText(9999), "");
}

// The export carries units (p1 stays in Hz even while p8 selects rpm) and
// never parameter 146.
TEST_F(ParaStructFixture, EntriesCarryUnitsAndSkip146) {
    m_data.SetImage(1, 400);
    m_data.SetImage(8, 2);
    m_data.SetImage(146, 1);
    m_data.SetImage(19, 23);
    m_data.TakeImage();
    m_texts.refresh(m_data, Text);
    const auto entries = m_texts.entries(Text);
    ASSERT_EQ(entries.size(), 85u);
    EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"Name 1", "400 Hz"}));
    EXPECT_EQ(entries[2], (std::pair<std::string, std::string>{"Name 8", "rpm"}));
    EXPECT_EQ(entries.back().first, "Name 142");
    for (const auto& [key, value] : entries) EXPECT_NE(key, "Name 146");
    EXPECT_EQ(m_texts.valueText(RowOf(146)), "cw");
}

class ParaStructExport : public ParaStructFixture {
  protected:
    testkit::TempFolder m_folder{"parastruct"};
    const fs::path m_dir = m_folder.path();
};

// Saving replaces a read-only file with the template plus the entries, keeps
// the template's other lines and leaves the file writable.
TEST_F(ParaStructExport, WritesTemplateCopyOverReadOnlyFile) {
    const auto templateFile = m_dir / std::string(kParaStructTemplate);
    ASSERT_TRUE(platform::WriteFileAtomically(
        templateFile,
        "; header\r\n[Parameter]\r\nname 1=old\r\nName 146=kept\r\n[Other]\r\nx=1\r\n"));
    const auto target = m_dir / "out.txt";
    ASSERT_TRUE(platform::WriteFileAtomically(target, "previous"));
    fs::permissions(target, fs::perms::owner_read);

    m_data.SetImage(1, 400);
    ASSERT_TRUE(ExportParaStructure(templateFile, target, m_data, m_texts, Text, nullptr,
                                    {{"serial", "4711"}, {"tool", "velmora-tool 2.0"}}));
    EXPECT_EQ(m_data.Working(1), 400u) << "the export takes the image first";
    const std::string text = testkit::Slurp(target);
    EXPECT_TRUE(text.starts_with("; header\r\n[Parameter]\r\nName 1=400 Hz\r\nName 146=kept\r\n"))
        << text;
    EXPECT_NE(text.find("Name 142="), std::string::npos);
    // The drive's identity in its own section; the others stay as they were.
    EXPECT_TRUE(
        text.ends_with("[Other]\r\nx=1\r\n[Drive]\r\nserial=4711\r\n"
                       "tool=velmora-tool 2.0\r\n"))
        << text;
    EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
    const auto profile = platform::ProfileFile::load(target);
    EXPECT_EQ(profile.getString("Parameter", "Name 19", "?"), "0.00 W");
}

// Without the template nothing is written at all.
TEST_F(ParaStructExport, MissingTemplateWritesNothing) {
    const auto target = m_dir / "out.txt";
    std::string error;
    EXPECT_FALSE(ExportParaStructure(m_dir / "missing.txt", target, m_data, m_texts, Text, &error));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace velmora::model
