#include "pages/techservice/fieldrules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "pages/common/accesscode.h"

namespace velmora::pages::techservice {
namespace {

struct AccessCase {
    const char* input;
    bool granted;
};
class AccessCode : public ::testing::TestWithParam<AccessCase> {};

// Any near miss (case, padding, prefix) must keep the technician page closed.
TEST_P(AccessCode, OnlyTheExactTextOpens) {
    EXPECT_EQ(IsAccessCode(GetParam().input), GetParam().granted) << GetParam().input;
}
INSTANTIATE_TEST_SUITE_P(
    Inputs, AccessCode,
    ::testing::Values(AccessCase{"t@rn5582", true}, AccessCase{"T@rn5582", false},
                      AccessCase{"t@RN5582", false}, AccessCase{"t@rN5582", false},
                      AccessCase{"t@rn5582 ", false}, AccessCase{" t@rn5582", false},
                      AccessCase{"t@rn558", false}, AccessCase{"t@rn55822", false},
                      AccessCase{"", false}));

struct BoundCase {
    std::uint32_t in;
    std::uint32_t out;
};

class AddressCommit : public ::testing::TestWithParam<BoundCase> {};
// An address past the memory or wrapped past 16 bits must never reach a telegram.
TEST_P(AddressCommit, KeepsLow16BitsThenLimits) {
    EXPECT_EQ(CommitLow16(GetParam().in, kMaxMemoryAddress), GetParam().out) << GetParam().in;
}
INSTANTIATE_TEST_SUITE_P(
    Values, AddressCommit,
    ::testing::Values(BoundCase{0, 0}, BoundCase{8190, 8190}, BoundCase{8191, 8190},
                      BoundCase{65535, 8190}, BoundCase{65536, 0}, BoundCase{65536 + 100, 100},
                      BoundCase{65536 + 9000, 8190},
                      BoundCase{std::numeric_limits<std::uint32_t>::max(), 8190}));

struct StepCase {
    std::uint32_t in;
    int direction;
    std::uint32_t out;
};

class AddressStep : public ::testing::TestWithParam<StepCase> {};
// The up-down arrows must stop at both ends and pull a far-off value back in.
TEST_P(AddressStep, StaysWithinTheMemory) {
    const auto& c = GetParam();
    EXPECT_EQ(StepBounded(c.in, c.direction, kMaxMemoryAddress), c.out)
        << c.in << " " << c.direction;
}
INSTANTIATE_TEST_SUITE_P(Values, AddressStep,
                         ::testing::Values(StepCase{0, +1, 1}, StepCase{8189, +1, 8190},
                                           StepCase{8190, +1, 8190}, StepCase{9000, +1, 8190},
                                           StepCase{0, -1, 0}, StepCase{1, -1, 0},
                                           StepCase{8191, -1, 8190}, StepCase{9000, -1, 8190},
                                           StepCase{8190, -1, 8189}));

class CalibrationRule : public ::testing::TestWithParam<StepCase> {};
// 10000 stays 10000 on "up" and 0 stays 0 on "down"; larger input is limited.
TEST_P(CalibrationRule, StepsWithinTheRange) {
    const auto& c = GetParam();
    EXPECT_EQ(StepBounded(c.in, c.direction, kMaxCalibration), c.out);
}
INSTANTIATE_TEST_SUITE_P(Values, CalibrationRule,
                         ::testing::Values(StepCase{10000, +1, 10000}, StepCase{9999, +1, 10000},
                                           StepCase{0, -1, 0}, StepCase{10001, -1, 10000},
                                           StepCase{50000, -1, 10000}, StepCase{5, +1, 6}));

TEST(CalibrationRule, CommitLimitsTo10000) {
    EXPECT_EQ(CommitLow16(10000, kMaxCalibration), 10000u);
    EXPECT_EQ(CommitLow16(10001, kMaxCalibration), 10000u);
    EXPECT_EQ(CommitLow16(65536 + 7, kMaxCalibration), 7u);
}

class FrequencyRule : public ::testing::TestWithParam<StepCase> {};
// The test frequency must stay inside 30..4000 Hz whatever the field held.
TEST_P(FrequencyRule, StepsWithinTheRange) {
    const auto& c = GetParam();
    EXPECT_EQ(StepFrequency(c.in, c.direction), c.out) << c.in << " " << c.direction;
}
INSTANTIATE_TEST_SUITE_P(Values, FrequencyRule,
                         ::testing::Values(StepCase{30, -1, 30}, StepCase{31, -1, 30},
                                           StepCase{4000, +1, 4000}, StepCase{3999, +1, 4000},
                                           StepCase{0, -1, 4000}, StepCase{4001, -1, 4000},
                                           StepCase{5000, -1, 4000}, StepCase{10, +1, 30},
                                           StepCase{0, +1, 30}, StepCase{500, +1, 501},
                                           StepCase{500, -1, 499}));

TEST(FrequencyRule, CommitHoldsTheRange) {
    EXPECT_EQ(CommitFrequency(10), 30u);
    EXPECT_EQ(CommitFrequency(0), 30u);
    EXPECT_EQ(CommitFrequency(4001), 4000u);
    EXPECT_EQ(CommitFrequency(500), 500u);
}

TEST(VoltageRule, StepsAndCommitHoldZeroTo70) {
    EXPECT_EQ(StepBounded(70, +1, kMaxTestVoltage), 70u);
    EXPECT_EQ(StepBounded(69, +1, kMaxTestVoltage), 70u);
    EXPECT_EQ(StepBounded(100, -1, kMaxTestVoltage), 70u);
    EXPECT_EQ(StepBounded(0, -1, kMaxTestVoltage), 0u);
    EXPECT_EQ(CommitLow16(71, kMaxTestVoltage), 70u);
    EXPECT_EQ(CommitLow16(65536 + 20, kMaxTestVoltage), 20u);
}

// The inv01 model takes at most 8 A; every other code allows 16 A.
TEST(CurrentRule, LimitsFollowTheInverterType) {
    EXPECT_FLOAT_EQ(MaxTestCurrent(7301), 8.0f);
    EXPECT_FLOAT_EQ(MaxTestCurrent(7302), 16.0f);
    EXPECT_FLOAT_EQ(MaxTestCurrent(0), 16.0f);
    EXPECT_FLOAT_EQ(StepCurrent(8.0f, +1, 0.0f, 8.0f), 8.0f);
    EXPECT_FLOAT_EQ(StepCurrent(12.0f, -1, 0.0f, 8.0f), 7.9f);
    EXPECT_FLOAT_EQ(StepCurrent(0.0f, -1, 0.0f, 8.0f), 0.0f);
    EXPECT_NEAR(StepCurrent(2.5f, +1, 0.0f, 16.0f), 2.6f, 1e-5);
    EXPECT_FLOAT_EQ(ClampCurrent(-3.0f, 0.0f, 16.0f), 0.0f);
    EXPECT_FLOAT_EQ(ClampCurrent(std::numeric_limits<float>::quiet_NaN(), 0.0f, 16.0f), 0.0f);
}

// The start telegram's values: hundredths rounded half up, each held to its range.
TEST(StartRule, ValuesAreRoundedAndHeldToTheirFields) {
    TestValues v = StartValues(2.5f, 0.0f, 16.0f, 500, 20.0f);
    EXPECT_EQ(v.current, 250);
    EXPECT_EQ(v.frequency, 500);
    EXPECT_EQ(v.voltage, 2000);
    v = StartValues(20.0f, 0.0f, 8.0f, 10, 100.0f);
    EXPECT_EQ(v.current, 800);
    EXPECT_EQ(v.frequency, 30);
    EXPECT_EQ(v.voltage, 7000);
    v = StartValues(-1.0f, 0.0f, 8.0f, 70000, -5.0f);
    EXPECT_EQ(v.current, 0);
    EXPECT_EQ(v.frequency, 4000);
    EXPECT_EQ(v.voltage, 0);
    EXPECT_EQ(Hundredths(0.005), 1);
    EXPECT_EQ(Hundredths(1e9), 65535);
    EXPECT_EQ(Hundredths(-0.4), 0);
}

TEST(SensorRule, TemperatureInTenths) {
    EXPECT_NEAR(TemperatureCelsius(253), 25.301, 1e-9);
    EXPECT_NEAR(TemperatureCelsius(0), 0.001, 1e-9);
}

}  // namespace
}  // namespace velmora::pages::techservice
