#include "pages/techservice/techservicepage.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "model/commands.h"
#include "model/drivedata.h"
#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/techservice/memorypanel.h"
#include "pages/techservice/serialnumberpanel.h"
#include "pages/techservice/testoperationpanel.h"
#include "shell/roundbutton.h"
#include "tests/support/drivestatus.h"
#include "tests/support/findchild.h"
#include "tests/support/owndrive.h"
#include "tests/support/shippedcatalog.h"
#include "tests/support/testkit.h"

namespace velmora::pages {
namespace {

using link::PollMode;
using testkit::Commands;
using testkit::PollModes;
using testkit::PostReply;
using testkit::TakePollModes;
using testkit::TakeRequests;
using Bytes = std::vector<std::uint8_t>;

class TechServiceTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        TakeRequests();
        TakePollModes();
        m_drive.data.Reset();
        testkit::DriveStands(m_drive.data);
        drainReplies();
        m_page.setFrame(&m_frame);
        m_page.resize(700, 500);
        m_page.show();
        TakePollModes();
    }
    void TearDown() override {
        TakeRequests();
        TakePollModes();
        drainReplies();
    }
    void drainReplies() {
        link::Telegram t;
        while (m_drive.link.telegrams().Fetch(link::kReplySlot, t, std::chrono::milliseconds(0)) ==
               link::queue_result::kOk) {
        }
    }
    template <typename T>
    T* child(const char* name) {
        return testkit::FindChild<T>(&m_page, name);
    }
    // Types text and lets the field lose the focus, as the user would.
    void typeAndLeave(StepEdit* edit, const QString& text) {
        type(edit, text);
        emit edit->editingFinished();
    }
    static void type(StepEdit* edit, const QString& text) {
        auto* line = edit->findChild<QLineEdit*>();
        line->selectAll();
        QTest::keyClicks(line, text);
    }
    // Group replies are stored by the main window, then the page refreshes.
    void storeGroup(int code, Bytes data) {
        PostReply(code, std::move(data));
        m_drive.data.StoreGroupReply();
        m_page.refresh();
    }

    testkit::FrameRecorder m_frame;
    CTechServicePage m_page{m_drive.data};
};

// Each memory-reset button sends ResetEeprom with its own single bit once
// the question naming its area is answered with OK; Cancel sends nothing.
TEST_F(TechServiceTest, MemoryResetButtonsSendTheirBit) {
    testkit::ShippedCatalog texts;
    testkit::ScriptedPrompter prompter;
    prompter.confirmAnswers = {false, true, false, true, false, true,
                               false, true, false, true, false, true};
    m_page.showPanel(CTechServicePage::kMemoryReset);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::MemoryReset}));
    TakeRequests();
    const char* names[] = {"reset_motorparameters", "reset_remotectrlpara", "reset_allparameters",
                           "reset_runtimedata",     "reset_totaleeprom",    "reset_burnin"};
    const std::uint8_t bits[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20};
    for (int i = 0; i < 6; ++i) {
        child<QPushButton>(names[i])->click();
        EXPECT_TRUE(TakeRequests().empty()) << names[i];
        child<QPushButton>(names[i])->click();
        const auto sent = TakeRequests();
        ASSERT_EQ(sent.size(), 1u) << names[i];
        EXPECT_EQ(sent[0].command, 0xA9);
        EXPECT_EQ(sent[0].data, Bytes{bits[i]}) << names[i];
    }
    ASSERT_EQ(prompter.confirmed.size(), 12);
    const QString area =
        "Reset the memory area “%1” in the drive? The values stored there are lost.";
    EXPECT_EQ(prompter.confirmed[0], area.arg("Motor parameters"));
    EXPECT_EQ(prompter.confirmed[2], area.arg("Remote-control parameters"));
    // The entire memory is named as what it is, not as one more area.
    EXPECT_EQ(prompter.confirmed[8],
              "Erase the drive's entire memory? Everything stored in the drive is lost.");
    m_page.backToMenu();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::TechPage}));
}

