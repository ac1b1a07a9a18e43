#pragma once
// A station's way to the broker for one command: the client, the journal's
// entries mirrored into the outbox as events, the pump that sends the
// outbox, and the status, published retained when it changes but at most
// once a second (and at once on every new connection).
#include <chrono>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "clijournal.h"
#include "faulttexts.h"
#include "mqttclient.h"
#include "mqttsettings.h"
#include "outboxpump.h"

namespace velmora::tools::mqtt {

class StationPublisher {
  public:
    enum class Status { Published, NotPublished };
    // With Status::Published the broker keeps a last will that marks the
    // station not connected when it vanishes without a word, with the
    // identity of the drive it last knew.
    StationPublisher(const MqttSettings& settings, CliJournal& journal, Status status);
    ~StationPublisher();
    StationPublisher(const StationPublisher&) = delete;
    StationPublisher& operator=(const StationPublisher&) = delete;

    [[nodiscard]] const std::string& setupError() const { return m_client->setupError(); }
    [[nodiscard]] const FaultTexts& faults() const { return *m_faults; }
    [[nodiscard]] const MqttClient& client() const { return *m_client; }

    // The status as it is now (StatusBody); sent when due.
    void offerStatus(const nlohmann::json& body);
    // The last status with connected false, waited for at most `limit`.
    void sayGone(nlohmann::json body, std::chrono::milliseconds limit);
    // The certificate exactly as written, retained under the drive's serial.
    void certificate(std::uint32_t serial, const std::string& text);
    // Waits, at most `limit`, until the broker has every event and certificate
    // so far; "" then, else what is left and where it waits.
    std::string finish(std::chrono::milliseconds limit);

  private:
    void publishStatus(const nlohmann::json& body);
    [[nodiscard]] static LastWill WillOf(const nlohmann::json& body);

    std::string m_station;
    CliJournal& m_journal;
    std::shared_ptr<const FaultTexts> m_faults;
    std::unique_ptr<MqttClient> m_client;
    std::unique_ptr<OutboxPump> m_pump;
    nlohmann::json m_lastBody;
    nlohmann::json m_dueBody;
    std::chrono::steady_clock::time_point m_lastSent{};
    std::uint64_t m_connection = 0;
    bool m_withWill = false;
    nlohmann::json m_willSerial;  // the drive the broker's last will names
};

}  // namespace velmora::tools::mqtt
