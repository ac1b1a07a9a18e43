#include "pages/runin/runinpage.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/parameters.h"
#include "model/runinprogram.h"
#include "shell/animationview.h"
#include "shell/fontset.h"
#include "shell/framemessage.h"
#include "shell/noticeboard.h"
#include "shell/operationlog.h"
#include "shell/prompter.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using model::CountRunInPrograms;
using model::LoadRunInSteps;
using model::RunInProgramName;
using model::RunInProgramPath;
namespace {

QString number(std::uint32_t value) {
    return QString::number(value);
}

// 1-based number of the first step whose speed lies above maxHz; 0 for none.
std::size_t FirstStepAbove(const std::vector<model::RunInStep>& steps, std::uint32_t maxHz) {
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i].rpm / 60 > maxHz) return i + 1;
    return 0;
}

}  // namespace

CRunInPage::CRunInPage(model::DriveData& data, QWidget* parent) : shell::Page(data, parent) {
    setObjectName("runInPage");
    buildControls();
    m_folder = std::filesystem::current_path() / "data_runin";
    fillProgramList();
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &CRunInPage::clockTick);
    QString animation;
    shell::TextCatalog::instance().animationPath(animation);
    m_animation->load(animation);
}

CRunInPage::~CRunInPage() {
    m_clock.stop();
}

void CRunInPage::buildControls() {
    auto* layout = new QVBoxLayout(this);
    m_programList = new QComboBox(this);
    m_programList->setObjectName("programList");
    layout->addWidget(m_programList);

    auto* buttons = new QHBoxLayout;
    m_startButton = new shell::RoundButton(this);
    m_startButton->setObjectName("startButton");
    m_startButton->setShape(6);
    m_startButton->setColour(shell::RoundButton::Face, qRgb(0, 255, 0));
    m_startButton->setColour(shell::RoundButton::PressedFace, qRgb(0, 128, 0));
    m_startButton->setFixedSize(60, 40);
    m_startLabel = new QLabel(this);
    m_cancelButton = new shell::RoundButton(this);
    m_cancelButton->setObjectName("cancelButton");
    m_cancelButton->setShape(6);
    m_cancelButton->setColour(shell::RoundButton::Face, qRgb(255, 0, 0));
    m_cancelButton->setColour(shell::RoundButton::PressedFace, qRgb(128, 0, 0));
    m_cancelButton->setFixedSize(60, 40);
    m_cancelLabel = new QLabel(this);
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_startLabel);
    buttons->addSpacing(30);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_cancelLabel);
    buttons->addStretch();
    m_animation = new shell::AnimationView(this);
    m_animation->setObjectName("runInAnimation");
    m_animation->setMinimumSize(120, 90);
    buttons->addWidget(m_animation);
    layout->addLayout(buttons);

    m_statusGroup = new QGroupBox(this);
    m_statusGroup->setObjectName("statusGroup");
    auto* grid = new QGridLayout(m_statusGroup);
    auto label = [this](const char* name, Qt::Alignment align = Qt::AlignLeft) {
        auto* l = new QLabel(m_statusGroup);
        l->setObjectName(name);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    m_stepLine = label("stepLine");
    m_stepTimeLabel = label("stepTimeLabel");
    m_elapsedStepTime = label("elapsedStepTime", Qt::AlignRight);
    m_stepDuration = label("stepDuration");
    m_speedLabel = label("currentSpeedLabel", Qt::AlignRight);
    m_currentSpeed = label("currentSpeed");
    m_driveSpeed = label("driveSpeed");
    grid->addWidget(m_stepLine, 0, 0, 1, 3);
    grid->addWidget(m_stepTimeLabel, 1, 0);
    grid->addWidget(m_elapsedStepTime, 1, 1);
    grid->addWidget(m_stepDuration, 1, 2);
    grid->addWidget(m_speedLabel, 2, 0, 1, 2);
    grid->addWidget(m_currentSpeed, 2, 2);
    grid->addWidget(m_driveSpeed, 2, 3);
    m_progressStart = label("progressStartLabel");
    m_progress = new QProgressBar(m_statusGroup);
    m_progress->setObjectName("runInProgress");
    m_progress->setTextVisible(false);
    m_totalTime = label("totalTime", Qt::AlignRight);
    grid->addWidget(m_progressStart, 3, 0);
    grid->addWidget(m_progress, 3, 1);
    grid->addWidget(m_totalTime, 3, 2);
    layout->addWidget(m_statusGroup);
    layout->addStretch();

    connect(m_programList, qOverload<int>(&QComboBox::activated), this, &CRunInPage::programChosen);
    connect(m_startButton, &QAbstractButton::clicked, this, &CRunInPage::startPressed);
    connect(m_cancelButton, &QAbstractButton::clicked, this, &CRunInPage::cancelPressed);
}

