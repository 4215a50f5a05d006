// Output forms of record values (dump, JSON, exports) and the exact BCD decoder they rest on:
// tables of known cases, and round trips over random values.

#include "db/paradox/ParadoxValue.h"
#include "db/vxValueDisplay.h"
#include "model/vxFieldTypes.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace morvane {
namespace {

std::vector<std::uint8_t> bcd(std::initializer_list<int> head, int fill, std::initializer_list<int> tail)
{
    std::vector<std::uint8_t> b(17, static_cast<std::uint8_t>(fill));
    std::size_t i = 0;
    for (int v : head)
        b[i++] = static_cast<std::uint8_t>(v);
    i = 17 - tail.size();
    for (int v : tail)
        b[i++] = static_cast<std::uint8_t>(v);
    return b;
}

TEST(ValueDisplay, BcdDigitsAreExact)
{
    struct Case
    {
        std::vector<std::uint8_t> disk;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {bcd({0xC2}, 0x00, {0x01, 0x23}), 2, "1.23"},
        {bcd({0x42}, 0xFF, {0xFE, 0xDC}), 2, "-1.23"},
        {bcd({0xC0}, 0x00, {0x07}), 0, "7"},
        {bcd({0xC2}, 0x00, {}), 2, "0.00"},
        {bcd({0x42}, 0xFF, {}), 2, "0.00"}, // a negative zero has no sign
        {bcd({0xE0}, 0x00, {0x01}), 32, "0.00000000000000000000000000000001"},
        {bcd({0xC0, 0x98, 0x76, 0x54, 0x32, 0x10, 0x98, 0x76, 0x54, 0x32, 0x10, 0x98, 0x76, 0x54, 0x32, 0x10, 0x99}, 0,
             {}),
         0, "98765432109876543210987654321099"},
        {bcd({0xC4}, 0x00, {0x12, 0x34, 0x56, 0x78, 0x90}), 4, "123456.7890"},
    };
    for (const Case& c : cases) {
        std::string text;
        ASSERT_TRUE(ParadoxBcdToText(c.disk.data(), c.decimals, text)) << c.text;
        EXPECT_EQ(text, c.text);
    }
    std::string text;
    EXPECT_FALSE(ParadoxBcdToText(bcd({0xC2}, 0x00, {0x01, 0x2A}).data(), 2, text)); // a nibble over 9
    EXPECT_FALSE(ParadoxBcdToText(bcd({0xC3}, 0x00, {0x01, 0x23}).data(), 2, text)); // 3 decimals stored
    EXPECT_FALSE(ParadoxBcdToText(bcd({0x00}, 0x00, {}).data(), 0, text));           // blank
}

// Random digits, a nibble over 9 now and then, in either sign: the decoder against the text
// read off digit by digit.
TEST(ValueDisplay, BcdDigitsMatchThoseReadOneByOne)
{
    std::mt19937_64 rng(26);
    for (int n = 0; n < 20000; ++n) {
        const int decimals = static_cast<int>(rng() % 33);
        const bool negative = rng() % 2;
        std::vector<std::uint8_t> disk(17);
        disk[0] = static_cast<std::uint8_t>((negative ? 0x40 : 0xC0) | decimals);
        std::string digits;
        bool damaged = false;
        for (int i = 0; i < 32; ++i) {
            const int nibble = i < static_cast<int>(rng() % 33) ? 0 : static_cast<int>(rng() % (n % 50 ? 10 : 11));
            damaged = damaged || nibble > 9;
            digits += static_cast<char>('0' + nibble);
            disk[1 + i / 2] |= static_cast<std::uint8_t>((negative ? 15 - nibble : nibble) << (i % 2 ? 0 : 4));
        }
        std::string whole = digits.substr(0, 32 - decimals);
        whole.erase(0, whole.find_first_not_of('0') == std::string::npos ? whole.size() : whole.find_first_not_of('0'));
        const bool zero = digits.find_first_not_of('0') == std::string::npos;
        std::string expected = negative && !zero ? "-" : "";
        expected += whole.empty() ? "0" : whole;
        if (decimals)
            expected += '.' + digits.substr(32 - decimals);
        std::string text;
        ASSERT_EQ(ParadoxBcdToText(disk.data(), decimals, text), !damaged) << digits;
        if (!damaged) {
            ASSERT_EQ(text, expected);
        }
    }
}

TEST(ValueDisplay, DatesTimesAndTimestamps)
{
    EXPECT_EQ(ValueDateText(1), "0001-01-01");
    EXPECT_EQ(ValueDateText(728783), "1996-05-04");
    EXPECT_EQ(ValueDateText(0), "0000-12-31");
    EXPECT_EQ(ValueTimeText(0), "00:00:00.000");
    EXPECT_EQ(ValueTimeText(((13 * 60 + 2) * 60 + 3) * 1000 + 4), "13:02:03.004");
    EXPECT_EQ(ValueTimestampText(63716202001000.0), "2020-02-01T01:00:01.000");
    EXPECT_EQ(ValueTimestampText(728783.0 * MsPerDay + 86399999.6), "1996-05-05T00:00:00.000"); // rounds over midnight
    EXPECT_EQ(ValueTimestampText(1e300), ValueNumberText(1e300));
}

TEST(ValueDisplay, NumbersReadBackExactly)
{
    EXPECT_EQ(ValueNumberText(0.1), "0.1");
    EXPECT_EQ(ValueNumberText(-12.5), "-12.5");
    EXPECT_EQ(ValueNumberText(1e20), "1e+20");
    std::mt19937_64 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t bits = rng();
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d))
            continue;
        const std::string text = ValueNumberText(d);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), d) << text;
    }
}

