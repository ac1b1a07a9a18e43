#include "readback.h"

#include "cli.h"

namespace velmora::tools {

bool ReadBack(DriveSession& session, std::span<const int> groups, model::DriveData& after) {
    return session.awaitAnswerBehind() && session.readGroups(groups, after);
}

nlohmann::json NotTaken(Output& output, const std::vector<ReadBackValue>& values) {
    nlohmann::json failed = nlohmann::json::array();
    for (const auto& value : values) {
        if (value.wanted == value.drive) continue;
        const std::string number = "p" + std::to_string(value.parameter);
        nlohmann::json entry{
            {"parameter", value.parameter}, {"wanted", value.wanted}, {"drive", value.drive}};
        if (!value.key.empty()) entry["key"] = value.key;
        failed.push_back(std::move(entry));
        output.text() << (value.key.empty() ? number : value.key + " (" + number + ")")
                      << ": did not take (wanted " << value.wanted << ", drive " << value.drive
                      << ")\n";
    }
    return failed;
}

int ReportReadBack(Output& output, const std::filesystem::path& file,
                   const nlohmann::json& notTaken, const std::string& done, nlohmann::json extra) {
    extra["ok"] = notTaken.empty();
    extra["file"] = file.string();
    extra["not_taken"] = notTaken;
    output.emit(extra);
    if (!notTaken.empty()) return kExitDiffers;
    output.note(done + " " + file.string());
    return kExitOk;
}

}  // namespace velmora::tools
