#include "model/drivegate.h"

#include <algorithm>
#include <cstdio>

#include "link/drivelink.h"
#include "link/linkpolicy.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::model {
namespace {

class NoDriveOutlet final : public RequestOutlet {
  public:
    int send(link::Telegram /*request*/) override { return 1; }
    int setPollMode(int /*mode*/) override { return 1; }
};

// What a command needs beyond a working link.
enum class Needs {
    Nothing,        // reads, stop, reset, start: always wanted when asked
    Standstill,     // changes the drive's settings or stored data
    TestOperation,  // only inside the technician's test operation
    Transfer,       // only inside a firmware download
};

struct CommandRule {
    int command;
    Needs needs;
    const char* name;
};

constexpr CommandRule kCommandRules[] = {
    {code::ReadGroup, Needs::Nothing, "read"},
    {code::LinkCheck, Needs::Nothing, "link check"},
    {code::StartMotor, Needs::Nothing, "start motor"},
    {code::StopMotor, Needs::Nothing, "stop motor"},
    {code::ResetDrive, Needs::Nothing, "reset"},
    {code::LeaveTestOperation, Needs::Nothing, "leave test operation"},
    {code::TestOperationValues, Needs::TestOperation, "test operation values"},
    {code::LoadMemorySlot, Needs::Standstill, "load memory slot"},
    {code::DeleteMemorySlot, Needs::Standstill, "delete memory slot"},
    {code::SaveMemorySlot, Needs::Standstill, "save memory slot"},
    {code::LoadFactorySettings, Needs::Standstill, "load factory settings"},
    {code::LoadMakerSet, Needs::Standstill, "load motor data set"},
    {code::ActuatorTest, Needs::Standstill, "actuator test"},
    {code::ResetEeprom, Needs::Standstill, "reset memory"},
    {code::EnterTestOperation, Needs::Standstill, "enter test operation"},
    {code::WriteEepromWord, Needs::Standstill, "write memory word"},
    {code::WriteCalibration, Needs::Standstill, "write calibration"},
    {code::WriteSerialNumber, Needs::Standstill, "write serial number"},
    {code::LoaderBlock, Needs::Transfer, "loader block"},
    {code::FirmwareBlock, Needs::Transfer, "firmware block"},
    {code::LoaderDone, Needs::Transfer, "loader end"},
    {code::FirmwareDone, Needs::Transfer, "firmware end"},
};

const CommandRule* FindCommandRule(int command) {
    for (const CommandRule& rule : kCommandRules) {
        if (rule.command == command) return &rule;
    }
    return nullptr;
}

bool IsTransferCommand(int command) {
    const CommandRule* rule = FindCommandRule(command);
    return rule != nullptr && rule->needs == Needs::Transfer;
}

}  // namespace

int LinkOutlet::send(link::Telegram request) {
    return m_link.sendRequest(std::move(request));
}

int LinkOutlet::setPollMode(int mode) {
    return m_link.setPollMode(mode);
}

int LinkOutlet::fetchReply(link::Telegram& reply) {
    return m_link.fetchReply(reply);
}

RequestOutlet& NoDrive() {
    // Stateless, so one serves every image.
    static NoDriveOutlet outlet;
    return outlet;
}

std::string CommandName(int command) {
    if (const GroupLayout* group = FindGroupByWriteCommand(command)) {
        char text[32];
        std::snprintf(text, sizeof text, "write group 0x%02X", group->code);
        return text;
    }
    if (const CommandRule* rule = FindCommandRule(command)) return rule->name;
    char text[32];
    std::snprintf(text, sizeof text, "command 0x%02X", static_cast<unsigned>(command) & 0xFFu);
    return text;
}

