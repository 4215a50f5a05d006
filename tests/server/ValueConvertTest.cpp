// Converting record values between field types: every pair of types on one value of each,
// then the cases at the edges (cuts, rounding, ranges, code pages, new-field texts).

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"
#include "server/vxValueConvert.h"

namespace morvane {
namespace {

TvxFieldShape Shape(int type, int size = 0, int codePage = 1252)
{
    return {type, size, codePage};
}

std::int32_t Day(int y, int m, int d)
{
    std::int32_t day = 0;
    EncodeDate(y, m, d, day);
    return day;
}

std::int32_t Ms(int h, int m, int s)
{
    std::int32_t t = 0;
    EncodeTime(h, m, s * 1000, t);
    return t;
}

// One field of each type, in type-code order, with a value a table of that type could hold.
struct Sample
{
    char letter;
    TvxFieldShape shape;
    TvxFieldValue value;
};

std::array<Sample, 17> Samples()
{
    return {{
        {'A', Shape(fldAlpha, 20), TvxFieldValue::Bytes("42")},
        {'N', Shape(fldNumber), TvxFieldValue::Float(42.0)},
        {'$', Shape(fldMoney), TvxFieldValue::Float(42.0)},
        {'D', Shape(fldDate), TvxFieldValue::Date(Day(2021, 3, 4))},
        {'S', Shape(fldShort), TvxFieldValue::Integer(42)},
        {'M', Shape(fldMemo, 10), TvxFieldValue::Bytes("42")},
        {'B', Shape(fldBinary, 10), TvxFieldValue::Bytes(std::string("\x01\x00\x02", 3))},
        {'F', Shape(fldFmtMemo, 10), TvxFieldValue::Bytes("{rtf}")},
        {'O', Shape(fldOle, 10), TvxFieldValue::Bytes("ole")},
        {'G', Shape(fldGraphic, 10), TvxFieldValue::Bytes("BM")},
        {'I', Shape(fldLong), TvxFieldValue::Integer(42)},
        {'T', Shape(fldTime), TvxFieldValue::Time(Ms(13, 5, 9))},
        {'@', Shape(fldTimestamp), TvxFieldValue::Timestamp(EncodeTimeStamp(Day(2021, 3, 4), Ms(13, 5, 9)))},
        {'L', Shape(fldLogical), TvxFieldValue::Logical(true)},
        {'+', Shape(fldAutoInc), TvxFieldValue::Integer(42)},
        {'Y', Shape(fldBytes, 4), TvxFieldValue::Bytes(std::string("\x01\x00\x02", 3))},
        {'#', Shape(fldBcd, 2), TvxFieldValue::Bcd("42.00")},
    }};
}

// Row: from; column: to, in the order A N $ D S M B F O G I T @ L + Y #.
// E: the value means the same; C: carried cut; F: does not convert (blank).
constexpr std::array<const char*, 17> Expected = {{
    /* A */ "EEEFEEEFFFEFFFEEE",
    /* N */ "EEEFEEFFFFEFFFEFE",
    /* $ */ "EEEFEEFFFFEFFFEFE",
    /* D */ "EFFEFEFFFFFFEFFFF",
    /* S */ "EEEFEEFFFFEFFFEFE",
    /* M */ "EEEFEEFFFFEFFFEFE",
    /* B */ "FFFFFFEFFFFFFFFEF",
    /* F */ "FFFFFFFEFFFFFFFFF",
    /* O */ "FFFFFFFFEFFFFFFFF",
    /* G */ "FFFFFFFFFEFFFFFFF",
    /* I */ "EEEFEEFFFFEFFFEFE",
    /* T */ "EFFFFEFFFFFEFFFFF",
    /* @ */ "EFFCFEFFFFFCEFFFF",
    /* L */ "EEEFEEFFFFEFFEEFE",
    /* + */ "EEEFEEFFFFEFFFEFE",
    /* Y */ "FFFFFFEFFFFFFFFEF",
    /* # */ "EEEFEEFFFFEFFFEFE",
}};

char Letter(TvxConvert r)
{
    return r == TvxConvert::Exact ? 'E' : (r == TvxConvert::Cut ? 'C' : 'F');
}

TEST(ValueConvertTest, EveryPairOfTypes)
{
    const auto samples = Samples();
    for (std::size_t f = 0; f < samples.size(); ++f) {
        std::string row;
        for (std::size_t t = 0; t < samples.size(); ++t) {
            TvxFieldValue out = TvxFieldValue::Bytes("stale");
            const TvxConvert r = ConvertValue(samples[f].value, samples[f].shape, samples[t].shape, out);
            row += Letter(r);
            // A value that does not convert leaves a blank, never a made-up value.
            if (r == TvxConvert::Failed)
                EXPECT_TRUE(out.isBlank()) << samples[f].letter << "->" << samples[t].letter;
            else
                EXPECT_FALSE(out.isBlank()) << samples[f].letter << "->" << samples[t].letter;
            // An exact conversion that is exact back gives the value again (texts may come
            // back in another spelling: "42" as "42.00").
            TvxFieldValue back;
            const bool text = samples[f].letter == 'A' || samples[f].letter == 'M';
            if (!text && r == TvxConvert::Exact &&
                ConvertValue(out, samples[t].shape, samples[f].shape, back) == TvxConvert::Exact) {
                EXPECT_EQ(back, samples[f].value) << samples[f].letter << "->" << samples[t].letter << "->back";
            }
            // A blank stays blank, exactly, whatever the types.
            TvxFieldValue blank;
            EXPECT_EQ(ConvertValue(TvxFieldValue(), samples[f].shape, samples[t].shape, blank), TvxConvert::Exact);
            EXPECT_TRUE(blank.isBlank());
        }
        EXPECT_EQ(row, Expected[f]) << "from " << samples[f].letter;
    }
}

struct Case
{
    const char* name;
    TvxFieldShape from;
    TvxFieldValue in;
    TvxFieldShape to;
    TvxConvert result;
    TvxFieldValue out;
};

TEST(ValueConvertTest, EdgeCases)
{
    const Case cases[] = {
        {"alpha cut", Shape(fldAlpha, 10), TvxFieldValue::Bytes("abcdefgh"), Shape(fldAlpha, 5), TvxConvert::Cut,
         TvxFieldValue::Bytes("abcde")},
        {"alpha trailing blanks go first", Shape(fldAlpha, 10), TvxFieldValue::Bytes("abc     "), Shape(fldAlpha, 5),
         TvxConvert::Exact, TvxFieldValue::Bytes("abc")},
        {"alpha widened", Shape(fldAlpha, 5), TvxFieldValue::Bytes("abcde"), Shape(fldAlpha, 30), TvxConvert::Exact,
         TvxFieldValue::Bytes("abcde")},
        {"memo into short alpha", Shape(fldMemo, 10), TvxFieldValue::Bytes(std::string(300, 'x')),
         Shape(fldAlpha, 255), TvxConvert::Cut, TvxFieldValue::Bytes(std::string(255, 'x'))},
        {"number rounds to short", Shape(fldNumber), TvxFieldValue::Float(3.7), Shape(fldShort), TvxConvert::Cut,
         TvxFieldValue::Integer(4)},
        {"half away from zero", Shape(fldNumber), TvxFieldValue::Float(-2.5), Shape(fldLong), TvxConvert::Cut,
         TvxFieldValue::Integer(-3)},
        {"short out of range", Shape(fldNumber), TvxFieldValue::Float(40000), Shape(fldShort), TvxConvert::Failed,
         TvxFieldValue()},
        {"long into short out of range", Shape(fldLong), TvxFieldValue::Integer(-32768), Shape(fldShort),
         TvxConvert::Failed, TvxFieldValue()},
        {"number to bcd rounds", Shape(fldNumber), TvxFieldValue::Float(1.005), Shape(fldBcd, 2), TvxConvert::Cut,
         TvxFieldValue::Bcd("1.01")},
        {"bcd fewer decimals exact", Shape(fldBcd, 4), TvxFieldValue::Bcd("1.2300"), Shape(fldBcd, 2),
         TvxConvert::Exact, TvxFieldValue::Bcd("1.23")},
        {"bcd fewer decimals cut", Shape(fldBcd, 4), TvxFieldValue::Bcd("-1.2350"), Shape(fldBcd, 2), TvxConvert::Cut,
         TvxFieldValue::Bcd("-1.24")},
        {"bcd too many digits for a double", Shape(fldBcd, 2), TvxFieldValue::Bcd("12345678901234567.25"),
         Shape(fldNumber), TvxConvert::Cut, TvxFieldValue::Float(12345678901234567.25)},
        {"bcd whole digits do not fit", Shape(fldBcd, 0), TvxFieldValue::Bcd(std::string(31, '9')), Shape(fldBcd, 2),
         TvxConvert::Failed, TvxFieldValue()},
        {"text with exponent", Shape(fldAlpha, 10), TvxFieldValue::Bytes("1.5e3"), Shape(fldLong), TvxConvert::Exact,
         TvxFieldValue::Integer(1500)},
        {"text that is no number", Shape(fldAlpha, 10), TvxFieldValue::Bytes("abc"), Shape(fldNumber),
         TvxConvert::Failed, TvxFieldValue()},
        {"blank text is blank", Shape(fldAlpha, 10), TvxFieldValue::Bytes("   "), Shape(fldDate), TvxConvert::Exact,
         TvxFieldValue()},
        {"text date", Shape(fldAlpha, 10), TvxFieldValue::Bytes("3/4/2021"), Shape(fldDate), TvxConvert::Exact,
         TvxFieldValue::Date(Day(2021, 3, 4))},
        {"TODAY in a record is no date", Shape(fldAlpha, 10), TvxFieldValue::Bytes("TODAY"), Shape(fldDate),
         TvxConvert::Failed, TvxFieldValue()},
        {"text logical", Shape(fldAlpha, 10), TvxFieldValue::Bytes(" false "), Shape(fldLogical), TvxConvert::Exact,
         TvxFieldValue::Logical(false)},
        {"date shown", Shape(fldDate), TvxFieldValue::Date(Day(2021, 3, 4)), Shape(fldAlpha, 10), TvxConvert::Exact,
         TvxFieldValue::Bytes("3/4/2021")},
        {"date without a text", Shape(fldDate), TvxFieldValue::Date(Day(2021, 3, 4) + 4000000), Shape(fldAlpha, 20),
         TvxConvert::Failed, TvxFieldValue()},
        {"date shown cut", Shape(fldDate), TvxFieldValue::Date(Day(2021, 3, 4)), Shape(fldAlpha, 4), TvxConvert::Cut,
         TvxFieldValue::Bytes("3/4/")},
        {"time of a timestamp drops the day", Shape(fldTimestamp),
         TvxFieldValue::Timestamp(EncodeTimeStamp(Day(2021, 3, 4), Ms(8, 0, 0))), Shape(fldTime), TvxConvert::Cut,
         TvxFieldValue::Time(Ms(8, 0, 0))},
        {"midnight timestamp is a date", Shape(fldTimestamp),
         TvxFieldValue::Timestamp(EncodeTimeStamp(Day(2021, 3, 4), 0)), Shape(fldDate), TvxConvert::Exact,
         TvxFieldValue::Date(Day(2021, 3, 4))},
        {"milliseconds not shown", Shape(fldTime), TvxFieldValue::Time(Ms(1, 2, 3) + 250), Shape(fldAlpha, 20),
         TvxConvert::Cut, TvxFieldValue::Bytes("1:2:3 AM")},
        {"number shown", Shape(fldMoney), TvxFieldValue::Float(-0.5), Shape(fldAlpha, 10), TvxConvert::Exact,
         TvxFieldValue::Bytes("-0.5")},
        {"bcd shown with its decimals", Shape(fldBcd, 2), TvxFieldValue::Bcd("7.50"), Shape(fldAlpha, 10),
         TvxConvert::Exact, TvxFieldValue::Bytes("7.50")},
        {"two is no logical", Shape(fldShort), TvxFieldValue::Integer(2), Shape(fldLogical), TvxConvert::Failed,
         TvxFieldValue()},
        {"bytes shortened", Shape(fldBytes, 4), TvxFieldValue::Bytes("abcd"), Shape(fldBytes, 2), TvxConvert::Cut,
         TvxFieldValue::Bytes("ab")},
        {"code page keeps the letter", Shape(fldAlpha, 10, 1252), TvxFieldValue::Bytes("\xE9"),
         Shape(fldAlpha, 10, 437), TvxConvert::Exact, TvxFieldValue::Bytes("\x82")},
        {"code page without the letter", Shape(fldAlpha, 10, 1252), TvxFieldValue::Bytes("\x80"),
         Shape(fldAlpha, 10, 437), TvxConvert::Cut, TvxFieldValue::Bytes("?")},
    };
    for (const Case& c : cases) {
        TvxFieldValue out;
        EXPECT_EQ(ConvertValue(c.in, c.from, c.to, out), c.result) << c.name;
        EXPECT_EQ(out, c.out) << c.name;
    }
}

TEST(ValueConvertTest, NewFieldValues)
{
    const TvxMoment now{Day(2024, 2, 29), Ms(10, 0, 0)};
    struct NewCase
    {
        const char* text;
        TvxFieldShape to;
        TvxConvert result;
        TvxFieldValue out;
    };
    const NewCase cases[] = {
        {"", Shape(fldLong), TvxConvert::Exact, TvxFieldValue()},
        {"17", Shape(fldLong), TvxConvert::Exact, TvxFieldValue::Integer(17)},
        {"TODAY", Shape(fldDate), TvxConvert::Exact, TvxFieldValue::Date(Day(2024, 2, 29))},
        {"now", Shape(fldTime), TvxConvert::Exact, TvxFieldValue::Time(Ms(10, 0, 0))},
        {"NOW", Shape(fldTimestamp), TvxConvert::Exact,
         TvxFieldValue::Timestamp(EncodeTimeStamp(Day(2024, 2, 29), Ms(10, 0, 0)))},
        {"True", Shape(fldLogical), TvxConvert::Exact, TvxFieldValue::Logical(true)},
        {"2.345", Shape(fldBcd, 2), TvxConvert::Cut, TvxFieldValue::Bcd("2.35")},
        {"abcdef", Shape(fldAlpha, 3), TvxConvert::Cut, TvxFieldValue::Bytes("abc")},
        {"memo text", Shape(fldMemo, 10), TvxConvert::Exact, TvxFieldValue::Bytes("memo text")},
        {"x", Shape(fldGraphic, 10), TvxConvert::Failed, TvxFieldValue()},
        {"12,5x", Shape(fldNumber), TvxConvert::Failed, TvxFieldValue()},
    };
    for (const NewCase& c : cases) {
        TvxFieldValue out;
        EXPECT_EQ(NewFieldValue(c.text, c.to, now, out), c.result) << c.text;
        EXPECT_EQ(out, c.out) << c.text;
    }
}

TEST(ValueConvertTest, CompareValuesOrdersBlankFirstAndTextsWithoutCase)
{
    EXPECT_LT(CompareValues(TvxFieldValue(), TvxFieldValue::Integer(-5), fldLong), 0);
    EXPECT_LT(CompareValues(TvxFieldValue::Bytes("apple"), TvxFieldValue::Bytes("BANANA"), fldAlpha), 0);
    EXPECT_GT(CompareValues(TvxFieldValue::Bcd("10.00"), TvxFieldValue::Bcd("9.99"), fldBcd), 0);
    EXPECT_EQ(CompareValues(TvxFieldValue::Float(1.5), TvxFieldValue::Float(1.5), fldNumber), 0);
}

} // namespace
} // namespace morvane
