#include "pages/control/controlpage.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <memory>

#include "model/commands.h"
#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "shell/roundbutton.h"
#include "tests/support/drivestatus.h"
#include "tests/support/findchild.h"
#include "tests/support/noticerecorder.h"
#include "tests/support/owndrive.h"
#include "tests/support/pagetestsupport.h"
#include "tests/support/wheel.h"

namespace velmora::pages {
namespace {

using link::Telegram;
using model::DriveData;
using namespace pagetest;

using Bytes = std::vector<std::uint8_t>;

// Set speed 300, p7 pcapplication, p8 Hz (stored 1); limits 30..1000;
// p140, p141, p146 on their first entries (stored 1: coded index + 1); live
// and identity values.
void SeedDrive(model::DriveData& data) {
    StoreGroup(data, 0x50, {0x01, 0x2C, 0x00, 0x01});
    StoreGroupValues(data, 0x51, {{41, 30}, {42, 1000}});
    StoreGroup(data, 0x58, {0x01, 0x01, 0x01});
    StoreGroupValues(data, 0x59, {{14, 100}, {15, 23000}, {18, 250}, {20, 5}});
    StoreGroupValues(data, 0x5A, {{36, 7302}, {37, 210}, {39, 123456}});
}

Telegram WriteOf(int command, Bytes data) {
    Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    return t;
}

::testing::AssertionResult SameRequests(const std::vector<Telegram>& actual,
                                        const std::vector<Telegram>& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << actual.size() << " requests instead of " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i].address != 1 || actual[i].command != expected[i].command ||
            actual[i].length != expected[i].length || actual[i].data != expected[i].data)
            return ::testing::AssertionFailure()
                   << "request " << i << " is command 0x" << std::hex << actual[i].command
                   << " length " << std::dec << int(actual[i].length);
    }
    return ::testing::AssertionSuccess();
}

class ControlPageTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    static void SetUpTestSuite() { LoadKeyNameCatalog(); }

    void SetUp() override {
        testkit::DriveStands(m_drive.data);
        m_page = std::make_unique<CControlPage>(m_drive.data);
        m_page->show();
    }
    void TearDown() override { m_page.reset(); }

    // Shown, seeded and through its three full refreshes, queues empty.
    void settle() {
        SeedDrive(m_drive.data);
        for (int i = 0; i < 3; ++i) m_page->refresh();
        TakeRequests();
        TakePollModes();
    }

    template <typename T>
    T* find(const char* name) {
        return testkit::FindChild<T>(m_page.get(), name);
    }
    QString text(const char* name) { return find<QLabel>(name)->text(); }
    StepEdit* edit() { return find<StepEdit>("setSpeedEdit"); }
    void type(const QString& value) {
        edit()->setFieldText(value);
        emit edit()->editingFinished();
    }
    void choose(const char* list, int index) {
        QComboBox* box = find<QComboBox>(list);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    bool buttonsEnabled() {
        const bool start = find<shell::RoundButton>("startButton")->isEnabled();
        EXPECT_EQ(find<shell::RoundButton>("stopButton")->isEnabled(), start);
        EXPECT_EQ(find<shell::RoundButton>("resetButton")->isEnabled(), start);
        return start;
    }

    testkit::ScriptedPrompter m_prompter;
    std::unique_ptr<CControlPage> m_page;
};

// Fault prevented: the page not asking for its groups or the wrong poll mode
// when it becomes visible, so its fields never fill.
TEST_F(ControlPageTest, ShownReadsItsGroupsAndPollsModeZero) {
    EXPECT_TRUE(SameRequests(
        TakeRequests(), {WriteOf(0xCF, {0x50}), WriteOf(0xCF, {0x58}), WriteOf(0xCF, {0x5A})}));
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::ControlPage}));

    m_page->setRunInActive(true);
    m_page->hide();
    m_page->show();
    EXPECT_TRUE(TakeRequests().empty()) << "a running run-in program keeps the drive's groups";
    EXPECT_TRUE(TakePollModes().empty());
}

