#pragma once
// The number rules live beside the parameter files in the model; the pages
// use them under their own names.
#include "model/numberparse.h"

namespace velmora::pages {

using model::FormatFixed;
using model::ParseDouble;
using model::ParseReal;
using model::ParseUnsigned;
using model::SkipBlanks;

}  // namespace velmora::pages
