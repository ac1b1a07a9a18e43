#pragma once
// One connection to the drive for one command: the link threads started on
// the chosen port, the messages they post taken on this thread as the window
// takes them, and the reads every command needs (groups with repeats for
// requests lost on the line).
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "cli.h"
#include "link/drivelink.h"
#include "link/pollmode.h"
#include "link/telegram.h"
#include "messageinbox.h"
#include "model/drivedata.h"
#include "output.h"

namespace velmora::tools {

class CliJournal;

class DriveSession {
  public:
    using Status = std::array<std::uint8_t, 4>;

    // How far the end of the command follows what it queued (setDrain).
    enum class Drain {
        Answered,  // the drive answered a read queued after it
        Written,   // on the line (a drive in its boot loader answers no read)
    };

    // Chooses the port from the options and starts the link threads; --poll
    // overrides `pollMode`.
    DriveSession(const Invocation& invocation, CliContext& context, Output& output,
                 link::PollMode pollMode = link::PollMode::ControlPage);
    // Drains as finish() does when the command did not, then stops the threads.
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Waits for the first answered link check and, with --expect-serial,
    // reads the drive's serial number and compares it. 0, or the exit status
    // with its message printed: 4 when the port cannot be opened, 1 for a
    // silent drive, an interruption or another drive's serial number.
    int connect();

    // Reads the groups into `into` (fresh flags needed), asking again for
    // those lost on the line. False with a message after the time limit.
    // requested: the first requests are already queued (by a model action).
    bool readGroups(std::span<const int> codes, model::DriveData& into, bool requested = false);
    // Every parameter group 0x50..0x5A.
    bool readAll(model::DriveData& into);
    // Waits until the drive has answered a read queued now, behind all that
    // was queued before: every reply after it shows the drive as it is after
    // those writes (replies come in the order of the requests). False with a
    // message after the time limit or an interruption.
    bool awaitAnswerBehind();

    // Handles the messages that arrive within `wait` (at least one wait).
    void pump(std::chrono::milliseconds wait);
    // Pumps until condition() holds; false after timeout or an interruption.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    // The same, but no interruption cuts it short: for what must happen on the
    // way out (a motor brought to a stop).
    bool waitThroughInterruption(const std::function<bool()>& condition,
                                 std::chrono::milliseconds timeout) {
        return settle(condition, std::chrono::steady_clock::now() + timeout);
    }

    // The command's last step: when it gave the drive an order (a write, an
    // action), waits a few seconds at most until every request queued so far
    // has reached the drive. `status`, or exit status 1 with the reason
    // printed when some did not in time or were lost with the link: a write
    // queued last is never claimed done unseen.
    int finish(int status);
    void setDrain(Drain until) { m_drain = until; }

    void setPollMode(link::PollMode mode);
    [[nodiscard]] bool interrupted() const { return m_context.interrupted.load(); }
    [[nodiscard]] bool linked() const { return m_linked; }
    [[nodiscard]] const std::optional<Status>& status() const { return m_status; }
    [[nodiscard]] std::chrono::milliseconds timeout() const { return m_timeout; }
    // The store that polled group replies go to (live values, identity).
    [[nodiscard]] model::DriveData& data() { return m_data; }
    // The guarded way to this drive (images read by readGroups write through it).
    [[nodiscard]] model::DriveGate& gate() { return m_data.gate(); }
    [[nodiscard]] CliJournal& journal() { return *m_journal; }
    // The link to this drive (transfers that hold it, sent marks).
    [[nodiscard]] link::DriveLink& link() { return m_link; }

    // Replies other than groups and status (slot state, block requests).
    std::function<void(link::Telegram&)> onReply;
    std::function<void(bool linked)> onLinkState;
    std::function<void(const Status&)> onStatus;

  private:
    void handle(const MessageInbox::Message& message);
    int checkSerial();
    // Empty when everything queued reached the drive, else why not.
    std::string drain();
    // Handles messages until condition() or the deadline; no interruption
    // cuts it short (a stop order queued on Ctrl+C must still go out).
    bool settle(const std::function<bool()>& condition,
                std::chrono::steady_clock::time_point deadline);

    CliContext& m_context;
    Output& m_output;
    MessageInbox m_inbox;
    // Declared after the inbox its threads post to: stopped before it goes.
    link::DriveLink m_link;
    model::LinkOutlet m_outlet{m_link};
    model::DriveData m_data{m_outlet};
    model::DriveData* m_sink = &m_data;
    std::chrono::milliseconds m_timeout{10000};
    bool m_linked = false;
    bool m_everLinked = false;
    bool m_finished = false;
    bool m_drainAnswered = false;
    Drain m_drain = Drain::Answered;
    std::optional<Status> m_status;
    std::vector<std::string> m_refusals;
    std::unique_ptr<CliJournal> m_journal;  // the drive journal's connection and writes
    std::optional<std::uint32_t> m_expectSerial;
    std::chrono::steady_clock::time_point m_lastGroupReply;
};

// Connects and reads every parameter group into `drive` (backup, diff,
// restore). 0, or the exit status with its message printed.
[[nodiscard]] int ReadWholeDrive(DriveSession& session, model::DriveData& drive);

// The drive's identity from a complete read: type (p36), firmware (p37), serial (p39).
struct DriveIdentity {
    std::uint32_t type = 0;
    std::string firmware;
    std::uint32_t serial = 0;
};
[[nodiscard]] DriveIdentity IdentityOf(const model::DriveData& data);
[[nodiscard]] std::vector<int> IdentityGroups();

}  // namespace velmora::tools
