#include "pages/remote/remotepage.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "tests/support/drivestatus.h"
#include "tests/support/findchild.h"
#include "tests/support/noticerecorder.h"
#include "tests/support/owndrive.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
namespace {

namespace fs = std::filesystem;
using model::DriveData;
using namespace pagetest;
using Bytes = std::vector<std::uint8_t>;

constexpr char kTemplate[] =
    "; template\r\n[Velmora Fernbedienung]\r\np110=0\r\n\r\n[Maker]\r\nx=1\r\n";

// Drive in Hz, p7 selective, limits 30..1000 and a remote set.
void SeedDrive(model::DriveData& data) {
    StoreGroup(data, 0x50, {0x01, 0x2C, 0x01, 0x01});
    StoreGroupValues(data, 0x51, {{41, 30}, {42, 1000}});
    StoreGroupValues(data, 0x57,
                     {{102, 32},
                      {110, 2},
                      {111, 4},
                      {112, 3},
                      {113, 1},
                      {114, 4},
                      {115, 3},
                      {120, 9},
                      {121, 5},
                      {125, 250},
                      {129, 2},
                      {135, 500},
                      {136, 600},
                      {137, 700},
                      {142, 1}});
}

class RemotePageTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    static void SetUpTestSuite() { LoadKeyNameCatalog(); }
    void SetUp() override {
        testkit::DriveStands(m_drive.data);
        m_page = std::make_unique<CRemotePage>(m_drive.data);
        m_page->setProgramFolder(m_folder.path());
        m_page->show();
    }
    void TearDown() override { m_page.reset(); }
    void settle() {
        SeedDrive(m_drive.data);
        m_page->refresh();
        TakeRequests();
        TakePollModes();
    }
    template <typename T>
    T* find(const QString& name) {
        return testkit::FindChild<T>(m_page.get(), name);
    }
    StepEdit* edit(int parameter) {
        return find<StepEdit>(QStringLiteral("p%1Edit").arg(parameter));
    }
    QComboBox* list(int parameter) {
        return find<QComboBox>(QStringLiteral("p%1List").arg(parameter));
    }
    void type(int parameter, const QString& text) {
        edit(parameter)->setFieldText(text);
        emit edit(parameter)->editingFinished();
    }
    void step(int parameter, const QString& from, int delta) {
        edit(parameter)->setFieldText(from);
        edit(parameter)->stepBy(delta);
    }
    void chooseMode(int index) {
        QComboBox* box = find<QComboBox>(QStringLiteral("p137ModeList"));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    std::uint32_t working(int parameter) { return m_drive.data.Working(parameter); }

    TempFolder m_folder;
    testkit::ScriptedPrompter m_prompter;
    std::unique_ptr<CRemotePage> m_page;
};

// Fault prevented: the page not asking for the remote group or polling the
// wrong mode when it becomes visible.
TEST_F(RemotePageTest, ShownReadsTheRemoteGroupAndPollsModeTwo) {
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::RemotePage}));
    const auto requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, 0xCF);
    EXPECT_EQ(requests[0].data, Bytes{0x57});
}

