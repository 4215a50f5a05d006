#pragma once
// Keys of records: the values of some fields encoded into one byte string, so that two records
// have equal keys exactly when those values are equal (texts optionally in the capitals of the
// table's language driver: upper maps each byte). Used for duplicate keys, rules and field
// look-ups.

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/TvxFieldValue.h"

namespace morvane {

using TvxKeySet = std::unordered_set<std::string>;

void AppendKeyValue(std::string& key, const TvxFieldValue& value, const std::uint8_t* upper = nullptr);
// The key of the fields at `positions` of the record; false (key unusable) when one is blank
// and allowBlank is false.
bool RecordKey(const TvxRecord& record, const std::vector<int>& positions, const std::uint8_t* upper, bool allowBlank,
               std::string& key);

} // namespace morvane
