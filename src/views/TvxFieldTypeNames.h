#pragma once
// TvxFieldTypeNames: the names of the driver's field types by physical type code, as the
// field views show them. A value, taken from the database connection's field-type list by
// whoever owns both; an empty one names no type.

#include "db/cpDatabase.h"

#include <QString>

#include <utility>
#include <vector>

namespace morvane {

class TvxFieldTypeNames
{
public:
    TvxFieldTypeNames() = default;
    explicit TvxFieldTypeNames(const TvxFieldTypeList& types);

    // The name of that type; empty when the code is not among the types.
    QString NameOf(int typeCode) const;
    bool Empty() const { return names_.empty(); }

private:
    std::vector<std::pair<int, QString>> names_;
};

} // namespace morvane
