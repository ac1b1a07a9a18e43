#pragma once
// The simulator's console: one command line in, one answer line out.
#include <chrono>
#include <string>
#include <string_view>

#include "sim/drivestate.h"
#include "sim/linefaults.h"

namespace velmora::sim {

// The commands and what they do, one per line, for --help.
[[nodiscard]] std::string_view ConsoleHelp();

// "fault 1 3", "clear", "unplug 5", "noise 0.01", "drop 0.1",
// "uppercase on|off", "motor start|stop", "state", "quit", "help". The answer starts with "ok",
// "error:" or is the requested state line; "quit" answers "bye".
[[nodiscard]] std::string RunConsoleCommand(std::string_view line, DriveState& drive,
                                            LineFaults& faults,
                                            std::chrono::steady_clock::time_point now);

}  // namespace velmora::sim