// The memory word: address rules on focus loss, the read and write telegrams
// high byte first, and the reply shown unsigned.
TEST_F(TechServiceTest, MemoryWordReadAndWrite) {
    m_page.showPanel(CTechServicePage::kMemory);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::Memory}));
    auto* address = child<StepEdit>("eepromAddressEdit");
    auto* value = child<QLineEdit>("eepromValueEdit");
    typeAndLeave(address, "9000");
    EXPECT_EQ(address->fieldText(), "8190");
    typeAndLeave(address, "65636");  // low 16 bits: 100
    EXPECT_EQ(address->fieldText(), "100");
    address->stepBy(1);
    EXPECT_EQ(address->fieldText(), "101");

    TakeRequests();
    address->setFieldText("258");
    child<QPushButton>("eepromLoadButton")->click();
    auto sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0xCF);
    EXPECT_EQ(sent[0].data, (Bytes{0x5C, 0x01, 0x02}));

    PostReply(0x5C, {0xFF, 0xFF, 0xFF, 0xFE});
    DeliverReply(m_page);
    EXPECT_EQ(value->text(), "4294967294");

    // Typed but never left: the write still names an address inside the memory.
    address->setFieldText("70000");
    value->setText("16909060");
    child<QPushButton>("eepromOverwriteButton")->click();
    sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x19);
    EXPECT_EQ(sent[0].data, (Bytes{0x11, 0x70, 0x01, 0x02, 0x03, 0x04}));
}

// Calibration: read on open, nine values shown from the reply in wire order,
// field limits, and the write telegram with nine 32-bit values.
TEST_F(TechServiceTest, CalibrationReadLimitAndSend) {
    testkit::ScriptedPrompter prompter;
    prompter.confirmAnswers = {false};
    m_page.showPanel(CTechServicePage::kCalibration);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::Calibration}));
    auto sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data, Bytes{0x5D});

    Bytes reply;
    for (std::uint32_t v = 1; v <= 9; ++v) {
        const std::uint32_t value = v * 256;
        reply.insert(reply.end(), {0, 0, std::uint8_t(value >> 8), std::uint8_t(value)});
    }
    PostReply(0x5D, reply);
    DeliverReply(m_page);
    const char* names[] = {"cal_calain1", "cal_calain2", "cal_caluub",  "cal_caluvb", "cal_caluwb",
                           "cal_caluwr",  "cal_calur",   "cal_caliwrm", "cal_caliwrb"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(child<StepEdit>(names[i])->fieldText(), QString::number((i + 1) * 256));

    auto* first = child<StepEdit>("cal_calain1");
    typeAndLeave(first, "10000");
    first->stepBy(1);
    EXPECT_EQ(first->fieldText(), "10000");
    typeAndLeave(first, "0");
    first->stepBy(-1);
    EXPECT_EQ(first->fieldText(), "0");
    typeAndLeave(first, "12345");
    EXPECT_EQ(first->fieldText(), "10000");

    type(child<StepEdit>("cal_caliwrb"), "70000");         // not yet left: still limited
    child<QPushButton>("calibrationSendButton")->click();  // asked, cancelled
    EXPECT_TRUE(TakeRequests().empty());
    child<QPushButton>("calibrationSendButton")->click();
    EXPECT_EQ(prompter.confirmed.size(), 2);
    sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x1A);
    ASSERT_EQ(sent[0].data.size(), 36u);
    EXPECT_EQ(Bytes(sent[0].data.begin(), sent[0].data.begin() + 8),
              (Bytes{0x00, 0x00, 0x27, 0x10, 0x00, 0x00, 0x02, 0x00}));
    EXPECT_EQ(Bytes(sent[0].data.end() - 4, sent[0].data.end()),
              (Bytes{0x00, 0x00, 0x11, 0x70}));  // 70000 & 0xFFFF = 4464
}

// Values the drive sent above the field's limit go back exactly as read,
// also after the focus passed through their fields; only typing limits them.
TEST_F(TechServiceTest, CalibrationSendsUneditedValuesAsRead) {
    testkit::ScriptedPrompter prompter;  // Send asks first; it answers yes
    m_page.showPanel(CTechServicePage::kCalibration);
    TakeRequests();
    Bytes reply;
    for (std::uint32_t value : {70000u, 10001u, 0xFFFFFFFFu, 5u, 70000u, 6u, 7u, 8u, 9u})
        reply.insert(reply.end(), {std::uint8_t(value >> 24), std::uint8_t(value >> 16),
                                   std::uint8_t(value >> 8), std::uint8_t(value)});
    PostReply(0x5D, reply);
    DeliverReply(m_page);
    emit child<StepEdit>("cal_calain1")->editingFinished();  // tabbed through
    typeAndLeave(child<StepEdit>("cal_caluwb"), "70000");
    child<QPushButton>("calibrationSendButton")->click();
    const auto sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected = reply;
    const Bytes limited{0x00, 0x00, 0x11, 0x70};  // typed 70000 -> 4464
    std::copy(limited.begin(), limited.end(), expected.begin() + 16);
    EXPECT_EQ(sent[0].data, expected);
}

