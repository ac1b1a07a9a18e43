#pragma once
// Run-in program files: "data_runin/runin_NN.run", initialisation-style text
// with a name in [general] and one section per step ([step1], [step2], ...).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::model {

struct RunInStep {
    std::uint32_t rpm = 0;
    std::uint32_t minutes = 0;
    std::uint32_t onSeconds = 0;
    std::uint32_t offSeconds = 0;
};

// The page's step table holds this many steps; longer programs run their first 99.
inline constexpr std::size_t kMaxRunInSteps = 99;
inline constexpr unsigned kMaxRunInPrograms = 99;

// "runin_" + two-digit number + ".run" in folder.
[[nodiscard]] std::filesystem::path RunInProgramPath(const std::filesystem::path& folder,
                                                     unsigned number);
// The program's list entry: [general] filetext, "FILE_ERROR" when missing,
// at most 255 characters.
[[nodiscard]] std::string RunInProgramName(const std::filesystem::path& file);
// Complete steps from step 1 up to the first step missing one of its four
// keys; a missing or unreadable file gives no steps.
[[nodiscard]] std::vector<RunInStep> LoadRunInSteps(const std::filesystem::path& file);
// Same, from the file's text (used by the loader and the fuzz target).
[[nodiscard]] std::vector<RunInStep> ParseRunInSteps(const std::string& text);
// Count of consecutive programs runin_01, runin_02, ... in folder (at most 99).
[[nodiscard]] unsigned CountRunInPrograms(const std::filesystem::path& folder);

}  // namespace velmora::model
