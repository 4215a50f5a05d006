#include "server/vxDecimalText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace morvane {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void Normalise(TvxDecimal& d)
{
    const std::size_t lead = d.whole.find_first_not_of('0');
    d.whole.erase(0, lead == std::string::npos ? d.whole.size() : lead);
    const std::size_t trail = d.fraction.find_last_not_of('0');
    d.fraction.erase(trail == std::string::npos ? 0 : trail + 1);
    if (d.whole.empty() && d.fraction.empty())
        d.negative = false;
}

// Moves the decimal point by `shift` places (positive: to the right).
void Shift(TvxDecimal& d, long shift)
{
    std::string digits = d.whole + d.fraction;
    long point = static_cast<long>(d.whole.size()) + shift;
    if (point < 0) {
        digits.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    if (point > static_cast<long>(digits.size()))
        digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
    d.whole = digits.substr(0, static_cast<std::size_t>(point));
    d.fraction = digits.substr(static_cast<std::size_t>(point));
    Normalise(d);
}

int CompareMagnitude(const TvxDecimal& a, const TvxDecimal& b)
{
    if (a.whole.size() != b.whole.size())
        return a.whole.size() < b.whole.size() ? -1 : 1;
    if (const int c = a.whole.compare(b.whole); c != 0)
        return c < 0 ? -1 : 1;
    const std::size_t n = std::max(a.fraction.size(), b.fraction.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = i < a.fraction.size() ? a.fraction[i] : '0';
        const char y = i < b.fraction.size() ? b.fraction[i] : '0';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

} // namespace

std::optional<TvxDecimal> ParseDecimal(std::string_view text, std::string_view separator)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    TvxDecimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        d.negative = text[i++] == '-';
    while (i < text.size() && IsDigit(text[i]))
        d.whole += text[i++];
    if (i < text.size()) {
        std::size_t sepLen = 0;
        if (text[i] == '.')
            sepLen = 1;
        else if (!separator.empty() && text.substr(i, separator.size()) == separator)
            sepLen = separator.size();
        if (sepLen > 0) {
            i += sepLen;
            while (i < text.size() && IsDigit(text[i]))
                d.fraction += text[i++];
        }
    }
    if (d.whole.empty() && d.fraction.empty())
        return std::nullopt;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negExp = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negExp = text[i++] == '-';
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent > 400) // far beyond any double or BCD: refused rather than expanded
                return std::nullopt;
            exponent = exponent * 10 + (text[i++] - '0');
        }
        if (i == start)
            return std::nullopt;
        exponent = negExp ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    Normalise(d);
    if (exponent != 0)
        Shift(d, exponent);
    return d;
}

std::optional<TvxDecimal> DecimalFromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return ParseDecimal(buf);
}

double DecimalToDouble(const TvxDecimal& d)
{
    std::string text = d.negative ? "-" : "";
    text += d.whole.empty() ? "0" : d.whole;
    if (!d.fraction.empty())
        text += "." + d.fraction;
    return std::strtod(text.c_str(), nullptr);
}

TvxDecimal RoundDecimal(const TvxDecimal& d, int decimals, bool& dropped)
{
    dropped = false;
    TvxDecimal r = d;
    if (static_cast<int>(r.fraction.size()) <= decimals)
        return r;
    const std::string cut = r.fraction.substr(static_cast<std::size_t>(decimals));
    dropped = cut.find_first_not_of('0') != std::string::npos;
    const bool up = cut[0] >= '5';
    r.fraction.resize(static_cast<std::size_t>(decimals));
    if (up) {
        std::string digits = r.whole + r.fraction;
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9')
            digits[static_cast<std::size_t>(k--)] = '0';
        if (k < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<std::size_t>(k)];
        const std::size_t wholeLen = digits.size() - r.fraction.size();
        r.whole = digits.substr(0, wholeLen);
        r.fraction = digits.substr(wholeLen);
    }
    Normalise(r);
    return r;
}

bool FitsBcd(const TvxDecimal& d, int decimals)
{
    return static_cast<int>(d.whole.size()) + decimals <= vxBcdDigits;
}

bool IsZero(const TvxDecimal& d)
{
    return d.whole.empty() && d.fraction.empty();
}

std::string FormatDecimal(const TvxDecimal& d, int decimals, std::string_view separator)
{
    std::string out = d.negative && !IsZero(d) ? "-" : "";
    out += d.whole.empty() ? "0" : d.whole;
    if (decimals > 0) {
        out += separator;
        std::string frac = d.fraction.substr(0, static_cast<std::size_t>(decimals));
        frac.append(static_cast<std::size_t>(decimals) - frac.size(), '0');
        out += frac;
    }
    return out;
}

int CompareDecimal(const TvxDecimal& a, const TvxDecimal& b)
{
    const bool an = a.negative && !IsZero(a);
    const bool bn = b.negative && !IsZero(b);
    if (an != bn)
        return an ? -1 : 1;
    const int m = CompareMagnitude(a, b);
    return an ? -m : m;
}

int SignificantDigits(const TvxDecimal& d)
{
    if (!d.whole.empty())
        return static_cast<int>(d.whole.size() + d.fraction.size());
    const std::size_t first = d.fraction.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(d.fraction.size() - first);
}

} // namespace morvane
