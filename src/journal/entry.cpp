#include "journal/entry.h"

#include <array>
#include <utility>

namespace velmora::journal {
namespace {

constexpr std::array<std::pair<EntryKind, std::string_view>, 14> kKindNames{{
    {EntryKind::Connection, "connection"},
    {EntryKind::Write, "write"},
    {EntryKind::Action, "action"},
    {EntryKind::FaultRaised, "fault_raised"},
    {EntryKind::FaultCleared, "fault_cleared"},
    {EntryKind::Start, "start"},
    {EntryKind::Stop, "stop"},
    {EntryKind::Reset, "reset"},
    {EntryKind::Direction, "direction"},
    {EntryKind::RunInStart, "runin_start"},
    {EntryKind::RunInEnd, "runin_end"},
    {EntryKind::Firmware, "firmware"},
    {EntryKind::Restore, "restore"},
    {EntryKind::Snapshot, "snapshot"},
}};

}  // namespace

std::string_view KindName(EntryKind kind) {
    for (const auto& [k, name] : kKindNames)
        if (k == kind) return name;
    return "unknown";
}

std::optional<EntryKind> KindFromName(std::string_view name) {
    for (const auto& [k, text] : kKindNames)
        if (text == name) return k;
    return std::nullopt;
}

}  // namespace velmora::journal
