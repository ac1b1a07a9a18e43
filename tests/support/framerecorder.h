#pragma once
// A main window stand-in that keeps what pages, dialogs and panels post to
// it, in order, from any thread; tests compare the typed messages.
#include <atomic>
#include <mutex>
#include <vector>

#include "shell/frametarget.h"

namespace velmora::testkit {

class FrameRecorder final : public shell::FrameTarget {
  public:
    void post(const shell::FrameMessage& message) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(message);
    }
    [[nodiscard]] bool isAlive() const override { return alive; }

    [[nodiscard]] std::vector<shell::FrameMessage> messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
    }

    std::atomic<bool> alive = true;  // false: a window that is going

  private:
    mutable std::mutex m_mutex;
    std::vector<shell::FrameMessage> m_messages;
};

}  // namespace velmora::testkit
