// The window around a running spindle: the question before it ends, the Stop
// on every page, what the status bar says when the link is lost, the size and
// focus it opens with, and tab changes that keep unsent edits.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "frame/faultindicator.h"
#include "frame/motorstopbutton.h"
#include "model/drivedata.h"
#include "shell/textcatalog.h"
#include "tests/frame/frametestsupport.h"
#include "tests/support/wheel.h"

namespace velmora::shell::test {
namespace {

enum Answer { StopAndClose, LeaveRunning, Cancel };

class MainFrameSafetyTest : public ConnectedFrameTest {
  protected:
    // What the control page's own Stop puts on the queue.
    std::vector<std::string> controlPageStop() {
        (void)TakeRequests();
        m_pages.control->findChild<QAbstractButton*>("stopButton")->click();
        return testkit::Describe(TakeRequests());
    }
    MotorStopButton* stopButton() const { return m_frame->findChild<MotorStopButton*>(); }
};

struct BusyCase {
    const char* name;
    unsigned message;  // 0: a status reply saying the motor turns
};

class EndWhileBusyTest : public MainFrameSafetyTest,
                         public ::testing::WithParamInterface<BusyCase> {
  protected:
    void makeBusy() {
        if (GetParam().message == 0) {
            DeliverStatus(*m_frame, 0x01, 0x00, 0, 0);
        } else {
            Deliver(*m_frame, GetParam().message, 1);
        }
    }
};

// Closing asks first, Cancel by default; Cancel keeps the window, "stop"
// queues exactly the control page's stop before the window goes.
TEST_P(EndWhileBusyTest, CloseAsksFirst) {
    const std::vector<std::string> stop = controlPageStop();
    ASSERT_FALSE(stop.empty());
    makeBusy();
    (void)TakeRequests();
    m_prompter.chooseAnswers = {Cancel, StopAndClose};
    EXPECT_FALSE(m_frame->close());
    EXPECT_TRUE(m_frame->isVisible());
    ASSERT_EQ(m_prompter.choices.size(), 1u);
    EXPECT_EQ(m_prompter.choices[0].enterAnswer, Cancel);
    EXPECT_EQ(m_prompter.choices[0].escapeAnswer, Cancel);
    EXPECT_EQ(m_prompter.choices[0].answers[StopAndClose], "Stop the motor and close");
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);
}

// A language change restarts the program: the same question, and Cancel
// keeps the window and the language.
TEST_P(EndWhileBusyTest, LanguageChangeAsksFirst) {
    const std::vector<std::string> stop = controlPageStop();
    makeBusy();
    (void)TakeRequests();
    QAction* german = m_frame->findChild<QAction*>("languageAction02");
    m_prompter.chooseAnswers = {Cancel, StopAndClose};
    german->trigger();
    EXPECT_FALSE(m_frame->restartRequested());
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_TRUE(m_frame->findChild<QAction*>("languageAction01")->isChecked());
    EXPECT_EQ(readLanguageNumber(), 1u);
    german->trigger();
    EXPECT_TRUE(m_frame->restartRequested());
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);
    EXPECT_EQ(m_prompter.choices.size(), 2u);
}
INSTANTIATE_TEST_SUITE_P(Busy, EndWhileBusyTest,
                         ::testing::Values(BusyCase{"MotorTurns", 0},
                                           BusyCase{"RunIn", link::WM_RUNIN_ACTIVE},
                                           BusyCase{"Firmware", link::WM_LINK_SUSPEND}),
                         [](const auto& info) { return std::string(info.param.name); });

// "Leave it running" closes and sends nothing; a drive at standstill with
// nothing running closes without a question.
TEST_F(MainFrameSafetyTest, LeaveRunningOrIdleSendNothing) {
    DeliverStatus(*m_frame, 0x00, 0x01, 0, 0);
    EXPECT_TRUE(m_frame->close());
    EXPECT_TRUE(m_prompter.choices.empty());
    m_frame->show();
    DeliverStatus(*m_frame, 0x04, 0x01, 0, 0);  // still turning
    (void)TakeRequests();
    m_prompter.chooseAnswers = {LeaveRunning};
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(m_prompter.choices.size(), 1u);
    EXPECT_TRUE(TakeRequests().empty());
}

