#pragma once
// IvxTableReader: one directory of Paradox tables as the server reads it, structure and
// records. Failures throw EvxEngineError naming the file; a protected table that none of the
// reader's passwords opens gives vxErrPasswordRequired.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/IvxRecordSource.h"
#include "model/clvxTableDesc.h"

namespace morvane {

class IvxTableReader
{
public:
    virtual ~IvxTableReader() = default;

    virtual std::string Directory() const = 0;
    // The file of the table called name (letter case ignored; ".DB" may be left off), as the
    // directory names it; nullopt when there is none.
    virtual std::optional<std::string> FindTable(std::string_view name) = 0;
    // Cursor properties, fields, indexes, validity checks and the rules of both sides.
    virtual TvxTableDesc ReadStructure(const std::string& file) = 0;
    // Of the reader's passwords, the one that opens the table; empty when it is not protected.
    virtual std::string OpeningPassword(const std::string& file) = 0;
    virtual std::int64_t RecordCount(const std::string& file) = 0;
    // The records in the table's order.
    virtual std::unique_ptr<IvxRecordSource> OpenRecords(const std::string& file) = 0;
};

} // namespace morvane
