#include <charconv>
#include <cmath>

#include "cli.h"

namespace velmora::tools {
namespace {

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> ParseSeconds(std::string_view text) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0 || value > 1e7) return std::nullopt;
    return value;
}

}  // namespace

ParseResult ParseArguments(std::span<const std::string> args) {
    Invocation inv;
    const auto fail = [](std::string why) { return ParseResult{std::nullopt, std::move(why)}; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            inv.help = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            if (inv.command.empty()) {
                inv.command = arg;
            } else {
                inv.arguments.emplace_back(arg);
            }
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const bool known =
            name == "--port" || name == "--device" || name == "--poll" || name == "--seconds";
        if (!known) return fail("unknown option " + std::string(name));
        if (!value) {
            if (i + 1 >= args.size()) return fail(std::string(name) + " needs a value");
            value = args[++i];
        }
        if (name == "--port") {
            const auto port = ParseInt(*value);
            if (!port || *port < 0 || *port > 255) {
                return fail("--port wants a port number 0..255, not '" + std::string(*value) + "'");
            }
            inv.options.port = port;
        } else if (name == "--device") {
            if (value->empty()) return fail("--device wants a device path");
            inv.options.device = std::string(*value);
        } else if (name == "--poll") {
            const auto mode = ParseInt(*value);
            if (!mode) return fail("--poll wants a mode number, not '" + std::string(*value) + "'");
            inv.options.pollMode = mode;
        } else {
            const auto seconds = ParseSeconds(*value);
            if (!seconds) {
                return fail("--seconds wants a positive number, not '" + std::string(*value) + "'");
            }
            inv.options.seconds = seconds;
        }
    }
    if (inv.options.port && inv.options.device) return fail("use either --port or --device");
    if (!inv.help && inv.command.empty()) return fail("no command given");
    return ParseResult{std::move(inv), {}};
}

}  // namespace velmora::tools
