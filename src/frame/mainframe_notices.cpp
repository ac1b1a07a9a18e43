// What the main window's status bar says beside the connection lamp: the
// fault the drive reports, why a control is locked, and short notices.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "frame/faultindicator.h"
#include "frame/mainframe.h"
#include "frame/motorstopbutton.h"
#include "frame/noticestrip.h"
#include "frame/statusindicator.h"
#include "pages/control/controlpage.h"
#include "shell/faultclasslook.h"
#include "shell/page.h"
#include "shell/textcatalog.h"

namespace velmora::frame {

using namespace velmora::shell;

void CMainFrame::buildStatusBar(QWidget* central, QLayout* layout) {
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(4);
    m_statusStrip = strip;
    m_notices = new NoticeStrip(central);
    m_faultIndicator = new FaultIndicator(central);
    m_indicator = new StatusIndicator(central);
    // The lamp keeps its place at the window's lower right corner.
    m_indicator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    strip->addWidget(m_notices, 1);
    strip->addWidget(m_faultIndicator, 0, Qt::AlignVCenter);
    m_stopButton = new MotorStopButton(central);
    connect(m_stopButton, &MotorStopButton::stopRequested, this, &CMainFrame::sendMotorStop);
    strip->addWidget(m_stopButton, 0, Qt::AlignVCenter);
    strip->addWidget(m_indicator, 0, Qt::AlignBottom);
    static_cast<QVBoxLayout*>(layout)->addLayout(strip);
}

void CMainFrame::showNotice(const QString& text) {
    m_notices->showNotice(text);
}

void CMainFrame::showDriveState(bool allowed, std::uint8_t faultClass, std::uint8_t number) {
    m_faultIndicator->showStatus(faultClass, number);
    m_control->setReportedFault(faultClass == 0 ? QString()
                                                : faultClassLook(faultClass).name +
                                                      QLatin1Char(' ') + QString::number(number));
    // A newcomer otherwise finds most pages greyed out without a reason.
    m_notices->setStanding(allowed || !m_connected ? QString() : T("operationlocked"));
}

bool CMainFrame::mayLeave(QWidget* page) const {
    auto* leaving = qobject_cast<Page*>(page);
    return leaving == nullptr || leaving->confirmLeave();
}

}  // namespace velmora::frame
