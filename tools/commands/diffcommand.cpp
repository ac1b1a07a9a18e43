// velmora-cli diff FILE: the drive against a backup file.
#include "backupfile.h"
#include "commandkit.h"
#include "commands/dumpcommand.h"
#include "session.h"

namespace velmora::tools {
namespace {

int Compare(DriveSession& session, Output& output, const BackupContents& contents) {
    model::DriveData drive;
    if (const int status = ReadWholeDrive(session, drive)) return status;
    // The file's texts through the same scaling, so "0.3" and "0.30" agree.
    model::DriveData wanted;
    nlohmann::json differences = nlohmann::json::array();
    for (const auto& [parameter, text] : contents.values) {
        ApplyBackupValue(wanted, parameter, text);
        const std::string fileValue = ParameterValue(wanted, parameter);
        const std::string driveValue = ParameterValue(drive, parameter);
        if (fileValue == driveValue) continue;
        differences.push_back(
            {{"parameter", parameter}, {"drive", driveValue}, {"file", fileValue}});
        output.text() << "p" << parameter << ": drive " << driveValue << " file " << fileValue
                      << "\n";
    }
    output.emit({{"ok", true}, {"same", differences.empty()}, {"differences", differences}});
    return differences.empty() ? kExitOk : kExitDiffers;
}

int RunDiff(const Invocation& invocation, CliContext& context) {
    return RunOnBackupFile(invocation, context, Compare);
}

}  // namespace

Command DiffCommand() {
    return {"diff", "[LINK OPTIONS] diff FILE",
            "  Reads the drive and prints \"p<n>: drive <value> file <value>\" for each\n"
            "  parameter of the backup FILE that differs, ascending. Exit 0 same,\n"
            "  3 differ, 1 failure.\n",
            RunDiff};
}

}  // namespace velmora::tools
