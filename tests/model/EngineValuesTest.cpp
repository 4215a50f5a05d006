#include <gtest/gtest.h>

#include "model/vxEngineValues.h"

#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace morvane;

namespace {

using Bcd = std::array<std::uint8_t, BcdSize>;

// Precision 32: 16 digit bytes after the two header bytes, the rest zero.
Bcd BcdOf(std::uint8_t signPlaces, std::initializer_list<std::pair<int, std::uint8_t>> digitBytes)
{
    Bcd b{};
    b[0] = 32;
    b[1] = signPlaces;
    for (const auto& [index, value] : digitBytes)
        b[2 + index] = value;
    return b;
}

} // namespace

TEST(EngineDates, KnownDayNumbers)
{
    std::int32_t d = 0;
    ASSERT_TRUE(EncodeDate(1, 1, 1, d));
    EXPECT_EQ(d, 1);
    ASSERT_TRUE(EncodeDate(1996, 5, 4, d));
    EXPECT_EQ(d, 728783);
    ASSERT_TRUE(EncodeDate(1899, 12, 30, d));
    EXPECT_EQ(d, 693594);
    ASSERT_TRUE(EncodeDate(9999, 12, 31, d));
    EXPECT_EQ(d, 3652059);

    const TvxDate t = DecodeDate(728783);
    EXPECT_EQ(t.year, 1996);
    EXPECT_EQ(t.month, 5);
    EXPECT_EQ(t.day, 4);
    const TvxDate first = DecodeDate(1);
    EXPECT_EQ(first.year, 1);
    EXPECT_EQ(first.month, 1);
    EXPECT_EQ(first.day, 1);
}

TEST(EngineDates, LeapDaysAndInvalidDates)
{
    std::int32_t d = 0;
    EXPECT_TRUE(EncodeDate(2000, 2, 29, d));
    EXPECT_TRUE(EncodeDate(2024, 2, 29, d));
    EXPECT_FALSE(EncodeDate(1900, 2, 29, d));
    EXPECT_EQ(d, 0);
    EXPECT_FALSE(EncodeDate(2023, 2, 29, d));
    EXPECT_FALSE(EncodeDate(2023, 4, 31, d));
    EXPECT_FALSE(EncodeDate(2023, 13, 1, d));
    EXPECT_FALSE(EncodeDate(2023, 0, 1, d));
    EXPECT_FALSE(EncodeDate(2023, 1, 0, d));
    EXPECT_FALSE(EncodeDate(0, 1, 1, d));
    EXPECT_FALSE(EncodeDate(10000, 1, 1, d));

    ASSERT_TRUE(EncodeDate(2000, 2, 29, d));
    const TvxDate leap = DecodeDate(d);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    const TvxDate next = DecodeDate(d + 1);
    EXPECT_EQ(next.month, 3);
    EXPECT_EQ(next.day, 1);
}

TEST(EngineDates, EveryDecodedDayEncodesBack)
{
    for (std::int32_t day = 1; day <= 3652059; day += 37) {
        const TvxDate t = DecodeDate(day);
        std::int32_t back = 0;
        ASSERT_TRUE(EncodeDate(t.year, t.month, t.day, back)) << day;
        ASSERT_EQ(back, day);
    }
}

TEST(EngineDates, ExtremeDayNumbersDecodeWithoutFault)
{
    const TvxDate maxDay = DecodeDate(std::numeric_limits<std::int32_t>::max());
    EXPECT_GT(maxDay.year, 5000000);
    const TvxDate minDay = DecodeDate(std::numeric_limits<std::int32_t>::min());
    EXPECT_LT(minDay.year, -5000000);
    const TvxDate zero = DecodeDate(0);
    EXPECT_EQ(zero.year, 0);
    EXPECT_EQ(zero.month, 12);
    EXPECT_EQ(zero.day, 31);
}

TEST(EngineTimes, EncodeDecodeAndRanges)
{
    std::int32_t t = 0;
    ASSERT_TRUE(EncodeTime(13, 5, 9000, t));
    EXPECT_EQ(t, 13 * 3600000 + 5 * 60000 + 9000);
    const TvxTime d = DecodeTime(t);
    EXPECT_EQ(d.hour, 13);
    EXPECT_EQ(d.minute, 5);
    EXPECT_EQ(d.milliseconds, 9000);

    ASSERT_TRUE(EncodeTime(23, 59, 59999, t));
    EXPECT_EQ(t, MsPerDay - 1);
    EXPECT_FALSE(EncodeTime(24, 0, 0, t));
    EXPECT_FALSE(EncodeTime(0, 60, 0, t));
    EXPECT_FALSE(EncodeTime(0, 0, 60000, t));
    EXPECT_FALSE(EncodeTime(-1, 0, 0, t));
}