// Fault prevented: each of the first three refreshes writing the remote group
// other than three times or the basic group other than twice, with other
// values, or a later refresh writing at all.
TEST_F(ControlPageTest, FirstThreeRefreshesWriteBackTheGroupsThenOnlyShowValues) {
    TakeRequests();
    SeedDrive(m_drive.data);
    const Telegram write58 = WriteOf(0x18, {0x01, 0x01, 0x01});
    const Telegram write50 = WriteOf(0x10, {0x01, 0x2C, 0x00, 0x01});
    for (int i = 0; i < 3; ++i) {
        m_page->refresh();
        EXPECT_TRUE(SameRequests(TakeRequests(), {write58, write58, write58, write50, write50}))
            << "refresh " << i;
    }
    StoreGroupValues(0x59, {{14, 200}, {15, 100}, {18, 1234}, {20, 5}});
    m_page->refresh();
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_EQ(text("p14Value"), "200");
    EXPECT_EQ(text("p15Value"), "1.0");
    EXPECT_EQ(text("p18Value"), "12.3");
    EXPECT_EQ(text("inverterTypeValue"), "inv02");
    EXPECT_EQ(text("firmwareVersionValue"), "2.10");
    EXPECT_EQ(text("serialNumberValue"), "123456");
    EXPECT_EQ(text("programVersionValue"), "2.00");
    EXPECT_EQ(edit()->fieldText(), "300");
    EXPECT_EQ(text("setSpeedUnit"), "hz");
    EXPECT_EQ(find<QSlider>("setSpeedSlider")->minimum(), 30);
    EXPECT_EQ(find<QSlider>("setSpeedSlider")->maximum(), 1000);
    EXPECT_EQ(find<QSlider>("setSpeedSlider")->value(), 300);

    StoreGroupValues(0x5A, {{36, 1}, {37, 0}, {39, 0}});
    m_page->refresh();
    EXPECT_EQ(text("inverterTypeValue"), "undef");
}

// Fault prevented: a set speed above the drive's maximum surviving in the
// drive; the correction happens on a full refresh only.
TEST_F(ControlPageTest, SetSpeedAboveMaximumIsCorrectedOnTheNextFullRefresh) {
    settle();
    StoreGroup(0x50, {0x07, 0xD0, 0x00, 0x01});  // 2000 > p42 = 1000
    m_page->refresh();
    EXPECT_TRUE(TakeRequests().empty()) << "later refreshes leave the set speed alone";
    EXPECT_EQ(m_drive.data.GetChoice(model::param::kSetSpeed), 2000u);

    m_page->hide();
    m_page->show();
    TakeRequests();
    m_page->refresh();
    EXPECT_EQ(m_drive.data.GetChoice(model::param::kSetSpeed), 1000u);
    const auto requests = TakeRequests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[3].data, (Bytes{0x03, 0xE8, 0x00, 0x01}));
    EXPECT_EQ(edit()->fieldText(), "1000");
}

// Fault prevented: an edit, a spin step, a slider move or a unit change
// writing a wrong set speed, unit or control source to the drive.
TEST_F(ControlPageTest, EverySetSpeedActionWritesGroup50WithTheRightBytes) {
    settle();
    struct Case {
        const char* name;
        std::function<void()> act;
        Bytes written;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"typed 500 Hz", [&] { type("500"); }, {0x01, 0xF4, 0x00, 0x01}, "500"},
        {"typed above the maximum", [&] { type("5000"); }, {0x03, 0xE8, 0x00, 0x01}, "1000"},
        {"typed below the minimum", [&] { type("7"); }, {0x00, 0x1E, 0x00, 0x01}, "30"},
        {"spin up at the maximum",
         [&] {
             edit()->setFieldText("1000");
             edit()->stepBy(1);
         },
         {0x03, 0xE8, 0x00, 0x01},
         "1000"},
        {"spin down at the minimum",
         [&] {
             edit()->setFieldText("30");
             edit()->stepBy(-1);
         },
         {0x00, 0x1E, 0x00, 0x01},
         "30"},
        {"spin up from below the minimum",
         [&] {
             edit()->setFieldText("10");
             edit()->stepBy(1);
         },
         {0x00, 0x1E, 0x00, 0x01},
         "30"},
        {"spin down from 0",
         [&] {
             edit()->setFieldText("0");
             edit()->stepBy(-1);
         },
         {0x00, 0x1E, 0x00, 0x01},
         "30"},
        {"spin up",
         [&] {
             edit()->setFieldText("400");
             edit()->stepBy(1);
         },
         {0x01, 0x91, 0x00, 0x01},
         "401"},
        {"slider moved",
         [&] { find<QSlider>("setSpeedSlider")->setSliderPosition(700); },
         {0x02, 0xBC, 0x00, 0x01},
         "700"},
        {"unit rpm", [&] { choose("p8List", 1); }, {0x02, 0xBC, 0x00, 0x02}, "42000"},
        {"typed rpm", [&] { type("30000"); }, {0x01, 0xF4, 0x00, 0x02}, "30000"},
        {"spin in rpm", [&] { edit()->stepBy(1); }, {0x01, 0xF5, 0x00, 0x02}, "30060"},
        {"unit Hz", [&] { choose("p8List", 0); }, {0x01, 0xF5, 0x00, 0x01}, "501"},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0x10, c.written)})) << c.name;
        EXPECT_EQ(edit()->fieldText(), c.shown) << c.name;
    }
    EXPECT_EQ(text("setSpeedUnit"), "hz");
    choose("p8List", 1);
    EXPECT_EQ(text("setSpeedUnit"), "rpm");
    EXPECT_EQ(text("p14Unit"), "rpm");
}

