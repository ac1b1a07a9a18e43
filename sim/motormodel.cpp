#include "sim/motormodel.h"

#include <algorithm>
#include <cmath>

#include "model/parameters.h"

namespace velmora::sim {

namespace param = model::param;
namespace {

constexpr double kAmbient = 25.0;
constexpr double kHeatPerAmp = 2.5;        // °C above ambient per ampere, settled
constexpr double kThermalSeconds = 120.0;  // heat-sink time constant
constexpr double kCableOhms = 0.05;
constexpr double kPowerFactor = 0.8;

double ratedHz(const ParameterWords& p) {
    return std::max<double>(p[param::kRatedFrequency], 30.0);
}

// Seconds of a ramp word (tenths) scaled to Hz per second over the speed range.
double rampRate(const ParameterWords& p, std::uint32_t tenths) {
    const double range = std::max<double>(p[param::kMaxSpeed], 1.0);
    if (tenths == 0) return 1e12;  // no ramp: the speed jumps
    return range / (tenths / 10.0);
}

}  // namespace

bool MotorModel::start(const ParameterWords& p) {
    if (p[param::kMotorType] == 0 && !m_testOperation) return false;
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
    if (m_testOperation || p[param::kMotorType] == 4) return m_test.frequency;
    // Limits that cross each other leave the maximum in force.
    const double low = p[param::kMinSpeed];
    const double high = p[param::kMaxSpeed];
    return std::min(std::max<double>(p[param::kSetSpeed], low), high);
}

void MotorModel::advance(double seconds, const ParameterWords& p) {
    if (seconds <= 0) return;
    const double target = m_running ? targetHz(p) : 0.0;
    if (m_hz < target)
        m_hz = std::min(target, m_hz + rampRate(p, p[param::kAccelerationTime]) * seconds);
    else if (m_hz > target)
        m_hz = std::max(target, m_hz - rampRate(p, p[param::kDecelerationTime]) * seconds);
    m_ramping = m_hz != target;
    m_electricalTurns = std::fmod(m_electricalTurns + m_hz * seconds, 1.0);

    const double settled = kAmbient + kHeatPerAmp * live(p).amps;
    const double k = 1.0 - std::exp(-seconds / kThermalSeconds);
    m_temperature += (settled - m_temperature) * k;
}

double MotorModel::characteristicVolts(const ParameterWords& p, double hz, double amps) const {
    if (m_testOperation || p[param::kMotorType] == 4) return m_test.voltage100 / 100.0;
    const double rated = p[param::kRatedVoltage] / 100.0;
    if (p[param::kMotorType] != 1) return rated * hz / ratedHz(p);  // brushless: back-EMF
    // I×R compensation
    if (p[param::kVoltageControl] == 1)
        return rated * hz / ratedHz(p) + p[param::kIrCompensation] / 100.0 * amps;
    // The four points (0, U0), (f1, U1), (f2, U2), (f3, U3); flat above f3.
    const double f[4] = {0.0, double(p[param::kFrequencyF1]), double(p[param::kFrequencyF2]),
                         double(p[param::kFrequencyF3])};
    const double u[4] = {p[param::kVoltageU0] / 100.0, p[param::kVoltageU1] / 100.0,
                         p[param::kVoltageU2] / 100.0, p[param::kVoltageU3] / 100.0};
    for (int i = 1; i < 4; ++i) {
        if (hz <= f[i]) {
            if (f[i] <= f[i - 1]) return u[i];
            return u[i - 1] + (u[i] - u[i - 1]) * (hz - f[i - 1]) / (f[i] - f[i - 1]);
        }
    }
    return u[3];
}

double MotorModel::currentAt(const ParameterWords& p, double hz) const {
    if (m_testOperation || p[param::kMotorType] == 4) return m_test.current100 / 100.0;
    const double rated = p[param::kRatedCurrent] / 100.0;
    const double load = std::min(1.2, (hz / ratedHz(p)) * (hz / ratedHz(p)));
    double amps = rated * (0.35 + 0.55 * load);
    if (m_ramping && m_running) amps += rated * 0.3;  // accelerating torque
    return std::min(amps, p[param::kMaxCurrent] / 100.0);
}

LiveValues MotorModel::live(const ParameterWords& p) const {
    LiveValues v;
    v.setHz = targetHz(p);
    if (!m_running && m_hz <= 0) return v;
    v.outputHz = m_hz;
    v.amps = currentAt(p, m_hz);
    v.activeAmps = v.amps * kPowerFactor;
    const double load = v.amps / std::max(p[param::kRatedCurrent] / 100.0, 0.1);
    v.statorHz = m_hz * (1.0 + 0.01 * std::min(load, 1.5));
    v.actualHz = (m_ramping && m_running) ? m_hz * 0.98 : m_hz;
    v.volts = std::min(characteristicVolts(p, m_hz, v.amps), 60.0);
    v.motorVolts = std::max(0.0, v.volts - kCableOhms * v.amps);
    v.watts = std::sqrt(3.0) * v.volts * v.amps * kPowerFactor;
    return v;
}

std::uint8_t MotorModel::hallPattern(const ParameterWords& p) const {
    if (p[param::kMotorType] != 3) return 0;
    static constexpr std::uint8_t kSequence[6] = {1, 3, 2, 6, 4, 5};
    const int step = std::clamp(static_cast<int>(m_electricalTurns * 6.0), 0, 5);
    return kSequence[step];
}

}  // namespace velmora::sim
