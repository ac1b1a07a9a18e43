#pragma once
// A message target for link tests: records every post with its time.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "link/messages.h"

namespace velmora::link::test {

class RecordingTarget final : public MessageTarget {
  public:
    struct Post {
        unsigned message;
        std::uintptr_t wParam;
        std::chrono::steady_clock::time_point at;
    };

    void postMessage(unsigned message, std::uintptr_t wParam) override {
        {
            std::lock_guard lock(m_mutex);
            m_posts.push_back({message, wParam, std::chrono::steady_clock::now()});
        }
        m_changed.notify_all();
    }
    [[nodiscard]] bool isAlive() const override { return true; }

    [[nodiscard]] std::vector<Post> posts() const {
        std::lock_guard lock(m_mutex);
        return m_posts;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_posts.clear();
    }
    // Waits until `predicate` holds for the posts so far.
    bool waitFor(const std::function<bool(const std::vector<Post>&)>& predicate,
                 std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return predicate(m_posts); });
    }
    // Waits for a post of `message` with `wParam` after `from` posts.
    bool waitForPost(unsigned message, std::uintptr_t wParam, std::chrono::milliseconds timeout,
                     std::size_t from = 0) {
        return waitFor(
            [&](const std::vector<Post>& posts) {
                for (std::size_t i = from; i < posts.size(); ++i) {
                    if (posts[i].message == message && posts[i].wParam == wParam) return true;
                }
                return false;
            },
            timeout);
    }
    [[nodiscard]] std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_posts.size();
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Post> m_posts;
};

}  // namespace velmora::link::test
