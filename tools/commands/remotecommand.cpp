// velmora-cli remote save|load FILE.vpr: the remote-control page's file and
// its group, through the model's writer and reader.
#include <array>

#include "commandkit.h"
#include "model/parameterfilecheck.h"
#include "model/remoteparameterfile.h"
#include "platform/templatepath.h"
#include "readback.h"
#include "session.h"

namespace velmora::tools {
namespace {

constexpr std::array<int, 1> kGroup{model::kRemoteGroup};

std::string KeyValue(const model::DriveData& data, const model::RemoteFileKey& key) {
    return key.format == model::RemoteKeyFormat::Current
               ? std::to_string(static_cast<double>(data.GetReal(key.parameter)))
               : std::to_string(data.GetChoice(key.parameter));
}

int SaveRemote(DriveSession& session, Output& output, const std::filesystem::path& file) {
    const auto templatePath = platform::FindTemplateFile(model::kRemoteTemplateName);
    model::DriveData data;
    if (!session.readGroups(kGroup, data)) return kExitFailure;
    std::string error;
    switch (model::RemoteParameterFile::save(templatePath, file, data, &error)) {
        case model::RemoteParameterFile::SaveResult::Saved:
            break;
        case model::RemoteParameterFile::SaveResult::NoTemplate:
            return output.fail(kExitFailure, std::string("the template ") +
                                                 std::string(model::kRemoteTemplateName) +
                                                 " is missing beside velmora-cli");
        case model::RemoteParameterFile::SaveResult::Failed:
            return output.fail(kExitFailure, error);
    }
    output.emit({{"ok", true}, {"file", file.string()}});
    output.note("wrote " + file.string());
    return kExitOk;
}

int LoadRemote(DriveSession& session, Output& output, const std::filesystem::path& file) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(file, code))
        return output.fail(kExitFailure, file.string() + " cannot be read");
    if (std::string error; !RefuseRepeatedKeys(file, error))
        return output.fail(kExitFailure, error);
    if (const auto problems = model::RemoteFileProblems(file); !problems.empty())
        return output.fail(kExitFailure, file.string() + " is refused, nothing was written: " +
                                             JoinProblems(problems));
    model::DriveData data;
    if (!session.readGroups(kGroup, data)) return kExitFailure;
    model::RemoteParameterFile::load(file, data);
    std::vector<int> parameters;
    for (const auto& key : model::RemoteFileKeys()) parameters.push_back(key.parameter);
    if (const auto refusals = session.gate().checkValues(parameters, data); !refusals.empty())
        return output.fail(kExitFailure, file.string() + " is refused, nothing was written: " +
                                             DescribeRefusals(refusals));
    if (data.RequestGroup(0, model::kWriteRemoteGroup)) return kExitFailure;
    model::DriveData after;
    if (!ReadBack(session, kGroup, after)) return kExitFailure;
    std::vector<ReadBackValue> values;
    for (const auto& key : model::RemoteFileKeys())
        values.push_back({key.parameter, KeyValue(data, key), KeyValue(after, key), key.key});
    return ReportReadBack(output, file, NotTaken(output, values), "loaded");
}

int RunRemote(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    if (words.size() != 2 || (words[0] != "save" && words[0] != "load"))
        return UsageError(output, invocation, "wants save FILE or load FILE");
    DriveSession session(invocation, context, output);
    if (const int status = session.connect()) return status;
    return session.finish(words[0] == "save" ? SaveRemote(session, output, words[1])
                                             : LoadRemote(session, output, words[1]));
}

}  // namespace

Command RemoteCommand() {
    return {"remote", "[LINK OPTIONS] remote save|load FILE.vpr",
            "  The remote-control page's file: save reads group 0x57 and writes the file\n"
            "  from the template RemoteMasterfile.vpr; load reads the file as the page\n"
            "  does, writes group 0x17, reads 0x57 back and prints what did not take.\n"
            "  Exit 0, 3 some values did not take, 1 failure.\n",
            RunRemote};
}

}  // namespace velmora::tools
