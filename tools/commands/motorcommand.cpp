// velmora-cli motor save|load FILE.vpm: the motor page's file, through the
// model's writer and reader and the page's group orders.
#include "commandkit.h"
#include "model/motorparameterfile.h"
#include "model/motorstore.h"
#include "model/parameterfilecheck.h"
#include "platform/templatepath.h"
#include "readback.h"
#include "session.h"

namespace velmora::tools {
namespace {

int SaveMotor(DriveSession& session, Output& output, const std::filesystem::path& file) {
    const auto templatePath = platform::FindTemplateFile(model::kMotorTemplateName);
    if (templatePath.empty())
        return output.fail(kExitFailure, std::string("the template ") +
                                             std::string(model::kMotorTemplateName) +
                                             " is missing beside velmora-cli");
    model::DriveData data;
    if (!session.readGroups(model::kMotorReadOrder, data)) return kExitFailure;
    std::string error;
    if (!model::SaveMotorFile(templatePath, file, data, &error))
        return output.fail(kExitFailure, error);
    output.emit({{"ok", true}, {"file", file.string()}});
    output.note("wrote " + file.string());
    return kExitOk;
}

int LoadMotor(DriveSession& session, Output& output, const std::filesystem::path& file) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(file, code))
        return output.fail(kExitFailure, file.string() + " cannot be read");
    if (std::string error; !RefuseRepeatedKeys(file, error))
        return output.fail(kExitFailure, error);
    if (const auto problems = model::MotorFileProblems(file); !problems.empty())
        return output.fail(kExitFailure, file.string() + " is refused, nothing was written: " +
                                             JoinProblems(problems));
    model::DriveData data;
    // The groups carry more than the file's keys: those keep the drive's values.
    if (!session.readGroups(model::kMotorReadOrder, data)) return kExitFailure;
    model::LoadMotorFile(file, data);
    std::vector<int> parameters;
    for (const auto& key : model::MotorFileKeys()) parameters.push_back(key.parameter);
    if (const auto refusals = session.gate().checkValues(parameters, data); !refusals.empty())
        return output.fail(kExitFailure, file.string() + " is refused, nothing was written: " +
                                             DescribeRefusals(refusals));
    model::SendMotorGroups(data);
    model::DriveData after;
    if (!ReadBack(session, model::kMotorReadOrder, after)) return kExitFailure;
    std::vector<ReadBackValue> values;
    for (const auto& key : model::MotorFileKeys())
        values.push_back({key.parameter,
                          model::MotorFileValue(data, key),
                          model::MotorFileValue(after, key),
                          {}});
    return ReportReadBack(output, file, NotTaken(output, values), "loaded");
}

int RunMotor(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    if (words.size() != 2 || (words[0] != "save" && words[0] != "load"))
        return UsageError(output, invocation, "wants save FILE or load FILE");
    DriveSession session(invocation, context, output);
    if (const int status = session.connect()) return status;
    return session.finish(words[0] == "save" ? SaveMotor(session, output, words[1])
                                             : LoadMotor(session, output, words[1]));
}

}  // namespace

Command MotorCommand() {
    return {"motor", "[LINK OPTIONS] motor save|load FILE.vpm",
            "  save: reads the six motor groups and writes the motor page's file, byte for\n"
            "  byte as the window writes it (from the template MotorMasterfile.vpm).\n"
            "  load: reads the file as the page does, sends the six motor groups in the\n"
            "  page's order, reads them back and prints each value that did not take.\n"
            "  Exit 0, 3 some values did not take, 1 failure.\n",
            RunMotor};
}

}  // namespace velmora::tools
