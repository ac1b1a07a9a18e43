#include "pages/control/controlpage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <optional>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/control/controlpolicy.h"
#include "shell/helpnoteviewer.h"
#include "shell/noticeboard.h"
#include "shell/prompter.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using model::DriveData;
using shell::T;

namespace {

constexpr int kBasicGroup = model::code::Group50;         // parameters 1, 7, 8
constexpr int kRemoteChoiceGroup = model::code::Group58;  // parameters 140, 141, 146
constexpr int kIdentityGroup = model::code::Group5A;
const int kWriteBasicGroup = model::WriteCommandOf(kBasicGroup);
const int kWriteRemoteChoiceGroup = model::WriteCommandOf(kRemoteChoiceGroup);
constexpr int kFullRefreshes = 3;

QString displaySpeedText(const DriveData& data, std::uint32_t internalSpeed) {
    data.ToDisplaySpeed(internalSpeed);
    return UnsignedText(internalSpeed);
}

int listIndexOf(std::uint32_t choice) {
    return choice > static_cast<std::uint32_t>(INT32_MAX) ? -1 : static_cast<int>(choice);
}

// QSlider works in int; the speed fields are 16-bit on the wire.
int sliderValue(std::uint32_t speed) {
    return static_cast<int>(std::min<std::uint32_t>(speed, 0xFFFF));
}

}  // namespace

CControlPage::CControlPage(model::DriveData& data, QWidget* parent) : shell::Page(data, parent) {
    buildControls();
    connectControls();
    applyTexts();
}

