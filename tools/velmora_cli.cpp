#include <array>
#include <ostream>

#include "cli.h"
#include "commands/dumpcommand.h"
#include "jsonresult.h"
#include "link/seriallink.h"
#include "output.h"

namespace velmora::tools {
namespace {

void PrintHelp(std::ostream& out) {
    out << "velmora-cli - talk to a Velmora drive controller over its serial link\n\n"
           "Usage:\n";
    for (const auto& command : AllCommands()) out << "  velmora-cli " << command.synopsis << "\n";
    out << "  velmora-cli [COMMAND] --help\n\n"
           "Link options (before or after the command):\n"
           "  --port N       use port number N (0..255) for this run; config.ini section\n"
           "                 comdevices maps numbers to devices (com5=/dev/ttyUSB0), else\n"
           "                 1-4 are /dev/ttyS0-3, 5-12 /dev/ttyUSB0-7, 13-20 /dev/ttyACM0-7\n"
           "  --device PATH  use this serial device for this run (config.ini untouched)\n"
           "  --poll MODE    polling mode to post (0: status and group 0x59, the\n"
           "                 control page's; 1: also 0x5a; 14: poll nothing; ...)\n"
           "  --seconds S    time limit (monitor: stop after S seconds; others: how long\n"
           "                 to wait for the drive, default 10)\n"
           "  --json         print exactly one JSON result object on standard output,\n"
           "                 failures and bad arguments included (monitor events and\n"
           "                 flash and runin progress come before it, one object a line\n"
           "                 with an \"event\" key); texts for people go to standard error\n"
           "  --yes          answer the questions the window would ask with yes\n"
           "  --expect-serial N  before anything is sent, the drive's serial number (p39)\n"
           "                 must be N, else exit 1 naming both\n"
           "Without --port and --device the port setting of config.ini in the current\n"
           "folder is used, as the window does; without one, ports are searched.\n\n"
           "Commands:\n";
    for (const auto& command : AllCommands()) out << command.name << ":\n" << command.help << "\n";
    out << "Exit status: 0 done, 1 failure (drive silent, file error), 2 bad arguments,\n"
           "3 values that did not take / differences / run-in FAIL, 4 port cannot be opened.\n";
}

void PrintCommandHelp(const Command& command, std::ostream& out) {
    out << "Usage: velmora-cli " << command.synopsis << "\n\n"
        << command.help
        << "\nLink options as in velmora-cli --help; exit status 0 done, 1 failure,\n"
        << "2 bad arguments, 3 differences or FAIL, 4 port cannot be opened.\n";
}

}  // namespace

std::span<const Command> AllCommands() {
    static const std::array commands{
        MonitorCommand(), DumpCommand(),    ReadCommand(),     StatusCommand(),
        BackupCommand(),  RestoreCommand(), DiffCommand(),     MotorCommand(),
        RemoteCommand(),  SlotCommand(),    MakerSetCommand(), FactorySettingsCommand(),
        FlashCommand(),   RunInCommand(),   DoctorCommand(),   CertificateCommand(),
        HistoryCommand(), ServeCommand(),   LineCommand()};
    return commands;
}

void ApplyLinkOptions(link::SerialLink& link, const LinkOptions& options) {
    if (options.device) {
        link.UseFixedDevice(*options.device);
    } else if (options.port) {
        link.UsePortForThisRun(static_cast<unsigned>(*options.port));
    } else {
        int port = 0;
        int mode = 0;
        link.UseAutomaticDetection();
        link.ReadLinkSettings(port, mode);
    }
}

namespace {

// Before parsing: a bad argument must get its one object too.
bool WantsJson(std::span<const std::string> args) {
    for (const auto& arg : args) {
        if (arg == "--") return false;
        if (arg == "--json") return true;
    }
    return false;
}

int Dispatch(std::span<const std::string> args, CliContext& context, bool json) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.invocation)
        return PrintFailure(context.out, context.err, json, kExitUsage,
                            parsed.error + " (see velmora-cli --help)");
    const Invocation& invocation = *parsed.invocation;
    for (const auto& command : AllCommands()) {
        if (command.name != invocation.command) continue;
        if (invocation.help) {
            PrintCommandHelp(command, context.out);
            return kExitOk;
        }
        return command.run(invocation, context);
    }
    PrintHelp(context.out);
    return kExitOk;
}

}  // namespace

int RunCli(std::span<const std::string> args, CliContext& context) {
    if (!WantsJson(args)) return Dispatch(args, context, false);
    JsonResult result(context.out, context.err);
    std::ostream filtered(&result);
    CliContext inner{filtered, context.err, context.interrupted};
    const int status = Dispatch(args, inner, true);
    result.finish(status);
    return status;
}

}  // namespace velmora::tools
