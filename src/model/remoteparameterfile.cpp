#include "model/remoteparameterfile.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "model/numberparse.h"
#include "platform/profile.h"

namespace velmora::model {

namespace fs = std::filesystem;

namespace {

constexpr RemoteFileKey kRemoteKeys[] = {
    {"p102", 102, RemoteKeyFormat::ListIndex}, {"p110", 110, RemoteKeyFormat::ListIndex},
    {"p111", 111, RemoteKeyFormat::ListIndex}, {"p112", 112, RemoteKeyFormat::ListIndex},
    {"p113", 113, RemoteKeyFormat::ListIndex}, {"p114", 114, RemoteKeyFormat::ListIndex},
    {"p115", 115, RemoteKeyFormat::ListIndex}, {"p120", 120, RemoteKeyFormat::ListIndex},
    {"p121", 121, RemoteKeyFormat::ListIndex}, {"p125", 125, RemoteKeyFormat::Current},
    {"p129", 129, RemoteKeyFormat::ListIndex}, {"p135", 135, RemoteKeyFormat::Speed},
    {"p136", 136, RemoteKeyFormat::Speed},     {"p137", 137, RemoteKeyFormat::Speed},
    {"p142", 142, RemoteKeyFormat::ListIndex},
};

constexpr long kMissingListIndex = 99;
constexpr std::string_view kMissingText = "FILE_ERROR";
// The drive tool read text values into a 200-character buffer.
constexpr std::size_t kTextValueLimit = 199;
// A parameter file is a few hundred bytes; anything far larger is not one and
// is not read into memory.
constexpr std::uintmax_t kLargestParameterFile = 1 << 20;
// Parameters 135..137 and 125 travel as 16-bit words.
constexpr std::uint32_t kWordMax = 0xFFFF;
constexpr float kCurrentMax = 655.35f;

std::string valueText(const model::DriveData& data, const RemoteFileKey& key) {
    switch (key.format) {
        case RemoteKeyFormat::Current:
            return FormatFixed(data.GetReal(key.parameter), 2);
        case RemoteKeyFormat::ListIndex:
        case RemoteKeyFormat::Speed:
            break;
    }
    return std::to_string(data.GetChoice(key.parameter));
}

bool readable(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return stream.good();
}

platform::ProfileFile loadParameterFile(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return {};
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > kLargestParameterFile) return {};
    return platform::ProfileFile::load(file);
}

}  // namespace

std::span<const RemoteFileKey> RemoteFileKeys() {
    return kRemoteKeys;
}

RemoteParameterFile::SaveResult RemoteParameterFile::save(const fs::path& templatePath,
                                                          const fs::path& target,
                                                          const model::DriveData& data,
                                                          std::string* error) {
    std::error_code fsError;
    if (templatePath.empty() || !fs::is_regular_file(templatePath, fsError))
        return SaveResult::NoTemplate;
    if (!readable(templatePath)) {
        if (error) *error = "the template cannot be read";
        return SaveResult::Failed;
    }
    platform::ProfileFile file = platform::ProfileFile::load(templatePath);
    for (const RemoteFileKey& key : kRemoteKeys)
        file.setString(kRemoteSection, key.key, valueText(data, key));
    // The user confirmed replacing the file; it is replaced only once the copy
    // is whole, and a read-only one ends up writable like every saved file.
    if (!platform::WriteFileAtomically(target, file.text(), platform::ReadOnlyTarget::Replace,
                                       error)) {
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

void RemoteParameterFile::load(const fs::path& file, model::DriveData& data) {
    const platform::ProfileFile profile = loadParameterFile(file);
    for (const RemoteFileKey& key : kRemoteKeys) {
        switch (key.format) {
            case RemoteKeyFormat::ListIndex: {
                const long value = profile.getInt(kRemoteSection, key.key, kMissingListIndex);
                // Wraps like "%u" did; a stray index only leaves its list unselected.
                data.SetChoice(key.parameter, static_cast<std::uint32_t>(value));
                break;
            }
            case RemoteKeyFormat::Current: {
                std::string text = profile.getString(kRemoteSection, key.key, kMissingText);
                text.resize(std::min(text.size(), kTextValueLimit));
                const float current = std::clamp(ParseReal(text), 0.0f, kCurrentMax);
                data.SetReal(key.parameter, current);
                break;
            }
            case RemoteKeyFormat::Speed: {
                std::string text = profile.getString(kRemoteSection, key.key, kMissingText);
                text.resize(std::min(text.size(), kTextValueLimit));
                data.SetChoice(key.parameter, std::min(ParseUnsigned(text), kWordMax));
                break;
            }
        }
    }
}

}  // namespace velmora::model
