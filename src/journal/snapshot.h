#pragma once
// A drive's parameters as one moment saw them: what a connection entry keeps
// in its detail ("snapshot": {"0x50": {"p1": "120.50", …}, …}), what the
// drive's image holds now, and the comparison and restore of two of them.
// The window's history view and velmora-cli read and write it the same way.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "journal/entry.h"
#include "model/drivedata.h"

namespace velmora::journal {

// Parameter number -> its value as the pages show it (ParameterText).
using Snapshot = std::map<int, std::string>;

// The snapshot JSON of a connection entry, grouped by reply code in group order.
[[nodiscard]] std::string SnapshotJson(const Snapshot& snapshot);
// The snapshot an entry holds (a connection or an undo snapshot); nullopt for
// another entry or a detail that is no snapshot. Unknown keys are skipped.
[[nodiscard]] std::optional<Snapshot> SnapshotOf(const Entry& entry);
// Whether the entry is one a snapshot can be taken from.
[[nodiscard]] bool HoldsSnapshot(const Entry& entry);
// The groups 0x50..0x5A the image has received, as the pages would show them.
[[nodiscard]] Snapshot SnapshotOfImage(const model::DriveData& data);

// An undo snapshot entry: the drive's image now, with its type and firmware
// as a connection entry keeps them; `note` says what it was taken before.
[[nodiscard]] Entry SnapshotEntry(std::optional<std::uint32_t> serial, const model::DriveData& data,
                                  const std::string& note);

struct SnapshotDifference {
    int parameter = 0;
    std::string before;  // empty: not in the first snapshot
    std::string after;   // empty: not in the second
};
// Every parameter whose text differs, ascending. Live values (group 0x59
// but the memory slot last loaded: speed, currents, hours of that moment) are
// left out: they differ at every look and say nothing of what was changed.
[[nodiscard]] std::vector<SnapshotDifference> CompareSnapshots(const Snapshot& before,
                                                               const Snapshot& after);

// Puts a value as the pages show it into the working copy (scaled parameters
// rounded as a typed value is). False when the text is no number of that form.
bool ApplyParameterText(model::DriveData& data, int parameter, const std::string& text);

// What writing a snapshot back means: its writable values laid over `target`
// (a copy of the drive as read), the parameters and the write groups touched.
struct RestorePlan {
    std::vector<int> parameters;
    std::vector<int> groups;          // reply codes, ascending
    std::optional<int> badParameter;  // a value that did not parse: nothing may be written
};
[[nodiscard]] RestorePlan PlanRestore(const Snapshot& snapshot, model::DriveData& target);

}  // namespace velmora::journal
