#include <array>
#include <ostream>

#include "cli.h"
#include "cli_dump.h"
#include "link/seriallink.h"

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
           "  --json         print one JSON object on standard output (monitor, flash and\n"
           "                 runin progress: one object a line); texts for people go to\n"
           "                 standard error\n"
           "  --yes          answer the questions the window would ask with yes\n"
           "Without --port and --device the port setting of config.ini in the current\n"
           "folder is used, as the window does; without one, ports are searched.\n\n"
           "Commands:\n";
    for (const auto& command : AllCommands()) out << command.name << ":\n" << command.help << "\n";
    out << "Exit status: 0 done, 1 failure (drive silent, file error), 2 bad arguments,\n"
           "3 values that did not take / differences / run-in FAIL, 4 port cannot be opened.\n";
}

void PrintCommandHelp(const Command& command, std::ostream& out) {
    out << "Usage: velmora-cli " << command.synopsis << "\n\n"
        << command.help << "\nLink options as in velmora-cli --help; exit status 0 done, 1 failure,\n"
        << "2 bad arguments, 3 differences or FAIL, 4 port cannot be opened.\n";
}

}  // namespace

std::span<const Command> AllCommands() {
    static const std::array commands{
        MonitorCommand(),  DumpCommand(),    ReadCommand(),     StatusCommand(),
        BackupCommand(),   RestoreCommand(), DiffCommand(),     MotorCommand(),
        RemoteCommand(),   SlotCommand(),    MakerSetCommand(), FactorySettingsCommand(),
        FlashCommand(),    RunInCommand(),   DoctorCommand(),   CertificateCommand(),
        HistoryCommand()};
    return commands;
}

void ApplyLinkOptions(const LinkOptions& options) {
    auto& link = link::TheSerialLink();
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

int RunCli(std::span<const std::string> args, CliContext& context) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.invocation) {
        context.err << "velmora-cli: " << parsed.error << " (see velmora-cli --help)\n";
        return kExitUsage;
    }
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

}  // namespace velmora::tools
