#include "pages/techservice/techservicepage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "pages/techservice/calibrationpanel.h"
#include "pages/techservice/invertervaluespanel.h"
#include "pages/techservice/memorypanel.h"
#include "pages/techservice/memoryresetpanel.h"
#include "pages/techservice/serialnumberpanel.h"
#include "pages/techservice/testoperationpanel.h"
#include "shell/fontset.h"
#include "shell/framemessage.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

namespace {

constexpr const char* kButtonNames[] = {"resetEepromButton",     "modifyEepromButton",
                                        "modifyCalValuesButton", "intInverterValuesButton",
                                        "testOperationButton",   "modifySerialNumberButton"};
// The inverter values and the serial number stay reachable while the drive
// does not allow operation.
constexpr std::array<bool, CTechServicePage::kPanelCount> kNeedsOperation{true,  true, true,
                                                                          false, true, false};

struct ReplyRoute {
    int command;
    int panel;
};
constexpr std::array<ReplyRoute, 5> kReplyRoutes{{
    {0x5A, CTechServicePage::kSerialNumber},
    {model::code::SensorStateReply, CTechServicePage::kTestOperation},
    {model::code::EepromWordReply, CTechServicePage::kMemory},
    {model::code::CalibrationReply, CTechServicePage::kCalibration},
    {model::code::InverterValuesReply, CTechServicePage::kInverterValues},
}};

[[nodiscard]] bool IsGroupReply(int command) {
    return model::FindGroup(command) != nullptr;
}

}  // namespace

CTechServicePage::CTechServicePage(model::DriveData& data, QWidget* parent)
    : shell::Page(data, parent) {
    setObjectName(QStringLiteral("techServicePage"));
    auto* layout = new QVBoxLayout(this);

    m_menu = new QWidget(this);
    m_menu->setObjectName(QStringLiteral("techServiceMenu"));
    auto* menuLayout = new QVBoxLayout(m_menu);
    m_heading = new QLabel(m_menu);
    m_heading->setObjectName(QStringLiteral("techServiceHeading"));
    menuLayout->addWidget(m_heading);
    for (int i = 0; i < kPanelCount; ++i) {
        m_buttons[i] = new QPushButton(m_menu);
        m_buttons[i]->setObjectName(QLatin1String(kButtonNames[i]));
        m_buttons[i]->setMinimumWidth(220);
        menuLayout->addWidget(m_buttons[i], 0, Qt::AlignLeft);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { showPanel(i); });
    }
    menuLayout->addStretch(1);
    layout->addWidget(m_menu, 1);

    m_panels = {
        new MemoryResetPanel(data.gate(), this),       new MemoryPanel(data.gate(), this),
        new CalibrationPanel(data.gate(), this),       new InverterValuesPanel(data.gate(), this),
        new TestOperationPanel(data, channel(), this), new SerialNumberPanel(data.gate(), this)};
    for (TechPanel* panel : m_panels) {
        layout->addWidget(panel, 1);
        panel->hide();
    }

    auto* bottom = new QHBoxLayout;
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("closeTechServiceButton"));
    m_back = new QPushButton(this);
    m_back->setObjectName(QStringLiteral("techServiceBackButton"));
    bottom->addWidget(m_close);
    bottom->addWidget(m_back);
    bottom->addStretch(1);
    layout->addLayout(bottom);
    m_back->hide();

    connect(m_close, &QPushButton::clicked, this, &CTechServicePage::closePage);
    connect(m_back, &QPushButton::clicked, this, &CTechServicePage::backToMenu);
    applyTexts();
}

// The drive must not stay in test operation when the window goes away.
CTechServicePage::~CTechServicePage() {
    if (TechPanel* open = openPanel(); open && open == m_panels[kTestOperation])
        data().gate().send(model::BuildAction(model::code::LeaveTestOperation));
}

void CTechServicePage::applyTexts() {
    static constexpr const char* kButtonKeys[] = {"reseteeprom",     "modifyeeprom",
                                                  "modifycalvalues", "intinvertervalues",
                                                  "testoperation",   "modifyserialnumber"};
    shell::FontSet fonts;
    fonts.apply(m_heading, shell::FontSet::Heading);
    m_heading->setText(shell::T("techservice"));
    for (int i = 0; i < kPanelCount; ++i) {
        fonts.apply(m_buttons[i], shell::FontSet::Normal);
        m_buttons[i]->setText(shell::T(kButtonKeys[i]));
    }
    fonts.apply(m_close, shell::FontSet::Normal);
    fonts.apply(m_back, shell::FontSet::Normal);
    m_close->setText(shell::T("closetechservice"));
    m_back->setText(shell::T("backbutton"));
    for (TechPanel* panel : m_panels) panel->applyTexts();
}

TechPanel* CTechServicePage::panel(int index) const {
    return index >= 0 && index < kPanelCount ? m_panels[index] : nullptr;
}
MemoryPanel* CTechServicePage::memoryPanel() const {
    return static_cast<MemoryPanel*>(m_panels[kMemory]);
}
TestOperationPanel* CTechServicePage::testOperationPanel() const {
    return static_cast<TestOperationPanel*>(m_panels[kTestOperation]);
}
SerialNumberPanel* CTechServicePage::serialNumberPanel() const {
    return static_cast<SerialNumberPanel*>(m_panels[kSerialNumber]);
}

TechPanel* CTechServicePage::openPanel() const {
    for (TechPanel* panel : m_panels)
        if (panel->isOpen()) return panel;
    return nullptr;
}

void CTechServicePage::showPanel(int index) {
    TechPanel* chosen = panel(index);
    if (!chosen) return;
    // At most one panel is open: another one is left first.
    if (TechPanel* open = openPanel(); open && open != chosen) {
        open->hide();
        open->closed();
    }
    m_menu->hide();
    m_close->hide();
    chosen->show();
    m_back->show();
    if (!chosen->isOpen()) chosen->opened();
}

void CTechServicePage::backToMenu() {
    for (TechPanel* panel : m_panels) {
        panel->hide();
        if (panel->isOpen()) panel->closed();
    }
    m_back->hide();
    m_menu->show();
    m_close->show();
}

void CTechServicePage::closePage() {
    postToFrame(shell::TechPageVisibility{false});
}

void CTechServicePage::pageShown() {
    data().gate().setPollMode(link::PollMode::TechPage);
    if (TechPanel* open = openPanel()) open->reopened();
}

void CTechServicePage::operationAllowed() {
    for (int i = 0; i < kPanelCount; ++i)
        if (kNeedsOperation[i]) m_buttons[i]->setEnabled(true);
}

void CTechServicePage::operationNotAllowed() {
    for (int i = 0; i < kPanelCount; ++i)
        if (kNeedsOperation[i]) m_buttons[i]->setEnabled(false);
}

void CTechServicePage::refresh() {
    if (testOperationPanel()->isOpen()) {
        data().TakeImage();
        testOperationPanel()->refresh();
    }
    // Group replies 0x5A reach the drive data, not this page's reply handler.
    if (serialNumberPanel()->isOpen() && data().GroupReceived(0x5A))
        serialNumberPanel()->showStored(data().Image(param::kSerialNumber));
}

void CTechServicePage::driveReply(link::Telegram& reply) {
    // A group reply taken here instead of by the main window is still stored.
    if (IsGroupReply(reply.command)) data().StoreReply(reply);
    for (const ReplyRoute& route : kReplyRoutes) {
        if (route.command == reply.command) {
            m_panels[route.panel]->takeReply(reply);
            return;
        }
    }
}

}  // namespace velmora::pages
