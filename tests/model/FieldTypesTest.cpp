#include <gtest/gtest.h>

#include "model/vxFieldTypes.h"
#include "platform/vxTime.h"
#include "support/TestFields.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <string>

using namespace morvane;

namespace {

using Area = std::array<std::uint8_t, TvxValCheckDesc::AreaSize>;

Area Filled(std::uint8_t byte)
{
    Area a;
    a.fill(byte);
    return a;
}

bool AllZeroFrom(const Area& a, std::size_t from)
{
    for (std::size_t i = from; i < a.size(); ++i)
        if (a[i] != 0)
            return false;
    return true;
}

std::int32_t I32(const Area& a)
{
    return static_cast<std::int32_t>(a[0] | (a[1] << 8) | (a[2] << 16) | (static_cast<std::uint32_t>(a[3]) << 24));
}

double F64(const Area& a)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | a[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void SetI32(Area& a, std::int32_t v)
{
    a.fill(0);
    for (int i = 0; i < 4; ++i)
        a[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

void SetF64(Area& a, double v)
{
    a.fill(0);
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        a[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// A field of this type; BCD with these decimals.
TvxFieldDesc OfType(int code, int bcdDecimals = 2)
{
    return test::MakeField("F", 1, code, code == fldBcd ? bcdDecimals : 10);
}

std::string RoundTrip(std::string_view text, int code, int bcdDecimals = 2)
{
    Area a = Filled(0xAA);
    if (TextToValue(text, OfType(code, bcdDecimals), a.data()) != 0)
        return "<failed>";
    return ValueToText(a.data(), code).value_or("<no text>");
}

class CLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved_ = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "C");
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, saved_.c_str()); }

private:
    std::string saved_;
};

using ValueTexts = CLocale;

} // namespace

TEST(FieldTypes, SizeAndIndexColumns)
{
    for (int code = fldAlpha; code <= fldBcd; ++code) {
        const bool blob = code >= fldMemo && code <= fldGraphic;
        EXPECT_EQ(TypeNeedsSize(code), blob || code == fldAlpha || code == fldBytes || code == fldBcd) << code;
        EXPECT_EQ(TypeCanBeIndexed(code), !blob) << code;
    }
    EXPECT_FALSE(TypeNeedsSize(0));
    EXPECT_FALSE(TypeNeedsSize(274));
    EXPECT_FALSE(TypeCanBeIndexed(256));
    EXPECT_FALSE(TypeCanBeIndexed(274));
}

TEST_F(ValueTexts, EveryTypeReadsBackWhatItShows)
{
    const std::pair<int, const char*> cases[] = {
        {fldAlpha, "Home"},
        {fldAlpha, ""},
        {fldNumber, "1.5"},
        {fldNumber, "-1234.125"},
        {fldNumber, "1E20"},
        {fldNumber, "0"},
        {fldMoney, "19.99"},
        {fldMoney, "-0.01"},
        {fldBcd, "1.23"},
        {fldBcd, "-1.23"},
        {fldBcd, "123456789012"},
        {fldShort, "-5"},
        {fldShort, "-32768"},
        {fldShort, "32767"},
        {fldLong, "-2147483648"},
        {fldLong, "2147483647"},
        {fldDate, "1/1/0001"},
        {fldDate, "1/2/0099"},
        {fldDate, "2/29/2000"},
        {fldDate, "12/31/9999"},
        {fldDate, "5/4/1996"},
        {fldDate, "TODAY"},
        {fldTime, "0:0:0 AM"},
        {fldTime, "0:0:0 PM"},
        {fldTime, "11:59:59 PM"},
        {fldTime, "1:5:9 PM"},
        {fldTime, "0:30:0 AM"},
        {fldTime, "NOW"},
        {fldTimestamp, "2/29/2024 @ 0:0:0 AM"},
        {fldTimestamp, "2/1/2020 @ 1:0:1 AM"},
        {fldTimestamp, "12/31/9999 @ 11:59:59 PM"},
        {fldTimestamp, "1/1/0001 @ 0:0:0 PM"},
        {fldTimestamp, "NOW"},
        {fldLogical, "True"},
        {fldLogical, "False"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(RoundTrip(text, code), text) << code << " " << text;

    const std::string alpha(255, 'z');
    EXPECT_EQ(RoundTrip(alpha, fldAlpha), alpha);
}

TEST_F(ValueTexts, StoredFormsAreTheEngineForms)
{
    Area a{};
    ASSERT_EQ(TextToValue("5/4/1996", OfType(fldDate), a.data()), 0);
    EXPECT_EQ(I32(a), 728783);
    EXPECT_TRUE(AllZeroFrom(a, 4));

    ASSERT_EQ(TextToValue("TODAY", OfType(fldDate), a.data()), 0);
    EXPECT_EQ(I32(a), -1);

    ASSERT_EQ(TextToValue("1:5:9 PM", OfType(fldTime), a.data()), 0);
    EXPECT_EQ(I32(a), 13 * 3600000 + 5 * 60000 + 9000);

    ASSERT_EQ(TextToValue(" now ", OfType(fldTime), a.data()), 0);
    EXPECT_EQ(I32(a), -1);

    ASSERT_EQ(TextToValue("2/1/2020 @ 1:0:1 AM", OfType(fldTimestamp), a.data()), 0);
    EXPECT_EQ(F64(a), 63716202001000.0);
    EXPECT_TRUE(AllZeroFrom(a, 8));

    a = Filled(0x55);
    ASSERT_EQ(TextToValue("NOW", OfType(fldTimestamp), a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 0));

    ASSERT_EQ(TextToValue("-2.5", OfType(fldNumber), a.data()), 0);
    EXPECT_EQ(F64(a), -2.5);
    const std::uint8_t minus25[8] = {0, 0, 0, 0, 0, 0, 0x04, 0xC0};
    EXPECT_EQ(std::memcmp(a.data(), minus25, 8), 0);

    ASSERT_EQ(TextToValue("-5", OfType(fldShort), a.data()), 0);
    EXPECT_EQ(a[0], 0xFB);
    EXPECT_EQ(a[1], 0xFF);
    EXPECT_TRUE(AllZeroFrom(a, 2));

    ASSERT_EQ(TextToValue("-1.23", OfType(fldBcd), a.data()), 0);
    EXPECT_EQ(a[0], 32);
    EXPECT_EQ(a[1], 0x82);
    EXPECT_EQ(a[16], 0x01);
    EXPECT_EQ(a[17], 0x23);
    EXPECT_TRUE(AllZeroFrom(a, 18));
}

TEST_F(ValueTexts, TimesShowHoursZeroToElevenWithoutPadding)
{
    Area a{};
    SetI32(a, 13 * 3600000 + 5 * 60000 + 9000);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "1:5:9 PM");
    SetI32(a, 30 * 60000);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "0:30:0 AM");
    SetI32(a, 12 * 3600000);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "0:0:0 PM");
    SetI32(a, 0);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "0:0:0 AM");
    SetI32(a, -1);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "NOW");

    // Twelve o'clock as people write it.
    EXPECT_EQ(RoundTrip("12:30:00 PM", fldTime), "0:30:0 PM");
    EXPECT_EQ(RoundTrip("12:00:00 AM", fldTime), "0:0:0 AM");
    EXPECT_EQ(RoundTrip("  1:05:09 pm ", fldTime), "1:5:9 PM");
    EXPECT_EQ(RoundTrip("13:05", fldTime), "1:5:0 PM");
}

