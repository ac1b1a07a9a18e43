#include "link/drivelink.h"

#include <utility>

#include "link/linkthreads.h"

namespace velmora::link {

DriveLink::DriveLink() : DriveLink(m_steadyClock) {}

DriveLink::DriveLink(LinkClock& clock)
    : m_clock(&clock), m_threads(std::make_unique<LinkThreads>(*this)) {}

DriveLink::~DriveLink() {
    stop();
}

int DriveLink::sendRequest(Telegram request) {
    // A request is what a page or the user asked the drive to do: when the
    // queue is full it waits for room rather than being dropped unseen; past
    // the limit of that line it is refused and accounted as lost.
    const int command = request.command;
    const int result = m_telegrams.PostOrHold(kRequestSlot, std::move(request));
    if (result == queue_result::kOk || result == queue_result::kHeld) {
        if (IsOrderCode(command)) ++m_queuedOrders;
        return 0;
    }
    m_lost.count(command);
    return 1;
}

int DriveLink::fetchReply(Telegram& reply) {
    return m_telegrams.Fetch(kReplySlot, reply) == queue_result::kOk ? 0 : 1;
}

int DriveLink::fetchStatus(Telegram& reply) {
    return m_telegrams.Fetch(kStatusSlot, reply) == queue_result::kOk ? 0 : 1;
}

int DriveLink::setPollMode(int mode) {
    return m_pollModes.Post(0, mode) == queue_result::kOk ? 0 : 1;
}

void DriveLink::flushOutgoing() {
    for (const auto& frame : m_frames.TakeAll(0)) m_lost.count(FrameCommand(frame));
    for (const auto& request : m_telegrams.TakeAll(kRequestSlot)) m_lost.count(request.command);
}

void DriveLink::flushAllQueues() {
    m_telegrams.FlushAll();
    m_frames.FlushAll();
    m_pollModes.FlushAll();
    m_bytes.FlushAll();
}

void DriveLink::start(MessageTarget& target, const LinkTimings& timings) {
    std::lock_guard lock(m_lifecycle);
    if (m_threads->running()) return;
    m_threads->start(target, timings);
}

void DriveLink::stop() {
    std::lock_guard lock(m_lifecycle);
    if (m_threads->running()) m_threads->stop();
}

bool DriveLink::running() const {
    std::lock_guard lock(m_lifecycle);
    return m_threads->running();
}

void DriveLink::suspendSupervision() {
    m_threads->suspend();
}

void DriveLink::resumeSupervision() {
    m_threads->resume();
}

bool DriveLink::supervisionHeld() const {
    return m_threads->held();
}

unsigned DriveLink::supervisionRounds() const {
    return m_threads->rounds();
}

std::uint64_t DriveLink::queueSentMark() {
    const std::uint64_t number = ++m_marksQueued;
    Telegram mark;
    mark.command = kSentMarkCommand;
    for (int shift = 56; shift >= 0; shift -= 8)
        mark.data.push_back(static_cast<std::uint8_t>(number >> shift));
    mark.length = static_cast<std::uint8_t>(mark.data.size());
    sendRequest(std::move(mark));
    return number;
}

}  // namespace velmora::link
