#include "server/vxRecordKey.h"

#include <cstring>


namespace morvane {

namespace {

void AppendFixed(std::string& key, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        key += static_cast<char>(v >> (8 * i));
}

} // namespace

void AppendKeyValue(std::string& key, const TvxFieldValue& value, const std::uint8_t* upper)
{
    key += static_cast<char>(value.kind());
    switch (value.kind()) {
    case TvxFieldValue::Kind::Blank: break;
    case TvxFieldValue::Kind::Float:
    case TvxFieldValue::Kind::Timestamp: {
        double d = value.real();
        if (d == 0.0)
            d = 0.0; // one zero
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        AppendFixed(key, bits);
        break;
    }
    case TvxFieldValue::Kind::Bcd:
    case TvxFieldValue::Kind::Bytes: {
        const std::string& t = value.text();
        AppendFixed(key, t.size());
        if (!upper) {
            key += t;
            break;
        }
        for (const char c : t)
            key += static_cast<char>(upper[static_cast<unsigned char>(c)]);
        break;
    }
    default: AppendFixed(key, static_cast<std::uint64_t>(value.integer())); break;
    }
}

bool RecordKey(const TvxRecord& record, const std::vector<int>& positions, const std::uint8_t* upper, bool allowBlank,
               std::string& key)
{
    key.clear();
    for (const int p : positions) {
        const TvxFieldValue& v = record[static_cast<std::size_t>(p)];
        if (v.isBlank() && !allowBlank)
            return false;
        AppendKeyValue(key, v, upper);
    }
    return true;
}

} // namespace morvane