// At 800 Hz no write of the direction group (0x18) goes out, not even from the
// first refreshes; a change that still arrives and a typed "abc" get a notice.
TEST_F(ControlPageTest, DirectionAndGarbageRefusedWhileTheMotorTurns) {
    testkit::NoticeRecorder frame;
    m_page->setFrame(&frame);
    SeedDrive(m_drive.data);
    StoreGroupValues(0x59, {{14, 800}});
    m_page->operationNotAllowed();
    for (int i = 0; i < 3; ++i) m_page->refresh();
    EXPECT_FALSE(find<QComboBox>("p146List")->isEnabled());
    choose("p146List", 1);
    type("abc");  // used to send the minimum speed
    EXPECT_EQ(edit()->fieldText(), "300");
    for (const Telegram& t : TakeRequests()) EXPECT_NE(t.command, 0x18);
    EXPECT_TRUE(frame.notices.size() == 2 && frame.notices[1].contains("abc"));
    m_page->operationAllowed();
    choose("p146List", 1);
    EXPECT_EQ(testkit::Commands(TakeRequests()), std::vector<int>{0x18});
}

// Fault prevented: edits of the set speed during a run-in program fighting
// the program's own speed steps.
TEST_F(ControlPageTest, RunInIgnoresTypedSetSpeed) {
    settle();
    m_page->setRunInActive(true);
    type("800");
    EXPECT_TRUE(TakeRequests().empty());
    m_page->setRunInActive(false);
    type("800");
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0x10, {0x03, 0x20, 0x00, 0x01})}));
}

// Fault prevented: start/stop sending the wrong command, and reset resetting
// the drive without the user's confirmation.
TEST_F(ControlPageTest, StartStopAndResetOnlyAfterConfirmation) {
    settle();
    find<shell::RoundButton>("startButton")->click();
    find<shell::RoundButton>("stopButton")->click();
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0xA0, {}), WriteOf(0xA1, {})}));

    m_prompter.confirmAnswers = {false};
    find<shell::RoundButton>("resetButton")->click();
    EXPECT_TRUE(TakeRequests().empty());
    ASSERT_EQ(m_prompter.confirmed.size(), 1);
    EXPECT_EQ(m_prompter.confirmed[0], "resetinfo");

    m_prompter.confirmAnswers = {true};
    find<shell::RoundButton>("resetButton")->click();
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0xA2, {})}));
}

// Fault prevented: the operator starting the motor from the PC while the
// drive takes its start and stop from the remote control.
TEST_F(ControlPageTest, ControlAndStartSourcesEnableTheThreeButtons) {
    SeedDrive(m_drive.data);
    StoreGroup(0x50, {0x01, 0x2C, 0x01, 0x01});  // p7 selective
    StoreGroup(0x58, {0x02, 0x01, 0x01});        // p140 remote control
    m_page->refresh();
    TakeRequests();
    EXPECT_FALSE(buttonsEnabled());
    EXPECT_TRUE(find<QComboBox>("p140List")->isEnabled());

    choose("p7List", 0);
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_FALSE(find<QComboBox>("p140List")->isEnabled());
    EXPECT_FALSE(find<QComboBox>("p141List")->isEnabled());
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0x10, {0x01, 0x2C, 0x00, 0x01})}));

    choose("p7List", 1);
    EXPECT_FALSE(buttonsEnabled());
    choose("p140List", 0);
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0x10, {0x01, 0x2C, 0x01, 0x01}),
                                              WriteOf(0x18, {0x01, 0x01, 0x01})}));
    choose("p146List", 2);
    EXPECT_TRUE(SameRequests(TakeRequests(), {WriteOf(0x18, {0x01, 0x01, 0x03})}));

    m_page->operationNotAllowed();
    EXPECT_FALSE(find<QComboBox>("p7List")->isEnabled());
    m_page->operationAllowed();
    EXPECT_TRUE(find<QComboBox>("p7List")->isEnabled());
}

