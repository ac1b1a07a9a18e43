// The window around a running spindle: the question before it ends, the Stop
// on every page, the lost link in words, the opening size and focus, and tab
// changes that keep unsent edits.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <optional>

#include "frame/faultindicator.h"
#include "frame/motorstopbutton.h"
#include "shell/textcatalog.h"
#include "tests/support/frametest.h"
#include "tests/support/wheel.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

enum Answer { StopAndClose, LeaveRunning, Cancel };

// What the control page's own Stop queues.
std::vector<std::string> ControlPageStop(link::DriveLink& link, const ObservedPages& pages) {
    (void)TakeRequests(link);
    pages.control->findChild<QAbstractButton*>("stopButton")->click();
    return testkit::Describe(TakeRequests(link));
}

// Busy by message (none: a status saying the motor turns); ended by closing or
// by a language change (a restart).
class MainFrameSafetyTest
    : public ConnectedFrameTest,
      public ::testing::WithParamInterface<std::tuple<std::optional<FrameMessage>, bool>> {
  protected:
    bool end() {
        if (!std::get<1>(GetParam())) return m_frame->close();
        m_frame->findChild<QAction*>("languageAction02")->trigger();
        return m_frame->restartRequested();
    }
};

// Ending while the motor turns, a run-in or a download runs asks first,
// Cancel by default; Cancel keeps window and language, "stop" queues the
// control page's stop before the window goes.
TEST_P(MainFrameSafetyTest, EndingAsksFirst) {
    const std::vector<std::string> stop = ControlPageStop(m_drive.link, m_pages);
    ASSERT_FALSE(stop.empty());
    const auto& busy = std::get<0>(GetParam());
    if (!busy) DeliverStatus(*m_frame, 0x01, 0x00, 0, 0);
    if (busy) Deliver(*m_frame, *busy);
    (void)TakeRequests();
    m_prompter.chooseAnswers = {Cancel, StopAndClose};
    EXPECT_FALSE(end());
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_EQ(readLanguageNumber(), 1u);
    EXPECT_TRUE(m_frame->findChild<QAction*>("languageAction01")->isChecked());
    EXPECT_TRUE(TakeRequests().empty());
    ASSERT_EQ(m_prompter.choices.size(), 1u);
    EXPECT_EQ(m_prompter.choices[0].enterAnswer, Cancel);
    EXPECT_EQ(m_prompter.choices[0].answers[StopAndClose], "Stop the motor and close");
    EXPECT_TRUE(end());
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);
}
INSTANTIATE_TEST_SUITE_P(Busy, MainFrameSafetyTest,
                         ::testing::Combine(::testing::Values(std::nullopt, RunInActive{true},
                                                              LinkSuspend{true}),
                                            ::testing::Bool()));

// "Leave it running" sends nothing; a drive at standstill closes unasked.
TEST_F(ConnectedFrameTest, LeaveRunningOrIdleSendNothing) {
    DeliverStatus(*m_frame, 0x00, 0x01, 0, 0);
    EXPECT_TRUE(m_frame->close());
    m_frame->show();
    DeliverStatus(*m_frame, 0x04, 0x01, 0, 0);  // still turning
    (void)TakeRequests();
    m_prompter.chooseAnswers = {LeaveRunning};
    EXPECT_TRUE(m_frame->close() && m_prompter.choices.size() == 1u);
    EXPECT_TRUE(TakeRequests().empty());
}

// F12 and the status bar's Stop send the control page's stop from another
// page; without the link nothing. A lost link is said in words and greys
// the fault indicator until a status tells the fault again.
TEST_F(ConnectedFrameTest, StopEverywhereAndLinkLoss) {
    CompleteFirstRead(*m_frame);
    const std::vector<std::string> stop = ControlPageStop(m_drive.link, m_pages);
    DeliverStatus(*m_frame, 0x01, 0x00, 2, 18);
    clickTab(m_pages.motor);
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    (void)TakeRequests();
    QTest::keyClick(m_frame.get(), MotorStopButton::kKey);
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);
    m_frame->findChild<MotorStopButton*>()->click();
    EXPECT_EQ(testkit::Describe(TakeRequests()), stop);

    auto* indicator = m_frame->findChild<FaultIndicator*>();
    const QColor faultColour = indicator->grab().toImage().pixelColor(1, 1);
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    QTest::keyClick(m_frame.get(), MotorStopButton::kKey);
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_TRUE(NoticeShown(*m_frame).contains("may still be turning"));
    EXPECT_EQ(indicator->text(), "link lost");
    const QColor grey = indicator->grab().toImage().pixelColor(1, 1);
    EXPECT_TRUE(grey.red() == grey.green() && grey.green() == grey.blue());
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    DeliverStatus(*m_frame, 0x01, 0x00, 2, 18);
    EXPECT_EQ(indicator->grab().toImage().pixelColor(1, 1), faultColour);
}

// Ctrl+Tab, an arrow key on the tabs and the wheel ask about unsent values
// (Enter meaning stay) before the other page shows; "stay" shows no page,
// so nothing reads the drive over the edits.
TEST_F(ConnectedFrameTest, StayKeepsEditsOnEveryPath) {
    CompleteFirstRead(*m_frame);
    model::DriveData& data = m_drive.data;
    data.TakeImage();
    clickTab(m_pages.motor);
    data.SetWorking(92, data.Image(92) + 10);  // rated voltage, group 0x55
    const int shown =
        m_pages.motor->counts.shown + m_pages.runIn->counts.shown + m_pages.remote->counts.shown;
    m_prompter.confirmAnswers = {false, false, false, true};
    QTest::keyClick(m_frame->sheet(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(m_frame->sheet()->tabBar(), Qt::Key_Left);
    testkit::TurnWheel(m_frame->sheet()->tabBar(), -1);
    EXPECT_EQ(m_prompter.confirmed.size(), 3);
    EXPECT_EQ(
        m_pages.motor->counts.shown + m_pages.runIn->counts.shown + m_pages.remote->counts.shown,
        shown);
    EXPECT_EQ(data.Working(92), data.Image(92) + 10);
    EXPECT_EQ(m_prompter.confirmEnters.back(), EnterAnswer::Cancel);
    QTest::keyClick(m_frame->sheet(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(current(), m_pages.runIn);
}

// The window opens as large as its largest page (within the screen) with the
// keyboard on the tabs, so Ctrl+Tab works at once.
TEST_F(FrameTest, OpensAtPageSizeWithFocusOnTheTabs) {
    makeFrame();
    m_frame->show();
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    QSize largest;
    for (int i = 0; i < m_frame->sheet()->count(); ++i)
        largest = largest.expandedTo(m_frame->sheet()->widget(i)->sizeHint());
    const QSize room = m_frame->screen()->availableGeometry().size() - QSize(16, 40);
    EXPECT_GE(m_frame->width(), std::min(largest.width(), room.width()));
    EXPECT_GE(m_frame->height(), std::min(largest.height(), room.height()));
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    CompleteFirstRead(*m_frame);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(current(), m_pages.report);
}

}  // namespace
}  // namespace velmora::frame::test
