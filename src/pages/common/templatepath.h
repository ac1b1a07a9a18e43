#pragma once
// Where the tool finds the template files it ships ("RemoteMasterfile.vpr",
// "MotorMasterfile.vpm", ...): beside the running executable, and for an
// installed build in ../share/velmora-tool/ next to its bin folder.
#include <filesystem>
#include <string_view>

namespace velmora::pages {

// The folder of the running executable (empty when it cannot be found).
[[nodiscard]] std::filesystem::path ExecutableFolder();

// The first existing regular file named name in programFolder, then in
// programFolder/../share/velmora-tool; an empty path when neither exists.
[[nodiscard]] std::filesystem::path FindTemplateFile(std::string_view name,
                                                     const std::filesystem::path& programFolder);
// The same, searching from the executable's folder.
[[nodiscard]] std::filesystem::path FindTemplateFile(std::string_view name);

}  // namespace velmora::pages
