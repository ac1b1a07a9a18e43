#pragma once
// The one-time hint shown when the chosen serial device cannot be opened
// because of its permissions or because another program holds it.
#include <QString>

#include "link/seriallink_api.h"

namespace velmora::frame {

// Empty when the failure is not one the user can fix this way.
[[nodiscard]] QString PortProblemText(const link::OpenFailure& failure);

}  // namespace velmora::frame
