#include "link/linkpolicy.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/messagetarget.h"
#include "link/queues.h"

namespace velmora::link {
namespace {

// Catches replies announced with the wrong message or put into the wrong
// queue: the window would fetch from an empty queue or never see a reply.
TEST(LinkPolicy, EveryReplyCodeHasItsRoute) {
    for (int code = 0; code < 256; ++code) {
        const auto route = RouteForReply(code);
        if ((code >= 0x50 && code <= 0x5A) || code == 0x5F) {
            ASSERT_TRUE(route) << code;
            EXPECT_EQ(route->slot, kReplySlot);
            EXPECT_EQ(route->message, WM_DRIVE_GROUP_REPLY) << code;
        } else if ((code >= 0x5B && code <= 0x5E) || code == 0x61 || code == 0x62) {
            ASSERT_TRUE(route) << code;
            EXPECT_EQ(route->slot, kReplySlot);
            EXPECT_EQ(route->message, WM_DRIVE_REPLY) << code;
        } else if (code == 0x60) {
            ASSERT_TRUE(route);
            EXPECT_EQ(route->slot, kStatusSlot);
            EXPECT_EQ(route->message, WM_DRIVE_STATUS);
        } else if (code == 0x81) {
            ASSERT_TRUE(route);
            EXPECT_EQ(route->slot, kLinkReplySlot);
            EXPECT_EQ(route->message, 0u);
        } else {
            EXPECT_FALSE(route) << code;
        }
    }
}

struct ModeCase {
    int mode;
    bool status;
    std::vector<int> groups;
    int extraPauseMs;
};

class PollModes : public ::testing::TestWithParam<ModeCase> {};

// Catches a polling mode asking for the wrong groups, in the wrong order, or
// status requests during a firmware transfer.
TEST_P(PollModes, RequestsOfEachMode) {
    const auto& c = GetParam();
    const PollPlan plan = PollPlanFor(c.mode);
    EXPECT_EQ(plan.status, c.status);
    EXPECT_EQ(std::vector<int>(plan.groups.begin(), plan.groups.end()), c.groups);
    EXPECT_EQ(plan.extraPauseMs, c.extraPauseMs);
}

INSTANTIATE_TEST_SUITE_P(
    LinkPolicy, PollModes,
    ::testing::Values(ModeCase{0, true, {0x59}, 0}, ModeCase{1, true, {0x59, 0x5A}, 0},
                      ModeCase{5, true, {0x5B}, 0}, ModeCase{11, true, {0x5E}, 0},
                      ModeCase{13, true, {0x59, 0x5B}, 0}, ModeCase{14, false, {}, 0},
                      ModeCase{15, false, {0x61}, 250}, ModeCase{16, false, {}, 100},
                      ModeCase{2, true, {}, 0}, ModeCase{3, true, {}, 0}, ModeCase{12, true, {}, 0},
                      ModeCase{17, true, {0x59}, 0}, ModeCase{19, true, {}, 0},
                      ModeCase{-1, true, {}, 0}, ModeCase{1000, true, {}, 0}));

// With the trend sampling, every page's plan also reads group 0x59, once;
// a firmware transfer's plans stay as they are.
INSTANTIATE_TEST_SUITE_P(
    Sampling, PollModes,
    ::testing::Values(ModeCase{3 | kWithOperatingValues, true, {0x59}, 0},
                      ModeCase{0 | kWithOperatingValues, true, {0x59}, 0},
                      ModeCase{1 | kWithOperatingValues, true, {0x59, 0x5A}, 0},
                      ModeCase{5 | kWithOperatingValues, true, {0x5B, 0x59}, 0},
                      ModeCase{11 | kWithOperatingValues, true, {0x5E, 0x59}, 0},
                      ModeCase{13 | kWithOperatingValues, true, {0x59, 0x5B}, 0},
                      ModeCase{14 | kWithOperatingValues, false, {}, 0},
                      ModeCase{15 | kWithOperatingValues, false, {0x61}, 250}));

// Catches request telegrams that the drive would not understand.
TEST(LinkPolicy, RequestTelegrams) {
    const Telegram read = BuildReadRequest(0x60);
    EXPECT_EQ(read.address, 1);
    EXPECT_EQ(read.command, 0xCF);
    EXPECT_EQ(read.length, 1);
    EXPECT_EQ(read.data, std::vector<std::uint8_t>{0x60});
    const Telegram check = BuildLinkCheck();
    EXPECT_EQ(check.command, 0x80);
    EXPECT_EQ(check.length, 0);
    EXPECT_TRUE(check.data.empty());
}

}  // namespace
}  // namespace velmora::link
