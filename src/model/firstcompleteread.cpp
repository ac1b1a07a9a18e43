#include "model/firstcompleteread.h"

namespace velmora::model {

bool FirstCompleteRead::onGroupReply(DriveData& data, Clock::time_point now) {
    data.StoreGroupReply();
    if (!m_allGroupsRead) {
        RequestOverdueGroups(data, now);
        if (data.GroupsIncomplete() != 0) return false;
        m_allGroupsRead = true;
    }
    return true;
}

void FirstCompleteRead::RequestOverdueGroups(DriveData& data, Clock::time_point now) {
    if (m_allGroupsRead) return;
    for (int code = kFirstGroup; code <= kLastGroup; ++code) {
        if (data.GroupReceived(code)) continue;
        auto& askedAt = m_askedAt[static_cast<std::size_t>(code - kFirstGroup)];
        if (askedAt && now - *askedAt < kAskAgainAfter) continue;
        data.RequestGroup(1, code);
        askedAt = now;
    }
}

}  // namespace velmora::model
