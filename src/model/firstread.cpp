#include "model/firstread.h"

namespace velmora::model {

bool FirstCompleteRead::onGroupReply(DriveData& data) {
    data.StoreGroupReply();
    if (!m_allGroupsRead) {
        data.RequestMissingGroups();
        if (data.GroupsIncomplete() != 0) return false;
        m_allGroupsRead = true;
    }
    return true;
}

}  // namespace velmora::model
