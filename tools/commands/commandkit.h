#pragma once
// Small pieces every command shares: argument checks with exit status 2 and
// the drive's values as texts.
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backupfile.h"
#include "cli.h"
#include "model/parameterrules.h"
#include "output.h"
#include "session.h"

namespace velmora::tools {

// Exit status 2 with "<command>: <why> (see velmora-cli <command> --help)".
inline int UsageError(Output& output, const Invocation& invocation, const std::string& why) {
    return output.fail(kExitUsage, invocation.command + ": " + why + " (see velmora-cli " +
                                       invocation.command + " --help)");
}

// A whole decimal number low..high, nothing else.
inline std::optional<int> WholeNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

// "p42 = 9000 is outside the allowed 100 … 4000; p7 = …": every refused value.
inline std::string DescribeRefusals(const std::vector<model::ValueRefusal>& refusals) {
    std::string text;
    for (const auto& refusal : refusals) text += (text.empty() ? "" : "; ") + refusal.describe();
    return text;
}
inline std::string JoinProblems(const std::vector<std::string>& problems) {
    std::string text;
    for (const auto& problem : problems) text += (text.empty() ? "" : "; ") + problem;
    return text;
}

// The start diff and restore share: one FILE argument, read whole as a backup
// before the drive is touched (nothing is sent for a file with a bad value),
// then body(session, output, contents) on a session drained at its end.
template <class Body>
int RunOnBackupFile(const Invocation& invocation, CliContext& context, Body body) {
    Output output(invocation, context);
    if (invocation.arguments.size() != 1) return UsageError(output, invocation, "takes one FILE");
    BackupContents contents;
    std::string error;
    if (!LoadBackup(invocation.arguments.front(), contents, error))
        return output.fail(kExitFailure, error);
    DriveSession session(invocation, context, output);
    return session.finish(body(session, output, contents));
}

// Where values to write back come from: a backup file or a journal snapshot.
struct RestoreSource {
    std::string name;                     // the file, or "journal entry 12"
    std::filesystem::path undoFolder;     // where the drive as it was is saved first
    std::optional<std::uint32_t> serial;  // the drive it was taken from: another is refused
};
// Writes `contents` back the guarded way (restore FILE, history restore ID):
// the drive read whole, the values judged whole before anything is sent, the
// drive as it was saved as an undo file, the groups written and read back,
// and a restore entry in the journal.
int RestoreContents(DriveSession& session, const Invocation& invocation, CliContext& context,
                    Output& output, const BackupContents& contents, const RestoreSource& source);

}  // namespace velmora::tools
