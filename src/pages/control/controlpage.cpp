#include "pages/control/controlpage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "link/linkapi.h"
#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/control/controlpolicy.h"
#include "shell/helpnoteviewer.h"
#include "shell/noticeboard.h"
#include "shell/prompter.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using model::DriveData;
using shell::T;

namespace {

constexpr int kBasicGroup = model::code::Group50;         // parameters 1, 7, 8
constexpr int kRemoteChoiceGroup = model::code::Group58;  // parameters 140, 141, 146
constexpr int kIdentityGroup = model::code::Group5A;
const int kWriteBasicGroup = model::WriteCommandOf(kBasicGroup);
const int kWriteRemoteChoiceGroup = model::WriteCommandOf(kRemoteChoiceGroup);
constexpr int kFullRefreshes = 3;

DriveData& drive() {
    return DriveData::instance();
}

void writeGroup(int writeCommand) {
    drive().RequestGroup(0, writeCommand);
}

void send(int actionCode) {
    link::SendRequest(model::BuildAction(actionCode));
}

QString displaySpeedText(std::uint32_t internalSpeed) {
    drive().ToDisplaySpeed(internalSpeed);
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

CControlPage::CControlPage(QWidget* parent) : shell::Page(parent) {
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
            [this] { remoteChoiceChosen(m_p141List, 141); });
    connect(m_rotationList, &QComboBox::activated, this,
            [this] { remoteChoiceChosen(m_rotationList, 146); });
    connect(m_startButton, &QAbstractButton::clicked, this, [this] {
        // Sent all the same: the drive decides, and the fault may be gone.
        if (!m_reportedFault.isEmpty())
            shell::showNotice(this, T("startrefusedfault").arg(m_reportedFault));
        send(model::code::StartMotor);
    });
    connect(m_stopButton, &QAbstractButton::clicked, this, [] { send(model::code::StopMotor); });
    connect(m_resetButton, &QAbstractButton::clicked, this, &CControlPage::resetPressed);
    connect(m_helpButton, &QAbstractButton::clicked, this,
            [this] { m_helpViewer->open(shell::HelpKind::ControlPageHelp); });
}

void CControlPage::operationAllowed() {
    m_controlSourceList->setEnabled(true);
}
void CControlPage::operationNotAllowed() {
    m_controlSourceList->setEnabled(false);
}

void CControlPage::showMotorModelName(int modelIndex) {
    m_selectionKey = QString::fromLatin1(MotorModelKey(modelIndex));
    m_selectionField->setText(T(m_selectionKey.toStdString()));
}

void CControlPage::showMemorySlotName(int slotIndex) {
    m_selectionKey = QString::fromStdString(MemorySlotKey(slotIndex));
    m_selectionField->setText(m_selectionKey.isEmpty() ? QString()
                                                       : T(m_selectionKey.toStdString()));
}

void CControlPage::setRunInActive(bool active) {
    m_runInActive = active;
}

void CControlPage::pageShown() {
    if (m_runInActive) return;
    m_refreshCount = 0;
    drive().RequestGroup(1, kBasicGroup);
    drive().RequestGroup(1, kRemoteChoiceGroup);
    drive().RequestGroup(1, kIdentityGroup);
    link::SetPollMode(link::PollMode::ControlPage);
}

void CControlPage::refresh() {
    drive().TakeImage();
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
    m_speedValue->setText(displaySpeedText(drive().GetChoice(14)));
    m_voltageValue->setText(FixedText(drive().GetReal(15), 1));
    m_currentValue->setText(FixedText(drive().GetReal(18), 1));
    // A slot loaded from the remote control shows its name; parameter 20 counts from 1.
    if (drive().GetChoice(102) == 1) {
        const std::uint32_t slot = drive().GetChoice(20);
        showMemorySlotName(slot >= 1 && slot <= 32 ? static_cast<int>(slot) - 1 : -1);
    }
}

void CControlPage::linkLost() {
    for (QLabel* value : {m_speedValue, m_voltageValue, m_currentValue}) value->clear();
}

void CControlPage::applySpeedLimits() {
    m_speedMin = drive().GetChoice(41);
    m_speedMax = drive().GetChoice(42);
    m_setSpeedSlider->setRange(sliderValue(m_speedMin), sliderValue(m_speedMax));
    setSliderPosition(drive().GetChoice(1));
}

void CControlPage::showDriveIdentity() {
    m_inverterValue->setText(T(InverterTypeKey(drive().GetChoice(36))));
    m_firmwareValue->setText(FixedText(drive().GetReal(37), 2));
    m_serialValue->setText(UnsignedText(drive().GetChoice(39)));
}

void CControlPage::showRemoteChoices() {
    m_startSourceList->setCurrentIndex(listIndexOf(drive().GetChoice(140)));
    startSourceChosen();
    m_p141List->setCurrentIndex(listIndexOf(drive().GetChoice(141)));
    remoteChoiceChosen(m_p141List, 141);
    m_rotationList->setCurrentIndex(listIndexOf(drive().GetChoice(146)));
    remoteChoiceChosen(m_rotationList, 146);
}

void CControlPage::showSetSpeedAndBasics() {
    const std::uint32_t setSpeed = drive().GetChoice(1);
    const std::uint32_t corrected = ClampSetSpeed(setSpeed, m_speedMin, m_speedMax);
    if (corrected != setSpeed) drive().SetChoice(1, corrected);
    showSetSpeed(corrected);
    m_controlSourceList->setCurrentIndex(listIndexOf(drive().GetChoice(7)));
    controlSourceChosen();
    m_unitList->setCurrentIndex(listIndexOf(drive().GetChoice(8)));
    unitChosen();
}

void CControlPage::setSpeedEdited() {
    if (m_runInActive) return;
    std::uint32_t v = ParseUnsigned(m_setSpeedEdit->fieldText());
    drive().FromDisplaySpeed(v);
    // Typed speeds outside the drive's limits are never sent: the 16-bit
    // field would otherwise carry a truncated, arbitrary speed.
    v = ClampSetSpeed(v, m_speedMin, m_speedMax);
    setSliderPosition(v);
    drive().SetChoice(1, v);
    showSetSpeed(drive().GetChoice(1));
    writeGroup(kWriteBasicGroup);
}

void CControlPage::spinStepped(int delta) {
    std::uint32_t v = ParseUnsigned(m_setSpeedEdit->fieldText());
    drive().FromDisplaySpeed(v);
    const std::uint32_t n = SpinStepSpeed(v, delta, m_speedMin, m_speedMax);
    setSliderPosition(n);
    drive().SetChoice(1, n);
    showSetSpeed(n);
    writeGroup(kWriteBasicGroup);
}

void CControlPage::sliderMoved() {
    const auto n = static_cast<std::uint32_t>(std::max(0, m_setSpeedSlider->sliderPosition()));
    drive().SetChoice(1, n);
    showSetSpeed(n);
    writeGroup(kWriteBasicGroup);
}

void CControlPage::unitChosen() {
    takeListChoice(m_unitList, 8);
    showUnit();
    showSetSpeed(drive().GetChoice(1));
    writeGroup(kWriteBasicGroup);
}

void CControlPage::controlSourceChosen() {
    takeListChoice(m_controlSourceList, 7);
    const ControlSourceEffect effect =
        ControlSourceChosen(m_controlSourceList->currentIndex(), m_startSourceList->currentIndex());
    if (effect.remoteListsEnabled) {
        m_startSourceList->setEnabled(*effect.remoteListsEnabled);
        m_p141List->setEnabled(*effect.remoteListsEnabled);
    }
    if (effect.buttonsEnabled) setRoundButtonsEnabled(*effect.buttonsEnabled);
    writeGroup(kWriteBasicGroup);
}

void CControlPage::startSourceChosen() {
    takeListChoice(m_startSourceList, 140);
    if (const auto enabled = StartSourceChosen(m_startSourceList->currentIndex()))
        setRoundButtonsEnabled(*enabled);
    writeGroup(kWriteRemoteChoiceGroup);
}

void CControlPage::remoteChoiceChosen(QComboBox* list, int parameter) {
    takeListChoice(list, parameter);
    writeGroup(kWriteRemoteChoiceGroup);
}

void CControlPage::resetPressed() {
    if (shell::prompter().confirm(this, T("resetinfo"))) send(model::code::ResetDrive);
}

void CControlPage::takeListChoice(const QComboBox* list, int parameter) {
    const int index = list->currentIndex();
    if (index >= 0) drive().SetChoice(parameter, static_cast<std::uint32_t>(index));
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
    m_setSpeedEdit->setFieldText(displaySpeedText(internalSpeed));
}

void CControlPage::setSliderPosition(std::uint32_t internalSpeed) {
    m_setSpeedSlider->setValue(sliderValue(internalSpeed));
}

}  // namespace velmora::pages