// Fault prevented: a drive code outside a list's entries being overwritten
// with a made-up value when the page writes its groups back.
TEST_F(ControlPageTest, UnknownListCodeIsWrittenBackUnchanged) {
    TakeRequests();
    SeedDrive(m_drive.data);
    StoreGroup(0x58, {0x01, 0x09, 0x01});  // p141 = 9: no entry
    m_page->refresh();
    const auto requests = TakeRequests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[2].data, (Bytes{0x01, 0x09, 0x01}));
    EXPECT_EQ(find<QComboBox>("p141List")->currentIndex(), -1);
}

// Fault prevented: wrong names in the selection field for models and slots.
TEST_F(ControlPageTest, SelectionFieldNamesModelsAndSlots) {
    auto* field = find<QLineEdit>("selectionField");
    EXPECT_EQ(field->text(), "nochoice");
    m_page->showMotorModelName(7);
    EXPECT_EQ(field->text(), "typem09ac");
    m_page->showMotorModelName(14);
    EXPECT_EQ(field->text(), "typem08ac");
    m_page->showMotorModelName(15);
    EXPECT_EQ(field->text(), "nochoice");
    // Loading the empty slot M5 leaves the drive on slot 3, and the field says so.
    StoreGroupValues(0x59, {{20, 3}});
    m_page->refresh();
    m_page->showMemorySlotName(4);
    EXPECT_EQ(field->text(), "m3");

    // Slot chosen through the remote control: p102 set, p20 = 5.
    SeedDrive(m_drive.data);
    StoreGroupValues(0x57, {{102, 32}});
    m_page->refresh();
    EXPECT_EQ(field->text(), "m5");
    StoreGroupValues(0x59, {{20, 33}});
    m_page->refresh();
    EXPECT_EQ(field->text(), "");
    StoreGroupValues(0x57, {{102, 0}});
    m_page->showMotorModelName(0);
    m_page->refresh();
    EXPECT_EQ(field->text(), "typem01ac");
}

}  // namespace
}  // namespace velmora::pages

namespace velmora::pages {
namespace {

// A wheel passing over the page changes no value and writes nothing; only
// the control with the focus takes it, one step and one write per notch.
// Page Up on the set speed is one step too (it used to write ten times).
TEST_F(ControlPageTest, WheelAndPageKeysChangeOnlyTheFocusedControlOnce) {
    settle();
    QWidget* controls[] = {edit(),
                           find<QSlider>("setSpeedSlider"),
                           find<QComboBox>("p8List"),
                           find<QComboBox>("p7List"),
                           find<QComboBox>("p140List"),
                           find<QComboBox>("p141List"),
                           find<QComboBox>("p146List")};
    for (QWidget* control : controls) {
        testkit::TurnWheel(control, 1);
        testkit::TurnWheel(control, -2);
        EXPECT_TRUE(TakeRequests().empty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(edit()->fieldText(), "300");
    EXPECT_EQ(find<QSlider>("setSpeedSlider")->value(), 300);
    EXPECT_EQ(find<QComboBox>("p7List")->currentIndex(), 0);

    m_page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    edit()->setFocus();
    ASSERT_TRUE(edit()->hasFocus());
    testkit::TurnWheel(edit(), 1);
    EXPECT_EQ(TakeRequests().size(), 1u);
    EXPECT_EQ(edit()->fieldText(), "301");
    QTest::keyClick(edit(), Qt::Key_PageUp);
    const auto written = TakeRequests();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].command, 0x10);
    EXPECT_EQ(edit()->fieldText(), "302");
}

}  // namespace
}  // namespace velmora::pages
