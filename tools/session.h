#pragma once
// One connection to the drive for one command: the link threads started on
// the chosen port, the messages they post taken on this thread as the window
// takes them, and the reads every command needs (groups with repeats for
// requests lost on the line).
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "cli.h"
#include "link/telegram.h"
#include "messageinbox.h"
#include "model/drivedata.h"
#include "output.h"

namespace velmora::tools {

class DriveSession {
  public:
    using Status = std::array<std::uint8_t, 4>;

    // Chooses the port from the options and starts the link threads.
    DriveSession(const Invocation& invocation, CliContext& context, Output& output,
                 int pollMode = 0);
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Waits for the first answered link check. 0, or the exit status with
    // its message printed: 4 when the port cannot be opened, 1 for a silent
    // drive or an interruption.
    int connect();

    // Reads the groups into `into` (fresh flags needed), asking again for
    // those lost on the line. False with a message after the time limit.
    // requested: the first requests are already queued (by a model action).
    bool readGroups(std::span<const int> codes, model::DriveData& into, bool requested = false);
    // Every parameter group 0x50..0x5A.
    bool readAll(model::DriveData& into);

    // Handles the messages that arrive within `wait` (at least one wait).
    void pump(std::chrono::milliseconds wait);
    // Pumps until condition() holds; false after timeout or an interruption.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

    void setPollMode(int mode);
    [[nodiscard]] bool interrupted() const { return m_context.interrupted.load(); }
    [[nodiscard]] bool linked() const { return m_linked; }
    [[nodiscard]] const std::optional<Status>& status() const { return m_status; }
    [[nodiscard]] std::chrono::milliseconds timeout() const { return m_timeout; }
    // The store that polled group replies go to (live values, identity).
    [[nodiscard]] model::DriveData& data() { return m_data; }

    // Replies other than groups and status (slot state, block requests).
    std::function<void(link::Telegram&)> onReply;
    std::function<void(bool linked)> onLinkState;
    std::function<void(const Status&)> onStatus;

  private:
    void handle(const MessageInbox::Message& message);

    CliContext& m_context;
    Output& m_output;
    MessageInbox m_inbox;
    model::DriveData m_data;
    model::DriveData* m_sink = &m_data;
    std::chrono::milliseconds m_timeout{10000};
    bool m_linked = false;
    std::optional<Status> m_status;
};

// The drive's identity from a complete read: type (p36), firmware (p37), serial (p39).
struct DriveIdentity {
    std::uint32_t type = 0;
    std::string firmware;
    std::uint32_t serial = 0;
};
[[nodiscard]] DriveIdentity IdentityOf(const model::DriveData& data);
[[nodiscard]] std::vector<int> IdentityGroups();

}  // namespace velmora::tools
