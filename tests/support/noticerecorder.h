#pragma once
// A main window stand-in that keeps the status-bar notices a page shows
// through its channel; its posts are recorded as by FrameRecorder.
#include <QStringList>

#include "shell/noticeboard.h"
#include "tests/support/framerecorder.h"

namespace velmora::testkit {

class NoticeRecorder final : public shell::FrameTarget, public shell::NoticeBoard {
  public:
    void post(const shell::FrameMessage& message) override { posts.post(message); }
    [[nodiscard]] bool isAlive() const override { return true; }
    void showNotice(const QString& text) override { notices.push_back(text); }

    FrameRecorder posts;
    QStringList notices;
};

}  // namespace velmora::testkit
