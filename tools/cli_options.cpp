#include <CLI/CLI.hpp>
#include <cmath>

#include "cli.h"

namespace velmora::tools {
namespace {

// The link options belong to the program, so they may stand before or after
// the command word ("velmora-cli --json status" and "velmora-cli status --json").
void AddGlobalOptions(CLI::App& app, Invocation& inv) {
    auto* port = app.add_option("--port", inv.options.port, "port number 0..255 for this run")
                     ->check(CLI::Range(0, 255));
    auto* device = app.add_option("--device", inv.options.device, "serial device for this run");
    port->excludes(device);
    app.add_option("--poll", inv.options.pollMode, "polling mode to post");
    app.add_option("--seconds", inv.options.seconds, "time limit in seconds (> 0)")
        ->check([](const std::string& text) -> std::string {
            double value = 0;
            try {
                std::size_t used = 0;
                value = std::stod(text, &used);
                if (used != text.size()) return "not a number: " + text;
            } catch (...) {
                return "not a number: " + text;
            }
            if (!std::isfinite(value) || value <= 0 || value > 1e7)
                return "--seconds wants a positive number, not " + text;
            return {};
        });
    app.add_flag("--json", inv.json, "print one JSON object on standard output");
    app.add_flag("--yes", inv.yes, "answer the questions the window would ask with yes");
    app.add_option("--expect-serial", inv.expectSerial, "the drive's serial number")
        ->check(CLI::Range(std::uint32_t{0}, std::uint32_t{4294967295u}));
}

void AddBrokerOptions(CLI::App& sub, Invocation& inv) {
    sub.add_option("--mqtt", inv.mqttUrl, "broker: mqtt://host[:port] or mqtts://host[:port]");
    sub.add_option("--mqtt-ca", inv.mqttCa, "certificate authority for mqtts://");
    sub.add_option("--mqtt-user", inv.mqttUser, "user name at the broker");
    sub.add_option("--mqtt-password-file", inv.mqttPasswordFile, "file holding the password");
}

}  // namespace

ParseResult ParseArguments(std::span<const std::string> args) {
    Invocation inv;
    CLI::App app{"velmora-cli", "velmora-cli"};
    app.set_help_flag();  // the tool prints its own help texts
    bool help = false;
    app.add_flag("-h,--help", help);
    AddGlobalOptions(app, inv);
    // One command a call: a later command's name is a word of the first
    // ("history restore 12"), not a second command.
    app.require_subcommand(0, 1);
    for (const Command& command : AllCommands()) {
        auto* sub = app.add_subcommand(std::string(command.name), std::string(command.help));
        sub->set_help_flag();
        sub->add_flag("-h,--help", help);
        sub->fallthrough();
        sub->add_option("words", inv.arguments)->expected(0, -1);
        const std::string name(command.name);
        if (name == "flash") {
            sub->add_option("--loader", inv.loader, "boot loader image");
            sub->add_option("--update", inv.update, "firmware update image");
            sub->add_flag("--resume", inv.resume, "answer a drive already in its boot loader");
        } else if (name == "certificate") {
            sub->add_option("--html", inv.html, "printable page (HTML with an SVG plot)");
        } else if (name == "backup") {
            sub->add_flag("--force", inv.force, "overwrite an existing file");
        } else if (name == "runin") {
            sub->add_option("--report", inv.report, "certificate file (JSON)");
            sub->add_option("--tolerance", inv.tolerance, "speed tolerance in percent")
                ->check(CLI::Range(0.0, 100.0));
            sub->add_option("--ramp-limit", inv.rampLimit,
                            "seconds an on-phase may take to reach speed")
                ->check(CLI::Range(1.0, 3600.0));
            sub->add_option("--station", inv.station, "station name for the certificate");
            AddBrokerOptions(*sub, inv);
            sub->add_option("--operator", inv.operatorName, "operator for the certificate");
            // Not in the help: lets the tests run a program in less than real time;
            // a certificate of such a run says so.
            sub->add_option("--tick-ms", inv.tickMs)->check(CLI::Range(10, 1000))->group("");
        } else if (name == "serve") {
            sub->add_option("--station", inv.station, "station name (one topic level)");
            AddBrokerOptions(*sub, inv);
        } else if (name == "line") {
            AddBrokerOptions(*sub, inv);
        } else if (name == "history") {
            sub->add_option("--serial", inv.serial, "one drive's entries");
            sub->add_option("--since", inv.since, "entries from this date on");
        }
    }
    // CLI11 wants the program name first and the words in reverse.
    std::vector<std::string> words(args.rbegin(), args.rend());
    try {
        app.parse(words);
    } catch (const CLI::ParseError& error) {
        std::string what = error.what();
        if (const auto nl = what.find('\n'); nl != std::string::npos) what.resize(nl);
        return {std::nullopt, what};
    }
    for (const auto* sub : app.get_subcommands()) inv.command = sub->get_name();
    inv.help = help;
    if (!inv.help && inv.command.empty()) return {std::nullopt, "no command given"};
    return ParseResult{std::move(inv), {}};
}

}  // namespace velmora::tools
