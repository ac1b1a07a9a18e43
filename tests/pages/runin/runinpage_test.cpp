#include "pages/runin/runinpage.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <fstream>

#include "model/drivedata.h"
#include "model/parameters.h"
#include "tests/support/drivestatus.h"
#include "tests/support/noticerecorder.h"
#include "tests/support/owndrive.h"
#include "tests/support/shippedcatalog.h"
#include "tests/support/testkit.h"

namespace velmora::pages {
namespace {

using testkit::Commands;
using testkit::TakeRequests;

constexpr int kStop = 0xA1, kStart = 0xA0, kWrite50 = 0x10;

void writeProgram(const std::filesystem::path& dir, int n, const std::string& body) {
    std::filesystem::create_directories(dir / "data_runin");
    char name[32];
    std::snprintf(name, sizeof name, "runin_%02d.run", n);
    std::ofstream(dir / "data_runin" / name) << body;
}

std::string step(int n, int rpm, int minutes, int on, int off) {
    return "[step" + std::to_string(n) + "]\nrpm=" + std::to_string(rpm) +
           "\nminute_time=" + std::to_string(minutes) +
           "\nseconds_intervall_on=" + std::to_string(on) +
           "\nseconds_intervall_off=" + std::to_string(off) + "\n";
}

// Parameter 1 carried by a WriteGroup50 telegram (bytes 0..1, big-endian).
unsigned speedOf(const link::Telegram& t) {
    return t.data.at(0) * 256u + t.data.at(1);
}

class RunInPageTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        m_drive.data.Reset();
        m_drive.data.TakeImage();  // as after the first read
        testkit::DriveStands(m_drive.data);
        TakeRequests();
        writeProgram(
            m_dir.path(), 1,
            "[general]\nfiletext=Bearing run-in\n" + step(1, 1000, 1, 2, 1) + step(2, 30, 1, 5, 5));
        writeProgram(m_dir.path(), 2, "[general]\nfiletext=Short\n" + step(1, 600, 1, 60, 0));
        writeProgram(m_dir.path(), 4, "[general]\nfiletext=Unreachable\n");
        m_page = std::make_unique<CRunInPage>(m_drive.data);
        m_page->setManualClock(true);
        m_page->setFrame(&m_frame);
    }
    void TearDown() override {
        m_page.reset();
        TakeRequests();
    }
    testkit::WorkFolder m_dir{"runinpage"};
    testkit::ScriptedPrompter m_prompter;
    testkit::FrameRecorder m_frame;
    std::unique_ptr<CRunInPage> m_page;
};

// Programs 01, 02, 04: the list stops at the gap and shows each program's name.
TEST_F(RunInPageTest, ListsConsecutiveProgramsOnly) {
    auto* list = m_page->findChild<QComboBox*>("programList");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), "Bearing run-in");
    EXPECT_EQ(list->itemText(1), "Short");
    EXPECT_EQ(m_page->sequencer().totalSeconds(), 120u);
}

// Start sends stop, speed, start; the rhythm follows the clock; a cancel
// restores the speed saved when the page was shown.
TEST_F(RunInPageTest, RunsStepsAndRestoresSavedSpeed) {
    auto& drive = m_drive.data;
    drive.SetImage(model::param::kSetSpeed, 500);
    drive.TakeImage();
    m_page->show();  // saves parameter 1 while idle
    QApplication::processEvents();
    EXPECT_EQ(m_page->savedSpeed(), 500u);

    m_page->startPressed();
    ASSERT_TRUE(m_page->running());
    ASSERT_FALSE(m_frame.messages().empty());
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::RunInActive{true}});
    auto requests = TakeRequests();
    ASSERT_EQ(Commands(requests), (std::vector<int>{kStop, kWrite50, kStart}));
    EXPECT_EQ(speedOf(requests[1]), 16u);  // 1000 rpm -> 16 Hz
    EXPECT_EQ(m_page->findChild<QLabel*>("currentSpeed")->text().section(' ', 0, 0), "1000");

    m_page->clockTick();
    EXPECT_TRUE(TakeRequests().empty());
    m_page->clockTick();  // 2 s on -> off
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{kStop});
    m_page->clockTick();  // 1 s off -> on
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{kStart});
    EXPECT_FALSE(m_page->findChild<QComboBox*>("programList")->isEnabled());

    m_prompter.confirmAnswers = {true};
    m_page->cancelPressed();
    EXPECT_FALSE(m_page->running());
    requests = TakeRequests();
    ASSERT_EQ(Commands(requests), (std::vector<int>{kStop, kWrite50}));
    EXPECT_EQ(speedOf(requests[1]), 500u);
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::RunInActive{false}});
    EXPECT_TRUE(m_page->findChild<QComboBox*>("programList")->isEnabled());
}

