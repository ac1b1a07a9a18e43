#pragma once
// The motor panels' edit field with its spin button is the shared step edit:
// each arrow press asks the owner for the step worked out from the text.
#include "pages/control/stepedit.h"

namespace velmora::pages {
using SpinField = StepEdit;
}  // namespace velmora::pages