TEST(EngineTimeStamps, KnownValueAndDamagedValues)
{
    std::int32_t date = 0;
    std::int32_t time = 0;
    ASSERT_TRUE(EncodeDate(2020, 2, 1, date));
    ASSERT_TRUE(EncodeTime(1, 0, 1000, time));
    const double ts = EncodeTimeStamp(date, time);
    EXPECT_EQ(ts, 63716202001000.0);

    std::int32_t d2 = 0;
    std::int32_t t2 = 0;
    ASSERT_TRUE(DecodeTimeStamp(ts, d2, t2));
    EXPECT_EQ(d2, date);
    EXPECT_EQ(t2, time);

    // Half a millisecond before midnight rounds into the next day, not to hour 24.
    ASSERT_TRUE(DecodeTimeStamp(EncodeTimeStamp(date, 0) - 0.25, d2, t2));
    EXPECT_EQ(d2, date);
    EXPECT_EQ(t2, 0);

    for (double bad : {-1.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e300}) {
        d2 = t2 = 7;
        EXPECT_FALSE(DecodeTimeStamp(bad, d2, t2)) << bad;
        EXPECT_EQ(d2, 0);
        EXPECT_EQ(t2, 0);
    }
}

TEST(EngineBcd, ByteLayoutOfPrecision32TwoPlaces)
{
    Bcd b{};
    ASSERT_TRUE(DoubleToBcd(1.23, 32, 2, b.data()));
    EXPECT_EQ(b, BcdOf(0x02, {{14, 0x01}, {15, 0x23}}));
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), 1.23);

    ASSERT_TRUE(DoubleToBcd(-1.23, 32, 2, b.data()));
    EXPECT_EQ(b, BcdOf(0x82, {{14, 0x01}, {15, 0x23}}));
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), -1.23);

    ASSERT_TRUE(DoubleToBcd(123456.5, 32, 2, b.data()));
    EXPECT_EQ(b, BcdOf(0x02, {{12, 0x12}, {13, 0x34}, {14, 0x56}, {15, 0x50}}));

    ASSERT_TRUE(DoubleToBcd(0.0, 32, 2, b.data()));
    EXPECT_EQ(b, BcdOf(0x02, {}));
    EXPECT_EQ(BcdToDouble(b.data()), 0.0);

    // Odd precision: the last digit sits in a high nibble.
    ASSERT_TRUE(DoubleToBcd(12.5, 3, 1, b.data()));
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2], 0x12);
    EXPECT_EQ(b[3], 0x50);
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), 12.5);
}

TEST(EngineBcd, RoundsHalfAwayFromZeroAtTheDecimalText)
{
    Bcd b{};
    ASSERT_TRUE(DoubleToBcd(1.005, 32, 2, b.data()));
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), 1.01);
    ASSERT_TRUE(DoubleToBcd(-2.675, 32, 2, b.data()));
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), -2.68);
    ASSERT_TRUE(DoubleToBcd(0.004, 32, 2, b.data()));
    EXPECT_EQ(BcdToDouble(b.data()), 0.0);
    ASSERT_TRUE(DoubleToBcd(99.995, 32, 2, b.data()));
    EXPECT_DOUBLE_EQ(BcdToDouble(b.data()), 100.0);

    // A negative value that rounds to zero is stored as plain zero, without the sign.
    ASSERT_TRUE(DoubleToBcd(-0.001, 32, 2, b.data()));
    EXPECT_EQ(b, BcdOf(0x02, {}));
}

TEST(EngineBcd, RefusesWhatDoesNotFit)
{
    Bcd b{};
    b.fill(0xAA);
    EXPECT_FALSE(DoubleToBcd(1e30, 32, 2, b.data()));
    EXPECT_EQ(b, Bcd{});
    EXPECT_TRUE(DoubleToBcd(999999999999999e15, 32, 2, b.data())); // 30 integer digits
    EXPECT_FALSE(DoubleToBcd(99.999, 4, 2, b.data()));             // carry out of the top digit
    EXPECT_FALSE(DoubleToBcd(std::nan(""), 32, 2, b.data()));
    EXPECT_FALSE(DoubleToBcd(std::numeric_limits<double>::infinity(), 32, 2, b.data()));
    EXPECT_FALSE(DoubleToBcd(1.0, 0, 0, b.data()));
    EXPECT_FALSE(DoubleToBcd(1.0, 65, 2, b.data()));
    EXPECT_FALSE(DoubleToBcd(1.0, 4, 5, b.data()));
}

