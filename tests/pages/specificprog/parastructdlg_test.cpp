#include "pages/specificprog/parastructdlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>

#include "link/queues.h"
#include "model/drivedata.h"
#include "platform/profile.h"
#include "shell/textcatalog.h"
#include "tests/support/findchild.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"

namespace velmora::pages {
namespace {

namespace fs = std::filesystem;
using link::PollMode;
using testkit::PollModes;
using testkit::TakePollModes;
using testkit::TakeRequests;

constexpr const char* kTemplate =
    "; parameter structure\n"
    "[Header]\n"
    "kept=yes\n"
    "\n"
    "[Parameter]\n"
    "P001 Set speed=old value\n"
    "Own entry=stays\n";

// The view reads texts from the language file in the working directory and
// the template from a program folder of its own.
class ParaStructTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        fs::create_directories(m_dir.path() / "data_language");
        fs::copy_file(fs::path(VELMORA_SOURCE_DIR) / "data/data_language/language_01.ini",
                      m_dir.path() / "data_language/language_01.ini");
        shell::TextCatalog::instance().resetForTest();
        shell::TextCatalog::instance().load(1);
        m_program = m_dir.path() / "bin";
        fs::create_directories(m_program);
        testkit::WriteFile(m_program / "ParaStructMasterfile.txt", kTemplate);
        model::DriveData& data = m_drive.data;
        data.Reset();
        for (int p = 1; p <= 155; ++p) data.SetImage(p, 0);
        data.SetImage(1, 300);
        data.SetImage(8, 2);  // list index 1: rpm
        data.SetImage(36, 4711);
        data.SetImage(39, 123456);
        data.SetImage(44, 250);
        data.TakeImage();
        TakeRequests();
        TakePollModes();
    }
    void TearDown() override {
        TakeRequests();
        TakePollModes();
        shell::TextCatalog::instance().resetForTest();
    }
    QString shown(const QString& name) {
        auto* label = testkit::FindChild<QLabel>(&m_view, name);
        return label ? label->text() : QString();
    }
    [[nodiscard]] std::string entry(const fs::path& file, const std::string& key) const {
        auto profile = platform::ProfileFile::loadForUpdate(file);
        if (!profile) return "<no file>";
        return profile->value("Parameter", key).value_or("<missing>");
    }

    testkit::WorkFolder m_dir{"parastruct"};
    testkit::ScriptedPrompter m_prompter;
    fs::path m_program;
    CParaStructDlg m_view{m_drive.data};
};

// Rows show names, values by their rule and fixed units: rpm display leaves
// parameter 1 in Hz; an unknown inverter type reads "undef".
TEST_F(ParaStructTest, RowsShowValuesAndUnits) {
    m_view.applyTexts();
    m_view.refresh();
    EXPECT_EQ(shown("paraName1"), shell::T("p1pn"));
    EXPECT_EQ(shown("paraValue1"), "300");
    EXPECT_EQ(shown("paraUnit1"), shell::T("hz"));
    EXPECT_EQ(shown("paraValue8"), shell::T("rpm"));
    EXPECT_EQ(shown("paraValue36"), shell::T("undef"));
    EXPECT_EQ(shown("paraValue39"), "123456");
    EXPECT_EQ(shown("paraValue44"), "2.5");
    EXPECT_EQ(shown("paraUnit44"), shell::T("a"));
    EXPECT_EQ(m_view.findChildren<QLabel*>(QRegularExpression("^paraValue\\d+$")).size(), 86);
    m_drive.data.SetWorking(36, 7301);
    m_view.refresh();
    EXPECT_EQ(shown("paraValue36"), shell::T("inv01"));
}

// Opening asks for poll mode 6 and the eleven groups in their order; only an
// explicit hide returns to mode 4 (a page hidden with its view open does not).
TEST_F(ParaStructTest, OpeningReadsTheGroups) {
    QWidget page;
    m_view.setParent(&page);
    m_view.hide();
    page.show();
    TakePollModes();
    m_view.show();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::ParaStruct}));
    std::vector<int> asked;
    for (const auto& t : TakeRequests()) asked.push_back(t.data.at(0));
    EXPECT_EQ(asked,
              (std::vector<int>{0x50, 0x59, 0x5A, 0x51, 0x52, 0x53, 0x54, 0x55, 0x57, 0x56, 0x58}));
    page.hide();
    page.show();
    EXPECT_TRUE(TakePollModes().empty());
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_TRUE(m_view.isOpen());
    m_view.hide();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::SpecificProgMenu}));
    m_view.setParent(nullptr);
}

