#include "stationpublisher.h"

#include <unistd.h>

#include "journal/journal.h"
#include "stationmessages.h"

namespace velmora::tools::mqtt {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStatusPeriod = std::chrono::seconds(1);

}  // namespace

StationPublisher::StationPublisher(const MqttSettings& settings, CliJournal& journal, Status status)
    : m_station(settings.station),
      m_journal(journal),
      m_faults(std::make_shared<const FaultTexts>()) {
    std::optional<LastWill> will;
    m_withWill = status == Status::Published;
    if (m_withWill) will = WillOf(GoneStatusBody(m_station));
    // A name of its own per process: a second one with the same name would
    // push the first off the broker.
    m_client = std::make_unique<MqttClient>(
        settings, "velmora-" + m_station + "-" + std::to_string(::getpid()), std::move(will));
    const std::string station = m_station;
    m_journal.mirrorToOutbox({[station, faults = m_faults](const journal::Entry& entry) {
                                  return EventMessage(station, entry, *faults);
                              },
                              [station](std::int64_t token, const std::string& outcome) {
                                  return OutcomeMessage(station, token, outcome);
                              }});
    m_pump = std::make_unique<OutboxPump>(*m_client, m_journal.file(), m_station);
}

StationPublisher::~StationPublisher() {
    m_journal.mirrorToOutbox({});
    m_pump.reset();
    m_client.reset();
}

LastWill StationPublisher::WillOf(const nlohmann::json& body) {
    nlohmann::json gone = GoneStatusBody(body["station"].get<std::string>());
    for (const char* key : {"serial", "inverter_type", "firmware"}) gone[key] = body[key];
    gone["time"] = nullptr;  // the broker sends it; when is not known here
    return {StatusTopic(gone["station"].get<std::string>()), CompactJson(gone)};
}

void StationPublisher::publishStatus(const nlohmann::json& body) {
    nlohmann::json stamped = body;
    stamped["time"] = journal::IsoTime(journal::NowUnixMs());
    if (!m_client->publish(StatusTopic(m_station), CompactJson(stamped), 1, true)) return;
    m_lastBody = body;
    m_lastSent = Clock::now();
}

void StationPublisher::offerStatus(const nlohmann::json& body) {
    if (m_withWill && !body["serial"].is_null() && body["serial"] != m_willSerial) {
        m_willSerial = body["serial"];
        m_client->renewWill(WillOf(body));
    }
    const bool reconnected = m_client->connections() != m_connection;
    if (!m_client->connected()) return;
    if (reconnected) {
        m_connection = m_client->connections();
        publishStatus(body);
        return;
    }
    if (body == m_lastBody || Clock::now() - m_lastSent < kStatusPeriod) return;
    publishStatus(body);
}

void StationPublisher::sayGone(nlohmann::json body, std::chrono::milliseconds limit) {
    body["connected"] = false;
    body["time"] = journal::IsoTime(journal::NowUnixMs());
    if (m_client->connected())
        (void)m_client->publishAndWait(StatusTopic(m_station), CompactJson(body), true,
                                       static_cast<int>(limit.count()));
}

void StationPublisher::certificate(std::uint32_t serial, const std::string& text) {
    m_journal.post(CertificateMessage(m_station, serial, text));
}

std::string StationPublisher::finish(std::chrono::milliseconds limit) {
    m_journal.flush();
    if (m_pump->drain(limit)) return {};
    const std::string problem = m_pump->problem();
    if (!problem.empty()) return problem;
    const std::string why = m_client->lastProblem();
    return std::to_string(m_pump->waiting()) +
           " message(s) wait in the journal's outbox for the broker" +
           (why.empty() ? std::string() : " (" + why + ")") +
           "; the next serve or runin of station " + m_station + " sends them";
}

}  // namespace velmora::tools::mqtt
