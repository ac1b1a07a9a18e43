#include "trend/trendhost.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "journal/journal.h"
#include "model/drivedata.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"
#include "trend/journallog.h"
#include "trend/trendfeed.h"
#include "trend/trendwindow.h"

namespace velmora::trend {

TrendHost::TrendHost(QWidget* frame, QMenuBar* bar, model::DriveData& data,
                     journal::Journal* journal)
    : QObject(frame), m_frame(frame), m_feed(new TrendFeed(data, this)) {
    if (journal) m_journal = new JournalLog(journal->file(), this);
    m_indicator = new QLabel(frame);
    m_indicator->setObjectName("trendRecordingIndicator");
    m_indicator->setStyleSheet("QLabel { color: #D55E00; font-weight: bold; }");
    m_indicator->hide();
    connect(m_feed, &TrendFeed::recordingChanged, this, &TrendHost::showRecording);
    QMenu* menu = bar->addMenu(shell::T("trendmenu"));
    menu->setObjectName("trendMenu");
    m_showAction = menu->addAction(shell::T("trendshow"));
    m_showAction->setObjectName("trendShowAction");
    m_showAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    // Ctrl+T also brings the trend window to the front from the window itself.
    m_showAction->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_showAction, &QAction::triggered, this, &TrendHost::showWindow);
    // Queued: a failed write is noticed while a reply is being stored, and
    // the message box must not run its event loop in the middle of that.
    connect(m_feed, &TrendFeed::recordingFailed, this, &TrendHost::reportRecordingFailure,
            Qt::QueuedConnection);
}

void TrendHost::linkState(bool up) {
    m_feed->linkState(up);
}

void TrendHost::frameMessage(const shell::FrameMessage& message) {
    m_feed->frameMessage(message);
}

void TrendHost::driveStatus(std::uint8_t faultClass, std::uint8_t number) {
    m_feed->driveStatus(faultClass, number);
}

TrendWindow* TrendHost::window() const {
    return m_window;
}

void TrendHost::showWindow() {
    if (!m_window) m_window = new TrendWindow(*m_feed, m_journal, m_frame);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TrendHost::showRecording(bool recording) {
    const QString path = QString::fromStdString(m_feed->core().recorder().path());
    m_indicator->setText(QString::fromUtf8("\u25CF ") +
                         shell::T("trendrecordingbar").arg(QFileInfo(path).fileName()));
    m_indicator->setToolTip(path);
    m_indicator->setVisible(recording);
}

void TrendHost::reportRecordingFailure(const QString& path, const QString& reason) {
    QWidget* parent = m_window && m_window->isVisible() ? static_cast<QWidget*>(m_window) : m_frame;
    shell::prompter().fileError(parent, path, reason);
}

}  // namespace velmora::trend
