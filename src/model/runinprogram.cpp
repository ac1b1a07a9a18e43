#include "model/runinprogram.h"

#include <cstdio>
#include <system_error>

#include "platform/profile.h"

namespace velmora::model {
namespace {

constexpr const char* kMissing = "FILE_ERROR";
constexpr const char* kStepKeys[] = {"rpm", "minute_time", "seconds_intervall_on",
                                     "seconds_intervall_off"};

// Truncated to at most n bytes without splitting a UTF-8 sequence.
std::string cutUtf8(std::string text, std::size_t n) {
    if (text.size() <= n) return text;
    std::size_t end = n;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

std::vector<RunInStep> stepsOf(const platform::ProfileFile& profile) {
    std::vector<RunInStep> steps;
    for (std::size_t n = 1; n <= kMaxRunInSteps; ++n) {
        const std::string section = "step" + std::to_string(n);
        bool complete = true;
        for (const char* key : kStepKeys)
            if (profile.getString(section, key, kMissing) == kMissing) complete = false;
        if (!complete) break;
        // Values are unsigned on the drive's side; a negative entry wraps as the
        // platform's integer reading does.
        auto read = [&](const char* key) {
            return static_cast<std::uint32_t>(profile.getInt(section, key, 0));
        };
        steps.push_back({read("rpm"), read("minute_time"), read("seconds_intervall_on"),
                         read("seconds_intervall_off")});
    }
    return steps;
}

}  // namespace

std::filesystem::path RunInProgramPath(const std::filesystem::path& folder, unsigned number) {
    char name[32];
    std::snprintf(name, sizeof name, "runin_%.2u.run", number);
    return folder / name;
}

std::string RunInProgramName(const std::filesystem::path& file) {
    const auto profile = platform::ProfileFile::load(file);
    return cutUtf8(profile.getString("general", "filetext", kMissing), 255);
}

std::vector<RunInStep> LoadRunInSteps(const std::filesystem::path& file) {
    return stepsOf(platform::ProfileFile::load(file));
}

std::vector<RunInStep> ParseRunInSteps(const std::string& text) {
    return stepsOf(platform::ProfileFile::parse(text));
}

unsigned CountRunInPrograms(const std::filesystem::path& folder) {
    unsigned count = 0;
    std::error_code error;
    while (count < kMaxRunInPrograms &&
           std::filesystem::is_regular_file(RunInProgramPath(folder, count + 1), error))
        ++count;
    return count;
}

}  // namespace velmora::model