std::string GateRefusal::describe() const {
    const std::string what = CommandName(command);
    switch (reason) {
        case Reason::Value: {
            std::string text = what + " refused: ";
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (i > 0) text += "; ";
                text += values[i].describe();
            }
            return text;
        }
        case Reason::MotorTurning:
            return what + " refused: the motor is running (operation not allowed)";
        case Reason::StateUnknown:
            return what + " refused: the drive's state is not known (no status from the drive)";
        case Reason::TransferHolds:
            return what + " refused: a firmware download holds the drive";
        case Reason::NoTransfer:
            return what + " refused: no firmware download is under way";
        case Reason::NotAGroup:
            return what + " refused: no writable parameter group";
        case Reason::NotQueued:
            return what + " was not queued for the drive";
    }
    return what + " refused";
}

DriveGate::DriveGate(DriveData& data, RequestOutlet& outlet) : m_data(data), m_outlet(&outlet) {}

void DriveGate::observeStatus(const std::array<std::uint8_t, 4>& status) {
    m_status = status;
}

void DriveGate::observeLink(bool up) {
    if (!up) m_status.reset();
}

bool DriveGate::operationAllowed() const {
    return m_status.has_value() && ((*m_status)[1] & 0x01) != 0;
}

int DriveGate::addRefusalListener(std::function<void(const GateRefusal&)> listener) {
    m_onRefusal.emplace_back(m_nextListener, std::move(listener));
    return m_nextListener++;
}

int DriveGate::addSentListener(std::function<void(const link::Telegram&)> listener) {
    m_onSent.emplace_back(m_nextListener, std::move(listener));
    return m_nextListener++;
}

void DriveGate::removeListener(int id) {
    std::erase_if(m_onRefusal, [id](const auto& entry) { return entry.first == id; });
    std::erase_if(m_onSent, [id](const auto& entry) { return entry.first == id; });
}

GateResult DriveGate::refuse(GateRefusal::Reason reason, int command) const {
    GateRefusal refusal;
    refusal.reason = reason;
    refusal.command = command;
    return refuse(std::move(refusal));
}

std::optional<GateRefusal::Reason> DriveGate::standstillBlocker() const {
    if (!m_status) return GateRefusal::Reason::StateUnknown;
    if (!operationAllowed()) return GateRefusal::Reason::MotorTurning;
    return std::nullopt;
}

GateResult DriveGate::refuse(GateRefusal refusal) const {
    // A copy: a listener may remove itself.
    const auto listeners = m_onRefusal;
    for (const auto& [id, listener] : listeners) listener(refusal);
    return refusal;
}

GateResult DriveGate::pass(link::Telegram request) {
    const int command = request.command;
    const link::Telegram copy = m_onSent.empty() ? link::Telegram{} : request;
    if (m_outlet->send(std::move(request)) != 0)
        return refuse(GateRefusal::Reason::NotQueued, command);
    const auto listeners = m_onSent;
    for (const auto& [id, listener] : listeners) listener(copy);
    return std::nullopt;
}

std::optional<GateRefusal::Reason> DriveGate::blocker(int command) const {
    using Reason = GateRefusal::Reason;
    const bool transferCommand = IsTransferCommand(command);
    if (m_transfer && !transferCommand && command != code::StopMotor) return Reason::TransferHolds;
    if (!m_transfer && transferCommand) return Reason::NoTransfer;
    const CommandRule* rule = FindCommandRule(command);
    // Group writes and commands no rule names change settings.
    const Needs needs = rule != nullptr ? rule->needs : Needs::Standstill;
    switch (needs) {
        case Needs::Nothing:
        case Needs::Transfer:
            return std::nullopt;
        case Needs::TestOperation:
            if (m_testOperation) return std::nullopt;
            break;
        case Needs::Standstill:
            break;
    }
    return standstillBlocker();
}

GateResult DriveGate::send(link::Telegram request) {
    const int command = request.command;
    // A group write travels only with the image it was checked against.
    if (FindGroupByWriteCommand(command) != nullptr)
        return refuse(GateRefusal::Reason::NotAGroup, command);
    if (const auto reason = blocker(command)) return refuse(*reason, command);
    if (command == code::EnterTestOperation) m_testOperation = true;
    if (command == code::LeaveTestOperation) m_testOperation = false;
    return pass(std::move(request));
}

