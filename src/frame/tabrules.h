#pragma once
// Whether the user may move from one tab to another, and which notices say
// why not. Free of widgets so the rules can be tested as a table.
#include <string_view>
#include <vector>

namespace velmora::frame {

struct TabState {
    bool tabLocked = false;      // a test dialog is open
    bool flashBusy = false;      // a firmware download runs
    bool runInActive = false;    // a run-in program runs
    bool allGroupsRead = false;  // every parameter group was read once
};

struct TabVerdict {
    bool allowed = true;
    std::vector<std::string_view> reasonKeys;  // catalogue keys, shown in order
};

// targetIsReportOrRunIn: the page asked for may be watched during a run-in.
[[nodiscard]] TabVerdict CheckTabChange(const TabState& state, bool targetIsReportOrRunIn);

}  // namespace velmora::frame
