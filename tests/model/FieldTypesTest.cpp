#include <gtest/gtest.h>

#include "model/vxFieldTypes.h"

#include <array>
#include <clocale>
#include <limits>
#include <cstdint>
#include <cstring>
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

std::string RoundTrip(std::string_view text, int code)
{
    Area a = Filled(0xAA);
    if (TextToValue(text, code, a.data()) != 0)
        return "<failed>";
    return ValueToText(a.data(), code);
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
        {fldDate, "1/1/1"},
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
        {fldTimestamp, "1/1/1 @ 0:0:0 PM"},
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
    ASSERT_EQ(TextToValue("5/4/1996", fldDate, a.data()), 0);
    EXPECT_EQ(I32(a), 728783);
    EXPECT_TRUE(AllZeroFrom(a, 4));

    ASSERT_EQ(TextToValue("TODAY", fldDate, a.data()), 0);
    EXPECT_EQ(I32(a), -1);

    ASSERT_EQ(TextToValue("1:5:9 PM", fldTime, a.data()), 0);
    EXPECT_EQ(I32(a), 13 * 3600000 + 5 * 60000 + 9000);

    ASSERT_EQ(TextToValue(" now ", fldTime, a.data()), 0);
    EXPECT_EQ(I32(a), -1);

    ASSERT_EQ(TextToValue("2/1/2020 @ 1:0:1 AM", fldTimestamp, a.data()), 0);
    EXPECT_EQ(F64(a), 63716202001000.0);
    EXPECT_TRUE(AllZeroFrom(a, 8));

    a = Filled(0x55);
    ASSERT_EQ(TextToValue("NOW", fldTimestamp, a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 0));

    ASSERT_EQ(TextToValue("-2.5", fldNumber, a.data()), 0);
    EXPECT_EQ(F64(a), -2.5);
    const std::uint8_t minus25[8] = {0, 0, 0, 0, 0, 0, 0x04, 0xC0};
    EXPECT_EQ(std::memcmp(a.data(), minus25, 8), 0);

    ASSERT_EQ(TextToValue("-5", fldShort, a.data()), 0);
    EXPECT_EQ(a[0], 0xFB);
    EXPECT_EQ(a[1], 0xFF);
    EXPECT_TRUE(AllZeroFrom(a, 2));

    ASSERT_EQ(TextToValue("-1.23", fldBcd, a.data()), 0);
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
    ASSERT_EQ(TextToValue(text, fldAlpha, a.data()), 0);
    EXPECT_EQ(ValueToText(a.data(), fldAlpha), std::string(255, 'q'));
    EXPECT_EQ(a[255], 0);

    ASSERT_EQ(TextToValue("ab", fldAlpha, a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 2));

    // An area without a terminating zero stops at its end.
    a = Filled('x');
    EXPECT_EQ(ValueToText(a.data(), fldAlpha).size(), 256u);
}

TEST_F(ValueTexts, LogicalWords)
{
    Area a{};
    ASSERT_EQ(TextToValue("  true ", fldLogical, a.data()), 0);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(ValueToText(a.data(), fldLogical), "True");
    a = Filled(0xAA);
    ASSERT_EQ(TextToValue("\tTRUE\r\n", fldLogical, a.data()), 0);
    EXPECT_EQ(a[0], 1);
    ASSERT_EQ(TextToValue("FaLsE", fldLogical, a.data()), 0);
    EXPECT_TRUE(AllZeroFrom(a, 0));
    a[0] = 0x81;
    EXPECT_EQ(ValueToText(a.data(), fldLogical), "True");

    for (const char* bad : {"yes", "T", "", "TRUE!", "1"}) {
        a = Filled(0xAA);
        EXPECT_EQ(TextToValue(bad, fldLogical, a.data()), 1) << bad;
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
        {fldDate, "1/1/0"},
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
        EXPECT_EQ(TextToValue(text, code, a.data()), 1) << code << " " << text;
        EXPECT_TRUE(AllZeroFrom(a, 0)) << code << " " << text;
    }
}

TEST_F(ValueTexts, TypesWithoutValueFormLeaveTheAreaAlone)
{
    for (int code : {int(fldMemo), int(fldBinary), int(fldFmtMemo), int(fldOle), int(fldGraphic), int(fldBytes), 0,
                     999}) {
        Area a = Filled(0xAA);
        EXPECT_EQ(TextToValue("42", code, a.data()), 0) << code;
        EXPECT_EQ(a, Filled(0xAA)) << code;
        EXPECT_EQ(ValueToText(a.data(), code), "") << code;
    }
}

TEST_F(ValueTexts, AnAutoincrementMinimumKeepsWhatWasTyped)
{
    Area a = Filled(0xAA);
    ASSERT_EQ(TextToValue("1000", fldAutoInc, a.data()), 0);
    EXPECT_EQ(I32(a), 1000);
    EXPECT_TRUE(AllZeroFrom(a, 4));
    EXPECT_EQ(RoundTrip("-7", fldAutoInc), "-7");
    EXPECT_EQ(TextToValue("mil", fldAutoInc, a.data()), 1);
    EXPECT_EQ(TextToValue("2147483648", fldAutoInc, a.data()), 1);

    TvxValCheckDesc check;
    check.setHasMinimum(true);
    ASSERT_EQ(TextToValue("500", fldAutoInc, check.minimum()), 0);
    EXPECT_EQ(ValCheckTexts(check, fldAutoInc).minimum, "500");
}

TEST_F(ValueTexts, DamagedAreasShowWithoutFault)
{
    Area a{};
    SetF64(a, -5.0);
    EXPECT_EQ(ValueToText(a.data(), fldTimestamp), "-5");
    SetF64(a, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(ValueToText(a.data(), fldTimestamp), "NAN");
    EXPECT_EQ(ValueToText(a.data(), fldNumber), "NAN");
    SetI32(a, 0x7FFFFFFF);
    EXPECT_FALSE(ValueToText(a.data(), fldDate).empty());
    EXPECT_EQ(ValueToText(a.data(), fldTime), "584:31:23 PM");
    a = Filled(0xFF);
    EXPECT_EQ(ValueToText(a.data(), fldBcd), "0");
}

TEST_F(ValueTexts, ValCheckTextsShowWhatTheTypeHas)
{
    TvxValCheckDesc check;
    check.setRequired(true);
    check.setPicture("###");
    check.setHasMinimum(true);
    check.setHasMaximum(true);
    check.setHasDefault(true);
    ASSERT_EQ(TextToValue("1", fldLong, check.minimum()), 0);
    ASSERT_EQ(TextToValue("9", fldLong, check.maximum()), 0);
    ASSERT_EQ(TextToValue("5", fldLong, check.defaultValue()), 0);

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
