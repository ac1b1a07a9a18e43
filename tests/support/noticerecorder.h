#pragma once
// A main window stand-in that keeps the status-bar notices a page shows
// through its channel, besides its posts.
#include <QStringList>

#include "shell/noticeboard.h"
#include "tests/support/framerecorder.h"

namespace velmora::testkit {

class NoticeRecorder final : public FrameRecorder, public shell::NoticeBoard {
  public:
    void showNotice(const QString& text) override { notices.push_back(text); }

    QStringList notices;
};

}  // namespace velmora::testkit
