#include "model/runinsequencer.h"

#include "model/commands.h"
#include "model/parameters.h"

namespace velmora::model {

void RunInSequencer::load(std::vector<RunInStep> steps) {
    if (steps.size() > kMaxRunInSteps) steps.resize(kMaxRunInSteps);
    m_steps = std::move(steps);
    m_totalSeconds = 0;
    for (const auto& step : m_steps) m_totalSeconds += step.minutes * 60;
    m_stepSeconds = m_onSeconds = m_offSeconds = 0;
    m_elapsedTotal = m_elapsedInStep = m_elapsedInPhase = 0;
    m_currentStep = 0;
    m_shownSpeed = 0;
    m_phaseOn = false;
}

std::uint32_t RunInSequencer::totalMinutes() const {
    std::uint32_t minutes = 0;
    for (const auto& step : m_steps) minutes += step.minutes;
    return minutes;
}

const RunInStep* RunInSequencer::current() const {
    if (m_currentStep == 0 || m_currentStep > m_steps.size()) return nullptr;
    return &m_steps[m_currentStep - 1];
}

std::uint32_t RunInSequencer::currentStepMinutes() const {
    const RunInStep* step = current();
    return step ? step->minutes : 0;
}

void RunInSequencer::start() {
    m_elapsedTotal = m_elapsedInStep = m_elapsedInPhase = 0;
    m_currentStep = 0;
    enterNextStep();
}

void RunInSequencer::motorOff() {
    m_shownSpeed = 0;
    m_commands.push_back({RunInCommand::Kind::StopMotor});
}

void RunInSequencer::motorOn() {
    const RunInStep* step = current();
    m_shownSpeed = step ? step->rpm : 0;
    m_commands.push_back({RunInCommand::Kind::StartMotor});
}

void RunInSequencer::enterNextStep() {
    motorOff();
    ++m_currentStep;
    RunInStep empty;
    // Past the last step (only when a program ends before its clock does)
    // the motor stays off at speed 0 instead of reading past the table.
    RunInStep& step = m_currentStep <= m_steps.size() ? m_steps[m_currentStep - 1] : empty;
    const std::uint32_t speedHz = step.rpm / 60;
    // Below 60 rpm the drive cannot be given a speed: the whole step is an off step.
    if (speedHz == 0) step.onSeconds = 0;
    m_commands.push_back({RunInCommand::Kind::WriteSpeed, speedHz});
    m_stepSeconds = step.minutes * 60;
    m_onSeconds = step.onSeconds;
    m_offSeconds = step.offSeconds;
    m_phaseOn = m_onSeconds != 0 && m_stepSeconds != 0;
    m_elapsedInStep = 0;
    m_elapsedInPhase = 0;
    if (m_phaseOn)
        motorOn();
    else
        motorOff();
}

RunInSequencer::Tick RunInSequencer::tick() {
    ++m_elapsedInStep;
    ++m_elapsedInPhase;
    ++m_elapsedTotal;
    // The total check comes first: the last step ends with the finish, not a step change.
    if (m_elapsedTotal >= m_totalSeconds) return Tick::Finished;
    if (m_elapsedInStep >= m_stepSeconds) enterNextStep();
    if (m_phaseOn) {
        if (m_elapsedInPhase >= m_onSeconds) {
            m_elapsedInPhase = 0;
            if (m_offSeconds != 0) {
                m_phaseOn = false;
                motorOff();
            }
        }
    } else if (m_elapsedInPhase >= m_offSeconds) {
        m_elapsedInPhase = 0;
        if (m_onSeconds != 0) {
            m_phaseOn = true;
            motorOn();
        }
    }
    return Tick::Running;
}

void RunInSequencer::stop() {
    motorOff();
}

std::vector<RunInCommand> RunInSequencer::takeCommands() {
    std::vector<RunInCommand> out;
    out.swap(m_commands);
    return out;
}

void SendRunInCommands(DriveData& drive, const std::vector<RunInCommand>& commands) {
    for (const RunInCommand& command : commands) {
        switch (command.kind) {
            case RunInCommand::Kind::StopMotor:
                drive.gate().send(BuildAction(code::StopMotor));
                break;
            case RunInCommand::Kind::StartMotor:
                drive.gate().send(BuildAction(code::StartMotor));
                break;
            case RunInCommand::Kind::WriteSpeed:
                drive.SetChoice(param::kSetSpeed, command.value);
                drive.RequestGroup(0, 0x10);
                break;
        }
    }
}

void RestoreRunInSpeed(DriveData& drive, std::uint32_t savedSpeed) {
    drive.SetChoice(param::kSetSpeed, savedSpeed);
    drive.RequestGroup(0, 0x10);
}

}  // namespace velmora::model
