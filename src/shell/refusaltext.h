#pragma once
// The words the window shows when the guarded way to the drive refused a
// write or an action, in the interface language.
#include <QString>

#include "model/drivegate.h"

namespace velmora::shell {

[[nodiscard]] QString RefusalText(const model::GateRefusal& refusal);

}  // namespace velmora::shell