TEST(ValueDisplay, Base64AndJsonStrings)
{
    const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"}};
    for (const auto& [plain, coded] : vectors)
        EXPECT_EQ(ValueBase64(plain), coded);
    EXPECT_EQ(ValueBase64(std::string("\xFF\x00\x80", 3)), "/wCA");
    std::string json;
    AppendJsonString(json, std::string("a\"b\\c\n\x01\xC3\xA4", 9));
    EXPECT_EQ(json, "\"a\\\"b\\\\c\\n\\u0001\xC3\xA4\"");
}

TEST(ValueDisplay, JsonAndReadableFormsPerType)
{
    struct Case
    {
        TvxFieldValue value;
        int type;
        const char* json;
        const char* display;
    };
    const Case cases[] = {
        {TvxFieldValue(), fldLong, "null", ""},
        {TvxFieldValue::Integer(-7), fldShort, "-7", "-7"},
        {TvxFieldValue::Float(2.5), fldMoney, "2.5", "2.5"},
        {TvxFieldValue::Bcd("-12.50"), fldBcd, "\"-12.50\"", "-12.50"},
        {TvxFieldValue::Logical(true), fldLogical, "true", "True"},
        {TvxFieldValue::Date(728783), fldDate, "\"1996-05-04\"", "1996-05-04"},
        {TvxFieldValue::Time(1000), fldTime, "\"00:00:01.000\"", "00:00:01.000"},
        {TvxFieldValue::Bytes("W\xE4hrung"), fldAlpha, "\"W\xC3\xA4hrung\"", "W\xC3\xA4hrung"},
        {TvxFieldValue::Bytes("a\nb\tc"), fldMemo, "\"a\\nb\\tc\"", "a\\nb\\tc"},
        {TvxFieldValue::Bytes("foo"), fldGraphic, "\"Zm9v\"", "(3 bytes)"},
        {TvxFieldValue::Bytes(std::string("\0\1", 2)), fldBytes, "\"AAE=\"", "(2 bytes)"},
    };
    for (const Case& c : cases) {
        std::string json;
        AppendValueJson(json, c.value, c.type, 1252);
        EXPECT_EQ(json, c.json);
        EXPECT_EQ(ValueDisplayText(c.value, c.type, 1252), c.display);
    }
}

} // namespace
} // namespace morvane