void CRunInPage::applyTexts() {
    shell::FontSet fonts;
    fonts.apply(m_startLabel, shell::FontSet::Large);
    fonts.apply(m_cancelLabel, shell::FontSet::Large);
    for (QWidget* w : std::initializer_list<QWidget*>{m_programList, m_statusGroup, m_stepLine,
                                                      m_stepTimeLabel, m_elapsedStepTime,
                                                      m_stepDuration, m_speedLabel, m_currentSpeed,
                                                      m_driveSpeed, m_progressStart, m_totalTime})
        fonts.apply(w, shell::FontSet::Normal);
    m_startLabel->setText(shell::T("startbutton"));
    m_cancelLabel->setText(shell::T("cancelbutton"));
    m_statusGroup->setTitle(shell::T("statusdisplay"));
    m_stepTimeLabel->setText(shell::T("steptime"));
    m_speedLabel->setText(shell::T("currentrotation"));
    m_progressStart->setText(shell::T("runinstart"));
    showStatus();
}

void CRunInPage::fillProgramList() {
    m_programCount = CountRunInPrograms(m_folder);
    m_programList->clear();
    for (unsigned n = 1; n <= m_programCount; ++n)
        m_programList->addItem(
            QString::fromStdString(RunInProgramName(RunInProgramPath(m_folder, n))));
    m_programList->setCurrentIndex(m_programCount > 0 ? 0 : -1);
    loadSelectedProgram();
}

void CRunInPage::loadSelectedProgram() {
    const int selection = m_programList->currentIndex();
    // With an empty list program 0 is asked for, which has no file and no steps.
    const unsigned number = selection < 0 ? 0u : static_cast<unsigned>(selection + 1);
    m_steps = LoadRunInSteps(RunInProgramPath(m_folder, number));
    m_sequencer.load(m_steps);
    m_progress->setRange(0, static_cast<int>(m_sequencer.totalSeconds()));
    m_progress->setValue(0);
    showStatus();
}

void CRunInPage::showStatus() {
    const std::uint32_t inStep = m_sequencer.elapsedInStep();
    m_stepLine->setText(shell::T("step") + " " + number(m_sequencer.currentStep()) + "/" +
                        number(m_sequencer.stepCount()));
    m_elapsedStepTime->setText(number(inStep / 60) + ":" +
                               QString("%1").arg(inStep % 60, 2, 10, QChar('0')) + " " +
                               shell::T("minute"));
    m_stepDuration->setText("/ " + number(m_sequencer.currentStepMinutes()) + " " +
                            shell::T("minute"));
    m_currentSpeed->setText(number(m_sequencer.shownSpeed()) + " " + shell::T("rpm"));
    // The program's speed is what was asked for; the drive may not follow it.
    const std::uint32_t actualHz = data().Image(param::kActualSpeed);
    m_driveSpeed->setText(
        m_running && actualHz <= 0xFFFF
            ? shell::T("runindrivespeed").arg(number(actualHz * 60) + " " + shell::T("rpm"))
            : QString());
    m_totalTime->setText(number(m_sequencer.totalMinutes()) + " " + shell::T("minute"));
    m_progress->setValue(static_cast<int>(m_sequencer.elapsedTotal()));
}

void CRunInPage::programChosen(int) {
    if (!m_running) loadSelectedProgram();
}

