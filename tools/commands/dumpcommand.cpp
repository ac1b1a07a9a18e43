#include "commands/dumpcommand.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>

#include "link/drivelink.h"
#include "link/messagetarget.h"
#include "messageinbox.h"
#include "model/firstcompleteread.h"
#include "model/grouplayout.h"
#include "openfailurewatch.h"
#include "output.h"

namespace velmora::tools {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kErrorGroup = 0x5F;

// Stops the threads on every way out, also when the output throws.
class LinkRun {
  public:
    LinkRun(link::DriveLink& link, link::MessageTarget& target) : m_link(link) {
        m_link.start(target);
    }
    ~LinkRun() { m_link.stop(); }
    LinkRun(const LinkRun&) = delete;
    LinkRun& operator=(const LinkRun&) = delete;

  private:
    link::DriveLink& m_link;
};

// What one run waits for and how it asks for it again.
class ReadGoal {
  public:
    virtual ~ReadGoal() = default;
    virtual void request(model::DriveData& data) = 0;
    virtual void onGroupReply(model::DriveData& data) = 0;
    [[nodiscard]] virtual bool done(const model::DriveData& data) const = 0;
    [[nodiscard]] virtual std::string missing(const model::DriveData& data) const = 0;
};

std::string Hex(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

// All groups through the window's first complete read, then the error group.
class CompleteRead final : public ReadGoal {
  public:
    void request(model::DriveData& data) override {
        if (!m_first.allGroupsRead()) {
            m_first.RequestOverdueGroups(data);
        } else {
            data.RequestGroup(1, kErrorGroup);
        }
    }
    void onGroupReply(model::DriveData& data) override {
        const bool wasComplete = m_first.allGroupsRead();
        m_first.onGroupReply(data);
        if (!wasComplete && m_first.allGroupsRead()) data.RequestGroup(1, kErrorGroup);
    }
    [[nodiscard]] bool done(const model::DriveData& data) const override {
        return m_first.allGroupsRead() && data.GroupReceived(kErrorGroup);
    }
    [[nodiscard]] std::string missing(const model::DriveData& data) const override {
        std::string codes;
        for (const auto& group : model::AllGroups()) {
            if (!data.GroupReceived(group.code))
                codes += (codes.empty() ? "" : " ") + Hex(group.code);
        }
        return codes;
    }

  private:
    model::FirstCompleteRead m_first;
};

class SingleRead final : public ReadGoal {
  public:
    explicit SingleRead(int code) : m_code(code) {}
    void request(model::DriveData& data) override { data.RequestGroup(1, m_code); }
    void onGroupReply(model::DriveData& data) override { data.StoreGroupReply(); }
    [[nodiscard]] bool done(const model::DriveData& data) const override {
        return data.GroupReceived(m_code);
    }
    [[nodiscard]] std::string missing(const model::DriveData&) const override {
        return Hex(m_code);
    }

  private:
    int m_code;
};

// The message loop of one run. Replies the run did not ask for are fetched
// and dropped so the queues never fill. 0, or the exit status with its
// message printed: 4 when the port did not open, 1 for a silent drive.
int Run(link::DriveLink& link, ReadGoal& goal, model::DriveData& data, const DumpOptions& options,
        std::ostream& out, std::ostream& err) {
    MessageInbox inbox;
    if (options.pollMode) link.setPollMode(*options.pollMode);
    LinkRun run(link, inbox);
    const Clock::time_point deadline = Clock::now() + options.timeout;
    bool connected = false;
    bool answered = false;
    Clock::time_point nextRetry = Clock::time_point::max();
    OpenFailureWatch port(link.serial());

    while (!goal.done(data)) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) break;
        if (!answered && port.lasting(now)) break;
        if (options.interrupted != nullptr && *options.interrupted)
            return PrintFailure(out, err, options.json, kExitFailure, "interrupted");
        if (connected && now >= nextRetry) {
            // A request or reply lost on the line would otherwise stall the read.
            goal.request(data);
            nextRetry = now + options.retry;
        }
        // Short waits so an interruption is noticed promptly.
        const auto message =
            inbox.wait(std::min({deadline, nextRetry, now + std::chrono::milliseconds(100)}));
        if (!message) continue;
        switch (message->number) {
            case link::WM_DRIVE_LINK_STATE:
                connected = message->wParam == 1;
                if (connected) {
                    answered = true;
                    goal.request(data);
                    nextRetry = Clock::now() + options.retry;
                } else {
                    nextRetry = Clock::time_point::max();
                }
                break;
            case link::WM_DRIVE_GROUP_REPLY:
                answered = true;
                goal.onGroupReply(data);
                nextRetry = Clock::now() + options.retry;
                break;
            case link::WM_DRIVE_REPLY: {
                link::Telegram reply;
                link.fetchReply(reply);
                break;
            }
            case link::WM_DRIVE_STATUS: {
                link::Telegram status;
                link.fetchStatus(status);
                break;
            }
            default:
                break;
        }
    }
    if (goal.done(data)) return kExitOk;

    const auto seconds = std::chrono::duration_cast<std::chrono::milliseconds>(options.timeout);
    char limit[32];
    std::snprintf(limit, sizeof limit, "%.3g s", static_cast<double>(seconds.count()) / 1000.0);
    if (answered) {
        return PrintFailure(
            out, err, options.json, kExitFailure,
            "the drive did not send group " + goal.missing(data) + " within " + limit);
    }
    const std::string why = link::DescribeOpenFailure(link.serial().LastOpenFailure());
    if (port.failing())
        return PrintFailure(out, err, options.json, kExitNoPort,
                            "the drive did not answer (" + why + ")");
    return PrintFailure(out, err, options.json, kExitFailure,
                        std::string("the drive did not answer within ") + limit);
}

