#pragma once
#include <QTimer>
#include <filesystem>

#include "model/runinsequencer.h"
#include "shell/page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;

namespace velmora::shell {
class AnimationView;
class RoundButton;
}  // namespace velmora::shell

namespace velmora::pages {

// Runs timed run-in programs from data_runin: speed steps with on/off phases.
using model::RunInCommand;
using model::RunInSequencer;

class CRunInPage : public shell::Page {
    Q_OBJECT
  public:
    explicit CRunInPage(model::DriveData& data, QWidget* parent = nullptr);
    ~CRunInPage() override;
    [[nodiscard]] const char* captionKey() const override { return "tabrunin"; }

    void applyTexts() override;
    void operationAllowed() override;
    void operationNotAllowed() override;
    // A fault or a lost link ends a running program.
    void stopIfRunning();
    // The link answered a check: nothing queued from now on is flushed.
    void linkAnswered();

    // User actions (what the controls call); each asks for confirmation.
    void programChosen(int index);
    void startPressed();
    void cancelPressed();
    // One second of the program clock.
    void clockTick();
    // Tests drive the clock themselves.
    void setManualClock(bool manual) { m_manualClock = manual; }

    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] std::uint32_t savedSpeed() const { return m_savedSpeed; }
    [[nodiscard]] const RunInSequencer& sequencer() const { return m_sequencer; }

  protected:
    void pageShown() override;

  private:
    void buildControls();
    void fillProgramList();
    void loadSelectedProgram();
    void start();
    // finished: the program ran to its end (the history says so).
    void stop(bool finished = false);
    void repeatStop();
    void execute(const std::vector<RunInCommand>& commands);
    void showStatus();
    // Start refuses a program with a step above the drive's maximum frequency.
    [[nodiscard]] bool programFitsDrive();

    std::filesystem::path m_folder;
    unsigned m_programCount = 0;
    RunInSequencer m_sequencer;
    std::vector<model::RunInStep> m_steps;  // the loaded program, as the sequencer holds it
    QTimer m_clock;
    bool m_manualClock = false;
    bool m_running = false;
    // A stop the main window asked for (fault, lost link) may not have reached
    // the drive: it is sent once more with the next status the drive reports.
    bool m_repeatStop = false;
    // Parameter 1 as it was before the program; 111 until the page was first shown.
    std::uint32_t m_savedSpeed = 111;

    QComboBox* m_programList = nullptr;
    shell::RoundButton* m_startButton = nullptr;
    shell::RoundButton* m_cancelButton = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_cancelLabel = nullptr;
    shell::AnimationView* m_animation = nullptr;
    QGroupBox* m_statusGroup = nullptr;
    QLabel* m_stepLine = nullptr;
    QLabel* m_stepTimeLabel = nullptr;
    QLabel* m_elapsedStepTime = nullptr;
    QLabel* m_stepDuration = nullptr;
    QLabel* m_speedLabel = nullptr;
    QLabel* m_currentSpeed = nullptr;
    QLabel* m_driveSpeed = nullptr;  // what the drive reports (parameter 14)
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressStart = nullptr;
    QLabel* m_totalTime = nullptr;
};

}  // namespace velmora::pages