// Start while a program runs begins it again from its first step, after the
// same question; the speed saved before the first start stays the one restored.
void CRunInPage::startPressed() {
    if (!programFitsDrive()) return;
    if (shell::prompter().confirm(this, shell::T("runinstartpopup"))) start();
}

// The drive would hold such a step at its maximum, or refuse it: the program
// is not started. A maximum not read yet (0, or all ones) lets every step through.
bool CRunInPage::programFitsDrive() {
    const std::uint32_t maxHz = data().GetChoice(param::kMaxSpeed);
    const std::size_t step = maxHz == 0 ? 0 : FirstStepAbove(m_steps, maxHz);
    if (step == 0) return true;
    shell::showNotice(this, shell::T("runinstepabovemax")
                                .arg(number(static_cast<std::uint32_t>(step)),
                                     number(m_steps[step - 1].rpm), number(maxHz)));
    return false;
}

// Cancel is also the way to stop the motor and put the saved speed back when
// no program runs (after a program was stopped by a fault, for one).
void CRunInPage::cancelPressed() {
    if (shell::prompter().confirm(this, shell::T("runincancelpopup"))) stop();
}

void CRunInPage::start() {
    m_repeatStop = false;
    postToFrame(shell::RunInActive{true});
    if (auto* log = shell::OperationLogOf(frame())) log->runInStarted(m_programList->currentText());
    m_running = true;
    m_programList->setEnabled(false);
    if (!m_manualClock) m_clock.start();
    m_sequencer.start();
    execute(m_sequencer.takeCommands());
    showStatus();
    m_animation->play();
}

void CRunInPage::stop(bool finished) {
    const bool wasRunning = m_running;  // Cancel also stops when no program runs
    m_clock.stop();
    m_sequencer.stop();
    execute(m_sequencer.takeCommands());
    m_running = false;
    loadSelectedProgram();
    m_programList->setEnabled(true);
    m_progress->setValue(0);
    model::RestoreRunInSpeed(data(), m_savedSpeed);
    postToFrame(shell::RunInActive{false});
    if (auto* log = shell::OperationLogOf(frame()); log && wasRunning) log->runInEnded(finished);
    m_animation->stop();
}

void CRunInPage::stopIfRunning() {
    if (!m_running) return;
    stop();
    m_repeatStop = true;
}

// The stop and the speed restore queued while the link was lost are thrown
// away when the link reopens; without this the spindle would keep running.
// Status replies can come back before the link check does, and a reopen at
// that check flushes again, so each status repeats them until the link is
// confirmed; the answered check is the last repeat.
void CRunInPage::repeatStop() {
    if (!m_repeatStop || m_running) return;
    data().gate().send(model::BuildAction(model::code::StopMotor));
    model::RestoreRunInSpeed(data(), m_savedSpeed);
}

void CRunInPage::linkAnswered() {
    repeatStop();
    m_repeatStop = false;
}

void CRunInPage::clockTick() {
    if (!m_running) return;
    const std::uint32_t step = m_sequencer.currentStep();
    if (m_sequencer.tick() == RunInSequencer::Tick::Finished) {
        showStatus();
        stop(true);
        shell::prompter().inform(this, shell::T("runinfinishedpopup"));
        return;
    }
    execute(m_sequencer.takeCommands());
    if (m_sequencer.currentStep() != step)
        postToFrame(shell::RunInActive{true, static_cast<int>(m_sequencer.currentStep())});
    showStatus();
}

void CRunInPage::execute(const std::vector<RunInCommand>& commands) {
    model::SendRunInCommands(data(), commands);
}

void CRunInPage::pageShown() {
    if (!m_running) m_savedSpeed = data().GetChoice(param::kSetSpeed);
    data().gate().setPollMode(link::PollMode::RunIn);
}

void CRunInPage::operationAllowed() {
    repeatStop();
    const bool enable = data().GetChoice(param::kControlSource) == 0;
    m_startButton->setEnabled(enable);
    m_cancelButton->setEnabled(enable);
}

void CRunInPage::operationNotAllowed() {
    repeatStop();
    if (m_running) return;
    m_startButton->setEnabled(false);
    m_cancelButton->setEnabled(false);
}

}  // namespace velmora::pages
