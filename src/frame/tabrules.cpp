#include "frame/tabrules.h"

namespace velmora::frame {

TabVerdict CheckTabChange(const TabState& state, bool targetIsReportOrRunIn) {
    TabVerdict verdict;
    if (state.tabLocked) {
        verdict.allowed = false;
        verdict.reasonKeys.push_back("usebackbutton");
    }
    if (state.flashBusy) {
        verdict.allowed = false;
        verdict.reasonKeys.push_back("waitflashdownload");
    }
    if (state.runInActive && !targetIsReportOrRunIn) {
        verdict.allowed = false;
        verdict.reasonKeys.push_back("tabrefusedrunin");
    }
    // Until every group has been read once the pages would show defaults.
    if (!state.allGroupsRead) {
        verdict.allowed = false;
        verdict.reasonKeys.push_back("tabrefusedreading");
    }
    return verdict;
}

}  // namespace velmora::frame
