#pragma once
// One link to one drive: its serial port, the queues between the six link
// threads and the window, the threads themselves and the accounting of orders
// that never reached the line. The application (velmora-cli, each test) makes
// one and hands it down; nothing here is process-wide. Nothing waits on the
// serial line: requests are queued, replies are fetched from the queues after
// the matching message arrived.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "link/linkclock.h"
#include "link/linktimings.h"
#include "link/lostorders.h"
#include "link/messagetarget.h"
#include "link/pollmode.h"
#include "link/queues.h"
#include "link/seriallink.h"
#include "link/telegram.h"

namespace velmora::link {

class LinkThreads;

class DriveLink {
  public:
    // The link's pauses run on the steady clock, or on `clock` (which must
    // outlive the link).
    DriveLink();
    explicit DriveLink(LinkClock& clock);
    // Stops the threads (if running) before the queues and the port go.
    ~DriveLink();
    DriveLink(const DriveLink&) = delete;
    DriveLink& operator=(const DriveLink&) = delete;

    // Queue a request for the encoder thread; never waits. A full queue keeps
    // it in line until the encoder has made room, so nothing asked for is
    // lost (only a flush, on a lost link or for a firmware transfer, discards
    // it). 0 queued, 1 not.
    int sendRequest(Telegram request);
    // Take the oldest entry of the reply queue (waits at most 250 ms). 0 when
    // a reply was obtained, 1 otherwise.
    int fetchReply(Telegram& reply);
    // The same for the status queue.
    int fetchStatus(Telegram& reply);
    // Post a polling mode to the polling thread. 0 posted, 1 dropped.
    int setPollMode(int mode);
    int setPollMode(PollMode mode) { return setPollMode(static_cast<int>(mode)); }
    // Reaction to WM_LINK_FLUSH: empty the frame queue and the request queue;
    // the orders among them count as lost.
    void flushOutgoing();
    // Empties every queue (a fresh start of the threads).
    void flushAllQueues();

    // The six threads; messages go to `target`. Start and stop from one
    // thread; a second start while running is ignored.
    void start(MessageTarget& target, const LinkTimings& timings = {});
    void stop();
    [[nodiscard]] bool running() const;
    void suspendSupervision();
    void resumeSupervision();
    // True once a suspended supervision waits to be resumed: from then on no
    // link check is under way, so a transfer has the line to itself.
    [[nodiscard]] bool supervisionHeld() const;
    // How many rounds the supervision has begun, each before its check.
    [[nodiscard]] unsigned supervisionRounds() const;

    // For a program that ends: queues a mark behind every request queued so
    // far and returns its number (rising). The writer thread passes it once
    // everything before it is written or discarded.
    std::uint64_t queueSentMark();
    // The number of the last mark the writer passed (0: none yet).
    [[nodiscard]] std::uint64_t lastSentMark() const { return m_lastMarkPassed.load(); }
    void markPassed(std::uint64_t mark) { m_lastMarkPassed = mark; }

    // Orders queued by sendRequest since this link was made.
    [[nodiscard]] std::uint64_t queuedOrderCount() const { return m_queuedOrders.load(); }
    [[nodiscard]] LostOrders& lostOrders() { return m_lost; }

    [[nodiscard]] SerialLink& serial() { return m_serial; }
    [[nodiscard]] const SerialLink& serial() const { return m_serial; }
    [[nodiscard]] TelegramQueues& telegrams() { return m_telegrams; }
    [[nodiscard]] FrameQueue& frames() { return m_frames; }
    [[nodiscard]] PollModeQueue& pollModes() { return m_pollModes; }
    [[nodiscard]] ByteQueue& bytes() { return m_bytes; }
    [[nodiscard]] LinkClock& clock() { return *m_clock; }

  private:
    TelegramQueues m_telegrams{kTelegramCapacity};
    FrameQueue m_frames{kFrameCapacity};
    PollModeQueue m_pollModes{kPollModeCapacity};
    ByteQueue m_bytes{kByteCapacity};
    SerialLink m_serial;
    LostOrders m_lost;
    SteadyLinkClock m_steadyClock;
    LinkClock* m_clock;
    std::atomic<std::uint64_t> m_queuedOrders{0};
    std::atomic<std::uint64_t> m_marksQueued{0};
    std::atomic<std::uint64_t> m_lastMarkPassed{0};
    // Start and stop come from one thread; the lock guards against a careless
    // second caller.
    mutable std::mutex m_lifecycle;
    std::unique_ptr<LinkThreads> m_threads;
};

}  // namespace velmora::link
