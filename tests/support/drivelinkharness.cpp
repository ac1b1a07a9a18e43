#include "tests/support/drivelinkharness.h"

#include "link/seriallink_api.h"
#include "model/commands.h"

namespace velmora::e2e {

link::LinkTimings FastTimings() {
    link::LinkTimings timings;
    timings.checkPause = 20ms;
    timings.connectedPause = 300ms;
    timings.pollPause = 30ms;
    return timings;
}

DriveLinkHarness::DriveLinkHarness(sim::ServerOptions options, const link::LinkTimings& timings,
                                   const std::string& ptyLink)
    : server(options) {
    device = server.startOnPty(ptyLink);
    data.Reset();
    link.serial().UseFixedDevice(ptyLink.empty() ? device : ptyLink);
    link.start(m_log, timings);
}

DriveLinkHarness::~DriveLinkHarness() {
    link.stop();
    server.stop();
}

void DriveLinkHarness::handle(unsigned message, std::uintptr_t wParam) {
    switch (message) {
        case link::WM_DRIVE_LINK_STATE:
            linkState = static_cast<int>(wParam);
            break;
        case link::WM_DRIVE_STATUS: {
            link::Telegram reply;
            if (link.fetchStatus(reply) != 0) break;
            std::array<std::uint8_t, 4> bytes{};
            if (model::ParseStatus(reply, bytes) == 0) {
                status = bytes;
                data.gate().observeStatus(bytes);
            }
            break;
        }
        case link::WM_DRIVE_GROUP_REPLY: {
            // Fetched here rather than through FirstCompleteRead so the test
            // sees which group came; the reaction is the same.
            link::Telegram reply;
            if (link.fetchReply(reply) != 0) break;
            const int code = reply.command;
            if (code == 0x5B || code == 0x5C || code == 0x5D || code == 0x5E || code == 0x61 ||
                code == 0x62) {
                replies.push_back(std::move(reply));  // a single reply fetched first
                break;
            }
            data.StoreReply(reply);
            groupReplies.push_back(code);
            m_firstRead.RequestOverdueGroups(data);
            allGroupsRead = data.GroupsIncomplete() == 0;
            break;
        }
        case link::WM_DRIVE_REPLY: {
            link::Telegram reply;
            if (link.fetchReply(reply) != 0) break;
            if (reply.command >= 0x50 && reply.command <= 0x5F && reply.command != 0x5B &&
                reply.command != 0x5C && reply.command != 0x5D && reply.command != 0x5E) {
                data.StoreReply(reply);
                groupReplies.push_back(reply.command);
            } else {
                replies.push_back(std::move(reply));
            }
            break;
        }
        default:
            break;
    }
}

bool DriveLinkHarness::pumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (auto message = m_log.take(std::min(left, std::chrono::milliseconds(50))))
            handle(message->first, message->second);
    }
    return true;
}

bool DriveLinkHarness::readAllGroups(std::chrono::milliseconds timeout) {
    m_firstRead.RequestOverdueGroups(data);
    return pumpUntil([&] { return allGroupsRead; }, timeout);
}

void DriveLinkHarness::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        auto message = m_log.take(quiet);
        if (!message) return;
        handle(message->first, message->second);
    }
}

bool DriveLinkHarness::readGroup(int code, std::chrono::milliseconds timeout) {
    groupReplies.clear();
    data.RequestGroup(1, code);
    return pumpUntil(
        [&] {
            for (int c : groupReplies)
                if (c == code) return true;
            return false;
        },
        timeout);
}

std::optional<link::Telegram> DriveLinkHarness::ask(link::Telegram request, int replyCode,
                                                    std::chrono::milliseconds timeout) {
    replies.clear();
    if (link.sendRequest(std::move(request)) != 0) return std::nullopt;
    std::optional<link::Telegram> found;
    pumpUntil(
        [&] {
            for (auto& r : replies)
                if (r.command == replyCode) {
                    found = std::move(r);
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

}  // namespace velmora::e2e