// Fault prevented: refresh showing the remote set wrongly, or changing a
// speed outside its range instead of marking it.
TEST_F(RemotePageTest, RefreshShowsTheSetAndMarksSpeedsOutsideTheirRange) {
    TakeRequests();
    SeedDrive(m_drive.data);
    StoreGroupValues(
        0x57,
        {{102, 32}, {110, 2}, {125, 250}, {129, 2}, {135, 1000}, {136, 1000}, {137, 30}, {142, 1}});
    m_page->refresh();
    EXPECT_EQ(list(102)->currentIndex(), 1);
    EXPECT_EQ(list(110)->currentIndex(), 2);
    EXPECT_EQ(list(129)->currentIndex(), 1);
    EXPECT_EQ(list(142)->currentIndex(), 1);
    EXPECT_EQ(list(142)->count(), 2);
    EXPECT_EQ(list(111)->itemText(4), "motorcodeb4");
    EXPECT_EQ(list(121)->count(), 10);
    EXPECT_EQ(edit(125)->fieldText(), "2.50");
    EXPECT_EQ(edit(135)->fieldText(), "1000");
    EXPECT_FALSE(edit(135)->toolTip().isEmpty()) << "parameter 135 may never equal speedMax";
    EXPECT_EQ(edit(136)->fieldText(), "1000");
    EXPECT_EQ(find<QComboBox>(QStringLiteral("p137ModeList"))->currentIndex(), 1);
    EXPECT_FALSE(edit(137)->isEnabled());
    EXPECT_EQ(find<QLabel>(QStringLiteral("p135Unit"))->text(), "hz");
    EXPECT_TRUE(list(142)->isEnabled());
    EXPECT_TRUE(TakeRequests().empty()) << "a refresh sends nothing";

    StoreGroup(0x50, {0x01, 0x2C, 0x00, 0x02});  // p7 PC application, rpm
    m_page->refresh();
    EXPECT_FALSE(list(142)->isEnabled());
    EXPECT_EQ(find<QLabel>(QStringLiteral("p136Unit"))->text(), "rpm");
    EXPECT_EQ(edit(136)->fieldText(), "60000");
}

// Fault prevented: typed or stepped speeds leaving their ranges (135 up to
// speedMax - 1, 136 and 137 up to speedMax) or being sent without Send.
TEST_F(RemotePageTest, SpeedEditsAndSpinsClampToTheirRanges) {
    settle();
    chooseMode(2);
    struct Case {
        int parameter;
        std::function<void()> act;
        std::uint32_t stored;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {135, [&] { type(135, "1000"); }, 999, "999"},
        {136, [&] { type(136, "1000"); }, 1000, "1000"},
        {137, [&] { type(137, "1000"); }, 1000, "1000"},
        {135, [&] { type(135, "5"); }, 30, "30"},
        {136, [&] { type(136, "x"); }, 1000, "1000"},  // refused
        {135, [&] { step(135, "999", 1); }, 999, "999"},
        {136, [&] { step(136, "999", 1); }, 1000, "1000"},
        {137, [&] { step(137, "1000", 1); }, 1000, "1000"},
        {135, [&] { step(135, "0", -1); }, 30, "30"},
        {136, [&] { step(136, "0", -1); }, 30, "30"},
        {137, [&] { step(137, "0", -1); }, 30, "30"},
        {136, [&] { step(136, "500", -1); }, 499, "499"},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(working(c.parameter), c.stored) << c.parameter;
        EXPECT_EQ(edit(c.parameter)->fieldText(), c.shown) << c.parameter;
    }
    m_drive.data.SetChoice(model::param::kSpeedUnit, 1);  // rpm
    type(135, "60000");
    EXPECT_EQ(working(135), 999u);
    EXPECT_EQ(edit(135)->fieldText(), "59940");
    EXPECT_TRUE(TakeRequests().empty());
}

// The drive holds p136 = 4000 Hz under a p42 of 1500 Hz: shown and marked, and
// leaving asks only after the user changed a value.
TEST_F(RemotePageTest, ValuesOutsideTheRangeAreShownAsReadAndLeavingAsksOnlyAfterAChange) {
    testkit::NoticeRecorder frame;
    m_page->setFrame(&frame);
    SeedDrive(m_drive.data);
    StoreGroupValues(0x51, {{41, 30}, {42, 1500}});
    StoreGroupValues(0x57, {{125, 250}, {135, 500}, {136, 4000}, {137, 700}});
    m_page->refresh();
    EXPECT_EQ(edit(136)->fieldText(), "4000");
    emit edit(136)->editingFinished();  // tabbing through changes nothing
    EXPECT_EQ(frame.notices.size(), 1);
    EXPECT_TRUE(m_page->confirmLeave());
    EXPECT_TRUE(m_prompter.confirmed.empty());
    type(136, "1200");
    m_prompter.confirmAnswers = {false};
    EXPECT_FALSE(m_page->confirmLeave());
}

