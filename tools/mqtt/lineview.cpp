#include "lineview.h"

#include <cstdio>
#include <tuple>

namespace velmora::tools::mqtt {
namespace {

// "velmora/<station>/<rest>" -> station, rest.
std::optional<std::pair<std::string, std::string>> SplitTopic(const std::string& topic) {
    constexpr std::string_view kRoot = "velmora/";
    if (!topic.starts_with(kRoot)) return std::nullopt;
    const auto slash = topic.find('/', kRoot.size());
    if (slash == std::string::npos || slash == kRoot.size()) return std::nullopt;
    return std::make_pair(topic.substr(kRoot.size(), slash - kRoot.size()),
                          topic.substr(slash + 1));
}

template <class T>
std::optional<T> Get(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return std::nullopt;
    if constexpr (std::is_same_v<T, double>) {
        if (!found->is_number()) return std::nullopt;
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
        if (!found->is_number_unsigned()) return std::nullopt;
    } else if constexpr (std::is_same_v<T, bool>) {
        if (!found->is_boolean()) return std::nullopt;
    } else {
        if (!found->is_string()) return std::nullopt;
    }
    return found->get<T>();
}

auto Fields(const StationRow& r) {
    return std::tie(r.serial, r.connected, r.running, r.actualHz, r.fault, r.certificateResult,
                    r.certificateTime);
}

}  // namespace

std::optional<std::string> LineView::take(const std::string& topic, const std::string& payload) {
    const auto parts = SplitTopic(topic);
    if (!parts) return std::nullopt;
    const auto json = nlohmann::json::parse(payload, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return std::nullopt;
    const auto& [station, rest] = *parts;
    const bool fresh = m_rows.count(station) == 0;
    StationRow row;
    if (fresh) {
        row.station = station;
    } else {
        row = m_rows[station];
    }
    bool changed = false;
    if (rest == "status") {
        changed = takeStatus(row, json);
    } else if (rest.starts_with("certificate/")) {
        changed = takeCertificate(row, json);
    } else {
        return std::nullopt;
    }
    if (!changed && !fresh) return std::nullopt;
    if (!fresh && Fields(row) == Fields(m_rows[station])) return std::nullopt;
    m_rows[station] = row;
    return station;
}

bool LineView::takeStatus(StationRow& row, const nlohmann::json& status) {
    // A last will knows no serial: the row keeps the one it had.
    if (auto serial = Get<std::uint32_t>(status, "serial")) row.serial = serial;
    row.connected = Get<bool>(status, "connected").value_or(false);
    row.running = Get<bool>(status, "running").value_or(false);
    row.actualHz = Get<double>(status, "actual_speed_hz");
    row.fault.clear();
    if (const auto fault = status.find("fault"); fault != status.end() && fault->is_object()) {
        char text[32];
        std::snprintf(text, sizeof text, "%d.%d", fault->value("class", 0),
                      fault->value("number", 0));
        row.fault = text;
        if (const auto words = Get<std::string>(*fault, "text"); words && !words->empty())
            row.fault += " " + *words;
    }
    return true;
}

bool LineView::takeCertificate(StationRow& row, const nlohmann::json& certificate) {
    const auto result = Get<std::string>(certificate, "result");
    if (!result) return false;
    const std::string end = Get<std::string>(certificate, "end").value_or("");
    // Retained certificates of several drives arrive in any order: the newest counts.
    if (!row.certificateTime.empty() && end < row.certificateTime) return false;
    row.certificateResult = *result;
    row.certificateTime = end;
    return true;
}

nlohmann::json LineView::rowJson(const std::string& station) const {
    const auto found = m_rows.find(station);
    if (found == m_rows.end()) return nullptr;
    const StationRow& r = found->second;
    return {{"station", r.station},
            {"serial", r.serial ? nlohmann::json(*r.serial) : nlohmann::json(nullptr)},
            {"connected", r.connected},
            {"running", r.running},
            {"actual_speed_hz", r.actualHz ? nlohmann::json(*r.actualHz) : nlohmann::json(nullptr)},
            {"fault", r.fault.empty() ? nlohmann::json(nullptr) : nlohmann::json(r.fault)},
            {"certificate", r.certificateResult.empty() ? nlohmann::json(nullptr)
                                                        : nlohmann::json(r.certificateResult)},
            {"certificate_time", r.certificateTime.empty() ? nlohmann::json(nullptr)
                                                           : nlohmann::json(r.certificateTime)}};
}

std::string LineView::table() const {
    std::string text;
    char line[512];
    std::snprintf(line, sizeof line, "%-16s %10s %-9s %-7s %9s  %-30s %s\n", "STATION", "SERIAL",
                  "DRIVE", "MOTOR", "SPEED Hz", "LAST CERTIFICATE", "FAULT");
    text += line;
    for (const auto& [name, r] : m_rows) {
        const std::string serial = r.serial ? std::to_string(*r.serial) : "-";
        const std::string speed = r.actualHz ? std::to_string(static_cast<long>(*r.actualHz)) : "-";
        const std::string certificate =
            r.certificateResult.empty() ? "-" : r.certificateResult + " " + r.certificateTime;
        std::snprintf(line, sizeof line, "%-16.16s %10s %-9s %-7s %9s  %-30.30s %s\n", name.c_str(),
                      serial.c_str(), r.connected ? "connected" : "gone",
                      r.running ? "running" : "stopped", speed.c_str(), certificate.c_str(),
                      r.fault.empty() ? "-" : r.fault.c_str());
        text += line;
    }
    return text;
}

}  // namespace velmora::tools::mqtt
