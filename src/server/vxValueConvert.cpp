#include "server/vxValueConvert.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

#include "model/TvxValCheckDesc.h"
#include "model/vxCodePage.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "platform/vxTime.h"
#include "server/vxDecimalText.h"

namespace morvane {

namespace {

enum class Family { Text, FmtMemo, Raw, Opaque, Float, Integer, Bcd, Date, Time, Timestamp, Logical, Unknown };

Family FamilyOf(int type)
{
    switch (type) {
    case fldAlpha:
    case fldMemo: return Family::Text;
    case fldFmtMemo: return Family::FmtMemo;
    case fldBytes:
    case fldBinary: return Family::Raw;
    case fldOle:
    case fldGraphic: return Family::Opaque;
    case fldNumber:
    case fldMoney: return Family::Float;
    case fldShort:
    case fldLong:
    case fldAutoInc: return Family::Integer;
    case fldBcd: return Family::Bcd;
    case fldDate: return Family::Date;
    case fldTime: return Family::Time;
    case fldTimestamp: return Family::Timestamp;
    case fldLogical: return Family::Logical;
    default: return Family::Unknown;
    }
}

// The values a record can hold: the all-zero encoding of the lowest one means blank.
void IntegerRange(int type, std::int64_t& lo, std::int64_t& hi)
{
    if (type == fldShort) {
        lo = -32767;
        hi = 32767;
    } else {
        lo = -2147483647;
        hi = 2147483647;
    }
}

int NormalCodePage(int cp)
{
    return cp <= 0 ? vxNewTableCodePage : cp;
}

// A text of one code page in another; `lossy` when a character has no place there.
std::string Recode(const std::string& text, int from, int to, bool& lossy)
{
    lossy = false;
    from = NormalCodePage(from);
    to = NormalCodePage(to);
    if (from == to)
        return text;
    bool ascii = true;
    for (const char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return text;
    const std::string utf8 = CodePageToUtf8(text, from, TvxUndefinedBytes::AsControls);
    std::string out = Utf8ToCodePage(utf8, to);
    lossy = CodePageToUtf8(out, to, TvxUndefinedBytes::AsControls) != utf8;
    return out;
}

// The first n bytes cut to the field's width, trailing pad bytes first; Cut when more than
// pad had to go.
std::size_t FitWidth(std::string_view bytes, std::size_t n, char pad, const TvxFieldShape& to, TvxConvert& result)
{
    const auto width = static_cast<std::size_t>(to.size > 0 ? to.size : 0);
    if (n <= width)
        return n;
    const std::size_t last = bytes.substr(0, n).find_last_not_of(pad);
    const std::size_t kept = last == std::string_view::npos ? 0 : last + 1;
    if (kept > width)
        result = TvxConvert::Cut;
    return std::min(kept, width);
}

// No bytes are a blank value.
void SetBytes(const char* data, std::size_t n, TvxFieldValue& out)
{
    if (n == 0)
        out.setBlank();
    else
        out.setText(TvxFieldValue::Kind::Bytes, data, n);
}

// Stores text (which may lie in out itself) as the value of a text field: an Alpha value ends
// at its first zero byte and is cut to the width, trailing blanks first.
TvxConvert FitText(std::string_view text, const TvxFieldShape& to, TvxFieldValue& out)
{
    TvxConvert result = TvxConvert::Exact;
    std::size_t n = text.size();
    if (to.type == fldAlpha) {
        if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
            if (text.find_first_not_of('\0', nul) != std::string_view::npos)
                result = TvxConvert::Cut;
            n = nul;
        }
        n = FitWidth(text, n, ' ', to, result);
    }
    SetBytes(text.data(), n, out);
    return result;
}

TvxConvert FitRaw(std::string_view bytes, const TvxFieldShape& to, TvxFieldValue& out)
{
    TvxConvert result = TvxConvert::Exact;
    std::size_t n = bytes.size();
    if (to.type == fldBytes)
        n = FitWidth(bytes, n, '\0', to, result);
    SetBytes(bytes.data(), n, out);
    return result;
}

TvxConvert Fail(TvxFieldValue& out)
{
    out.setBlank();
    return TvxConvert::Failed;
}

TvxConvert IntegerResult(std::int64_t v, int type, TvxFieldValue& out, TvxConvert ok = TvxConvert::Exact)
{
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    IntegerRange(type, lo, hi);
    if (v < lo || v > hi)
        return Fail(out);
    out = TvxFieldValue::Integer(v);
    return ok;
}

TvxConvert FloatToInteger(double v, int type, TvxFieldValue& out)
{
    if (!std::isfinite(v) || std::fabs(v) > 4e18)
        return Fail(out);
    const double r = std::round(v);
    return IntegerResult(static_cast<std::int64_t>(r), type, out, r == v ? TvxConvert::Exact : TvxConvert::Cut);
}

TvxConvert DecimalToInteger(const TvxDecimal& d, int type, TvxFieldValue& out)
{
    bool dropped = false;
    const TvxDecimal r = RoundDecimal(d, 0, dropped);
    if (r.whole.size() > 18)
        return Fail(out);
    std::int64_t v = 0;
    for (const char c : r.whole)
        v = v * 10 + (c - '0');
    return IntegerResult(r.negative ? -v : v, type, out, dropped ? TvxConvert::Cut : TvxConvert::Exact);
}

TvxConvert DecimalToBcd(const TvxDecimal& d, int decimals, TvxFieldValue& out)
{
    bool dropped = false;
    const TvxDecimal r = RoundDecimal(d, decimals, dropped);
    if (!FitsBcd(r, decimals))
        return Fail(out);
    out = TvxFieldValue::Bcd(FormatDecimal(r, decimals));
    return dropped ? TvxConvert::Cut : TvxConvert::Exact;
}

TvxConvert DecimalToFloat(const TvxDecimal& d, TvxFieldValue& out)
{
    out = TvxFieldValue::Float(DecimalToDouble(d));
    return SignificantDigits(d) > 15 ? TvxConvert::Cut : TvxConvert::Exact;
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<std::int32_t>(v);
}

double ReadDouble(const std::uint8_t* p)
{
    double v = 0;
    std::memcpy(&v, p, sizeof v); // little-endian host
    return v;
}

void WriteI32(std::uint8_t* p, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A text that is not a value's own type, read as the program's value texts are.
TvxConvert TextToTyped(const std::string& text, const TvxFieldShape& to, const TvxMoment* now, TvxFieldValue& out)
{
    std::string_view t = text;
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ')
        t.remove_prefix(1);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ')
        t.remove_suffix(1);
    if (t.empty()) {
        out.setBlank();
        return TvxConvert::Exact;
    }
    switch (FamilyOf(to.type)) {
    case Family::Float: {
        double v = 0;
        if (TextToFloat(t, v) || TextToFloat(t, ".", v)) {
            out = TvxFieldValue::Float(v);
            return TvxConvert::Exact;
        }
        return Fail(out);
    }
    case Family::Integer:
    case Family::Bcd: {
        const std::optional<TvxDecimal> d = ParseDecimal(t, DecimalSeparator());
        if (!d)
            return Fail(out);
        return to.type == fldBcd ? DecimalToBcd(*d, to.size, out) : DecimalToInteger(*d, to.type, out);
    }
    case Family::Date:
    case Family::Time:
    case Family::Timestamp:
    case Family::Logical: {
        std::uint8_t area[TvxValCheckDesc::AreaSize];
        TvxFieldDesc field;
        field.setType(to.type);
        if (TextToValue(t, field, area) != 0)
            return Fail(out);
        if (to.type == fldLogical) {
            out = TvxFieldValue::Logical(area[0] != 0);
        } else if (to.type == fldTimestamp) {
            const double ts = ReadDouble(area);
            if (ts == 0.0 && !now)
                return Fail(out);
            out = TvxFieldValue::Timestamp(ts == 0.0 ? EncodeTimeStamp(now->date, now->time) : ts);
        } else {
            const std::int32_t v = ReadI32(area);
            if (v < 0 && !now)
                return Fail(out);
            if (to.type == fldDate)
                out = TvxFieldValue::Date(v < 0 ? now->date : v);
            else
                out = TvxFieldValue::Time(v < 0 ? now->time : v);
        }
        return TvxConvert::Exact;
    }
    default:
        return Fail(out);
    }
}

std::string AreaText(int type, const std::uint8_t* area)
{
    return ValueToText(area, type).value_or(std::string());
}

} // namespace

TvxFieldShape TvxFieldShape::Of(const TvxFieldDesc& field, int codePage)
{
    TvxFieldShape s;
    s.type = field.type();
    s.size = field.type() == fldBcd ? field.units2() : field.units1();
    s.codePage = NormalCodePage(codePage);
    return s;
}

std::string ValueText(const TvxFieldValue& value, const TvxFieldShape& shape)
{
    std::uint8_t area[TvxValCheckDesc::AreaSize] = {};
    switch (value.kind()) {
    case TvxFieldValue::Kind::Blank: return {};
    case TvxFieldValue::Kind::Bytes: return value.text();
    case TvxFieldValue::Kind::Integer: return std::to_string(value.integer());
    case TvxFieldValue::Kind::Float: return FloatToText(value.real());
    case TvxFieldValue::Kind::Logical: return value.logical() ? "True" : "False";
    case TvxFieldValue::Kind::Bcd: {
        const std::optional<TvxDecimal> d = ParseDecimal(value.text());
        if (!d)
            return value.text();
        const int decimals = shape.type == fldBcd ? shape.size : static_cast<int>(d->fraction.size());
        return FormatDecimal(*d, decimals, DecimalSeparator());
    }
    case TvxFieldValue::Kind::Date:
        WriteI32(area, static_cast<std::int32_t>(value.integer()));
        return AreaText(fldDate, area);
    case TvxFieldValue::Kind::Time:
        WriteI32(area, static_cast<std::int32_t>(value.integer()));
        return AreaText(fldTime, area);
    case TvxFieldValue::Kind::Timestamp: {
        const double ts = value.real();
        std::memcpy(area, &ts, sizeof ts);
        return AreaText(fldTimestamp, area);
    }
    }
    return {};
}

TvxConvert ConvertValue(const TvxFieldValue& in, const TvxFieldShape& from, const TvxFieldShape& to,
                        TvxFieldValue& out)
{
    if (in.isBlank()) {
        out.setBlank();
        return TvxConvert::Exact;
    }
    if (from == to) {
        out = in;
        return TvxConvert::Exact;
    }
    const Family ff = FamilyOf(from.type);
    switch (FamilyOf(to.type)) {
    case Family::Text: {
        if (ff == Family::Text) {
            if (NormalCodePage(from.codePage) == NormalCodePage(to.codePage))
                return FitText(in.text(), to, out);
            bool lossy = false;
            const std::string text = Recode(in.text(), from.codePage, to.codePage, lossy);
            return Worse(lossy ? TvxConvert::Cut : TvxConvert::Exact, FitText(text, to, out));
        }
        if (ff == Family::FmtMemo || ff == Family::Opaque || ff == Family::Raw || ff == Family::Unknown)
            return Fail(out);
        TvxConvert shown = TvxConvert::Exact;
        // Times show whole seconds.
        if ((ff == Family::Time && in.integer() % 1000 != 0) ||
            (ff == Family::Timestamp && std::fmod(in.real(), 1000.0) != 0.0))
            shown = TvxConvert::Cut;
        const std::string text = ValueText(in, from);
        if (text.empty()) // a value no text shows (a date outside years 1-9999)
            return Fail(out);
        return Worse(shown, FitText(text, to, out));
    }
    case Family::FmtMemo:
    case Family::Opaque:
        if (from.type == to.type) {
            out = in;
            return TvxConvert::Exact;
        }
        return Fail(out);
    case Family::Raw:
        if (ff == Family::Raw || from.type == fldAlpha)
            return FitRaw(in.text(), to, out);
        return Fail(out);
    case Family::Float:
        switch (ff) {
        case Family::Float: out = TvxFieldValue::Float(in.real()); return TvxConvert::Exact;
        case Family::Integer:
        case Family::Logical: out = TvxFieldValue::Float(static_cast<double>(in.integer())); return TvxConvert::Exact;
        case Family::Bcd: {
            const std::optional<TvxDecimal> d = ParseDecimal(in.text());
            return d ? DecimalToFloat(*d, out) : Fail(out);
        }
        case Family::Text: return TextToTyped(in.text(), to, nullptr, out);
        default: return Fail(out);
        }
    case Family::Integer:
        switch (ff) {
        case Family::Integer:
        case Family::Logical: return IntegerResult(in.integer(), to.type, out);
        case Family::Float: return FloatToInteger(in.real(), to.type, out);
        case Family::Bcd: {
            const std::optional<TvxDecimal> d = ParseDecimal(in.text());
            return d ? DecimalToInteger(*d, to.type, out) : Fail(out);
        }
        case Family::Text: return TextToTyped(in.text(), to, nullptr, out);
        default: return Fail(out);
        }
    case Family::Bcd: {
        std::optional<TvxDecimal> d;
        switch (ff) {
        case Family::Bcd: d = ParseDecimal(in.text()); break;
        case Family::Float: d = DecimalFromDouble(in.real()); break;
        case Family::Integer:
        case Family::Logical: d = ParseDecimal(std::to_string(in.integer())); break;
        case Family::Text: return TextToTyped(in.text(), to, nullptr, out);
        default: break;
        }
        return d ? DecimalToBcd(*d, to.size, out) : Fail(out);
    }
    case Family::Date:
        if (ff == Family::Date) {
            out = in;
            return TvxConvert::Exact;
        }
        if (ff == Family::Timestamp) {
            std::int32_t date = 0;
            std::int32_t time = 0;
            if (!DecodeTimeStamp(in.real(), date, time))
                return Fail(out);
            out = TvxFieldValue::Date(date);
            return time == 0 ? TvxConvert::Exact : TvxConvert::Cut;
        }
        return ff == Family::Text ? TextToTyped(in.text(), to, nullptr, out) : Fail(out);
    case Family::Time:
        if (ff == Family::Time) {
            out = in;
            return TvxConvert::Exact;
        }
        if (ff == Family::Timestamp) {
            std::int32_t date = 0;
            std::int32_t time = 0;
            if (!DecodeTimeStamp(in.real(), date, time))
                return Fail(out);
            out = TvxFieldValue::Time(time);
            return TvxConvert::Cut; // the day is dropped
        }
        return ff == Family::Text ? TextToTyped(in.text(), to, nullptr, out) : Fail(out);
    case Family::Timestamp:
        if (ff == Family::Timestamp) {
            out = in;
            return TvxConvert::Exact;
        }
        if (ff == Family::Date) {
            out = TvxFieldValue::Timestamp(EncodeTimeStamp(static_cast<std::int32_t>(in.integer()), 0));
            return TvxConvert::Exact;
        }
        return ff == Family::Text ? TextToTyped(in.text(), to, nullptr, out) : Fail(out);
    case Family::Logical:
        switch (ff) {
        case Family::Logical: out = in; return TvxConvert::Exact;
        case Family::Integer:
            if (in.integer() == 0 || in.integer() == 1) {
                out = TvxFieldValue::Logical(in.integer() == 1);
                return TvxConvert::Exact;
            }
            return Fail(out);
        case Family::Float:
            if (in.real() == 0.0 || in.real() == 1.0) {
                out = TvxFieldValue::Logical(in.real() == 1.0);
                return TvxConvert::Exact;
            }
            return Fail(out);
        case Family::Text: return TextToTyped(in.text(), to, nullptr, out);
        default: return Fail(out);
        }
    case Family::Unknown: return Fail(out);
    }
    return Fail(out);
}

TvxMoment TvxMoment::Now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    vxLocalTime(t, local);
    TvxMoment m;
    EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, m.date);
    EncodeTime(local.tm_hour, local.tm_min, (local.tm_sec > 59 ? 59 : local.tm_sec) * 1000, m.time);
    return m;
}

