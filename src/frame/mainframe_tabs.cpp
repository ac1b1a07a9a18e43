// Which tab changes the main window allows, and the technician page.
#include <QKeyEvent>
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

namespace velmora::frame {

using namespace velmora::shell;

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

// Every change the user makes (click, wheel, Ctrl+Tab, arrow keys on the tab
// bar) is answered before the tab changes, so the other page is never shown
// in between: it would post its poll mode (a firmware download or a test
// panel would get the wrong polling for a moment) and read its groups, and
// the page left would read its own again over the user's edits on return.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    QTabBar* bar = m_sheet->tabBar();
    if ((watched == bar || watched == m_sheet) && m_programmaticSwitch == 0) {
        if (watched == bar && event->type() == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            const int index = bar->tabAt(press->position().toPoint());
            if (press->button() == Qt::LeftButton && index >= 0 &&
                index != m_sheet->currentIndex() && !mayChangeTo(index))
                return true;
        } else if (watched == bar && event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            m_wheelTurned +=
                wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
            // A fine-stepping wheel moves one tab per whole notch.
            const int notches = m_wheelTurned / QWheelEvent::DefaultDeltasPerStep;
            if (notches != 0) {
                m_wheelTurned = 0;
                const int index = m_sheet->currentIndex() + (notches > 0 ? -1 : 1);
                if (index >= 0 && index < m_sheet->count()) requestTab(index);
            }
            return true;
        } else if (event->type() == QEvent::KeyPress) {
            const int index = keyTabTarget(watched, static_cast<QKeyEvent*>(event));
            if (index >= 0) {
                requestTab(index);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

int CMainFrame::keyTabTarget(const QObject* watched, const QKeyEvent* key) const {
    const int count = m_sheet->count();
    const int current = m_sheet->currentIndex();
    if (count < 2) return -1;
    if (watched == m_sheet && (key->modifiers() & Qt::ControlModifier) &&
        (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        return (current + (back ? count - 1 : 1)) % count;
    }
    if (watched == m_sheet->tabBar() &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
        const bool back = (key->key() == Qt::Key_Left) != m_sheet->isRightToLeft();
        const int index = current + (back ? -1 : 1);
        return index >= 0 && index < count ? index : -1;
    }
    return -1;
}

bool CMainFrame::mayChangeTo(int index) {
    const TabVerdict verdict = verdictFor(m_sheet->widget(index));
    if (!verdict.allowed) {
        showRefusal(verdict);
        return false;
    }
    if (!mayLeave(m_sheet->currentWidget())) return false;
    // The change that follows does not ask again.
    m_leaveAnswered = true;
    return true;
}

void CMainFrame::requestTab(int index) {
    if (index == m_sheet->currentIndex() || !mayChangeTo(index)) return;
    m_sheet->setCurrentIndex(index);
    m_leaveAnswered = false;
}

// A change made past the user's ways (by program) is checked after the
// change and undone by a posted switch back.
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

void CMainFrame::onTechPageVisibility(bool shown) {
    if (shown) {
        if (!m_techPageHidden) return;
        ++m_programmaticSwitch;
        m_sheet->addTab(m_techService, T("techservice"));
        --m_programmaticSwitch;
        m_techPageHidden = false;
        // Until the next link report it follows the state of the others.
        m_techService->setEnabled(m_connected);
        activatePage(m_techService);
    } else {
        ++m_programmaticSwitch;
        const int index = m_sheet->indexOf(m_techService);
        if (index >= 0) m_sheet->removeTab(index);
        --m_programmaticSwitch;
        m_techPageHidden = true;
        activatePage(m_specificProg);
    }
}

}  // namespace velmora::frame
