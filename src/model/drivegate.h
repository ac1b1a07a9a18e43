#pragma once
// The one way from the tool to the drive. Every write, action and poll-mode
// change of the window's pages and dialogs and of the command-line tool
// passes here, so both refuse the same things for the same reasons: values
// outside the parameter rules, settings while the motor turns, anything but
// the transfer while a firmware download holds the drive.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/pollmode.h"
#include "link/telegram.h"
#include "model/parameterrules.h"

namespace velmora::link {
class DriveLink;
}

namespace velmora::model {

class DriveData;

// Where accepted requests go: the link, or a test's recorder.
class RequestOutlet {
  public:
    virtual ~RequestOutlet() = default;
    // 0 queued, non-zero not.
    virtual int send(link::Telegram request) = 0;
    virtual int setPollMode(int mode) = 0;
    // Takes the oldest group or drive reply; 0 when one came. An outlet that
    // reaches no drive has none.
    virtual int fetchReply(link::Telegram& /*reply*/) { return 1; }
};

// The outlet onto one drive link.
class LinkOutlet final : public RequestOutlet {
  public:
    explicit LinkOutlet(link::DriveLink& link) : m_link(link) {}
    int send(link::Telegram request) override;
    int setPollMode(int mode) override;
    int fetchReply(link::Telegram& reply) override;

  private:
    link::DriveLink& m_link;
};

// An outlet that reaches no drive: a file's image, which is read and
// compared, never sent, until it is given a drive's gate (useGate).
[[nodiscard]] RequestOutlet& NoDrive();

struct GateRefusal {
    enum class Reason {
        Value,          // `values` says which and why
        MotorTurning,   // the drive reports operation not allowed
        StateUnknown,   // no status from the drive yet (or the link is down)
        TransferHolds,  // a firmware download holds the drive and its polling
        NoTransfer,     // a firmware telegram outside a download
        NotAGroup,      // no writable group has this command
        NotQueued,      // the outlet did not take it
    };
    Reason reason = Reason::Value;
    int command = 0;  // the refused telegram's command code
    std::vector<ValueRefusal> values;
    // English, for the command line and logs: "p42 = 9000 is outside …".
    [[nodiscard]] std::string describe() const;
};
// nullopt: accepted and queued.
using GateResult = std::optional<GateRefusal>;

// English name of a command for messages ("start motor", "write group 0x51").
[[nodiscard]] std::string CommandName(int command);

class DriveGate {
  public:
    DriveGate(DriveData& data, RequestOutlet& outlet);
    DriveGate(const DriveGate&) = delete;
    DriveGate& operator=(const DriveGate&) = delete;

    void setOutlet(RequestOutlet& outlet) { m_outlet = &outlet; }
    [[nodiscard]] RequestOutlet& outlet() const { return *m_outlet; }

    // --- what the drive last said ---
    // A status reply (four bytes): bit 0 of the second byte set means the
    // motor stands and settings may change.
    void observeStatus(const std::array<std::uint8_t, 4>& status);
    // A lost link forgets the status: nothing that needs a standing motor
    // goes out until the drive speaks again.
    void observeLink(bool up);
    // The last status said the motor stands (false while none is known).
    [[nodiscard]] bool operationAllowed() const;

    // --- the guarded way ---
    // Writes the working values of a group (write command 0x10..0x18): every
    // value that differs from the drive's (the image) must pass its rule;
    // group 0x50 may change the set speed alone while the motor turns,
    // every other change needs a standing motor.
    GateResult writeGroup(int writeCommand);
    // The same for another image of this drive (a file's values laid over
    // what was read), judged by this drive's state.
    GateResult writeGroupOf(DriveData& image, int writeCommand);
    // Any other request: reads always pass; actions by the command table.
    GateResult send(link::Telegram request);
    // Checks values a file would write, all at once, before anything is sent:
    // `values` holds the file's words as working values over the drive's image
    // (unread where neither has one); a value equal to the drive's is no change.
    [[nodiscard]] std::vector<ValueRefusal> checkValues(const std::vector<int>& parameters,
                                                        const DriveData& values) const;

    // --- polling ---
    // A page's or dialog's mode; refused while a firmware download holds it.
    GateResult setPollMode(link::PollMode mode);
    // While set, every page's mode also reads the operating values (the trend
    // samples whatever page is in front); the page's mode is sent again with
    // the change. Nothing is sent while a firmware download holds the polling.
    void setSampling(bool sampling);
    [[nodiscard]] bool sampling() const { return m_sampling; }
    // The page's own mode (without the trend's addition) reads this group.
    [[nodiscard]] bool pagePolls(int group) const;
    // A firmware download takes the drive: needs a standing motor; until
    // endTransfer() only its own telegrams and poll modes pass.
    GateResult beginTransfer();
    GateResult setTransferPollMode(int mode);
    void endTransfer();
    [[nodiscard]] bool transferActive() const { return m_transfer; }

    // Told of every refusal (the window's notice, the command line's message,
    // the journal) and of every request that went out (the journal). Each
    // listener stays until removed with the number it was given.
    int addRefusalListener(std::function<void(const GateRefusal&)> listener);
    int addSentListener(std::function<void(const link::Telegram&)> listener);
    void removeListener(int id);

  private:
    GateResult refuse(GateRefusal refusal) const;
    GateResult refuse(GateRefusal::Reason reason, int command) const;
    // Why a settings change may not go out now: no status yet, or a motor
    // that is not known to stand.
    [[nodiscard]] std::optional<GateRefusal::Reason> standstillBlocker() const;
    GateResult pass(link::Telegram request);
    [[nodiscard]] std::optional<GateRefusal::Reason> blocker(int command) const;

    DriveData& m_data;
    RequestOutlet* m_outlet;
    std::optional<std::array<std::uint8_t, 4>> m_status;
    bool m_transfer = false;
    bool m_sampling = false;
    std::optional<link::PollMode> m_pageMode;  // the last one a page or dialog set
    bool m_testOperation = false;
    int m_nextListener = 1;
    std::vector<std::pair<int, std::function<void(const GateRefusal&)>>> m_onRefusal;
    std::vector<std::pair<int, std::function<void(const link::Telegram&)>>> m_onSent;
};

}  // namespace velmora::model
