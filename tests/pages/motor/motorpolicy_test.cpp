#include "pages/motor/motorpolicy.h"

#include <gtest/gtest.h>

#include "model/numberparse.h"
#include "pages/motor/motorview.h"

namespace velmora::pages {
namespace {

using model::FormatFixed;

constexpr double kRefused = -1;  // no row stores a negative value

struct SpinCase {
    NumberSpec spec;
    const char* text;
    bool rpm;
    int direction;
    double expected;
};

class SpinStepTest : public ::testing::TestWithParam<SpinCase> {};

// A step that leaves the range, or moves in display units instead of Hz,
// stores a value the drive rejects or the user did not ask for.
TEST_P(SpinStepTest, StepsFromTheTextAndClampsToTheSpinRange) {
    const SpinCase c = GetParam();
    EXPECT_NEAR(SpinValue(c.spec, c.text, c.rpm, c.direction).value_or(kRefused), c.expected, 1e-9)
        << c.text << " dir " << c.direction;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpinStepTest,
    ::testing::Values(SpinCase{FrequencyRow(91, 30, 4000), "100", false, 1, 101},
                      SpinCase{FrequencyRow(91, 30, 4000), "6000", true, 1,
                               101},                                              // 60 rpm per step
                      SpinCase{FrequencyRow(91, 30, 4000), "30", false, -1, 30},  // lowest stays
                      SpinCase{FrequencyRow(91, 30, 4000), "4000", false, 1, 4000},
                      SpinCase{FrequencyRow(91, 30, 4000), "0", false, -1, 30},  // below the range
                      SpinCase{FrequencyRow(91, 30, 4000), "9999", false, 1, 4000},
                      SpinCase{FrequencyRow(91, 30, 4000), "-5", false, 1, kRefused},
                      SpinCase{RampRow(46), "0", false, 1, 0.5},  // typed 0, spin from 0.5
                      SpinCase{RampRow(46), "0.6", false, -1, 0.5},
                      SpinCase{RampRow(46), "abc", false, -1, kRefused},
                      SpinCase{RealRow(71, 0.01, 0, 10, "vpera", 2), "0.05", false, 1, 0.06},
                      SpinCase{IntegerRow(54, 200, 1000, "usec"), "1000", false, 1, 1000}));

struct CommitCase {
    NumberSpec spec;
    const char* text;
    bool rpm;
    double expected;
};

class CommitTest : public ::testing::TestWithParam<CommitCase> {};

// Typed numbers are clamped; a text that is no number is refused.
TEST_P(CommitTest, ParsesAndClampsToTheTypedRange) {
    const CommitCase c = GetParam();
    EXPECT_NEAR(CommitValue(c.spec, c.text, c.rpm).value_or(kRefused), c.expected, 1e-9) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommitTest,
    ::testing::Values(CommitCase{FrequencyRow(61, 30, 4000), "5000", false, 4000},
                      CommitCase{FrequencyRow(61, 30, 4000), "1900", true, 31},
                      CommitCase{FrequencyRow(61, 30, 4000), "", false, kRefused},
                      CommitCase{FrequencyRow(61, 30, 4000), "  250 Hz", false, kRefused},
                      CommitCase{FrequencyRow(61, 30, 4000), "99999999999", false, 4000},
                      CommitCase{RampRow(46), "0", false, 0},
                      CommitCase{RealRow(92, 0.1, 0, 50, "v"), "12.34", false, 12.34},
                      CommitCase{RealRow(92, 0.1, 0, 50, "v"), "1e9", false, 50},
                      CommitCase{RealRow(92, 0.1, 0, 50, "v"), "nan", false, kRefused},
                      CommitCase{RealRow(92, 0.1, 0, 50, "v"), "-3", false, 0},
                      CommitCase{RealRow(93, 0.1, 0.5, 8, "a"), "12", false, 8}));

// A fixed frequency between p41 and a smaller p42 must not hit undefined
// clamping; it lands on p41.
TEST(ClampTest, CrossedRangeCollapsesOntoItsLowerEnd) {
    EXPECT_EQ(ClampToRange(500, {100, 50}), 100);
    EXPECT_EQ(ClampToRange(10, {100, 50}), 100);
}

// The current limit must follow the inverter, with each panel's own fallback.
TEST(MaxCurrentTest, ByInverterTypeAndPanel) {
    struct Case {
        CurrentPanel panel;
        std::uint32_t type;
        double imax;
    };
    const Case cases[] = {
        {CurrentPanel::RatedValue, 7301, 8},    {CurrentPanel::RatedValue, 7302, 16},
        {CurrentPanel::RatedValue, 0, 16},      {CurrentPanel::Asynchronous, 7301, 8},
        {CurrentPanel::Asynchronous, 7302, 16}, {CurrentPanel::Asynchronous, 1234, 8},
        {CurrentPanel::Bldc, 7301, 8},          {CurrentPanel::Bldc, 7302, 16},
        {CurrentPanel::Bldc, 0xFFFFFFFF, 16},
    };
    for (const Case& c : cases) EXPECT_EQ(MaxCurrent(c.panel, c.type), c.imax) << c.type;
}

// The special-value lists must recognise the drive's marker values.
TEST(SpecialValueTest, StopRampHoldTimeAndFollowRules) {
    EXPECT_EQ(ClassifyStopRamp(0.0, 5.0), StopRampEntry::DcBrake);
    EXPECT_EQ(ClassifyStopRamp(0.3, 0.3), StopRampEntry::DcBrake);  // DC brake wins
    EXPECT_EQ(ClassifyStopRamp(5.0, 5.0), StopRampEntry::FallTime);
    EXPECT_EQ(ClassifyStopRamp(2.0, 5.0), StopRampEntry::Choose);
    EXPECT_EQ(ClassifyStopRamp(0.31, 5.0), StopRampEntry::Choose);
    EXPECT_TRUE(HoldTimeOff(0.0));
    EXPECT_TRUE(HoldTimeOff(0.4));
    EXPECT_FALSE(HoldTimeOff(0.5));
    EXPECT_FALSE(HoldTimeOff(0.41));
    EXPECT_FALSE(MaxFrequencyChosen(0, 300, 200));
    EXPECT_FALSE(MaxFrequencyChosen(2, 200, 200));
    EXPECT_TRUE(MaxFrequencyChosen(2, 300, 200));
    EXPECT_FALSE(MaxCurrentChosen(1, 12.0, 8.0));
    EXPECT_TRUE(MaxCurrentChosen(1, 12.01, 8.0));
    EXPECT_FALSE(MaxCurrentChosen(0, 3.0, 8.0));
    EXPECT_TRUE(ValueChosen(0.001, 0.001));
    EXPECT_FALSE(ValueChosen(0.0099, 0.01));
}

TEST(MotorViewTest, LayoutOfEachMotorType) {
    EXPECT_FALSE(LayoutForMotorType(-1).changes);
    EXPECT_FALSE(LayoutForMotorType(5).changes);
    EXPECT_TRUE(LayoutForMotorType(1).characteristicButton);
    EXPECT_FALSE(LayoutForMotorType(2).characteristicButton);
    EXPECT_EQ(LayoutForMotorType(3).asynchronousControlRows, false);
    EXPECT_FALSE(LayoutForMotorType(4).asynchronousControlRows.has_value());
    EXPECT_EQ(LayoutForMotorType(4).view, MotorView::TestOperation);
}

TEST(PolicyTest, ActionListsUnitsAndFirmware) {
    EXPECT_TRUE(ListsForAction(0).motorModels);
    EXPECT_TRUE(ListsForAction(3).memorySlots);
    EXPECT_FALSE(ListsForAction(4).memorySlots);
    EXPECT_FALSE(ListsForAction(-1).motorModels);
    EXPECT_STREQ(FrequencyUnitKey(0), "hz");
    EXPECT_STREQ(FrequencyUnitKey(1), "rpm");
    EXPECT_EQ(FrequencyUnitKey(7), nullptr);
    EXPECT_TRUE(RpmDisplay(7));
    EXPECT_FALSE(KeepsLastMotorModel(3.07));
    EXPECT_FALSE(KeepsLastMotorModel(3.075));
    EXPECT_TRUE(KeepsLastMotorModel(3.08));
    EXPECT_EQ(FormatFixed(1.25001, 1), "1.3");
    EXPECT_EQ(FormatFixed(0.05001, 2), "0.05");
}

}  // namespace
}  // namespace velmora::pages
