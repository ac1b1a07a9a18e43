#pragma once
// The drive history as a CSV file: one line per entry, in the order given,
// under a header naming the columns; text with a comma, quote or line break
// is quoted, a quote doubled.
#include <string>
#include <vector>

#include "journal/entry.h"

namespace velmora::frame {

[[nodiscard]] std::string TimelineCsv(const std::vector<journal::Entry>& entries);

}  // namespace velmora::frame