// Inverter values arrive every cycle and show unsigned (FF FE is 65534).
TEST_F(TechServiceTest, InverterValuesShowUnsigned) {
    m_page.showPanel(CTechServicePage::kInverterValues);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::InverterValues}));
    Bytes reply(20, 0);
    reply[0] = 0xFF;
    reply[1] = 0xFE;
    reply[19] = 7;
    PostReply(0x5E, reply);
    DeliverReply(m_page);
    EXPECT_EQ(child<QLineEdit>("abparfrsollValue")->text(), "65534");
    EXPECT_EQ(child<QLineEdit>("abiyspreglValue")->text(), "7");
    // A reply of another panel's command changes nothing here.
    PostReply(0x5C, {0, 0, 0, 1});
    DeliverReply(m_page);
    EXPECT_EQ(child<QLineEdit>("abparfrsollValue")->text(), "65534");
}

Bytes Group5A(std::uint32_t serial, std::uint16_t inverterType = 7302) {
    return Bytes{1,
                 2,
                 3,
                 4,
                 5,
                 std::uint8_t(inverterType >> 8),
                 std::uint8_t(inverterType),
                 0,
                 0,
                 std::uint8_t(serial >> 24),
                 std::uint8_t(serial >> 16),
                 std::uint8_t(serial >> 8),
                 std::uint8_t(serial)};
}

// The serial number comes from the 0x5A group reply (parameter 39) and is
// written as 32 bits, high byte first.
TEST_F(TechServiceTest, SerialNumberShownFromGroupAndWritten) {
    testkit::ScriptedPrompter prompter;
    m_page.showPanel(CTechServicePage::kSerialNumber);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::SerialNumber}));
    auto sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data, Bytes{0x5A});
    auto* field = child<QLineEdit>("serialNumberEdit");
    storeGroup(0x5A, Group5A(3000000000u));
    EXPECT_EQ(field->text(), "3000000000");

    // The user types; a repeated reply with the same number leaves the typing alone.
    field->setText("12345");
    storeGroup(0x5A, Group5A(3000000000u));
    EXPECT_EQ(field->text(), "12345");

    child<QPushButton>("serialSendButton")->click();
    sent = TakeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x1C);
    EXPECT_EQ(sent[0].data, (Bytes{0x00, 0x00, 0x30, 0x39}));

    // A 0x5A that reaches the page's single-reply handler is shown and stored too.
    PostReply(0x5A, Group5A(77));
    DeliverReply(m_page);
    EXPECT_EQ(field->text(), "77");
    EXPECT_EQ(m_drive.data.Image(model::param::kSerialNumber), 77u);
}

struct SerialTyped {
    const char* typed;
    bool accepted;
};
class SerialNumberInputTest : public TechServiceTest,
                              public ::testing::WithParamInterface<SerialTyped> {};