TvxConvert NewFieldValue(std::string_view text, const TvxFieldShape& to, const TvxMoment& now, TvxFieldValue& out)
{
    if (text.empty()) {
        out.setBlank();
        return TvxConvert::Exact;
    }
    switch (FamilyOf(to.type)) {
    case Family::Text: return FitText(text, to, out);
    case Family::Raw: return FitRaw(text, to, out);
    case Family::FmtMemo:
    case Family::Opaque:
    case Family::Unknown: return Fail(out);
    default: return TextToTyped(std::string(text), to, &now, out);
    }
}

int CompareValues(const TvxFieldValue& a, const TvxFieldValue& b, int type)
{
    if (a.isBlank() || b.isBlank())
        return a.isBlank() == b.isBlank() ? 0 : (a.isBlank() ? -1 : 1);
    const auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (a.kind()) {
    case TvxFieldValue::Kind::Bytes: {
        if (type == fldAlpha || type == fldMemo) {
            const int c = UpperText(a.text()).compare(UpperText(b.text()));
            if (c != 0)
                return c < 0 ? -1 : 1;
        }
        const int c = a.text().compare(b.text());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case TvxFieldValue::Kind::Float:
    case TvxFieldValue::Kind::Timestamp: return sign(a.real(), b.real());
    case TvxFieldValue::Kind::Bcd: {
        const std::optional<TvxDecimal> x = ParseDecimal(a.text());
        const std::optional<TvxDecimal> y = ParseDecimal(b.text());
        return x && y ? CompareDecimal(*x, *y) : sign(a.text(), b.text());
    }
    default: return sign(a.integer(), b.integer());
    }
}

} // namespace morvane