TEST_F(ValueTexts, SpecialValues)
{
    Area a{};
    SetI32(a, -1);
    EXPECT_EQ(ValueToText(a.data(), fldDate), "TODAY");
    SetI32(a, -700);
    EXPECT_EQ(ValueToText(a.data(), fldDate), "TODAY");
    SetF64(a, 0.0);
    EXPECT_EQ(ValueToText(a.data(), fldTimestamp), "NOW");
    EXPECT_EQ(RoundTrip(" today ", fldDate), "TODAY");
    EXPECT_EQ(RoundTrip("TODAY\r\n", fldDate), "TODAY");
    EXPECT_EQ(RoundTrip("5/4/1996\n", fldDate), "5/4/1996");
    EXPECT_EQ(RoundTrip("Now", fldTimestamp), "NOW");
}

TEST_F(ValueTexts, ShortAndLongShowTheirSign)
{
    Area a{};
    a[0] = 0xFB;
    a[1] = 0xFF;
    a[2] = 0x12; // beyond the 16-bit value: ignored
    EXPECT_EQ(ValueToText(a.data(), fldShort), "-5");
    SetI32(a, -5);
    EXPECT_EQ(ValueToText(a.data(), fldLong), "-5");
    EXPECT_EQ(ValueToText(a.data(), fldAutoInc), "-5");
}

