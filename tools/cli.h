#pragma once
// velmora-cli: a command-line tool on the drive link, for checking a cable and
// for scripts on a production line. Each subcommand lives in its own
// cli_<name>.cpp and has one entry in the command table (velmora_cli.cpp).
#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::link {
class SerialLink;
}

namespace velmora::tools {

// Exit statuses, the same for every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the drive did not answer, a file failed
inline constexpr int kExitUsage = 2;    // bad arguments or a refused question
inline constexpr int kExitDiffers = 3;  // a value did not take, a difference, a FAIL
inline constexpr int kExitNoPort = 4;   // the port cannot be opened

// Options every subcommand shares: which port and how the link polls.
struct LinkOptions {
    std::optional<int> port;            // --port N (0..255), this run only
    std::optional<std::string> device;  // --device PATH, this run only
    std::optional<int> pollMode;        // --poll MODE
    std::optional<double> seconds;      // --seconds S (> 0)
};

struct Invocation {
    bool help = false;
    LinkOptions options;
    bool json = false;  // --json: one JSON object on standard output
    bool yes = false;   // --yes: answer the window's questions with yes
    // --expect-serial N: the drive's serial number (p39) must be N before
    // anything is sent to it.
    std::optional<std::uint32_t> expectSerial;
    std::string command;
    std::vector<std::string> arguments;  // words after the command that are no options
    // Options of single commands.
    std::string loader;        // flash --loader
    std::string update;        // flash --update
    bool resume = false;       // flash --resume
    bool force = false;        // backup --force: overwrite an existing FILE
    std::string report;        // runin --report
    double tolerance = 2.0;    // runin --tolerance, percent
    int tickMs = 1000;         // runin: the length of its second (tests shorten it)
    double rampLimit = 60.0;   // runin --ramp-limit, seconds to reach speed
    std::string station;       // runin --station (into the certificate), serve's name
    std::string operatorName;  // runin --operator
    std::string html;          // certificate --html
    // serve, line, runin: the broker (mqtt/mqttsettings.h).
    std::string mqttUrl;                  // --mqtt URL
    std::string mqttCa;                   // --mqtt-ca FILE
    std::string mqttUser;                 // --mqtt-user NAME
    std::string mqttPasswordFile;         // --mqtt-password-file FILE
    std::optional<std::uint32_t> serial;  // history --serial
    std::string since;                    // history --since
};

// The parse result or a one-line reason for exit status 2.
struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error;
};
[[nodiscard]] ParseResult ParseArguments(std::span<const std::string> args);

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    const std::atomic<bool>& interrupted;  // Ctrl-C, SIGTERM or SIGHUP
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for the usage text
    std::string_view help;      // a paragraph for --help
    int (*run)(const Invocation& invocation, CliContext& context);
};

// Every command, in the order of the help text (velmora_cli.cpp).
[[nodiscard]] std::span<const Command> AllCommands();

[[nodiscard]] Command MonitorCommand();
[[nodiscard]] Command StatusCommand();
[[nodiscard]] Command BackupCommand();
[[nodiscard]] Command RestoreCommand();
[[nodiscard]] Command DiffCommand();
[[nodiscard]] Command MotorCommand();
[[nodiscard]] Command RemoteCommand();
[[nodiscard]] Command SlotCommand();
[[nodiscard]] Command MakerSetCommand();
[[nodiscard]] Command FactorySettingsCommand();
[[nodiscard]] Command FlashCommand();
[[nodiscard]] Command RunInCommand();
[[nodiscard]] Command DoctorCommand();
[[nodiscard]] Command CertificateCommand();
[[nodiscard]] Command HistoryCommand();
[[nodiscard]] Command ServeCommand();
[[nodiscard]] Command LineCommand();

// Parses, dispatches and returns the exit status.
int RunCli(std::span<const std::string> args, CliContext& context);

// Chooses the port as the window does, or as the options say, for this run.
void ApplyLinkOptions(link::SerialLink& link, const LinkOptions& options);

}  // namespace velmora::tools
