#include "script/TvxParameter.h"

#include <charconv>
#include <cmath>

#include "stream/TReader.h"
#include "stream/TWriter.h"

namespace morvane {

std::int32_t TvxParameter::AsInteger() const
{
    if (const auto* i = std::get_if<std::int32_t>(&value_))
        return *i;
    return 0;
}

std::string TvxParameter::AsText() const
{
    if (const auto* i = std::get_if<std::int32_t>(&value_))
        return std::to_string(*i);
    if (const auto* s = std::get_if<std::string>(&value_))
        return *s;
    return {};
}

namespace {

bool NumericReading(const TvxValue& v, double& out)
{
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        out = *i;
        return true;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        out = *d;
        return true;
    }
    if (std::holds_alternative<std::monostate>(v)) {
        out = 0;
        return true;
    }
    const auto& s = std::get<std::string>(v);
    std::size_t b = s.find_first_not_of(' ');
    std::size_t e = s.find_last_not_of(' ');
    if (b == std::string::npos)
        return false;
    const char* first = s.data() + b;
    const char* last = s.data() + e + 1;
    if (*first == '+')
        ++first;
    const auto r = std::from_chars(first, last, out);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(out);
}

} // namespace

bool TvxParameter::IsEqual(const TvxParameter& other) const
{
    const TvxValue& a = value_;
    const TvxValue& b = other.value_;
    const bool aEmpty = std::holds_alternative<std::monostate>(a);
    const bool bEmpty = std::holds_alternative<std::monostate>(b);
    if (aEmpty && bEmpty)
        return true;
    const auto* as = std::get_if<std::string>(&a);
    const auto* bs = std::get_if<std::string>(&b);
    if (as && bs)
        return *as == *bs;
    if ((aEmpty && bs) || (bEmpty && as))
        return (as ? as : bs)->empty();
    double x = 0, y = 0;
    if (!NumericReading(a, x) || !NumericReading(b, y))
        return false;
    return x == y;
}

void TvxParameter::WriteTo(TWriter& writer) const
{
    if (const auto* i = std::get_if<std::int32_t>(&value_))
        writer.PutInteger(*i);
    else if (const auto* s = std::get_if<std::string>(&value_))
        writer.PutString(*s);
    else
        writer.PutString({});
}

void TvxParameter::ReadFrom(TReader& reader)
{
    const std::uint8_t tag = reader.ReadTag();
    switch (tag) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
        value_ = reader.GetIntegerPayload(tag);
        break;
    case vaExtended:
        value_ = reader.GetExtendedPayload();
        break;
    case vaString:
    case vaLString:
        value_ = reader.GetStringPayload(tag);
        break;
    default:
        value_ = std::monostate{};
        break;
    }
}

} // namespace morvane