TEST(EngineBcd, DamagedBcdReadsAsZero)
{
    Bcd b = BcdOf(0x02, {{15, 0x23}});
    b[15] = 0xA0; // nibble over 9
    EXPECT_EQ(BcdToDouble(b.data()), 0.0);

    Bcd c{};
    c[0] = 65;
    c[2] = 0x11;
    EXPECT_EQ(BcdToDouble(c.data()), 0.0);

    Bcd d{};
    d[0] = 2;
    d[1] = 3; // more places than digits
    d[2] = 0x11;
    EXPECT_EQ(BcdToDouble(d.data()), 0.0);

    Bcd full{};
    full[0] = 64;
    full[1] = 0;
    full[33] = 0x07;
    EXPECT_EQ(BcdToDouble(full.data()), 7.0);
}

TEST(FloatTexts, GeneralFormInTheCLocale)
{
    const std::pair<double, const char*> cases[] = {
        {1.5, "1.5"},
        {100, "100"},
        {0.1, "0.1"},
        {1e20, "1E20"},
        {1.5e20, "1.5E20"},
        {-2.5, "-2.5"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {-1.25e-7, "-1.25E-7"},
        {12345.678, "12345.678"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::nan(""), "NAN"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FloatToText(value, "."), text) << value;
}

TEST(FloatTexts, OtherDecimalSeparator)
{
    EXPECT_EQ(FloatToText(1.5, ","), "1,5");
    EXPECT_EQ(FloatToText(1.5e20, ","), "1,5E20");
    EXPECT_EQ(FloatToText(-0.0025, ","), "-0,0025");

    double v = 0;
    ASSERT_TRUE(TextToFloat("1,5", ",", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(TextToFloat("1.5", ",", v));
    EXPECT_FALSE(TextToFloat("1,5", ".", v));
}

TEST(FloatTexts, ParsingNeedsTheWholeText)
{
    double v = 0;
    const std::pair<const char*, double> good[] = {
        {"1.5", 1.5}, {" -2.25 ", -2.25}, {"+3", 3}, {".5", 0.5}, {"5.", 5}, {"1E20", 1e20}, {"1e-5", 1e-5},
        {"-0", 0},    {"007", 7},
    };
    for (const auto& [text, value] : good) {
        ASSERT_TRUE(TextToFloat(text, ".", v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    for (const char* bad : {"", " ", "-", ".", "1.5x", "1 5", "1e", "1e+", "inf", "nan", "INF", "1e999", "0x10",
                            "1..2", "--1", "1,5"}) {
        v = 9;
        EXPECT_FALSE(TextToFloat(bad, ".", v)) << bad;
        EXPECT_EQ(v, 0.0) << bad;
    }
}

TEST(FloatTexts, WrittenTextsReadBack)
{
    for (double value : {1.5, -1234.5678, 0.001, 1e-10, 9.87654321012345e100, 123456789012345.0, -7e-300}) {
        double back = 0;
        ASSERT_TRUE(TextToFloat(FloatToText(value, "."), ".", back)) << value;
        EXPECT_DOUBLE_EQ(back, value);
    }
}

TEST(FloatTexts, FollowTheProcessNumericLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocales[] = {"de_DE.UTF-8", "pt_BR.UTF-8", "de_DE.utf8", "pt_BR.utf8"};
    const char* found = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = name;
            break;
        }
    if (found == nullptr) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(DecimalSeparator(), ",");
    EXPECT_EQ(FloatToText(1.5), "1,5");
    double v = 0;
    EXPECT_TRUE(TextToFloat("2,25", v));
    EXPECT_EQ(v, 2.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FloatTexts, CLocaleUsesAPoint)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    EXPECT_EQ(DecimalSeparator(), ".");
    EXPECT_EQ(FloatToText(0.1), "0.1");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(IntegerTexts, RangesAndForms)
{
    std::int64_t v = 0;
    ASSERT_TRUE(TextToInteger(" -32768 ", -32768, 32767, v));
    EXPECT_EQ(v, -32768);
    ASSERT_TRUE(TextToInteger("+12", -32768, 32767, v));
    EXPECT_EQ(v, 12);
    EXPECT_FALSE(TextToInteger("32768", -32768, 32767, v));
    EXPECT_FALSE(TextToInteger("-32769", -32768, 32767, v));
    EXPECT_FALSE(TextToInteger("99999999999999999999999", -32768, 32767, v));
    for (const char* bad : {"", "-", "1.0", "12a", "1 2", "0x1F"})
        EXPECT_FALSE(TextToInteger(bad, -1000, 1000, v)) << bad;
}
