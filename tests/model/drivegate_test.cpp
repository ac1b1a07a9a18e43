#include "model/drivegate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/motorparameterfile.h"
#include "model/parameterfilecheck.h"
#include "model/parameters.h"
#include "tests/support/drivestatus.h"
#include "tests/support/tempfolder.h"

namespace velmora::model {
namespace {

namespace param = model::param;
using testkit::kStandingStatus;
using testkit::kTurningStatus;

using testkit::RecordingOutlet;

// A drive whose limits group was read: p41 30 Hz, p42 1500 Hz, type 7301 (8 A).
class DriveGateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gate().setOutlet(outlet);
        for (int p = 1; p <= kParameterCount; ++p) data.SetImage(p, 0);
        data.SetImage(param::kMinSpeed, 30);
        data.SetImage(param::kMaxSpeed, 1500);
        data.SetImage(param::kSetSpeed, 100);
        data.SetImage(param::kInverterType, 7301);
        data.SetImage(param::kRatedCurrent, 200);     // 2.00 A
        data.SetImage(param::kRotationDirection, 1);  // clockwise
        data.SetImage(param::kStartSource, 1);
        data.SetImage(param::kSetPointSource, 1);
        data.SetImage(param::kPoles, 2);
        data.SetImage(param::kMagnetisingCurrent, 50);
        data.SetImage(param::kRatedFrequency, 1000);
        data.TakeImage();
    }
    DriveGate& gate() { return data.gate(); }
    DriveData data;
    RecordingOutlet outlet;
};

TEST_F(DriveGateTest, ValuesOutsideTheirRuleAreRefusedBeforeAnythingIsSent) {
    gate().observeStatus(kStandingStatus);
    struct Case {
        int parameter;
        std::uint32_t word;
        int writeCommand;
        bool refused;
    } cases[] = {
        {param::kSetSpeed, 1501, 0x10, true},  // above this drive's p42
        {param::kSetSpeed, 1500, 0x10, false},
        {param::kSetSpeed, 29, 0x10, false},       // the drive runs at p41 then
        {param::kControlSource, 300, 0x10, true},  // no 8-bit field holds it
        {param::kControlSource, 2, 0x10, true},    // past the list
        {param::kControlSource, 1, 0x10, false},
        {param::kMaxSpeed, 9000, 0x11, true},
        {param::kMaxSpeed, 4000, 0x11, false},
        {param::kMaxSpeed, 99, 0x11, true},
        {param::kMaxCurrent, 801, 0x11, true},  // 8.01 A on an 8 A inverter
        {param::kMaxCurrent, 800, 0x11, false},
        {param::kStartUpTime, 4, 0x11, false},  // 0.4 s: the "off" marker
        {param::kStartUpTime, 3, 0x11, true},
        {78, 1000, 0x13, false},  // "no I part"
        {78, 1001, 0x13, true},
        {param::kPoles, 3, 0x15, true},  // no pole count
        {param::kPoles, 8, 0x15, false},
        {param::kRotationDirection, 0, 0x18, true},      // list coded from 1
        {param::kStopBelow, 0, 0x17, false},             // off
        {param::kSpeedAtMinSetPoint, 4000, 0x17, true},  // must stay below p42 (now 4000)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p" << c.parameter << " = " << c.word);
        outlet.sent.clear();
        data.TakeImage();
        data.SetWorking(c.parameter, c.word);
        const GateResult result = data.RequestGroup(0, c.writeCommand);
        EXPECT_EQ(result.has_value(), c.refused);
        EXPECT_EQ(outlet.sent.size(), c.refused ? 0u : 1u);
        if (c.refused) {
            ASSERT_EQ(result->values.size(), 1u);
            EXPECT_EQ(result->values[0].parameter, c.parameter);
            EXPECT_NE(result->describe().find("p" + std::to_string(c.parameter)),
                      std::string::npos);
            EXPECT_EQ(data.Image(c.parameter) == c.word, false) << "image must keep the drive's";
        }
        if (!c.refused) data.SetImage(c.parameter, c.word);
    }
}

