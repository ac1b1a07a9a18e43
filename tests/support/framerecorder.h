#pragma once
// A main window stand-in that keeps what pages, dialogs and panels post to
// it, in order; tests compare the typed messages.
#include <vector>

#include "shell/frametarget.h"

namespace velmora::testkit {

class FrameRecorder : public shell::FrameTarget {
  public:
    void post(const shell::FrameMessage& message) override { m_messages.push_back(message); }
    [[nodiscard]] bool isAlive() const override { return alive; }
    [[nodiscard]] const std::vector<shell::FrameMessage>& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

    bool alive = true;  // false: a window that is going

  private:
    std::vector<shell::FrameMessage> m_messages;
};

}  // namespace velmora::testkit
