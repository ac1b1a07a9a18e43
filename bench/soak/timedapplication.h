#pragma once
// The application object of the soak: times every event delivered from the
// window thread's own loop and keeps the slowest, so that a late heartbeat
// can be laid at a handler's door (or acquit them all: then the scheduler
// held the thread).
#include <QApplication>
#include <QElapsedTimer>
#include <QString>

namespace velmora::bench {

struct SlowestEvent {
    double ms = 0;
    int type = 0;
    QString receiver;  // class name and object name
    qint64 atMs = 0;   // since the application object was made
};

class TimedApplication : public QApplication {
  public:
    TimedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    [[nodiscard]] const SlowestEvent& slowest() const { return m_slowest; }
    // Forget what start-up took; the start-up benchmark measures it.
    void resetSlowest() { m_slowest = {}; }

  private:
    QElapsedTimer m_clock;
    int m_depth = 0;
    SlowestEvent m_slowest;
};

}  // namespace velmora::bench
