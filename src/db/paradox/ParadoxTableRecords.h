#pragma once
// The engine records of one table, filled from what its files hold. Texts keep the bytes of
// the files (the table's code page).

#include <string_view>
#include <vector>

#include "db/paradox/ParadoxTable.h"
#include "model/TvxCursorProps.h"
#include "model/TvxFieldDesc.h"
#include "model/TvxIndexDesc.h"
#include "model/TvxRefIntDesc.h"
#include "model/TvxValCheckDesc.h"

namespace morvane {

// tableName: the name the table was opened with ("CUSTOMER.DB").
TvxCursorProps ParadoxCursorProps(const ParadoxTable& table, std::string_view tableName);
std::vector<TvxFieldDesc> ParadoxFieldDescs(const ParadoxTable& table);
// Primary key first (empty name, id 0), then the secondary indexes.
std::vector<TvxIndexDesc> ParadoxIndexDescs(const ParadoxTable& table);
// Rules where this table is the dependent, then those where it is the master.
std::vector<TvxRefIntDesc> ParadoxRefIntDescs(const ParadoxTable& table);
std::vector<TvxValCheckDesc> ParadoxValCheckDescs(const ParadoxTable& table);

} // namespace morvane
