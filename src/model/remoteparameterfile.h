#pragma once
// Remote-control parameter files (.vpr): an initialisation-style text file
// made from the template "RemoteMasterfile.vpr". Only the section
// "Velmora Fernbedienung" and its 15 keys are the tool's; everything else of
// the template (comments, other sections, line ends) is kept as it is.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "model/drivedata.h"
#include "model/grouplayout.h"

namespace velmora::model {

inline constexpr std::string_view kRemoteTemplateName = "RemoteMasterfile.vpr";
inline constexpr std::string_view kRemoteSection = "Velmora Fernbedienung";
// The group the file's values travel in, read and written.
inline constexpr int kRemoteGroup = code::Group57;
inline const int kWriteRemoteGroup = WriteCommandOf(kRemoteGroup);

enum class RemoteKeyFormat {
    ListIndex,  // "%u" of the list index; missing: 99
    Current,    // "%.2f" real; missing or not a number: 0
    Speed,      // "%u" in the internal speed unit; missing or not a number: 0
};

struct RemoteFileKey {
    const char* key;
    int parameter;
    RemoteKeyFormat format;
};

// The keys in the order they are written.
[[nodiscard]] std::span<const RemoteFileKey> RemoteFileKeys();

class RemoteParameterFile {
  public:
    enum class SaveResult { Saved, NoTemplate, Failed };

    // Writes a copy of the template holding data's values to target. The copy
    // is built whole and renamed over target, so a failure leaves an existing
    // target as it was; a target without its owner's write permission is
    // treated as read-only and kept. error receives the reason of a failure.
    [[nodiscard]] static SaveResult save(const std::filesystem::path& templatePath,
                                         const std::filesystem::path& target,
                                         const model::DriveData& data,
                                         std::string* error = nullptr);

    // Reads the keys of file into data's working values; a missing file,
    // section or key, or a file that is no parameter file at all, gives the
    // defaults of each key.
    static void load(const std::filesystem::path& file, model::DriveData& data);
};

}  // namespace velmora::model