TEST_F(ValueTexts, AlphaKeeps255Characters)
{
    Area a = Filled(0xAA);
    const std::string text(300, 'q');
    ASSERT_EQ(TextToValue(text, OfType(fldAlpha), a.data()), 0);
    EXPECT_EQ(ValueToText(a.data(), fldAlpha), std::string(255, 'q'));
    EXPECT_EQ(a[255], 0);

    ASSERT_EQ(TextToValue("ab", OfType(fldAlpha), a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 2));

    // An area without a terminating zero holds no text the form can store.
    a = Filled('x');
    EXPECT_EQ(ValueToText(a.data(), fldAlpha), std::nullopt);
}

TEST_F(ValueTexts, LogicalWords)
{
    Area a{};
    ASSERT_EQ(TextToValue("  true ", OfType(fldLogical), a.data()), 0);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(ValueToText(a.data(), fldLogical), "True");
    a = Filled(0xAA);
    ASSERT_EQ(TextToValue("\tTRUE\r\n", OfType(fldLogical), a.data()), 0);
    EXPECT_EQ(a[0], 1);
    ASSERT_EQ(TextToValue("FaLsE", OfType(fldLogical), a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 0));
    a[0] = 0x81;
    EXPECT_EQ(ValueToText(a.data(), fldLogical), "True");

    for (const char* bad : {"yes", "T", "", "TRUE!", "1"}) {
        a = Filled(0xAA);
        EXPECT_EQ(TextToValue(bad, OfType(fldLogical), a.data()), 1) << bad;
        EXPECT_TRUE(AllZeroFrom(a, 0)) << bad;
    }
}

TEST_F(ValueTexts, UnconvertibleTextsFailAndZeroTheArea)
{
    const std::pair<int, const char*> cases[] = {
        {fldNumber, "1.5x"},
        {fldNumber, "abc"},
        {fldNumber, "inf"},
        {fldNumber, "nan"},
        {fldNumber, "1e400"},
        {fldMoney, ""},
        {fldBcd, "1e30"},
        {fldBcd, "x"},
        {fldShort, "32768"},
        {fldShort, "-32769"},
        {fldShort, "1.5"},
        {fldLong, "2147483648"},
        {fldLong, "-2147483649"},
        {fldLong, "12 apples"},
        {fldDate, "13/1/2000"},
        {fldDate, "0/1/2000"},
        {fldDate, "2/30/2000"},
        {fldDate, "2/29/1900"},
        {fldDate, "1/1/0000"},
        {fldDate, "1/1/10000"},
        {fldDate, "1/1"},
        {fldDate, "1/1/2000 x"},
        {fldDate, "NOW"},
        {fldDate, "1-1-2000"},
        {fldTime, "1:60:0 AM"},
        {fldTime, "1:0:60 AM"},
        {fldTime, "13:0:0 PM"},
        {fldTime, "24:0:0"},
        {fldTime, "1:0:0 XM"},
        {fldTime, "TODAY"},
        {fldTime, "1"},
        {fldTimestamp, "2/30/2020 @ 1:0:0 AM"},
        {fldTimestamp, "2/1/2020 @ 1:61:0 AM"},
        {fldTimestamp, "2/1/2020 @"},
        {fldTimestamp, "TODAY"},
    };
    for (const auto& [code, text] : cases) {
        Area a = Filled(0xAA);
        EXPECT_EQ(TextToValue(text, OfType(code), a.data()), 1) << code << " " << text;
        EXPECT_TRUE(AllZeroFrom(a, 0)) << code << " " << text;
    }
}

