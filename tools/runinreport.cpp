#include "runinreport.h"

#include <openssl/evp.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

namespace velmora::tools {
namespace {

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double Rounded(double v) {
    // Three decimals: the drive's values have two at most, the rest is float noise.
    return std::round(v * 1000.0) / 1000.0;
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

void ValueRange::add(double v) {
    min = std::min(min, v);
    max = std::max(max, v);
    sum += v;
    ++count;
}

nlohmann::json ValueRange::json() const {
    if (count == 0) return nullptr;
    return {{"min", Rounded(min)}, {"mean", Rounded(mean())}, {"max", Rounded(max)}};
}

void RunInRecord::addSample(std::uint32_t step, bool motorOn, int phase,
                            const RunInSample& sample) {
    if (step == 0 || step > steps.size()) return;
    if (step != m_step) {
        closePhase();
        m_step = step;
    }
    m_lastAt = sample.at;
    StepRecord& s = steps[step - 1];
    s.samples.push_back(sample);
    if (!motorOn) {
        ++s.offSamples;
        closePhase();
        return;
    }
    s.onPhase = true;
    if (phase != m_phase) {
        closePhase();
        m_phase = phase;
        m_atSpeed = false;
        m_phaseStart = sample.at;
    }
    const double tolerance = s.commandedRpm() * tolerancePercent / 100.0;
    if (!m_atSpeed) {
        if (std::fabs(sample.rpm - s.commandedRpm()) > tolerance) {
            ++s.rampSamples;
            if (sample.at - m_phaseStart > rampLimitSeconds) {
                s.failures.push_back("step " + std::to_string(s.step) + ": did not reach " +
                                     Fixed(s.commandedRpm(), 0) + " rpm within " +
                                     Fixed(rampLimitSeconds, 0) + " s (actual " +
                                     Fixed(sample.rpm, 0) + " rpm at " + Fixed(sample.at, 1) +
                                     " s)");
                m_atSpeed = true;  // said once; later samples are judged
            }
            return;
        }
        m_atSpeed = true;
    }
    judge(s, sample);
}

void RunInRecord::closePhase() {
    if (m_phase != -1 && !m_atSpeed && m_step >= 1 && m_step <= steps.size()) {
        StepRecord& s = steps[m_step - 1];
        s.failures.push_back("step " + std::to_string(s.step) + ": the on-phase from " +
                             Fixed(m_phaseStart, 1) + " s to " + Fixed(m_lastAt, 1) +
                             " s never reached " + Fixed(s.commandedRpm(), 0) + " rpm");
    }
    m_phase = -1;
    m_atSpeed = false;
}

void RunInRecord::judge(StepRecord& step, const RunInSample& sample) {
    step.speed.add(sample.rpm);
    step.current.add(sample.current);
    step.outputVoltage.add(sample.outputVoltage);
    step.supplyVoltage.add(sample.supplyVoltage);
    if (!step.lowest || sample.rpm < step.lowest->rpm) step.lowest = sample;
    if (!step.highest || sample.rpm > step.highest->rpm) step.highest = sample;
}

std::vector<std::string> RunInRecord::failures() const {
    std::vector<std::string> out;
    if (interrupted) out.push_back("the run was interrupted");
    for (const RunInEvent& e : events) {
        out.push_back(e.kind == "fault"
                          ? "fault class " + std::to_string(e.faultClass) + " number " +
                                std::to_string(e.faultNumber) + " at " + Fixed(e.at, 1) + " s"
                          : "link lost at " + Fixed(e.at, 1) + " s");
    }
    for (const StepRecord& s : steps) {
        out.insert(out.end(), s.failures.begin(), s.failures.end());
        if (!s.onPhase) continue;
        const std::string name = "step " + std::to_string(s.step) + ": ";
        if (s.speed.count == 0) {
            if (s.failures.empty()) out.push_back(name + "no sample at speed");
            continue;
        }
        const double target = s.commandedRpm();
        const double tolerance = target * tolerancePercent / 100.0;
        const auto outside = [&](const char* what, double value, const RunInSample* sample) {
            if (std::fabs(value - target) <= tolerance) return;
            std::string text = name + "actual rpm " + what + " " + Fixed(value, 0) +
                               (value < target ? " below " + Fixed(target - tolerance, 0)
                                               : " above " + Fixed(target + tolerance, 0));
            if (sample) text += " (sample at " + Fixed(sample->at, 1) + " s)";
            out.push_back(text);
        };
        outside("minimum", s.speed.min, s.lowest ? &*s.lowest : nullptr);
        outside("maximum", s.speed.max, s.highest ? &*s.highest : nullptr);
        outside("mean", s.speed.mean(), nullptr);
    }
    return out;
}

bool RunInRecord::passed() const {
    return failures().empty();
}

nlohmann::json RunInRecord::certificate(const std::string& toolVersion) const {
    nlohmann::json stepList = nlohmann::json::array();
    for (const auto& s : steps) {
        nlohmann::json samples = nlohmann::json::array();
        for (const RunInSample& sample : s.samples)
            samples.push_back({Rounded(sample.at), Rounded(sample.rpm), Rounded(sample.current)});
        stepList.push_back({{"step", s.step},
                            {"program_rpm", s.programRpm},
                            {"commanded_hz", s.commandedHz},
                            {"commanded_rpm", s.commandedRpm()},
                            {"seconds", s.seconds},
                            {"judged_samples", s.speed.count},
                            {"ramp_samples", s.rampSamples},
                            {"off_samples", s.offSamples},
                            {"actual_rpm", s.speed.json()},
                            {"output_current_a", s.current.json()},
                            {"output_voltage_v", s.outputVoltage.json()},
                            {"supply_voltage_v", s.supplyVoltage.json()},
                            {"samples_t_rpm_a", samples}});
    }
    nlohmann::json eventList = nlohmann::json::array();
    for (const auto& e : events) {
        nlohmann::json event{{"at_s", Rounded(e.at)}, {"kind", e.kind}};
        if (e.kind == "fault") {
            event["fault_class"] = e.faultClass;
            event["fault_number"] = e.faultNumber;
        }
        eventList.push_back(event);
    }
    nlohmann::json body{
        {"schema", kCertificateSchema},
        {"tool", {{"name", "velmora-cli"}, {"version", toolVersion}}},
        {"station", station},
        {"operator", operatorName},
        {"program", {{"name", program}, {"sha256", programSha256}}},
        {"drive", {{"inverter_type", type}, {"firmware", firmware}, {"serial", serial}}},
        {"start", start},
        {"end", end},
        {"tolerance_percent", tolerancePercent},
        {"ramp_limit_s", rampLimitSeconds},
        {"steps", stepList},
        {"events", eventList},
        {"interrupted", interrupted},
        {"failures", failures()},
        {"result", passed() ? "PASS" : "FAIL"}};
    // A shortened second is no real run-in: the certificate says so.
    if (tickMs != 1000) body["accelerated_tick_ms"] = tickMs;
    body["digest"] = {{"algorithm", "sha256"}, {"value", CertificateDigest(body)}};
    return body;
}

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        return {};
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::string FileSha256(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return Sha256Hex(std::string(std::istreambuf_iterator<char>(in), {}));
}

std::string CertificateDigest(const nlohmann::json& certificate) {
    nlohmann::json body = certificate;
    if (body.is_object()) body.erase("digest");
    // Keys sort in nlohmann's objects, so the compact text is canonical.
    return Sha256Hex(body.dump());
}

std::string IsoTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    // +0100 -> +01:00
    if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
    return iso;
}

std::string CertificateHtml(const nlohmann::json& c, bool digestValid) {
    const auto text = [&](const nlohmann::json& j) {
        return EscapeHtml(j.is_string() ? j.get<std::string>() : j.dump());
    };
    std::ostringstream html;
    html << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Run-in certificate "
         << text(c.value("drive", nlohmann::json::object()).value("serial", nlohmann::json()))
         << "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:"
            "collapse}td,th{border:1px solid #888;padding:2px 8px;text-align:right}"
            ".PASS{color:#1a7f37}.FAIL{color:#b3261e}</style></head><body>\n";
    const std::string result = c.value("result", "FAIL");
    html << "<h1>Run-in certificate: <span class=\"" << EscapeHtml(result) << "\">"
         << EscapeHtml(result) << "</span></h1>\n<p>";
    const auto drive = c.value("drive", nlohmann::json::object());
    html << "Serial " << text(drive.value("serial", nlohmann::json())) << ", inverter type "
         << text(drive.value("inverter_type", nlohmann::json())) << ", firmware "
         << text(drive.value("firmware", nlohmann::json())) << "<br>Program "
         << text(c.value("program", nlohmann::json::object()).value("name", nlohmann::json()))
         << " (SHA-256 "
         << text(c.value("program", nlohmann::json::object()).value("sha256", nlohmann::json()))
         << ")<br>From " << text(c.value("start", nlohmann::json())) << " to "
         << text(c.value("end", nlohmann::json())) << "<br>Station "
         << text(c.value("station", nlohmann::json())) << ", operator "
         << text(c.value("operator", nlohmann::json())) << "<br>Digest "
         << (digestValid ? "valid" : "<b>INVALID: the certificate was changed</b>") << "</p>\n";
    if (c.contains("accelerated_tick_ms"))
        html << "<p><b>Accelerated test run: one second lasted " << text(c["accelerated_tick_ms"])
             << " ms.</b></p>\n";
    html << "<table><tr><th>step</th><th>program rpm</th><th>commanded rpm</th>"
            "<th>min</th><th>mean</th><th>max</th><th>current A mean</th><th>judged</th>"
            "<th>ramp</th><th>off</th></tr>\n";
    double lastTime = 1, topRpm = 1, topAmps = 0.1;
    for (const auto& s : c.value("steps", nlohmann::json::array())) {
        const auto rpm = s.value("actual_rpm", nlohmann::json());
        const auto amps = s.value("output_current_a", nlohmann::json());
        const auto cell = [&](const nlohmann::json& range, const char* key) {
            return range.is_object() ? text(range.value(key, nlohmann::json())) : std::string("–");
        };
        html << "<tr><td>" << text(s.value("step", nlohmann::json())) << "</td><td>"
             << text(s.value("program_rpm", nlohmann::json())) << "</td><td>"
             << text(s.value("commanded_rpm", nlohmann::json())) << "</td><td>" << cell(rpm, "min")
             << "</td><td>" << cell(rpm, "mean") << "</td><td>" << cell(rpm, "max") << "</td><td>"
             << cell(amps, "mean") << "</td><td>"
             << text(s.value("judged_samples", nlohmann::json())) << "</td><td>"
             << text(s.value("ramp_samples", nlohmann::json())) << "</td><td>"
             << text(s.value("off_samples", nlohmann::json())) << "</td></tr>\n";
        for (const auto& p : s.value("samples_t_rpm_a", nlohmann::json::array())) {
            if (!p.is_array() || p.size() != 3 || !p[0].is_number()) continue;
            lastTime = std::max(lastTime, p[0].get<double>());
            topRpm = std::max(topRpm, p[1].get<double>());
            topAmps = std::max(topAmps, p[2].get<double>());
        }
    }
    html << "</table>\n";
    const auto failures = c.value("failures", nlohmann::json::array());
    if (!failures.empty()) {
        html << "<h2>Reasons</h2><ul>\n";
        for (const auto& f : failures) html << "<li>" << text(f) << "</li>\n";
        html << "</ul>\n";
    }
    // Speed (blue) and current (orange) over time, each scaled to its own top.
    constexpr double kWidth = 800, kHeight = 240;
    std::string speedPath, currentPath;
    for (const auto& s : c.value("steps", nlohmann::json::array())) {
        for (const auto& p : s.value("samples_t_rpm_a", nlohmann::json::array())) {
            if (!p.is_array() || p.size() != 3 || !p[0].is_number()) continue;
            const double x = p[0].get<double>() / lastTime * kWidth;
            const auto point = [&](std::string& path, double value, double top) {
                path += (path.empty() ? "M" : " L") + Fixed(x, 1) + "," +
                        Fixed(kHeight - value / top * kHeight, 1);
            };
            point(speedPath, p[1].get<double>(), topRpm);
            point(currentPath, p[2].get<double>(), topAmps);
        }
    }
    html << "<h2>Speed and current</h2>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
         << kWidth << "\" height=\"" << kHeight + 20 << "\" viewBox=\"0 0 " << kWidth << " "
         << kHeight + 20 << "\"><rect width=\"" << kWidth << "\" height=\"" << kHeight
         << "\" fill=\"none\" stroke=\"#888\"/><path d=\"" << speedPath
         << "\" fill=\"none\" stroke=\"#0072b2\" stroke-width=\"1.5\"/><path d=\"" << currentPath
         << "\" fill=\"none\" stroke=\"#e69f00\" stroke-width=\"1.5\"/><text x=\"4\" y=\""
         << kHeight + 15 << "\" font-size=\"12\">blue: actual rpm (top " << Fixed(topRpm, 0)
         << "), orange: output current A (top " << Fixed(topAmps, 2) << "), " << Fixed(lastTime, 0)
         << " s</text></svg>\n</body></html>\n";
    return html.str();
}

}  // namespace velmora::tools
