// What the status bar says: the fault the drive reports, why settings are
// locked, refused Starts, saved files; the question before leaving unsent
// values; a window smaller than a page.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "frame/faultindicator.h"
#include "link/queues.h"
#include "model/drivedata.h"
#include "model/linkeddrive.h"
#include "shell/faultpopup.h"
#include "shell/noticeboard.h"
#include "tests/support/frametest.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

class MainFrameStatusTest : public FrameTest {
  protected:
    void SetUp() override {
        makeFrame();
        showConnected({800, 600});
    }
    FaultIndicator* indicator() const { return m_frame->findChild<FaultIndicator*>(); }
};

struct IndicatorCase {
    std::uint8_t faultClass;
    std::uint8_t number;
    const char* text;
    QRgb background;
};

class FaultIndicatorTest : public MainFrameStatusTest,
                           public ::testing::WithParamInterface<IndicatorCase> {};

// Once a popup is dismissed the fault stays in sight, in its class's colour,
// on every page, until the status reports class 0.
TEST_P(FaultIndicatorTest, ShowsClassNumberTextAndColourUntilCleared) {
    CompleteFirstRead(*m_frame);
    const IndicatorCase& c = GetParam();
    DeliverStatus(*m_frame, 0, 1, c.faultClass, c.number);
    for (FaultPopup* popup : m_frame->findChildren<FaultPopup*>()) popup->hide();
    for (QWidget* page : std::initializer_list<QWidget*>{m_pages.report, m_pages.runIn}) {
        m_frame->sheet()->setCurrentWidget(page);
        DeliverStatus(*m_frame, 0, 1, c.faultClass, c.number);
        ASSERT_TRUE(indicator()->isVisible());
        EXPECT_EQ(indicator()->text(), c.text);
        const QImage image = indicator()->grab().toImage();
        EXPECT_EQ(image.pixelColor(1, 1), QColor(c.background));
    }
    DeliverStatus(*m_frame, 0, 1, 0, 0);
    EXPECT_FALSE(indicator()->isVisible());
}
INSTANTIATE_TEST_SUITE_P(
    Classes, FaultIndicatorTest,
    ::testing::Values(IndicatorCase{1, 1, "Warn 1: Undervoltage", qRgb(255, 176, 0)},
                      IndicatorCase{2, 3, "Stop 3: Overcurrent", qRgb(208, 0, 0)},
                      IndicatorCase{3, 7, "Severe 7: Not described", qRgb(112, 0, 64)},
                      IndicatorCase{9, 200, "Class 9 200: Not described", qRgb(96, 96, 96)}));

// Fault 3, cleared, then fault 7 without a table entry: popup A must not
// show fault 3's texts again.
TEST_F(MainFrameStatusTest, PopupOfAnUnknownNumberAfterAKnownOne) {
    auto* popup = m_frame->findChild<FaultPopup*>("faultPopupA");
    DeliverStatus(*m_frame, 0, 1, 1, 3);
    EXPECT_EQ(popup->headline(), "Error 3");
    EXPECT_EQ(popup->faultText(), "Overcurrent");
    popup->hide();
    DeliverStatus(*m_frame, 0, 1, 0, 0);
    DeliverStatus(*m_frame, 0, 1, 1, 7);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->headline(), "Warn 7");
    EXPECT_EQ(popup->faultText(), "Not described");
}

// Greyed pages get a reason while the drive forbids operation; a Start the
// drive refuses says why; a page's notice reaches the status bar; a lost
// link blanks the live values.
TEST_F(MainFrameStatusTest, StatusBarSaysWhy) {
    CompleteFirstRead(*m_frame);
    DeliverStatus(*m_frame, 0, 0, 0, 0);
    EXPECT_EQ(NoticeShown(*m_frame), "Locked");
    DeliverStatus(*m_frame, 0, 1, 0, 0);
    EXPECT_EQ(NoticeShown(*m_frame), "");

    DeliverStatus(*m_frame, 0, 1, 2, 3);
    (void)TakeRequests();
    m_pages.control->findChild<QAbstractButton*>("startButton")->click();
    EXPECT_EQ(NoticeShown(*m_frame), "No start with Stop 3");
    const std::vector<link::Telegram> sent = TakeRequests();  // still sent: the drive decides
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0xA0);

    showFileSaved(m_pages.motor, "/tmp/a.vpm");
    EXPECT_EQ(NoticeShown(*m_frame), "Saved /tmp/a.vpm");

    auto* speed = m_pages.control->findChild<QLabel*>("p14Value");
    ASSERT_NE(speed, nullptr);
    speed->setText("1200");
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 0);
    EXPECT_TRUE(speed->text().isEmpty());
    EXPECT_TRUE(m_prompter.informed.empty());
}

// Flushed writes are named: a group write by its group, repeats counted.
TEST_F(MainFrameStatusTest, FlushedOrdersAreNamed) {
    (void)m_drive.link.lostOrders().take();
    m_drive.link.lostOrders().announceTo(m_frame.get());
    for (int command : {0x11, 0xA0, 0xCF, 0xA0, 0x1B})
        m_drive.link.sendRequest(link::Telegram{1, command, 0, {}});
    Deliver(*m_frame, LinkFlush{});
    QCoreApplication::sendPostedEvents(m_frame.get());
    m_drive.link.lostOrders().announceTo(nullptr);
    EXPECT_EQ(NoticeShown(*m_frame),
              "Not sent to the drive: write of group 0x51, start motor (2 times), command 0x1B");
}

// Values edited on the motor page and not sent: leaving asks; Cancel stays,
// OK leaves. Sent values leave without a question.
TEST_F(MainFrameStatusTest, LeavingUnsentValuesAsks) {
    CompleteFirstRead(*m_frame);
    model::DriveData& data = m_drive.data;
    data.TakeImage();
    clickTab(m_pages.motor);
    ASSERT_EQ(m_frame->sheet()->currentWidget(), m_pages.motor);
    data.SetWorking(92, data.Image(92) + 10);  // rated voltage, group 0x55

    m_prompter.confirmAnswers = {false};
    clickTab(m_pages.control);
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.motor);
    m_prompter.confirmAnswers = {true};
    clickTab(m_pages.control);
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.control);
    EXPECT_EQ(m_prompter.confirmed, (QStringList{"Discard?", "Discard?"}));

    clickTab(m_pages.motor);
    data.TakeImage();
    clickTab(m_pages.report);
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_pages.report);
    EXPECT_EQ(m_prompter.confirmed.size(), 2);
}

// A window smaller than a page scrolls the sheet instead of squeezing it.
TEST_F(MainFrameStatusTest, SmallWindowScrollsThePage) {
    const QSize needed = m_frame->sheet()->minimumSizeHint();
    m_frame->resize(needed.width() / 2, needed.height() / 2);
    QCoreApplication::processEvents();
    EXPECT_LT(m_frame->width(), needed.width());
    EXPECT_GE(m_frame->sheet()->width(), needed.width());
    EXPECT_GE(m_frame->sheet()->height(), needed.height());
    auto* area = m_frame->findChild<QScrollArea*>("sheetScroller");
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
}

}  // namespace
}  // namespace velmora::frame::test