// The export: a copy of the template with every row in section Parameter,
// parameter 1 in Hz even in rpm display, no 146, the template's own lines
// kept; a read-only target is replaced and left writable.
TEST_F(ParaStructTest, ExportReplacesReadOnlyTarget) {
    m_view.setProgramFolder(m_program);
    const fs::path target = m_dir.path() / "out.txt";
    testkit::WriteFile(target, "old contents\n");
    fs::permissions(target, fs::perms::owner_read);
    m_prompter.fileAnswers.push_back(QString::fromStdString(target.string()));
    // The file dialog moves the working directory; the window must move back.
    m_prompter.whileAsking = [&] { fs::current_path(m_program); };
    m_view.findChild<QPushButton*>("paraStructSaveButton")->click();

    EXPECT_TRUE(m_prompter.fileErrors.isEmpty()) << m_prompter.fileErrors.join(";").toStdString();
    const std::string text = testkit::Slurp(target);
    EXPECT_EQ(text.find("old contents"), std::string::npos);
    EXPECT_NE(text.find("; parameter structure\n[Header]\nkept=yes\n"), std::string::npos);
    EXPECT_EQ(entry(target, "Own entry"), "stays");
    EXPECT_EQ(entry(target, "P001 Set speed"), "300 " + shell::T("hz").toStdString());
    EXPECT_EQ(entry(target, shell::T("p8pn").toStdString()), shell::T("rpm").toStdString());
    EXPECT_EQ(entry(target, shell::T("p36pn").toStdString()), shell::T("undef").toStdString());
    EXPECT_EQ(entry(target, shell::T("p146pn").toStdString()), "<missing>");
    EXPECT_EQ(text.find(shell::T("p146pn").toStdString()), std::string::npos);
    EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(fs::current_path(), m_dir.path());
}

// Without the template the save offers no dialog and writes nothing; a
// cancelled dialog writes nothing either.
TEST_F(ParaStructTest, NoTemplateOrCancelWritesNothing) {
    const fs::path empty = m_dir.path() / "empty";
    fs::create_directories(empty);
    m_view.setProgramFolder(empty);
    m_prompter.fileAnswers.push_back(QString::fromStdString((m_dir.path() / "x.txt").string()));
    m_view.save();
    EXPECT_EQ(m_prompter.fileAnswers.size(), 1u);  // the dialog never asked
    EXPECT_FALSE(fs::exists(m_dir.path() / "x.txt"));

    m_view.setProgramFolder(m_program);
    m_prompter.fileAnswers.clear();
    m_view.save();  // cancelled
    EXPECT_FALSE(fs::exists(m_dir.path() / "x.txt"));
}

// A target that cannot be replaced (here a folder of that name) is left as it
// was, no temporary file stays behind, and the user is told.
TEST_F(ParaStructTest, FailedWriteLeavesNothingBehind) {
    m_view.setProgramFolder(m_program);
    const fs::path folder = m_dir.path() / "out";
    const fs::path target = folder / "taken.txt";
    fs::create_directories(target);
    testkit::WriteFile(target / "inside", "kept\n");
    m_prompter.fileAnswers.push_back(QString::fromStdString(target.string()));
    m_view.save();
    EXPECT_EQ(m_prompter.fileErrors.size(), 1);
    EXPECT_EQ(testkit::Slurp(target / "inside"), "kept\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 1);
}

// Line steps are a hundredth and page steps a tenth of the scroll range.
TEST_F(ParaStructTest, ScrollStepsFollowTheRange) {
    m_view.resize(600, 400);
    m_view.show();
    QScrollBar* bar = m_view.scrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    EXPECT_EQ(bar->singleStep(), bar->maximum() / 100);
    EXPECT_EQ(bar->pageStep(), bar->maximum() / 10);
    m_view.resize(600, 250);
    EXPECT_EQ(bar->singleStep(), bar->maximum() / 100);
    EXPECT_EQ(bar->pageStep(), bar->maximum() / 10);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), bar->maximum());
    m_view.hide();
}

}  // namespace
}  // namespace velmora::pages
