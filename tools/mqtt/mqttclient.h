#pragma once
// One connection to an MQTT broker (libmosquitto) with its own network
// thread: it connects in the background and reconnects after a loss, every
// one to two seconds, for as long as the client lives. Callbacks run on that
// thread; keep them short and hand their work to another thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "mqttsettings.h"

struct mosquitto;
struct mosquitto_message;

namespace velmora::tools::mqtt {

struct LastWill {
    std::string topic;
    std::string payload;
};

class MqttClient {
  public:
    using MessageHandler =
        std::function<void(const std::string& topic, const std::string& payload)>;
    // Lasting: the broker keeps the subscriptions and queues their QoS 1
    // messages while this client is away (it must then keep its id).
    enum class Session { Clean, Lasting };
    // `subscriptions` are made again on every connection; their messages go
    // to `onMessage`.
    MqttClient(const MqttSettings& settings, const std::string& clientId,
               std::optional<LastWill> will = std::nullopt,
               std::vector<std::string> subscriptions = {}, MessageHandler onMessage = {},
               Session session = Session::Clean);
    // Disconnects cleanly (no last will) and ends the network thread.
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Empty when the connection is under way, else why it cannot be made
    // (a bad CA file, an unknown host).
    [[nodiscard]] const std::string& setupError() const { return m_setupError; }
    [[nodiscard]] bool connected() const { return m_connected.load(); }
    // Counts the connections made; a change means a new one.
    [[nodiscard]] std::uint64_t connections() const { return m_connections.load(); }
    // The broker's last refusal or the last loss, for the user ("" none).
    [[nodiscard]] std::string lastProblem() const;

    // Hands a message to the network thread; false when it could not take it.
    // acknowledged runs (on the network thread) once the broker has it: for
    // QoS 1 its acknowledgement, for QoS 0 the send.
    bool publish(const std::string& topic, const std::string& payload, int qos, bool retain,
                 std::function<void()> acknowledged = {});
    // No acknowledgement handed to publish() runs after this returns (one
    // running is waited for): for an owner of those callbacks that goes.
    void dropAcknowledgements();
    // The broker takes a last will only with a connection: ends this one
    // cleanly (no will sent) and makes a new one that carries `will`.
    void renewWill(const LastWill& will);
    // Publishes, then waits at most `limitMs` for the broker to have it.
    bool publishAndWait(const std::string& topic, const std::string& payload, bool retain,
                        int limitMs);

  private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnPublish(mosquitto*, void* self, int mid);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);

    mosquitto* m_mosq = nullptr;
    std::string m_host;
    int m_port = 0;
    std::vector<std::string> m_subscriptions;
    MessageHandler m_onMessage;
    std::string m_setupError;
    std::atomic<bool> m_connected{false};
    std::atomic<std::uint64_t> m_connections{0};
    mutable std::mutex m_mutex;
    std::map<int, std::function<void()>> m_waiting;  // by message id
    std::mutex m_callbackMutex;                      // held while an acknowledgement runs
    std::string m_problem;
};

}  // namespace velmora::tools::mqtt
