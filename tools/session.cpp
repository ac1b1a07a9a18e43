#include "session.h"

#include <cstdio>

#include "clijournal.h"
#include "link/linkpolicy.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "openfailurewatch.h"

namespace velmora::tools {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A request or reply lost on the line is asked for again after this long.
constexpr auto kRetry = 1000ms;
// How long the end of a command waits for what it queued to reach the drive.
constexpr auto kDrainLimit = 3000ms;
// Read after the last request to see the drive answer behind it: no command
// and no polling plan asks for it, so its reply answers that read alone.
constexpr int kDrainGroup = model::code::Group5F;

// The reply's values become the working values at once: the commands read
// what the drive holds, nothing waits on a page to take them.
void Store(model::DriveData& data, const link::Telegram& reply) {
    data.StoreReply(reply);
    if (const auto* group = model::FindGroup(reply.command))
        for (const auto& field : group->fields)
            data.SetWorking(field.parameter, data.Image(field.parameter));
}

std::string Hex(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

}  // namespace

DriveSession::DriveSession(const Invocation& invocation, CliContext& context, Output& output,
                           link::PollMode pollMode)
    : m_context(context),
      m_output(output),
      m_journal(std::make_unique<CliJournal>(context.err)),
      m_expectSerial(invocation.expectSerial) {
    if (invocation.options.seconds) {
        m_timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*invocation.options.seconds));
    }
    ApplyLinkOptions(m_link.serial(), invocation.options);
    if (invocation.options.pollMode) {
        m_link.setPollMode(*invocation.options.pollMode);
    } else {
        m_link.setPollMode(pollMode);
    }
    // Whatever the command sends goes through the drive's gate; a refusal
    // ends the command with exit 1 and its reason.
    m_data.gate().addRefusalListener(
        [this](const model::GateRefusal& refusal) { m_refusals.push_back(refusal.describe()); });
    m_link.start(m_inbox);
}

DriveSession::~DriveSession() {
    if (!m_finished) {
        const std::string why = drain();
        m_journal->settle(why.empty());
        if (!why.empty()) m_context.err << "velmora-cli: " << why << '\n' << std::flush;
    }
    m_link.stop();
}

int DriveSession::finish(int status) {
    m_finished = true;
    if (!m_refusals.empty() && (status == kExitOk || status == kExitDiffers)) {
        std::string reasons;
        for (const std::string& reason : m_refusals)
            reasons += (reasons.empty() ? "" : "; ") + reason;
        status = m_output.fail(kExitFailure, reasons);
    }
    const std::string why = drain();
    m_journal->settle(why.empty());
    if (why.empty()) return status;
    // A failure already reported keeps its status; a result is no longer sure.
    if (status != kExitOk && status != kExitDiffers) {
        m_context.err << "velmora-cli: " << why << '\n' << std::flush;
        return status;
    }
    return m_output.fail(kExitFailure, why);
}

std::string DriveSession::drain() {
    // Before the first answered link check the command has queued nothing;
    // reads left unanswered change nothing.
    if (!m_everLinked || m_link.queuedOrderCount() == 0) return {};
    // Nothing new from the polling thread: the queue empties behind the mark.
    m_link.setPollMode(link::PollMode::FirmwareQuiet);
    const auto deadline = Clock::now() + kDrainLimit;
    const std::uint64_t mark = m_link.queueSentMark();
    const bool written = settle([&] { return m_link.lastSentMark() >= mark; }, deadline);
    bool answered = m_drain == Drain::Written;
    while (written && !answered && Clock::now() < deadline) {
        m_drainAnswered = false;
        m_link.sendRequest(link::BuildReadRequest(kDrainGroup));
        answered =
            settle([this] { return m_drainAnswered; }, std::min(deadline, Clock::now() + kRetry));
    }
    const std::string limit = std::to_string(kDrainLimit.count() / 1000) + " s";
    const std::uint64_t lost = m_link.lostOrders().total();
    if (lost > 0) {
        std::string names;
        for (const link::LostOrder& order : m_link.lostOrders().take()) {
            if (!names.empty()) names += ", ";
            names += model::CommandName(order.command);
            if (order.times > 1) names += " (" + std::to_string(order.times) + " times)";
        }
        return std::to_string(lost) + " request(s) to the drive were lost (" + names +
               "); it may not hold the last changes";
    }
    if (!written)
        return "requests were still waiting for the line after " + limit +
               "; the drive may not hold the last changes";
    if (!answered)
        return "the drive did not answer after the last requests within " + limit +
               "; it may not hold the last changes";
    return {};
}

