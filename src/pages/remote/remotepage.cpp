#include "pages/remote/remotepage.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <string>

#include "link/pollmode.h"
#include "model/drivedata.h"
#include "model/parameters.h"
#include "model/remoteparameterfile.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/common/unsentvalues.h"
#include "platform/templatepath.h"
#include "shell/helpnoteviewer.h"
#include "shell/noticeboard.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using model::kRemoteTemplateName;
using model::RemoteParameterFile;
using platform::ExecutableFolder;
using platform::FindTemplateFile;

using model::DriveData;
using shell::T;

namespace {

using model::kRemoteGroup;
using model::kWriteRemoteGroup;

int listIndexOf(std::uint32_t choice) {
    return choice > static_cast<std::uint32_t>(INT32_MAX) ? -1 : static_cast<int>(choice);
}

shell::FileChoice parameterFileChoice(const char* titleKey) {
    shell::FileChoice choice;
    choice.title = T(titleKey);
    choice.filter = QStringLiteral("vpr files (*.vpr)");
    choice.defaultSuffix = QStringLiteral("vpr");
    return choice;
}

}  // namespace

CRemotePage::CRemotePage(model::DriveData& data, QWidget* parent) : shell::Page(data, parent) {
    buildControls();
    connectControls();
    applyTexts();
}

void CRemotePage::connectControls() {
    for (ListField& field : m_lists) {
        const int parameter = field.list->parameter;
        QComboBox* box = field.box;
        connect(box, &QComboBox::activated, this, [this, parameter](int index) {
            if (index >= 0) data().SetChoice(parameter, static_cast<std::uint32_t>(index));
        });
    }
    for (SpeedField& field : m_speeds) {
        connect(field.edit, &StepEdit::editingFinished, this,
                [this, &field] { speedEdited(field); });
        field.edit->onStep([this, &field](int delta) { speedStepped(field, delta); });
    }
    connect(m_mode137List, &QComboBox::activated, this, [this] { mode137Chosen(); });
    connect(m_currentEdit, &StepEdit::editingFinished, this, &CRemotePage::currentEdited);
    m_currentEdit->onStep([this](int delta) { currentStepped(delta); });
    connect(m_sendButton, &QPushButton::clicked, this, &CRemotePage::sendPressed);
    connect(m_saveButton, &QPushButton::clicked, this, &CRemotePage::savePressed);
    connect(m_loadButton, &QPushButton::clicked, this, &CRemotePage::loadPressed);
    connect(m_helpButton, &QPushButton::clicked, this,
            [this] { m_helpViewer->open(shell::HelpKind::RemotePageHelp); });
}

void CRemotePage::operationAllowed() {
    for (ListField& field : m_lists)
        if (field.list->followsOperation) field.box->setEnabled(true);
}

void CRemotePage::operationNotAllowed() {
    for (ListField& field : m_lists)
        if (field.list->followsOperation) field.box->setEnabled(false);
}

bool CRemotePage::confirmLeave() {
    return ConfirmLeavingUnsent(this, data(), {kRemoteGroup});
}

void CRemotePage::pageShown() {
    data().gate().setPollMode(link::PollMode::RemotePage);
    data().RequestGroup(1, kRemoteGroup);
}

void CRemotePage::refresh() {
    data().TakeImage();
    applySpeedLimits();
    showUnits();
    showValues();
}

void CRemotePage::applySpeedLimits() {
    m_speedMin = data().GetChoice(param::kMinSpeed);
    m_speedMax = data().GetChoice(param::kMaxSpeed);
}

void CRemotePage::showUnits() {
    const std::uint32_t unit = data().GetChoice(param::kSpeedUnit);
    if (unit != 0 && unit != 1) return;
    for (SpeedField& field : m_speeds) field.unit->setText(T(unit == 0 ? "hz" : "rpm"));
}

