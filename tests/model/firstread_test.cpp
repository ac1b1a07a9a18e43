#include "model/firstread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "link/queues.h"
#include "model/grouplayout.h"
#include "queuehelpers.h"

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

class FirstRead : public ::testing::TestWithParam<unsigned> {
  protected:
    void SetUp() override { link::FlushAllQueues(); }
    void TearDown() override { link::FlushAllQueues(); }
    DriveData m_data;
    FirstCompleteRead m_read;
};

// Whatever order the groups arrive in, each reply before completion must ask
// again for exactly the groups still missing, in ascending order, and the
// replies must reach the page only once every group was seen.
TEST_P(FirstRead, CompletesWithGroupsInAnyOrder) {
    std::vector<int> order = FlaggedCodes();
    if (GetParam() == 1) std::reverse(order.begin(), order.end());
    if (GetParam() > 1) std::shuffle(order.begin(), order.end(), std::mt19937(GetParam()));

    std::vector<int> missing = FlaggedCodes();
    for (std::size_t i = 0; i < order.size(); ++i) {
        testing::PostReply(order[i], ZeroReply(order[i]));
        const bool forwarded = m_read.onGroupReply(m_data);
        std::erase(missing, order[i]);
        EXPECT_EQ(testing::TakeReadRequests(), missing);
        EXPECT_EQ(forwarded, missing.empty());
        EXPECT_EQ(m_data.GroupsIncomplete(), missing.empty() ? 0 : 1);
    }
    EXPECT_TRUE(m_read.allGroupsRead());

    // Afterwards replies only refresh: nothing more is requested.
    testing::PostReply(0x59, ZeroReply(0x59));
    EXPECT_TRUE(m_read.onGroupReply(m_data));
    EXPECT_TRUE(testing::TakeReadRequests().empty());
}
INSTANTIATE_TEST_SUITE_P(Orders, FirstRead, ::testing::Values(0u, 1u, 7u, 42u, 1234u));

// A wrong-length reply and the error group 0x5F must not count towards the
// complete set; 0x5F is still stored.
TEST(FirstReadSpecial, WrongLengthAndErrorGroupDoNotCount) {
    link::FlushAllQueues();
    DriveData data;
    FirstCompleteRead read;
    testing::PostReply(0x50, {1, 2, 3});
    EXPECT_FALSE(read.onGroupReply(data));
    EXPECT_EQ(testing::TakeReadRequests(), FlaggedCodes());

    testing::PostReply(0x5F, {0, 1, 0, 2, 0, 3, 0, 4, 0, 5});
    EXPECT_FALSE(read.onGroupReply(data));
    EXPECT_EQ(testing::TakeReadRequests(), FlaggedCodes());
    EXPECT_EQ(data.Image(151), 1u);
    EXPECT_EQ(data.Image(155), 5u);
    EXPECT_TRUE(data.GroupReceived(0x5F));
    EXPECT_EQ(data.GroupsIncomplete(), 1);

    for (int code : FlaggedCodes()) {
        testing::PostReply(code, ZeroReply(code));
        data.StoreGroupReply();
    }
    EXPECT_EQ(data.GroupsIncomplete(), 0);
    link::FlushAllQueues();
}

}  // namespace
}  // namespace velmora::model
