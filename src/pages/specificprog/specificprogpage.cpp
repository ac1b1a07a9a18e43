#include "pages/specificprog/specificprogpage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "pages/common/passworddlg.h"
#include "pages/specificprog/actuatortestdialog.h"
#include "pages/specificprog/factorysettingsdlg.h"
#include "pages/specificprog/firmwareupdatedialog.h"
#include "pages/specificprog/parastructdlg.h"
#include "pages/specificprog/testquestionpopup.h"
#include "shell/fontset.h"
#include "shell/helpnoteviewer.h"
#include "shell/textcatalog.h"

namespace velmora::pages {
namespace {

constexpr const char* kButtonKeys[] = {"actsenstest", "parastruct", "factorysettings",
                                       "techservice", "flashupdate"};
constexpr const char* kButtonNames[] = {"actSensTestButton", "paraStructButton",
                                        "factorySettingsButton", "techServiceButton",
                                        "flashUpdateButton"};

}  // namespace

CSpecificProgPage::CSpecificProgPage(model::DriveData& data, QWidget* parent)
    : shell::Page(data, parent) {
    setObjectName("specificProgPage");
    auto* layout = new QVBoxLayout(this);

    m_menu = new QWidget(this);
    m_menu->setObjectName("specificProgMenu");
    auto* menuLayout = new QGridLayout(m_menu);
    m_heading = new QLabel(m_menu);
    m_heading->setObjectName("specificProgHeading");
    menuLayout->addWidget(m_heading, 0, 0, 1, 2);
    for (int i = 0; i < 5; ++i) {
        m_buttons[i] = new QPushButton(m_menu);
        m_buttons[i]->setObjectName(kButtonNames[i]);
        m_buttons[i]->setMinimumWidth(220);
        menuLayout->addWidget(m_buttons[i], i + 1, 0);
    }
    // Four text fields of the menu stay empty; the language files have no texts for them.
    for (int i = 0; i < 4; ++i) {
        m_emptyFields[i] = new QLabel(m_menu);
        menuLayout->addWidget(m_emptyFields[i], i + 1, 1);
    }
    menuLayout->setRowStretch(6, 1);
    layout->addWidget(m_menu, 1);

    m_actuator = new ActuatorTestDialog(channel(), this);
    m_actuator->setLink(
        {[&data](link::Telegram request) { return data.gate().send(request) ? 1 : 0; },
         [&data](int mode) {
             return data.gate().setPollMode(static_cast<link::PollMode>(mode)) ? 1 : 0;
         }});
    layout->addWidget(m_actuator, 1);
    m_firmware = new FirmwareUpdateDialog(data.gate(), channel(), this);
    layout->addWidget(m_firmware, 1);
    // The parameter list keeps its place and size inside the page, but as a
    // part of the layout: placed by hand it covered the Back button whenever
    // the page was shorter than the list (the German captions make it so).
    m_paraStruct = new CParaStructDlg(data, this);
    const double scale = logicalDpiX() / 96.0;
    m_paraStruct->setMaximumSize(qRound(600 * scale), qRound(400 * scale));
    auto* paraRow = new QHBoxLayout;
    paraRow->setContentsMargins(qRound(80 * scale), qRound(20 * scale), 0, 0);
    paraRow->addWidget(m_paraStruct, 1);
    paraRow->addStretch();
    layout->addLayout(paraRow, 1);

    auto* bottom = new QHBoxLayout;
    m_help = new QPushButton(this);
    m_help->setObjectName("specificProgHelpButton");
    m_back = new QPushButton(this);
    m_back->setObjectName("specificProgBackButton");
    bottom->addWidget(m_help);
    bottom->addWidget(m_back);
    bottom->addStretch();
    layout->addLayout(bottom);

    m_helpViewer = new shell::HelpNoteViewer(this);
    m_factory = new CFactorySettingsDlg(data.gate(), this);
    m_password = new CPasswordDlg(channel(), this);
    m_testQuestion = new TestQuestionPopup(channel(), this);

    connect(m_buttons[0], &QPushButton::clicked, this, &CSpecificProgPage::showActuatorTest);
    connect(m_buttons[1], &QPushButton::clicked, this, &CSpecificProgPage::showParaStruct);
    connect(m_buttons[2], &QPushButton::clicked, this, &CSpecificProgPage::askFactorySettings);
    connect(m_buttons[3], &QPushButton::clicked, this, &CSpecificProgPage::askPassword);
    connect(m_buttons[4], &QPushButton::clicked, this, &CSpecificProgPage::showFirmwareUpdate);
    connect(m_back, &QPushButton::clicked, this, &CSpecificProgPage::backToMenu);
    connect(m_help, &QPushButton::clicked, this,
            [this] { m_helpViewer->open(shell::HelpKind::SpecificProgHelp); });

    m_back->hide();
    m_actuator->hide();
    m_paraStruct->hide();
    m_firmware->hide();
}

CSpecificProgPage::~CSpecificProgPage() = default;

void CSpecificProgPage::applyTexts() {
    shell::FontSet fonts;
    fonts.apply(m_heading, shell::FontSet::Heading);
    m_heading->setText(shell::T("specificprog"));
    for (int i = 0; i < 5; ++i) {
        fonts.apply(m_buttons[i], shell::FontSet::Normal);
        m_buttons[i]->setText(shell::T(kButtonKeys[i]));
    }
    fonts.apply(m_help, shell::FontSet::Normal);
    fonts.apply(m_back, shell::FontSet::Normal);
    m_help->setText(shell::T("help"));
    m_back->setText(shell::T("backbutton"));
    m_firmware->applyTexts();
    m_paraStruct->applyTexts();
    m_factory->applyTexts();
    m_password->applyTexts();
}

void CSpecificProgPage::showMenu(bool visible) {
    m_menu->setVisible(visible);
    m_help->setVisible(visible);
}

void CSpecificProgPage::hidePanels() {
    m_actuator->hide();
    m_paraStruct->hide();
    m_firmware->hide();
}

void CSpecificProgPage::showActuatorTest() {
    showMenu(false);
    m_paraStruct->hide();
    m_firmware->hide();
    m_actuator->show();
    m_back->show();
}

void CSpecificProgPage::showParaStruct() {
    showMenu(false);
    m_actuator->hide();
    m_firmware->hide();
    data().TakeImage();
    m_paraStruct->refresh();
    m_paraStruct->show();
    m_paraStruct->raise();
    m_back->show();
    data().gate().setPollMode(link::PollMode::ParaStruct);
}

void CSpecificProgPage::askFactorySettings() {
    hidePanels();
    m_back->hide();
    m_factory->show();
    m_factory->raise();
}

void CSpecificProgPage::askPassword() {
    hidePanels();
    m_back->hide();
    m_password->open();
}

void CSpecificProgPage::showFirmwareUpdate() {
    showMenu(false);
    m_actuator->hide();
    m_paraStruct->hide();
    m_firmware->show();
    m_back->show();
}

void CSpecificProgPage::backToMenu() {
    hidePanels();
    m_back->hide();
    showMenu(true);
    // A transfer holds the drive's polling: the views that poll for
    // themselves stay closed until it ends.
    const bool held = data().gate().transferActive();
    if (held) m_buttons[0]->setEnabled(false);
    m_buttons[1]->setEnabled(!held);
    // Leaving the panel does not stop a download: the drive's loader waits
    // for its block requests to be polled until the transfer ends.
    if (!m_firmware->downloading()) data().gate().setPollMode(link::PollMode::SpecificProgMenu);
}

void CSpecificProgPage::pageShown() {
    if (m_firmware->downloading()) {
        m_firmware->resumePolling();
        return;
    }
    data().gate().setPollMode(link::PollMode::SpecificProgMenu);
    if (m_actuator->isVisible()) data().gate().setPollMode(link::PollMode::ActuatorTest);
    if (m_paraStruct->isVisible()) data().gate().setPollMode(link::PollMode::ParaStruct);
}

void CSpecificProgPage::operationAllowed() {
    m_buttons[0]->setEnabled(!data().gate().transferActive());
    m_buttons[2]->setEnabled(true);
    m_factory->setMotorRunning(false);
    m_firmware->setMotorRunning(false);
}

// The factory-settings question may already be open, and the firmware panel
// stays reachable to show how the last download ended: both refuse their
// action themselves.
void CSpecificProgPage::operationNotAllowed() {
    m_buttons[0]->setEnabled(false);
    m_buttons[2]->setEnabled(false);
    m_factory->setMotorRunning(true);
    m_firmware->setMotorRunning(true);
}

void CSpecificProgPage::refresh() {
    if (!m_paraStruct->isVisible()) return;
    data().TakeImage();
    m_paraStruct->refresh();
}

void CSpecificProgPage::driveReply(link::Telegram& reply) {
    if (reply.command == model::code::SensorStateReply)
        m_actuator->showSensorState(reply);
    else if (reply.command == model::code::BlockRequestReply)
        m_firmware->blockRequest(std::move(reply));
}

}  // namespace velmora::pages
