#include "runinreport.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace velmora::tools {

void ValueRange::add(double v) {
    min = std::min(min, v);
    max = std::max(max, v);
    sum += v;
    ++count;
}

nlohmann::json ValueRange::json() const {
    if (count == 0) return nullptr;
    // Three decimals: the drive's values have two at most, the rest is float noise.
    const auto round = [](double v) { return std::round(v * 1000.0) / 1000.0; };
    return {{"min", round(min)}, {"mean", round(mean())}, {"max", round(max)}};
}

bool RunInRecord::passed(double tolerancePercent) const {
    if (interrupted || !events.empty()) return false;
    for (const auto& step : steps) {
        if (!step.onPhase) continue;
        if (step.speed.count == 0) return false;
        const double deviation = std::fabs(step.speed.mean() - step.rpm);
        if (deviation > step.rpm * tolerancePercent / 100.0) return false;
    }
    return true;
}

nlohmann::json RunInRecord::json(double tolerancePercent) const {
    nlohmann::json stepList = nlohmann::json::array();
    for (const auto& s : steps) {
        stepList.push_back({{"step", s.step},
                            {"set_rpm", s.rpm},
                            {"seconds", s.seconds},
                            {"actual_rpm", s.speed.json()},
                            {"output_current_a", s.current.json()},
                            {"output_voltage_v", s.outputVoltage.json()},
                            {"supply_voltage_v", s.supplyVoltage.json()}});
    }
    nlohmann::json eventList = nlohmann::json::array();
    for (const auto& e : events) {
        nlohmann::json event{{"at_s", e.at}, {"kind", e.kind}};
        if (e.kind == "fault") {
            event["fault_class"] = e.faultClass;
            event["fault_number"] = e.faultNumber;
        }
        eventList.push_back(event);
    }
    return {{"program", program},
            {"program_hash", programHash},
            {"drive", {{"inverter_type", type}, {"firmware", firmware}, {"serial", serial}}},
            {"start", start},
            {"end", end},
            {"tolerance_percent", tolerancePercent},
            {"steps", stepList},
            {"events", eventList},
            {"interrupted", interrupted},
            {"result", passed(tolerancePercent) ? "PASS" : "FAIL"}};
}

std::string FileHash(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::uint64_t hash = 1469598103934665603ull;
    for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it) {
        hash ^= static_cast<unsigned char>(*it);
        hash *= 1099511628211ull;
    }
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace velmora::tools
