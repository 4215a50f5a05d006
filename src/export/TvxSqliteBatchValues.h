#pragma once
// The values of a batch of records in the forms the SQLite export binds them: integers,
// reals, texts in UTF-8 (dates and times ISO, BCD exact) and blobs, NULL for a blank or a
// value the record lacks. Texts and blobs are in the batch's own buffer, or (long ones) in the
// records, which must then stay unchanged until the values have been used. Nothing throws but bad_alloc.

#include "model/TvxFieldValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

// 16 bytes, so that a batch's values stay few cache lines: SQLite's thread reads them after
// the reading thread wrote them.
struct TvxSqliteValue
{
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    union {
        std::int64_t integer = 0; // Integer
        double real;              // Real
        const char* data;         // Text, Blob: size bytes (never a null pointer)
    };
    std::uint32_t size = 0;
    Kind kind = Kind::Null;
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
    std::string texts_;               // texts converted for SQLite
    std::vector<std::size_t> madeAt_; // where in texts_ those of values_ with no data yet are
};

} // namespace morvane
