#pragma once
// Writes a snapshot of the drive journal back to the drive the window is
// linked to, the guarded way a backup is restored: the snapshot is judged
// whole by the gate's rules before anything is sent, the motor must stand
// (group 0x50 alone would pass while it turns, and a restore must not half
// happen), and the drive as it is now is kept in the journal as an undo
// snapshot first; a restore whose undo cannot be kept sends nothing.
#include <cstdint>
#include <vector>

#include "journal/entry.h"
#include "journal/writerecorder.h"
#include "model/drivedata.h"

namespace velmora::frame {

struct SnapshotRestoreResult {
    enum class Status {
        Sent,          // every group went out; the pages read them back
        NotRead,       // the drive's groups are not all read yet: no undo could be taken
        MotorTurning,  // the motor is not known to stand
        Refused,       // values outside the rules (`refusals`); nothing sent
        NoSnapshot,    // the entry holds no snapshot, or a value that does not parse
        NoUndo,        // the journal did not keep the undo snapshot; nothing sent
        NotSent,       // the gate stopped a group part way (told to its listeners)
    };
    Status status = Status::Sent;
    std::vector<model::ValueRefusal> refusals;
    std::int64_t undoEntry = 0;  // the undo snapshot's entry number
};

[[nodiscard]] SnapshotRestoreResult RestoreSnapshot(const journal::Entry& entry,
                                                    model::DriveData& data,
                                                    journal::WriteRecorder& recorder);

}  // namespace velmora::frame
