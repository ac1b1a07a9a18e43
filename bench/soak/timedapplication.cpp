#include "timedapplication.h"

#include <QEvent>
#include <QThread>

namespace velmora::bench {

TimedApplication::TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    m_clock.start();
}

bool TimedApplication::notify(QObject* receiver, QEvent* event) {
    // Only the window thread's outermost delivery counts: events sent from
    // inside a handler are part of its time, and an object living in another
    // thread would race on the record.
    if (m_depth > 0 || QThread::currentThread() != thread())
        return QApplication::notify(receiver, event);
    // Taken before delivery: a deferred delete ends the receiver, and the
    // event may not outlive its delivery either.
    const char* className = receiver ? receiver->metaObject()->className() : "(none)";
    const QString name = receiver ? receiver->objectName() : QString();
    const int type = event->type();
    ++m_depth;
    const qint64 start = m_clock.nsecsElapsed();
    const bool result = QApplication::notify(receiver, event);
    const double ms = (m_clock.nsecsElapsed() - start) / 1e6;
    --m_depth;
    if (ms > m_slowest.ms) {
        m_slowest.ms = ms;
        m_slowest.type = type;
        m_slowest.receiver = QString::fromLatin1(className) + " '" + name + "'";
        m_slowest.atMs = start / 1000000;
    }
    return result;
}

}  // namespace velmora::bench
