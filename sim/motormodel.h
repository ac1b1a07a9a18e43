#pragma once
// The simulated motor: the set speed followed along the ramps, and the
// voltage, current, power and temperature that go with the speed.
#include <cstdint>

#include "sim/factorysettings.h"

namespace velmora::sim {

struct TestOperationValues {
    std::uint16_t current100 = 0;  // A × 100
    std::uint16_t frequency = 0;   // Hz
    std::uint16_t voltage100 = 0;  // V × 100
};

struct LiveValues {
    double outputHz = 0;    // ramp output (p10)
    double setHz = 0;       // set speed in effect (p12)
    double statorHz = 0;    // with slip compensation (p13)
    double actualHz = 0;    // rotor speed (p14)
    double volts = 0;       // output voltage (p15)
    double motorVolts = 0;  // at the motor terminals (p16)
    double amps = 0;        // output current (p18)
    double activeAmps = 0;  // torque-producing share (p11)
    double watts = 0;       // p19
};

class MotorModel {
  public:
    // False when the parameters name no motor (p90 = 0).
    bool start(const ParameterWords& p);
    void stop() { m_running = false; }
    // Coasts at once: a fault switches the output stage off.
    void trip();
    void enterTestOperation() { m_testOperation = true; }
    void leaveTestOperation();
    void setTestValues(const TestOperationValues& values) { m_test = values; }

    // Moves the motor on by the given number of seconds.
    void advance(double seconds, const ParameterWords& p);

    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] bool atStandstill() const { return !m_running && m_hz <= 0.0; }
    [[nodiscard]] bool turning() const { return m_hz > 0.0; }
    [[nodiscard]] bool rampActive() const { return m_ramping; }
    [[nodiscard]] bool testOperation() const { return m_testOperation; }
    [[nodiscard]] double temperature() const { return m_temperature; }  // °C, heat sink
    [[nodiscard]] std::uint8_t hallPattern(const ParameterWords& p) const;
    [[nodiscard]] double targetHz(const ParameterWords& p) const;
    [[nodiscard]] LiveValues live(const ParameterWords& p) const;

  private:
    [[nodiscard]] double characteristicVolts(const ParameterWords& p, double hz, double amps) const;
    [[nodiscard]] double currentAt(const ParameterWords& p, double hz) const;

    bool m_running = false;
    bool m_ramping = false;
    bool m_testOperation = false;
    TestOperationValues m_test;
    double m_hz = 0;
    double m_temperature = 25.0;
    double m_electricalTurns = 0;  // for the Hall pattern
};

}  // namespace velmora::sim
