// Validity checks, lookups and referential-integrity rules from .VAL files: the samples as
// the format notes describe them, and written files with minimum/maximum/default values of
// every kind, converted to the engine's native value forms.

#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxValue.h"
#include "model/vxFieldTypes.h"
#include "ParadoxTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace morvane {
namespace {

using test::SamplePath;

TvxParadoxDatabase openDb(const std::string& dir)
{
    return TvxParadoxDatabase(dir, std::make_shared<const std::vector<std::string>>());
}

std::vector<int> thisFields(const TvxRefIntDesc& r)
{
    std::vector<int> out;
    for (int i = 0; i < r.fieldCount(); ++i)
        out.push_back(r.thisField(i));
    return out;
}

std::vector<int> otherFields(const TvxRefIntDesc& r)
{
    std::vector<int> out;
    for (int i = 0; i < r.fieldCount(); ++i)
        out.push_back(r.otherField(i));
    return out;
}

TEST(ParadoxVal, DependentTableWithTwoRulesAndRequiredFields)
{
    auto db = openDb(SamplePath("pd-joins"));
    const auto checks = db.ReadValChecks("C.DB");
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].fieldNumber(), 1);
    EXPECT_EQ(checks[1].fieldNumber(), 2);
    for (const auto& c : checks) {
        EXPECT_TRUE(c.required());
        EXPECT_FALSE(c.hasMinimum() || c.hasMaximum() || c.hasDefault());
        EXPECT_EQ(c.picture(), "");
    }
    const auto fields = db.ReadFieldDescriptors("C.DB");
    EXPECT_EQ(fields[0].valCheckKind(), 1);
    EXPECT_EQ(fields[2].valCheckKind(), 0);

    const auto rules = db.ReadRefIntDescriptors("C.DB");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].name(), "Reference A");
    EXPECT_EQ(rules[0].kind(), TvxRefIntDesc::Dependent);
    EXPECT_EQ(rules[0].otherTable(), "A.db");
    EXPECT_EQ(rules[0].updateRule(), TvxRefIntDesc::Cascade);
    EXPECT_EQ(rules[0].deleteRule(), TvxRefIntDesc::Prohibit);
    EXPECT_EQ(thisFields(rules[0]), std::vector<int>{2});
    EXPECT_EQ(otherFields(rules[0]), std::vector<int>{1});
    EXPECT_EQ(rules[1].name(), "Reference B");
    EXPECT_EQ(rules[1].otherTable(), "B.db");
    EXPECT_EQ(thisFields(rules[1]), std::vector<int>{3});
    EXPECT_EQ(db.ReadTableProperties("C.DB").refIntCount(), 2);

    // The master side of the same rule, read from A.VAL.
    const auto a = db.ReadRefIntDescriptors("A.db");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].kind(), TvxRefIntDesc::Master);
    EXPECT_EQ(a[0].name(), "Reference A");
    EXPECT_TRUE(a[0].otherTable() == "C.DB" || a[0].otherTable() == "C.db");
    EXPECT_EQ(thisFields(a[0]), std::vector<int>{1});
    EXPECT_EQ(otherFields(a[0]), std::vector<int>{2});
}

TEST(ParadoxVal, MasterOfFiveRulesAndATableOnBothSides)
{
    auto db = openDb(SamplePath("pd-joins"));
    const auto primary = db.ReadRefIntDescriptors("primary.db");
    ASSERT_EQ(primary.size(), 5u);
    std::map<std::string, int> byOther;
    for (const auto& r : primary) {
        EXPECT_EQ(r.kind(), TvxRefIntDesc::Master);
        std::string other = r.otherTable();
        for (auto& ch : other)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        ++byOther[other];
        // fk1 cascades, fk2 and fk3 prohibit.
        if (other == "fk1.db") {
            EXPECT_EQ(r.updateRule(), TvxRefIntDesc::Cascade);
        }
        if (other == "fk2.db" || other == "fk3.db") {
            EXPECT_EQ(r.updateRule(), TvxRefIntDesc::Prohibit);
        }
    }
    EXPECT_EQ(byOther["fk1.db"], 1);
    EXPECT_EQ(byOther["fk2.db"], 1);
    EXPECT_EQ(byOther["fk3.db"], 1);
    EXPECT_EQ(byOther["multiple.db"], 2);
    EXPECT_TRUE(db.ReadTableProperties("primary.db").strictRefInt());

    const auto multiple = db.ReadRefIntDescriptors("multiple.db");
    int dependents = 0;
    int masters = 0;
    for (const auto& r : multiple)
        (r.kind() == TvxRefIntDesc::Dependent ? dependents : masters)++;
    EXPECT_EQ(dependents, 2);
    EXPECT_EQ(masters, 1);
    const auto checks = db.ReadValChecks("multiple.db");
    bool picture = false;
    for (const auto& c : checks)
        picture = picture || c.picture() == "[(*3{#}) ]*3{#}-*4{#}";
    EXPECT_TRUE(picture);
}

