#include "journal/writerecorder.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "journal/snapshot.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameterrules.h"
#include "model/parameters.h"

namespace velmora::journal {
namespace {

constexpr int kFirstGroup = model::code::Group50;
constexpr int kLastGroup = model::code::Group5A;
constexpr std::uint32_t kAllGroups = (1u << (kLastGroup - kFirstGroup + 1)) - 1;

// Requests that change nothing on the drive, and the transfer's blocks (the
// transfer is one firmware entry of its own).
bool Unrecorded(int command) {
    using namespace model::code;
    switch (command) {
        case ReadGroup:
        case LinkCheck:
        case TestOperationValues:
        case LoaderBlock:
        case FirmwareBlock:
        case LoaderDone:
        case FirmwareDone:
            return true;
        default:
            return false;
    }
}

EntryKind ActionKind(int command) {
    switch (command) {
        case model::code::StartMotor:
            return EntryKind::Start;
        case model::code::StopMotor:
            return EntryKind::Stop;
        case model::code::ResetDrive:
            return EntryKind::Reset;
        default:
            return EntryKind::Action;
    }
}

std::string ActionName(const link::Telegram& request) {
    std::string name = model::CommandName(request.command);
    if (!request.data.empty() && request.data.size() == 1)
        name += " " + std::to_string(request.data.front());
    return name;
}

EntryKind WriteKind(int parameter) {
    return parameter == model::param::kRotationDirection ? EntryKind::Direction : EntryKind::Write;
}

std::string ParameterName(int parameter) {
    return "p" + std::to_string(parameter);
}

}  // namespace

std::string ParameterText(int parameter, std::uint32_t word) {
    const int scale = model::ScaleFactor(parameter);
    if (scale <= 1) return std::to_string(word);
    char text[32];
    std::snprintf(text, sizeof text, scale == 100 ? "%.2f" : "%.1f",
                  static_cast<double>(word) / scale);
    return text;
}

WriteRecorder::WriteRecorder(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}

void WriteRecorder::watch(model::DriveGate& gate) {
    std::shared_ptr<WriteRecorder> self = shared_from_this();
    m_listeners.push_back(
        gate.addSentListener([self](const link::Telegram& request) { self->recordSent(request); }));
    m_listeners.push_back(gate.addRefusalListener(
        [self](const model::GateRefusal& refusal) { self->recordRefused(refusal); }));
}

void WriteRecorder::unwatch(model::DriveGate& gate) {
    for (int id : m_listeners) gate.removeListener(id);
    m_listeners.clear();
}

void WriteRecorder::connected(const std::string& port) {
    close();
    m_port = port;
    m_connectedAt = NowUnixMs();
    m_connectionDue = true;
    m_groupsSeen = 0;
    m_fault.reset();
}

std::string WriteRecorder::known(int parameter) const {
    return m_read[parameter] ? ParameterText(parameter, m_words[parameter]) : std::string();
}

void WriteRecorder::observeReply(const link::Telegram& reply) {
    const model::GroupLayout* group = model::FindGroup(reply.command);
    if (group == nullptr) return;
    link::Telegram copy = reply;
    std::array<std::uint32_t, 156> values{};
    if (model::ParseGroup(copy, values) != 0) return;
    for (const model::FieldLayout& field : group->fields) {
        const int p = field.parameter;
        m_words[p] = values[p];
        m_read[p] = true;
        // A read queued before the write may still answer with the old value.
        if (auto pending = m_pending.find(p);
            pending != m_pending.end() && pending->second.word == values[p]) {
            m_journal->setOutcome(pending->second.token, outcome::kConfirmed);
            m_pending.erase(pending);
        }
    }
    if (group->code >= kFirstGroup && group->code <= kLastGroup)
        m_groupsSeen |= 1u << (group->code - kFirstGroup);
    if (model::GroupOfParameter(model::param::kSerialNumber) == group)
        m_serial = values[model::param::kSerialNumber];
    if (m_connectionDue && m_groupsSeen == kAllGroups) emitConnection();
}

void WriteRecorder::observeStatus(const std::array<std::uint8_t, 4>& status) {
    const std::pair<int, int> fault{status[2], status[3]};
    if (m_fault == fault) return;
    if (m_fault && m_fault->first != 0)
        m_journal->recordFault(m_serial, false, m_fault->first, m_fault->second);
    if (fault.first != 0) m_journal->recordFault(m_serial, true, fault.first, fault.second);
    m_fault = fault;
}

void WriteRecorder::recordSent(const link::Telegram& request) {
    if (Unrecorded(request.command)) return;
    emitConnection();
    const model::GroupLayout* group = model::FindGroupByWriteCommand(request.command);
    if (group == nullptr) {
        m_journal->recordAction(m_serial, ActionKind(request.command), ActionName(request),
                                outcome::kSent);
        return;
    }
    link::Telegram copy = request;
    copy.command = group->code;
    std::array<std::uint32_t, 156> values{};
    if (model::ParseGroup(copy, values) != 0) return;
    for (const model::FieldLayout& field : group->fields) {
        const int p = field.parameter;
        if (m_read[p] && m_words[p] == values[p]) continue;
        const std::int64_t token =
            m_journal->recordWrite(m_serial, ParameterName(p), known(p),
                                   ParameterText(p, values[p]), outcome::kSent, WriteKind(p));
        m_pending[p] = {token, values[p]};
        m_words[p] = values[p];
        m_read[p] = true;
    }
}

void WriteRecorder::recordRefused(const model::GateRefusal& refusal) {
    if (refusal.command == 0 && refusal.values.empty()) return;  // a poll mode
    emitConnection();
    for (const model::ValueRefusal& value : refusal.values) {
        Entry entry;
        entry.kind = WriteKind(value.parameter);
        entry.serial = m_serial;
        entry.parameter = ParameterName(value.parameter);
        entry.oldValue = known(value.parameter);
        entry.newValue = model::FormatShown(value.value);
        entry.outcome = outcome::kRefused;
        entry.detail = nlohmann::json{{"why", value.describe()}}.dump();
        m_journal->record(std::move(entry));
    }
    if (!refusal.values.empty()) return;
    Entry entry;
    entry.kind = model::FindGroupByWriteCommand(refusal.command) != nullptr
                     ? EntryKind::Write
                     : ActionKind(refusal.command);
    entry.serial = m_serial;
    entry.parameter = model::CommandName(refusal.command);
    entry.outcome = outcome::kRefused;
    entry.detail = nlohmann::json{{"why", refusal.describe()}}.dump();
    m_journal->record(std::move(entry));
}

void WriteRecorder::recordRunInStart(const std::string& program) {
    emitConnection();
    m_journal->recordRunInStart(m_serial, program);
}

void WriteRecorder::recordRunInEnd(const std::string& certificate, const std::string& result) {
    emitConnection();
    m_journal->recordRunInEnd(m_serial, certificate, result);
}

void WriteRecorder::recordFirmware(const std::vector<FirmwareFile>& files,
                                   const std::string& outcome) {
    emitConnection();
    m_journal->recordFirmware(m_serial, files, outcome);
}

void WriteRecorder::recordRestore(const std::string& file, const std::string& undoFile,
                                  const std::string& outcome) {
    emitConnection();
    m_journal->recordRestore(m_serial, file, undoFile, outcome);
}

void WriteRecorder::settle(bool reached) {
    for (const auto& [parameter, pending] : m_pending)
        m_journal->setOutcome(pending.token, reached ? outcome::kAnswered : outcome::kLost);
    m_pending.clear();
}

void WriteRecorder::close() {
    emitConnection();
    settle(false);
}

void WriteRecorder::emitConnection() {
    if (!m_connectionDue) return;
    m_connectionDue = false;
    Snapshot snapshot;
    for (int code = kFirstGroup; code <= kLastGroup; ++code) {
        if ((m_groupsSeen & (1u << (code - kFirstGroup))) == 0) continue;
        for (const model::FieldLayout& field : model::FindGroup(code)->fields)
            snapshot[field.parameter] = known(field.parameter);
    }
    Journal::Connection connection;
    connection.port = m_port;
    connection.serial = m_serial;
    connection.type = known(model::param::kInverterType);
    connection.firmware = known(model::param::kFirmwareVersion);
    connection.snapshotJson = SnapshotJson(snapshot);
    connection.unixMs = m_connectedAt;
    m_journal->recordConnection(connection);
}

}  // namespace velmora::journal
