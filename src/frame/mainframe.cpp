#include "frame/mainframe.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "frame/drivehistoryrecorder.h"
#include "frame/framemenus.h"
#include "frame/history/drivehistoryview.h"
#include "frame/messageevent.h"
#include "frame/motorstopbutton.h"
#include "frame/pagescroller.h"
#include "frame/statusindicator.h"
#include "model/commands.h"
#include "pages/control/controlpage.h"
#include "pages/motor/motorpage.h"
#include "pages/remote/remotepage.h"
#include "pages/report/reportpage.h"
#include "pages/runin/runinpage.h"
#include "pages/specificprog/specificprogpage.h"
#include "pages/techservice/techservicepage.h"
#include "shell/faultpopup.h"
#include "shell/prompter.h"
#include "shell/refusaltext.h"
#include "shell/textcatalog.h"
#include "trend/trendfeed.h"
#include "trend/trendhost.h"

namespace velmora::frame {

using namespace velmora::shell;

CMainFrame::CMainFrame(link::DriveLink& link, model::DriveData& data, FrameOptions options,
                       QWidget* parent)
    : QMainWindow(parent), m_options(options), m_link(link), m_data(data) {
    setObjectName("mainFrame");
    // Before the link starts: the first connection is the first entry.
    if (m_options.journal)
        m_history = std::make_unique<DriveHistoryRecorder>(*m_options.journal, m_data,
                                                           m_link.serial(), *this);
    // Replaced by the text of "company" once the catalogue is loaded.
    setWindowTitle(QStringLiteral("Halvern"));
    buildSheet();
    initialise();
    // Whatever page or dialog asked, the user learns why the drive got nothing.
    m_refusalListener = m_data.gate().addRefusalListener(
        [this](const model::GateRefusal& refusal) { showNotice(RefusalText(refusal)); });
}

void CMainFrame::buildSheet() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_sheet = new QTabWidget;
    m_sheet->setObjectName("sheet");
    layout->addWidget(scrollingHolder(m_sheet, central), 1);
    buildStatusBar(central, layout);
    setCentralWidget(central);

    const FramePages made =
        m_options.createPages
            ? m_options.createPages(m_data)
            : FramePages{new pages::CControlPage(m_data),    new pages::CReportPage(m_data),
                         new pages::CRemotePage(m_data),     new pages::CMotorPage(m_data),
                         new pages::CRunInPage(m_data),      new pages::CSpecificProgPage(m_data),
                         new pages::CTechServicePage(m_data)};
    m_control = made.control;
    m_report = made.report;
    m_remote = made.remote;
    m_motor = made.motor;
    m_runIn = made.runIn;
    m_specificProg = made.specificProg;
    m_techService = made.techService;
    ++m_programmaticSwitch;
    for (Page* page : std::initializer_list<Page*>{m_control, m_report, m_remote, m_motor, m_runIn,
                                                   m_specificProg, m_techService}) {
        page->setFrame(this);
        m_sheet->addTab(page, QString());
    }
    --m_programmaticSwitch;
    m_previousPage = m_control;
    connect(m_sheet, &QTabWidget::currentChanged, this, &CMainFrame::onTabChanged);
    m_sheet->tabBar()->installEventFilter(this);
    m_sheet->installEventFilter(this);
}

void CMainFrame::initialise() {
    TextCatalog::instance().load(readLanguageNumber());
    m_indicator->setTexts(T("connected"), T("disconnected"));
    m_stopButton->applyTexts();
    setWindowTitle(T("company"));
    for (Page* page : std::initializer_list<Page*>{m_control, m_report, m_remote, m_motor, m_runIn,
                                                   m_specificProg, m_techService}) {
        page->applyTexts();
    }

    createMenus();

    for (int i = 0; i < 6; ++i) {
        auto* page = static_cast<Page*>(m_sheet->widget(i));
        m_sheet->setTabText(i, T(page->captionKey()));
    }

    if (m_options.startLink) {
        m_link.start(*this);
        m_linkStarted = true;
    }

    // Every page is shown once so that all of them have been laid out; the
    // control page ends up in front.
    ++m_programmaticSwitch;
    m_sheet->removeTab(m_sheet->indexOf(m_techService));
    for (QWidget* page : std::initializer_list<QWidget*>{m_report, m_remote, m_motor, m_runIn,
                                                         m_specificProg, m_control}) {
        m_sheet->setCurrentWidget(page);
    }
    --m_programmaticSwitch;
    m_previousPage = m_control;
    for (Page* page : linkPages()) page->setEnabled(false);

    m_popupA = new FaultPopup(this);
    m_popupA->setObjectName("faultPopupA");
    m_popupB = new FaultPopup(this);
    m_popupB->setObjectName("faultPopupB");
    m_popupG = new FaultPopup(this);
    m_popupG->setObjectName("faultPopupG");
    for (FaultPopup* popup : {m_popupA, m_popupB, m_popupG}) popup->hide();

    fitToPages();
    // Ctrl+Tab works from the first key.
    m_sheet->tabBar()->setFocus();
}