TEST(ParadoxVal, TwoFieldRuleOnBothSides)
{
    auto db = openDb(SamplePath("pd-joins"));
    const auto two = db.ReadRefIntDescriptors("two.db");
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(two[0].kind(), TvxRefIntDesc::Master);
    EXPECT_EQ(thisFields(two[0]), (std::vector<int>{1, 2}));
    const auto fk4 = db.ReadRefIntDescriptors("fk4.db");
    ASSERT_EQ(fk4.size(), 1u);
    EXPECT_EQ(fk4[0].kind(), TvxRefIntDesc::Dependent);
    EXPECT_EQ(fk4[0].otherTable(), "two.db");
    EXPECT_EQ(otherFields(fk4[0]), (std::vector<int>{1, 2}));
    EXPECT_EQ(thisFields(fk4[0]), (std::vector<int>{2, 4}));
    for (int i = 2; i < TvxRefIntDesc::MaxFields; ++i) {
        EXPECT_EQ(fk4[0].thisField(i), 0);
        EXPECT_EQ(fk4[0].otherField(i), 0);
    }
}

TEST(ParadoxVal, LookupsPicturesAndLogicalDefault)
{
    auto joins = openDb(SamplePath("pd-joins"));
    const auto joinb = joins.ReadValChecks("joinb.db");
    ASSERT_EQ(joinb.size(), 1u);
    EXPECT_EQ(joinb[0].text(TvxValCheckDesc::oLookup + 4, 261), "joina.db");
    EXPECT_EQ(joinb[0].i32(TvxValCheckDesc::oLookup), 3); // lookup with help
    const auto origin = joins.ReadValChecks("origin.db");
    ASSERT_EQ(origin.size(), 1u);
    EXPECT_EQ(origin[0].text(TvxValCheckDesc::oLookup + 4, 261), "destination.db");

    auto areas = openDb(SamplePath("pd-areas"));
    const auto zip = areas.ReadValChecks("ZIPCODES.DB");
    ASSERT_EQ(zip.size(), 2u);
    EXPECT_EQ(zip[0].picture(), "#####");
    EXPECT_EQ(zip[1].picture(), "&&");

    auto fields = openDb(SamplePath("pd-fields"));
    const auto logical = fields.ReadValChecks("logical.db");
    ASSERT_EQ(logical.size(), 1u);
    EXPECT_TRUE(logical[0].required());
    EXPECT_TRUE(logical[0].hasDefault());
    EXPECT_EQ(logical[0].defaultValue()[0], 1); // true, stored as 0x81 on disk
    EXPECT_FALSE(logical[0].hasMinimum());
}

TEST(ParadoxVal, RecordEncodingDecoders)
{
    const std::uint8_t one[] = {0x80, 0x01};
    const std::uint8_t minusOne[] = {0x7F, 0xFF};
    const std::uint8_t big[] = {0x81, 0x00};
    EXPECT_EQ(ParadoxDecodeInteger(one, 2), 1);
    EXPECT_EQ(ParadoxDecodeInteger(minusOne, 2), -1);
    EXPECT_EQ(ParadoxDecodeInteger(big, 2), 256);
    const std::uint8_t date[] = {0x80, 0x0B, 0x1E, 0xCF}; // 1996-05-04 = day 728783
    EXPECT_EQ(ParadoxDecodeInteger(date, 4), 728783);

    std::uint8_t bcd[17] = {0xC2};
    bcd[15] = 0x01;
    bcd[16] = 0x23;
    EXPECT_DOUBLE_EQ(ParadoxDecodeBcd(bcd, 2), 1.23);
    std::uint8_t neg[17];
    neg[0] = 0x42;
    for (int i = 1; i < 17; ++i)
        neg[i] = static_cast<std::uint8_t>(~bcd[i]);
    EXPECT_DOUBLE_EQ(ParadoxDecodeBcd(neg, 2), -1.23);
}