// Fault prevented: relay current limits outside 0.40..12.00 A stored.
TEST_F(RemotePageTest, CurrentEditAndSpinStayBetweenLimits) {
    settle();
    type(125, "0.1");
    EXPECT_EQ(edit(125)->fieldText(), "0.40");
    EXPECT_EQ(working(125), 40u);
    type(125, "13");
    EXPECT_EQ(edit(125)->fieldText(), "12.00");
    edit(125)->stepBy(1);
    EXPECT_EQ(edit(125)->fieldText(), "12.00");
    EXPECT_EQ(working(125), 1200u);
    step(125, "0.40", -1);
    EXPECT_EQ(edit(125)->fieldText(), "0.40");
    step(125, "2.5", 1);
    EXPECT_EQ(edit(125)->fieldText(), "2.51");
    EXPECT_EQ(working(125), 251u);
    EXPECT_TRUE(TakeRequests().empty());
}

// Fault prevented: the mode list of 137 storing the wrong speed or leaving
// the edit usable where the mode fixes the value.
TEST_F(RemotePageTest, ModeListOf137SetsTheSpeedAndTheEdit) {
    settle();
    EXPECT_EQ(find<QComboBox>(QStringLiteral("p137ModeList"))->currentIndex(), 2);
    EXPECT_EQ(edit(137)->fieldText(), "700");
    chooseMode(0);
    EXPECT_EQ(working(137), 0u);
    EXPECT_EQ(edit(137)->fieldText(), "0");
    EXPECT_FALSE(edit(137)->isEnabled());
    edit(137)->stepBy(1);
    EXPECT_EQ(working(137), 0u) << "the spin acts only while the mode is 'choose'";
    chooseMode(1);
    EXPECT_EQ(working(137), 30u);
    EXPECT_EQ(edit(137)->fieldText(), "30");
    EXPECT_FALSE(edit(137)->isEnabled());
    edit(137)->setFieldText("640");
    chooseMode(2);
    EXPECT_EQ(working(137), 640u);
    EXPECT_TRUE(edit(137)->isEnabled());
    chooseMode(0);
    chooseMode(2);
    EXPECT_EQ(working(137), 30u) << "the edit's 0 is kept inside the speed range";
    EXPECT_EQ(edit(137)->fieldText(), "30");
}

// Fault prevented: Send writing another group or other bytes than the edited
// set, or not reading it back.
TEST_F(RemotePageTest, SendWritesGroup57AndReadsItBack) {
    settle();
    type(136, "800");
    list(110)->setCurrentIndex(1);
    emit list(110)->activated(1);
    list(129)->setCurrentIndex(0);
    emit list(129)->activated(0);
    EXPECT_TRUE(TakeRequests().empty());
    find<QPushButton>(QStringLiteral("sendButton"))->click();
    const auto requests = TakeRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].command, 0x17);
    EXPECT_EQ(requests[0].data, (Bytes{0x20, 0x01, 0x04, 0x03, 0x01, 0x04, 0x03, 0x09, 0x05, 0x00,
                                       0xFA, 0x01, 0x01, 0xF4, 0x03, 0x20, 0x02, 0xBC, 0x01}));
    EXPECT_EQ(requests[1].command, 0xCF);
    EXPECT_EQ(requests[1].data, Bytes{0x57});
}

// Fault prevented: the operation bit locking the wrong lists.
TEST_F(RemotePageTest, OperationBitEnablesTheInputLists) {
    settle();
    m_page->operationNotAllowed();
    for (int parameter : {102, 129, 110, 111, 112, 113, 114, 115})
        EXPECT_FALSE(list(parameter)->isEnabled()) << parameter;
    for (int parameter : {120, 121, 142}) EXPECT_TRUE(list(parameter)->isEnabled()) << parameter;
    m_page->operationAllowed();
    for (int parameter : {102, 129, 110, 111, 112, 113, 114, 115})
        EXPECT_TRUE(list(parameter)->isEnabled()) << parameter;
}

