#pragma once
// The values of a validity check's areas (minimum, maximum, default: the engine's value forms
// of vxFieldTypes.h) as record values and back. Free functions, no state.

#include <cstdint>

#include "model/TvxFieldValue.h"

namespace morvane {

enum class TvxAreaValue { Value, Now, None };

// Value: `out` holds it; Now: the area says TODAY or NOW (Date, Time, Timestamp); None: the
// type has no value form, or the area does not decode (a damaged BCD).
TvxAreaValue AreaToValue(const std::uint8_t* area, int type, int bcdDecimals, TvxFieldValue& out);
// Zeroes the area and stores the value (a blank leaves it zero); false when the type has no
// value form or the value does not fit it.
bool ValueToArea(const TvxFieldValue& value, int type, int bcdDecimals, std::uint8_t* area);

} // namespace morvane