// Record encoding of integers and doubles, as a table stores them.
std::vector<std::uint8_t> diskInt(std::int64_t v, int len)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(len));
    auto u = static_cast<std::uint64_t>(v);
    for (int i = len - 1; i >= 0; --i, u >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(u);
    out[0] ^= 0x80;
    return out;
}

std::vector<std::uint8_t> diskDouble(double d)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, 8);
    std::vector<std::uint8_t> out(8);
    for (int i = 7; i >= 0; --i, bits >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits);
    if (d >= 0)
        out[0] |= 0x80;
    else
        for (auto& b : out)
            b = static_cast<std::uint8_t>(~b);
    return out;
}

std::vector<std::uint8_t> diskBcd(const std::string& digits, int decimals)
{
    std::vector<std::uint8_t> out(17, 0);
    out[0] = static_cast<std::uint8_t>(0xC0 | decimals);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::size_t nibble = 32 - digits.size() + i;
        out[1 + nibble / 2] |= static_cast<std::uint8_t>((digits[i] - '0') << ((nibble % 2) ? 0 : 4));
    }
    return out;
}

struct CheckSpec
{
    int field; // 0-based
    bool required = false;
    std::vector<std::uint8_t> minimum, maximum, defaultValue;
    std::string picture;
};

// A level 4/5 .VAL for the given .DB: header, checks, no rules, footer repeating the fields.
std::vector<std::uint8_t> writeVal(const std::vector<std::uint8_t>& db, const std::vector<CheckSpec>& checks)
{
    const int nf = ParadoxLe16(db.data() + ParadoxHeader::NumFields);
    std::vector<std::uint8_t> v(0x35, 0);
    v[0] = db[0x2E];
    v[1] = db[0x39];
    v[2] = static_cast<std::uint8_t>(checks.size());
    for (const auto& c : checks) {
        std::vector<std::uint8_t> e(0x1C, 0);
        e[0] = static_cast<std::uint8_t>(c.field);
        e[1] = static_cast<std::uint8_t>(c.picture.empty() ? 0 : c.picture.size() + 1);
        e[2] = c.required ? 1 : 0;
        if (!c.minimum.empty())
            test::PutU32(e, 0x0C, 1);
        if (!c.maximum.empty())
            test::PutU32(e, 0x10, 1);
        if (!c.defaultValue.empty())
            test::PutU32(e, 0x14, 1);
        if (!c.picture.empty())
            test::PutU32(e, 0x18, 1);
        e.insert(e.end(), c.minimum.begin(), c.minimum.end());
        e.insert(e.end(), c.maximum.begin(), c.maximum.end());
        e.insert(e.end(), c.defaultValue.begin(), c.defaultValue.end());
        if (!c.picture.empty()) {
            e.insert(e.end(), c.picture.begin(), c.picture.end());
            e.push_back(0);
        }
        v.insert(v.end(), e.begin(), e.end());
    }
    test::PutU32(v, 0x09, static_cast<std::uint32_t>(v.size()));
    const std::size_t footer = v.size();
    v.resize(footer + 6 + 4 * static_cast<std::size_t>(nf) + 79, 0);
    test::PutU16(v, footer, static_cast<std::uint16_t>(nf));
    const std::size_t ids = ParadoxHeader::CommonPartEnd + ParadoxLe16(db.data() + ParadoxHeader::FieldIdsPtr);
    std::size_t names = 0;
    for (int i = 0; i < nf; ++i) {
        const auto k = static_cast<std::size_t>(i);
        v[footer + 6 + 2 * k] = db[ids + 2 * k];
        v[footer + 7 + 2 * k] = db[ids + 2 * k + 1];
        v[footer + 6 + 2 * static_cast<std::size_t>(nf) + 2 * k] = db[0x78 + 2 * k];
        v[footer + 7 + 2 * static_cast<std::size_t>(nf) + 2 * k] = db[0x79 + 2 * k];
        v.push_back('f');
        v.push_back(0);
        names += 2;
    }
    test::PutU16(v, footer + 4, static_cast<std::uint16_t>(79 + names));
    return v;
}

