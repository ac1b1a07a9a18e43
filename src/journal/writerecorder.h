#pragma once
// Turns what passes a DriveGate into journal entries: a group write becomes
// one write entry per parameter it changes (old = the drive's value as last
// read, new = the value sent), an action its own entry, a refusal an entry
// with the outcome "refused". It keeps its own copy of the drive's values
// from the group replies it is shown, because the gate copies the working
// values into the image before it sends. A connection entry with a snapshot
// of the groups read follows connected(): once every group has been read, or
// before the first change, or at close().
//
// Used on one thread (the window's, or the command's); share it through a
// shared_ptr, which the watched gates keep alive.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "journal/journal.h"
#include "link/telegram.h"
#include "model/drivegate.h"

namespace velmora::journal {

class WriteRecorder : public std::enable_shared_from_this<WriteRecorder> {
  public:
    explicit WriteRecorder(std::shared_ptr<Journal> journal);

    // Sets the gate's sent and refusal listeners to this recorder.
    void watch(model::DriveGate& gate);
    // Removes them again (a gate that outlives the journal: the window's).
    void unwatch(model::DriveGate& gate);

    // A program linked to the drive on `port`.
    void connected(const std::string& port);
    // Every group reply from the drive (reads and polls).
    void observeReply(const link::Telegram& reply);
    // A status reply (four bytes; the third is the fault class, the fourth its
    // number): a fault that appears or goes becomes an entry.
    void observeStatus(const std::array<std::uint8_t, 4>& status);
    void recordSent(const link::Telegram& request);
    void recordRefused(const model::GateRefusal& refusal);
    // Entries of whole operations, after the connection's, with the drive's serial.
    void recordRunInStart(const std::string& program);
    void recordRunInEnd(const std::string& certificate, const std::string& result);
    void recordFirmware(const std::vector<FirmwareFile>& files, const std::string& outcome);
    void recordRestore(const std::string& file, const std::string& undoFile,
                       const std::string& outcome);
    // Writes not yet read back: "answered" when everything queued reached the
    // drive, else "lost".
    void settle(bool reached);
    // The end of the connection: its entry if still due, open writes settled as lost.
    void close();

    [[nodiscard]] std::optional<std::uint32_t> serial() const { return m_serial; }
    [[nodiscard]] Journal& journal() { return *m_journal; }

  private:
    void emitConnection();
    [[nodiscard]] std::string known(int parameter) const;

    struct Pending {
        std::int64_t token;
        std::uint32_t word;
    };
    std::shared_ptr<Journal> m_journal;
    std::vector<int> m_listeners;  // of the watched gate
    std::array<std::uint32_t, 156> m_words{};
    std::array<bool, 156> m_read{};
    std::uint32_t m_groupsSeen = 0;  // bit n: group 0x50 + n
    std::optional<std::uint32_t> m_serial;
    std::map<int, Pending> m_pending;            // by parameter
    std::optional<std::pair<int, int>> m_fault;  // class, number; {0, 0} none
    bool m_connectionDue = false;
    std::string m_port;
    std::int64_t m_connectedAt = 0;
};

// A parameter's word as the pages show it ("120.50", "4000").
[[nodiscard]] std::string ParameterText(int parameter, std::uint32_t word);

}  // namespace velmora::journal