TEST_F(ValueTexts, TypesWithoutValueFormLeaveTheAreaAlone)
{
    for (int code : {int(fldMemo), int(fldBinary), int(fldFmtMemo), int(fldOle), int(fldGraphic), int(fldBytes), 0,
                     999}) {
        Area a = Filled(0xAA);
        EXPECT_EQ(TextToValue("42", OfType(code), a.data()), 0) << code;
        EXPECT_EQ(a, Filled(0xAA)) << code;
        EXPECT_EQ(ValueToText(a.data(), code), "") << code;
    }
}

TEST_F(ValueTexts, AnAutoincrementMinimumKeepsWhatWasTyped)
{
    Area a = Filled(0xAA);
    ASSERT_EQ(TextToValue("1000", OfType(fldAutoInc), a.data()), 0);
    EXPECT_EQ(I32(a), 1000);
    EXPECT_TRUE(AllZeroFrom(a, 4));
    EXPECT_EQ(RoundTrip("-7", fldAutoInc), "-7");
    EXPECT_EQ(TextToValue("mil", OfType(fldAutoInc), a.data()), 1);
    EXPECT_EQ(TextToValue("2147483648", OfType(fldAutoInc), a.data()), 1);

    TvxValCheckDesc check;
    check.setHasMinimum(true);
    ASSERT_EQ(TextToValue("500", OfType(fldAutoInc), check.minimum()), 0);
    EXPECT_EQ(ValCheckTexts(check, fldAutoInc).minimum, "500");
}

// Values at the edges of each form either show a text that reads back as themselves or have no
// text at all, never one that reads back as another value or not at all.
TEST_F(ValueTexts, ExtremeValuesReadBackOrHaveNoText)
{
    Area a{};
    for (const double v : {DBL_MAX, -DBL_MAX, DBL_MIN, -std::numeric_limits<double>::denorm_min()}) {
        SetF64(a, v);
        const std::optional<std::string> text = ValueToText(a.data(), fldNumber);
        ASSERT_TRUE(text.has_value()) << v;
        Area back = Filled(0xAA);
        ASSERT_EQ(TextToValue(*text, OfType(fldNumber), back.data()), 0) << *text;
        EXPECT_EQ(F64(back), v) << *text;
    }
    SetF64(a, DBL_MAX);
    EXPECT_EQ(ValueToText(a.data(), fldMoney), "1.7976931348623157E308");

    const std::pair<int, double> noText[] = {
        {fldNumber, std::numeric_limits<double>::quiet_NaN()},
        {fldMoney, -std::numeric_limits<double>::infinity()},
        {fldTimestamp, -5.0},
        {fldTimestamp, -1e15},
        {fldTimestamp, std::numeric_limits<double>::quiet_NaN()},
        {fldTimestamp, 1000.0},                 // day 0: year 0
        {fldTimestamp, 3652060.0 * MsPerDay},   // 1/1/10000
    };
    for (const auto& [code, v] : noText) {
        SetF64(a, v);
        EXPECT_EQ(ValueToText(a.data(), code), std::nullopt) << code << " " << v;
    }
    const std::pair<int, std::int32_t> noText32[] = {
        {fldDate, 0},           // 12/31 of year 0
        {fldDate, 3652060},     // 1/1/10000
        {fldDate, 0x7FFFFFFF},
        {fldTime, MsPerDay},    // 24:00:00
        {fldTime, 0x7FFFFFFF},
    };
    for (const auto& [code, v] : noText32) {
        SetI32(a, v);
        EXPECT_EQ(ValueToText(a.data(), code), std::nullopt) << code << " " << v;
    }
    SetI32(a, 3652059);
    EXPECT_EQ(ValueToText(a.data(), fldDate), "12/31/9999");
    SetI32(a, MsPerDay - 1000);
    EXPECT_EQ(ValueToText(a.data(), fldTime), "11:59:59 PM");

    // A damaged BCD reads as zero, which it shows; one whose digits do not fit precision 32
    // with its decimals has no text.
    a = Filled(0xFF);
    EXPECT_EQ(ValueToText(a.data(), fldBcd), "0");
    a = Filled(0x99);
    a[0] = 64;
    a[1] = 2;
    EXPECT_EQ(ValueToText(a.data(), fldBcd), std::nullopt);
}

