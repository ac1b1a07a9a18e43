#pragma once
// Everything a broker delivers under velmora/#, kept for a test to wait on:
// the last message of each topic (the retained state) and every event.
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "mqtt/mqttclient.h"

namespace velmora::testkit {

class MqttRecorder {
  public:
    explicit MqttRecorder(const std::string& url) {
        std::string error;
        const auto address = tools::mqtt::ParseMqttUrl(url, error);
        tools::mqtt::MqttSettings settings;
        settings.host = address->host;
        settings.port = address->port;
        m_client = std::make_unique<tools::mqtt::MqttClient>(
            settings, "velmora-test-recorder", std::nullopt, std::vector<std::string>{"velmora/#"},
            [this](const std::string& topic, const std::string& payload) {
                const std::lock_guard lock(m_mutex);
                m_last[topic] = payload;
                if (topic.ends_with("/event")) m_events.push_back(payload);
            },
            // Misses nothing while a broker restarts.
            tools::mqtt::MqttClient::Session::Lasting);
    }
    [[nodiscard]] bool connected() const { return m_client->connected(); }
    // The last message of a topic as JSON (null when none or not JSON).
    nlohmann::json last(const std::string& topic) const {
        const std::lock_guard lock(m_mutex);
        const auto found = m_last.find(topic);
        if (found == m_last.end()) return nullptr;
        return nlohmann::json::parse(found->second, nullptr, false);
    }
    std::string lastText(const std::string& topic) const {
        const std::lock_guard lock(m_mutex);
        const auto found = m_last.find(topic);
        return found == m_last.end() ? std::string() : found->second;
    }
    std::vector<nlohmann::json> events() const {
        const std::lock_guard lock(m_mutex);
        std::vector<nlohmann::json> parsed;
        for (const auto& text : m_events) parsed.push_back(nlohmann::json::parse(text));
        return parsed;
    }

  private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_last;
    std::vector<std::string> m_events;
    std::unique_ptr<tools::mqtt::MqttClient> m_client;
};

}  // namespace velmora::testkit
