#include "soakprobe.h"

#include <QEvent>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "frame/messageevent.h"
#include "link/messagetarget.h"

namespace velmora::bench {

SoakProbe::SoakProbe(QObject* frame) : m_frame(frame) {
    m_clock.start();
    frame->installEventFilter(this);
    m_heartbeat.setTimerType(Qt::PreciseTimer);
    m_heartbeat.setInterval(10);
    connect(&m_heartbeat, &QTimer::timeout, this, &SoakProbe::beat);
    m_lastBeatNs = m_clock.nsecsElapsed();
    m_heartbeat.start();
}

void SoakProbe::watchPopup(QObject* popup) {
    popup->installEventFilter(this);
}

long SoakProbe::messagesOf(unsigned message) const {
    const unsigned index = message - frame::kFirstFrameMessage;
    return index < m_byMessage.size() ? m_byMessage[index] : 0;
}

void SoakProbe::beat() {
    const qint64 ns = m_clock.nsecsElapsed();
    // The first seconds are the window's start-up (first show and paint),
    // measured by the start-up benchmark, not a handler.
    constexpr qint64 kWarmUpNs = 2'000'000'000;
    if (ns < kWarmUpNs) {
        m_lastBeatNs = ns;
        return;
    }
    const double late = std::max(0.0, (ns - m_lastBeatNs) / 1e6 - 10.0);
    if (late > m_lateness.worst()) m_worstAt = ns / 1000000;
    m_lateness.add(late);
    m_lastBeatNs = ns;
}

bool SoakProbe::eventFilter(QObject* watched, QEvent* event) {
    const auto type = static_cast<unsigned>(event->type());
    if (type >= frame::kFirstFrameMessage && type <= frame::kLastFrameMessage) {
        ++m_messages;
        ++m_byMessage[type - frame::kFirstFrameMessage];
        if (type == link::WM_DRIVE_LINK_STATE) {
            const bool up = static_cast<frame::LinkMessageEvent*>(event)->wParam() == 1;
            if (m_seenState && up != m_connected) {
                if (m_verbose)
                    std::printf("%8.1f s  link %s\n", now() / 1000.0, up ? "answered" : "lost");
                if (up) {
                    ++m_recoveries;
                    m_lastRecoveryAt = now();
                } else {
                    ++m_losses;
                    m_lastLossAt = now();
                }
            }
            m_seenState = true;
            m_connected = up;
        }
    } else if (event->type() == QEvent::Show && watched != m_frame) {
        ++m_popupsShown;
    }
    return QObject::eventFilter(watched, event);
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace velmora::bench
