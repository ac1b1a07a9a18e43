#include <array>
#include <ostream>

#include "cli.h"
#include "cli_dump.h"
#include "link/seriallink.h"

namespace velmora::tools {
namespace {

// One entry per subcommand; each is defined in its own cli_<name>.cpp.
std::array<Command, 3> Commands() {
    return {MonitorCommand(), DumpCommand(), ReadCommand()};
}

void PrintHelp(std::ostream& out) {
    out << "velmora-cli - talk to a Velmora drive controller over its serial link\n\n"
           "Usage:\n";
    for (const auto& command : Commands()) out << "  velmora-cli " << command.synopsis << "\n";
    out << "  velmora-cli --help\n\n"
           "Link options:\n"
           "  --port N       use port number N (0..255) for this run; config.ini section\n"
           "                 comdevices maps numbers to devices (com5=/dev/ttyUSB0), else\n"
           "                 1-4 are /dev/ttyS0-3, 5-12 /dev/ttyUSB0-7, 13-20 /dev/ttyACM0-7\n"
           "  --device PATH  use this serial device for this run (config.ini untouched)\n"
           "  --poll MODE    polling mode to post (0: status and group 0x59, the\n"
           "                 control page's; 1: also 0x5a; 14: poll nothing; ...)\n"
           "  --seconds S    stop after S seconds (default: run until interrupted)\n"
           "Without --port and --device the port setting of config.ini in the current\n"
           "folder is used, as the window does; without one, ports are searched.\n\n";
    for (const auto& command : Commands()) {
        out << command.name << ":\n" << command.help << "\n";
    }
    out << "Exit status: 0 done, 1 failure, 2 bad arguments.\n";
}

}  // namespace

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
    if (parsed.invocation && parsed.invocation->help) {
        PrintHelp(context.out);
        return kExitOk;
    }
    if (!parsed.invocation) {
        context.err << "velmora-cli: " << parsed.error << " (see velmora-cli --help)\n";
        return kExitUsage;
    }
    for (const auto& command : Commands()) {
        if (command.name == parsed.invocation->command) {
            return command.run(*parsed.invocation, context);
        }
    }
    context.err << "velmora-cli: unknown command '" << parsed.invocation->command
                << "' (see velmora-cli --help)\n";
    return kExitUsage;
}

}  // namespace velmora::tools