void CMainFrame::fitToPages() {
    auto* area = findChild<QScrollArea*>("sheetScroller");
    if (!area || !area->widget()) return;
    // The scroll area asks for little; the window around it for the rest.
    // The sheet is asked itself: its holder's layout has not seen the pages
    // yet (no events were handled).
    const QMargins margins = area->widget()->layout()->contentsMargins();
    const QSize pages = m_sheet->sizeHint().grownBy(margins);
    const QSize around = sizeHint() - area->sizeHint();
    QSize wanted(std::max(pages.width(), area->sizeHint().width()) + around.width(),
                 pages.height() + around.height());
    wanted = wanted.expandedTo(sizeHint());
    if (const QScreen* shown = screen()) {
        // The window frame's share of the screen is not known before it shows.
        const QSize room = shown->availableGeometry().size() - QSize(16, 40);
        wanted = wanted.boundedTo(room.expandedTo(minimumSizeHint()));
    }
    resize(wanted);
}

void CMainFrame::createMenus() {
    m_menus = new FrameMenus(menuBar(), m_link.serial());
    m_menus->buildLanguageMenu(readLanguageNumber());
    int port = 0;
    int mode = 1;
    if (!m_options.fixedDevice) m_link.serial().ReadLinkSettings(port, mode);
    m_port = port;
    m_menus->buildConnectionMenu(port, mode, m_options.fixedDevice, m_options.devicePath);
    connect(m_menus, &FrameMenus::languageChosen, this, &CMainFrame::onLanguageChosen);
    connect(m_menus, &FrameMenus::portChosen, this, &CMainFrame::onPortChosen);
    connect(m_menus, &FrameMenus::autodetectChosen, this, &CMainFrame::onAutodetectChosen);
    m_trend = new trend::TrendHost(this, menuBar(), m_data, m_options.journal);
    m_statusStrip->insertWidget(1, m_trend->recordingIndicator(), 0, Qt::AlignVCenter);
    m_menus->buildHistoryMenu(m_history != nullptr);
    connect(m_menus, &FrameMenus::historyChosen, this, &CMainFrame::showHistory);
    // A journal that failed before this window was made tells no listener again.
    if (m_options.journal && m_options.journal->failed()) onJournalFailed();
}

CMainFrame::~CMainFrame() {
    m_data.gate().removeListener(m_refusalListener);
    delete m_historyView;
    m_history.reset();
    {
        std::lock_guard lock(m_aliveMutex);
        m_alive = false;
    }
    // Removing the pages changes the current tab; nothing may be refused now.
    ++m_programmaticSwitch;
    for (QWidget* page : std::initializer_list<QWidget*>{m_control, m_report, m_motor, m_runIn,
                                                         m_specificProg, m_techService, m_remote}) {
        delete page;
    }
    if (m_linkStarted) m_link.stop();
}

void CMainFrame::postMessage(unsigned message, std::uintptr_t wParam) {
    std::lock_guard lock(m_aliveMutex);
    if (!m_alive) return;
    QCoreApplication::postEvent(this, new LinkMessageEvent(message, wParam));
}

void CMainFrame::post(const FrameMessage& message) {
    std::lock_guard lock(m_aliveMutex);
    if (!m_alive) return;
    QCoreApplication::postEvent(this, new FrameMessageEvent(message));
}

bool CMainFrame::isAlive() const {
    std::lock_guard lock(m_aliveMutex);
    return m_alive;
}

bool CMainFrame::event(QEvent* event) {
    const auto type = static_cast<unsigned>(event->type());
    if (type >= kFirstFrameMessage && type <= kLastFrameMessage) {
        if (auto* message = dynamic_cast<LinkMessageEvent*>(event)) {
            dispatch(message->message(), message->wParam());
            return true;
        }
        if (auto* message = dynamic_cast<FrameMessageEvent*>(event)) {
            dispatch(message->message());
            return true;
        }
    }
    return QMainWindow::event(event);
}

