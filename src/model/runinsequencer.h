#pragma once
// The run-in clock: steps, on/off phases and the telegrams they cause, driven
// one second at a time. Pure logic; the page turns its commands into requests
// and its counters into texts.
#include <cstdint>
#include <vector>

#include "link/pollmode.h"
#include "model/drivedata.h"
#include "model/runinprogram.h"

namespace velmora::model {

struct RunInCommand {
    enum class Kind { StopMotor, StartMotor, WriteSpeed };
    Kind kind;
    std::uint32_t value = 0;  // WriteSpeed: parameter 1 in Hz
    bool operator==(const RunInCommand&) const = default;
};

class RunInSequencer {
  public:
    // A new step table; counters back to zero.
    void load(std::vector<RunInStep> steps);
    // Enters the first step.
    void start();
    enum class Tick { Running, Finished };
    // One second passed. Finished when the program's total time is reached;
    // the caller then stops.
    Tick tick();
    // Motor off (the speed restore is the page's, it knows the saved value).
    void stop();

    // Commands produced since the last call, in order.
    std::vector<RunInCommand> takeCommands();

    [[nodiscard]] std::uint32_t stepCount() const {
        return static_cast<std::uint32_t>(m_steps.size());
    }
    [[nodiscard]] std::uint32_t totalSeconds() const { return m_totalSeconds; }
    [[nodiscard]] std::uint32_t totalMinutes() const;
    [[nodiscard]] std::uint32_t currentStep() const { return m_currentStep; }
    [[nodiscard]] std::uint32_t elapsedTotal() const { return m_elapsedTotal; }
    [[nodiscard]] std::uint32_t elapsedInStep() const { return m_elapsedInStep; }
    [[nodiscard]] bool motorOnPhase() const { return m_phaseOn; }
    // rpm of the current step in the on phase, 0 in the off phase.
    [[nodiscard]] std::uint32_t shownSpeed() const { return m_shownSpeed; }
    // minute_time of the current step, 0 before the first step.
    [[nodiscard]] std::uint32_t currentStepMinutes() const;

  private:
    void enterNextStep();
    void motorOff();
    void motorOn();
    [[nodiscard]] const RunInStep* current() const;

    std::vector<RunInStep> m_steps;
    std::vector<RunInCommand> m_commands;
    std::uint32_t m_totalSeconds = 0;
    std::uint32_t m_stepSeconds = 0;
    std::uint32_t m_onSeconds = 0;
    std::uint32_t m_offSeconds = 0;
    std::uint32_t m_elapsedTotal = 0;
    std::uint32_t m_elapsedInStep = 0;
    std::uint32_t m_elapsedInPhase = 0;
    std::uint32_t m_currentStep = 0;
    std::uint32_t m_shownSpeed = 0;
    bool m_phaseOn = false;
};

// Status and the live values of the run-in.
inline constexpr int kRunInPollMode = static_cast<int>(link::PollMode::RunIn);

// Queues the telegrams of the sequencer's commands (speed in parameter 1).
void SendRunInCommands(DriveData& drive, const std::vector<RunInCommand>& commands);
// Puts back the set speed the drive had before the run-in.
void RestoreRunInSpeed(DriveData& drive, std::uint32_t savedSpeed);

}  // namespace velmora::model
