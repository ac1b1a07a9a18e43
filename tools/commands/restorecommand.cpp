// velmora-cli restore FILE: a backup written back and checked.
#include <algorithm>

#include "backupfile.h"
#include "clijournal.h"
#include "commandkit.h"
#include "commands/dumpcommand.h"
#include "model/grouplayout.h"
#include "readback.h"
#include "session.h"

namespace velmora::tools {

int SaveBackupFile(Output& output, const std::filesystem::path& file, const model::DriveData& data);

int RestoreContents(DriveSession& session, const Invocation& invocation, CliContext& context,
                    Output& output, const BackupContents& contents, const RestoreSource& source) {
    const std::filesystem::path file = source.name;
    // The drive as it was, in the undo folder, so a wrong restore can be undone.
    model::DriveData before;
    if (const int status = ReadWholeDrive(session, before)) return status;
    const DriveIdentity id = IdentityOf(before);
    if (source.serial && *source.serial != id.serial) {
        return output.fail(kExitUsage, source.name +
                                           " was taken from the drive with serial number " +
                                           std::to_string(*source.serial) + ", this drive has " +
                                           std::to_string(id.serial) + "; nothing was written");
    }
    if (!contents.type.empty() && contents.type != std::to_string(id.type) && !invocation.yes) {
        return output.fail(kExitUsage, file.string() + " was made for inverter type " +
                                           contents.type + ", this drive is type " +
                                           std::to_string(id.type) + " (--yes restores anyway)");
    }
    // The file is judged whole, with the limits it brings, before anything
    // is written: a value no panel would accept stops it here.
    model::DriveData target = before;
    std::vector<int> parameters;
    std::vector<int> groups;
    for (const auto& [parameter, text] : contents.values) {
        ApplyBackupValue(target, parameter, text);
        parameters.push_back(parameter);
        const int code = model::GroupOfParameter(parameter)->code;
        if (std::find(groups.begin(), groups.end(), code) == groups.end()) groups.push_back(code);
    }
    if (const auto refusals = session.gate().checkValues(parameters, target); !refusals.empty())
        return output.fail(kExitFailure, file.string() + " is refused, nothing was written: " +
                                             DescribeRefusals(refusals));
    std::string error;
    const auto undoFile = ReserveNewFile(
        source.undoFolder, "backup-" + std::to_string(id.serial) + "-" + LocalTimeStamp(), ".ini",
        error);
    if (undoFile.empty()) return output.fail(kExitFailure, error);
    if (const int status = SaveBackupFile(output, undoFile, before)) return status;
    context.err << "velmora-cli: the drive as it was is saved in " << undoFile.string() << "\n";

    // Only the groups the file holds values for are written; read-only
    // parameters are no part of WritableParameters and never reach the drive.
    for (int code : groups) {
        if (target.RequestGroup(0, model::FindGroup(code)->writeCommand)) return kExitFailure;
    }
    model::DriveData after;
    if (!ReadBack(session, groups, after)) return kExitFailure;

    std::vector<ReadBackValue> values;
    for (const auto& [parameter, text] : contents.values)
        values.push_back(
            {parameter, ParameterValue(target, parameter), ParameterValue(after, parameter), {}});
    return session.journal().restored(
        source.name, undoFile.string(),
        ReportReadBack(output, file, NotTaken(output, values),
                       "restored " + std::to_string(contents.values.size()) + " parameters from",
                       {{"undo_file", undoFile.string()}, {"written", contents.values.size()}}));
}

namespace {

int RunRestore(const Invocation& invocation, CliContext& context) {
    return RunOnBackupFile(
        invocation, context,
        [&](DriveSession& session, Output& output, const BackupContents& contents) {
            const std::filesystem::path file = invocation.arguments.front();
            return RestoreContents(
                session, invocation, context, output, contents,
                {file.string(), file.parent_path().empty() ? "." : file.parent_path(), {}});
        });
}

}  // namespace

Command RestoreCommand() {
    return {"restore", "[LINK OPTIONS] [--yes] restore FILE",
            "  Writes the groups FILE holds, reads them back and compares; prints each\n"
            "  parameter that did not take. Before writing it saves the drive as it was\n"
            "  beside FILE (backup-<serial>-<time>.ini, or with -2, -3... when that name\n"
            "  is taken: never over another file) and names that file. A key that stands\n"
            "  twice in FILE refuses it. A file made\n"
            "  for another inverter type is refused without --yes; a key that does not\n"
            "  parse, or a value outside what the window allows (checked with the limits\n"
            "  the file itself brings), stops it before anything is written; missing\n"
            "  keys stay as they are;\n"
            "  read-only parameters are never written. Exit 0 all took, 3 some did not,\n"
            "  1 failure, 2 refused.\n",
            RunRestore};
}

}  // namespace velmora::tools