bool DriveSession::settle(const std::function<bool()>& condition, Clock::time_point deadline) {
    // Short slices: the writer passing the mark posts no message.
    while (!condition()) {
        if (Clock::now() >= deadline) return false;
        if (auto message = m_inbox.wait(std::min(deadline, Clock::now() + 10ms))) handle(*message);
    }
    return true;
}

void DriveSession::setPollMode(link::PollMode mode) {
    m_link.setPollMode(mode);
}

void DriveSession::handle(const MessageInbox::Message& message) {
    link::Telegram t;
    switch (message.number) {
        case link::WM_DRIVE_LINK_STATE:
            m_linked = message.wParam == 1;
            m_data.gate().observeLink(m_linked);
            m_everLinked = m_everLinked || m_linked;
            if (onLinkState) onLinkState(m_linked);
            break;
        case link::WM_DRIVE_GROUP_REPLY:
            if (m_link.fetchReply(t) == 0) {
                m_lastGroupReply = Clock::now();
                m_drainAnswered = m_drainAnswered || t.command == kDrainGroup;
                Store(m_data, t);
                if (m_sink != &m_data) Store(*m_sink, t);
                m_journal->reply(t);
            }
            break;
        case link::WM_DRIVE_REPLY:
            if (m_link.fetchReply(t) == 0 && onReply) onReply(t);
            break;
        case link::WM_DRIVE_STATUS:
            if (m_link.fetchStatus(t) == 0) {
                Status status{};
                if (model::ParseStatus(t, status) == 0) {
                    m_status = status;
                    m_data.gate().observeStatus(status);
                    m_journal->status(status);
                    if (onStatus) onStatus(status);
                }
            }
            break;
        default:
            break;
    }
}

void DriveSession::pump(std::chrono::milliseconds wait) {
    const auto until = Clock::now() + wait;
    while (auto message = m_inbox.wait(until)) handle(*message);
}

bool DriveSession::waitFor(const std::function<bool()>& condition,
                           std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (interrupted() || Clock::now() >= deadline) return false;
        if (auto message = m_inbox.wait(std::min(deadline, Clock::now() + 100ms))) handle(*message);
    }
    return true;
}

int DriveSession::connect() {
    const auto start = Clock::now();
    const auto deadline = start + m_timeout;
    OpenFailureWatch port(m_link.serial());
    while (!m_linked) {
        if (interrupted()) return m_output.fail(kExitFailure, "interrupted");
        const auto now = Clock::now();
        if (port.lasting(now) || (now >= deadline && port.failing()))
            return m_output.fail(kExitNoPort,
                                 link::DescribeOpenFailure(m_link.serial().LastOpenFailure()));
        if (now >= deadline) {
            char limit[32];
            std::snprintf(limit, sizeof limit, "%.3g s", m_timeout.count() / 1000.0);
            return m_output.fail(kExitFailure,
                                 std::string("the drive did not answer within ") + limit);
        }
        if (auto message = m_inbox.wait(std::min(deadline, now + 100ms))) handle(*message);
    }
    m_journal->connected(m_link.serial());
    m_journal->watch(m_data);
    // Writes wait for what the drive says of itself (a standing motor): the
    // polling asks for the status in every mode.
    (void)waitFor([this] { return m_status.has_value(); }, std::chrono::milliseconds(2000));
    return checkSerial();
}

