// The main window's reactions to link state, status and group replies,
// driven by posted messages and by entries put into the link's queues.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "frame/statusindicator.h"
#include "link/queues.h"
#include "model/drivedata.h"
#include "model/parameters.h"
#include "shell/faultpopup.h"
#include "tests/support/frametest.h"
#include "trend/trendfeed.h"
#include "trend/trendhost.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

class MainFrameTest : public FrameTest {
  protected:
    void SetUp() override { makeFrame(); }
    FaultPopup* popup(const char* name) {
        return testkit::FindChild<FaultPopup>(m_frame.get(), name);
    }
    std::vector<HookCounts*> operationPages() {
        return {&m_pages.control->counts, &m_pages.remote->counts, &m_pages.motor->counts,
                &m_pages.runIn->counts, &m_pages.specificProg->counts};
    }
};

// Start-up leaves six tabs, the control page in front and every page
// disabled until the drive answers; the pages enable and disable with the
// link state.
TEST_F(MainFrameTest, PagesFollowTheLinkState) {
    QTabWidget* sheet = m_frame->sheet();
    ASSERT_EQ(sheet->count(), 6);
    EXPECT_EQ(sheet->currentWidget(), m_pages.control);
    EXPECT_EQ(sheet->indexOf(m_pages.techService), -1);
    EXPECT_EQ(m_frame->windowTitle(), "Test Drives");
    const QStringList captions{"Control", "Operating values", "Remote control",
                               "Motor",   "Run-in",           "Specific"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(sheet->tabText(i), captions[i]);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(sheet->widget(i)->isEnabled()) << i;

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(sheet->widget(i)->isEnabled()) << i;
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(sheet->widget(i)->isEnabled()) << i;
    // Anything but 1 counts as lost.
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 2);
    EXPECT_FALSE(m_pages.control->isEnabled());
    EXPECT_FALSE(m_frame->connected());
}

// The lamp is read back from a picture of the whole window: dark green with
// the "connected" text after link state 1, red after 0, at the bottom right.
TEST_F(MainFrameTest, StatusIndicatorColourAndPlace) {
    m_frame->resize(700, 500);
    m_frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    auto* indicator = m_frame->findChild<StatusIndicator*>("statusIndicator");
    ASSERT_NE(indicator, nullptr);
    const double scale = m_frame->logicalDpiX() / 96.0;

    const auto lampPixel = [&](int dx, int dy) {
        const QImage image = m_frame->grab().toImage();
        // The lamp's place in the window's own client coordinates.
        const int x = m_frame->width() - static_cast<int>(25 * scale) + dx;
        const int y = m_frame->height() - static_cast<int>(12 * scale) + dy;
        const double ratio = image.devicePixelRatio();
        return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
    };

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    EXPECT_EQ(lampPixel(7, 3), QColor(0, 128, 0));
    EXPECT_EQ(lampPixel(0, 0), QColor(Qt::black));  // the frame's corner
    EXPECT_NE(lampPixel(-1, 3), QColor(0, 128, 0));
    EXPECT_NE(lampPixel(16, 3), QColor(0, 128, 0));
    EXPECT_TRUE(indicator->connectedShown());

    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_EQ(lampPixel(7, 3), QColor(255, 0, 0));
    EXPECT_FALSE(indicator->connectedShown());
}