// "SN-4711" once wrote serial 0: text and numbers past 32 bits are refused
// with a message and nothing is sent; a valid number is asked about first.
TEST_P(SerialNumberInputTest, OnlyANumberInRangeIsWritten) {
    testkit::ShippedCatalog texts;
    testkit::ScriptedPrompter prompter;
    m_page.showPanel(CTechServicePage::kSerialNumber);
    TakeRequests();
    child<QLineEdit>("serialNumberEdit")->setText(QString::fromUtf8(GetParam().typed));
    prompter.confirmAnswers = {false};
    child<QPushButton>("serialSendButton")->click();
    EXPECT_TRUE(TakeRequests().empty());
    child<QPushButton>("serialSendButton")->click();
    const auto sent = TakeRequests();
    if (!GetParam().accepted) {
        EXPECT_TRUE(sent.empty());
        ASSERT_EQ(prompter.informed.size(), 2);
        EXPECT_EQ(
            prompter.informed[0],
            "The serial number must be a whole number from 0 to 4294967295. Nothing was sent.");
        EXPECT_TRUE(prompter.confirmed.isEmpty());
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x1C);
    EXPECT_EQ(prompter.confirmed.size(), 2);
    EXPECT_TRUE(prompter.confirmed[0].contains(child<QLineEdit>("serialNumberEdit")->text()));
    EXPECT_TRUE(prompter.informed.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Inputs, SerialNumberInputTest,
                         ::testing::Values(SerialTyped{"SN-4711", false}, SerialTyped{"", false},
                                           SerialTyped{"12a", false}, SerialTyped{"-1", false},
                                           SerialTyped{"4294967296", false},
                                           SerialTyped{"99999999999999999999", false},
                                           SerialTyped{"4294967295", true},
                                           SerialTyped{" 4711 ", true}, SerialTyped{"0", true}));

class TestOperationTest : public TechServiceTest,
                          public ::testing::WithParamInterface<std::pair<std::uint16_t, float>> {};

// Opening: mode 13, defaults, reads, EnterTestOperation and the tab lock;
// the current limit follows the inverter type; leaving undoes it all.
TEST_P(TestOperationTest, CurrentLimitsByInverterType) {
    const auto [inverterType, maxCurrent] = GetParam();
    model::DriveData& data = m_drive.data;
    storeGroup(0x5A, Group5A(1, inverterType));
    Bytes group51(28, 0);
    group51[4] = 0x04;  // parameter 44: 1200 -> 12.00 A
    group51[5] = 0xB0;
    storeGroup(0x51, group51);
    TakeRequests();

    m_page.showPanel(CTechServicePage::kTestOperation);
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::TestOperation}));
    EXPECT_EQ(child<StepEdit>("testFrequencyEdit")->fieldText(), "500");
    EXPECT_EQ(child<StepEdit>("testVoltageEdit")->fieldText(), "20");
    auto sent = TakeRequests();
    ASSERT_EQ(Commands(sent), (std::vector<int>{0xCF, 0xCF, 0xAA}));
    EXPECT_EQ(sent[0].data, Bytes{0x51});
    EXPECT_EQ(sent[1].data, Bytes{0x5A});
    ASSERT_FALSE(m_frame.messages().empty());
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::TabLock{true}});

    // The first group reply sets the limits and writes the (limited) current.
    storeGroup(0x59, Bytes(27, 0));
    EXPECT_FLOAT_EQ(m_page.testOperationPanel()->maxCurrent(), maxCurrent);
    auto* current = child<StepEdit>("testCurrentEdit");
    const QString shownAtLimit = maxCurrent < 12.0f ? "8.0" : "12.0";
    EXPECT_EQ(current->fieldText(), shownAtLimit);
    sent = TakeRequests();
    ASSERT_EQ(Commands(sent), std::vector<int>{0x11});
    ASSERT_EQ(sent[0].data.size(), 28u);
    const unsigned written = std::min(1200u, unsigned(maxCurrent * 100));
    EXPECT_EQ(sent[0].data[4], written >> 8);  // parameter 44, hundredths of an ampere
    EXPECT_EQ(sent[0].data[5], written & 0xFF);
    typeAndLeave(current, "99");
    EXPECT_EQ(current->fieldText(), QString::number(maxCurrent, 'f', 1));
    EXPECT_EQ(data.Working(model::param::kMaxCurrent), std::uint32_t(maxCurrent * 100));
    current->stepBy(1);
    EXPECT_EQ(current->fieldText(), QString::number(maxCurrent, 'f', 1));
    current->stepBy(-1);
    EXPECT_EQ(current->fieldText(), QString::number(maxCurrent - 0.1f, 'f', 1));
    typeAndLeave(current, "0");
    current->stepBy(-1);
    EXPECT_EQ(current->fieldText(), "0.0");
    // Every accepted current is written at once.
    EXPECT_EQ(Commands(TakeRequests()), (std::vector<int>{0x11, 0x11, 0x11, 0x11, 0x11}));

    m_frame.clear();
    m_page.backToMenu();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::TechPage}));
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{0xAB});
    EXPECT_EQ(m_frame.messages(), std::vector<shell::FrameMessage>{shell::TabLock{false}});
}
INSTANTIATE_TEST_SUITE_P(InverterTypes, TestOperationTest,
                         ::testing::Values(std::make_pair(std::uint16_t{7301}, 8.0f),
                                           std::make_pair(std::uint16_t{7302}, 16.0f),
                                           std::make_pair(std::uint16_t{0}, 16.0f)));

// The test operation's frequency keeps to 30..4000 Hz, typed or stepped, and
// its voltage to at most 70 V.
TEST_F(TechServiceTest, TestOperationClampsFrequencyAndVoltage) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    storeGroup(0x59, Bytes(27, 0));
    TakeRequests();
    auto* frequency = child<StepEdit>("testFrequencyEdit");
    auto* voltage = child<StepEdit>("testVoltageEdit");
    typeAndLeave(frequency, "10");
    EXPECT_EQ(frequency->fieldText(), "30");
    frequency->stepBy(-1);
    EXPECT_EQ(frequency->fieldText(), "30");
    typeAndLeave(frequency, "4000");
    frequency->stepBy(1);
    EXPECT_EQ(frequency->fieldText(), "4000");
    typeAndLeave(voltage, "90");
    EXPECT_EQ(voltage->fieldText(), "70");
    m_page.backToMenu();
}