// Fault prevented: Save and Load losing values, asking with the wrong dialog,
// moving the working directory away from config.ini, or failing silently.
TEST_F(RemotePageTest, SaveAndLoadThroughTheDialogs) {
    settle();
    const fs::path cwd = fs::current_path();
    const fs::path target = m_folder.path() / "cabinet.vpr";

    find<QPushButton>(QStringLiteral("saveButton"))->click();
    EXPECT_TRUE(m_prompter.saveChoices.empty()) << "no template: nothing is asked";

    WriteFile(m_folder.path() / "RemoteMasterfile.vpr", kTemplate);
    m_prompter.fileAnswers = {QString::fromStdString(target.string())};
    find<QPushButton>(QStringLiteral("saveButton"))->click();
    ASSERT_EQ(m_prompter.saveChoices.size(), 1u);
    EXPECT_EQ(m_prompter.saveChoices[0].title, "saveas");
    EXPECT_EQ(m_prompter.saveChoices[0].filter, "vpr files (*.vpr)");
    EXPECT_EQ(m_prompter.saveChoices[0].defaultSuffix, "vpr");
    EXPECT_EQ(m_prompter.saveChoices[0].proposedName, "velmora_fb_para");
    const std::string text = Slurp(target);
    EXPECT_NE(text.find("p110=2\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("p135=500\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Maker]\r\nx=1\r\n"), std::string::npos) << text;
    EXPECT_EQ(fs::current_path(), cwd);

    m_drive.data.Reset();
    StoreGroup(0x50, {0x01, 0x2C, 0x01, 0x01});
    StoreGroupValues(0x51, {{41, 30}, {42, 1000}});
    m_page->refresh();
    EXPECT_EQ(list(110)->currentIndex(), 0);
    m_prompter.fileAnswers = {QString::fromStdString(target.string())};
    find<QPushButton>(QStringLiteral("loadButton"))->click();
    ASSERT_EQ(m_prompter.openChoices.size(), 1u);
    EXPECT_EQ(m_prompter.openChoices[0].title, "loadfrom");
    EXPECT_EQ(list(110)->currentIndex(), 2);
    EXPECT_EQ(list(102)->currentIndex(), 1);
    EXPECT_EQ(edit(125)->fieldText(), "2.50");
    EXPECT_EQ(edit(137)->fieldText(), "700");
    EXPECT_EQ(working(129), 2u);
    EXPECT_EQ(fs::current_path(), cwd);
    EXPECT_EQ(TakeRequests().size(), 0u) << "loading sends nothing; Send does";

    fs::remove(target);
    fs::create_directories(target / "inside");
    m_prompter.fileAnswers = {QString::fromStdString(target.string())};
    find<QPushButton>(QStringLiteral("saveButton"))->click();
    ASSERT_EQ(m_prompter.fileErrors.size(), 1) << "a failed save is reported";
    EXPECT_TRUE(fs::is_directory(target / "inside"));
}

// Fault prevented: a file without the section loading other than the
// defaults, or a speed of 0 surviving the range rules.
TEST_F(RemotePageTest, LoadingAFileWithoutTheSectionShowsTheDefaults) {
    settle();
    const fs::path file = m_folder.path() / "foreign.vpr";
    WriteFile(file, "[Something else]\np110=1\n");
    m_prompter.fileAnswers = {QString::fromStdString(file.string())};
    find<QPushButton>(QStringLiteral("loadButton"))->click();
    EXPECT_EQ(list(110)->currentIndex(), -1);
    EXPECT_EQ(list(102)->currentIndex(), 1);
    EXPECT_EQ(edit(125)->fieldText(), "0.00");
    EXPECT_EQ(working(135), 30u);
    EXPECT_EQ(edit(135)->fieldText(), "30");
    EXPECT_EQ(working(137), 0u);
    EXPECT_EQ(find<QComboBox>(QStringLiteral("p137ModeList"))->currentIndex(), 0);
}

}  // namespace
}  // namespace velmora::pages
