#pragma once
// Sends a station's outbox (journal/outbox.h) to the broker: the oldest
// messages first, QoS 1, each deleted once the broker acknowledged it, so
// that what the broker did not take stays for the next connection or the
// next run of the station. Its own thread and its own connection to the
// journal file; the journal's writer fills the outbox.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mqttclient.h"

namespace velmora::tools::mqtt {

class OutboxPump {
  public:
    OutboxPump(MqttClient& client, std::filesystem::path journalFile, std::string station);
    ~OutboxPump();
    OutboxPump(const OutboxPump&) = delete;
    OutboxPump& operator=(const OutboxPump&) = delete;

    // Looks at the outbox now rather than at the next round.
    void wake();
    // Waits until the station's outbox is empty; false after `limit`.
    bool drain(std::chrono::milliseconds limit);
    // Messages still waiting at the last look (-1 before the first).
    [[nodiscard]] std::int64_t waiting() const;
    // Why the outbox cannot be read ("" when it can).
    [[nodiscard]] std::string problem() const;

  private:
    void run();
    void acknowledged(std::int64_t id);

    MqttClient& m_client;
    std::filesystem::path m_file;
    std::string m_station;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_changed;
    bool m_stopping = false;
    bool m_woken = false;
    std::vector<std::int64_t> m_acknowledged;
    std::int64_t m_waiting = -1;
    std::string m_problem;
    std::thread m_thread;
};

}  // namespace velmora::tools::mqtt
