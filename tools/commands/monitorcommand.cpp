#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli.h"
#include "link/drivelink.h"
#include "link/pollmode.h"
#include "link/seriallink.h"
#include "messageinbox.h"
#include "openfailurewatch.h"
#include "output.h"

namespace velmora::tools {
namespace {

using Clock = std::chrono::steady_clock;

std::string Hex(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02x", value & 0xFF);
    return text;
}

class Printer {
  public:
    Printer(std::ostream& out, Clock::time_point start, bool json)
        : m_out(out), m_start(start), m_json(json) {}

    // --json: {"ms": <ms>, "event": "<kind>", "data": "<rest>"} a line.
    void line(const std::string& kind, const std::string& rest) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
        if (m_json) {
            m_out << nlohmann::json{{"ms", ms}, {"event", kind}, {"data", rest}}.dump() << '\n'
                  << std::flush;
            return;
        }
        m_out << ms << ' ' << kind;
        if (!rest.empty()) m_out << ' ' << rest;
        m_out << '\n' << std::flush;
    }

    void telegram(const std::string& kind, const link::Telegram& t) {
        std::string rest = Hex(t.command);
        for (std::uint8_t byte : t.data) rest += ' ' + Hex(byte);
        line(kind, rest);
    }

  private:
    std::ostream& m_out;
    Clock::time_point m_start;
    bool m_json;
};

// Tells the user once why the port does not open, when the reason changes.
class FailureReporter {
  public:
    FailureReporter(const link::SerialLink& link, std::ostream& err) : m_link(link), m_err(err) {}
    void check() {
        const link::OpenFailure failure = m_link.LastOpenFailure();
        const std::string text = link::DescribeOpenFailure(failure);
        if (text.empty() || text == m_last) return;
        m_last = text;
        m_err << "velmora-cli: " << text << '\n' << std::flush;
    }

  private:
    const link::SerialLink& m_link;
    std::ostream& m_err;
    std::string m_last;
};

int RunMonitor(const Invocation& invocation, CliContext& context) {
    if (!invocation.arguments.empty()) {
        context.err << "velmora-cli: monitor takes no arguments (see velmora-cli --help)\n";
        return kExitUsage;
    }
    const auto start = Clock::now();
    const auto& options = invocation.options;
    const auto until = options.seconds
                           ? start + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(*options.seconds))
                           : Clock::time_point::max();
    MessageInbox inbox;
    link::DriveLink link;
    ApplyLinkOptions(link.serial(), options);
    Printer print(context.out, start, invocation.json);
    FailureReporter failures(link.serial(), context.err);
    link.setPollMode(options.pollMode.value_or(static_cast<int>(link::PollMode::ControlPage)));
    link.start(inbox);
    bool answered = false;
    // A reader that went away (a closed pipe) ends the run.
    while (!context.interrupted && Clock::now() < until && context.out.good()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        const auto message = inbox.next(std::min(left, std::chrono::milliseconds(100)));
        if (!message) continue;
        link::Telegram t;
        switch (message->number) {
            case link::WM_DRIVE_LINK_STATE:
                answered = answered || message->wParam == 1;
                print.line("link", message->wParam ? "1" : "0");
                if (!message->wParam) failures.check();
                break;
            case link::WM_DRIVE_STATUS:
                if (link.fetchStatus(t) == 0 && t.data.size() >= 4) {
                    std::string rest = Hex(t.data[0]);
                    for (std::size_t i = 1; i < 4; ++i) rest += ' ' + Hex(t.data[i]);
                    print.line("status", rest);
                }
                break;
            case link::WM_DRIVE_GROUP_REPLY:
                if (link.fetchReply(t) == 0) print.telegram("group", t);
                break;
            case link::WM_DRIVE_REPLY:
                if (link.fetchReply(t) == 0) print.telegram("reply", t);
                break;
            default:
                break;
        }
    }
    link.stop();
    if (!context.out.good()) {
        context.err << "velmora-cli: cannot write the output\n";
        return kExitFailure;
    }
    // A run that never saw the drive is a failure, as for every command.
    if (answered) return kExitOk;
    if (!OpenFailureWatch(link.serial()).failing())
        return PrintFailure(context.out, context.err, invocation.json, kExitFailure,
                            "the drive did not answer");
    return PrintFailure(context.out, context.err, invocation.json, kExitNoPort,
                        "the drive did not answer (" +
                            link::DescribeOpenFailure(link.serial().LastOpenFailure()) + ")");
}

}  // namespace

Command MonitorCommand() {
    return {"monitor", "[--port N | --device PATH] [--poll MODE] [--seconds S] monitor",
            "  Starts the link as the window does, posts the polling mode (default 0) and\n"
            "  prints one line per event until S seconds have passed or it is interrupted:\n"
            "    <ms> link <0|1>                      a link check answered (1) or lost (0)\n"
            "    <ms> status <d0> <d1> <d2> <d3>      a status reply\n"
            "    <ms> group <code> <data...>          a parameter-group reply\n"
            "    <ms> reply <code> <data...>          any other reply\n"
            "  <ms> counts from the start; codes and data are two lower-case hex digits.\n"
            "  Why a port cannot be opened (permissions, in use) goes to standard error.\n"
            "  Exit 0 when the drive answered, 1 when it never did, 4 when the port\n"
            "  cannot be opened.\n",
            RunMonitor};
}

}  // namespace velmora::tools
