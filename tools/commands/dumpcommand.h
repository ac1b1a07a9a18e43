#pragma once
// velmora-cli's `dump` and `read`: read the drive's parameter groups the way
// the window does and print every value that travels in a telegram as
// "p<n> = <value>", reals with their scaling, so a production line can diff a
// drive against a reference.
#include <atomic>
#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "link/drivelink.h"
#include "model/drivedata.h"

namespace velmora::tools {

struct DumpOptions {
    // The whole read must finish in this time, or the command fails.
    std::chrono::milliseconds timeout{10000};
    // Requests lost on the line are asked for again after this long.
    std::chrono::milliseconds retry{1000};
    std::optional<int> pollMode;                     // posted before the link starts
    const std::atomic<bool>* interrupted = nullptr;  // ends the wait early (failure)
    bool json = false;  // one object {"ok": true, "parameters": {"p1": "300", ...}}
};

[[nodiscard]] Command DumpCommand();
[[nodiscard]] Command ReadCommand();

// Starts the link threads on the port chosen beforehand, performs the first
// complete read of groups 0x50..0x5A, then reads 0x5F, prints every
// parameter and stops the threads. 0 on success; else the exit status with a
// one-line message on err (and with json, the failure object on out): 4 when
// the port does not open, 1 when the drive did not answer in time.
int RunDump(link::DriveLink& link, std::ostream& out, std::ostream& err,
            const DumpOptions& options = {});
// The same for one group (0x50..0x5A or 0x5F).
int RunRead(link::DriveLink& link, int groupCode, std::ostream& out, std::ostream& err,
            const DumpOptions& options = {});

// "59", "0x59" or "0X5a": a group code the drive can be asked for.
[[nodiscard]] std::optional<int> ParseGroupCode(std::string_view text);

// The line of one parameter from the working values: "%.2f" for factor 100,
// "%.1f" for factor 10, "%u" otherwise.
[[nodiscard]] std::string ParameterValue(const model::DriveData& data, int parameter);
[[nodiscard]] std::string ParameterLine(const model::DriveData& data, int parameter);
// The lines of every parameter of one group, or of all groups, ascending.
[[nodiscard]] std::vector<std::string> GroupLines(const model::DriveData& data, int groupCode);
[[nodiscard]] std::vector<std::string> AllParameterLines(const model::DriveData& data);

}  // namespace velmora::tools
