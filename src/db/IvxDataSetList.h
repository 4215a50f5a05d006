#pragma once
// What the database connection fills on connect and clears on disconnect: the table list
// box presents it. Items are (table name, descriptor); the list takes the descriptors.

#include <memory>
#include <string>
#include <vector>

#include "model/clvxTableDesc.h"

namespace morvane {

class IvxEngineDatabase;

struct TvxTableItem
{
    std::string name;
    std::unique_ptr<TvxTableDesc> desc;
};
using TvxTableItems = std::vector<TvxTableItem>;

class IvxDataSetList
{
public:
    virtual ~IvxDataSetList() = default;
    // The connected database's handle, or null after disconnecting.
    virtual void SetDatabaseHandle(IvxEngineDatabase* handle) = 0;
    virtual void ReplaceItems(TvxTableItems items) = 0;
    virtual void ClearItems() = 0;
};

} // namespace morvane
