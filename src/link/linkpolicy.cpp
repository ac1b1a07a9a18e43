#include "link/linkpolicy.h"

#include <algorithm>
#include <array>

#include "link/messagetarget.h"
#include "link/queues.h"

namespace velmora::link {
namespace {

struct RouteRange {
    int first;
    int last;
    ReplyRoute route;
};

// 0x5F (the values held at a severe fault) is announced like a parameter
// group, so the window's group handler always stores it.
constexpr std::array<RouteRange, 6> kRoutes{{
    {0x50, 0x5A, {kReplySlot, WM_DRIVE_GROUP_REPLY}},
    {0x5B, 0x5E, {kReplySlot, WM_DRIVE_REPLY}},
    {0x5F, 0x5F, {kReplySlot, WM_DRIVE_GROUP_REPLY}},
    {0x60, 0x60, {kStatusSlot, WM_DRIVE_STATUS}},
    {0x61, 0x62, {kReplySlot, WM_DRIVE_REPLY}},
    {0x81, 0x81, {kLinkReplySlot, 0}},
}};

constexpr std::array<int, 1> kGroup59{0x59};
constexpr std::array<int, 2> kGroups59And5A{0x59, 0x5A};
constexpr std::array<int, 1> kSensorState{0x5B};
constexpr std::array<int, 1> kInverterValues{0x5E};
constexpr std::array<int, 2> kGroup59AndSensors{0x59, 0x5B};
constexpr std::array<int, 1> kBlockRequest{0x61};
constexpr std::array<int, 2> kSensorsAnd59{0x5B, 0x59};
constexpr std::array<int, 2> kInverterValuesAnd59{0x5E, 0x59};

struct PollEntry {
    PollMode mode;
    PollPlan plan;
};

// Every other mode polls the status alone.
const std::array<PollEntry, 9> kPollModes{{
    {PollMode::ControlPage, {true, kGroup59, 0}},
    {PollMode::ReportPage, {true, kGroups59And5A, 0}},
    {PollMode::ActuatorTest, {true, kSensorState, 0}},
    {PollMode::InverterValues, {true, kInverterValues, 0}},
    {PollMode::TestOperation, {true, kGroup59AndSensors, 0}},
    {PollMode::FirmwareQuiet, {false, {}, 0}},
    {PollMode::FirmwareBlockRequest, {false, kBlockRequest, 250}},
    {PollMode::FirmwarePreparing, {false, {}, 100}},
    // The run-in page shows the speed the drive reports beside the program's.
    {PollMode::RunIn, {true, kGroup59, 0}},
}};

}  // namespace

std::optional<ReplyRoute> RouteForReply(int command) {
    for (const auto& range : kRoutes) {
        if (command >= range.first && command <= range.last) return range.route;
    }
    return std::nullopt;
}

namespace {

PollPlan PagePlanFor(int mode) {
    for (const auto& entry : kPollModes) {
        if (static_cast<int>(entry.mode) == mode) return entry.plan;
    }
    return PollPlan{};
}

// The page's plan with group 0x59 read as well.
PollPlan WithOperatingValues(PollPlan plan) {
    if (!plan.status) return plan;  // a firmware transfer: nothing may come between
    if (std::find(plan.groups.begin(), plan.groups.end(), 0x59) != plan.groups.end()) return plan;
    if (plan.groups.empty()) {
        plan.groups = kGroup59;
    } else if (plan.groups.size() == 1 && plan.groups[0] == kSensorState[0]) {
        plan.groups = kSensorsAnd59;
    } else if (plan.groups.size() == 1 && plan.groups[0] == kInverterValues[0]) {
        plan.groups = kInverterValuesAnd59;
    }
    return plan;
}

}  // namespace

PollPlan PollPlanFor(int mode) {
    if (mode >= 0 && (mode & kWithOperatingValues) != 0)
        return WithOperatingValues(PagePlanFor(mode & ~kWithOperatingValues));
    return PagePlanFor(mode);
}

bool IsOrder(int command) {
    return command != kReadGroupCommand && command != kLinkCheckCommand;
}

int GroupWrittenBy(int command) {
    constexpr int kFirstGroupWrite = 0x10;
    constexpr int kLastGroupWrite = 0x18;
    constexpr int kWriteToGroup = 0x40;  // a write's code is its group's less 0x40
    if (command < kFirstGroupWrite || command > kLastGroupWrite) return -1;
    return command + kWriteToGroup;
}

Telegram BuildReadRequest(int code) {
    Telegram t;
    t.command = kReadGroupCommand;
    t.length = 1;
    t.data = {static_cast<std::uint8_t>(code)};
    return t;
}

Telegram BuildLinkCheck() {
    Telegram t;
    t.command = kLinkCheckCommand;
    return t;
}

}  // namespace velmora::link
