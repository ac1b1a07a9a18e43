#include "model/firstcompleteread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "link/queues.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "tests/support/linkqueues.h"
#include "tests/support/owndrive.h"

namespace velmora::model {
namespace {

std::vector<std::uint8_t> ZeroReply(int code) {
    return std::vector<std::uint8_t>(FindGroup(code)->length, 0);
}

std::vector<int> FlaggedCodes() {
    std::vector<int> codes;
    for (int code = 0x50; code <= 0x5A; ++code) codes.push_back(code);
    return codes;
}

using Clock = FirstCompleteRead::Clock;

class FirstReadSpecial : public ::testing::Test, public testkit::OwnDrive {
  protected:
    DriveData& m_data = m_drive.data;
    FirstCompleteRead m_read;
    const Clock::time_point m_start = Clock::now();
};

class FirstRead : public FirstReadSpecial, public ::testing::WithParamInterface<unsigned> {};

constexpr auto kAgain = FirstCompleteRead::kAskAgainAfter;

// Whatever order the groups arrive in, every group is asked for once, in
// ascending order, by the first reply; later replies within the time-out ask
// for nothing (asking again on every reply flooded the request queue and
// pushed the pages' writes out of it); the replies reach the page only once
// every group was seen.
TEST_P(FirstRead, AsksEachMissingGroupOnce) {
    std::vector<int> order = FlaggedCodes();
    if (GetParam() == 1) std::reverse(order.begin(), order.end());
    if (GetParam() > 1) std::shuffle(order.begin(), order.end(), std::mt19937(GetParam()));

    const Clock::time_point start = m_start;
    std::vector<int> missing = FlaggedCodes();
    for (std::size_t i = 0; i < order.size(); ++i) {
        PostReply(order[i], ZeroReply(order[i]));
        const bool forwarded = m_read.onGroupReply(m_data, start + kAgain / 20 * i);
        std::erase(missing, order[i]);
        EXPECT_EQ(TakeReadRequests(), i == 0 ? missing : std::vector<int>{});
        EXPECT_EQ(forwarded, missing.empty());
        EXPECT_EQ(m_data.GroupsIncomplete(), missing.empty() ? 0 : 1);
    }
    EXPECT_TRUE(m_read.allGroupsRead());

    // Afterwards replies only refresh: nothing more is requested.
    PostReply(0x59, ZeroReply(0x59));
    EXPECT_TRUE(m_read.onGroupReply(m_data, start + 10 * kAgain));
    EXPECT_TRUE(TakeReadRequests().empty());
}
INSTANTIATE_TEST_SUITE_P(Orders, FirstRead, ::testing::Values(0u, 1u, 7u, 42u, 1234u));

// A reply lost on the line must not stall the read: a group still missing
// after the time-out is asked for again (once), whether a reply or the
// window's own look triggers it; one asked for just now is not.
TEST_F(FirstReadSpecial, AsksAgainOnlyAfterTheTimeOut) {
    DriveData& data = m_data;
    FirstCompleteRead& read = m_read;
    const Clock::time_point start = m_start;
    read.RequestOverdueGroups(data, start);
    EXPECT_EQ(TakeReadRequests(), FlaggedCodes());
    for (int code : {0x50, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x59, 0x5A}) {
        PostReply(code, ZeroReply(code));
        EXPECT_FALSE(read.onGroupReply(data, start + kAgain / 2));
    }
    EXPECT_TRUE(TakeReadRequests().empty());
    read.RequestOverdueGroups(data, start + kAgain - std::chrono::milliseconds(1));
    EXPECT_TRUE(TakeReadRequests().empty());

    PostReply(0x59, ZeroReply(0x59));
    EXPECT_FALSE(read.onGroupReply(data, start + kAgain));
    EXPECT_EQ(TakeReadRequests(), (std::vector<int>{0x51, 0x58}));
    read.RequestOverdueGroups(data, start + kAgain + kAgain / 2);
    EXPECT_TRUE(TakeReadRequests().empty());
    read.RequestOverdueGroups(data, start + 2 * kAgain);
    EXPECT_EQ(TakeReadRequests(), (std::vector<int>{0x51, 0x58}));
}

// A wrong-length reply and the error group 0x5F must not count towards the
// complete set; 0x5F is still stored.
TEST_F(FirstReadSpecial, WrongLengthAndErrorGroupDoNotCount) {
    DriveData& data = m_data;
    FirstCompleteRead& read = m_read;
    const Clock::time_point start = m_start;
    PostReply(0x50, {1, 2, 3});
    EXPECT_FALSE(read.onGroupReply(data, start));
    EXPECT_EQ(TakeReadRequests(), FlaggedCodes());

    PostReply(0x5F, {0, 1, 0, 2, 0, 3, 0, 4, 0, 5});
    EXPECT_FALSE(read.onGroupReply(data, start + kAgain));
    EXPECT_EQ(TakeReadRequests(), FlaggedCodes());
    EXPECT_EQ(data.Image(model::param::kHeldSpeedSetPoint), 1u);
    EXPECT_EQ(data.Image(model::param::kHeldOutputCurrent), 5u);
    EXPECT_TRUE(data.GroupReceived(0x5F));
    EXPECT_EQ(data.GroupsIncomplete(), 1);

    for (int code : FlaggedCodes()) {
        PostReply(code, ZeroReply(code));
        data.StoreGroupReply();
    }
    EXPECT_EQ(data.GroupsIncomplete(), 0);
}

}  // namespace
}  // namespace velmora::model