int DriveSession::checkSerial() {
    if (!m_expectSerial) return kExitOk;
    const std::uint32_t expected = *m_expectSerial;
    const std::string wanted = "--expect-serial " + std::to_string(expected);
    model::DriveData identity;
    const int group = model::GroupOfParameter(model::param::kSerialNumber)->code;
    if (!readGroups(std::span<const int>(&group, 1), identity))
        return m_output.fail(kExitFailure,
                             "the drive's serial number could not be read to "
                             "compare with " +
                                 wanted + "; nothing was sent");
    const std::uint32_t serial = identity.Working(model::param::kSerialNumber);
    if (serial != expected)
        return m_output.fail(kExitFailure,
                             "the drive's serial number is " + std::to_string(serial) + ", not " +
                                 std::to_string(expected) + " (" + wanted + "); nothing was sent");
    m_expectSerial.reset();  // checked once per run
    return kExitOk;
}

bool DriveSession::readGroups(std::span<const int> codes, model::DriveData& into, bool requested) {
    m_sink = &into;
    // What is read from this drive is written back through its gate.
    if (&into != &m_data) into.useGate(m_data.gate());
    const auto missing = [&] {
        std::vector<int> left;
        for (int code : codes)
            if (!into.GroupReceived(code)) left.push_back(code);
        return left;
    };
    const auto deadline = Clock::now() + m_timeout;
    bool done = false;
    while (!done && !interrupted() && Clock::now() < deadline) {
        if (!requested)
            for (int code : missing()) into.RequestGroup(1, code);
        requested = false;
        // A group is asked for again only once it is known lost: the read
        // queued behind it was answered without it, or the drive went quiet.
        // A slow drive is waited for, not flooded with repeats whose late
        // replies would pass for later reads.
        m_drainAnswered = false;
        m_link.sendRequest(link::BuildReadRequest(kDrainGroup));
        m_lastGroupReply = Clock::now();
        waitFor(
            [&] {
                return missing().empty() || m_drainAnswered ||
                       Clock::now() - m_lastGroupReply > kRetry;
            },
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
        done = missing().empty();
    }
    m_sink = &m_data;
    if (done) return true;
    std::string names;
    for (int code : missing()) names += (names.empty() ? "" : " ") + Hex(code);
    m_output.fail(kExitFailure,
                  interrupted() ? "interrupted" : "the drive did not send group " + names);
    return false;
}

bool DriveSession::awaitAnswerBehind() {
    const auto deadline = Clock::now() + m_timeout;
    while (!interrupted() && Clock::now() < deadline) {
        m_drainAnswered = false;
        m_link.sendRequest(link::BuildReadRequest(kDrainGroup));
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (waitFor([this] { return m_drainAnswered; },
                    std::min<std::chrono::milliseconds>(kRetry, left)))
            return true;
    }
    m_output.fail(kExitFailure,
                  interrupted() ? "interrupted" : "the drive did not answer after the writes");
    return false;
}

bool DriveSession::readAll(model::DriveData& into) {
    std::vector<int> codes;
    for (const auto& group : model::AllGroups())
        if (group.code != 0x5F) codes.push_back(group.code);
    return readGroups(codes, into);
}

int ReadWholeDrive(DriveSession& session, model::DriveData& drive) {
    if (const int status = session.connect()) return status;
    return session.readAll(drive) ? kExitOk : kExitFailure;
}

DriveIdentity IdentityOf(const model::DriveData& data) {
    char firmware[32];
    std::snprintf(firmware, sizeof firmware, "%.3f",
                  static_cast<double>(data.GetReal(model::param::kFirmwareVersion)));
    return {data.Working(model::param::kInverterType), firmware,
            data.Working(model::param::kSerialNumber)};
}

std::vector<int> IdentityGroups() {
    std::vector<int> codes;
    for (int parameter : {model::param::kInverterType, model::param::kFirmwareVersion,
                          model::param::kSerialNumber}) {
        const auto* group = model::GroupOfParameter(parameter);
        if (group == nullptr) continue;
        bool known = false;
        for (int code : codes) known = known || code == group->code;
        if (!known) codes.push_back(group->code);
    }
    return codes;
}

}  // namespace velmora::tools
