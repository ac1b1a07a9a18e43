#pragma once
// The bounded first-in-first-out queue every link thread hands its work over
// with.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

namespace velmora::link {

// Result codes of the queue operations.
namespace queue_result {
inline constexpr int kOk = 0;
inline constexpr int kEmpty = 1;     // woken, but nothing was there
inline constexpr int kTimedOut = 2;  // nothing arrived within the fetch time-out
inline constexpr int kBadSlot = 3;
inline constexpr int kFlushNotReady = 4;
inline constexpr int kFetchNotReady = 8;
inline constexpr int kRefused = 9;  // full (or not ready): the entry is not kept
inline constexpr int kWaitFailed = 10;
inline constexpr int kHeld = 11;  // full: the entry waits in line for room
}  // namespace queue_result

inline constexpr std::chrono::milliseconds kFetchTimeout{250};

// Posting never waits; fetching waits at most kFetchTimeout. The count of
// waiting entries plays the counting semaphore, checked under the lock so the
// capacity can never be overrun. PostOrHold keeps what a full queue cannot
// take in a line behind it, moved in (oldest first) as fetches make room.
template <typename Entry>
class RequestQueue {
  public:
    explicit RequestQueue(std::size_t capacity) : m_capacity(capacity) {}
    RequestQueue(const RequestQueue&) = delete;
    RequestQueue& operator=(const RequestQueue&) = delete;

    int Post(Entry entry) {
        {
            std::lock_guard lock(m_mutex);
            if (m_entries.size() >= m_capacity) return queue_result::kRefused;
            m_entries.push_back(std::move(entry));
        }
        m_arrived.notify_one();
        return queue_result::kOk;
    }

    // Like Post, but a full queue keeps the entry waiting instead of dropping
    // it: for a producer that must not block and must not lose what it asked
    // for (the window thread's requests). Once anything waits, later entries
    // queue behind it so the order is kept. kOk or kHeld.
    int PostOrHold(Entry entry) {
        {
            std::lock_guard lock(m_mutex);
            if (!m_held.empty() || m_entries.size() >= m_capacity) {
                m_held.push_back(std::move(entry));
                return queue_result::kHeld;
            }
            m_entries.push_back(std::move(entry));
        }
        m_arrived.notify_one();
        return queue_result::kOk;
    }

    // Like Post, but waits up to `timeout` for room instead of refusing at
    // once: for a producer that can hold back (the reader leaves the bytes in
    // the driver's buffer meanwhile).
    int PostWithin(Entry entry, std::chrono::milliseconds timeout) {
        {
            std::unique_lock lock(m_mutex);
            if (!m_room.wait_for(lock, timeout, [this] { return m_entries.size() < m_capacity; })) {
                return queue_result::kRefused;
            }
            m_entries.push_back(std::move(entry));
        }
        m_arrived.notify_one();
        return queue_result::kOk;
    }

    int Fetch(Entry& entry, std::chrono::milliseconds timeout = kFetchTimeout) {
        {
            std::unique_lock lock(m_mutex);
            if (!m_arrived.wait_for(lock, timeout, [this] { return !m_entries.empty(); })) {
                return queue_result::kTimedOut;
            }
            entry = std::move(m_entries.front());
            m_entries.pop_front();
            if (!m_held.empty()) {
                m_entries.push_back(std::move(m_held.front()));
                m_held.pop_front();
            }
        }
        m_room.notify_one();
        return queue_result::kOk;
    }

    int Flush() {
        (void)TakeAll();
        return queue_result::kOk;
    }

    // Empties the queue like Flush and hands back what it held, oldest first,
    // for a caller that accounts for what is discarded.
    std::deque<Entry> TakeAll() {
        std::deque<Entry> taken;
        {
            std::lock_guard lock(m_mutex);
            taken.swap(m_entries);
            for (auto& entry : m_held) taken.push_back(std::move(entry));
            m_held.clear();
        }
        m_room.notify_all();
        return taken;
    }

    [[nodiscard]] std::size_t size() const {
        std::lock_guard lock(m_mutex);
        return m_entries.size();
    }
    // Entries waiting for room behind a full queue.
    [[nodiscard]] std::size_t held() const {
        std::lock_guard lock(m_mutex);
        return m_held.size();
    }
    [[nodiscard]] std::size_t capacity() const { return m_capacity; }

  private:
    const std::size_t m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_room;
    std::deque<Entry> m_entries;
    std::deque<Entry> m_held;  // unbounded: only PostOrHold fills it
};

}  // namespace velmora::link
