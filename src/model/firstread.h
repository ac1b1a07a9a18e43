#pragma once
// The window's reaction to a group reply until every parameter group has been
// seen once: store the reply, ask again for every group still missing, and
// only then let the reply refresh a page. The main window and the
// command-line tool share it so both read the drive the same way.
#include "model/drivedata.h"

namespace velmora::model {

class FirstCompleteRead {
  public:
    // StoreGroupReply, then the missing-group requests. True when the reply
    // may go on to the active page (all groups have been seen).
    bool onGroupReply(DriveData& data);
    [[nodiscard]] bool allGroupsRead() const { return m_allGroupsRead; }

  private:
    bool m_allGroupsRead = false;  // goes true once and stays
};

}  // namespace velmora::model
