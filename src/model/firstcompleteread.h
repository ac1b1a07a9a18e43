#pragma once
// The window's reaction to a group reply until every parameter group has been
// seen once: store the reply, ask for the groups still missing, and only then
// let the reply refresh a page. The main window and the command-line tool
// share it so both read the drive the same way.
#include <array>
#include <chrono>
#include <optional>

#include "model/drivedata.h"

namespace velmora::model {

class FirstCompleteRead {
  public:
    using Clock = std::chrono::steady_clock;
    // A group asked for is asked for again only when its reply has not come
    // within this time: a little over one poll cycle, so a reply still on its
    // way is never asked for twice. Asking again on every reply flooded the
    // request queue (up to 66 reads for 11 groups) and held up the pages'
    // writes behind them.
    static constexpr std::chrono::milliseconds kAskAgainAfter{1000};

    // StoreGroupReply, then RequestOverdueGroups. True when the reply may go
    // on to the active page (all groups have been seen).
    bool onGroupReply(DriveData& data, Clock::time_point now = Clock::now());
    // Reads, in ascending group order, of every missing group not asked for
    // within kAskAgainAfter. Nothing once all groups were seen.
    void RequestOverdueGroups(DriveData& data, Clock::time_point now = Clock::now());
    [[nodiscard]] bool allGroupsRead() const { return m_allGroupsRead; }

  private:
    static constexpr int kFirstGroup = 0x50;
    static constexpr int kLastGroup = 0x5A;
    std::array<std::optional<Clock::time_point>, kLastGroup - kFirstGroup + 1> m_askedAt{};
    bool m_allGroupsRead = false;  // goes true once and stays
};

}  // namespace velmora::model
