#include "pages/report/reportpage.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "shell/helpnoteviewer.h"
#include "tests/support/findchild.h"
#include "tests/support/owndrive.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
namespace {

using namespace pagetest;

class ReportPageTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    static void SetUpTestSuite() { LoadKeyNameCatalog(); }
    void SetUp() override {
        m_page = std::make_unique<CReportPage>(m_drive.data);
        m_page->show();
    }
    void TearDown() override { m_page.reset(); }
    QString text(const QString& name) {
        auto* label = testkit::FindChild<QLabel>(m_page.get(), name);
        return label ? label->text() : QString();
    }
    QString value(int parameter) { return text(QStringLiteral("p%1Value").arg(parameter)); }
    QString unit(int parameter) { return text(QStringLiteral("p%1Unit").arg(parameter)); }

    std::unique_ptr<CReportPage> m_page;
};

// Fault prevented: the report asking for groups itself or polling the wrong
// groups while it is visible.
TEST_F(ReportPageTest, ShownPollsModeOneAndSendsNothing) {
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::ReportPage}));
    EXPECT_TRUE(TakeRequests().empty());
}

// Fault prevented: speeds shown in the wrong unit or without the ×60, and
// values printed with the wrong number of decimals.
TEST_F(ReportPageTest, ShowsSpeedsInTheChosenUnitAndEachValueWithItsDecimals) {
    StoreGroup(0x50, {0x00, 0x00, 0x00, 0x02});  // rpm
    StoreGroupValues(0x59, {{10, 50},
                            {11, 123},
                            {13, 40},
                            {14, 45},
                            {15, 23012},
                            {16, 5},
                            {18, 30},
                            {19, 25},
                            {20, 7},
                            {25, 100000},
                            {26, 59}});
    StoreGroupValues(0x5A, {{30, 1}, {31, 2}, {32, 3}, {33, 4}, {34, 255}});
    m_page->refresh();
    EXPECT_EQ(value(10), "3000");
    EXPECT_EQ(unit(10), "rpm");
    EXPECT_EQ(unit(13), "rpm");
    EXPECT_EQ(unit(14), "rpm");
    EXPECT_EQ(value(11), "1.2");
    EXPECT_EQ(value(13), "2400");
    EXPECT_EQ(value(14), "2700");
    EXPECT_EQ(value(15), "230.12");
    EXPECT_EQ(value(16), "0.05");
    EXPECT_EQ(value(18), "0.30");
    EXPECT_EQ(value(19), "2.50");
    EXPECT_EQ(value(20), "7");
    EXPECT_EQ(value(25), "100000");
    EXPECT_EQ(value(26), "59");
    EXPECT_EQ(unit(25), "hour");
    EXPECT_EQ(unit(26), "minute");
    EXPECT_EQ(unit(19), "watt");
    EXPECT_EQ(value(30), "1");
    EXPECT_EQ(value(34), "255");
    EXPECT_EQ(text("statusLine"), "");

    StoreGroup(0x50, {0x00, 0x00, 0x00, 0x01});  // Hz
    m_page->refresh();
    EXPECT_EQ(value(10), "50");
    EXPECT_EQ(unit(10), "hz");

    StoreGroup(0x50, {0x00, 0x00, 0x00, 0x07});  // no such unit: labels stay
    m_page->refresh();
    EXPECT_EQ(unit(10), "hz");
}

// Fault prevented: hold storage showing live values instead of the drive's
// values at the fault, or freezing the rows that must stay live.
TEST_F(ReportPageTest, HoldStorageShowsTheFaultValuesAndKeepsFourRowsLive) {
    StoreGroup(0x50, {0x00, 0x00, 0x00, 0x01});
    StoreGroupValues(
        0x59, {{10, 1}, {11, 2}, {13, 3}, {14, 4}, {15, 5}, {16, 6}, {18, 7}, {19, 8}, {20, 9}});
    StoreGroupValues(0x5F, {{151, 410}, {152, 420}, {153, 43000}, {154, 44000}, {155, 1550}});
    m_page->refresh();
    EXPECT_EQ(value(10), "1");

    m_page->enterHoldStorage();
    m_page->refresh();
    EXPECT_EQ(text("statusLine"), "holdstorage");
    EXPECT_EQ(value(10), "410");
    EXPECT_EQ(value(13), "420");
    EXPECT_EQ(value(15), "430.00");
    EXPECT_EQ(value(16), "440.00");
    EXPECT_EQ(value(18), "15.50");

    StoreGroupValues(0x59, {{10, 100},
                            {11, 200},
                            {13, 300},
                            {14, 400},
                            {15, 500},
                            {16, 600},
                            {18, 700},
                            {19, 800},
                            {20, 90}});
    m_page->refresh();
    EXPECT_EQ(value(10), "410");
    EXPECT_EQ(value(13), "420");
    EXPECT_EQ(value(18), "15.50");
    EXPECT_EQ(value(11), "2.0");
    EXPECT_EQ(value(14), "400");
    EXPECT_EQ(value(19), "80.00");
    EXPECT_EQ(value(20), "90");
}

// Fault prevented: help and note buttons opening nothing or the wrong viewer.
TEST_F(ReportPageTest, HelpAndNoteOpenTheirViewers) {
    auto* help = m_page->findChild<shell::HelpNoteViewer*>(QStringLiteral("helpViewer"));
    auto* note = m_page->findChild<shell::HelpNoteViewer*>(QStringLiteral("noteViewer"));
    ASSERT_TRUE(help && note);
    EXPECT_FALSE(help->isVisible());
    m_page->findChild<QPushButton*>(QStringLiteral("helpButton"))->click();
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(note->isVisible());
    m_page->findChild<QPushButton*>(QStringLiteral("noteButton"))->click();
    EXPECT_TRUE(note->isVisible());
}

}  // namespace
}  // namespace velmora::pages
