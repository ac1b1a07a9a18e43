#include "model/parameterfilecheck.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <string_view>

#include "model/motorparameterfile.h"
#include "model/remoteparameterfile.h"
#include "platform/profile.h"

namespace velmora::model {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool WholeNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

bool RealNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return error == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

struct KeyNeed {
    std::string key;
    bool whole;
};

std::vector<std::string> Problems(const std::filesystem::path& file, std::string_view section,
                                  const std::vector<KeyNeed>& keys) {
    if (!std::ifstream(file)) return {"the file cannot be read"};
    const auto profile = platform::ProfileFile::load(file);
    std::vector<std::string> problems;
    for (const KeyNeed& need : keys) {
        const auto value = profile.value(section, need.key);
        if (!value) {
            problems.push_back(need.key + " is missing");
        } else if (!(need.whole ? WholeNumber(*value) : RealNumber(*value))) {
            problems.push_back(need.key + " = \"" + *value + "\" is not a number");
        }
    }
    return problems;
}

}  // namespace

std::vector<std::string> MotorFileProblems(const std::filesystem::path& file) {
    std::vector<KeyNeed> keys;
    for (const MotorFileKey& key : MotorFileKeys()) {
        keys.push_back(
            {"p" + std::to_string(key.parameter), key.format == MotorFileFormat::Integer});
    }
    return Problems(file, kMotorFileSection, keys);
}

std::vector<std::string> RemoteFileProblems(const std::filesystem::path& file) {
    std::vector<KeyNeed> keys;
    for (const RemoteFileKey& key : RemoteFileKeys()) {
        keys.push_back({key.key, key.format != RemoteKeyFormat::Current});
    }
    return Problems(file, kRemoteSection, keys);
}

}  // namespace velmora::model