void CMainFrame::activatePage(QWidget* page) {
    if (!page || m_sheet->indexOf(page) < 0) return;
    ++m_programmaticSwitch;
    m_sheet->setCurrentWidget(page);
    --m_programmaticSwitch;
    m_previousPage = page;
}

QWidget* CMainFrame::activePage() const {
    return m_sheet->currentWidget();
}

std::vector<Page*> CMainFrame::linkPages() const {
    std::vector<Page*> pages{m_control, m_report, m_remote, m_motor, m_runIn, m_specificProg};
    if (!m_techPageHidden) pages.push_back(m_techService);
    return pages;
}

std::vector<Page*> CMainFrame::operationPages() const {
    std::vector<Page*> pages{m_control, m_remote, m_motor, m_runIn, m_specificProg};
    if (!m_techPageHidden) pages.push_back(m_techService);
    return pages;
}

bool CMainFrame::driveBusy() const {
    return m_motorMayTurn || m_tabState.runInActive || m_tabState.flashBusy ||
           (m_trend && m_trend->feed().recording());
}

bool CMainFrame::agreeToEnd() {
    if (m_endAgreed || !driveBusy()) return true;
    enum Answer { StopAndClose, LeaveRunning, Cancel };
    const int answer = prompter().choose(
        this, T("askendwhilebusy"), {T("stopandclose"), T("closeleaverunning"), T("cancelbutton")},
        Cancel, Cancel);
    if (answer != StopAndClose && answer != LeaveRunning) return false;
    if (answer == StopAndClose) sendMotorStop();
    m_endAgreed = true;
    return true;
}

void CMainFrame::sendMotorStop() {
    m_data.gate().send(model::BuildAction(model::code::StopMotor));
}

void CMainFrame::updateStopButton() {
    m_stopButton->setEnabled(m_connected && m_control->stopEnabled());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!agreeToEnd()) {
        event->ignore();
        return;
    }
    if (m_linkStarted && m_connected && !m_linkDrained) {
        // The link threads end with the window: what is still queued (the
        // stop, a last change) is written first.
        event->ignore();
        closeWhenWritten();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::closeWhenWritten() {
    static constexpr int kWaitMilliseconds = 1500;
    static constexpr int kLookMilliseconds = 20;
    if (m_closeMark != 0) return;  // already waiting
    m_closeMark = m_link.queueSentMark();
    auto* look = new QTimer(this);
    auto waited = std::make_shared<int>(0);
    connect(look, &QTimer::timeout, this, [this, look, waited] {
        *waited += kLookMilliseconds;
        if (m_link.lastSentMark() < m_closeMark && *waited < kWaitMilliseconds) return;
        look->stop();
        m_linkDrained = true;
        close();
    });
    look->start(kLookMilliseconds);
}

void CMainFrame::onLanguageChosen(int number) {
    // The restart ends this window: the same question as closing it.
    if (!agreeToEnd()) {
        m_menus->checkLanguage(static_cast<int>(readLanguageNumber() & 0xFFu));
        return;
    }
    m_menus->checkLanguage(number);
    writeLanguageNumber(static_cast<unsigned>(number));
    m_faults.clearShown();
    // The new language is loaded by a fresh instance: texts are never swapped
    // in a running window.
    m_restartRequested = true;
    close();
}

void CMainFrame::onPortChosen(int port) {
    m_port = port;
    m_link.serial().WriteLinkSettings(port, 0);
    m_menus->checkPort(port);
}

void CMainFrame::showHistory() {
    if (!m_history) return;
    if (!m_historyView) {
        m_historyView = new DriveHistoryView(m_history->recorder(), m_data, this);
        m_historyView->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_historyView->show();
    m_historyView->raise();
    m_historyView->activateWindow();
}

void CMainFrame::onJournalFailed() {
    if (m_journalFailureShown) return;
    m_journalFailureShown = true;
    const std::string why = m_history ? m_history->failure() : std::string();
    showNotice(T("historyjournalfailed").arg(QString::fromStdString(why)));
}

void CMainFrame::runInStarted(const QString& program) {
    if (m_history) m_history->runInStarted(program);
}

void CMainFrame::runInEnded(bool finished) {
    if (m_history) m_history->runInEnded(finished);
}

void CMainFrame::firmwareTransferred(const QStringList& files, bool done) {
    if (m_history) m_history->firmwareTransferred(files, done);
}

void CMainFrame::onAutodetectChosen() {
    m_link.serial().WriteLinkSettings(m_port, 1);
    m_menus->checkAutodetect();
}

}  // namespace velmora::frame
