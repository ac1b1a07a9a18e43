#include "frame/history/snapshotrestore.h"

#include "journal/journalstore.h"
#include "journal/snapshot.h"
#include "model/grouplayout.h"

namespace velmora::frame {
namespace {

using Status = SnapshotRestoreResult::Status;

std::string EntryName(std::int64_t id) {
    return "journal entry " + std::to_string(id);
}

// The drive as it is now, as its own entry; its number once it is written.
std::int64_t KeepUndo(const model::DriveData& data, journal::WriteRecorder& recorder,
                      std::int64_t restoredId) {
    journal::Entry undo = journal::SnapshotEntry(recorder.serial(), data,
                                                 "before restoring " + EntryName(restoredId));
    journal::Journal& journal = recorder.journal();
    const std::int64_t token = journal.record(std::move(undo));
    // The undo must be on disk before the drive changes: its number is what
    // the restore entry names and what a user restores from.
    journal.flush();
    if (journal.failed()) return 0;
    journal::JournalStore store;
    if (!store.openForReading(journal.file())) return 0;
    const auto written = store.findByToken(token);
    return written ? written->id : 0;
}

}  // namespace

SnapshotRestoreResult RestoreSnapshot(const journal::Entry& entry, model::DriveData& data,
                                      journal::WriteRecorder& recorder) {
    SnapshotRestoreResult result;
    const auto snapshot = journal::SnapshotOf(entry);
    if (!snapshot) return {Status::NoSnapshot, {}, 0};
    if (data.GroupsIncomplete() != 0) return {Status::NotRead, {}, 0};

    // The snapshot laid over the drive as read, in a copy writing through
    // the window's gate: the pages' working values stay theirs.
    model::DriveData target = data;
    target.useGate(data.gate());
    target.TakeImage();
    const journal::RestorePlan plan = journal::PlanRestore(*snapshot, target);
    if (plan.badParameter || plan.groups.empty()) return {Status::NoSnapshot, {}, 0};
    const std::string restored = EntryName(entry.id);
    if (!data.gate().operationAllowed()) {
        recorder.recordRestore(restored, {}, std::string(journal::outcome::kRefused));
        return {Status::MotorTurning, {}, 0};
    }
    result.refusals = data.gate().checkValues(plan.parameters, target);
    if (!result.refusals.empty()) {
        recorder.recordRestore(restored, {}, std::string(journal::outcome::kRefused));
        result.status = Status::Refused;
        return result;
    }
    result.undoEntry = KeepUndo(data, recorder, entry.id);
    if (result.undoEntry == 0) return {Status::NoUndo, {}, 0};

    for (int code : plan.groups) {
        if (data.gate().writeGroupOf(target, model::WriteCommandOf(code))) {
            result.status = Status::NotSent;
            break;
        }
    }
    recorder.recordRestore(
        restored, EntryName(result.undoEntry),
        result.status == Status::Sent ? std::string(journal::outcome::kSent) : "stopped part way");
    // Read back: the pages show the drive's values and the journal confirms them.
    for (int code : plan.groups) data.RequestGroup(1, code);
    return result;
}

}  // namespace velmora::frame