// Step 1 (16 Hz) above p42 = 10 Hz is refused at Start; the drive's speed is shown.
TEST_F(RunInPageTest, StepAboveTheMaximumFrequencyIsRefusedAndTheDriveSpeedShown) {
    testkit::ShippedCatalog texts;
    testkit::NoticeRecorder frame;
    m_page->setFrame(&frame);
    auto& drive = m_drive.data;
    drive.SetImage(model::param::kMaxSpeed, 10);
    drive.TakeImage();
    m_page->startPressed();
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_EQ(frame.notices, QStringList{"Step 1 asks for 1000 rpm, above the drive's maximum "
                                         "frequency of 10 Hz (P42). The program was not started."});
    drive.SetImage(model::param::kMaxSpeed, 16);
    drive.TakeImage();
    m_page->startPressed();
    ASSERT_TRUE(m_page->running());
    drive.SetImage(model::param::kActualSpeed, 15);  // the drive reports 900 rpm
    m_page->clockTick();
    EXPECT_EQ(m_page->findChild<QLabel*>("driveSpeed")->text(), "drive: 900 rpm");
    m_page->setFrame(&m_frame);
}

// Catches a step change the main window never hears of (the trend marks it)
// or announced on every tick: one announcement, when step 2 begins.
TEST_F(RunInPageTest, AnnouncesEachStepOnce) {
    m_page->startPressed();
    ASSERT_TRUE(m_page->running());
    m_frame.clear();
    for (int second = 0; second < 61; ++second) m_page->clockTick();
    ASSERT_EQ(m_page->sequencer().currentStep(), 2u);
    EXPECT_EQ(m_frame.messages(), (std::vector<shell::FrameMessage>{shell::RunInActive{true, 2}}));
    TakeRequests();
}

// Declining the start question changes nothing; without a shown page the
// speed restored after a stop is 111.
TEST_F(RunInPageTest, DeclinedStartAndDefaultSavedSpeed) {
    m_prompter.confirmAnswers = {false};
    m_page->startPressed();
    EXPECT_FALSE(m_page->running());
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_TRUE(m_frame.messages().empty());

    m_page->startPressed();
    TakeRequests();
    m_page->stopIfRunning();  // a fault or a lost link
    auto requests = TakeRequests();
    ASSERT_EQ(Commands(requests), (std::vector<int>{kStop, kWrite50}));
    EXPECT_EQ(speedOf(requests[1]), 111u);
    m_page->stopIfRunning();  // idle: nothing more
    EXPECT_TRUE(TakeRequests().empty());
}

// A stop caused by a lost link may be flushed by the reopening, and again by
// a reopen after the first statuses are back: every status repeats the stop
// and the speed until the link check answers, which repeats them a last time.
TEST_F(RunInPageTest, LinkLossStopRepeatedUntilLinkAnswers) {
    m_page->startPressed();
    TakeRequests();
    m_page->stopIfRunning();
    EXPECT_EQ(Commands(TakeRequests()), (std::vector<int>{kStop, kWrite50}));
    m_page->operationNotAllowed();
    EXPECT_EQ(Commands(TakeRequests()), (std::vector<int>{kStop, kWrite50}));
    m_page->operationAllowed();
    EXPECT_EQ(Commands(TakeRequests()), (std::vector<int>{kStop, kWrite50}));
    m_page->linkAnswered();
    auto requests = TakeRequests();
    ASSERT_EQ(Commands(requests), (std::vector<int>{kStop, kWrite50}));
    EXPECT_EQ(speedOf(requests[1]), 111u);
    m_page->operationAllowed();
    m_page->linkAnswered();
    EXPECT_TRUE(TakeRequests().empty());

    // A program started again before the link answered is not stopped by it.
    m_page->startPressed();
    m_page->stopIfRunning();
    m_page->startPressed();
    TakeRequests();
    m_page->linkAnswered();
    m_page->operationAllowed();
    EXPECT_TRUE(m_page->running());
    EXPECT_TRUE(TakeRequests().empty());
}

