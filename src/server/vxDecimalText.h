#pragma once
// Exact decimal texts, the form BCD values take in records ("-12.50"): parsing, rounding to
// a number of decimals, comparing, and the step to and from doubles. Free functions, no state.

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

struct TvxDecimal
{
    bool negative = false;
    std::string whole;    // digits without leading zeros ("" for zero)
    std::string fraction; // digits without trailing zeros
};

// Digits a BCD field holds in all (whole and fraction together).
inline constexpr int vxBcdDigits = 32;

// An optional sign, digits, optionally the separator (either '.' or the given one) and more
// digits, an optional exponent; blanks around. Nothing else.
std::optional<TvxDecimal> ParseDecimal(std::string_view text, std::string_view separator = ".");
// 15 significant digits, as the program's float texts show a double; nullopt when not finite.
std::optional<TvxDecimal> DecimalFromDouble(double value);
double DecimalToDouble(const TvxDecimal& d);

// Rounded half away from zero to `decimals` places; `dropped` tells whether non-zero digits
// were lost.
TvxDecimal RoundDecimal(const TvxDecimal& d, int decimals, bool& dropped);
// Whole digits plus `decimals` fit a BCD field.
bool FitsBcd(const TvxDecimal& d, int decimals);
bool IsZero(const TvxDecimal& d);
// "-12.50": exactly `decimals` places (no separator for 0), "-" only for a non-zero value.
std::string FormatDecimal(const TvxDecimal& d, int decimals, std::string_view separator = ".");
// <0, 0, >0.
int CompareDecimal(const TvxDecimal& a, const TvxDecimal& b);
// Significant digits (whole and fraction, leading zeros of a pure fraction not counted).
int SignificantDigits(const TvxDecimal& d);

} // namespace morvane
