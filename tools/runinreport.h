#pragma once
// What a run-in records and the certificate it writes. A step is judged only
// on fresh operating values taken while the motor is on and at the speed it
// was commanded (the whole Hz sent, not the program's rpm): ramps and off
// phases are counted, never judged. Minimum, mean and maximum must each lie
// within the tolerance; a FAIL names the step, the quantity and the sample.
// The certificate carries a SHA-256 digest of its own body.
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace velmora::tools {

inline constexpr int kCertificateSchema = 2;

struct ValueRange {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    double sum = 0;
    int count = 0;
    void add(double v);
    [[nodiscard]] double mean() const { return count ? sum / count : 0; }
    [[nodiscard]] nlohmann::json json() const;
};

// One fresh operating-value reply.
struct RunInSample {
    double at = 0;  // seconds since the start
    double rpm = 0;
    double current = 0;
    double outputVoltage = 0;
    double supplyVoltage = 0;
};

struct StepRecord {
    std::uint32_t step = 0;
    std::uint32_t programRpm = 0;
    std::uint32_t commandedHz = 0;  // what the drive was sent
    std::uint32_t seconds = 0;
    ValueRange speed, current, outputVoltage, supplyVoltage;  // judged samples only
    std::optional<RunInSample> lowest, highest;               // the judged extremes
    int rampSamples = 0;  // on, not yet at speed: listed, not judged
    int offSamples = 0;
    bool onPhase = false;
    std::vector<std::string> failures;
    std::vector<RunInSample> samples;  // every sample of the step, for the plot
    [[nodiscard]] double commandedRpm() const { return commandedHz * 60.0; }
};

struct RunInEvent {
    double at = 0;     // seconds since the start
    std::string kind;  // "fault" or "link_lost"
    int faultClass = 0;
    int faultNumber = 0;
};

// Feeds samples step by step and judges them.
class RunInRecord {
  public:
    std::string program, programSha256, station, operatorName;
    std::uint32_t type = 0, serial = 0;
    std::string firmware, start, end;
    double tolerancePercent = 2.0;
    double rampLimitSeconds = 60.0;  // an on-phase must reach speed within this
    int tickMs = 1000;               // anything else is an accelerated (test) run
    std::vector<StepRecord> steps;
    std::vector<RunInEvent> events;
    bool interrupted = false;

    // A fresh sample of step `step` (1-based); motorOn: the program's on-phase;
    // phase: a number that changes whenever a new on-phase begins.
    void addSample(std::uint32_t step, bool motorOn, int phase, const RunInSample& sample);
    // The step or the run ends: an on-phase that never reached speed fails.
    void closePhase();

    [[nodiscard]] bool passed() const;
    [[nodiscard]] std::vector<std::string> failures() const;
    // The certificate with its digest.
    [[nodiscard]] nlohmann::json certificate(const std::string& toolVersion) const;

  private:
    void judge(StepRecord& step, const RunInSample& sample);
    std::uint32_t m_step = 0;
    int m_phase = -1;
    bool m_atSpeed = false;
    double m_phaseStart = 0;
    double m_lastAt = 0;
};

// SHA-256 of bytes / of a file's bytes as 64 hex digits ("" when unreadable).
[[nodiscard]] std::string Sha256Hex(const std::string& bytes);
[[nodiscard]] std::string FileSha256(const std::string& path);
// The digest a certificate's body (everything but "digest") must carry.
[[nodiscard]] std::string CertificateDigest(const nlohmann::json& certificate);
// Local time with its UTC offset: 2026-12-08T23:45:10+01:00.
[[nodiscard]] std::string IsoTimeNow();
// A printable page: identity, verdict, the step table and a speed/current plot.
[[nodiscard]] std::string CertificateHtml(const nlohmann::json& certificate, bool digestValid);

}  // namespace velmora::tools
