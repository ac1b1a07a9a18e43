// Reply latency: from the moment the drive starts writing the last byte of a
// status reply on a pseudo-terminal to the WM_DRIVE_STATUS post.
//   bench_link_latency [replies]   (default 600)
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "link/drivelink.h"
#include "link/seriallink.h"
#include "tests/support/ptypeer.h"

namespace {

using namespace velmora::link;
using Clock = std::chrono::steady_clock;

class StatusClock final : public MessageTarget {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override {
        const auto now = Clock::now();
        {
            std::lock_guard lock(m_mutex);
            if (message == WM_DRIVE_STATUS) {
                m_statusAt = now;
                ++m_statuses;
            }
            if (message == WM_DRIVE_LINK_STATE) m_linked = wParam == 1;
        }
        m_changed.notify_all();
    }
    [[nodiscard]] bool isAlive() const override { return true; }

    bool waitLinked(std::chrono::seconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_linked; });
    }
    int statuses() {
        std::lock_guard lock(m_mutex);
        return m_statuses;
    }
    std::optional<Clock::time_point> waitStatus(int count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, timeout, [&] { return m_statuses >= count; })) return {};
        return m_statusAt;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Clock::time_point m_statusAt;
    int m_statuses = 0;
    bool m_linked = false;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const int replies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    test::ScriptedDrive drive(test::ScriptedDrive::StandardAnswer);
    StatusClock target;
    DriveLink link;
    link.serial().UseFixedDevice(drive.devicePath());
    link.setPollMode(14);  // nothing polled: every status reply is the bench's own
    link.start(target);
    if (!target.waitLinked(std::chrono::seconds(3))) {
        std::fprintf(stderr, "the link did not come up\n");
        return 1;
    }
    const auto frame = test::Encode(0x60, {0x00, 0x01, 0x00, 0x00});
    std::mt19937 random(1);
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < replies; ++i) {
        // Irregular spacing, as replies arrive between the polling cycles.
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 8000));
        const int expected = target.statuses() + 1;
        const auto written = Clock::now();
        drive.send(frame);
        const auto posted = target.waitStatus(expected, std::chrono::milliseconds(500));
        if (!posted) {
            ++lost;
            continue;
        }
        Telegram status;
        link.fetchStatus(status);
        latencies.push_back(std::chrono::duration<double, std::milli>(*posted - written).count());
    }
    link.stop();
    if (latencies.empty()) {
        std::fprintf(stderr, "no status reply arrived\n");
        return 1;
    }
    std::printf("status replies: %zu measured, %d lost\n", latencies.size(), lost);
    std::printf("latency ms: median %.3f  p90 %.3f  p99 %.3f  max %.3f\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.9), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
    return 0;
}
