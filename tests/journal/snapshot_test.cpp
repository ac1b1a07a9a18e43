// Snapshots as the history view and velmora-cli read them: differences both
// ways, and a restore plan that stops at a value that does not parse.
#include "journal/snapshot.h"

#include <gtest/gtest.h>

#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::journal {
namespace {

// Live values differ at every look; the memory slot loaded is a setting.
TEST(Snapshot, DifferencesNameWhatOnlyOneSideHasButNoLiveValue) {
    using namespace model::param;
    auto differences = CompareSnapshots(
        {{1, "120.00"}, {kActualSpeed, "1000"}, {kOperatingHours, "7"}, {41, "30"}, {42, "1500"}},
        {{kActualSpeed, "59000"}, {kMemorySlot, "3"}, {41, "30"}, {42, "1493"}, {60, "7"}});
    ASSERT_EQ(differences.size(), 4u);
    EXPECT_EQ(differences[1].parameter, kMemorySlot);
    differences.erase(differences.begin() + 1);
    EXPECT_EQ(differences[0].parameter, 1);
    EXPECT_EQ(differences[0].after, "");
    EXPECT_EQ(differences[1].before, "1500");
    EXPECT_EQ(differences[1].after, "1493");
    EXPECT_EQ(differences[2].before, "");
}

// A detail with foreign keys and values still gives the parameters it names.
TEST(Snapshot, ReadsBackWhatItWroteAndSkipsForeignKeys) {
    Entry entry;
    entry.kind = EntryKind::Connection;
    entry.detail = R"({"type": "7301", "snapshot": )" + SnapshotJson({{42, "1500"}, {1, "12.50"}}) +
                   R"(, "x": 1})";
    EXPECT_EQ(SnapshotOf(entry), (Snapshot{{1, "12.50"}, {42, "1500"}}));
    entry.detail = R"({"snapshot": {"0x51": {"p42": 7, "p999": "1", "q1": "2", "p41": "30"}}})";
    EXPECT_EQ(SnapshotOf(entry), (Snapshot{{41, "30"}}));
    entry.kind = EntryKind::Write;
    EXPECT_FALSE(SnapshotOf(entry));
}

// Read-only groups never reach a write; a value that does not parse stops all.
TEST(Snapshot, PlanWritesOnlyWritableGroupsAndStopsAtABadValue) {
    model::DriveData target;
    RestorePlan plan = PlanRestore({{42, "1500"}, {39, "4711"}, {14, "50.0"}}, target);
    EXPECT_EQ(plan.groups, std::vector<int>{model::GroupOfParameter(42)->code});
    EXPECT_EQ(plan.parameters, std::vector<int>{42});
    EXPECT_EQ(target.Working(model::param::kMaxSpeed), 1500u);
    plan = PlanRestore({{41, "30"}, {42, "15x0"}}, target);
    EXPECT_EQ(plan.badParameter, 42);
}

}  // namespace
}  // namespace velmora::journal
