#pragma once
// A batch of records as the rows of a binary COPY (the column types of vxPostgresSchema.h),
// made on the reading thread of the PostgreSQL export. A record whose key is blank or was
// given before (among `keys`: the first record with a key holds it, even one the server
// refuses later, so that what is refused does not depend on the threads' timing) is not among
// the rows but among the refused, with the reason, as is one with a value PostgreSQL cannot
// hold. Nothing throws but bad_alloc.

#include "model/TvxFieldValue.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace morvane {

class TvxPostgresCopyValues
{
public:
    struct Refused
    {
        std::size_t record; // in the batch
        std::string reason;
    };

    // types: the field type of each column (TvxFieldType codes); key: 0-based key fields;
    // keys: those of the table's records before, which the batch's are added to.
    void Prepare(const TvxRecord* records, std::size_t count, const std::vector<int>& types, int codePage,
                 const std::vector<int>& key, std::unordered_set<std::string>& keys);

    std::size_t Rows() const { return rows_.size(); }
    std::size_t RecordOf(std::size_t row) const { return rows_[row].record; }
    // The COPY input of rows [first, first + count): header, tuples, trailer; valid until the next call.
    std::string_view Data(std::size_t first, std::size_t count);
    const std::vector<Refused>& Refusals() const { return refused_; }

private:
    struct Row
    {
        std::size_t record;
        std::size_t offset; // in data_, after the header
    };

    std::string data_; // header, the tuples, the trailer
    std::string part_; // Data of some of the rows
    std::vector<Row> rows_;
    std::vector<Refused> refused_;
};

} // namespace morvane
