#include "pages/motor/motorpage.h"

#include <QComboBox>
#include <QHideEvent>
#include <QPushButton>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/motorparameterfile.h"
#include "model/parameters.h"
#include "pages/common/unsentvalues.h"
#include "pages/motor/asmparadlg.h"
#include "pages/motor/bldcparadlg.h"
#include "pages/motor/ctrlparadlg.h"
#include "pages/motor/memoryslotactions.h"
#include "pages/motor/motorpolicy.h"
#include "pages/motor/ratedvaluedlg.h"
#include "pages/motor/vhztabledlg.h"
#include "platform/templatepath.h"
#include "shell/helpnoteviewer.h"
#include "shell/noticeboard.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using model::kMotorTemplateName;

namespace {
// Status only: the motor page shows no live values.
constexpr int kLastModelEntry = kMotorModelCount - 1;

shell::FileChoice MotorFileChoice(const char* titleKey, const char* proposedName) {
    return {shell::T(titleKey), QStringLiteral("vpm files (*.vpm)"), QStringLiteral("vpm"),
            QLatin1String(proposedName), QString()};
}
}  // namespace

CMotorPage::CMotorPage(model::DriveData& data, QWidget* parent) : shell::Page(data, parent) {
    setObjectName(QStringLiteral("motorPage"));
    m_actions = std::make_unique<MemorySlotActions>(
        this, data, channel(),
        MemorySlotActions::Hooks{[this] { sendMotorGroups(); }, [this] { readMotorGroups(); }});
    createControls();
    placeControls();

    m_rated->hide();
    m_asm->hide();
    m_bldc->hide();
    m_vhz->hide();
    m_ctrl->hide();
    m_actionList->setCurrentIndex(static_cast<int>(MotorAction::LoadMakerSet));
    actionPicked(m_actionList->currentIndex());
    m_backButton->hide();
    m_ctrlButton->hide();
    m_vhzButton->hide();

    connect(m_actionList, &QComboBox::activated, this, &CMotorPage::actionPicked);
    connect(m_motorTypeList, &QComboBox::activated, this, [this] { applyMotorType(); });
    connect(m_executeButton, &QPushButton::clicked, this, &CMotorPage::execute);
    connect(m_sendButton, &QPushButton::clicked, this, &CMotorPage::sendAndReadBack);
    connect(m_vhzButton, &QPushButton::clicked, this,
            [this] { showSubView(MotorView::Characteristic); });
    connect(m_ctrlButton, &QPushButton::clicked, this,
            [this] { showSubView(MotorView::ControlParameters); });
    connect(m_backButton, &QPushButton::clicked, this, &CMotorPage::showMainView);
    connect(m_helpButton, &QPushButton::clicked, this,
            [this] { m_help->open(shell::HelpKind::MotorPageHelp); });
}

CMotorPage::~CMotorPage() = default;

void CMotorPage::sendMotorGroups() {
    model::SendMotorGroups(data());
}

void CMotorPage::readMotorGroups() {
    model::ReadMotorGroups(data());
}

bool CMotorPage::confirmLeave() {
    return ConfirmLeavingUnsent(this, data(), {0x51, 0x52, 0x53, 0x54, 0x55, 0x56});
}

void CMotorPage::sendAndReadBack() {
    sendMotorGroups();
    readMotorGroups();
}

void CMotorPage::pageShown() {
    data().gate().setPollMode(link::PollMode::MotorPage);
    readMotorGroups();
    pruneMotorModels();
}

void CMotorPage::pruneMotorModels() {
    if (KeepsLastMotorModel(data().GetReal(param::kFirmwareVersion)) ||
        m_modelList->count() <= kLastModelEntry)
        return;
    // Removing the chosen entry must not leave another model chosen in its place.
    const bool wasChosen = m_modelList->currentIndex() == kLastModelEntry;
    m_modelList->removeItem(kLastModelEntry);
    if (wasChosen) m_modelList->setCurrentIndex(-1);
}

void CMotorPage::hideEvent(QHideEvent* event) {
    shell::Page::hideEvent(event);
    // Leaving the page drops edits that were not sent; a minimised window
    // is not leaving it.
    if (!event->spontaneous()) data().TakeImage();
}

void CMotorPage::refresh() {
    data().TakeImage();
    switch (m_view) {
        case MotorView::NoMotor:
        case MotorView::TestOperation:
            setMotorTypeFromData();
            break;
        case MotorView::Asynchronous:
            setMotorTypeFromData();
            m_rated->refresh();
            m_asm->refresh();
            break;
        case MotorView::Bldc:
        case MotorView::BldcWithSensor:
            setMotorTypeFromData();
            m_rated->refresh();
            m_bldc->refresh();
            break;
        case MotorView::Characteristic:
            m_vhz->refresh();
            break;
        case MotorView::ControlParameters:
            m_ctrl->refresh();
            break;
    }
}

