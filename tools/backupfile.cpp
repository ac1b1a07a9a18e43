#include "backupfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <set>
#include <system_error>

#include "commands/dumpcommand.h"
#include "journal/snapshot.h"
#include "model/grouplayout.h"
#include "platform/profile.h"

namespace velmora::tools {
namespace {

constexpr std::string_view kSection = "Velmora Backup";
constexpr std::string_view kDrive = "Drive";

std::string Key(int parameter) {
    return "p" + std::to_string(parameter);
}

std::string TimeText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

}  // namespace

const std::vector<int>& WritableParameters() {
    static const std::vector<int> parameters = [] {
        std::set<int> set;
        for (const auto& group : model::AllGroups()) {
            if (group.writeCommand < 0) continue;
            for (const auto& field : group.fields) set.insert(field.parameter);
        }
        return std::vector<int>(set.begin(), set.end());
    }();
    return parameters;
}

std::vector<int> WritableGroups() {
    std::vector<int> codes;
    for (const auto& group : model::AllGroups())
        if (group.writeCommand >= 0) codes.push_back(group.code);
    return codes;
}

std::string BuildBackupText(const model::DriveData& data, const DriveIdentity& identity,
                            const std::string& date) {
    platform::ProfileFile file;
    file.setString(kDrive, "type", std::to_string(identity.type));
    file.setString(kDrive, "firmware", identity.firmware);
    file.setString(kDrive, "serial", std::to_string(identity.serial));
    file.setString(kDrive, "date", date);
    for (int parameter : WritableParameters())
        file.setString(kSection, Key(parameter), ParameterValue(data, parameter));
    return file.text();
}

bool ApplyBackupValue(model::DriveData& data, int parameter, const std::string& text) {
    return journal::ApplyParameterText(data, parameter, text);
}

bool LoadBackup(const std::filesystem::path& file, BackupContents& contents, std::string& error) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(file, code)) {
        error = file.string() + " cannot be read";
        return false;
    }
    const auto profile = platform::ProfileFile::loadForUpdate(file, &error);
    if (!profile) return false;
    if (const auto repeated = profile->repeatedKey()) {
        error = file.string() + ": " + *repeated + " stands twice";
        return false;
    }
    contents = {};
    model::DriveData scratch;
    for (int parameter : WritableParameters()) {
        const auto value = profile->value(kSection, Key(parameter));
        if (!value) continue;  // a missing key leaves the drive's value as it is
        if (!ApplyBackupValue(scratch, parameter, *value)) {
            error = file.string() + ": " + Key(parameter) + " = '" + *value + "' is no value";
            return false;
        }
        contents.values[parameter] = *value;
    }
    if (contents.values.empty()) {
        error = file.string() + " holds no [Velmora Backup] values";
        return false;
    }
    contents.type = profile->getString(kDrive, "type", "");
    contents.firmware = profile->getString(kDrive, "firmware", "");
    contents.serial = profile->getString(kDrive, "serial", "");
    contents.date = profile->getString(kDrive, "date", "");
    return true;
}

bool RefuseRepeatedKeys(const std::filesystem::path& file, std::string& error) {
    const auto profile = platform::ProfileFile::loadForUpdate(file, &error);
    if (!profile) return false;
    const auto repeated = profile->repeatedKey();
    if (repeated) error = file.string() + ": " + *repeated + " stands twice";
    return !repeated;
}

std::filesystem::path ReserveNewFile(const std::filesystem::path& folder, const std::string& stem,
                                     const std::string& extension, std::string& error) {
    for (int n = 1; n < 1000; ++n) {
        const auto path = folder / (stem + (n == 1 ? "" : "-" + std::to_string(n)) + extension);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            error = "cannot create " + path.string() + ": " + std::strerror(errno);
            return {};
        }
    }
    error = "no free file name for " + (folder / (stem + extension)).string();
    return {};
}

std::string LocalTimeText() {
    return TimeText("%Y-%m-%d %H:%M:%S");
}

std::string LocalTimeStamp() {
    return TimeText("%Y%m%d-%H%M%S");
}

}  // namespace velmora::tools
