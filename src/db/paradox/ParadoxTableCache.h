#pragma once
// Reads the files of one table (.DB, .PX, .Xnn/.XGn with their .Y partners, .VAL) from a
// directory and keeps the result until one of those files changes (path, modification time
// and size), so the several reads of one table parse each file once. Throws EvxEngineError
// naming the damaged file.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/paradox/ParadoxDirectory.h"
#include "db/paradox/ParadoxTable.h"

namespace morvane {

class ParadoxTableCache
{
public:
    // dbFileName: the .DB file's name as the directory holds it.
    std::shared_ptr<const ParadoxTable> Load(ParadoxDirectory& dir, const std::string& dbFileName);
    // Number of files parsed so far (each parse of a header or a .VAL counts one).
    std::size_t ParseCount() const { return parses_; }

private:
    struct Entry
    {
        std::vector<ParadoxFileStamp> stamps;
        std::shared_ptr<const ParadoxTable> table;
    };
    std::map<std::string, Entry> entries_;
    std::size_t parses_ = 0;
};

} // namespace morvane
