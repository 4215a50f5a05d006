#pragma once
// One value of one field of a table's record, in the model's forms (those of vxEngineValues),
// and a record as the list of its values in field order. Plain data: the field's type says how
// a value is read; the value only says which form it holds.
//
//   Blank      a blank value of any type (never zero, never an empty text)
//   Integer    Short, Long, Autoincrement
//   Float      Number, Money
//   Logical    Logical
//   Date       engine day number (1 January of year 1 = day 1)
//   Time       milliseconds since midnight
//   Timestamp  engine timestamp (milliseconds since the start of day 0)
//   Bcd        exact decimal text: optional "-", digits, and "." followed by exactly the
//              field's decimals when it has any ("-12.50", "7", "0.000")
//   Bytes      Alpha (the table's code page, never converted here), Memo, Formatted memo,
//              Bytes, Binary, OLE, Graphic: the stored bytes
//
// A blob read from a table carries the identity of its place in the table's blob file
// (storageId, 0 when unknown): values with one nonzero identity hold the same bytes, so a
// writer stores them once. Copies keep it; every setter clears it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace morvane {

class TvxFieldValue
{
public:
    enum class Kind : std::uint8_t { Blank, Integer, Float, Logical, Date, Time, Timestamp, Bcd, Bytes };

    TvxFieldValue() = default;

    static TvxFieldValue Integer(std::int64_t v) { return TvxFieldValue(Kind::Integer, v); }
    static TvxFieldValue Float(double v) { return TvxFieldValue(Kind::Float, v); }
    static TvxFieldValue Logical(bool v) { return TvxFieldValue(Kind::Logical, std::int64_t(v ? 1 : 0)); }
    static TvxFieldValue Date(std::int32_t days) { return TvxFieldValue(Kind::Date, std::int64_t(days)); }
    static TvxFieldValue Time(std::int32_t ms) { return TvxFieldValue(Kind::Time, std::int64_t(ms)); }
    static TvxFieldValue Timestamp(double ms) { return TvxFieldValue(Kind::Timestamp, ms); }
    static TvxFieldValue Bcd(std::string text) { return TvxFieldValue(Kind::Bcd, std::move(text)); }
    static TvxFieldValue Bytes(std::string bytes) { return TvxFieldValue(Kind::Bytes, std::move(bytes)); }

    Kind kind() const { return kind_; }
    bool isBlank() const { return kind_ == Kind::Blank; }

    // Each accessor is meaningful only for the kinds named above it.
    std::int64_t integer() const { return int_; } // Integer, Logical (0/1), Date, Time
    bool logical() const { return int_ != 0; }
    double real() const { return real_; } // Float, Timestamp
    const std::string& text() const { return text_; } // Bcd, Bytes

    // In-place setters, so a reader can refill one record without reallocating its texts.
    void setBlank() { kind_ = Kind::Blank; storage_ = 0; }
    void setInteger(Kind k, std::int64_t v) { kind_ = k; int_ = v; storage_ = 0; }
    void setReal(Kind k, double v) { kind_ = k; real_ = v; storage_ = 0; }
    void setText(Kind k, const char* data, std::size_t size) { kind_ = k; text_.assign(data, size); storage_ = 0; }
    std::string& textForWriting(Kind k) { kind_ = k; storage_ = 0; return text_; }

    std::uint64_t storageId() const { return storage_; }
    void setStorageId(std::uint64_t id) { storage_ = id; }

    friend bool operator==(const TvxFieldValue& a, const TvxFieldValue& b)
    {
        if (a.kind_ != b.kind_)
            return false;
        switch (a.kind_) {
        case Kind::Blank: return true;
        case Kind::Float:
        case Kind::Timestamp: return a.real_ == b.real_;
        case Kind::Bcd:
        case Kind::Bytes: return a.text_ == b.text_;
        default: return a.int_ == b.int_;
        }
    }

private:
    TvxFieldValue(Kind k, std::int64_t v) : kind_(k), int_(v) {}
    TvxFieldValue(Kind k, double v) : kind_(k), real_(v) {}
    TvxFieldValue(Kind k, std::string t) : kind_(k), text_(std::move(t)) {}

    Kind kind_ = Kind::Blank;
    std::uint64_t storage_ = 0;
    std::int64_t int_ = 0;
    double real_ = 0;
    std::string text_;
};

using TvxRecord = std::vector<TvxFieldValue>;

} // namespace morvane
