#pragma once
// The values of a batch of records in the forms the SQLite export binds them: integers,
// reals, texts in UTF-8 (dates and times ISO, BCD exact) and blobs, NULL for a blank or a
// value the record lacks. Texts point into the records or into the batch's own buffer, so the
// records must stay unchanged until the values have been used. Nothing throws but bad_alloc.

#include "model/TvxFieldValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

struct TvxSqliteValue
{
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    const char* data = nullptr; // Text, Blob: size bytes (never a null pointer)
    std::size_t size = 0;
};

class TvxSqliteBatchValues
{
public:
    // types: the field type of each value position (TvxFieldType codes); codePage: the table's.
    void Prepare(const TvxRecord* records, std::size_t count, const std::vector<int>& types, int codePage);
    // The values of record i of the batch, one per type.
    const TvxSqliteValue* Record(std::size_t i) const { return values_.data() + i * width_; }

private:
    std::size_t width_ = 0;
    std::vector<TvxSqliteValue> values_;
    std::string texts_; // texts converted for SQLite
};

} // namespace morvane
