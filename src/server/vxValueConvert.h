#pragma once
// Converting one record value from the field it was read from to the field it goes into (the
// field's type, size, decimals or code page changed), and the texts of values. Free
// functions, no state.
//
//   Exact   the value means the same in the new field (a blank stays blank)
//   Cut     the new field holds it only shortened, rounded or with part of it dropped
//   Failed  it does not convert at all (a text that is no number, a number out of range, a
//           type the value has no meaning in); the new field gets a blank
//
// Texts convert as the program's value texts do (vxFieldTypes: numbers in the general float
// form, dates month/day/year, times with AM/PM, Logical "True"/"False").

#include <cstdint>
#include <string>
#include <string_view>

#include "model/TvxFieldDesc.h"
#include "model/TvxFieldValue.h"

namespace morvane {

struct TvxFieldShape
{
    int type = 0;
    int size = 0;     // Alpha and Bytes: length; BCD: decimals; blobs: leader size
    int codePage = 0; // of the table's texts (0: that of new tables)

    static TvxFieldShape Of(const TvxFieldDesc& field, int codePage);
    bool operator==(const TvxFieldShape&) const = default;
};

enum class TvxConvert : std::uint8_t { Exact, Cut, Failed };

// The worse of two results.
inline TvxConvert Worse(TvxConvert a, TvxConvert b)
{
    return static_cast<std::uint8_t>(a) > static_cast<std::uint8_t>(b) ? a : b;
}

TvxConvert ConvertValue(const TvxFieldValue& in, const TvxFieldShape& from, const TvxFieldShape& to,
                        TvxFieldValue& out);

// The text of a value of a field of that type; empty for a blank. Blobs and Bytes give their
// bytes. For reports, the caller converts it from the table's code page.
std::string ValueText(const TvxFieldValue& value, const TvxFieldShape& shape);

// The moment a run starts, for the texts TODAY and NOW.
struct TvxMoment
{
    std::int32_t date = 0; // engine date
    std::int32_t time = 0; // engine time
    static TvxMoment Now();
};

// The value a new field gives every existing record: the text as the field dialog's value
// texts convert it (empty text: blank; TODAY and NOW: the moment given). Failed: blank.
TvxConvert NewFieldValue(std::string_view text, const TvxFieldShape& to, const TvxMoment& now, TvxFieldValue& out);

// Order of two values of one field (blanks first); Alpha texts compare without regard to
// letter case first.
int CompareValues(const TvxFieldValue& a, const TvxFieldValue& b, int type);

} // namespace morvane
