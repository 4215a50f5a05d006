// The writer's record encoding against byte vectors, and the values it refuses rather than
// change.

#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxValueEncoding.h"
#include "model/TvxValCheckDesc.h"
#include "model/vxEngineValues.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace morvane {
namespace {

ParadoxField fieldOf(std::uint8_t type, std::uint8_t size)
{
    ParadoxField f;
    f.type = type;
    f.size = size;
    return f;
}

std::vector<std::uint8_t> encode(std::uint8_t type, std::uint8_t size, const TvxFieldValue& v)
{
    const ParadoxField f = fieldOf(type, size);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(f.length()), 0xEE);
    std::string why;
    EXPECT_TRUE(ParadoxEncodeValue(f, v, out.data(), why)) << why;
    return out;
}

using Bytes = std::vector<std::uint8_t>;

TEST(ParadoxWriterValues, RecordEncodingMatchesTheFormat)
{
    Bytes bcdPositive(17, 0);
    bcdPositive[0] = 0xC2;
    bcdPositive[15] = 0x01;
    bcdPositive[16] = 0x23;
    Bytes bcdNegative(17, 0xFF);
    bcdNegative[0] = 0x42;
    bcdNegative[15] = 0xFE;
    bcdNegative[16] = 0xDC;
    Bytes bcdZero(17, 0);
    bcdZero[0] = 0xC2;
    const struct
    {
        std::uint8_t type;
        std::uint8_t size;
        TvxFieldValue value;
        Bytes bytes;
    } cases[] = {
        {pxShort, 2, TvxFieldValue::Integer(1), {0x80, 0x01}},
        {pxShort, 2, TvxFieldValue::Integer(256), {0x81, 0x00}},
        {pxShort, 2, TvxFieldValue::Integer(-1), {0x7F, 0xFF}},
        {pxShort, 2, TvxFieldValue::Integer(0), {0x80, 0x00}},
        {pxShort, 2, {}, {0x00, 0x00}},
        {pxLong, 4, TvxFieldValue::Integer(-2147483647), {0x00, 0x00, 0x00, 0x01}},
        {pxDate, 4, TvxFieldValue::Date(728783), {0x80, 0x0B, 0x1E, 0xCF}}, // 4 May 1996
        {pxTime, 4, TvxFieldValue::Time(1000), {0x80, 0x00, 0x03, 0xE8}},
        {pxNumber, 8, TvxFieldValue::Float(1.0), {0xBF, 0xF0, 0, 0, 0, 0, 0, 0}},
        {pxNumber, 8, TvxFieldValue::Float(-1.0), {0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {pxMoney, 8, TvxFieldValue::Float(-0.0), {0x80, 0, 0, 0, 0, 0, 0, 0}},
        {pxMoney, 8, TvxFieldValue::Integer(2), {0xC0, 0, 0, 0, 0, 0, 0, 0}},
        {pxTimestamp, 8, TvxFieldValue::Timestamp(0.5), {0xBF, 0xE0, 0, 0, 0, 0, 0, 0}},
        {pxLogical, 1, TvxFieldValue::Logical(true), {0x81}},
        {pxLogical, 1, TvxFieldValue::Logical(false), {0x80}},
        {pxAlpha, 4, TvxFieldValue::Bytes("ab"), {'a', 'b', 0, 0}},
        {pxBytes, 3, TvxFieldValue::Bytes(std::string("\0\1", 2)), {0, 1, 0}},
        {pxBcd, 2, TvxFieldValue::Bcd("1.23"), bcdPositive},
        {pxBcd, 2, TvxFieldValue::Bcd("-1.23"), bcdNegative},
        {pxBcd, 2, TvxFieldValue::Bcd("-0.00"), bcdZero},
        {pxBcd, 2, TvxFieldValue::Bcd("1.230"), bcdPositive}, // a trailing zero past the decimals
    };
    for (const auto& c : cases)
        EXPECT_EQ(encode(c.type, c.size, c.value), c.bytes) << int(c.type) << " " << c.value.text();
}

TEST(ParadoxWriterValues, ValuesThatWouldChangeAreRefused)
{
    const struct
    {
        std::uint8_t type;
        std::uint8_t size;
        TvxFieldValue value;
    } cases[] = {
        {pxShort, 2, TvxFieldValue::Integer(32768)},
        {pxShort, 2, TvxFieldValue::Integer(-32768)}, // would read as blank
        {pxLong, 4, TvxFieldValue::Integer(-2147483648LL)},
        {pxNumber, 8, TvxFieldValue::Float(std::numeric_limits<double>::infinity())},
        {pxAlpha, 3, TvxFieldValue::Bytes("abcd")},
        {pxBcd, 2, TvxFieldValue::Bcd("1.234")},
        {pxBcd, 30, TvxFieldValue::Bcd("123.5")}, // 3 + 30 digits
        {pxBcd, 2, TvxFieldValue::Bcd("1,5")},
        {pxBcd, 2, TvxFieldValue::Bcd("1.")},
        {pxDate, 4, TvxFieldValue::Integer(5)}, // a date is not an integer
        {pxLogical, 1, TvxFieldValue::Integer(1)},
    };
    for (const auto& c : cases) {
        const ParadoxField f = fieldOf(c.type, c.size);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(f.length()), 0xEE);
        std::string why;
        EXPECT_FALSE(ParadoxEncodeValue(f, c.value, out.data(), why)) << int(c.type) << " " << c.value.text();
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(out, std::vector<std::uint8_t>(out.size(), 0)) << "left zero";
    }
}

TEST(ParadoxWriterValues, CheckValuesGoFromNativeFormsToRecordEncoding)
{
    std::uint8_t area[TvxValCheckDesc::AreaSize] = {};
    std::uint8_t out[17];
    std::string why;
    const std::int16_t s = -2;
    std::memcpy(area, &s, 2);
    ASSERT_TRUE(ParadoxNativeToDisk(fieldOf(pxShort, 2), area, out, why)) << why;
    EXPECT_EQ(Bytes(out, out + 2), (Bytes{0x7F, 0xFE}));
    ASSERT_TRUE(DoubleToBcd(-12.5, 32, 2, area));
    ASSERT_TRUE(ParadoxNativeToDisk(fieldOf(pxBcd, 2), area, out, why)) << why;
    EXPECT_EQ(out[0], 0x42);
    EXPECT_EQ(out[16], 0xFF ^ 0x50);
    EXPECT_EQ(out[15], 0xFF ^ 0x12);
    const std::int32_t today = -1;
    std::memcpy(area, &today, 4);
    EXPECT_FALSE(ParadoxNativeToDisk(fieldOf(pxDate, 4), area, out, why));
    EXPECT_NE(why.find("TODAY"), std::string::npos);
}

} // namespace
} // namespace morvane