// The values are shown as the drive holds them: one outside what the page
// allows (p136 above a p42 lowered since) is marked, never changed behind
// the user's back, so an untouched page holds nothing unsent.
void CRemotePage::showValues() {
    for (ListField& field : m_lists)
        field.box->setCurrentIndex(listIndexOf(data().GetChoice(field.list->parameter)));
    showCurrent();
    const auto mode137 = ModeOf137(data().GetChoice(param::kStopBelow), m_speedMin);
    m_mode137List->setCurrentIndex(static_cast<int>(mode137));
    speedField(param::kStopBelow).edit->setEnabled(mode137 == Speed137Mode::Chosen);
    QStringList outside;
    for (SpeedField& field : m_speeds) {
        showSpeed(field);
        const bool checked =
            field.parameter != param::kStopBelow || mode137 == Speed137Mode::Chosen;
        const QString note = checked ? outsideRangeNote(field) : QString();
        field.edit->setToolTip(note);
        if (!note.isEmpty()) outside << note;
    }
    if (!outside.isEmpty()) shell::showNotice(this, outside.join(QLatin1Char(' ')));
    listOf(param::kBasicSettingsChange)->setEnabled(data().GetChoice(param::kControlSource) != 0);
}

QString CRemotePage::outsideRangeNote(const SpeedField& field) const {
    const SpeedRange range = RemoteSpeedRange(field.parameter, m_speedMin, m_speedMax);
    std::uint32_t value = data().GetChoice(field.parameter);
    if (value >= range.low && value <= range.high) return {};
    std::uint32_t low = range.low, high = range.high;
    for (std::uint32_t* v : {&value, &low, &high}) data().ToDisplaySpeed(*v);
    return T("outsiderange")
        .arg(T("p" + std::to_string(field.parameter)), UnsignedText(value), UnsignedText(low),
             UnsignedText(high));
}

std::optional<std::uint32_t> CRemotePage::typedSpeed(const SpeedField& field) const {
    std::optional<std::uint32_t> v = TypedUnsigned(field.edit->fieldText());
    if (v) data().FromDisplaySpeed(*v);
    return v;
}

// A text that is not a number is refused: the field shows the value it had.
void CRemotePage::refuseText(StepEdit* edit, const std::function<void()>& showLast) {
    const QString text = edit->fieldText();
    showLast();
    RefuseTypedText(edit, text);
}

void CRemotePage::speedEdited(SpeedField& field) {
    // Passing through a field changes nothing, also a value outside the range.
    if (field.edit->fieldText() == speedText(field)) return;
    const auto typed = typedSpeed(field);
    if (!typed) return refuseText(field.edit, [&] { showSpeed(field); });
    data().SetChoice(field.parameter,
                     ClampRemoteSpeed(field.parameter, *typed, m_speedMin, m_speedMax));
    field.edit->setToolTip(QString());
    showSpeed(field);
}

void CRemotePage::speedStepped(SpeedField& field, int delta) {
    if (field.parameter == param::kStopBelow &&
        m_mode137List->currentIndex() != static_cast<int>(Speed137Mode::Chosen))
        return;
    const auto typed = typedSpeed(field);
    if (!typed) return refuseText(field.edit, [&] { showSpeed(field); });
    data().SetChoice(field.parameter,
                     StepRemoteSpeed(field.parameter, *typed, delta, m_speedMin, m_speedMax));
    field.edit->setToolTip(QString());
    showSpeed(field);
}

void CRemotePage::mode137Chosen() {
    SpeedField& field = speedField(param::kStopBelow);
    switch (m_mode137List->currentIndex()) {
        case static_cast<int>(Speed137Mode::Off):
            data().SetChoice(param::kStopBelow, 0);
            field.edit->setEnabled(false);
            break;
        case static_cast<int>(Speed137Mode::MinimumSpeed):
            data().SetChoice(param::kStopBelow, m_speedMin);
            field.edit->setEnabled(false);
            break;
        case static_cast<int>(Speed137Mode::Chosen): {
            // The typed speed is kept inside the drive's limits like any edit;
            // a text that is no number leaves the value as it was.
            const std::uint32_t typed =
                typedSpeed(field).value_or(data().GetChoice(param::kStopBelow));
            data().SetChoice(param::kStopBelow,
                             ClampRemoteSpeed(137, typed, m_speedMin, m_speedMax));
            field.edit->setEnabled(true);
            break;
        }
        default:
            break;
    }
    showSpeed(field);
}