// The end of the program stops the motor, then shows the finished popup.
TEST_F(RunInPageTest, FinishesWithPopup) {
    m_page->findChild<QComboBox*>("programList")->setCurrentIndex(1);
    m_page->programChosen(1);
    m_page->startPressed();
    TakeRequests();
    for (int i = 0; i < 59; ++i) m_page->clockTick();
    EXPECT_TRUE(TakeRequests().empty());  // off interval 0: no stop between on phases
    m_page->clockTick();
    EXPECT_FALSE(m_page->running());
    EXPECT_EQ(Commands(TakeRequests()), (std::vector<int>{kStop, kWrite50}));
    ASSERT_EQ(m_prompter.informed.size(), 1);
}

struct ButtonCase {
    const char* name;
    bool running;      // a program runs when the button is pressed
    bool startButton;  // start, else cancel
    bool answer;       // the question's answer
    std::vector<int> sent;
};

class RunInButtonTest : public RunInPageTest, public ::testing::WithParamInterface<ButtonCase> {};

// Cancel without a running program still stops the motor and puts the saved
// speed back; start during a program begins it again from step 1. Either
// only after its question, and a declined question sends nothing.
TEST_P(RunInButtonTest, EveryPressAfterItsQuestion) {
    const ButtonCase& c = GetParam();
    auto& drive = m_drive.data;
    drive.SetImage(model::param::kSetSpeed, 500);
    drive.TakeImage();
    m_page->show();
    QApplication::processEvents();
    if (c.running) {
        m_page->startPressed();
        m_page->clockTick();
        m_page->clockTick();
        m_page->clockTick();
    }
    TakeRequests();
    m_prompter.confirmed.clear();
    m_prompter.confirmAnswers = {c.answer};
    c.startButton ? m_page->startPressed() : m_page->cancelPressed();
    EXPECT_EQ(m_prompter.confirmed.size(), 1);
    const auto requests = TakeRequests();
    EXPECT_EQ(Commands(requests), c.sent);
    if (c.sent.size() >= 2) {
        EXPECT_EQ(speedOf(requests[1]), c.startButton ? 16u : 500u);
    }
    EXPECT_EQ(m_page->running(), c.running || (c.startButton && c.answer));
}

INSTANTIATE_TEST_SUITE_P(
    Questions, RunInButtonTest,
    ::testing::Values(ButtonCase{"CancelIdle", false, false, true, {kStop, kWrite50}},
                      ButtonCase{"CancelIdleDeclined", false, false, false, {}},
                      ButtonCase{"StartWhileRunning", true, true, true, {kStop, kWrite50, kStart}},
                      ButtonCase{"StartWhileRunningDeclined", true, true, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Operation allowed enables the buttons only when parameter 7 is 0; while a
// program runs, operation not allowed leaves them usable (cancel must work).
TEST_F(RunInPageTest, EnablingRules) {
    auto& drive = m_drive.data;
    auto* start = m_page->findChild<QAbstractButton*>("startButton");
    auto* cancel = m_page->findChild<QAbstractButton*>("cancelButton");
    drive.SetImage(model::param::kControlSource, 1);
    drive.TakeImage();
    m_page->operationAllowed();
    EXPECT_FALSE(start->isEnabled());
    drive.SetImage(model::param::kControlSource, 0);
    drive.TakeImage();
    m_page->operationAllowed();
    EXPECT_TRUE(start->isEnabled());
    m_page->startPressed();
    m_page->operationNotAllowed();
    EXPECT_TRUE(cancel->isEnabled());
    m_page->stopIfRunning();
    m_page->operationNotAllowed();
    EXPECT_FALSE(cancel->isEnabled());
}

}  // namespace
}  // namespace velmora::pages
