#pragma once
// Whether a motor or remote parameter file holds every value the drive will
// be sent, each a number: checked whole before anything goes out, so a file
// lacking a key never sends a default in its place.
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::model {

// One line per problem: "p41 is missing", "p42 = \"9k\" is not a number";
// "the file cannot be read" alone when it cannot. Empty when the file is whole.
[[nodiscard]] std::vector<std::string> MotorFileProblems(const std::filesystem::path& file);
[[nodiscard]] std::vector<std::string> RemoteFileProblems(const std::filesystem::path& file);

}  // namespace velmora::model
