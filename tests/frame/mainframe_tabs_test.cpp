// Which tab changes the main window refuses, the technician page and the
// page switches other windows ask for.
#include <gtest/gtest.h>

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "tests/support/frametest.h"
#include "tests/support/wheel.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

class MainFrameTabsTest : public ConnectedFrameTest {
  protected:
    // A change made past the tab bar (as the keyboard does): the window
    // notices it afterwards and switches back.
    void switchDirectly(QWidget* page) {
        m_frame->sheet()->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }
};

// Until every parameter group was read once, no tab change is possible; the
// status bar says why, no popup.
TEST_F(MainFrameTabsTest, NothingBeforeAllGroupsRead) {
    clickTab(m_pages.motor);
    EXPECT_EQ(current(), m_pages.control);
    EXPECT_EQ(m_pages.motor->counts.shown, 0);
    switchDirectly(m_pages.report);
    EXPECT_EQ(current(), m_pages.control);
    EXPECT_EQ(NoticeShown(*m_frame), "Reading");
    EXPECT_TRUE(m_prompter.informed.empty());

    CompleteFirstRead(*m_frame);
    clickTab(m_pages.motor);
    EXPECT_EQ(current(), m_pages.motor);
    EXPECT_EQ(m_pages.motor->counts.shown, 1);
}

// While a test dialog holds the lock the status bar tells the user to use
// its back button; a refused click never shows the other page, so it never posts its
// poll mode into the running test.
TEST_F(MainFrameTabsTest, LockedTabsSayUseTheBackButton) {
    CompleteFirstRead(*m_frame);
    Deliver(*m_frame, TabLock{true});
    const int shownBefore = m_pages.remote->counts.shown;
    clickTab(m_pages.remote);
    EXPECT_EQ(current(), m_pages.control);
    EXPECT_EQ(m_pages.remote->counts.shown, shownBefore);
    EXPECT_EQ(NoticeShown(*m_frame), "Use the back button");

    switchDirectly(m_pages.motor);
    EXPECT_EQ(current(), m_pages.control);
    QTest::keyClick(m_frame->sheet(), Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(current(), m_pages.control);
    EXPECT_EQ(NoticeShown(*m_frame), "Use the back button");
    EXPECT_TRUE(m_prompter.informed.empty());
    testkit::TurnWheel(m_frame->sheet()->tabBar(), -1);  // towards the next tab
    EXPECT_EQ(current(), m_pages.control);
    EXPECT_EQ(NoticeShown(*m_frame), "Use the back button");
    EXPECT_TRUE(m_prompter.informed.empty());

    Deliver(*m_frame, TabLock{false});
    clickTab(m_pages.remote);
    EXPECT_EQ(current(), m_pages.remote);
}

// During a firmware download every tab change is refused with the download
// notice, and the supervision flag follows the message.
TEST_F(MainFrameTabsTest, FlashDownloadRefusesTabs) {
    CompleteFirstRead(*m_frame);
    clickTab(m_pages.specificProg);
    Deliver(*m_frame, LinkSuspend{true});
    for (QWidget* page :
         std::initializer_list<QWidget*>{m_pages.control, m_pages.report, m_pages.runIn}) {
        clickTab(page);
        EXPECT_EQ(current(), m_pages.specificProg);
    }
    testkit::TurnWheel(m_frame->sheet()->tabBar(), 1);
    EXPECT_EQ(current(), m_pages.specificProg);
    EXPECT_EQ(NoticeShown(*m_frame), "Wait for the download");
    EXPECT_TRUE(m_prompter.informed.empty());
    Deliver(*m_frame, LinkSuspend{false});
    clickTab(m_pages.control);
    EXPECT_EQ(current(), m_pages.control);
}

// While a run-in program runs only the report and run-in pages can be
// chosen; the others spring back and the status bar says why. The control page hears
// about the run-in too.
TEST_F(MainFrameTabsTest, RunInAllowsReportAndRunInOnly) {
    CompleteFirstRead(*m_frame);
    clickTab(m_pages.runIn);
    Deliver(*m_frame, RunInActive{true});
    clickTab(m_pages.report);
    EXPECT_EQ(current(), m_pages.report);
    clickTab(m_pages.motor);
    EXPECT_EQ(current(), m_pages.report);
    EXPECT_EQ(NoticeShown(*m_frame), "Run-in runs");
    switchDirectly(m_pages.control);
    EXPECT_EQ(current(), m_pages.report);
    clickTab(m_pages.runIn);
    EXPECT_EQ(current(), m_pages.runIn);
    EXPECT_TRUE(m_prompter.informed.empty());
    Deliver(*m_frame, RunInActive{false});
    clickTab(m_pages.motor);
    EXPECT_EQ(current(), m_pages.motor);
}

// The technician page is added as the last tab with its caption and shown;
// removing it shows the specific-programming page. A second "add" adds no
// second tab.
TEST_F(MainFrameTabsTest, TechnicianPageComesAndGoes) {
    QTabWidget* sheet = m_frame->sheet();
    Deliver(*m_frame, TechPageVisibility{true});
    ASSERT_EQ(sheet->count(), 7);
    EXPECT_EQ(sheet->widget(6), m_pages.techService);
    EXPECT_EQ(sheet->tabText(6), "Technician");
    EXPECT_EQ(current(), m_pages.techService);
    EXPECT_TRUE(m_pages.techService->isEnabled());
    Deliver(*m_frame, TechPageVisibility{true});
    EXPECT_EQ(sheet->count(), 7);

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_FALSE(m_pages.techService->isEnabled());

    Deliver(*m_frame, TechPageVisibility{false});
    EXPECT_EQ(sheet->count(), 6);
    EXPECT_EQ(sheet->indexOf(m_pages.techService), -1);
    EXPECT_EQ(current(), m_pages.specificProg);
}

// The test question of the specific-programming page brings that page to
// the front even before the first complete read (the window, not the user,
// switches).
TEST_F(MainFrameTabsTest, ShowSpecificProgActivatesThePage) {
    Deliver(*m_frame, ShowSpecificProg{});
    EXPECT_EQ(current(), m_pages.specificProg);
}

}  // namespace
}  // namespace velmora::frame::test