TEST(ParadoxVal, MinimumMaximumDefaultInNativeForms)
{
    test::TempDir dir;
    dir.copySamples({"pd-fields/bcd.db", "pd-fields/date5.db", "pd-fields/long.db", "pd-fields/timestamp.db"});
    const auto read = [&](const char* name) { return test::ReadAll((dir.path() / name).string()); };

    // bcd.db: BCD with 2, 0 and 32 decimals.
    test::WriteAll(dir.path() / "bcd.val",
                   writeVal(read("bcd.db"), {{0, true, diskBcd("123", 2), diskBcd("99999", 2), diskBcd("1000", 2), ""},
                                             {1, false, {}, {}, diskBcd("42", 0), "###"}}));
    // date5.db: Date and Time.
    test::WriteAll(dir.path() / "date5.val",
                   writeVal(read("date5.db"), {{0, false, diskInt(728783, 4), diskInt(738000, 4), {}, ""},
                                               {1, false, diskInt(3600000, 4), {}, diskInt(45296000, 4), ""}}));
    // long.db: Autoincrement, then Long with a negative minimum.
    test::WriteAll(dir.path() / "long.val",
                   writeVal(read("long.db"), {{1, false, diskInt(-5, 4), diskInt(100000, 4), diskInt(7, 4), ""}}));
    // timestamp.db: 2020-02-01 01:00:01.
    test::WriteAll(dir.path() / "timestamp.val",
                   writeVal(read("timestamp.db"), {{0, false, {}, {}, diskDouble(63716202001000.0), ""}}));

    auto db = openDb(dir.str());
    const auto bcd = db.ReadValChecks("bcd.db");
    ASSERT_EQ(bcd.size(), 2u);
    EXPECT_TRUE(bcd[0].required());
    ASSERT_TRUE(bcd[0].hasMinimum() && bcd[0].hasMaximum() && bcd[0].hasDefault());
    EXPECT_DOUBLE_EQ(BcdToDouble(bcd[0].minimum()), 1.23);
    EXPECT_DOUBLE_EQ(BcdToDouble(bcd[0].maximum()), 999.99);
    EXPECT_DOUBLE_EQ(BcdToDouble(bcd[0].defaultValue()), 10.0);
    EXPECT_FALSE(bcd[1].hasMinimum());
    EXPECT_DOUBLE_EQ(BcdToDouble(bcd[1].defaultValue()), 42.0);
    EXPECT_EQ(bcd[1].picture(), "###");
    EXPECT_EQ(db.ReadTableProperties("bcd.db").valCheckCount(), 2);

    const auto date = db.ReadValChecks("date5.db");
    ASSERT_EQ(date.size(), 2u);
    std::int32_t v = 0;
    std::memcpy(&v, date[0].minimum(), 4);
    EXPECT_EQ(v, 728783);
    const TvxDate d = DecodeDate(v);
    EXPECT_EQ(d.year, 1996);
    EXPECT_EQ(d.month, 5);
    EXPECT_EQ(d.day, 4);
    std::memcpy(&v, date[1].defaultValue(), 4);
    EXPECT_EQ(v, 45296000); // 12:34:56
    EXPECT_EQ(ValueToText(date[1].minimum(), fldTime), "1:0:0 AM");

    const auto lng = db.ReadValChecks("long.db");
    ASSERT_EQ(lng.size(), 1u);
    EXPECT_EQ(lng[0].fieldNumber(), 2);
    std::memcpy(&v, lng[0].minimum(), 4);
    EXPECT_EQ(v, -5);
    std::memcpy(&v, lng[0].maximum(), 4);
    EXPECT_EQ(v, 100000);

    const auto ts = db.ReadValChecks("timestamp.db");
    ASSERT_EQ(ts.size(), 1u);
    double t = 0;
    std::memcpy(&t, ts[0].defaultValue(), 8);
    EXPECT_DOUBLE_EQ(t, 63716202001000.0);
}

} // namespace
} // namespace morvane
