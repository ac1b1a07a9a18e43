#pragma once
// A main window stand-in that keeps the status-bar notices a page shows
// through its channel; its posts are recorded as by MessageRecorder.
#include <QStringList>

#include "shell/noticeboard.h"
#include "tests/support/messagerecorder.h"

namespace velmora::testkit {

class NoticeRecorder final : public link::MessageTarget, public shell::NoticeBoard {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override {
        posts.postMessage(message, wParam);
    }
    [[nodiscard]] bool isAlive() const override { return true; }
    void showNotice(const QString& text) override { notices.push_back(text); }

    MessageRecorder posts;
    QStringList notices;
};

}  // namespace velmora::testkit
