// velmora-cli history: the drive journal read back.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "commandkit.h"
#include "journal/journal.h"
#include "journal/journalstore.h"
#include "journal/snapshot.h"
#include "model/grouplayout.h"
#include "session.h"

namespace velmora::tools {
namespace {

nlohmann::json EntryJson(const journal::Entry& entry, bool withDetail) {
    nlohmann::json object{{"id", entry.id},
                          {"time", entry.time},
                          {"kind", journal::KindName(entry.kind)},
                          {"program", entry.program},
                          {"host", entry.host},
                          {"user", entry.user},
                          {"port", entry.port},
                          {"serial", nullptr},
                          {"parameter", entry.parameter},
                          {"old", entry.oldValue},
                          {"new", entry.newValue},
                          {"outcome", entry.outcome}};
    if (entry.serial) object["serial"] = *entry.serial;
    if (withDetail) object["detail"] = nlohmann::json::parse(entry.detail, nullptr, false);
    return object;
}

std::string EntryLine(const journal::Entry& entry) {
    std::string line = std::to_string(entry.id) + "  " + entry.time + "  " +
                       std::string(journal::KindName(entry.kind)) + "  " +
                       (entry.serial ? "serial " + std::to_string(*entry.serial) : "serial ?");
    if (!entry.parameter.empty()) line += "  " + entry.parameter;
    if (!entry.oldValue.empty() || !entry.newValue.empty())
        line += "  " + (entry.oldValue.empty() ? "?" : entry.oldValue) + " -> " + entry.newValue;
    if (!entry.outcome.empty()) line += "  " + entry.outcome;
    return line + "  (" + entry.program + ", " + entry.user + "@" + entry.host + ")";
}

// A snapshot one parameter a line, under its group; any other detail as JSON.
std::string DetailText(const journal::Entry& entry) {
    nlohmann::json detail = nlohmann::json::parse(entry.detail, nullptr, false);
    if (!detail.is_object() || !detail.contains("snapshot")) return detail.dump(2);
    std::string text;
    for (const auto& [key, value] : detail.items())
        if (key != "snapshot")
            text +=
                key + ": " + (value.is_string() ? value.get<std::string>() : value.dump()) + "\n";
    const journal::Snapshot snapshot = journal::SnapshotOf(entry).value_or(journal::Snapshot{});
    const model::GroupLayout* shown = nullptr;
    for (const auto& [parameter, value] : snapshot) {
        const model::GroupLayout* group = model::GroupOfParameter(parameter);
        if (group != shown && group != nullptr) {
            char header[32];
            std::snprintf(header, sizeof header, "group 0x%02X\n", group->code);
            text += header;
            shown = group;
        }
        text += "  p" + std::to_string(parameter) + " = " + value + "\n";
    }
    return text;
}

std::optional<journal::Entry> FindEntry(journal::JournalStore& store, Output& output,
                                        const Invocation& invocation, int& status) {
    const auto id = WholeNumber(invocation.arguments[1], 1, std::numeric_limits<int>::max());
    if (!id) {
        status = UsageError(output, invocation, invocation.arguments[0] + " wants an entry number");
        return std::nullopt;
    }
    auto entry = store.find(*id);
    if (!entry) status = output.fail(kExitFailure, "no journal entry " + invocation.arguments[1]);
    return entry;
}

int Show(journal::JournalStore& store, Output& output, const Invocation& invocation) {
    int status = kExitOk;
    const auto entry = FindEntry(store, output, invocation, status);
    if (!entry) return status;
    output.emit(
        {{"ok", true}, {"schema", journal::kSchemaVersion}, {"entry", EntryJson(*entry, true)}});
    output.note(EntryLine(*entry) + "\n" + DetailText(*entry));
    return kExitOk;
}

// The snapshot's writable values, as a backup file would hold them.
BackupContents ContentsOf(const journal::Entry& entry, const journal::Snapshot& snapshot) {
    BackupContents contents;
    const auto& writable = WritableParameters();
    for (const auto& [parameter, value] : snapshot)
        if (std::binary_search(writable.begin(), writable.end(), parameter))
            contents.values[parameter] = value;
    const auto detail = nlohmann::json::parse(entry.detail, nullptr, false);
    if (detail.is_object() && detail.contains("type") && detail["type"].is_string())
        contents.type = detail["type"].get<std::string>();
    return contents;
}

int Restore(journal::JournalStore& store, Output& output, const Invocation& invocation,
            CliContext& context) {
    int status = kExitOk;
    const auto entry = FindEntry(store, output, invocation, status);
    if (!entry) return status;
    const auto snapshot = journal::SnapshotOf(*entry);
    if (!snapshot)
        return output.fail(kExitFailure, "journal entry " + invocation.arguments[1] +
                                             " holds no snapshot (a connection's values)");
    const BackupContents contents = ContentsOf(*entry, *snapshot);
    if (contents.values.empty())
        return output.fail(kExitFailure, "journal entry " + invocation.arguments[1] +
                                             " holds no values that can be written");
    // The window asks before it writes a snapshot back.
    if (!invocation.yes)
        return output.fail(kExitUsage,
                           "history restore: the window would ask \"Write the values of "
                           "entry " +
                               invocation.arguments[1] + " to the drive?\"; repeat with --yes");
    // Every value is checked before the link is used: nothing goes out for a bad one.
    model::DriveData scratch;
    for (const auto& [parameter, value] : contents.values)
        if (!ApplyBackupValue(scratch, parameter, value))
            return output.fail(kExitFailure, "journal entry " + invocation.arguments[1] + ": p" +
                                                 std::to_string(parameter) + " = '" + value +
                                                 "' is no value");
    DriveSession session(invocation, context, output);
    return session.finish(
        RestoreContents(session, invocation, context, output, contents,
                        {"journal entry " + invocation.arguments[1], ".", entry->serial}));
}

int RunHistory(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    const bool show = !words.empty() && words.front() == "show";
    const bool restore = !words.empty() && words.front() == "restore";
    if (show || restore ? words.size() != 2 : !words.empty())
        return UsageError(output, invocation, "takes nothing, show ID or restore ID");
    journal::EntryFilter filter;
    filter.serial = invocation.serial;
    if (!invocation.since.empty()) {
        filter.sinceUnixMs = journal::ParseSince(invocation.since);
        if (!filter.sinceUnixMs)
            return UsageError(output, invocation,
                              "--since wants a date like 2026-12-08 or 2026-12-08T10:00, not " +
                                  invocation.since);
    }
    journal::JournalStore store;
    const auto file = journal::DefaultJournalPath();
    // A missing file is an empty history; an unreadable or newer one is a failure.
    if (!store.openForReading(file) && !store.error().empty())
        return output.fail(kExitFailure, store.error());
    if (show) return Show(store, output, invocation);
    if (restore) return Restore(store, output, invocation, context);
    nlohmann::json entries = nlohmann::json::array();
    for (const journal::Entry& entry : store.list(filter)) {
        entries.push_back(EntryJson(entry, false));
        output.note(EntryLine(entry));
    }
    if (entries.empty()) output.note("no journal entries in " + file.string());
    output.emit({{"ok", true}, {"schema", journal::kSchemaVersion}, {"entries", entries}});
    return kExitOk;
}

}  // namespace

Command HistoryCommand() {
    return {"history",
            "history [--serial N] [--since DATE] | history show ID | "
            "[LINK OPTIONS] --yes history restore ID",
            "  Lists the drive journal: every connection, write (old and new value and\n"
            "  what became of it), action, fault, run-in, firmware transfer and restore\n"
            "  of the window and of velmora-cli on this computer, oldest first; --serial\n"
            "  keeps one drive's, --since DATE (2026-12-08, 2026-12-08T10:00, local time\n"
            "  unless it ends in Z or +hh:mm) the newer ones. show ID prints one entry\n"
            "  with its details (a connection's values, one parameter a line).\n"
            "  restore ID writes a snapshot (a connection entry, or the undo snapshot\n"
            "  the window keeps before it writes one back) to the linked drive, guarded\n"
            "  as restore FILE is: only the drive the snapshot was taken from, every\n"
            "  value checked before anything is written, the drive as it was saved first\n"
            "  as backup-<serial>-<time>.ini in the current folder, a restore entry in\n"
            "  the journal; refused without --yes, as the window asks. The journal is\n"
            "  $XDG_DATA_HOME/velmora-tool/journal.sqlite ($VELMORA_JOURNAL if set).\n"
            "  Exit 0, 1 when the journal cannot be read or has no such entry; restore:\n"
            "  0 all took, 3 some did not, 1 failure, 2 refused.\n",
            RunHistory};
}

}  // namespace velmora::tools
