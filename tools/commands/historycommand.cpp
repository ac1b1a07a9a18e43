// velmora-cli history: the drive journal read back.
#include <nlohmann/json.hpp>

#include "commandkit.h"
#include "journal/journal.h"
#include "journal/journalstore.h"

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

int Show(journal::JournalStore& store, Output& output, const Invocation& invocation) {
    const auto id = WholeNumber(invocation.arguments[1], 1, std::numeric_limits<int>::max());
    if (!id) return UsageError(output, invocation, "show wants an entry number");
    const auto entry = store.find(*id);
    if (!entry) return output.fail(kExitFailure, "no journal entry " + invocation.arguments[1]);
    output.emit(
        {{"ok", true}, {"schema", journal::kSchemaVersion}, {"entry", EntryJson(*entry, true)}});
    output.note(EntryLine(*entry) + "\n" + EntryJson(*entry, true)["detail"].dump(2));
    return kExitOk;
}

int RunHistory(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    const bool show = !words.empty() && words.front() == "show";
    if (show ? words.size() != 2 : !words.empty())
        return UsageError(output, invocation, "takes nothing or show ID");
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
    return {"history", "history [--serial N] [--since DATE] | history show ID",
            "  Lists the drive journal: every connection, write (old and new value and\n"
            "  what became of it), action, fault, run-in, firmware transfer and restore\n"
            "  of the window and of velmora-cli on this computer, oldest first; --serial\n"
            "  keeps one drive's, --since DATE (2026-12-08, 2026-12-08T10:00, local time\n"
            "  unless it ends in Z or +hh:mm) the newer ones. show ID prints one entry\n"
            "  with its details (a connection's values). The journal is\n"
            "  $XDG_DATA_HOME/velmora-tool/journal.sqlite ($VELMORA_JOURNAL if set).\n"
            "  Exit 0, 1 when the journal cannot be read or has no such entry.\n",
            RunHistory};
}

}  // namespace velmora::tools
