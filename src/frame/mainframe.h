#pragma once
// The main window: the tabbed pages, the language and connection menus, the
// connection lamp, the fault popups and the dispatch of every message that
// the link threads and the pages post to it.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "frame/faultrules.h"
#include "frame/tabrules.h"
#include "link/drivelink.h"
#include "link/messagetarget.h"
#include "model/drivedata.h"
#include "model/firstcompleteread.h"
#include "shell/frametarget.h"
#include "shell/noticeboard.h"
#include "shell/operationlog.h"

class QHBoxLayout;
class QKeyEvent;
class QTabWidget;

namespace velmora::pages {
class CControlPage;
class CReportPage;
class CRemotePage;
class CMotorPage;
class CRunInPage;
class CSpecificProgPage;
class CTechServicePage;
}  // namespace velmora::pages

namespace velmora::trend {
class TrendHost;
}

namespace velmora::journal {
class Journal;
}

namespace velmora::shell {
class FaultPopup;
class Page;
}  // namespace velmora::shell

namespace velmora::frame {

class FaultIndicator;
class MotorStopButton;
class NoticeStrip;
class FrameMenus;
class DriveHistoryRecorder;
class StatusIndicator;
using shell::FaultPopup;
using shell::FrameMessage;
using shell::FrameTarget;
using shell::NoticeBoard;
using shell::OperationLog;
using shell::Page;

// The seven pages in tab order; the window owns them once created.
struct FramePages {
    pages::CControlPage* control = nullptr;
    pages::CReportPage* report = nullptr;
    pages::CRemotePage* remote = nullptr;
    pages::CMotorPage* motor = nullptr;
    pages::CRunInPage* runIn = nullptr;
    pages::CSpecificProgPage* specificProg = nullptr;
    pages::CTechServicePage* techService = nullptr;
};

struct FrameOptions {
    // false: no link threads (tests drive the window by posting messages).
    bool startLink = true;
    // The device was given for this run only (demo, --device): the port
    // setting of config.ini is neither read nor offered for change.
    bool fixedDevice = false;
    // The fixed device's path, shown in the connection menu.
    QString devicePath;
    // Makes the pages on the window's drive data; empty for the real ones
    // (tests pass observing ones).
    std::function<FramePages(model::DriveData&)> createPages;
    // Where the window keeps the drive's history (owned by the caller);
    // nullptr keeps none (tests that do not look at it).
    journal::Journal* journal = nullptr;
};

class CMainFrame : public QMainWindow,
                   public link::MessageTarget,
                   public FrameTarget,
                   public NoticeBoard,
                   public OperationLog {
    Q_OBJECT
  public:
    // The window of the drive behind `link`, whose image is `data` (both
    // outlive the window; the window starts and stops the link's threads).
    CMainFrame(link::DriveLink& link, model::DriveData& data, FrameOptions options = {},
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // MessageTarget, called from any thread.
    void postMessage(unsigned message, std::uintptr_t wParam) override;
    // FrameTarget, called from any thread.
    void post(const FrameMessage& message) override;
    [[nodiscard]] bool isAlive() const override;
    // NoticeBoard: a few seconds in the status bar.
    void showNotice(const QString& text) override;
    // OperationLog: into the drive journal, when the window keeps one.
    void runInStarted(const QString& program) override;
    void runInEnded(bool finished) override;
    void firmwareTransferred(const QStringList& files, bool done) override;

    [[nodiscard]] bool restartRequested() const { return m_restartRequested; }
    [[nodiscard]] bool allGroupsRead() const { return m_tabState.allGroupsRead; }
    [[nodiscard]] bool connected() const { return m_connected; }
    [[nodiscard]] QTabWidget* sheet() const { return m_sheet; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildSheet();
    void buildStatusBar(QWidget* central, QLayout* layout);
    // Large enough for the largest page, within the screen.
    void fitToPages();
    void initialise();
    void createMenus();
    void activatePage(QWidget* page);  // a switch the rules never refuse
    [[nodiscard]] QWidget* activePage() const;
    // The pages the link state enables, and those told whether the drive
    // allows operation (the same without the report page).
    [[nodiscard]] std::vector<Page*> linkPages() const;
    [[nodiscard]] std::vector<Page*> operationPages() const;

    void dispatch(unsigned message, std::uintptr_t wParam);
    void dispatch(const FrameMessage& message);
    void onLinkState(std::uintptr_t wParam);
    void onGroupReply();
    void onDriveReply();
    void onStatus();
    void applyFault(const FaultAction& action, std::uint8_t number);
    void runGeneralErrorSequence(std::uint8_t number, bool showPopup);
    void onTechPageVisibility(bool shown);
    void onLinkSuspend(bool suspend);
    void tellAboutPortOnce();
    void showDriveState(bool allowed, std::uint8_t faultClass, std::uint8_t number);
    // The page being left agrees (it may ask about values not sent).
    [[nodiscard]] bool mayLeave(QWidget* page) const;

    void onTabChanged(int index);
    [[nodiscard]] TabVerdict verdictFor(QWidget* target) const;
    void showRefusal(const TabVerdict& verdict);
    // Changing tabs by key or wheel: the same checks as a click, before the
    // other page shows. -1 for a key that changes no tab.
    [[nodiscard]] int keyTabTarget(const QObject* watched, const QKeyEvent* key) const;
    void requestTab(int index);
    [[nodiscard]] bool mayChangeTo(int index);

    // What goes on without the window: a motor that may turn, a run-in, a
    // firmware transfer, a recording.
    [[nodiscard]] bool driveBusy() const;
    // Asks before the window ends while the drive is busy; false keeps it.
    // The answer "stop" sends the motor stop first.
    [[nodiscard]] bool agreeToEnd();
    // The control page's Stop, from anywhere in the window.
    void sendMotorStop();
    void updateStopButton();
    // Closes once what was queued before (the motor stop) is on the line,
    // or after a short wait.
    void closeWhenWritten();

    void onLanguageChosen(int number);
    void onPortChosen(int port);
    void onAutodetectChosen();
    // The drive history view over the journal (one at a time).
    void showHistory();
    void onJournalFailed();

    FrameOptions m_options;
    link::DriveLink& m_link;
    model::DriveData& m_data;  // the one image the window and its pages share
    QTabWidget* m_sheet = nullptr;
    StatusIndicator* m_indicator = nullptr;
    FaultIndicator* m_faultIndicator = nullptr;
    NoticeStrip* m_notices = nullptr;
    QHBoxLayout* m_statusStrip = nullptr;
    MotorStopButton* m_stopButton = nullptr;
    FrameMenus* m_menus = nullptr;
    trend::TrendHost* m_trend = nullptr;
    std::unique_ptr<DriveHistoryRecorder> m_history;  // with a journal only
    QPointer<QWidget> m_historyView;
    bool m_journalFailureShown = false;

    pages::CControlPage* m_control = nullptr;
    pages::CReportPage* m_report = nullptr;
    pages::CRemotePage* m_remote = nullptr;
    pages::CMotorPage* m_motor = nullptr;
    pages::CRunInPage* m_runIn = nullptr;
    pages::CSpecificProgPage* m_specificProg = nullptr;
    pages::CTechServicePage* m_techService = nullptr;

    FaultPopup* m_popupA = nullptr;  // fault class 1
    FaultPopup* m_popupB = nullptr;  // fault class 2
    FaultPopup* m_popupG = nullptr;  // fault class 3, the general error

    TabState m_tabState;
    model::FirstCompleteRead m_firstRead;
    FaultTracker m_faults;
    QPointer<QWidget> m_previousPage;  // active when the last tab change began
    int m_programmaticSwitch = 0;      // > 0 while the window itself switches
    bool m_leaveAnswered = false;      // a click's change was agreed to already
    int m_wheelTurned = 0;             // angle not yet a whole notch
    bool m_techPageHidden = true;
    bool m_connected = false;
    int m_refusalListener = 0;  // the gate tells refusals to the status bar
    bool m_restartRequested = false;
    bool m_portHintShown = false;
    bool m_linkStarted = false;
    bool m_motorMayTurn = false;  // by the last status: not at standstill
    bool m_endAgreed = false;     // the user answered the question before closing
    bool m_linkDrained = false;   // what was queued before closing is written
    std::uint64_t m_closeMark = 0;
    int m_port = 0;  // the fixed port last read or chosen

    mutable std::mutex m_aliveMutex;  // posts from link threads vs. destruction
    bool m_alive = true;
};

}  // namespace velmora::frame
