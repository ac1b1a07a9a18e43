#pragma once
// Watches the main window from outside: counts the window messages it
// handles, link losses and recoveries and fault popups shown, and measures
// how late the window thread serves a 10 ms timer from 2 s after its start.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>

#include "latencyhistogram.h"

namespace velmora::bench {

class SoakProbe : public QObject {
    Q_OBJECT
  public:
    explicit SoakProbe(QObject* frame);
    // Fault popups shown are counted from their show events.
    void watchPopup(QObject* popup);
    // Prints each change of link state with its time.
    void setVerbose(bool verbose) { m_verbose = verbose; }

    [[nodiscard]] long messagesHandled() const { return m_messages; }
    [[nodiscard]] long messagesOf(unsigned message) const;
    [[nodiscard]] int losses() const { return m_losses; }
    [[nodiscard]] int recoveries() const { return m_recoveries; }
    [[nodiscard]] bool connected() const { return m_connected; }
    [[nodiscard]] int faultPopupsShown() const { return m_popupsShown; }
    // Milliseconds since the probe started at the last change of link state.
    [[nodiscard]] qint64 lastLossAt() const { return m_lastLossAt; }
    [[nodiscard]] qint64 lastRecoveryAt() const { return m_lastRecoveryAt; }
    [[nodiscard]] qint64 now() const { return m_clock.elapsed(); }

    // Lateness of the 10 ms heartbeat in milliseconds, one sample per beat.
    [[nodiscard]] const LatencyHistogram& lateness() const { return m_lateness; }
    // Forget the lateness so far (a benchmark's set-up is not its load).
    void resetLateness() {
        m_lateness = {};
        m_worstAt = 0;
    }
    // Milliseconds since the probe started at the latest beat.
    [[nodiscard]] qint64 worstBeatAt() const { return m_worstAt; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void beat();

    QObject* m_frame;
    QElapsedTimer m_clock;
    QTimer m_heartbeat;
    qint64 m_lastBeatNs = 0;
    LatencyHistogram m_lateness;
    qint64 m_worstAt = 0;
    std::array<long, 16> m_byMessage{};
    long m_messages = 0;
    int m_losses = 0;
    int m_recoveries = 0;
    bool m_connected = false;
    bool m_seenState = false;
    bool m_verbose = false;
    int m_popupsShown = 0;
    qint64 m_lastLossAt = -1;
    qint64 m_lastRecoveryAt = -1;
};

// Resident memory of this process in kilobytes.
[[nodiscard]] long ResidentKb();

}  // namespace velmora::bench
