#include "pages/remote/remotepage.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "link/linkapi.h"
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
    connect(m_helpButton, &QPushButton::clicked, this, [this] { m_helpViewer->open(shell::HelpKind::RemotePageHelp); });
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
    link::SetPollMode(link::PollMode::RemotePage);
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

void CRemotePage::showValues() {
    for (ListField& field : m_lists)
        field.box->setCurrentIndex(listIndexOf(data().GetChoice(field.list->parameter)));
    showCurrent();
    for (int parameter : {135, 136}) {
        SpeedField& field = speedField(parameter);
        showSpeed(field);
        speedEdited(field);
    }
    SpeedField& field137 = speedField(param::kStopBelow);
    m_mode137List->setCurrentIndex(
        static_cast<int>(ModeOf137(data().GetChoice(param::kStopBelow), m_speedMin)));
    showSpeed(field137);
    speedEdited(field137);
    mode137Chosen();
    listOf(param::kBasicSettingsChange)->setEnabled(data().GetChoice(param::kControlSource) != 0);
}

std::uint32_t CRemotePage::typedSpeed(const SpeedField& field) const {
    std::uint32_t v = ParseUnsigned(field.edit->fieldText());
    data().FromDisplaySpeed(v);
    return v;
}

void CRemotePage::speedEdited(SpeedField& field) {
    data().SetChoice(field.parameter,
                     ClampRemoteSpeed(field.parameter, typedSpeed(field), m_speedMin, m_speedMax));
    showSpeed(field);
}

void CRemotePage::speedStepped(SpeedField& field, int delta) {
    if (field.parameter == param::kStopBelow &&
        m_mode137List->currentIndex() != static_cast<int>(Speed137Mode::Chosen))
        return;
    data().SetChoice(field.parameter, StepRemoteSpeed(field.parameter, typedSpeed(field), delta,
                                                      m_speedMin, m_speedMax));
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
        case static_cast<int>(Speed137Mode::Chosen):
            // The typed speed is kept inside the drive's limits like any edit.
            data().SetChoice(param::kStopBelow,
                             ClampRemoteSpeed(137, typedSpeed(field), m_speedMin, m_speedMax));
            field.edit->setEnabled(true);
            break;
        default:
            break;
    }
    showSpeed(field);
}

void CRemotePage::currentEdited() {
    data().SetReal(param::kRelayCurrent, ClampRelayCurrent(ParseReal(m_currentEdit->fieldText())));
    showCurrent();
}

void CRemotePage::currentStepped(int delta) {
    data().SetReal(param::kRelayCurrent,
                   StepRelayCurrent(ParseReal(m_currentEdit->fieldText()), delta));
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
    showValues();
}

void CRemotePage::showSpeed(const SpeedField& field) {
    std::uint32_t v = data().GetChoice(field.parameter);
    data().ToDisplaySpeed(v);
    field.edit->setFieldText(UnsignedText(v));
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
