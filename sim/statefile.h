#pragma once
// The drive's non-volatile memory kept in a text file between runs.
#include <filesystem>
#include <string>
#include <string_view>

#include "sim/drivememory.h"

namespace velmora::sim {

[[nodiscard]] std::string SerializeState(const DriveMemory& memory);
// Starts from the factory state and takes every well-formed line; lines that
// do not parse or name nothing the drive keeps are skipped.
[[nodiscard]] DriveMemory ParseState(std::string_view text);

// A missing or unreadable file gives the factory state.
[[nodiscard]] DriveMemory LoadStateFile(const std::filesystem::path& path);
// Replaces the file atomically; false (old file untouched) on failure.
bool SaveStateFile(const std::filesystem::path& path, const DriveMemory& memory,
                   std::string* error = nullptr);

}  // namespace velmora::sim