// F12 and the status bar's Stop send the control page's stop from any page,
// while that Stop could be pressed; without the link they send nothing.
TEST_F(MainFrameSafetyTest, StopOnEveryPage) {
    CompleteFirstRead(*m_frame);
    const std::vector<std::string> stop = controlPageStop();
    DeliverStatus(*m_frame, 0x01, 0x00, 0, 0);
    clickTab(m_pages.motor);
    ASSERT_EQ(current(), m_pages.motor);
    (void)TakeRequests();
    ASSERT_TRUE(stopButton()->isVisible());
    ASSERT_TRUE(stopButton()->isEnabled());
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    QTest::keyClick(m_frame.get(), MotorStopButton::kKey);
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);
    stopButton()->click();
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_FALSE(stopButton()->isEnabled());
    QTest::keyClick(m_frame.get(), MotorStopButton::kKey);
    EXPECT_TRUE(TakeRequests().empty());
}

// A lost link is said in words: the drive goes on with its last command. The
// fault indicator turns grey until a status tells the fault again.
TEST_F(MainFrameSafetyTest, LinkLostIsSaid) {
    DeliverStatus(*m_frame, 0, 1, 2, 18);
    auto* indicator = m_frame->findChild<FaultIndicator*>();
    const QColor faultColour = indicator->grab().toImage().pixelColor(1, 1);
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_EQ(NoticeShown(*m_frame), T("linklostdrive"));
    EXPECT_TRUE(NoticeShown(*m_frame).contains("may still be turning"));
    ASSERT_TRUE(indicator->isVisible());
    EXPECT_EQ(indicator->text(), "link lost");
    const QColor lost = indicator->grab().toImage().pixelColor(1, 1);
    EXPECT_EQ(lost.red(), lost.green());
    EXPECT_EQ(lost.green(), lost.blue());

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    EXPECT_EQ(NoticeShown(*m_frame), "");
    DeliverStatus(*m_frame, 0, 1, 2, 18);
    EXPECT_EQ(indicator->grab().toImage().pixelColor(1, 1), faultColour);
}

// Ctrl+Tab, the arrow keys and the wheel ask about unsent values before the
// other page shows; "stay" neither shows it nor shows the page again, which
// would read the drive over the edits. Enter means stay.
TEST_F(MainFrameSafetyTest, StayKeepsEditsOnEveryPath) {
    CompleteFirstRead(*m_frame);
    model::DriveData& data = model::DriveData::instance();
    data.TakeImage();
    clickTab(m_pages.motor);
    ASSERT_EQ(current(), m_pages.motor);
    data.SetWorking(92, data.Image(92) + 10);  // rated voltage, group 0x55
    const int motorShown = m_pages.motor->counts.shown;
    const int runInShown = m_pages.runIn->counts.shown;
    const int remoteShown = m_pages.remote->counts.shown;

    m_prompter.confirmAnswers = {false, false, false};
    QTest::keyClick(m_frame->sheet(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(m_frame->sheet()->tabBar(), Qt::Key_Left);
    testkit::TurnWheel(m_frame->sheet()->tabBar(), -1);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_prompter.confirmed.size(), 3);
    EXPECT_EQ(current(), m_pages.motor);
    EXPECT_EQ(m_pages.motor->counts.shown, motorShown);
    EXPECT_EQ(m_pages.runIn->counts.shown, runInShown);
    EXPECT_EQ(m_pages.remote->counts.shown, remoteShown);
    EXPECT_EQ(data.Working(92), data.Image(92) + 10);
    EXPECT_EQ(m_prompter.confirmEnters.back(), EnterAnswer::Cancel);

    m_prompter.confirmAnswers = {true};
    QTest::keyClick(m_frame->sheet(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(current(), m_pages.runIn);
    EXPECT_EQ(m_prompter.confirmed.size(), 4);
}

// The window opens large enough for its largest page (as far as the screen
// allows) with the keyboard on the tabs: Ctrl+Tab works at once.
TEST(MainFrameStartTest, OpensAtPageSizeWithFocusOnTheTabs) {
    ResetDriveState();
    FrameFolder folder;
    testkit::ScriptedPrompter prompter;
    ObservedPages pages;
    {
        CMainFrame frame(ObservedFrameOptions(pages));
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        QSize largest;
        for (QWidget* page : std::initializer_list<QWidget*>{
                 pages.control, pages.report, pages.remote, pages.motor, pages.runIn,
                 pages.specificProg})
            largest = largest.expandedTo(page->sizeHint());
        const QSize room = frame.screen()->availableGeometry().size() - QSize(16, 40);
        EXPECT_GE(frame.width(), std::min(largest.width(), room.width()));
        EXPECT_GE(frame.height(), std::min(largest.height(), room.height()));

        Deliver(frame, link::WM_DRIVE_LINK_STATE, 1);
        CompleteFirstRead(frame);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(frame.sheet()->isAncestorOf(focus));
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(frame.sheet()->currentWidget(), pages.report);
    }
    ResetDriveState();
}

}  // namespace
}  // namespace velmora::shell::test
