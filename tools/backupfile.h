#pragma once
// Backup files: an initialisation-style file like the motor file. Section
// "Velmora Backup" holds one key p<n> per writable parameter, printed as dump
// prints it; section "Drive" says which drive it came from.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/drivedata.h"
#include "session.h"

namespace velmora::tools {

// The parameters of the groups the drive accepts writes for, ascending.
[[nodiscard]] const std::vector<int>& WritableParameters();
[[nodiscard]] std::vector<int> WritableGroups();

struct BackupContents {
    std::map<int, std::string> values;  // parameter -> text as in the file
    std::string type, firmware, serial, date;
};

[[nodiscard]] std::string BuildBackupText(const model::DriveData& data,
                                          const DriveIdentity& identity, const std::string& date);
// Reads FILE. False with a reason for a missing or unreadable file, a file
// without the backup section, or a value that does not parse (naming the key).
bool LoadBackup(const std::filesystem::path& file, BackupContents& contents, std::string& error);
// False with "FILE: KEY in [SECTION] stands twice" when a key repeats in a
// file the commands read (backup, motor and remote files): only the first
// would count, and which one the writer meant cannot be told.
bool RefuseRepeatedKeys(const std::filesystem::path& file, std::string& error);
// A file name in `folder` that no file had: stem.ext, else stem-2.ext, ...
// The name is taken (an empty file made exclusively), so two runs at the
// same second never write one file. Empty with `error` when none could be made.
std::filesystem::path ReserveNewFile(const std::filesystem::path& folder, const std::string& stem,
                                     const std::string& extension, std::string& error);
// Puts a value of the file into the working copy, scaled as dump prints it.
// False when the text is no number of that form.
bool ApplyBackupValue(model::DriveData& data, int parameter, const std::string& text);

// Local time "YYYY-MM-DD HH:MM:SS" and "YYYYMMDD-HHMMSS" for file names.
[[nodiscard]] std::string LocalTimeText();
[[nodiscard]] std::string LocalTimeStamp();

}  // namespace velmora::tools