// Start with 2.5 A, 500 Hz and 20 V sends 00 FA 01 F4 07 D0, then StartMotor;
// stop sends StopMotor.
TEST_F(TechServiceTest, StartAndStopTelegrams) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    storeGroup(0x59, Bytes(27, 0));
    TakeRequests();
    typeAndLeave(child<StepEdit>("testCurrentEdit"), "2.5");
    child<StepEdit>("testFrequencyEdit")->setFieldText("500");
    child<StepEdit>("testVoltageEdit")->setFieldText("20");
    TakeRequests();
    QTest::mouseClick(child<shell::RoundButton>("testStartButton"), Qt::LeftButton);
    auto sent = TakeRequests();
    ASSERT_EQ(Commands(sent), (std::vector<int>{0x1B, 0xA0}));
    EXPECT_EQ(sent[0].data, (Bytes{0x00, 0xFA, 0x01, 0xF4, 0x07, 0xD0}));
    QTest::mouseClick(child<shell::RoundButton>("testStopButton"), Qt::LeftButton);
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{0xA1});
    m_page.backToMenu();
}

// The test operation shows the motor temperature from the sensor state's third
// value, in tenths of a degree.
TEST_F(TechServiceTest, TestOperationShowsTheMotorTemperature) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    TakeRequests();
    PostReply(0x5B, {0, 0, 0, 0, 0, 0, 0x01, 0x01, 0, 0});
    DeliverReply(m_page);
    EXPECT_EQ(child<QLineEdit>("testTemperature")->text(), "25.7");
    m_page.backToMenu();
}

// Showing the page again repeats the open panel's row; the test operation is
// re-entered without a new tab lock or new defaults.
TEST_F(TechServiceTest, PageShownAgainRepeatsThePanelRow) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    TakeRequests();
    TakePollModes();
    m_frame.clear();
    m_page.hide();
    EXPECT_TRUE(TakeRequests().empty());  // a hidden page does not end the test operation
    m_page.show();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::TechPage, PollMode::TestOperation}));
    const auto sent = TakeRequests();
    ASSERT_EQ(Commands(sent), (std::vector<int>{0xCF, 0xAA}));
    EXPECT_EQ(sent[0].data, Bytes{0x51});
    EXPECT_TRUE(m_frame.messages().empty());
    m_page.backToMenu();
    TakeRequests();

    m_page.showPanel(CTechServicePage::kCalibration);
    TakeRequests();
    TakePollModes();
    m_page.hide();
    m_page.show();
    EXPECT_EQ(TakePollModes(), PollModes({PollMode::TechPage, PollMode::Calibration}));
    EXPECT_EQ(TakeRequests()[0].data, Bytes{0x5D});
    m_page.backToMenu();
}

// Operation not allowed disables buttons 1, 2, 3 and 5 only; close asks the
// main window to remove the page.
TEST_F(TechServiceTest, EnablingAndClose) {
    m_page.operationNotAllowed();
    const char* disabled[] = {"resetEepromButton", "modifyEepromButton", "modifyCalValuesButton",
                              "testOperationButton"};
    const char* enabled[] = {"intInverterValuesButton", "modifySerialNumberButton",
                             "closeTechServiceButton"};
    for (const char* name : disabled) EXPECT_FALSE(child<QPushButton>(name)->isEnabled()) << name;
    for (const char* name : enabled) EXPECT_TRUE(child<QPushButton>(name)->isEnabled()) << name;
    m_page.operationAllowed();
    for (const char* name : disabled) EXPECT_TRUE(child<QPushButton>(name)->isEnabled()) << name;

    child<QPushButton>("closeTechServiceButton")->click();
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::TechPageVisibility{false}});
}

// Switching straight from one panel to another leaves the first (test
// operation ends) so at most one panel is open.
TEST_F(TechServiceTest, OnePanelAtATime) {
    m_page.showPanel(CTechServicePage::kTestOperation);
    TakeRequests();
    m_page.showPanel(CTechServicePage::kMemory);
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{0xAB});
    EXPECT_FALSE(m_page.testOperationPanel()->isVisible());
    EXPECT_TRUE(m_page.memoryPanel()->isVisible());
    m_page.backToMenu();
    EXPECT_TRUE(child<QPushButton>("resetEepromButton")->isVisible());
    EXPECT_FALSE(child<QPushButton>("techServiceBackButton")->isVisible());
}

}  // namespace
}  // namespace velmora::pages
