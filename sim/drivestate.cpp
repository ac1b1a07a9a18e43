#include "sim/drivestate.h"

#include <algorithm>
#include <cmath>

#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::sim {

namespace param = model::param;
namespace {

std::uint32_t scaled(double value, double factor, std::uint32_t max = 0xFFFF) {
    const double v = std::floor(value * factor + 0.5);
    if (!(v > 0)) return 0;
    return v >= max ? max : static_cast<std::uint32_t>(v);
}

std::uint16_t word16(double value, double factor = 1.0) {
    return static_cast<std::uint16_t>(scaled(value, factor));
}

}  // namespace

DriveState::DriveState(double timeScale, DriveMemory memory)
    : m_timeScale(timeScale > 0 ? timeScale : 1.0), m_memory(std::move(memory)) {
    publishLive();
}

void DriveState::advanceTo(Clock::time_point now) {
    if (m_last && now > *m_last) {
        const double seconds = std::chrono::duration<double>(now - *m_last).count();
        const bool turning = m_motor.turning();
        m_motor.advance(seconds, m_memory.parameters);
        if (turning || m_motor.turning()) {
            m_runtimeCarryMs += seconds * 1000.0 * m_timeScale;
            const double whole = std::floor(m_runtimeCarryMs);
            m_memory.runtimeMs += static_cast<std::uint64_t>(whole);
            m_runtimeCarryMs -= whole;
        }
    }
    if (!m_last || now > *m_last) m_last = now;
    publishLive();
}

void DriveState::publishLive() {
    auto& p = m_memory.parameters;
    const LiveValues v = m_motor.live(p);
    p[param::kSpeedSetPoint] = scaled(v.outputHz, 1);
    p[param::kPeakCurrent] = scaled(v.activeAmps, 100);
    p[param::kRampFrequency] = scaled(v.setHz, 1);
    p[param::kOutputFrequency] = scaled(v.statorHz, 1);
    p[param::kActualSpeed] = scaled(v.actualHz, 1);
    p[param::kOutputVoltage] = scaled(v.volts, 100);
    p[param::kSupplyVoltage] = scaled(v.motorVolts, 100);
    p[param::kOutputCurrent] = scaled(v.amps, 100);
    p[param::kOutputPower] = scaled(v.watts, 10);
    m_memory.publishRuntime();
}

std::optional<std::vector<std::uint8_t>> DriveState::groupData(int code) const {
    const model::GroupLayout* group = model::FindGroup(code);
    if (group == nullptr) return std::nullopt;
    std::vector<std::uint8_t> data(group->length, 0);
    for (const auto& field : group->fields)
        model::WriteBigEndian(data, field.offset, field.bits, m_memory.parameters[field.parameter]);
    return data;
}

bool DriveState::writeGroup(int writeCommand, std::span<const std::uint8_t> data) {
    const model::GroupLayout* group = model::FindGroupByWriteCommand(writeCommand);
    if (group == nullptr || data.size() != group->length) return false;
    for (const auto& field : group->fields)
        m_memory.parameters[field.parameter] = model::ReadBigEndian(data, field.offset, field.bits);
    changed();
    publishLive();  // a new set speed or limit shows at once
    return true;
}

void DriveState::startMotor() {
    if (m_fault.faultClass >= 2 || m_loader.phase() == LoaderPhase::Firmware) return;
    m_motor.start(m_memory.parameters);
}

void DriveState::stopMotor() {
    m_motor.stop();
}

void DriveState::resetDrive() {
    m_motor.trip();
    m_motor.leaveTestOperation();
    m_outputs = 0;
    clearFault();
    publishLive();
}

void DriveState::loadFactorySettings() {
    m_memory.resetAreas(area::AllParameters);
    m_memory.parameters[param::kMemorySlot] = 0;
    changed();
}

bool DriveState::loadMakerSet(int model) {
    if (!ApplyMakerSet(model, m_memory.parameters)) return false;
    m_memory.parameters[param::kMemorySlot] = 0;
    changed();
    return true;
}

bool DriveState::loadSlot(int slot) {
    if (!m_memory.loadSlot(slot)) return false;
    changed();
    return true;
}

bool DriveState::saveSlot(int slot) {
    if (!m_memory.saveSlot(slot)) return false;
    changed();
    return true;
}

bool DriveState::deleteSlot(int slot) {
    if (!m_memory.deleteSlot(slot)) return false;
    changed();
    return true;
}

void DriveState::resetMemoryAreas(std::uint8_t bits) {
    if (bits & area::RuntimeData || bits & area::TotalMemory) m_runtimeCarryMs = 0;
    m_memory.resetAreas(bits);
    changed();
}

void DriveState::setOutputs(std::uint8_t bits) {
    // The actuator test only drives the outputs of a standing drive.
    if (m_motor.atStandstill()) m_outputs = bits & 0x0F;
}

void DriveState::startLoader() {
    if (!m_loader.loaderDone()) return;
    m_motor.trip();
    m_motor.leaveTestOperation();
    m_outputs = 0;
    publishLive();
}

