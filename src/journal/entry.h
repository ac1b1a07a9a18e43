#pragma once
// One line of a drive's history as the journal keeps it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::journal {

enum class EntryKind {
    Connection,  // a program linked to a drive; detail holds the snapshot
    Write,       // one parameter written (or refused)
    Action,      // a drive action without a kind of its own (slot, factory, maker set…)
    FaultRaised,
    FaultCleared,
    Start,
    Stop,
    Reset,
    Direction,  // a write of the rotation direction
    RunInStart,
    RunInEnd,
    Firmware,  // a firmware transfer with its files
    Restore,   // a backup written back, with its undo file
    Snapshot,  // the drive's values kept before a restore, to undo it
};

// The stored word of a kind ("write", "fault_raised"); nullopt for an unknown word.
[[nodiscard]] std::string_view KindName(EntryKind kind);
[[nodiscard]] std::optional<EntryKind> KindFromName(std::string_view name);

// What became of a request to the drive.
namespace outcome {
inline constexpr std::string_view kSent = "sent";            // queued, not settled yet
inline constexpr std::string_view kAnswered = "answered";    // the drive answered behind it
inline constexpr std::string_view kConfirmed = "confirmed";  // read back with the value sent
inline constexpr std::string_view kLost = "lost";            // lost with the link
inline constexpr std::string_view kRefused = "refused";      // the gate did not let it out
}  // namespace outcome

struct Entry {
    std::int64_t id = 0;     // given by the store
    std::int64_t token = 0;  // given by the recording process; names it for a later outcome
    std::string time;        // ISO 8601 local time with its UTC offset
    std::int64_t unixMs = 0;
    EntryKind kind = EntryKind::Write;
    std::string host;
    std::string user;
    std::string program;  // "velmora-cli 1.0.0"
    std::string port;
    std::optional<std::uint32_t> serial;
    std::string parameter;  // "p42", or an action's name
    std::string oldValue;   // the drive's value as last read
    std::string newValue;   // what was sent
    std::string outcome;
    std::string detail;  // JSON object text: snapshot, files, certificate…
};

}  // namespace velmora::journal
