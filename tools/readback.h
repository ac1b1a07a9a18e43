#pragma once
// What restore, motor load and remote load do after writing: the values read
// back from the drive set against those written, and the outcome reported.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "output.h"
#include "session.h"

namespace velmora::tools {

// One value written and the drive's value read back, both as printed.
struct ReadBackValue {
    int parameter = 0;
    std::string wanted;
    std::string drive;
    std::string key;  // the file's own name for it, when not p<n>
};

// Reads `groups` into `after` once the drive has answered behind the writes
// queued so far, so no reply to a read sent before them (a poll) passes for
// the read-back, however late the drive answers.
bool ReadBack(DriveSession& session, std::span<const int> groups, model::DriveData& after);

// Prints "<name>: did not take (wanted W, drive D)" for each value the drive
// does not hold and returns them as the JSON list "not_taken".
[[nodiscard]] nlohmann::json NotTaken(Output& output, const std::vector<ReadBackValue>& values);

// Emits {"ok", "file", "not_taken", ...extra}; exit status 3 when something
// did not take, else 0 after the note "<done> <file>".
int ReportReadBack(Output& output, const std::filesystem::path& file,
                   const nlohmann::json& notTaken, const std::string& done,
                   nlohmann::json extra = nlohmann::json::object());

}  // namespace velmora::tools
