#include "link/linkthreads.h"

#include <pthread.h>

#include <optional>

#include "link/codec.h"
#include "link/drivelink.h"
#include "link/linkpolicy.h"
#include "link/portwatch.h"

namespace velmora::link {
namespace {

using std::chrono::milliseconds;

// Failure count at start: a controller that does not answer the first check
// is reported lost at once.
constexpr int kFailuresBeforeStart = 2;
constexpr int kFailuresForLoss = 2;
// How long the encoder waits for room in the frame queue between looks at its
// stop flag.
constexpr milliseconds kFrameWait{50};

// Names show in top, gdb and the CPU benchmark (at most 15 characters).
void NameThisThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

// A mark travels as a request no drive command can have, its number in the
// data, and leaves the encoder as a frame that cannot be a telegram's (which
// always begins with the start byte).
constexpr std::uint8_t kSentMarkByte = 0x00;

WireFrame MarkFrame(const Telegram& mark) {
    WireFrame frame;
    frame.bytes.push_back(kSentMarkByte);
    frame.bytes.insert(frame.bytes.end(), mark.data.begin(), mark.data.end());
    return frame;
}

std::optional<std::uint64_t> MarkOf(const WireFrame& frame) {
    if (frame.bytes.size() != 1 + sizeof(std::uint64_t) || frame.bytes[0] != kSentMarkByte)
        return std::nullopt;
    std::uint64_t number = 0;
    for (std::size_t i = 1; i < frame.bytes.size(); ++i) number = number << 8 | frame.bytes[i];
    return number;
}

void Post(MessageTarget& target, unsigned message, std::uintptr_t wParam) {
    if (target.isAlive()) target.postMessage(message, wParam);
}

}  // namespace

LinkThreads::LinkThreads(DriveLink& link) : m_link(link) {}

LinkThreads::~LinkThreads() {
    if (m_running) stop();
}

void LinkThreads::start(MessageTarget& target, const LinkTimings& timings) {
    m_target = &target;
    m_timings = timings;
    m_supervisionFlag.SetStopFlag(0);
    for (auto& flag : m_flags) flag.SetStopFlag(0);
    m_running = true;
    m_link.lostOrders().announceTo(&target);
    m_supervision = std::thread(&LinkThreads::supervision, this);
    m_workers[Writer] = std::thread(&LinkThreads::writer, this);
    m_workers[Encoder] = std::thread(&LinkThreads::encoder, this);
    m_workers[Reader] = std::thread(&LinkThreads::reader, this);
    m_workers[Receive] = std::thread(&LinkThreads::receive, this);
    m_workers[Polling] = std::thread(&LinkThreads::polling, this);
}

void LinkThreads::stop() {
    for (auto& flag : m_flags) flag.SetStopFlag(1);
    for (auto& worker : m_workers) worker.join();
    m_supervisionFlag.SetStopFlag(1);
    m_gate.Wake();
    m_supervision.join();
    m_gate.Resume();
    m_running = false;
    m_link.lostOrders().announceTo(nullptr);
    // A later start begins clean: nothing queued for or from the old session,
    // and the device is free for other programs.
    m_link.flushAllQueues();
    m_link.serial().Release();
}

void LinkThreads::supervision() {
    NameThisThread("link-supervisor");
    SerialLink& link = m_link.serial();
    TelegramQueues& telegrams = m_link.telegrams();
    LinkClock& clock = m_link.clock();
    StopFlag& flag = m_supervisionFlag;
    link.OpenLink();
    int failures = kFailuresBeforeStart;
    while (!flag.stopped()) {
        m_gate.Pass(flag);
        if (flag.SleepFor(m_timings.loopPause)) break;
        // Past any backlog of window writes: a late check would read as a
        // lost link and flush them all. Never posted once suspended, so no
        // check lands in the middle of a firmware transfer.
        const auto suspensions = m_gate.RunUnlessSuspended(
            [&] { telegrams.PostUrgent(kRequestSlot, BuildLinkCheck()); });
        if (!suspensions) continue;
        bool answered = false;
        // A pulled adapter (hang-up, device node gone) is a loss at once,
        // found within a watch slice wherever the supervision sleeps.
        bool lost = false;
        for (int look = 0; look < m_timings.checkLooks && !flag.stopped() && !lost; ++look) {
            lost = SleepWatchingPort(flag, link, clock, m_timings.checkPause) ==
                   WatchedSleep::PortLost;
            if (flag.stopped() || lost) break;
            Telegram reply;
            if (telegrams.Fetch(kLinkReplySlot, reply) == queue_result::kOk) {
                answered = reply.command == kLinkCheckReply;
                break;
            }
        }
        if (flag.stopped()) break;
        if (answered) {
            failures = 0;
            Post(*m_target, WM_DRIVE_LINK_STATE, 1);
            const auto sleep = SleepWatchingPort(flag, link, clock, m_timings.connectedPause);
            if (sleep != WatchedSleep::PortLost) continue;
            lost = true;
        }
        // A check cut short by a suspension (a firmware transfer taking the
        // line) says nothing about the controller: no loss, no reopening.
        if (!lost && (m_gate.suspensions() != *suspensions || m_gate.suspended())) continue;
        if (lost || ++failures >= kFailuresForLoss) {
            failures = kFailuresForLoss;
            Post(*m_target, WM_DRIVE_LINK_STATE, 0);
            link.OpenLink();
            m_link.flushOutgoing();
            telegrams.Flush(kLinkReplySlot);
        }
    }
}

void LinkThreads::writer() {
    NameThisThread("link-writer");
    StopFlag& flag = m_flags[Writer];
    while (!flag.SleepFor(m_timings.loopPause)) {
        WireFrame frame;
        if (m_link.frames().Fetch(0, frame) != queue_result::kOk) continue;
        if (const auto mark = MarkOf(frame)) {
            m_link.markPassed(*mark);
            continue;
        }
        const int command = FrameCommand(frame);
        if (m_link.serial().LinkWrite(std::move(frame)) != 0) m_link.lostOrders().count(command);
    }
}

void LinkThreads::encoder() {
    NameThisThread("link-encoder");
    StopFlag& flag = m_flags[Encoder];
    while (!flag.SleepFor(m_timings.loopPause)) {
        Telegram request;
        if (m_link.telegrams().Fetch(kRequestSlot, request) != queue_result::kOk) continue;
        WireFrame frame;
        if (request.command == kSentMarkCommand) {
            frame = MarkFrame(request);
        } else if (EncodeTelegram(request, frame) != 0) {
            m_link.lostOrders().count(request.command);
            continue;
        }
        if (request.command == kLinkCheckCommand) {
            // Its own way past the frames waiting for the line, as past the
            // requests; a check still waiting there makes this one redundant.
            (void)m_link.frames().PostUrgent(0, std::move(frame));
            continue;
        }
        // A backlog on the line holds the encoder back (the requests wait in
        // their own queue meanwhile) instead of dropping an encoded request.
        while (m_link.frames().PostWithin(0, frame, kFrameWait) != queue_result::kOk) {
            if (flag.stopped()) break;
        }
    }
}

void LinkThreads::reader() {
    NameThisThread("link-reader");
    StopFlag& flag = m_flags[Reader];
    std::array<std::uint8_t, kReadChunk> buffer{};
    int count = 0;
    while (!flag.stopped()) {
        // Pause only after a silent read (which has already waited): while
        // bytes flow, the next reply must not sit through the pause.
        if (count == 0 && flag.SleepFor(m_timings.loopPause)) break;
        m_link.serial().LinkRead(buffer, count);
        // A burst faster than the decoder (a pseudo-terminal has no baud
        // rate) waits for room rather than losing bytes mid-frame; the bytes
        // not yet read stay in the driver's buffer meanwhile.
        for (int i = 0; i < count && !flag.stopped(); ++i) {
            m_link.bytes().PostWithin(0, buffer[static_cast<std::size_t>(i)], kByteWait);
        }
    }
}

void LinkThreads::receive() {
    NameThisThread("link-receive");
    StopFlag& flag = m_flags[Receive];
    ByteQueueSource bytes(m_link.bytes());
    Telegram reply;
    bool decoded = false;
    while (!flag.stopped()) {
        // Pause only after a failed attempt on an empty queue (a silent line,
        // where the decoder has already waited). Right after a reply the next
        // one may follow at once, and resynchronising after noise drops one
        // byte per attempt: both must keep pace with the line.
        if (!decoded && m_link.bytes().size(0) == 0 && flag.SleepFor(m_timings.loopPause)) {
            break;
        }
        decoded = DecodeTelegram(bytes, reply) == 0;
        if (!decoded) continue;
        const auto route = RouteForReply(reply.command);
        if (!route) continue;
        if (m_link.telegrams().Post(route->slot, std::move(reply)) == queue_result::kOk &&
            route->message != 0) {
            Post(*m_target, route->message, 0);
        }
        reply = Telegram{};
    }
}

void LinkThreads::polling() {
    NameThisThread("link-polling");
    StopFlag& flag = m_flags[Polling];
    LinkClock& clock = m_link.clock();
    int mode = kInitialPollMode;
    while (!flag.stopped()) {
        std::int32_t posted = 0;
        if (m_link.pollModes().Fetch(0, posted) == queue_result::kOk) mode = posted;
        const PollPlan plan = PollPlanFor(mode);
        if (plan.status) {
            m_link.sendRequest(BuildReadRequest(kStatusReply));
            if (clock.sleepFor(flag, m_timings.pollPause)) break;
        }
        for (int code : plan.groups) m_link.sendRequest(BuildReadRequest(code));
        if (plan.extraPauseMs > 0 && clock.sleepFor(flag, milliseconds(plan.extraPauseMs))) break;
        if (clock.sleepFor(flag, m_timings.pollPause)) break;
    }
}

}  // namespace velmora::link
