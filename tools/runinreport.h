#pragma once
// What a run-in records and the certificate it writes: per step the set speed
// and the min/mean/max of the operating values during the on-phases after
// the ramp, the faults and link losses with their times, and the verdict.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velmora::tools {

struct ValueRange {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    double sum = 0;
    int count = 0;
    void add(double v);
    [[nodiscard]] double mean() const { return count ? sum / count : 0; }
    [[nodiscard]] nlohmann::json json() const;
};

struct StepRecord {
    std::uint32_t step = 0;
    std::uint32_t rpm = 0;
    std::uint32_t seconds = 0;
    ValueRange speed, current, outputVoltage, supplyVoltage;
    bool onPhase = false;  // had an on-phase at all
};

struct RunInEvent {
    double at = 0;  // seconds since the start
    std::string kind;  // "fault" or "link_lost"
    int faultClass = 0;
    int faultNumber = 0;
};

struct RunInRecord {
    std::string program, programHash;
    std::uint32_t type = 0, serial = 0;
    std::string firmware, start, end;
    std::vector<StepRecord> steps;
    std::vector<RunInEvent> events;
    bool interrupted = false;
    // PASS: no fault, no link loss, every on-phase within tolerance of its speed.
    [[nodiscard]] bool passed(double tolerancePercent) const;
    [[nodiscard]] nlohmann::json json(double tolerancePercent) const;
};

// FNV-1a, 64 bits, of a file's bytes as 16 hex digits ("" when unreadable).
[[nodiscard]] std::string FileHash(const std::string& path);

}  // namespace velmora::tools
