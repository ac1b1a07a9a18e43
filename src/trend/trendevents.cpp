#include "trend/trendevents.h"

#include "link/messages.h"

namespace velmora::trend {

bool IsMarked(EventKind kind) {
    switch (kind) {
        case EventKind::Fault:
        case EventKind::LinkDown:
        case EventKind::RunInStart:
        case EventKind::RunInStep:
        case EventKind::RunInStop:
            return true;
        default:
            return false;
    }
}

std::optional<TrendEvent> EventTracker::onMessage(unsigned message, std::uintptr_t wParam,
                                                  std::int64_t nowMs) {
    switch (message) {
        case link::WM_DRIVE_LINK_STATE: {
            const bool up = wParam == 1;
            // The search for the drive before it first answers is no loss.
            const bool changed = m_linkSeen ? up != m_linkUp : up;
            m_linkSeen = m_linkSeen || up;
            m_linkUp = up;
            if (!changed) return std::nullopt;
            return TrendEvent{nowMs, up ? EventKind::LinkUp : EventKind::LinkDown};
        }
        case link::WM_RUNIN_ACTIVE: {
            if (wParam == 0) {
                if (!m_runIn) return std::nullopt;
                m_runIn = false;
                return TrendEvent{nowMs, EventKind::RunInStop};
            }
            const int step = link::RunInStepOf(wParam);
            if (!m_runIn) {
                m_runIn = true;
                m_step = step > 0 ? step : 1;
                return TrendEvent{nowMs, EventKind::RunInStart, m_step};
            }
            if (step <= 0 || step == m_step) return std::nullopt;
            m_step = step;
            return TrendEvent{nowMs, EventKind::RunInStep, step};
        }
        case link::WM_LINK_SUSPEND: {
            const bool busy = wParam != 0;
            if (busy == m_firmware) return std::nullopt;
            m_firmware = busy;
            return TrendEvent{nowMs, busy ? EventKind::FirmwareStart : EventKind::FirmwareEnd};
        }
        default:
            return std::nullopt;
    }
}

std::optional<TrendEvent> EventTracker::onStatus(std::uint8_t faultClass, std::uint8_t number,
                                                 std::int64_t nowMs) {
    if (faultClass == 0) {
        m_faultClass = 0;
        m_faultNumber = -1;
        return std::nullopt;
    }
    if (faultClass == m_faultClass && number == m_faultNumber) return std::nullopt;
    m_faultClass = faultClass;
    m_faultNumber = number;
    return TrendEvent{nowMs, EventKind::Fault, faultClass, number};
}

}  // namespace velmora::trend