void CMotorPage::driveReply(link::Telegram& reply) {
    if (reply.command == model::code::SlotState) m_actions->slotState(reply);
}

void CMotorPage::setOperationAllowed(bool allowed) {
    m_motorTypeList->setEnabled(allowed);
    m_executeButton->setEnabled(allowed);
    m_rated->setOperationAllowed(allowed);
    m_asm->setOperationAllowed(allowed);
    m_bldc->setOperationAllowed(allowed);
}

void CMotorPage::setMotorTypeFromData() {
    const std::uint32_t type = data().GetChoice(param::kMotorType);
    m_motorTypeList->setCurrentIndex(type < kMotorTypeCount ? static_cast<int>(type) : -1);
    applyMotorType();
}

void CMotorPage::applyMotorType() {
    const int selection = m_motorTypeList->currentIndex();
    const MotorTypeLayout layout = LayoutForMotorType(selection);
    // Without a selection the stored type stays as read: writing -1 would
    // only replace one unknown type with another.
    if (!layout.changes) return;
    data().SetChoice(param::kMotorType, static_cast<std::uint32_t>(selection));
    m_rated->setVisible(layout.ratedValues);
    m_asm->setVisible(layout.asynchronousPanel);
    m_bldc->setVisible(layout.bldcPanel);
    m_vhzButton->setVisible(layout.characteristicButton);
    m_ctrlButton->setVisible(layout.controlParameterButton);
    if (layout.asynchronousControlRows) {
        m_ctrl->setAsynchronousRowsVisible(*layout.asynchronousControlRows);
    }
    m_view = layout.view;
}

void CMotorPage::actionPicked(int entry) {
    const ActionLists lists = ListsForAction(entry);
    m_modelList->setEnabled(lists.motorModels);
    m_slotList->setEnabled(lists.memorySlots);
}

void CMotorPage::execute() {
    switch (static_cast<MotorAction>(m_actionList->currentIndex())) {
        case MotorAction::LoadMakerSet:
            m_actions->loadMakerSet(m_modelList->currentIndex());
            break;
        case MotorAction::LoadMemorySlot:
            m_actions->loadSlot(m_slotList->currentIndex());
            break;
        case MotorAction::SaveMemorySlot:
            m_actions->saveSlot(m_slotList->currentIndex());
            break;
        case MotorAction::DeleteMemorySlot:
            m_actions->deleteSlot(m_slotList->currentIndex());
            break;
        case MotorAction::LoadFactorySettings:
            m_actions->loadFactorySettings();
            break;
        case MotorAction::SaveToFile:
            saveToFile();
            break;
        case MotorAction::LoadFromFile:
            loadFromFile();
            break;
    }
}

void CMotorPage::showSubView(MotorView view) {
    for (QWidget* control : mainViewControls()) control->hide();
    m_asm->hide();
    m_rated->hide();
    m_bldc->hide();
    if (view == MotorView::Characteristic) {
        m_vhz->show();
    } else {
        m_ctrl->show();
    }
    m_backButton->show();
    m_backButton->raise();
    m_view = view;
}

void CMotorPage::showMainView() {
    m_ctrl->hide();
    m_vhz->hide();
    m_backButton->hide();
    for (QWidget* control : mainViewControls()) control->show();
    applyMotorType();
}

std::filesystem::path CMotorPage::templatePath() const {
    if (m_programFolder.empty()) return platform::FindTemplateFile(kMotorTemplateName);
    return platform::FindTemplateFile(kMotorTemplateName, m_programFolder);
}

void CMotorPage::saveToFile() {
    const std::filesystem::path templateFile = templatePath();
    if (templateFile.empty()) return;
    const QString target =
        shell::prompter().chooseSaveFile(this, MotorFileChoice("saveas", "velmora_mp"));
    if (target.isEmpty()) return;
    std::string error;
    // A failed save is said, not swallowed: the user would otherwise trust a
    // file that holds other values (or does not exist).
    if (!SaveMotorFile(templateFile, target.toStdString(), data(), &error)) {
        shell::prompter().fileError(this, target, QString::fromStdString(error));
    } else {
        shell::showFileSaved(this, target);
    }
}

void CMotorPage::loadFromFile() {
    const QString source = shell::prompter().chooseOpenFile(this, MotorFileChoice("loadfrom", ""));
    if (!source.isEmpty()) {
        LoadMotorFile(source.toStdString(), data());
        setMotorTypeFromData();
        m_rated->refresh();
        m_bldc->refresh();
        m_asm->refresh();
        m_ctrl->refresh();
        m_vhz->refresh();
    }
    data().SetMotorSel(0, 2);
    data().SetMotorSel(1, 2);
}

}  // namespace velmora::pages
