#include "trend/trendevents.h"

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

std::optional<TrendEvent> EventTracker::onLinkState(bool up, std::int64_t nowMs) {
    // The search for the drive before it first answers is no loss.
    const bool changed = m_linkSeen ? up != m_linkUp : up;
    m_linkSeen = m_linkSeen || up;
    m_linkUp = up;
    if (!changed) return std::nullopt;
    return TrendEvent{nowMs, up ? EventKind::LinkUp : EventKind::LinkDown};
}

std::optional<TrendEvent> EventTracker::onMessage(const shell::FrameMessage& message,
                                                  std::int64_t nowMs) {
    if (const auto* runIn = std::get_if<shell::RunInActive>(&message))
        return onRunIn(*runIn, nowMs);
    if (const auto* flash = std::get_if<shell::LinkSuspend>(&message))
        return onFirmware(flash->suspend, nowMs);
    return std::nullopt;
}

std::optional<TrendEvent> EventTracker::onRunIn(const shell::RunInActive& runIn,
                                                std::int64_t nowMs) {
    if (!runIn.active) {
        if (!m_runIn) return std::nullopt;
        m_runIn = false;
        return TrendEvent{nowMs, EventKind::RunInStop};
    }
    if (!m_runIn) {
        m_runIn = true;
        m_step = runIn.step > 0 ? runIn.step : 1;
        return TrendEvent{nowMs, EventKind::RunInStart, m_step};
    }
    if (runIn.step <= 0 || runIn.step == m_step) return std::nullopt;
    m_step = runIn.step;
    return TrendEvent{nowMs, EventKind::RunInStep, runIn.step};
}

std::optional<TrendEvent> EventTracker::onFirmware(bool busy, std::int64_t nowMs) {
    if (busy == m_firmware) return std::nullopt;
    m_firmware = busy;
    return TrendEvent{nowMs, busy ? EventKind::FirmwareStart : EventKind::FirmwareEnd};
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
