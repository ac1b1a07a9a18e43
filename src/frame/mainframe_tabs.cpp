// Which tab changes the main window allows, and the technician page.
#include <QMouseEvent>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <utility>

#include "frame/mainframe.h"
#include "pages/report/reportpage.h"
#include "pages/runin/runinpage.h"
#include "pages/specificprog/specificprogpage.h"
#include "pages/techservice/techservicepage.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

TabVerdict CMainFrame::verdictFor(QWidget* target) const {
    return CheckTabChange(m_tabState, target == m_report || target == m_runIn);
}

// In the status bar, not as popups: the technician sees why at once and
// need not click anything away.
void CMainFrame::showRefusal(const TabVerdict& verdict) {
    QStringList reasons;
    for (std::string_view key : verdict.reasonKeys) reasons << T(key);
    if (!reasons.isEmpty()) showNotice(reasons.join(QLatin1Char(' ')));
}

// A click on a refused tab is answered before the tab changes, so the other
// page is never shown and never posts its poll mode in between (a firmware
// download or a test panel would get the wrong polling for a moment).
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sheet->tabBar() && m_programmaticSwitch == 0) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            const int index = m_sheet->tabBar()->tabAt(press->position().toPoint());
            if (press->button() == Qt::LeftButton && index >= 0 &&
                index != m_sheet->currentIndex()) {
                const TabVerdict verdict = verdictFor(m_sheet->widget(index));
                if (!verdict.allowed) {
                    showRefusal(verdict);
                    return true;
                }
                // Asked before the other page shows, which would read its
                // groups; an answer is not asked for again by the change.
                if (!mayLeave(m_sheet->currentWidget())) return true;
                m_leaveAnswered = true;
            }
        } else if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta =
                wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
            const int index = m_sheet->currentIndex() + (delta > 0 ? -1 : 1);
            if (delta != 0 && index >= 0 && index < m_sheet->count()) {
                const TabVerdict verdict = verdictFor(m_sheet->widget(index));
                if (!verdict.allowed) {
                    // Told like a refused click; a modal notice swallows the
                    // notches that follow while it is open.
                    showRefusal(verdict);
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Any other way of changing tabs (the keyboard) is checked after the change
// and undone by a posted switch back.
void CMainFrame::onTabChanged(int index) {
    QWidget* target = m_sheet->widget(index);
    if (m_programmaticSwitch > 0) {
        m_previousPage = target;
        return;
    }
    const bool answered = std::exchange(m_leaveAnswered, false);
    const TabVerdict verdict = verdictFor(target);
    if (verdict.allowed && (answered || mayLeave(m_previousPage))) {
        m_previousPage = target;
        return;
    }
    QPointer<QWidget> back = m_previousPage;
    QMetaObject::invokeMethod(
        this, [this, back] { activatePage(back); }, Qt::QueuedConnection);
    showRefusal(verdict);
}

void CMainFrame::onTechPageVisibility(std::uintptr_t wParam) {
    if (wParam == 0) {
        if (!m_techPageHidden) return;
        ++m_programmaticSwitch;
        m_sheet->addTab(m_techService, T("techservice"));
        --m_programmaticSwitch;
        m_techPageHidden = false;
        // Until the next link report it follows the state of the others.
        m_techService->setEnabled(m_connected);
        activatePage(m_techService);
    } else if (wParam == 1) {
        ++m_programmaticSwitch;
        const int index = m_sheet->indexOf(m_techService);
        if (index >= 0) m_sheet->removeTab(index);
        --m_programmaticSwitch;
        m_techPageHidden = true;
        activatePage(m_specificProg);
    }
}

}  // namespace velmora::shell
