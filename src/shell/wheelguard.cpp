#include "shell/wheelguard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QScrollBar>

namespace velmora::shell {

namespace {

// A control whose value the wheel would change (scroll bars only scroll).
bool changesValue(const QObject* object) {
    if (qobject_cast<const QScrollBar*>(object)) return false;
    return qobject_cast<const QAbstractSpinBox*>(object) ||
           qobject_cast<const QAbstractSlider*>(object) || qobject_cast<const QComboBox*>(object);
}

}  // namespace

void WheelGuard::installOnce() {
    static QPointer<WheelGuard> guard;
    if (guard || !qApp) return;
    guard = new WheelGuard(qApp);
    qApp->installEventFilter(guard);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish && changesValue(watched)) {
        // Wheel focus would let the wheel pick the control up on its way.
        auto* control = static_cast<QWidget*>(watched);
        if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && changesValue(watched) &&
               !static_cast<QWidget*>(watched)->hasFocus()) {
        // Ignored, so the wheel goes on to the scroll area around the control.
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmora::shell
