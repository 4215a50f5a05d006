#pragma once
// The Paradox driver's field types (table type "PDOX 7.0"): one record per physical type
// code 257-273, in code order, with the limits of units1 and units2.

#include <vector>

#include "model/TvxFieldTypeRec.h"

namespace morvane {

std::vector<TvxFieldTypeRec> ParadoxFieldTypes();

} // namespace morvane