TEST_F(DriveGateTest, RefusalNamesValueAndRange) {
    gate().observeStatus(kStandingStatus);
    data.SetWorking(param::kMaxSpeed, 9000);
    const GateResult result = data.RequestGroup(0, 0x11);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->describe(),
              "write group 0x51 refused: p42 = 9000 is outside the allowed 100 … 4000");
}

TEST_F(DriveGateTest, UnchangedValuesOutsideTheRulesStillTravelWithAChange) {
    // The drive may hold what the page would not allow; resending it is not a new risk.
    gate().observeStatus(kStandingStatus);
    data.SetImage(param::kSpeedAtMaxSetPoint, 4000);
    data.TakeImage();
    data.SetWorking(param::kRelayCurrent, 500);
    EXPECT_FALSE(data.RequestGroup(0, 0x17));
    ASSERT_EQ(outlet.sent.size(), 1u);
}

TEST_F(DriveGateTest, SettingsNeedAStandingMotorTheSetSpeedDoesNot) {
    std::vector<GateRefusal> told;
    gate().addRefusalListener([&](const GateRefusal& r) { told.push_back(r); });
    gate().observeStatus(kTurningStatus);
    data.SetWorking(param::kSetSpeed, 800);
    EXPECT_FALSE(data.RequestGroup(0, 0x10));
    data.SetWorking(param::kRotationDirection, 2);
    const GateResult reversed = data.RequestGroup(0, 0x18);
    ASSERT_TRUE(reversed);
    EXPECT_EQ(reversed->reason, GateRefusal::Reason::MotorTurning);
    for (int action : {code::LoadFactorySettings, code::EnterTestOperation}) {
        EXPECT_TRUE(gate().send(BuildAction(action)));
    }
    EXPECT_TRUE(gate().send(BuildAction(code::LoadMemorySlot, 5)));
    EXPECT_FALSE(gate().send(BuildAction(code::StopMotor)));
    EXPECT_FALSE(gate().send(BuildReadGroup(code::Group59)));
    EXPECT_EQ(told.size(), 4u);
    ASSERT_EQ(outlet.sent.size(), 3u);  // set speed, stop, read

    // A lost link forgets that the motor stood.
    gate().observeStatus(kStandingStatus);
    gate().observeLink(false);
    const GateResult unknown = data.RequestGroup(0, 0x18);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->reason, GateRefusal::Reason::StateUnknown);
}

TEST_F(DriveGateTest, AFirmwareTransferHoldsTheDriveAndItsPolling) {
    gate().observeStatus(kTurningStatus);
    EXPECT_TRUE(gate().beginTransfer());
    EXPECT_TRUE(gate().send(BuildAction(code::LoaderDone)));
    gate().observeStatus(kStandingStatus);
    ASSERT_FALSE(gate().beginTransfer());
    constexpr int kBlockRequest = static_cast<int>(link::PollMode::FirmwareBlockRequest);
    EXPECT_FALSE(gate().setTransferPollMode(kBlockRequest));
    const GateResult page = gate().setPollMode(link::PollMode::ActuatorTest);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->reason, GateRefusal::Reason::TransferHolds);
    EXPECT_TRUE(gate().send(BuildAction(code::ActuatorTest, 1)));
    EXPECT_FALSE(gate().send(BuildAction(code::LoaderDone)));
    EXPECT_EQ(outlet.modes, std::vector<int>{kBlockRequest});
    gate().endTransfer();
    EXPECT_FALSE(gate().setPollMode(link::PollMode::ActuatorTest));
    EXPECT_TRUE(gate().send(BuildAction(code::LoaderDone)));
}

