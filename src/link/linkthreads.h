#pragma once
// The six threads of one DriveLink: supervision (link checks, reopening),
// writer, encoder, reader, receive and polling. Only DriveLink makes them.
#include <array>
#include <cstdint>
#include <thread>

#include "link/linktimings.h"
#include "link/messagetarget.h"
#include "link/stopflag.h"
#include "link/telegram.h"

namespace velmora::link {

class DriveLink;

// The command number of a sent mark: no drive command has it.
inline constexpr int kSentMarkCommand = -1;

class LinkThreads {
  public:
    explicit LinkThreads(DriveLink& link);
    // A program that ends without stop() still ends them cleanly.
    ~LinkThreads();
    LinkThreads(const LinkThreads&) = delete;
    LinkThreads& operator=(const LinkThreads&) = delete;

    void start(MessageTarget& target, const LinkTimings& timings);
    void stop();
    void suspend() { m_gate.Suspend(); }
    void resume() { m_gate.Resume(); }
    [[nodiscard]] bool held() const { return m_gate.holding(); }
    [[nodiscard]] unsigned rounds() const { return m_gate.passes(); }
    [[nodiscard]] bool running() const { return m_running; }

  private:
    enum Worker { Writer, Encoder, Reader, Receive, Polling, Workers };

    void supervision();
    void writer();
    void encoder();
    void reader();
    void receive();
    void polling();

    DriveLink& m_link;
    MessageTarget* m_target = nullptr;
    LinkTimings m_timings;
    bool m_running = false;
    SuspendGate m_gate;
    StopFlag m_supervisionFlag;
    std::thread m_supervision;
    std::array<StopFlag, Workers> m_flags;
    std::array<std::thread, Workers> m_workers;
};

}  // namespace velmora::link