void CRemotePage::currentEdited() {
    const auto typed = TypedReal(m_currentEdit->fieldText());
    if (!typed) return refuseText(m_currentEdit, [this] { showCurrent(); });
    data().SetReal(param::kRelayCurrent, ClampRelayCurrent(*typed));
    showCurrent();
}

void CRemotePage::currentStepped(int delta) {
    const auto typed = TypedReal(m_currentEdit->fieldText());
    if (!typed) return refuseText(m_currentEdit, [this] { showCurrent(); });
    data().SetReal(param::kRelayCurrent, StepRelayCurrent(*typed, delta));
    showCurrent();
}

void CRemotePage::sendPressed() {
    data().RequestGroup(0, kWriteRemoteGroup);
    data().RequestGroup(1, kRemoteGroup);
}

void CRemotePage::savePressed() {
    const std::filesystem::path folder =
        m_programFolder.empty() ? ExecutableFolder() : m_programFolder;
    const std::filesystem::path templatePath = FindTemplateFile(kRemoteTemplateName, folder);
    if (templatePath.empty()) return;
    shell::FileChoice choice = parameterFileChoice("saveas");
    choice.proposedName = QStringLiteral("velmora_fb_para");
    const QString target = shell::prompter().chooseSaveFile(this, choice);
    if (target.isEmpty()) return;
    std::string reason;
    const auto result =
        RemoteParameterFile::save(templatePath, target.toStdString(), data(), &reason);
    // Unlike a silent failure, the user learns that the file was not written.
    if (result == RemoteParameterFile::SaveResult::Failed)
        shell::prompter().fileError(this, target, QString::fromStdString(reason));
    else if (result == RemoteParameterFile::SaveResult::Saved)
        shell::showFileSaved(this, target);
}

void CRemotePage::loadPressed() {
    const QString file = shell::prompter().chooseOpenFile(this, parameterFileChoice("loadfrom"));
    if (file.isEmpty()) return;
    RemoteParameterFile::load(file.toStdString(), data());
    // A file's speeds are kept inside the drive's limits like typed ones: Send
    // would carry them. Only what the drive holds is shown unchanged.
    for (const SpeedField& field : m_speeds) {
        const std::uint32_t v = data().GetChoice(field.parameter);
        if (field.parameter != param::kStopBelow ||
            ModeOf137(v, m_speedMin) == Speed137Mode::Chosen)
            data().SetChoice(field.parameter,
                             ClampRemoteSpeed(field.parameter, v, m_speedMin, m_speedMax));
    }
    showValues();
}

QString CRemotePage::speedText(const SpeedField& field) const {
    std::uint32_t v = data().GetChoice(field.parameter);
    data().ToDisplaySpeed(v);
    return UnsignedText(v);
}

void CRemotePage::showSpeed(const SpeedField& field) {
    field.edit->setFieldText(speedText(field));
}

void CRemotePage::showCurrent() {
    m_currentEdit->setFieldText(FixedText(data().GetReal(param::kRelayCurrent), 2));
}

CRemotePage::SpeedField& CRemotePage::speedField(int parameter) {
    for (SpeedField& field : m_speeds)
        if (field.parameter == parameter) return field;
    return m_speeds[0];
}

QComboBox* CRemotePage::listOf(int parameter) const {
    for (const ListField& field : m_lists)
        if (field.list->parameter == parameter) return field.box;
    return nullptr;
}

}  // namespace velmora::pages