// Catches a trend that samples only on pages polling the operating values,
// a page mode lost when sampling starts or ends, and a transfer's polling disturbed.
TEST_F(DriveGateTest, SamplingAddsTheOperatingValuesToThePagesMode) {
    constexpr int kMotor = static_cast<int>(link::PollMode::MotorPage);
    constexpr int kControl = static_cast<int>(link::PollMode::ControlPage);
    gate().setSampling(true);  // no page mode yet: nothing to send
    EXPECT_TRUE(outlet.modes.empty());
    EXPECT_FALSE(gate().setPollMode(link::PollMode::MotorPage));
    EXPECT_FALSE(gate().pagePolls(code::Group59));
    gate().setSampling(false);
    gate().observeStatus(kStandingStatus);
    ASSERT_FALSE(gate().beginTransfer());
    gate().setSampling(true);
    gate().endTransfer();
    EXPECT_FALSE(gate().setPollMode(link::PollMode::ControlPage));
    EXPECT_TRUE(gate().pagePolls(code::Group59));
    EXPECT_EQ(outlet.modes, (std::vector<int>{kMotor | link::kWithOperatingValues, kMotor,
                                              kControl | link::kWithOperatingValues}));
}

TEST_F(DriveGateTest, TestOperationSetsItsCurrentWhileTheMotorTurns) {
    gate().observeStatus(kStandingStatus);
    EXPECT_FALSE(gate().send(BuildAction(code::EnterTestOperation)));
    gate().observeStatus(kTurningStatus);
    data.SetWorking(param::kMaxCurrent, 300);
    EXPECT_FALSE(data.RequestGroup(0, 0x11));
    EXPECT_FALSE(gate().send(BuildTestOperationValues(1, 2, 3)));
    EXPECT_FALSE(gate().send(BuildAction(code::LeaveTestOperation)));
    EXPECT_TRUE(gate().send(BuildTestOperationValues(1, 2, 3)));
}

TEST_F(DriveGateTest, AFileIsCheckedWholeWithTheLimitsItBrings) {
    DriveData file = data;
    file.SetWorking(param::kMaxSpeed, 3000);
    file.SetWorking(param::kFixedFrequency1, 2500);  // fine under the file's own p42
    file.SetWorking(param::kFixedFrequency2, 3500);
    file.SetWorking(param::kControlSource, 0xFFFFFFFFu);
    file.SetImage(param::kControlSource, 0);
    const auto refusals = gate().checkValues(
        {param::kMaxSpeed, param::kFixedFrequency1, param::kFixedFrequency2, param::kControlSource},
        file);
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_EQ(refusals[0].parameter, param::kFixedFrequency2);
    EXPECT_TRUE(refusals[1].unread);
}

}  // namespace
}  // namespace velmora::model

namespace velmora::model {
namespace {

TEST_F(DriveGateTest, AFileImageWritesThroughTheDrivesGate) {
    DriveData file;
    file.useGate(gate());
    file.SetImage(param::kMaxSpeed, 1500);
    file.TakeImage();
    file.SetWorking(param::kMaxSpeed, 2000);
    EXPECT_EQ(file.RequestGroup(0, 0x11)->reason, GateRefusal::Reason::StateUnknown);
    gate().observeStatus(kStandingStatus);
    DriveData copy = file;  // a copy keeps writing through the drive's gate
    EXPECT_FALSE(copy.RequestGroup(0, 0x11));
    EXPECT_EQ(outlet.sent.size(), 1u);
}

TEST(ParameterFileCheck, AFileLackingKeysOrNumbersIsNamed) {
    testkit::TempFolder folder("filecheck");
    const auto motor = folder.path() / "m.vpm";
    testkit::WriteFile(motor, "[Velmora Motor]\np41=30\np42=9k\np44=2,5\n");
    const auto problems = MotorFileProblems(motor);
    EXPECT_EQ(problems.size(), MotorFileKeys().size() - 1);
    EXPECT_NE(std::find(problems.begin(), problems.end(), "p42 = \"9k\" is not a number"),
              problems.end());
    EXPECT_NE(std::find(problems.begin(), problems.end(), "p44 = \"2,5\" is not a number"),
              problems.end());
    EXPECT_NE(std::find(problems.begin(), problems.end(), "p90 is missing"), problems.end());
    EXPECT_EQ(RemoteFileProblems(folder.path() / "none.vpr"),
              std::vector<std::string>{"the file cannot be read"});
}

}  // namespace
}  // namespace velmora::model
