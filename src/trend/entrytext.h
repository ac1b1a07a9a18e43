#pragma once
// The event log's line for one entry of the drive's journal, made when it is
// shown so that it is in the language chosen now.
#include <QString>

#include "journal/entry.h"

namespace velmora::trend {

// Without the time.
[[nodiscard]] QString EntryText(const journal::Entry& entry);

}  // namespace velmora::trend