// Bit 0 of the second status byte reaches every page that can operate the
// drive (the report page has nothing to operate), the technician page once
// it is in the sheet; malformed status replies reach nobody.
TEST_F(MainFrameTest, OperationAllowedReachesEveryPage) {
    DeliverStatus(*m_frame, 0, 0x01, 0, 0);
    for (HookCounts* counts : operationPages()) {
        EXPECT_EQ(counts->allowed, 1);
        EXPECT_EQ(counts->notAllowed, 0);
    }
    DeliverStatus(*m_frame, 0, 0xFE, 0, 0);
    for (HookCounts* counts : operationPages()) EXPECT_EQ(counts->notAllowed, 1);
    EXPECT_EQ(m_pages.report->counts.allowed + m_pages.report->counts.notAllowed, 0);
    EXPECT_EQ(m_pages.techService->counts.allowed, 0);

    Deliver(*m_frame, TechPageVisibility{true});
    DeliverStatus(*m_frame, 0, 0x01, 0, 0);
    EXPECT_EQ(m_pages.techService->counts.allowed, 1);

    // Wrong command, wrong length, or nothing in the queue: ignored.
    link::Telegram wrong;
    wrong.command = 0x61;
    wrong.length = 4;
    wrong.data = {0, 1, 1, 3};
    m_drive.link.telegrams().Post(link::kStatusSlot, wrong);
    Deliver(*m_frame, link::WM_DRIVE_STATUS);
    link::Telegram shortStatus;
    shortStatus.command = 0x60;
    shortStatus.length = 3;
    shortStatus.data = {0, 1, 1};
    m_drive.link.telegrams().Post(link::kStatusSlot, shortStatus);
    Deliver(*m_frame, link::WM_DRIVE_STATUS);
    EXPECT_EQ(m_pages.control->counts.allowed, 2);
    EXPECT_FALSE(popup("faultPopupA")->isVisible());
}

// Class 1 opens popup A and class 2 popup B once; after the user closed it,
// the same fault keeps it closed until a class-0 status, which also hides
// both popups.
TEST_F(MainFrameTest, FaultPopupsOnceUntilClassZero) {
    m_frame->show();
    FaultPopup* a = popup("faultPopupA");
    FaultPopup* b = popup("faultPopupB");
    ASSERT_TRUE(a && b);
    EXPECT_FALSE(a->isVisible());

    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_TRUE(a->isVisible());
    a->hide();  // the user pressed OK
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_FALSE(a->isVisible());

    DeliverStatus(*m_frame, 0, 1, 2, 18);
    EXPECT_TRUE(b->isVisible());
    DeliverStatus(*m_frame, 0, 1, 0, 0);
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(m_prompter.informed.empty());
}

// A class-3 fault asks the drive for its error group, tells the user, opens
// popup G and shows the report page in hold-storage mode, once while it lasts;
// a class-0 status leaves popup G open, and the next class-3 fault is told again.
TEST_F(MainFrameTest, GeneralErrorSequenceOncePerFault) {
    m_frame->show();
    CompleteFirstRead(*m_frame);
    m_frame->sheet()->setCurrentWidget(m_pages.motor);
    (void)TakeRequests();
    // The drive answers while the general-error popup is open; the reply
    // must reach the drive image, not a page that drops it.
    m_prompter.whileAsking = [&] {
        link::Telegram errorGroup = GroupReply(0x5F);
        errorGroup.data[9] = 42;  // parameter 155
        m_drive.link.telegrams().Post(link::kReplySlot, errorGroup);
        Deliver(*m_frame, link::WM_DRIVE_REPLY);
    };
    DeliverStatus(*m_frame, 0, 0, 3, 5);

    const std::vector<link::Telegram> requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, 0xCF);
    EXPECT_EQ(requests[0].data, std::vector<std::uint8_t>{0x5F});
    EXPECT_EQ(m_prompter.informed, QStringList{"A general error occurred"});
    EXPECT_TRUE(popup("faultPopupG")->isVisible());
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.report);
    EXPECT_EQ(m_pages.motor->counts.replies, 0);

    EXPECT_EQ(m_drive.data.Image(model::param::kHeldOutputCurrent), 42u);
    // The window put the report page into hold-storage mode: its next refresh
    // (the observing page only counts them) shows the held values.
    m_pages.report->pages::CReportPage::refresh();
    EXPECT_EQ(m_pages.report->findChild<QLabel*>("statusLine")->text(), "Hold storage");

    m_prompter.whileAsking = nullptr;
    DeliverStatus(*m_frame, 0, 0, 3, 9);
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_EQ(m_prompter.informed.size(), 1);
    DeliverStatus(*m_frame, 0, 0, 0, 0);
    EXPECT_TRUE(popup("faultPopupG")->isVisible());
    popup("faultPopupG")->hide();

    m_frame->sheet()->setCurrentWidget(m_pages.motor);
    DeliverStatus(*m_frame, 0, 0, 3, 5);
    EXPECT_EQ(testkit::Commands(TakeRequests()), std::vector<int>{0xCF});
    EXPECT_EQ(m_prompter.informed.size(), 2);
    EXPECT_TRUE(popup("faultPopupG")->isVisible());
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.report);
}

