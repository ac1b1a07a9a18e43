#include "sim/motormodel.h"

#include <algorithm>
#include <cmath>

namespace velmora::sim {
namespace {

constexpr double kAmbient = 25.0;
constexpr double kHeatPerAmp = 2.5;        // °C above ambient per ampere, settled
constexpr double kThermalSeconds = 120.0;  // heat-sink time constant
constexpr double kCableOhms = 0.05;
constexpr double kPowerFactor = 0.8;

double ratedHz(const ParameterWords& p) {
    return std::max<double>(p[91], 30.0);
}

// Seconds of a ramp word (tenths) scaled to Hz per second over the speed range.
double rampRate(const ParameterWords& p, std::uint32_t tenths) {
    const double range = std::max<double>(p[42], 1.0);
    if (tenths == 0) return 1e12;  // no ramp: the speed jumps
    return range / (tenths / 10.0);
}

}  // namespace

bool MotorModel::start(const ParameterWords& p) {
    if (p[90] == 0 && !m_testOperation) return false;
    m_running = true;
    return true;
}

void MotorModel::trip() {
    m_running = false;
    m_hz = 0;
    m_ramping = false;
}

void MotorModel::leaveTestOperation() {
    m_testOperation = false;
    m_running = false;
}

double MotorModel::targetHz(const ParameterWords& p) const {
    if (m_testOperation || p[90] == 4) return m_test.frequency;
    // Limits that cross each other leave the maximum in force.
    const double low = p[41];
    const double high = p[42];
    return std::min(std::max<double>(p[1], low), high);
}

void MotorModel::advance(double seconds, const ParameterWords& p) {
    if (seconds <= 0) return;
    const double target = m_running ? targetHz(p) : 0.0;
    if (m_hz < target)
        m_hz = std::min(target, m_hz + rampRate(p, p[46]) * seconds);
    else if (m_hz > target)
        m_hz = std::max(target, m_hz - rampRate(p, p[47]) * seconds);
    m_ramping = m_hz != target;
    m_electricalTurns = std::fmod(m_electricalTurns + m_hz * seconds, 1.0);

    const double settled = kAmbient + kHeatPerAmp * live(p).amps;
    const double k = 1.0 - std::exp(-seconds / kThermalSeconds);
    m_temperature += (settled - m_temperature) * k;
}

double MotorModel::characteristicVolts(const ParameterWords& p, double hz, double amps) const {
    if (m_testOperation || p[90] == 4) return m_test.voltage100 / 100.0;
    const double rated = p[92] / 100.0;
    if (p[90] != 1) return rated * hz / ratedHz(p);                         // brushless: back-EMF
    if (p[70] == 1) return rated * hz / ratedHz(p) + p[71] / 100.0 * amps;  // I×R compensation
    // The four points (0, U0), (f1, U1), (f2, U2), (f3, U3); flat above f3.
    const double f[4] = {0.0, double(p[61]), double(p[63]), double(p[65])};
    const double u[4] = {p[60] / 100.0, p[62] / 100.0, p[64] / 100.0, p[66] / 100.0};
    for (int i = 1; i < 4; ++i) {
        if (hz <= f[i]) {
            if (f[i] <= f[i - 1]) return u[i];
            return u[i - 1] + (u[i] - u[i - 1]) * (hz - f[i - 1]) / (f[i] - f[i - 1]);
        }
    }
    return u[3];
}

double MotorModel::currentAt(const ParameterWords& p, double hz) const {
    if (m_testOperation || p[90] == 4) return m_test.current100 / 100.0;
    const double rated = p[93] / 100.0;
    const double load = std::min(1.2, (hz / ratedHz(p)) * (hz / ratedHz(p)));
    double amps = rated * (0.35 + 0.55 * load);
    if (m_ramping && m_running) amps += rated * 0.3;  // accelerating torque
    return std::min(amps, p[44] / 100.0);
}

LiveValues MotorModel::live(const ParameterWords& p) const {
    LiveValues v;
    v.setHz = targetHz(p);
    if (!m_running && m_hz <= 0) return v;
    v.outputHz = m_hz;
    v.amps = currentAt(p, m_hz);
    v.activeAmps = v.amps * kPowerFactor;
    const double load = v.amps / std::max(p[93] / 100.0, 0.1);
    v.statorHz = m_hz * (1.0 + 0.01 * std::min(load, 1.5));
    v.actualHz = (m_ramping && m_running) ? m_hz * 0.98 : m_hz;
    v.volts = std::min(characteristicVolts(p, m_hz, v.amps), 60.0);
    v.motorVolts = std::max(0.0, v.volts - kCableOhms * v.amps);
    v.watts = std::sqrt(3.0) * v.volts * v.amps * kPowerFactor;
    return v;
}

std::uint8_t MotorModel::hallPattern(const ParameterWords& p) const {
    if (p[90] != 3) return 0;
    static constexpr std::uint8_t kSequence[6] = {1, 3, 2, 6, 4, 5};
    const int step = std::clamp(static_cast<int>(m_electricalTurns * 6.0), 0, 5);
    return kSequence[step];
}

}  // namespace velmora::sim
