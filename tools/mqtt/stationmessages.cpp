#include "stationmessages.h"

#include <cstdio>

#include "journal/journal.h"
#include "mqttsettings.h"

namespace velmora::tools::mqtt {
namespace {

std::string EventId(std::int64_t token) {
    char id[24];
    std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(token));
    return id;
}

template <class T>
nlohmann::json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

}  // namespace

std::string CompactJson(const nlohmann::json& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json StatusBody(const StationStatus& s) {
    nlohmann::json fault = nullptr;
    if (s.faultClass != 0)
        fault = {{"class", s.faultClass}, {"number", s.faultNumber}, {"text", s.faultText}};
    return {{"station", s.station},
            {"serial", OrNull(s.serial)},
            {"inverter_type", OrNull(s.inverterType)},
            {"firmware", s.firmware.empty() ? nlohmann::json(nullptr) : nlohmann::json(s.firmware)},
            {"connected", s.connected},
            {"running", s.running},
            {"set_speed_hz", OrNull(s.setHz)},
            {"actual_speed_hz", OrNull(s.actualHz)},
            {"output_current_a", OrNull(s.outputCurrentA)},
            {"fault", fault}};
}

nlohmann::json GoneStatusBody(const std::string& station) {
    StationStatus gone;
    gone.station = station;
    return StatusBody(gone);
}

std::string StatusTopic(const std::string& station) {
    return StationTopic(station, "status");
}

std::optional<journal::OutboxMessage> EventMessage(const std::string& station,
                                                   const journal::Entry& entry,
                                                   const FaultTexts& faults) {
    nlohmann::json event{{"id", EventId(entry.token)},
                         {"station", station},
                         {"time", entry.time},
                         {"kind", std::string(journal::KindName(entry.kind))},
                         {"serial", OrNull(entry.serial)},
                         {"program", entry.program},
                         {"host", entry.host},
                         {"user", entry.user}};
    const auto put = [&](const char* key, const std::string& value) {
        if (!value.empty()) event[key] = value;
    };
    put("port", entry.port);
    put("parameter", entry.parameter);
    put("old", entry.oldValue);
    put("new", entry.newValue);
    put("outcome", entry.outcome);
    auto detail = nlohmann::json::parse(entry.detail.empty() ? "{}" : entry.detail, nullptr, false);
    if (!detail.is_discarded() && !detail.empty()) event["detail"] = detail;
    if (entry.kind == journal::EntryKind::FaultRaised ||
        entry.kind == journal::EntryKind::FaultCleared) {
        const int number = detail.is_object() ? detail.value("number", 0) : 0;
        event["fault"] = {{"class", detail.is_object() ? detail.value("class", 0) : 0},
                          {"number", number},
                          {"text", faults.text(number)}};
    }
    return journal::OutboxMessage{0, station, StationTopic(station, "event"), CompactJson(event),
                                  false};
}

std::optional<journal::OutboxMessage> OutcomeMessage(const std::string& station, std::int64_t token,
                                                     const std::string& outcome) {
    // One outcome of one entry is one fact: a repeat keeps its id.
    const nlohmann::json event{{"id", EventId(token) + "-" + outcome},
                               {"station", station},
                               {"time", journal::IsoTime(journal::NowUnixMs())},
                               {"kind", "outcome"},
                               {"entry", EventId(token)},
                               {"outcome", outcome}};
    return journal::OutboxMessage{0, station, StationTopic(station, "event"), CompactJson(event),
                                  false};
}

journal::OutboxMessage CertificateMessage(const std::string& station, std::uint32_t serial,
                                          const std::string& certificateText) {
    return {0, station, StationTopic(station, "certificate/" + std::to_string(serial)),
            certificateText, true};
}

}  // namespace velmora::tools::mqtt
