#pragma once
// Small pieces every command shares: argument checks with exit status 2 and
// the drive's values as texts.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "cli.h"
#include "output.h"

namespace velmora::tools {

// Exit status 2 with "<command>: <why> (see velmora-cli <command> --help)".
inline int UsageError(Output& output, const Invocation& invocation, const std::string& why) {
    return output.fail(kExitUsage, invocation.command + ": " + why + " (see velmora-cli " +
                                       invocation.command + " --help)");
}

// A whole decimal number low..high, nothing else.
inline std::optional<int> WholeNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace velmora::tools
