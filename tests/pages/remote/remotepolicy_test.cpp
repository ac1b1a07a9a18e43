#include "pages/remote/remotepolicy.h"

#include <gtest/gtest.h>

#include "platform/templatepath.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
using platform::ExecutableFolder;
using platform::FindTemplateFile;
namespace {

struct ClampCase {
    int parameter;
    std::uint32_t v;
    std::uint32_t expected;
};

class RemoteSpeedClamp : public ::testing::TestWithParam<ClampCase> {};

// Fault prevented: parameter 135 reaching speedMax (the drive needs it below
// the top of the range), or any remote speed leaving the drive's limits.
TEST_P(RemoteSpeedClamp, KeepsTheSpeedInItsRange) {
    const ClampCase c = GetParam();
    EXPECT_EQ(ClampRemoteSpeed(c.parameter, c.v, 30, 1000), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Ranges, RemoteSpeedClamp,
                         ::testing::Values(ClampCase{135, 1000, 999}, ClampCase{135, 999, 999},
                                           ClampCase{135, 5000, 999}, ClampCase{135, 0, 30},
                                           ClampCase{136, 1000, 1000}, ClampCase{136, 1001, 1000},
                                           ClampCase{136, 29, 30}, ClampCase{137, 1000, 1000},
                                           ClampCase{137, 0, 30}, ClampCase{137, 500, 500}),
                         [](const auto& info) {
                             return "P" + std::to_string(info.param.parameter) + "From" +
                                    std::to_string(info.param.v);
                         });

// Fault prevented: spin steps wrapping at 0, passing the limits, or letting
// parameter 135 reach speedMax.
TEST(RemoteSpeedStep, StepsOneUnitInsideTheRange) {
    EXPECT_EQ(StepRemoteSpeed(135, 999, 1, 30, 1000), 999u);
    EXPECT_EQ(StepRemoteSpeed(136, 999, 1, 30, 1000), 1000u);
    EXPECT_EQ(StepRemoteSpeed(136, 1000, 1, 30, 1000), 1000u);
    EXPECT_EQ(StepRemoteSpeed(137, 0, -1, 30, 1000), 30u);
    EXPECT_EQ(StepRemoteSpeed(135, 0, -1, 30, 1000), 30u);
    EXPECT_EQ(StepRemoteSpeed(136, 500, -1, 30, 1000), 499u);
    EXPECT_EQ(StepRemoteSpeed(136, 500, 1, 30, 1000), 501u);
    EXPECT_EQ(StepRemoteSpeed(135, 5, 1, 30, 0), 0u) << "an empty range must not wrap";
}

// Fault prevented: relay current limits outside 0.40..12.00 A.
TEST(RelayCurrent, StaysBetweenPointFourAndTwelveAmperes) {
    EXPECT_FLOAT_EQ(ClampRelayCurrent(0.1f), 0.40f);
    EXPECT_FLOAT_EQ(ClampRelayCurrent(13.0f), 12.00f);
    EXPECT_FLOAT_EQ(ClampRelayCurrent(2.5f), 2.50f);
    EXPECT_FLOAT_EQ(ClampRelayCurrent(-4.0f), 0.40f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(12.0f, 1), 12.00f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(0.4f, -1), 0.40f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(0.0f, 1), 0.40f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(20.0f, -1), 12.00f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(2.5f, 1), 2.51f);
    EXPECT_FLOAT_EQ(StepRelayCurrent(2.5f, -1), 2.49f);
}

// Fault prevented: the wrong mode shown for parameter 137.
TEST(Speed137, ModeFollowsTheValue) {
    EXPECT_EQ(ModeOf137(0, 30), Speed137Mode::Off);
    EXPECT_EQ(ModeOf137(30, 30), Speed137Mode::MinimumSpeed);
    EXPECT_EQ(ModeOf137(31, 30), Speed137Mode::Chosen);
}

// Fault prevented: templates not found in an installed layout, or a folder of
// that name taken for the template.
TEST(TemplatePath, LooksBesideTheProgramThenInShare) {
    testkit::TempFolder root;
    const auto bin = root.path() / "bin";
    const auto share = root.path() / "share" / "velmora-tool";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(share);
    EXPECT_TRUE(FindTemplateFile("T.vpr", bin).empty());
    std::filesystem::create_directories(bin / "T.vpr");
    EXPECT_TRUE(FindTemplateFile("T.vpr", bin).empty());
    testkit::WriteFile(share / "T.vpr", "x");
    EXPECT_EQ(FindTemplateFile("T.vpr", bin), (share / "T.vpr").lexically_normal());
    testkit::WriteFile(bin / "U.vpr", "x");
    testkit::WriteFile(share / "U.vpr", "x");
    EXPECT_EQ(FindTemplateFile("U.vpr", bin), bin / "U.vpr");
    EXPECT_FALSE(ExecutableFolder().empty());
}

}  // namespace
}  // namespace velmora::pages
