#include "mqttclient.h"

#include <mosquitto.h>

#include <chrono>
#include <condition_variable>
#include <memory>

namespace velmora::tools::mqtt {
namespace {

constexpr int kKeepAliveSeconds = 10;
// Where a TLS connection without --mqtt-ca finds the authorities to trust.
constexpr const char* kSystemCaPath = "/etc/ssl/certs";

void InitLibraryOnce() {
    static const int once = mosquitto_lib_init();
    (void)once;
}

}  // namespace

MqttClient::MqttClient(const MqttSettings& settings, const std::string& clientId,
                       std::optional<LastWill> will, std::vector<std::string> subscriptions,
                       MessageHandler onMessage, Session session)
    : m_host(settings.host),
      m_port(settings.port),
      m_subscriptions(std::move(subscriptions)),
      m_onMessage(std::move(onMessage)) {
    InitLibraryOnce();
    m_mosq = mosquitto_new(clientId.c_str(), session == Session::Clean, this);
    if (m_mosq == nullptr) {
        m_setupError = "cannot make an MQTT client";
        return;
    }
    mosquitto_connect_callback_set(m_mosq, OnConnect);
    mosquitto_disconnect_callback_set(m_mosq, OnDisconnect);
    mosquitto_publish_callback_set(m_mosq, OnPublish);
    mosquitto_message_callback_set(m_mosq, OnMessage);
    mosquitto_reconnect_delay_set(m_mosq, 1, 2, false);
    int rc = MOSQ_ERR_SUCCESS;
    if (!settings.user.empty())
        rc = mosquitto_username_pw_set(
            m_mosq, settings.user.c_str(),
            settings.password.empty() ? nullptr : settings.password.c_str());
    if (rc == MOSQ_ERR_SUCCESS && settings.tls)
        rc = mosquitto_tls_set(m_mosq, settings.caFile.empty() ? nullptr : settings.caFile.c_str(),
                               settings.caFile.empty() ? kSystemCaPath : nullptr, nullptr, nullptr,
                               nullptr);
    if (rc == MOSQ_ERR_SUCCESS && will)
        rc = mosquitto_will_set(m_mosq, will->topic.c_str(), static_cast<int>(will->payload.size()),
                                will->payload.data(), 1, true);
    if (rc != MOSQ_ERR_SUCCESS) {
        m_setupError = std::string("MQTT setup: ") + mosquitto_strerror(rc);
        return;
    }
    // A broker away now is no error: the network thread keeps trying.
    rc = mosquitto_connect_async(m_mosq, m_host.c_str(), m_port, kKeepAliveSeconds);
    if (rc == MOSQ_ERR_INVAL || rc == MOSQ_ERR_NOMEM) {
        m_setupError = std::string("MQTT connection: ") + mosquitto_strerror(rc);
        return;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        const std::lock_guard lock(m_mutex);
        m_problem = std::string("the broker cannot be reached: ") + mosquitto_strerror(rc);
    }
    rc = mosquitto_loop_start(m_mosq);
    if (rc != MOSQ_ERR_SUCCESS)
        m_setupError = std::string("MQTT thread: ") + mosquitto_strerror(rc);
}

MqttClient::~MqttClient() {
    if (m_mosq == nullptr) return;
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, false);
    mosquitto_destroy(m_mosq);
}

void MqttClient::renewWill(const LastWill& will) {
    if (m_mosq == nullptr || !m_setupError.empty()) return;
    // Not under m_mutex: the network thread may wait for it in a callback.
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, false);
    m_connected = false;
    mosquitto_will_set(m_mosq, will.topic.c_str(), static_cast<int>(will.payload.size()),
                       will.payload.data(), 1, true);
    // Messages not yet acknowledged stay queued and go out on the new connection.
    (void)mosquitto_connect_async(m_mosq, m_host.c_str(), m_port, kKeepAliveSeconds);
    mosquitto_loop_start(m_mosq);
}

std::string MqttClient::lastProblem() const {
    const std::lock_guard lock(m_mutex);
    return m_problem;
}

bool MqttClient::publish(const std::string& topic, const std::string& payload, int qos, bool retain,
                         std::function<void()> acknowledged) {
    if (m_mosq == nullptr || !m_setupError.empty()) return false;
    // Held across the call: an acknowledgement that comes back before
    // mosquitto_publish returns finds its message id registered.
    const std::lock_guard lock(m_mutex);
    int mid = 0;
    if (mosquitto_publish(m_mosq, &mid, topic.c_str(), static_cast<int>(payload.size()),
                          payload.data(), qos, retain) != MOSQ_ERR_SUCCESS)
        return false;
    if (acknowledged) m_waiting[mid] = std::move(acknowledged);
    return true;
}

bool MqttClient::publishAndWait(const std::string& topic, const std::string& payload, bool retain,
                                int limitMs) {
    struct Done {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    if (!publish(topic, payload, 1, retain, [done] {
            const std::lock_guard lock(done->mutex);
            done->done = true;
            done->cv.notify_all();
        }))
        return false;
    std::unique_lock lock(done->mutex);
    return done->cv.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return done->done; });
}

void MqttClient::OnConnect(mosquitto* mosq, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    if (rc != 0) {
        const std::lock_guard lock(client->m_mutex);
        client->m_problem =
            std::string("the broker refused the connection: ") + mosquitto_connack_string(rc);
        return;
    }
    for (const std::string& pattern : client->m_subscriptions)
        mosquitto_subscribe(mosq, nullptr, pattern.c_str(), 1);
    {
        const std::lock_guard lock(client->m_mutex);
        client->m_problem.clear();
    }
    client->m_connected = true;
    ++client->m_connections;
}

void MqttClient::OnDisconnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    client->m_connected = false;
    const std::lock_guard lock(client->m_mutex);
    // A refusal (a wrong password) says more than the loss that follows it.
    if (rc != 0 && client->m_problem.empty())
        client->m_problem = "the connection to the broker was lost";
}

void MqttClient::OnPublish(mosquitto*, void* self, int mid) {
    auto* client = static_cast<MqttClient*>(self);
    // Held while the acknowledgement runs: dropAcknowledgements() waits for it.
    const std::lock_guard calling(client->m_callbackMutex);
    std::function<void()> acknowledged;
    {
        const std::lock_guard lock(client->m_mutex);
        const auto found = client->m_waiting.find(mid);
        if (found == client->m_waiting.end()) return;
        acknowledged = std::move(found->second);
        client->m_waiting.erase(found);
    }
    if (acknowledged) acknowledged();
}

void MqttClient::dropAcknowledgements() {
    const std::lock_guard calling(m_callbackMutex);
    const std::lock_guard lock(m_mutex);
    for (auto& [mid, acknowledged] : m_waiting) acknowledged = {};
}

void MqttClient::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    if (!client->m_onMessage || message->topic == nullptr) return;
    const auto* bytes = static_cast<const char*>(message->payload);
    client->m_onMessage(
        message->topic,
        bytes ? std::string(bytes, static_cast<std::size_t>(message->payloadlen)) : std::string());
}

}  // namespace velmora::tools::mqtt