// A BCD value is stored with the decimals of its field, as the reader keeps them.
TEST_F(ValueTexts, BcdTextsKeepTheFieldsDecimals)
{
    const struct
    {
        const char* text;
        int decimals;
        const char* shown;
    } cases[] = {
        {"0.123456", 6, "0.123456"}, {"-0.000123", 6, "-0.000123"}, {"1.005", 2, "1.01"},
        {"12.5", 0, "13"},           {"0.123456", 2, "0.12"},       {"123456789.12345", 5, "123456789.12345"},
        {"0.5", 32, "0.5"},
    };
    for (const auto& c : cases) {
        Area a = Filled(0xAA);
        ASSERT_EQ(TextToValue(c.text, OfType(fldBcd, c.decimals), a.data()), 0) << c.text << " " << c.decimals;
        EXPECT_EQ(a[0], 32) << c.text;
        EXPECT_EQ(a[1] & 0x3F, c.decimals) << c.text;
        EXPECT_EQ(ValueToText(a.data(), fldBcd), std::string(c.shown)) << c.text << " " << c.decimals;
    }
    Area a{};
    EXPECT_EQ(TextToValue("1", OfType(fldBcd, 33), a.data()), 1); // no precision-32 BCD has 33 decimals
    EXPECT_EQ(TextToValue("1E30", OfType(fldBcd, 3), a.data()), 1);
}

// A year of one or two digits is the year with those last digits among the 100 years from 49
// before the current year to 50 after it; longer years are taken as written.
TEST_F(ValueTexts, TwoDigitYearsFallInTheHundredYearsAroundNow)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    vxLocalTime(now, local);
    const int year = local.tm_year + 1900;
    const auto shortYear = [](int y) { return std::to_string(y % 100); };
    int yearEndingIn3 = 0;
    for (int y = year - 49; y <= year + 50; ++y)
        if (y % 100 == 3)
            yearEndingIn3 = y;
    const std::pair<std::string, int> cases[] = {
        {shortYear(year), year},
        {shortYear(year - 49), year - 49},
        {shortYear(year + 50), year + 50},
        {shortYear(year - 50), year + 50}, // same last digits as year + 50
        {shortYear(year + 51), year - 49},
        {"3", yearEndingIn3},
        {"03", yearEndingIn3},
        {"0003", 3},
        {"103", 103},
        {std::to_string(year), year},
    };
    for (const auto& [typed, expected] : cases) {
        const std::string shown = "1/2/" + (expected < 100 ? std::string(expected < 10 ? "000" : "00") : "") +
                                  std::to_string(expected);
        EXPECT_EQ(RoundTrip("1/2/" + typed, fldDate), shown) << typed;
        EXPECT_EQ(RoundTrip("1/2/" + typed + " @ 1:0:0 PM", fldTimestamp), shown + " @ 1:0:0 PM") << typed;
    }
}

