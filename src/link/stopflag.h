#pragma once
// A link thread's stop flag and the suspension gate of the supervision. Both
// let a sleeping or suspended thread notice a stop at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace velmora::link {

class StopFlag {
  public:
    void SetStopFlag(int value) {
        {
            std::lock_guard lock(m_mutex);
            m_value = value;
        }
        m_changed.notify_all();
    }
    [[nodiscard]] int ReadStopFlag() const { return m_value.load(); }
    [[nodiscard]] bool stopped() const { return ReadStopFlag() == 1; }
    // Sleeps `duration` unless the flag is set to 1 first; true when stopped.
    bool SleepFor(std::chrono::milliseconds duration) {
        return SleepFor(duration, [] { return false; });
    }
    // The same, but also ends once `woken()` holds when Wake is called (a
    // clock moved by hand passing a sleeper's deadline).
    template <typename Woken>
    bool SleepFor(std::chrono::milliseconds duration, Woken woken) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, duration, [&] { return m_value == 1 || woken(); });
        return m_value == 1;
    }
    // Lets a sleeper look at its `woken` condition again. Taking the lock
    // first means a sleeper about to wait has either seen the change or is
    // waiting and gets the notification.
    void Wake() {
        { std::lock_guard lock(m_mutex); }
        m_changed.notify_all();
    }

  private:
    std::mutex m_mutex;  // only for sleeping; the value itself is atomic
    std::condition_variable m_changed;
    std::atomic<int> m_value{0};
};

class SuspendGate {
  public:
    void Suspend() {
        std::lock_guard lock(m_mutex);
        m_suspended = true;
        ++m_suspensions;
    }
    void Resume() {
        {
            std::lock_guard lock(m_mutex);
            m_suspended = false;
        }
        m_changed.notify_all();
    }
    // Returns once resumed or once `flag` reads 1.
    void Pass(const StopFlag& flag) {
        std::unique_lock lock(m_mutex);
        m_holding = true;  // seen by others only while the wait below blocks
        m_changed.wait(lock, [&] { return !m_suspended || flag.stopped(); });
        m_holding = false;
        ++m_passes;
    }
    // Runs `post` unless suspended, under the gate's lock: a suspension then
    // comes either first (nothing is posted) or after the post, and the
    // flush that follows a suspension takes the post away. Returns the count
    // of suspensions at the post, or nothing when suspended.
    template <typename Post>
    std::optional<unsigned> RunUnlessSuspended(Post post) {
        std::lock_guard lock(m_mutex);
        if (m_suspended) return std::nullopt;
        post();
        return m_suspensions;
    }
    // Wakes a thread waiting in Pass so it can see its stop flag.
    void Wake() {
        { std::lock_guard lock(m_mutex); }
        m_changed.notify_all();
    }
    // Changes with every Suspend; a check that saw it change was interrupted.
    [[nodiscard]] unsigned suspensions() const {
        std::lock_guard lock(m_mutex);
        return m_suspensions;
    }
    [[nodiscard]] bool suspended() const {
        std::lock_guard lock(m_mutex);
        return m_suspended;
    }
    // How often a thread has gone through Pass.
    [[nodiscard]] unsigned passes() const {
        std::lock_guard lock(m_mutex);
        return m_passes;
    }
    // Whether a thread waits in Pass to be resumed.
    [[nodiscard]] bool holding() const {
        std::lock_guard lock(m_mutex);
        return m_holding;
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_suspended = false;
    bool m_holding = false;
    unsigned m_suspensions = 0;
    unsigned m_passes = 0;
};

}  // namespace velmora::link