GateResult DriveGate::writeGroup(int writeCommand) {
    return writeGroupOf(m_data, writeCommand);
}

GateResult DriveGate::writeGroupOf(DriveData& image, int writeCommand) {
    GateRefusal refusal;
    refusal.command = writeCommand;
    const GroupLayout* group = FindGroupByWriteCommand(writeCommand);
    if (group == nullptr) {
        refusal.reason = GateRefusal::Reason::NotAGroup;
        return refuse(std::move(refusal));
    }
    bool settingsChange = false;
    for (const FieldLayout& field : group->fields) {
        const std::uint32_t word = image.Working(field.parameter);
        if (word == image.Image(field.parameter)) continue;
        if (field.parameter != param::kSetSpeed) settingsChange = true;
        if (auto value = CheckParameterValue(field.parameter, word, image)) {
            refusal.values.push_back(*value);
        }
    }
    if (!refusal.values.empty()) {
        refusal.reason = GateRefusal::Reason::Value;
        return refuse(std::move(refusal));
    }
    // The technician's test operation sets its current limit while it runs.
    const bool testCurrent = m_testOperation && group->code == code::Group51;
    if (m_transfer) return refuse(GateRefusal::Reason::TransferHolds, writeCommand);
    if (settingsChange && !testCurrent) {
        if (const auto reason = standstillBlocker()) return refuse(*reason, writeCommand);
    }
    image.CopyWorkingToImage();
    return pass(BuildWriteGroup(group->code, image.ImageWords()));
}

std::vector<ValueRefusal> DriveGate::checkValues(const std::vector<int>& parameters,
                                                 const DriveData& values) const {
    std::vector<ValueRefusal> refusals;
    for (int parameter : parameters) {
        // What the drive already holds is no change, as in writeGroup.
        if (values.Working(parameter) == values.Image(parameter)) continue;
        if (auto refusal = CheckParameterValue(parameter, values.Working(parameter), values)) {
            refusals.push_back(*refusal);
        }
    }
    return refusals;
}

GateResult DriveGate::setPollMode(link::PollMode mode) {
    if (m_transfer) return refuse(GateRefusal::Reason::TransferHolds, 0);
    m_pageMode = mode;
    const int word = static_cast<int>(mode) | (m_sampling ? link::kWithOperatingValues : 0);
    if (m_outlet->setPollMode(word) != 0) {
        GateRefusal refusal;
        refusal.reason = GateRefusal::Reason::NotQueued;
        return refusal;
    }
    return std::nullopt;
}

void DriveGate::setSampling(bool sampling) {
    if (sampling == m_sampling) return;
    m_sampling = sampling;
    // The transfer's own modes stand; the page sets its mode again after it.
    if (m_pageMode && !m_transfer) (void)setPollMode(*m_pageMode);
}

bool DriveGate::pagePolls(int group) const {
    if (!m_pageMode) return false;
    const auto groups = link::PollPlanFor(static_cast<int>(*m_pageMode)).groups;
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

GateResult DriveGate::beginTransfer() {
    if (const auto reason = standstillBlocker()) return refuse(*reason, code::LoaderBlock);
    m_transfer = true;
    return std::nullopt;
}

GateResult DriveGate::setTransferPollMode(int mode) {
    if (!m_transfer) return refuse(GateRefusal::Reason::NoTransfer, 0);
    if (m_outlet->setPollMode(mode) != 0) {
        GateRefusal refusal;
        refusal.reason = GateRefusal::Reason::NotQueued;
        return refusal;
    }
    return std::nullopt;
}

void DriveGate::endTransfer() {
    m_transfer = false;
}

}  // namespace velmora::model