// Messages of the pages reach their targets: the loaded set's name on the
// control page, the link's flush and the download flag.
TEST_F(MainFrameTest, PageMessagesReachTheirTargets) {
    auto* selection = m_pages.control->findChild<QLineEdit*>("selectionField");
    ASSERT_NE(selection, nullptr);
    m_drive.data.SetWorking(model::param::kMemorySlot, 5);
    Deliver(*m_frame, MemorySlotChosen{4});
    EXPECT_EQ(selection->text(), "Memory 5");
    Deliver(*m_frame, MotorModelChosen{1});
    EXPECT_TRUE(selection->text().startsWith("Model A")) << selection->text().toStdString();

    for (int i = 0; i < 5; ++i) {
        link::Telegram request;
        request.command = 0x80;
        m_drive.link.telegrams().Post(link::kRequestSlot, request);
    }
    Deliver(*m_frame, LinkFlush{});
    EXPECT_EQ(m_drive.link.telegrams().size(link::kRequestSlot), 0u);

    // Messages the window does not handle change nothing.
    Deliver(*m_frame, 0x8003, 0);
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.control);
}

// A running run-in program ends on a newly reported fault (not on one
// already shown) and when the link is lost, so the motor is not driven
// through a fault or blind.
TEST_F(MainFrameTest, RunInStoppedOnNewFaultAndLostLink) {
    m_pages.runIn->setManualClock(true);
    const auto start = [&] {
        m_pages.runIn->startPressed();
        QCoreApplication::sendPostedEvents(m_frame.get());
        ASSERT_TRUE(m_pages.runIn->running());
    };
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    start();
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_FALSE(m_pages.runIn->running());

    start();
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_TRUE(m_pages.runIn->running());
    DeliverStatus(*m_frame, 0, 1, 2, 4);
    EXPECT_FALSE(m_pages.runIn->running());

    start();
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
    EXPECT_TRUE(m_pages.runIn->running());
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_FALSE(m_pages.runIn->running());
}

// A fault number the drive reports above the 64 the language files describe
// opens its popup saying it is not described, and never disturbs the flags of
// the others.
TEST_F(MainFrameTest, FaultNumbersAbove63) {
    m_frame->show();
    for (int number : {64, 100, 255}) {
        DeliverStatus(*m_frame, 0, 0, 1, static_cast<std::uint8_t>(number));
        EXPECT_TRUE(popup("faultPopupA")->isVisible());
        EXPECT_EQ(popup("faultPopupA")->headline(), "Warn " + QString::number(number));
        popup("faultPopupA")->hide();
    }
    DeliverStatus(*m_frame, 0, 0, 1, 3);
    EXPECT_TRUE(popup("faultPopupA")->isVisible());
    EXPECT_EQ(popup("faultPopupA")->faultText(), "Overcurrent");
}

// The error group arrives announced as a single reply; with no page taking
// single replies in front, the window stores it itself. A stray single reply
// is taken off the queue, so the next group reply is stored at once instead
// of one entry late.
TEST_F(MainFrameTest, SingleRepliesKeepTheReplyQueueInStep) {
    model::DriveData& data = m_drive.data;
    link::Telegram errorGroup = GroupReply(0x5F);
    errorGroup.data[0] = 0x01;
    errorGroup.data[1] = 0x2C;  // parameter 151 = 300
    m_drive.link.telegrams().Post(link::kReplySlot, errorGroup);
    Deliver(*m_frame, link::WM_DRIVE_REPLY);
    EXPECT_EQ(data.Image(151), 300u);

    link::Telegram stray;
    stray.command = 0x5B;
    stray.length = 10;
    stray.data.assign(10, 0);
    m_drive.link.telegrams().Post(link::kReplySlot, stray);
    Deliver(*m_frame, link::WM_DRIVE_REPLY);
    DeliverGroup(*m_frame, 0x59);
    EXPECT_TRUE(data.GroupReceived(0x59));
    EXPECT_EQ(m_drive.link.telegrams().size(link::kReplySlot), 0u);
    EXPECT_EQ(m_pages.motor->counts.replies, 0);
}

