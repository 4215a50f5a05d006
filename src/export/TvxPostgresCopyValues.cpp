#include "export/TvxPostgresCopyValues.h"

#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "export/vxExportValues.h"

namespace morvane {

namespace {

constexpr std::string_view Header("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
constexpr std::string_view Trailer("\377\377", 2);

// PostgreSQL counts days and microseconds from 2000-01-01.
std::int32_t engineDate2000()
{
    std::int32_t day = 0;
    EncodeDate(2000, 1, 1, day);
    return day;
}

template <class T> void put(std::string& out, T v)
{
    using U = std::make_unsigned_t<T>;
    auto u = static_cast<U>(v);
    char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<char>(u >> (8 * (sizeof(T) - 1 - i)));
    out.append(bytes, sizeof bytes);
}

void putLength(std::string& out, std::size_t n)
{
    put(out, static_cast<std::int32_t>(n));
}

// An exact decimal text ("-12.50") as PostgreSQL's numeric: base-10000 digits.
bool putNumeric(std::string& out, const std::string& text)
{
    std::string_view t(text);
    const bool negative = !t.empty() && t[0] == '-';
    if (negative)
        t.remove_prefix(1);
    const std::size_t dot = t.find('.');
    std::string whole(t.substr(0, dot));
    std::string fraction(dot == std::string_view::npos ? std::string_view() : t.substr(dot + 1));
    const std::size_t scale = fraction.size();
    whole.insert(0, (4 - whole.size() % 4) % 4, '0');
    fraction.append((4 - fraction.size() % 4) % 4, '0');
    std::vector<std::int16_t> digits;
    for (const std::string* part : {&whole, &fraction})
        for (std::size_t i = 0; i < part->size(); i += 4) {
            int d = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                const char c = (*part)[i + k];
                if (c < '0' || c > '9')
                    return false;
                d = d * 10 + (c - '0');
            }
            digits.push_back(static_cast<std::int16_t>(d));
        }
    int weight = static_cast<int>(whole.size() / 4) - 1;
    std::size_t first = 0;
    while (first < digits.size() && digits[first] == 0) {
        ++first;
        --weight;
    }
    std::size_t last = digits.size();
    while (last > first && digits[last - 1] == 0)
        --last;
    if (first == last)
        weight = 0;
    putLength(out, 8 + 2 * (last - first));
    put(out, static_cast<std::int16_t>(last - first));
    put(out, static_cast<std::int16_t>(weight));
    put(out, static_cast<std::int16_t>(negative && first != last ? 0x4000 : 0));
    put(out, static_cast<std::int16_t>(scale));
    for (std::size_t i = first; i < last; ++i)
        put(out, digits[i]);
    return true;
}

bool isAscii(const std::string& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

void TvxPostgresCopyValues::Prepare(const TvxRecord* records, std::size_t count, const std::vector<int>& types,
                                    int codePage, const std::vector<int>& key, std::unordered_set<std::string>& keys)
{
    static const std::int32_t day2000 = engineDate2000();
    data_.assign(Header);
    rows_.clear();
    refused_.clear();
    std::vector<std::size_t> at(types.size()); // where each value of the record starts
    for (std::size_t r = 0; r < count; ++r) {
        const TvxRecord& record = records[r];
        const std::size_t start = data_.size();
        std::string reason;
        put(data_, static_cast<std::int16_t>(types.size()));
        for (std::size_t i = 0; i < types.size() && reason.empty(); ++i) {
            at[i] = data_.size();
            const TvxFieldValue* v = i < record.size() ? &record[i] : nullptr;
            if (!v || v->isBlank()) {
                put(data_, std::int32_t{-1});
                continue;
            }
            switch (types[i]) {
            case fldShort:
                putLength(data_, 2);
                put(data_, static_cast<std::int16_t>(v->integer()));
                break;
            case fldLong:
            case fldAutoInc:
                putLength(data_, 4);
                put(data_, static_cast<std::int32_t>(v->integer()));
                break;
            case fldNumber:
            case fldMoney:
                putLength(data_, 8);
                put(data_, std::bit_cast<std::int64_t>(v->real()));
                break;
            case fldLogical:
                putLength(data_, 1);
                data_ += static_cast<char>(v->logical() ? 1 : 0);
                break;
            case fldDate:
                putLength(data_, 4);
                put(data_, static_cast<std::int32_t>(v->integer() - day2000));
                break;
            case fldTime:
                putLength(data_, 8);
                put(data_, static_cast<std::int64_t>(v->integer()) * 1000);
                break;
            case fldTimestamp: {
                // Whole milliseconds, rounded as the value's text is.
                const double ts = v->real();
                const double days = std::floor(ts / MsPerDay);
                if (!std::isfinite(ts) || std::abs(days) > 1e8) {
                    reason = "the time stamp is out of range";
                    break;
                }
                const auto ms =
                    static_cast<std::int64_t>(days - day2000) * 86400000 + std::llround(ts - days * MsPerDay);
                putLength(data_, 8);
                put(data_, ms * 1000);
                break;
            }
            case fldBcd:
                if (!putNumeric(data_, v->text()))
                    reason = "a BCD value is damaged";
                break;
            case fldAlpha:
            case fldMemo:
                if (isAscii(v->text())) {
                    putLength(data_, v->text().size());
                    data_ += v->text();
                } else {
                    const std::string text = ExportText(v->text(), codePage);
                    putLength(data_, text.size());
                    data_ += text;
                }
                break;
            default: // bytea
                if (v->text().size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                    reason = "a value is longer than PostgreSQL holds";
                    break;
                }
                putLength(data_, v->text().size());
                data_ += v->text();
            }
        }
        std::string k;
        for (std::size_t n = 0; n < key.size() && reason.empty(); ++n) {
            const auto f = static_cast<std::size_t>(key[n]);
            if (f >= record.size() || record[f].isBlank()) {
                reason = "the key field is blank";
                break;
            }
            const std::size_t end = f + 1 < types.size() ? at[f + 1] : data_.size();
            if (types[f] == fldNumber || types[f] == fldMoney) { // 0 is -0, NaN is NaN, as PostgreSQL compares
                const double d = record[f].real();
                const double same = d == 0 ? 0.0 : std::isnan(d) ? std::numeric_limits<double>::quiet_NaN() : d;
                k.append(reinterpret_cast<const char*>(&same), sizeof same);
            } else {
                k.append(data_, at[f], end - at[f]);
            }
        }
        if (reason.empty() && !key.empty() && !keys.insert(std::move(k)).second)
            reason = "the key is that of a record before";
        if (!reason.empty()) {
            data_.resize(start);
            refused_.push_back({r, std::move(reason)});
            continue;
        }
        rows_.push_back({r, start});
    }
    data_ += Trailer;
}

std::string_view TvxPostgresCopyValues::Data(std::size_t first, std::size_t count)
{
    if (first == 0 && count == rows_.size())
        return data_;
    const std::size_t begin = rows_[first].offset;
    const std::size_t end = first + count < rows_.size() ? rows_[first + count].offset : data_.size() - Trailer.size();
    part_.assign(Header);
    part_.append(data_, begin, end - begin);
    part_ += Trailer;
    return part_;
}

} // namespace morvane
