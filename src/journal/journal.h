#pragma once
// A drive's whole history, kept in one SQLite file shared by the window and
// velmora-cli. record…() only queues the entry: a writer thread opens the
// file and writes, so the caller (the window's thread) never waits on SQLite.
// A journal that cannot be opened or written is said once through the
// failure listener (called on the writer thread) and the tool goes on; later
// entries are dropped.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "journal/entry.h"
#include "journal/outbox.h"

namespace velmora::journal {

// $VELMORA_JOURNAL, else $XDG_DATA_HOME/velmora-tool/journal.sqlite, else
// ~/.local/share/velmora-tool/journal.sqlite.
[[nodiscard]] std::filesystem::path DefaultJournalPath();

// Local time as ISO 8601 with milliseconds and its UTC offset
// ("2026-12-08T23:35:03.120+01:00").
[[nodiscard]] std::string IsoTime(std::int64_t unixMs);
[[nodiscard]] std::int64_t NowUnixMs();
// "2026-12-08", "2026-12-08T10:00[:00]" (local), with "Z" or "+01:00" (that
// offset); nullopt for anything else.
[[nodiscard]] std::optional<std::int64_t> ParseSince(const std::string& text);

// Who writes: host, user and program of this process.
struct Origin {
    std::string host;
    std::string user;
    std::string program;  // "velmora-cli 1.0.0"
};
[[nodiscard]] Origin ThisOrigin(const std::string& programAndVersion);

struct FirmwareFile {
    std::string name;
    std::uintmax_t size = 0;
    std::string sha256;  // hex; empty when the file cannot be read
};
// Name, size and SHA-256 of a file as it is on disk now.
[[nodiscard]] FirmwareFile DescribeFile(const std::filesystem::path& file);

class Journal {
  public:
    // `file` empty: DefaultJournalPath().
    explicit Journal(Origin origin, std::filesystem::path file = {});
    // Writes what is queued, then ends the writer thread.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Set before the first record(); called once, on the writer thread.
    void setFailureListener(std::function<void(const std::string&)> listener);
    [[nodiscard]] bool failed() const { return m_failed.load(); }
    [[nodiscard]] const std::filesystem::path& file() const { return m_file; }

    // --- typed entries; each returns its token (for setOutcome) ---
    struct Connection {
        std::string port;
        std::optional<std::uint32_t> serial;
        std::string type;
        std::string firmware;
        std::string snapshotJson;  // {"0x50": {"p40": "…", …}, …}
        std::int64_t unixMs = 0;   // 0: now
    };
    std::int64_t recordConnection(const Connection& connection);
    std::int64_t recordWrite(std::optional<std::uint32_t> serial, const std::string& parameter,
                             const std::string& oldValue, const std::string& newValue,
                             std::string_view outcome, EntryKind kind = EntryKind::Write);
    // Start, Stop, Reset or Action (then `name` says which, "load memory slot 3").
    std::int64_t recordAction(std::optional<std::uint32_t> serial, EntryKind kind,
                              const std::string& name, std::string_view outcome);
    std::int64_t recordFault(std::optional<std::uint32_t> serial, bool raised, int faultClass,
                             int number);
    std::int64_t recordRunInStart(std::optional<std::uint32_t> serial, const std::string& program);
    std::int64_t recordRunInEnd(std::optional<std::uint32_t> serial, const std::string& certificate,
                                const std::string& result);
    std::int64_t recordFirmware(std::optional<std::uint32_t> serial,
                                const std::vector<FirmwareFile>& files, const std::string& outcome);
    std::int64_t recordRestore(std::optional<std::uint32_t> serial, const std::string& file,
                               const std::string& undoFile, const std::string& outcome);
    // Any entry; time, origin and token are filled in when empty.
    std::int64_t record(Entry entry);
    void setOutcome(std::int64_t token, std::string_view outcome);

    // Entries recorded and outcomes set from now on also go into the outbox,
    // in the same transaction, as the mirror turns them into messages
    // (nullopt: none). Set before the first record(); called on the writer
    // thread.
    struct OutboxMirror {
        std::function<std::optional<OutboxMessage>(const Entry&)> entry;
        std::function<std::optional<OutboxMessage>(std::int64_t token, const std::string& outcome)>
            outcome;
    };
    void setOutboxMirror(OutboxMirror mirror);
    // A message for the outbox alone (a certificate), in order with the entries.
    void post(OutboxMessage message);

    // Waits until everything queued so far is written (or dropped).
    void flush();

  private:
    struct OutcomeUpdate {
        std::int64_t token;
        std::string outcome;
    };
    using Work = std::variant<Entry, OutcomeUpdate, OutboxMessage>;
    void enqueue(Work work);
    void run();
    void report(const std::string& why);

    Origin m_origin;
    std::filesystem::path m_file;
    std::function<void(const std::string&)> m_onFailure;
    OutboxMirror m_mirror;
    std::atomic<bool> m_failed{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Work> m_queue;
    std::uint64_t m_queued = 0;
    std::uint64_t m_done = 0;
    bool m_stopping = false;
    std::thread m_writer;
};

}  // namespace velmora::journal
