#pragma once
// The bounded first-in-first-out queue every link thread hands its work over
// with.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
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
// How many entries PostOrHold keeps waiting behind a full queue. The window
// asks for at most a few dozen writes at once; a line this long means the
// drive is not taking them, and holding more only delays what follows.
inline constexpr std::size_t kHeldLimit = 200;

// Posting never waits; fetching waits at most kFetchTimeout. The count of
// waiting entries plays the counting semaphore, checked under the lock so the
// capacity can never be overrun. PostOrHold keeps what a full queue cannot
// take in a line behind it (at most kHeldLimit), moved in (oldest first) as
// fetches make room. PostUrgent passes both: one entry the next fetch takes.
template <typename Entry>
class RequestQueue {
  public:
    explicit RequestQueue(std::size_t capacity, std::size_t heldLimit = kHeldLimit)
        : m_capacity(capacity), m_heldLimit(heldLimit) {}
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
    // queue behind it so the order is kept. kOk, kHeld, or kRefused when the
    // line behind the queue is at its limit (the caller accounts for it).
    int PostOrHold(Entry entry) {
        {
            std::lock_guard lock(m_mutex);
            if (!m_held.empty() || m_entries.size() >= m_capacity) {
                if (m_held.size() >= m_heldLimit) return queue_result::kRefused;
                m_held.push_back(std::move(entry));
                return queue_result::kHeld;
            }
            m_entries.push_back(std::move(entry));
        }
        m_arrived.notify_one();
        return queue_result::kOk;
    }

    // Ahead of everything waiting, full queue or not: for what must not wait
    // behind a backlog (the supervision's link check). One such entry at a
    // time; kRefused while the last one has not been fetched.
    int PostUrgent(Entry entry) {
        {
            std::lock_guard lock(m_mutex);
            if (m_urgent) return queue_result::kRefused;
            m_urgent = std::move(entry);
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
            if (!m_arrived.wait_for(lock, timeout,
                                    [this] { return m_urgent || !m_entries.empty(); })) {
                return queue_result::kTimedOut;
            }
            if (m_urgent) {
                entry = std::move(*m_urgent);
                m_urgent.reset();
                return queue_result::kOk;
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
            if (m_urgent) taken.push_back(std::move(*m_urgent));
            m_urgent.reset();
            for (auto& entry : m_entries) taken.push_back(std::move(entry));
            m_entries.clear();
            for (auto& entry : m_held) taken.push_back(std::move(entry));
            m_held.clear();
        }
        m_room.notify_all();
        return taken;
    }

    // Entries a fetch can take now (the urgent one included).
    [[nodiscard]] std::size_t size() const {
        std::lock_guard lock(m_mutex);
        return m_entries.size() + (m_urgent ? 1 : 0);
    }
    // Entries waiting for room behind a full queue.
    [[nodiscard]] std::size_t held() const {
        std::lock_guard lock(m_mutex);
        return m_held.size();
    }
    [[nodiscard]] std::size_t capacity() const { return m_capacity; }

  private:
    const std::size_t m_capacity;
    const std::size_t m_heldLimit;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_room;
    std::deque<Entry> m_entries;
    std::deque<Entry> m_held;  // only PostOrHold fills it
    std::optional<Entry> m_urgent;
};

}  // namespace velmora::link
