#include "pages/control/controlpolicy.h"

#include <gtest/gtest.h>

#include "pages/common/numbertext.h"

namespace velmora::pages {
namespace {

struct SpinCase {
    std::uint32_t v;
    int delta;
    std::uint32_t expected;
};

class SpinStep : public ::testing::TestWithParam<SpinCase> {};

// Fault prevented: a spin step leaving the drive's speed limits, or stepping
// down from 0 wrapping to the top of the range.
TEST_P(SpinStep, StaysInsideTheLimits) {
    const SpinCase c = GetParam();
    EXPECT_EQ(SpinStepSpeed(c.v, c.delta, 30, 1000), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Limits, SpinStep,
                         ::testing::Values(SpinCase{1000, 1, 1000}, SpinCase{30, -1, 30},
                                           SpinCase{10, 1, 30}, SpinCase{0, -1, 30},
                                           SpinCase{5000, -1, 1000}, SpinCase{500, 1, 501},
                                           SpinCase{500, -1, 499}, SpinCase{500, 0, 499},
                                           SpinCase{UINT32_MAX, 1, 1000}),
                         [](const auto& info) {
                             return "From" + std::to_string(info.param.v) +
                                    (info.param.delta > 0   ? "Up"
                                     : info.param.delta < 0 ? "Down"
                                                            : "ByZero");
                         });

// Fault prevented: the enabling rules of p7/p140 drifting from each other.
TEST(ControlSource, EnablesButtonsAndListsAsTheSourcesSay) {
    EXPECT_EQ(ControlSourceChosen(0, 1).buttonsEnabled, true);
    EXPECT_EQ(ControlSourceChosen(0, 1).remoteListsEnabled, false);
    EXPECT_EQ(ControlSourceChosen(1, 0).buttonsEnabled, true);
    EXPECT_EQ(ControlSourceChosen(1, 1).buttonsEnabled, false);
    EXPECT_EQ(ControlSourceChosen(1, -1).buttonsEnabled, std::nullopt);
    EXPECT_EQ(ControlSourceChosen(1, 1).remoteListsEnabled, true);
    EXPECT_EQ(ControlSourceChosen(-1, 1).buttonsEnabled, std::nullopt);
    EXPECT_EQ(ControlSourceChosen(-1, 1).remoteListsEnabled, std::nullopt);
    EXPECT_EQ(StartSourceChosen(0), true);
    EXPECT_EQ(StartSourceChosen(1), false);
    EXPECT_EQ(StartSourceChosen(2), std::nullopt);
}

// Fault prevented: wrong names for the drive model, motor models and slots.
TEST(ControlNames, MapCodesAndIndicesToKeys) {
    EXPECT_STREQ(InverterTypeKey(7301), "inv01");
    EXPECT_STREQ(InverterTypeKey(7302), "inv02");
    EXPECT_STREQ(InverterTypeKey(7303), "undef");
    EXPECT_STREQ(MotorModelKey(0), "typem01ac");
    EXPECT_STREQ(MotorModelKey(7), "typem09ac");
    EXPECT_STREQ(MotorModelKey(14), "typem08ac");
    EXPECT_STREQ(MotorModelKey(15), "nochoice");
    EXPECT_STREQ(MotorModelKey(-1), "nochoice");
    EXPECT_EQ(MemorySlotKey(0), "m1");
    EXPECT_EQ(MemorySlotKey(31), "m32");
    EXPECT_EQ(MemorySlotKey(32), "");
    EXPECT_EQ(MemorySlotKey(-1), "");
}

// Fault prevented: typed numbers read through the C locale, wrapping negative
// input to a huge speed, or garbage reaching the drive as anything but 0.
TEST(NumberText, ReadsLikeScanfWithoutLocaleOrWrapping) {
    EXPECT_EQ(ParseUnsigned(std::string_view("  1500rpm")), 1500u);
    EXPECT_EQ(ParseUnsigned(std::string_view("abc")), 0u);
    EXPECT_EQ(ParseUnsigned(std::string_view("-5")), 0u);
    EXPECT_EQ(ParseUnsigned(std::string_view("+7")), 7u);
    EXPECT_EQ(ParseUnsigned(std::string_view("99999999999")), UINT32_MAX);
    EXPECT_EQ(ParseUnsigned(std::string_view("")), 0u);
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("2.5A")), 2.5f);
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("1,5")), 1.0f);
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("nan")), 0.0f);
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("1e999")), 0.0f);
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("FILE_ERROR")), 0.0f);
    // Beyond single precision is unusable for a drive field, not infinity.
    EXPECT_FLOAT_EQ(ParseReal(std::string_view("1e300")), 0.0f);
    EXPECT_DOUBLE_EQ(ParseDouble(std::string_view("1e300")), 1e300);
    EXPECT_EQ(ParseUnsigned(std::string_view("\r\n\t 42")), 42u);  // as "%u" skips
    EXPECT_EQ(FormatFixed(2.0, 2), "2.00");
    EXPECT_EQ(FormatFixed(1.23001, 2), "1.23");
}

}  // namespace
}  // namespace velmora::pages
