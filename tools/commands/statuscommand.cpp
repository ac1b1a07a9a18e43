// velmora-cli status: one status reply and the drive's identity.
#include "commandkit.h"
#include "commands/dumpcommand.h"
#include "session.h"

namespace velmora::tools {
namespace {

int Report(DriveSession& session, Output& output) {
    if (const int status = session.connect()) return status;
    model::DriveData data;
    if (!session.readGroups(IdentityGroups(), data)) return kExitFailure;
    if (!session.waitFor([&] { return session.status().has_value(); }, session.timeout()))
        return output.fail(kExitFailure, "the drive sent no status reply");
    const auto& s = *session.status();
    const DriveIdentity id = IdentityOf(data);
    const bool allowed = (s[1] & 0x01) != 0;
    output.emit({{"ok", true},
                 {"inverter_type", id.type},
                 {"firmware", ParameterValue(data, 37)},
                 {"serial", id.serial},
                 {"fault_class", s[2]},
                 {"fault_number", s[3]},
                 {"operation_allowed", allowed},
                 {"motor_running", (s[0] & 0x01) != 0},
                 {"status", {s[0], s[1], s[2], s[3]}}});
    output.note("inverter type     " + std::to_string(id.type) + "\nfirmware version  " +
                ParameterValue(data, 37) + "\nserial number     " + std::to_string(id.serial) +
                "\nfault             class " + std::to_string(s[2]) + " number " +
                std::to_string(s[3]) + "\noperation allowed " + (allowed ? "yes" : "no"));
    return kExitOk;
}

int RunStatus(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty()) return UsageError(output, invocation, "takes no arguments");
    DriveSession session(invocation, context, output);
    return session.finish(Report(session, output));
}

}  // namespace

Command StatusCommand() {
    return {"status", "[LINK OPTIONS] status",
            "  Prints one status reply and the identity group: inverter type, firmware\n"
            "  version, serial number, fault class and number, and whether operation is\n"
            "  allowed. Exit 0, 1 when the drive stays silent.\n",
            RunStatus};
}

}  // namespace velmora::tools