// Single replies go to the motor, specific-programming and technician pages
// when they are in front.
TEST_F(MainFrameTest, SingleRepliesForwardedToTheirPages) {
    CompleteFirstRead(*m_frame);
    // A slot state, as the receive thread queues and announces it.
    const auto deliverReply = [this] {
        PostReply(0x62, {1});
        Deliver(*m_frame, link::WM_DRIVE_REPLY);
    };
    Deliver(*m_frame, TechPageVisibility{true});
    deliverReply();
    EXPECT_EQ(m_pages.techService->counts.replies, 1);
    Deliver(*m_frame, ShowSpecificProg{});
    deliverReply();
    EXPECT_EQ(m_pages.specificProg->counts.replies, 1);
    m_frame->sheet()->setCurrentWidget(m_pages.motor);
    deliverReply();
    EXPECT_EQ(m_pages.motor->counts.replies, 1);
    // An announcement whose reply was already taken reaches no page.
    Deliver(*m_frame, link::WM_DRIVE_REPLY);
    EXPECT_EQ(m_pages.motor->counts.replies, 1);
}

// Until every group was read once, each group reply asks for the missing
// ones and no page is refreshed; afterwards only the page in front is.
TEST_F(MainFrameTest, FirstCompleteReadThenRefreshes) {
    DeliverGroup(*m_frame, 0x59);
    const std::vector<link::Telegram> asked = TakeRequests();
    EXPECT_EQ(asked.size(), 10u);  // 0x50..0x5A without 0x59
    for (const link::Telegram& request : asked) {
        EXPECT_EQ(request.command, 0xCF);
        ASSERT_EQ(request.data.size(), 1u);
        EXPECT_NE(request.data[0], 0x59);
    }
    EXPECT_FALSE(m_frame->allGroupsRead());
    for (int code = 0x50; code <= 0x5A; ++code) {
        if (code != 0x59) DeliverGroup(*m_frame, code);
    }
    EXPECT_TRUE(m_frame->allGroupsRead());
    EXPECT_EQ(m_pages.control->counts.refreshed, 1);
    DeliverGroup(*m_frame, 0x59);
    EXPECT_EQ(m_pages.control->counts.refreshed, 2);
    EXPECT_EQ(m_pages.report->counts.refreshed, 0);

    m_frame->sheet()->setCurrentWidget(m_pages.runIn);
    DeliverGroup(*m_frame, 0x59);
    EXPECT_EQ(m_pages.runIn->counts.refreshed, 0);
}

// Catches a trend without samples on pages that do not poll them, the
// samples refreshing such a page every cycle (dropping an edit in progress),
// and a recording the main window does not show.
TEST_F(MainFrameTest, TheTrendSamplesOnEveryPageAndLeavesThePageAlone) {
    CompleteFirstRead(*m_frame);
    m_frame->sheet()->setCurrentWidget(m_pages.motor);
    (void)TakePollModes();
    ASSERT_FALSE(m_drive.data.gate().setPollMode(link::PollMode::MotorPage));
    m_frame->findChild<QAction*>("trendShowAction")->trigger();
    constexpr int kMotor = static_cast<int>(link::PollMode::MotorPage);
    EXPECT_EQ(TakePollModes(), (std::vector<int>{kMotor, kMotor | link::kWithOperatingValues}));
    const int refreshed = m_pages.motor->counts.refreshed;
    DeliverGroup(*m_frame, 0x59);
    EXPECT_EQ(m_pages.motor->counts.refreshed, refreshed);
    DeliverGroup(*m_frame, 0x51);
    EXPECT_EQ(m_pages.motor->counts.refreshed, refreshed + 1);

    auto* indicator = m_frame->findChild<QLabel*>("trendRecordingIndicator");
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->isHidden());
    auto* host = m_frame->findChild<trend::TrendHost*>();
    ASSERT_TRUE(host->feed().startRecording(
        QString::fromStdString((m_folder.path() / "spindle.csv").string())));
    EXPECT_FALSE(indicator->isHidden());
    EXPECT_TRUE(indicator->text().contains("spindle.csv"));
    host->feed().stopRecording();
    EXPECT_TRUE(indicator->isHidden());
}

}  // namespace
}  // namespace velmora::frame::test
