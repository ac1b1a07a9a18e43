#pragma once
// The command-line tool's stand-in for the main window: the link threads
// post here and the main thread takes the messages one by one, as a window's
// message loop would.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "link/messagetarget.h"

namespace velmora::tools {

class MessageInbox final : public link::MessageTarget {
  public:
    struct Message {
        unsigned number = 0;
        std::uintptr_t wParam = 0;
    };

    void postMessage(unsigned message, std::uintptr_t wParam) override {
        {
            std::lock_guard lock(m_mutex);
            m_messages.push_back({message, wParam});
        }
        m_arrived.notify_one();
    }
    [[nodiscard]] bool isAlive() const override { return true; }

    // The oldest message, waiting until the given time for one to arrive.
    std::optional<Message> wait(std::chrono::steady_clock::time_point until) {
        std::unique_lock lock(m_mutex);
        if (!m_arrived.wait_until(lock, until, [this] { return !m_messages.empty(); }))
            return std::nullopt;
        const Message message = m_messages.front();
        m_messages.pop_front();
        return message;
    }
    std::optional<Message> next(std::chrono::milliseconds wait) {
        return this->wait(std::chrono::steady_clock::now() + wait);
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<Message> m_messages;
};

}  // namespace velmora::tools
