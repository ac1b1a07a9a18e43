// velmora-cli backup FILE: every writable parameter into a backup file.
#include "backupfile.h"
#include "commandkit.h"
#include "platform/profile.h"
#include "session.h"

namespace velmora::tools {

// Shared with restore, which saves the drive as it was before it writes.
int SaveBackupFile(Output& output, const std::filesystem::path& file,
                   const model::DriveData& data) {
    std::string error;
    const std::string text = BuildBackupText(data, IdentityOf(data), LocalTimeText());
    if (!platform::WriteFileAtomically(file, text, &error))
        return output.fail(kExitFailure, "cannot write " + file.string() + ": " + error);
    return kExitOk;
}

namespace {

int Backup(DriveSession& session, Output& output, const std::filesystem::path& file) {
    model::DriveData data;
    if (const int status = ReadWholeDrive(session, data)) return status;
    if (const int status = SaveBackupFile(output, file, data)) return status;
    const DriveIdentity id = IdentityOf(data);
    output.emit({{"ok", true},
                 {"file", file.string()},
                 {"parameters", WritableParameters().size()},
                 {"serial", id.serial},
                 {"inverter_type", id.type}});
    output.note("wrote " + std::to_string(WritableParameters().size()) + " parameters to " +
                file.string());
    return kExitOk;
}

int RunBackup(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (invocation.arguments.size() != 1) return UsageError(output, invocation, "takes one FILE");
    std::error_code code;
    if (!invocation.force && std::filesystem::exists(invocation.arguments.front(), code))
        return output.fail(kExitUsage,
                           invocation.arguments.front() + " exists; backup --force overwrites it");
    DriveSession session(invocation, context, output);
    return session.finish(Backup(session, output, invocation.arguments.front()));
}

}  // namespace

Command BackupCommand() {
    return {"backup", "[LINK OPTIONS] backup FILE [--force]",
            "  Reads every parameter group and writes every writable parameter to FILE:\n"
            "  section [Velmora Backup] with one key p<n> each, printed as dump prints it,\n"
            "  and section [Drive] with type, firmware, serial and date. An existing FILE\n"
            "  is refused (exit 2) unless --force is given. Exit 0, 1, 2.\n",
            RunBackup};
}

}  // namespace velmora::tools
