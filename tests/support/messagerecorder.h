#pragma once
// A message target that records every post with its time, from any thread;
// tests look at the posts, wait for them, or take them one by one as the
// main window would.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "link/messagetarget.h"

namespace velmora::testkit {

class MessageRecorder final : public link::MessageTarget {
  public:
    using Message = std::pair<unsigned, std::uintptr_t>;
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
    [[nodiscard]] std::vector<Message> messages() const {
        std::lock_guard lock(m_mutex);
        std::vector<Message> out;
        for (const Post& p : m_posts) out.emplace_back(p.message, p.wParam);
        return out;
    }
    [[nodiscard]] std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_posts.size();
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_posts.clear();
        m_taken = 0;
    }
    // Waits until `predicate` holds for the posts so far.
    bool waitFor(const std::function<bool(const std::vector<Post>&)>& predicate,
                 std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return predicate(m_posts); });
    }
    // Waits for a post of `message` with `wParam` after the first `from` posts.
    bool waitForPost(unsigned message, std::uintptr_t wParam, std::chrono::milliseconds timeout,
                     std::size_t from = 0) {
        return waitFor(
            [&](const std::vector<Post>& posts) {
                for (std::size_t i = from; i < posts.size(); ++i)
                    if (posts[i].message == message && posts[i].wParam == wParam) return true;
                return false;
            },
            timeout);
    }
    // The oldest post not yet taken, waiting up to `wait` for one.
    std::optional<Message> take(std::chrono::milliseconds wait) {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, wait, [&] { return m_taken < m_posts.size(); }))
            return std::nullopt;
        const Post& p = m_posts[m_taken++];
        return Message{p.message, p.wParam};
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Post> m_posts;
    std::size_t m_taken = 0;
};

}  // namespace velmora::testkit
