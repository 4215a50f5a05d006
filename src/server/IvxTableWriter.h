#pragma once
// IvxTableWriter: writes whole table families (.DB and its .PX, X/Y, .VAL, .MB), each checked
// against the rules every family keeps before it is put in the directory. Failures throw
// (EvxEngineError, std::system_error, EvxRunError); a failed table leaves nothing of itself
// behind.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/IvxRecordSource.h"
#include "model/clvxTableDesc.h"

namespace morvane {

struct TvxWriteRequest
{
    std::string directory;
    std::string baseName; // file name without extension; its letter case is kept
    const TvxTableDesc* desc = nullptr;
    IvxRecordSource* records = nullptr; // in any order: a keyed table is sorted
    std::string password;               // empty: not protected
    // The .DB the records come from (its autoincrement counter and sort order carry over);
    // empty for a new table.
    std::string originPath;
    // The structure of another table the run writes, by file name ("ITENS.DB"): the master
    // side of a rule records its index names. Null when not known.
    std::function<const TvxTableDesc*(std::string_view fileName)> otherTable;
};

class IvxTableWriter
{
public:
    virtual ~IvxTableWriter() = default;

    // Returns what had to change to write the table (a level raised, an index added).
    virtual std::vector<std::string> WriteTable(const TvxWriteRequest& request) = 0;
};

} // namespace morvane
