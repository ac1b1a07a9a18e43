#include <system_error>

#include "model/parastructure.h"
#include "platform/profile.h"

namespace velmora::model {

bool ExportParaStructure(const std::filesystem::path& templateFile,
                         const std::filesystem::path& target, DriveData& data,
                         ParaStructTexts& texts, const TextLookup& text, std::string* error,
                         const std::vector<std::pair<std::string, std::string>>& about) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(templateFile, ec)) {
        if (error) *error = templateFile.string() + ": no such file";
        return false;
    }
    // The template, byte for byte, with the entries merged in; written in one
    // step so a failure never leaves a half-done copy behind.
    auto file = platform::ProfileFile::loadForUpdate(templateFile, error);
    if (!file) return false;
    data.TakeImage();
    texts.refresh(data, text);
    for (const auto& [key, value] : texts.entries(text)) {
        file->setString(kParaStructSection, key, value);
    }
    for (const auto& [key, value] : about) file->setString(kParaStructAboutSection, key, value);
    return platform::WriteFileAtomically(target, file->text(), platform::ReadOnlyTarget::Replace,
                                         error);
}

}  // namespace velmora::model
