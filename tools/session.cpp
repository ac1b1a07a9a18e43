#include "session.h"

#include <cstdio>

#include "link/linkapi.h"
#include "link/seriallink_api.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::tools {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A request or reply lost on the line is asked for again after this long.
constexpr auto kRetry = 1000ms;
// An open failure that lasts this long is not a drive still waking up.
constexpr auto kOpenFailureGrace = 1500ms;

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
                           int pollMode)
    : m_context(context), m_output(output) {
    if (invocation.options.seconds) {
        m_timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*invocation.options.seconds));
    }
    ApplyLinkOptions(invocation.options);
    link::SetPollMode(invocation.options.pollMode.value_or(pollMode));
    link::StartLinkThreads(m_inbox);
}

DriveSession::~DriveSession() {
    link::StopLinkThreads();
}

void DriveSession::setPollMode(int mode) {
    link::SetPollMode(mode);
}

void DriveSession::handle(const MessageInbox::Message& message) {
    link::Telegram t;
    switch (message.number) {
        case link::WM_DRIVE_LINK_STATE:
            m_linked = message.wParam == 1;
            if (onLinkState) onLinkState(m_linked);
            break;
        case link::WM_DRIVE_GROUP_REPLY:
            if (link::FetchReply(t) == 0) {
                Store(m_data, t);
                if (m_sink != &m_data) Store(*m_sink, t);
            }
            break;
        case link::WM_DRIVE_REPLY:
            if (link::FetchReply(t) == 0 && onReply) onReply(t);
            break;
        case link::WM_DRIVE_STATUS:
            if (link::FetchStatus(t) == 0) {
                Status status{};
                if (model::ParseStatus(t, status) == 0) {
                    m_status = status;
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
        if (auto message = m_inbox.wait(std::min(deadline, Clock::now() + 100ms)))
            handle(*message);
    }
    return true;
}

int DriveSession::connect() {
    const auto start = Clock::now();
    const auto deadline = start + m_timeout;
    std::optional<Clock::time_point> failingSince;
    while (!m_linked) {
        if (interrupted()) return m_output.fail(kExitFailure, "interrupted");
        const auto now = Clock::now();
        const link::OpenFailure failure = link::LastOpenFailure();
        if (failure.kind == link::OpenFailureKind::None) {
            failingSince.reset();
        } else if (!failingSince) {
            failingSince = now;
        } else if (now - *failingSince >= kOpenFailureGrace || now >= deadline) {
            return m_output.fail(kExitNoPort, link::DescribeOpenFailure(failure));
        }
        if (now >= deadline) {
            char limit[32];
            std::snprintf(limit, sizeof limit, "%.3g s", m_timeout.count() / 1000.0);
            return m_output.fail(kExitFailure, std::string("the drive did not answer within ") +
                                                   limit);
        }
        if (auto message = m_inbox.wait(std::min(deadline, now + 100ms))) handle(*message);
    }
    return kExitOk;
}

bool DriveSession::readGroups(std::span<const int> codes, model::DriveData& into,
                              bool requested) {
    m_sink = &into;
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
        done = waitFor([&] { return missing().empty(); }, std::min<std::chrono::milliseconds>(
                                                             kRetry, m_timeout));
    }
    m_sink = &m_data;
    if (done) return true;
    std::string names;
    for (int code : missing()) names += (names.empty() ? "" : " ") + Hex(code);
    m_output.fail(kExitFailure,
                  interrupted() ? "interrupted" : "the drive did not send group " + names);
    return false;
}

bool DriveSession::readAll(model::DriveData& into) {
    std::vector<int> codes;
    for (const auto& group : model::AllGroups())
        if (group.code != 0x5F) codes.push_back(group.code);
    return readGroups(codes, into);
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