// --json: {"ok": true, "parameters": {"p1": "300", ...}} on one line.
void Print(std::ostream& out, const std::vector<std::string>& lines, bool json) {
    if (json) {
        nlohmann::json values = nlohmann::json::object();
        for (const auto& line : lines) {
            const auto eq = line.find(" = ");
            values[line.substr(0, eq)] = line.substr(eq + 3);
        }
        out << nlohmann::json{{"ok", true}, {"parameters", values}}.dump() << '\n';
    } else {
        for (const auto& line : lines) out << line << '\n';
    }
    out.flush();
}

DumpOptions OptionsFor(const Invocation& invocation, const CliContext& context) {
    DumpOptions options;
    if (invocation.options.seconds) {
        options.timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*invocation.options.seconds));
    }
    options.pollMode = invocation.options.pollMode;
    options.json = invocation.json;
    options.interrupted = &context.interrupted;
    return options;
}

int DumpMain(const Invocation& invocation, CliContext& context) {
    if (!invocation.arguments.empty())
        return PrintFailure(context.out, context.err, invocation.json, kExitUsage,
                            "dump takes no arguments (see velmora-cli --help)");
    link::DriveLink link;
    ApplyLinkOptions(link.serial(), invocation.options);
    return RunDump(link, context.out, context.err, OptionsFor(invocation, context));
}

int ReadMain(const Invocation& invocation, CliContext& context) {
    const auto code = invocation.arguments.size() == 1
                          ? ParseGroupCode(invocation.arguments.front())
                          : std::nullopt;
    if (!code)
        return PrintFailure(context.out, context.err, invocation.json, kExitUsage,
                            "read takes one group code, 50 to 5a or 5f (see velmora-cli --help)");
    link::DriveLink link;
    ApplyLinkOptions(link.serial(), invocation.options);
    return RunRead(link, *code, context.out, context.err, OptionsFor(invocation, context));
}

}  // namespace

Command DumpCommand() {
    return {"dump", "[--port N | --device PATH] [--seconds S] dump",
            "  Reads every parameter group (0x50-0x5a) as the window's first complete read\n"
            "  does, then the fault-hold group 0x5f, and prints each parameter that travels\n"
            "  in a telegram as \"p<n> = <value>\", ascending; reals with their scaling,\n"
            "  two decimals for factor 100 and one for factor 10. Exit 0 when done, 1 with\n"
            "  one line when the drive does not answer within 10 s (or S seconds), 4 when\n"
            "  the port cannot be opened.\n",
            DumpMain};
}

Command ReadCommand() {
    return {"read", "[--port N | --device PATH] [--seconds S] read GROUP",
            "  Reads one group, GROUP a hex code 50-5a or 5f (\"59\" or \"0x59\"), and prints\n"
            "  its parameters as dump does. Exit 1 when the drive does not answer within\n"
            "  10 s (or S seconds), 2 for a code that is no parameter group, 4 when the\n"
            "  port cannot be opened.\n",
            ReadMain};
}

std::optional<int> ParseGroupCode(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    if (text.empty() || text.size() > 2) return std::nullopt;
    int code = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        code = code * 16 + digit;
    }
    if (model::FindGroup(code) == nullptr) return std::nullopt;
    return code;
}

std::string ParameterLine(const model::DriveData& data, int parameter) {
    return "p" + std::to_string(parameter) + " = " + ParameterValue(data, parameter);
}

std::string ParameterValue(const model::DriveData& data, int parameter) {
    char value[32];
    switch (model::ScaleFactor(parameter)) {
        case 100:
            std::snprintf(value, sizeof value, "%.2f",
                          static_cast<double>(data.GetReal(parameter)));
            break;
        case 10:
            std::snprintf(value, sizeof value, "%.1f",
                          static_cast<double>(data.GetReal(parameter)));
            break;
        default:
            std::snprintf(value, sizeof value, "%u",
                          static_cast<unsigned>(data.Working(parameter)));
            break;
    }
    return value;
}

std::vector<std::string> GroupLines(const model::DriveData& data, int groupCode) {
    std::set<int> parameters;
    if (const auto* group = model::FindGroup(groupCode)) {
        for (const auto& field : group->fields) parameters.insert(field.parameter);
    }
    std::vector<std::string> lines;
    for (int parameter : parameters) lines.push_back(ParameterLine(data, parameter));
    return lines;
}

std::vector<std::string> AllParameterLines(const model::DriveData& data) {
    std::vector<std::string> lines;
    for (int parameter = 1; parameter <= model::kParameterCount; ++parameter) {
        if (model::GroupOfParameter(parameter) != nullptr) {
            lines.push_back(ParameterLine(data, parameter));
        }
    }
    return lines;
}

int RunDump(link::DriveLink& link, std::ostream& out, std::ostream& err,
            const DumpOptions& options) {
    model::LinkOutlet outlet(link);
    model::DriveData data(outlet);
    CompleteRead goal;
    if (const int status = Run(link, goal, data, options, out, err)) return status;
    data.TakeImage();
    Print(out, AllParameterLines(data), options.json);
    return kExitOk;
}

int RunRead(link::DriveLink& link, int groupCode, std::ostream& out, std::ostream& err,
            const DumpOptions& options) {
    if (model::FindGroup(groupCode) == nullptr) {
        err << "velmora-cli: " << Hex(groupCode) << " is no parameter group\n";
        return kExitUsage;
    }
    model::LinkOutlet outlet(link);
    model::DriveData data(outlet);
    SingleRead goal(groupCode);
    if (const int status = Run(link, goal, data, options, out, err)) return status;
    data.TakeImage();
    Print(out, GroupLines(data, groupCode), options.json);
    return kExitOk;
}

}  // namespace velmora::tools
