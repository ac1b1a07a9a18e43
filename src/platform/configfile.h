#pragma once
// config.ini, where the window, the link and the command-line tool keep their
// settings: in the process's working directory at the moment of the call, so
// a program started elsewhere does not find it.
#include <filesystem>
#include <system_error>

namespace velmora::platform {

[[nodiscard]] inline std::filesystem::path ConfigFilePath() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return (error ? std::filesystem::path{} : folder) / "config.ini";
}

}  // namespace velmora::platform