// Random values of every type, drawn over the whole of each form and at its edges, either have
// no text or show one that reads back as the same value. Dates and times are drawn at whole
// seconds and BCDs with at most 15 significant digits, the resolution their texts carry.
class RandomValues
{
public:
    explicit RandomValues(unsigned seed) : rng_(seed) {}

    Area Draw(int code)
    {
        Area a{};
        switch (code) {
        case fldAlpha: {
            const int n = Pick(0, 256); // 256: no terminating zero
            for (int i = 0; i < n; ++i)
                a[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Pick(1, 255));
            break;
        }
        case fldNumber:
        case fldMoney: SetF64(a, Float()); break;
        case fldBcd: a = Bcd(); break;
        case fldDate: SetI32(a, OneOf<std::int32_t>({Pick(1, 3652059), Pick(-1000, 0), Pick(3652060, 0x7FFFFFFF),
                                                     static_cast<std::int32_t>(rng_())})); break;
        case fldShort: SetI32(a, Pick(0, 0xFFFF)); a[2] = a[3] = 0; break;
        case fldLong:
        case fldAutoInc: SetI32(a, static_cast<std::int32_t>(rng_())); break;
        case fldTime: SetI32(a, OneOf<std::int32_t>({Pick(0, 86399) * 1000, -Pick(1, 1000),
                                                     Pick(MsPerDay, 0x7FFFFFFF)})); break;
        case fldTimestamp:
            SetF64(a, OneOf<double>({static_cast<double>(Pick(1, 3652059)) * MsPerDay + Pick(0, 86399) * 1000.0, 0.0,
                                     static_cast<double>(Pick(0, 86399)) * 1000.0 + 1000.0,
                                     static_cast<double>(Pick(3652060, 0x7FFFFFFF)) * MsPerDay, -std::fabs(Float()),
                                     std::numeric_limits<double>::infinity()}));
            break;
        case fldLogical: a[0] = static_cast<std::uint8_t>(Pick(0, 255)); break;
        }
        return a;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    template <class T>
    T OneOf(std::initializer_list<T> choices)
    {
        return choices.begin()[Pick(0, static_cast<int>(choices.size()) - 1)];
    }
    // 15 significant digits at any power of ten of the double range, or an edge of it.
    double Float()
    {
        if (Pick(0, 7) == 0)
            return OneOf<double>({DBL_MAX, -DBL_MAX, DBL_MIN, -std::numeric_limits<double>::denorm_min(), 0.0,
                                  std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()});
        const std::string text = (Pick(0, 1) ? "-" : "") + std::to_string(Pick(1, 9)) + "." +
                                 std::to_string(std::uniform_int_distribution<std::int64_t>(0, 99999999999999)(rng_)) +
                                 "E" + std::to_string(Pick(-307, 307));
        return std::stod(text);
    }
    // Precision 32 with random decimals; up to 15 digits placed anywhere, or all 32 digits.
    Area Bcd()
    {
        Area a{};
        a[0] = 32;
        a[1] = static_cast<std::uint8_t>(Pick(0, 32) | (Pick(0, 1) ? 0x80 : 0));
        const bool full = Pick(0, 9) == 0;
        const int count = full ? 32 : Pick(1, 15);
        const int first = full ? 0 : Pick(0, 32 - count);
        for (int k = first; k < first + count; ++k)
            a[static_cast<std::size_t>(2 + k / 2)] |= static_cast<std::uint8_t>(Pick(0, 9) << (k % 2 == 0 ? 4 : 0));
        return a;
    }

    std::mt19937 rng_;
};

bool SameValue(const Area& a, const Area& b, int code)
{
    switch (code) {
    case fldNumber:
    case fldMoney: return F64(a) == F64(b);
    case fldBcd: return BcdToDouble(a.data()) == BcdToDouble(b.data());
    case fldDate:
    case fldTime: return I32(a) < 0 ? I32(b) == -1 : I32(a) == I32(b); // any negative is TODAY / NOW
    case fldTimestamp: return F64(a) == F64(b);
    case fldLogical: return (a[0] != 0) == (b[0] != 0);
    case fldShort: return a[0] == b[0] && a[1] == b[1];
    default: return a == b;
    }
}

TEST_F(ValueTexts, RandomValuesReadBackOrHaveNoText)
{
    RandomValues values(::testing::UnitTest::GetInstance()->random_seed());
    for (const int code : {int(fldAlpha), int(fldNumber), int(fldMoney), int(fldBcd), int(fldDate), int(fldShort),
                           int(fldLong), int(fldAutoInc), int(fldTime), int(fldTimestamp), int(fldLogical)}) {
        int shown = 0;
        for (int round = 0; round < 3000; ++round) {
            const Area a = values.Draw(code);
            const std::optional<std::string> text = ValueToText(a.data(), code);
            if (!text)
                continue;
            ++shown;
            Area b = Filled(0xAA);
            ASSERT_EQ(TextToValue(*text, OfType(code, a[1] & 0x3F), b.data()), 0) << code << " " << *text;
            ASSERT_TRUE(SameValue(a, b, code)) << code << " " << *text;
        }
        EXPECT_GT(shown, 600) << code; // the draws are not mostly values without a text
    }
}

TEST_F(ValueTexts, ValCheckTextsShowWhatTheTypeHas)
{
    TvxValCheckDesc check;
    check.setRequired(true);
    check.setPicture("###");
    check.setHasMinimum(true);
    check.setHasMaximum(true);
    check.setHasDefault(true);
    ASSERT_EQ(TextToValue("1", OfType(fldLong), check.minimum()), 0);
    ASSERT_EQ(TextToValue("9", OfType(fldLong), check.maximum()), 0);
    ASSERT_EQ(TextToValue("5", OfType(fldLong), check.defaultValue()), 0);

    TvxValCheckTexts t = ValCheckTexts(check, fldLong);
    EXPECT_TRUE(t.required);
    EXPECT_EQ(t.picture, "###");
    EXPECT_EQ(t.minimum, "1");
    EXPECT_EQ(t.maximum, "9");
    EXPECT_EQ(t.defaultValue, "5");

    t = ValCheckTexts(check, fldAutoInc);
    EXPECT_EQ(t.minimum, "1");
    EXPECT_EQ(t.maximum, "");
    EXPECT_EQ(t.defaultValue, "");

    check.defaultValue()[0] = 1;
    t = ValCheckTexts(check, fldLogical);
    EXPECT_EQ(t.minimum, "");
    EXPECT_EQ(t.maximum, "");
    EXPECT_EQ(t.defaultValue, "True");

    t = ValCheckTexts(check, fldMemo);
    EXPECT_TRUE(t.required);
    EXPECT_EQ(t.minimum, "");
    EXPECT_EQ(t.maximum, "");
    EXPECT_EQ(t.defaultValue, "");

    // A value without its has-flag is not shown.
    check.setHasMaximum(false);
    t = ValCheckTexts(check, fldLong);
    EXPECT_EQ(t.minimum, "1");
    EXPECT_EQ(t.maximum, "");
    check.setRequired(false);
    EXPECT_FALSE(ValCheckTexts(check, fldLong).required);
}

TEST(ValueTextsInLocale, NumbersUseTheDecimalComma)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(RoundTrip("1,5", fldNumber), "1,5");
    EXPECT_EQ(RoundTrip("-1234,25", fldMoney), "-1234,25");
    EXPECT_EQ(RoundTrip("1,23", fldBcd), "1,23");
    EXPECT_EQ(RoundTrip("1.5", fldNumber), "<failed>");
    std::setlocale(LC_NUMERIC, saved.c_str());
}
