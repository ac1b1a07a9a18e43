// The technician panels against the simulated drive through the real link
// threads: what a panel writes must come back through its own read.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "link/queues.h"
#include "pages/common/stepedit.h"
#include "pages/techservice/techservicepage.h"
#include "pages/techservice/testoperationpanel.h"
#include "sim/factorysettings.h"
#include "tests/support/drivelinkharness.h"
#include "tests/support/drivestatus.h"
#include "tests/support/findchild.h"
#include "tests/support/testkit.h"

namespace velmora::pages {
namespace {

using namespace std::chrono_literals;

class TechServiceE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::DriveStands(m_link.data);
        ASSERT_TRUE(m_link.readAllGroups());
        m_page.setFrame(&m_frame);
        m_page.show();
    }
    // Plays the main window's forwarding: single replies to the page's
    // handler, a refresh after group replies; until `done` holds.
    bool pumpUntil(const std::function<bool()>& done) {
        return m_link.pumpUntil(
            [&] {
                for (auto& reply : m_link.replies) {
                    m_delivered.push_back(reply.command);
                    m_page.driveReply(reply);
                }
                m_link.replies.clear();
                if (!m_link.groupReplies.empty()) {
                    m_link.groupReplies.clear();
                    m_page.refresh();
                }
                return done();
            },
            5s);
    }
    template <typename T>
    T* child(const char* name) {
        return testkit::FindChild<T>(&m_page, name);
    }
    void reopen(int panel) {
        m_page.backToMenu();
        m_page.showPanel(panel);
    }

    [[nodiscard]] bool delivered(int command) const {
        return std::find(m_delivered.begin(), m_delivered.end(), command) != m_delivered.end();
    }

    std::vector<int> m_delivered;
    e2e::DriveLinkHarness m_link;
    testkit::ScriptedPrompter m_prompter;  // the questions before writes answered OK
    testkit::FrameRecorder m_frame;
    CTechServicePage m_page{m_link.data};
};

// A memory word written high byte first reads back unchanged.
TEST_F(TechServiceE2e, MemoryWordRoundTrip) {
    m_page.showPanel(CTechServicePage::kMemory);
    auto* address = child<StepEdit>("eepromAddressEdit");
    auto* value = child<QLineEdit>("eepromValueEdit");
    address->setFieldText("4097");
    value->setText("305419896");
    child<QPushButton>("eepromOverwriteButton")->click();
    value->setText("0");
    child<QPushButton>("eepromLoadButton")->click();
    EXPECT_TRUE(pumpUntil([&] { return value->text() == "305419896"; }))
        << value->text().toStdString();
}

// Calibration values sent are shown again when the panel is opened anew.
TEST_F(TechServiceE2e, CalibrationRoundTrip) {
    m_page.showPanel(CTechServicePage::kCalibration);
    auto* first = child<StepEdit>("cal_calain1");
    auto* last = child<StepEdit>("cal_caliwrb");
    ASSERT_TRUE(pumpUntil([&] { return delivered(0x5D); }));
    first->setFieldText("1234");
    last->setFieldText("9876");
    child<QPushButton>("calibrationSendButton")->click();
    first->setFieldText("0");
    last->setFieldText("0");
    m_delivered.clear();
    reopen(CTechServicePage::kCalibration);
    EXPECT_TRUE(
        pumpUntil([&] { return first->fieldText() == "1234" && last->fieldText() == "9876"; }));
}

// The serial number shows from the group reply 0x5A; a new one written reads back.
TEST_F(TechServiceE2e, SerialNumberRoundTrip) {
    m_page.showPanel(CTechServicePage::kSerialNumber);
    auto* field = child<QLineEdit>("serialNumberEdit");
    ASSERT_TRUE(
        pumpUntil([&] { return field->text() == QString::number(sim::kFactorySerialNumber); }));
    field->setText("4000000000");
    child<QPushButton>("serialSendButton")->click();
    field->clear();
    reopen(CTechServicePage::kSerialNumber);
    EXPECT_TRUE(pumpUntil([&] { return field->text() == "4000000000"; }));
}

// Test operation: the limits follow the drive's inverter type (inv02: 16 A)
// and the output values and temperature arrive while the panel is open.
TEST_F(TechServiceE2e, TestOperationLive) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    auto* temperature = child<QLineEdit>("testTemperature");
    auto* voltage = child<QLineEdit>("testOutputVoltage");
    EXPECT_TRUE(
        pumpUntil([&] { return !temperature->text().isEmpty() && !voltage->text().isEmpty(); }));
    EXPECT_FLOAT_EQ(m_page.testOperationPanel()->maxCurrent(), 16.0f);
    m_page.backToMenu();
    m_link.settle();
}

}  // namespace
}  // namespace velmora::pages