// The widget base closes the page after this part is gone; a field losing
// the focus then (the set speed's editingFinished) must neither reach this
// object nor send a value.
CControlPage::~CControlPage() {
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void CControlPage::connectControls() {
    connect(m_setSpeedEdit, &StepEdit::editingFinished, this, &CControlPage::setSpeedEdited);
    m_setSpeedEdit->onStep([this](int delta) { spinStepped(delta); });
    connect(m_setSpeedSlider, &QSlider::actionTriggered, this, [this] { sliderMoved(); });
    connect(m_unitList, &QComboBox::activated, this, [this] { unitChosen(); });
    connect(m_controlSourceList, &QComboBox::activated, this, [this] { controlSourceChosen(); });
    connect(m_startSourceList, &QComboBox::activated, this, [this] { startSourceChosen(); });
    connect(m_p141List, &QComboBox::activated, this,
            [this] { remoteChoiceChosen(m_p141List, param::kSetPointSource); });
    connect(m_rotationList, &QComboBox::activated, this, [this] { directionChosen(); });
    connect(m_startButton, &QAbstractButton::clicked, this, [this] {
        // Sent all the same: the drive decides, and the fault may be gone.
        if (!m_reportedFault.isEmpty())
            shell::showNotice(this, T("startrefusedfault").arg(m_reportedFault));
        sendAction(model::code::StartMotor);
    });
    connect(m_stopButton, &QAbstractButton::clicked, this,
            [this] { sendAction(model::code::StopMotor); });
    connect(m_resetButton, &QAbstractButton::clicked, this, &CControlPage::resetPressed);
    connect(m_helpButton, &QAbstractButton::clicked, this,
            [this] { m_helpViewer->open(shell::HelpKind::ControlPageHelp); });
}

// Reversing a turning spindle is not for the operator's page: the direction
// waits until the drive reports it stopped.
void CControlPage::operationAllowed() {
    m_motorRunning = false;
    m_controlSourceList->setEnabled(true);
    m_rotationList->setEnabled(true);
}
void CControlPage::operationNotAllowed() {
    m_motorRunning = true;
    m_controlSourceList->setEnabled(false);
    m_rotationList->setEnabled(false);
}

void CControlPage::showMotorModelName(int modelIndex) {
    m_slotFromDrive = false;
    m_selectionKey = QString::fromLatin1(MotorModelKey(modelIndex));
    m_selectionField->setText(T(m_selectionKey.toStdString()));
}

void CControlPage::showMemorySlotName(int) {
    m_slotFromDrive = true;
    showDriveSlot();
}

// Parameter 20 counts the slots from 1; 0 or an unread value names none.
void CControlPage::showDriveSlot() {
    const std::uint32_t slot = data().GetChoice(param::kMemorySlot);
    m_selectionKey =
        QString::fromStdString(MemorySlotKey(slot >= 1 && slot <= 32 ? long(slot) - 1 : -1));
    m_selectionField->setText(m_selectionKey.isEmpty() ? QString()
                                                       : T(m_selectionKey.toStdString()));
}

void CControlPage::setRunInActive(bool active) {
    m_runInActive = active;
}

void CControlPage::pageShown() {
    if (m_runInActive) return;
    m_refreshCount = 0;
    data().RequestGroup(1, kBasicGroup);
    data().RequestGroup(1, kRemoteChoiceGroup);
    data().RequestGroup(1, kIdentityGroup);
    data().gate().setPollMode(link::PollMode::ControlPage);
}

void CControlPage::refresh() {
    data().TakeImage();
    if (m_refreshCount >= kFullRefreshes) {
        showOperatingValues();
        showDriveIdentity();
        return;
    }
    showOperatingValues();
    applySpeedLimits();
    showDriveIdentity();
    showRemoteChoices();
    showSetSpeedAndBasics();
    ++m_refreshCount;
}

void CControlPage::showOperatingValues() {
    m_speedValue->setText(displaySpeedText(data(), data().GetChoice(param::kActualSpeed)));
    m_voltageValue->setText(FixedText(data().GetReal(param::kOutputVoltage), 1));
    m_currentValue->setText(FixedText(data().GetReal(param::kOutputCurrent), 1));
    // A slot loaded from the remote control or from the motor page.
    if (m_slotFromDrive || data().GetChoice(param::kMotorSelection) == 1) showDriveSlot();
}

void CControlPage::linkLost() {
    for (QLabel* value : {m_speedValue, m_voltageValue, m_currentValue}) value->clear();
}

void CControlPage::applySpeedLimits() {
    m_speedMin = data().GetChoice(param::kMinSpeed);
    m_speedMax = data().GetChoice(param::kMaxSpeed);
    m_setSpeedSlider->setRange(sliderValue(m_speedMin), sliderValue(m_speedMax));
    setSliderPosition(data().GetChoice(param::kSetSpeed));
}

void CControlPage::showDriveIdentity() {
    m_inverterValue->setText(T(InverterTypeKey(data().GetChoice(param::kInverterType))));
    m_firmwareValue->setText(FixedText(data().GetReal(param::kFirmwareVersion), 2));
    m_serialValue->setText(UnsignedText(data().GetChoice(param::kSerialNumber)));
}

void CControlPage::showRemoteChoices() {
    m_startSourceList->setCurrentIndex(listIndexOf(data().GetChoice(param::kStartSource)));
    m_p141List->setCurrentIndex(listIndexOf(data().GetChoice(param::kSetPointSource)));
    m_rotationList->setCurrentIndex(listIndexOf(data().GetChoice(param::kRotationDirection)));
    // The write-back carries the direction too: none while the motor turns.
    if (m_motorRunning) {
        if (const auto enabled = StartSourceChosen(m_startSourceList->currentIndex()))
            setRoundButtonsEnabled(*enabled);
        return;
    }
    startSourceChosen();
    remoteChoiceChosen(m_p141List, param::kSetPointSource);
    remoteChoiceChosen(m_rotationList, param::kRotationDirection);
}

void CControlPage::showSetSpeedAndBasics() {
    const std::uint32_t setSpeed = data().GetChoice(param::kSetSpeed);
    const std::uint32_t corrected = ClampSetSpeed(setSpeed, m_speedMin, m_speedMax);
    if (corrected != setSpeed) data().SetChoice(param::kSetSpeed, corrected);
    showSetSpeed(corrected);
    m_controlSourceList->setCurrentIndex(listIndexOf(data().GetChoice(param::kControlSource)));
    controlSourceChosen();
    m_unitList->setCurrentIndex(listIndexOf(data().GetChoice(param::kSpeedUnit)));
    unitChosen();
}

// A text that is not a number is refused: the field shows the set speed
// again and nothing is written (it used to send the minimum speed).
std::optional<std::uint32_t> CControlPage::typedSetSpeed() {
    const QString text = m_setSpeedEdit->fieldText();
    std::optional<std::uint32_t> v = TypedUnsigned(text);
    if (!v) {
        showSetSpeed(data().GetChoice(param::kSetSpeed));
        RefuseTypedText(m_setSpeedEdit, text);
        return std::nullopt;
    }
    data().FromDisplaySpeed(*v);
    return v;
}

void CControlPage::setSpeedEdited() {
    if (m_runInActive) return;
    const std::optional<std::uint32_t> typed = typedSetSpeed();
    if (!typed) return;
    std::uint32_t v = *typed;
    // Typed speeds outside the drive's limits are never sent: the 16-bit
    // field would otherwise carry a truncated, arbitrary speed.
    v = ClampSetSpeed(v, m_speedMin, m_speedMax);
    setSliderPosition(v);
    data().SetChoice(param::kSetSpeed, v);
    showSetSpeed(data().GetChoice(param::kSetSpeed));
    data().RequestGroup(0, kWriteBasicGroup);
}

void CControlPage::spinStepped(int delta) {
    const std::optional<std::uint32_t> v = typedSetSpeed();
    if (!v) return;
    const std::uint32_t n = SpinStepSpeed(*v, delta, m_speedMin, m_speedMax);
    setSliderPosition(n);
    data().SetChoice(param::kSetSpeed, n);
    showSetSpeed(n);
    data().RequestGroup(0, kWriteBasicGroup);
}

void CControlPage::sliderMoved() {
    const auto n = static_cast<std::uint32_t>(std::max(0, m_setSpeedSlider->sliderPosition()));
    data().SetChoice(param::kSetSpeed, n);
    showSetSpeed(n);
    data().RequestGroup(0, kWriteBasicGroup);
}

void CControlPage::unitChosen() {
    takeListChoice(m_unitList, param::kSpeedUnit);
    showUnit();
    showSetSpeed(data().GetChoice(param::kSetSpeed));
    data().RequestGroup(0, kWriteBasicGroup);
}

void CControlPage::controlSourceChosen() {
    takeListChoice(m_controlSourceList, param::kControlSource);
    const ControlSourceEffect effect =
        ControlSourceChosen(m_controlSourceList->currentIndex(), m_startSourceList->currentIndex());
    if (effect.remoteListsEnabled) {
        m_startSourceList->setEnabled(*effect.remoteListsEnabled);
        m_p141List->setEnabled(*effect.remoteListsEnabled);
    }
    if (effect.buttonsEnabled) setRoundButtonsEnabled(*effect.buttonsEnabled);
    data().RequestGroup(0, kWriteBasicGroup);
}

void CControlPage::startSourceChosen() {
    takeListChoice(m_startSourceList, param::kStartSource);
    if (const auto enabled = StartSourceChosen(m_startSourceList->currentIndex()))
        setRoundButtonsEnabled(*enabled);
    data().RequestGroup(0, kWriteRemoteChoiceGroup);
}

void CControlPage::remoteChoiceChosen(QComboBox* list, int parameter) {
    takeListChoice(list, parameter);
    data().RequestGroup(0, kWriteRemoteChoiceGroup);
}

void CControlPage::directionChosen() {
    if (m_motorRunning) {
        m_rotationList->setCurrentIndex(listIndexOf(data().GetChoice(param::kRotationDirection)));
        RefuseWhileRunning(this, T("p146"));
        return;
    }
    remoteChoiceChosen(m_rotationList, param::kRotationDirection);
}

void CControlPage::resetPressed() {
    if (shell::prompter().confirm(this, T("resetinfo"))) sendAction(model::code::ResetDrive);
}

void CControlPage::takeListChoice(const QComboBox* list, int parameter) {
    const int index = list->currentIndex();
    if (index >= 0) data().SetChoice(parameter, static_cast<std::uint32_t>(index));
}

bool CControlPage::stopEnabled() const {
    return m_stopButton->isEnabled();
}

void CControlPage::setRoundButtonsEnabled(bool enabled) {
    m_startButton->setEnabled(enabled);
    m_stopButton->setEnabled(enabled);
    m_resetButton->setEnabled(enabled);
}

void CControlPage::showUnit() {
    const int unit = m_unitList->currentIndex();
    if (unit != 0 && unit != 1) return;
    const QString text = T(unit == 0 ? "hz" : "rpm");
    m_setSpeedUnit->setText(text);
    m_speedUnit->setText(text);
}

void CControlPage::showSetSpeed(std::uint32_t internalSpeed) {
    m_setSpeedEdit->setFieldText(displaySpeedText(data(), internalSpeed));
}

void CControlPage::setSliderPosition(std::uint32_t internalSpeed) {
    m_setSpeedSlider->setValue(sliderValue(internalSpeed));
}

void CControlPage::sendAction(int actionCode) {
    data().gate().send(model::BuildAction(actionCode));
}

}  // namespace velmora::pages
