#pragma once
// A mouse-wheel turn over the middle of a widget, as the window system
// delivers it (through the application, so its event filters see it).
#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace velmora::testkit {

// notches > 0 turns away from the user (up), < 0 towards the user.
inline void TurnWheel(QWidget* widget, int notches) {
    const QPointF local = QPointF(widget->rect().center());
    QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

}  // namespace velmora::testkit
