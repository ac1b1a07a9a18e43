// The main window's reactions to the messages of the link threads and pages.
#include <QScopeGuard>
#include <QStringList>
#include <QTabWidget>

#include "frame/drivehistoryrecorder.h"
#include "frame/faultindicator.h"
#include "frame/mainframe.h"
#include "frame/motorstopbutton.h"
#include "frame/noticestrip.h"
#include "frame/porthint.h"
#include "frame/statusindicator.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "pages/control/controlpage.h"
#include "pages/motor/motorpage.h"
#include "pages/remote/remotepage.h"
#include "pages/report/reportpage.h"
#include "pages/runin/runinpage.h"
#include "pages/specificprog/specificprogpage.h"
#include "pages/techservice/techservicepage.h"
#include "shell/faultpopup.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"
#include "trend/trendhost.h"
#include "trend/trendseries.h"

namespace velmora::frame {

using namespace velmora::shell;

namespace {
constexpr int kErrorGroup = model::code::Group5F;
// A notice is one line of the status bar: beyond this many, the rest is "…".
constexpr std::size_t kLostNamesShown = 4;

struct OrderName {
    int command;
    const char* key;
};
constexpr OrderName kOrderNames[] = {
    {model::code::StartMotor, "loststartmotor"},
    {model::code::StopMotor, "loststopmotor"},
    {model::code::ResetDrive, "lostresetdrive"},
    {model::code::LoadMemorySlot, "lostloadslot"},
    {model::code::SaveMemorySlot, "lostsaveslot"},
    {model::code::DeleteMemorySlot, "lostdeleteslot"},
    {model::code::LoadFactorySettings, "lostfactorysettings"},
    {model::code::WriteCalibration, "lostcalibration"},
    {model::code::WriteSerialNumber, "lostserialnumber"},
    {model::code::WriteEepromWord, "losteepromword"},
};

QString Hex(int code) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

QString LostOrderName(const link::LostOrder& order) {
    QString name;
    if (order.group >= 0) name = T("lostgroupwrite").arg(Hex(order.group));
    for (const OrderName& known : kOrderNames)
        if (name.isEmpty() && known.command == order.command) name = T(known.key);
    if (name.isEmpty()) name = T("lostcommand").arg(Hex(order.command));
    if (order.times > 1) name = T("losttimes").arg(name, QString::number(order.times));
    return name;
}

QString LostOrdersNotice(const std::vector<link::LostOrder>& lost) {
    QStringList names;
    for (const link::LostOrder& order : lost) {
        if (names.size() == static_cast<qsizetype>(kLostNamesShown)) {
            names << QStringLiteral("…");
            break;
        }
        names << LostOrderName(order);
    }
    return T("ordersnotsent").arg(names.join(QStringLiteral(", ")));
}
}  // namespace

void CMainFrame::dispatch(unsigned message, std::uintptr_t wParam) {
    switch (message) {
        case link::WM_DRIVE_REPLY:
            onDriveReply();
            break;
        case link::WM_DRIVE_STATUS:
            onStatus();
            break;
        case link::WM_DRIVE_GROUP_REPLY:
            onGroupReply();
            break;
        case link::WM_DRIVE_LINK_STATE:
            onLinkState(wParam);
            if (m_trend) m_trend->linkState(m_connected);
            break;
        case link::WM_ORDERS_LOST:
            // One message may announce several losses, or ones already shown.
            if (const auto lost = m_link.lostOrders().take(); !lost.empty())
                showNotice(LostOrdersNotice(lost));
            break;
        default:  // a number no one posts changes nothing
            break;
    }
}

void CMainFrame::dispatch(const FrameMessage& message) {
    std::visit(Overloaded{
                   [this](const TechPageVisibility& m) { onTechPageVisibility(m.shown); },
                   [this](const ShowSpecificProg&) {
                       activatePage(m_specificProg);
                       m_specificProg->showActuatorTest();
                   },
                   [this](const MotorModelChosen& m) { m_control->showMotorModelName(m.model); },
                   [this](const MemorySlotChosen& m) { m_control->showMemorySlotName(m.slot); },
                   [this](const TabLock& m) { m_tabState.tabLocked = m.locked; },
                   [this](const RunInActive& m) {
                       m_tabState.runInActive = m.active;
                       m_control->setRunInActive(m.active);
                   },
                   [this](const LinkFlush&) { m_link.flushOutgoing(); },
                   [this](const LinkSuspend& m) { onLinkSuspend(m.suspend); },
                   [this](const JournalFailed&) { onJournalFailed(); },
               },
               message);
    if (m_trend) m_trend->frameMessage(message);
}

void CMainFrame::onLinkState(std::uintptr_t wParam) {
    m_connected = wParam == 1;
    m_data.gate().observeLink(m_connected);
    if (m_history) m_history->linkState(m_connected);
    for (Page* page : linkPages()) page->setEnabled(m_connected);
    if (m_connected != m_indicator->connectedShown()) {
        m_indicator->setConnected(m_connected);
        if (!m_connected) {
            m_runIn->stopIfRunning();
            for (Page* page : linkPages()) page->linkLost();
        }
    }
    if (m_connected) {
        // A link lost in the middle of the first read flushed its requests;
        // the answered check resumes it even when no group reply comes.
        m_firstRead.RequestOverdueGroups(m_data);
        m_runIn->linkAnswered();
        // Until the first status tells more.
        if (m_faultIndicator->linkLostShown()) m_faultIndicator->hide();
        m_notices->setStanding({});
    } else {
        tellAboutPortOnce();
        // The drive goes on with its last command; the motor may still turn.
        m_notices->setStanding(T("linklostdrive"));
        m_faultIndicator->showLinkLost(T("linklost"));
    }
    updateStopButton();
}

void CMainFrame::tellAboutPortOnce() {
    if (m_portHintShown) return;
    const QString text = PortProblemText(m_link.serial().LastOpenFailure());
    if (text.isEmpty()) return;
    m_portHintShown = true;
    prompter().inform(this, text);
}

void CMainFrame::onGroupReply() {
    const bool forward = m_firstRead.onGroupReply(m_data);
    m_tabState.allGroupsRead = m_firstRead.allGroupsRead();
    if (!forward) return;
    // The trend's samples would refresh a page that does not show them every
    // cycle, dropping an edit in progress.
    if (m_data.LastStoredGroup() == trend::kOperatingValuesGroup && m_data.gate().sampling() &&
        !m_data.gate().pagePolls(trend::kOperatingValuesGroup))
        return;
    QWidget* active = activePage();
    // The control page's refresh may enable or disable its Stop.
    const auto followStop = qScopeGuard([this] { updateStopButton(); });
    for (Page* page : std::initializer_list<Page*>{m_control, m_report, m_remote, m_motor,
                                                   m_specificProg, m_techService}) {
        if (active == page) {
            page->refresh();
            break;
        }
    }
}

void CMainFrame::onDriveReply() {
    // Every message announces one entry of the shared reply queue. Taking it
    // here keeps later group replies from being read one entry late, and
    // stores the error group (0x5F) the status evaluation asked for.
    link::Telegram reply;
    if (m_link.fetchReply(reply) != 0) return;
    QWidget* active = activePage();
    for (Page* page : std::initializer_list<Page*>{m_motor, m_specificProg, m_techService}) {
        if (active == page) {
            page->driveReply(reply);
            return;
        }
    }
    m_data.StoreReply(reply);
}

void CMainFrame::onStatus() {
    link::Telegram reply;
    if (m_link.fetchStatus(reply) != 0) return;
    std::array<std::uint8_t, 4> d{};
    if (model::ParseStatus(reply, d) != 0) return;
    m_data.gate().observeStatus(d);
    if (m_history) m_history->status(d);

    if (m_trend) m_trend->driveStatus(d[2], d[3]);
    const bool allowed = (d[1] & 0x01) != 0;
    m_motorMayTurn = MotorMayTurn(d[0], d[1]);
    for (Page* page : operationPages()) {
        if (allowed) {
            page->operationAllowed();
        } else {
            page->operationNotAllowed();
        }
    }
    applyFault(m_faults.evaluate(d[2], d[3]), d[3]);
    showDriveState(allowed, d[2], d[3]);
    updateStopButton();
}

void CMainFrame::applyFault(const FaultAction& action, std::uint8_t number) {
    if (action.clearAll) {
        m_popupA->hide();
        m_popupB->hide();
        return;
    }
    FaultPopup* popup = nullptr;
    switch (action.popup) {
        case FaultPopupSlot::A:
            popup = m_popupA;
            break;
        case FaultPopupSlot::B:
            popup = m_popupB;
            break;
        case FaultPopupSlot::General:
            runGeneralErrorSequence(number, action.showPopup);
            break;
        case FaultPopupSlot::None:
            break;
    }
    if (popup && action.showPopup) {
        popup->setFault(number, popup == m_popupA ? 1 : 2);
        popup->show();
        popup->raise();
    }
    if (action.stopRunIn) m_runIn->stopIfRunning();
}

void CMainFrame::runGeneralErrorSequence(std::uint8_t number, bool showPopup) {
    // The report page comes to the front before the error group is asked
    // for: while the modal popup waits, its reply then reaches this window's
    // own handler instead of a page that would drop it.
    activatePage(m_report);
    m_data.RequestGroup(1, kErrorGroup);
    prompter().inform(this, T("generalerror"));
    if (showPopup) {
        m_popupG->setFault(number, 3);
        m_popupG->show();
        m_popupG->raise();
    }
    activatePage(m_report);
    m_report->enterHoldStorage();
}

void CMainFrame::onLinkSuspend(bool suspend) {
    m_tabState.flashBusy = suspend;
    if (!m_linkStarted) return;
    if (suspend) {
        m_link.suspendSupervision();
    } else {
        m_link.resumeSupervision();
    }
}

}  // namespace velmora::frame