void DriveState::enterTestOperation() {
    if (m_motor.atStandstill()) m_motor.enterTestOperation();
}

void DriveState::leaveTestOperation() {
    m_motor.leaveTestOperation();
}

void DriveState::setTestValues(const TestOperationValues& values) {
    m_motor.setTestValues(values);
}

bool DriveState::setMemoryWord(int address, std::uint32_t value) {
    if (!m_memory.setWord(address, value)) return false;
    changed();
    return true;
}

void DriveState::setCalibration(const std::array<std::uint32_t, 9>& values) {
    m_memory.calibration = values;
    changed();
}

void DriveState::setSerialNumber(std::uint32_t serial) {
    m_memory.parameters[param::kSerialNumber] = serial;
    changed();
}

void DriveState::injectFault(int faultClass, int number) {
    m_fault.faultClass = static_cast<std::uint8_t>(faultClass);
    m_fault.number = static_cast<std::uint8_t>(number);
    auto& p = m_memory.parameters;
    if (faultClass >= 1 && faultClass <= 5) ++p[29 + faultClass];  // error counters p30..p34
    if (faultClass == 3) {
        p[param::kHeldSpeedSetPoint] = p[param::kSpeedSetPoint];
        p[param::kHeldOutputFrequency] = p[param::kOutputFrequency];
        p[param::kHeldOutputVoltage] = p[param::kOutputVoltage];
        p[param::kHeldSupplyVoltage] = p[param::kSupplyVoltage];
        p[param::kHeldOutputCurrent] = p[param::kOutputCurrent];
    }
    if (faultClass >= 2) m_motor.trip();
    publishLive();
    changed();
}

void DriveState::clearFault() {
    m_fault = {};
}

std::array<std::uint8_t, 4> DriveState::status() const {
    std::uint8_t d0 = 0;
    if (m_motor.running()) d0 |= 0x01;
    if (m_motor.running() && !m_motor.rampActive()) d0 |= 0x02;  // set speed reached
    if (m_motor.turning()) d0 |= 0x04;
    if (m_motor.testOperation()) d0 |= 0x08;
    if (m_fault.faultClass != 0) d0 |= 0x10;
    // Parameters may be changed only while the motor stands.
    const std::uint8_t d1 =
        (m_motor.atStandstill() && m_loader.phase() == LoaderPhase::Normal) ? 0x01 : 0x00;
    return {d0, d1, m_fault.faultClass, m_fault.number};
}

std::array<std::uint8_t, 10> DriveState::sensorState() const {
    const auto& p = m_memory.parameters;
    const LiveValues v = m_motor.live(p);
    std::array<std::uint8_t, 10> data{};
    data[0] = 0x01;  // input 1: the enable input is wired
    data[1] = m_motor.hallPattern(p);
    if (p[param::kTemperatureSensor] != 0 && m_motor.temperature() < 100.0)
        data[1] |= 0x08;  // sensor reports cool
    // The analogue set points follow the set speed, as a potentiometer would.
    const double share =
        p[param::kMaxSpeed] > 0 ? std::min(1.0, v.setHz / p[param::kMaxSpeed]) : 0.0;
    const std::uint16_t values[4] = {
        word16(4.0 + 16.0 * share, 100),    // mA × 100
        word16(10.0 * share, 100),          // V × 100
        word16(m_motor.temperature(), 10),  // °C × 10
        word16(48.0 - 0.1 * v.amps, 100),   // supply, V × 100
    };
    for (int i = 0; i < 4; ++i) model::WriteBigEndian(data, 2 + 2 * i, 16, values[i]);
    return data;
}

std::array<std::uint16_t, 10> DriveState::inverterValues() const {
    const auto& p = m_memory.parameters;
    const LiveValues v = m_motor.live(p);
    const double limit = std::max(p[param::kMaxCurrent] / 100.0, 0.1);
    return {
        word16(v.setHz),
        word16(v.outputHz),
        word16(v.actualHz),
        word16(1000.0 * std::min(1.0, v.amps / limit)),
        word16(48.0 - 0.1 * v.amps, 10),
        word16(v.volts, 10),
        word16(v.motorVolts, 10),
        word16(v.amps, 10),
        word16(v.amps >= limit ? 1000.0 : 0.0),
        word16(1000.0 * std::min(1.0, v.volts / 60.0)),
    };
}

std::string DriveState::summary() const {
    const auto& p = m_memory.parameters;
    std::string text = "set " + std::to_string(p[param::kRampFrequency]) + " Hz actual " +
                       std::to_string(p[param::kActualSpeed]) + " Hz running " +
                       (m_motor.running() ? "yes" : "no") + " fault " +
                       std::to_string(m_fault.faultClass) + " " + std::to_string(m_fault.number);
    if (m_motor.testOperation()) text += " test-operation";
    return text + " " + m_loader.summary();
}

}  // namespace velmora::sim
