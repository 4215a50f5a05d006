// Tables built from descriptors and written by our writer: random records of every field type
// at every level, keys of one to sixteen fields, a three-level primary index, blobs larger
// than a block, secondary indexes with their options, a protected table, both sides of a
// two-field rule; the family checker passes on each, our reader and pxlib read the records back.

#include "ParadoxTestSupport.h"
#include "ParadoxWriterTestSupport.h"
#include "db/cpDatabase.h"
#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxPassword.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>

namespace morvane {
namespace {

using namespace test;
namespace fs = std::filesystem;
namespace H = ParadoxHeader;

// Random values of every type, blank now and then. Alpha holds no NUL; Bytes fill the field.
class Values
{
public:
    explicit Values(unsigned seed) : rng_(seed) {}

    TvxFieldValue of(const TvxFieldDesc& f)
    {
        if (f.type() != fldAutoInc && pick(8) == 0)
            return {};
        switch (f.type()) {
        case fldAlpha: return TvxFieldValue::Bytes(text(1 + pick(f.units1())));
        case fldNumber:
        case fldMoney: return TvxFieldValue::Float(real());
        case fldDate: return TvxFieldValue::Date(1 + static_cast<std::int32_t>(pick(3'000'000)));
        case fldShort: return TvxFieldValue::Integer(static_cast<std::int64_t>(pick(65535)) - 32767);
        case fldLong: return TvxFieldValue::Integer(static_cast<std::int64_t>(rng_() % 4294967295u) - 2147483647);
        case fldTime: return TvxFieldValue::Time(static_cast<std::int32_t>(pick(MsPerDay)));
        case fldTimestamp: return TvxFieldValue::Timestamp(static_cast<double>(pick(1u << 30)) * 86400000.0 / 1024);
        case fldLogical: return TvxFieldValue::Logical(pick(2) == 1);
        case fldAutoInc: return TvxFieldValue::Integer(++autoInc_);
        case fldBytes: {
            std::string b = text(static_cast<std::uint32_t>(f.units1()));
            b[pick(static_cast<std::uint32_t>(b.size()))] = '\0';
            return TvxFieldValue::Bytes(b);
        }
        case fldBcd: return TvxFieldValue::Bcd(decimal(f.units2()));
        default: return TvxFieldValue::Bytes(text(1 + (pick(3) == 0 ? pick(f.units1() + 1) : pick(20000))));
        }
    }

    TvxRecord record(const TvxTableDesc& d)
    {
        TvxRecord r;
        for (const auto& f : d.Fields())
            r.push_back(of(f));
        return r;
    }

    std::uint32_t pick(std::uint32_t n) { return n == 0 ? 0 : static_cast<std::uint32_t>(rng_() % n); }

private:
    std::string text(std::uint32_t n)
    {
        std::string s(n, ' ');
        for (auto& c : s)
            c = static_cast<char>(0x20 + pick(0xDF)); // 0x20-0xFE, code page bytes included
        return s;
    }
    double real()
    {
        const double v = std::ldexp(static_cast<double>(rng_() % 1000000) - 500000, static_cast<int>(pick(40)) - 20);
        return v == 0.0 ? 1.0 : v;
    }
    std::string decimal(int decimals)
    {
        std::string s = pick(2) ? "-" : "";
        s += std::to_string(1 + pick(999999));
        if (decimals > 0) {
            s += '.';
            for (int i = 0; i < decimals; ++i)
                s += static_cast<char>('0' + pick(10));
        }
        return s;
    }

    std::mt19937 rng_;
    std::int64_t autoInc_ = 0;
};

const std::vector<FieldSpec> EveryType = {
    {"Alpha", fldAlpha, 30}, {"Number", fldNumber},   {"Money", fldMoney},       {"Date", fldDate},
    {"Short", fldShort},     {"Memo", fldMemo, 20},   {"Binary", fldBinary, 0},  {"FmtMemo", fldFmtMemo, 5},
    {"Ole", fldOle, 0},      {"Graphic", fldGraphic, 10}, {"Long", fldLong},     {"Time", fldTime},
    {"Stamp", fldTimestamp}, {"Logical", fldLogical}, {"Auto", fldAutoInc},      {"Bytes", fldBytes, 12},
    {"Bcd", fldBcd, 4},
};

// Records compared without regard to order (the writer sorts a keyed table).
std::vector<std::string> canonical(const std::vector<TvxRecord>& records)
{
    std::vector<std::string> out;
    for (const auto& r : records) {
        std::string s;
        for (const auto& v : r) {
            if (v.isBlank()) {
                s += "blank|";
                continue;
            }
            s += std::to_string(static_cast<int>(v.kind())) + ":" + std::to_string(v.integer()) + ":";
            s += std::to_string(v.real()) + ":" + v.text() + "|";
        }
        out.push_back(std::move(s));
    }
    std::sort(out.begin(), out.end());
    return out;
}

ParadoxWriteResult write(const TvxTableDesc& desc, const std::vector<TvxRecord>& records, const TempDir& dir,
                         const std::string& name, ParadoxWriteOptions options = {})
{
    VectorSource source(records);
    return ParadoxWriteTable(desc, source, dir.str(), name, options);
}

void expectClean(const TempDir& dir, const std::string& table)
{
    const ParadoxCheckReport report = ParadoxCheckFamily(dir.str(), table);
    EXPECT_TRUE(report.clean()) << report.text();
}

struct LevelCase
{
    int asked;
    int written; // blobs need 4, the other types 5
    std::vector<FieldSpec> fields;
};

class EveryLevel : public ::testing::TestWithParam<LevelCase>
{
};

TEST_P(EveryLevel, RandomRecordsOfEveryTypeReadBack)
{
    const LevelCase& c = GetParam();
    for (int keyFields : {0, 2}) {
        TvxTableDesc desc = MakeTable(c.fields, keyFields, c.asked);
        Values values(static_cast<unsigned>(c.asked * 10 + keyFields));
        std::vector<TvxRecord> records;
        std::set<std::string> keys;
        while (records.size() < 300) {
            TvxRecord r = values.record(desc);
            const std::string key = canonical({TvxRecord(r.begin(), r.begin() + keyFields)}).front();
            if (keyFields == 0 || keys.insert(key).second)
                records.push_back(std::move(r));
        }
        TempDir dir;
        const ParadoxWriteResult result = write(desc, records, dir, "T");
        EXPECT_EQ(result.level, c.written);
        EXPECT_EQ(result.warnings.empty(), c.asked == c.written);
        expectClean(dir, "T.DB");
        EXPECT_EQ(canonical(ReadRecords(dir.path() / "T.DB")), canonical(records));
        const SourceTable back = ReadSourceTable(dir.str(), "T.DB");
        EXPECT_EQ(back.desc.TableLevel(), c.written);
        EXPECT_EQ(back.desc.FieldCount(), desc.FieldCount());

        // pxlib reads the same non-blob values.
        const PxRecordOracle px = PxRecordOracle::Read(dir.file("T.DB"));
        ASSERT_TRUE(px.opened);
        const std::vector<TvxRecord> ours = ReadRecords(dir.path() / "T.DB");
        ASSERT_EQ(px.records.size(), ours.size());
        for (std::size_t r = 0; r < ours.size(); ++r)
            for (std::size_t f = 0; f < ours[r].size(); ++f) {
                const TvxFieldValue& v = ours[r][f];
                const auto& p = px.records[r][f];
                // pxlib 0.6.8 reads blank 4-byte integers as INT_MIN on 64-bit machines, and
                // Bytes starting with 0 as blank.
                if (p.got == 2 || desc.GetField(static_cast<int>(f))->type() == fldBytes || v.isBlank())
                    continue;
                EXPECT_EQ(p.got, 1) << r << "/" << f;
                if (v.kind() == TvxFieldValue::Kind::Float || v.kind() == TvxFieldValue::Kind::Timestamp) {
                    EXPECT_EQ(p.real, v.real());
                } else if (v.kind() == TvxFieldValue::Kind::Bcd) { // pxlib ends a whole number with '.'
                    EXPECT_EQ(p.text.back() == '.' ? p.text.substr(0, p.text.size() - 1) : p.text, v.text());
                } else if (v.kind() == TvxFieldValue::Kind::Bytes) {
                    EXPECT_EQ(p.text, v.text());
                } else {
                    EXPECT_EQ(p.integer, v.integer());
                }
            }
    }
}

std::vector<FieldSpec> level3Types()
{
    return {{"Alpha", fldAlpha, 20}, {"Number", fldNumber}, {"Money", fldMoney}, {"Date", fldDate}, {"Short", fldShort}};
}
std::vector<FieldSpec> level4Types()
{
    auto f = level3Types();
    f.push_back({"Memo", fldMemo, 12});
    f.push_back({"Graphic", fldGraphic, 0});
    return f;
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         ::testing::Values(LevelCase{3, 3, level3Types()}, LevelCase{4, 4, level4Types()},
                                           LevelCase{5, 5, EveryType}, LevelCase{7, 7, EveryType},
                                           LevelCase{3, 4, level4Types()}, LevelCase{4, 5, EveryType}),
                         [](const auto& i) {
                             return "asked" + std::to_string(i.param.asked) + "_written" +
                                    std::to_string(i.param.written);
                         });

} // namespace
} // namespace morvane

namespace morvane {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::set<std::string> filesIn(const TempDir& dir)
{
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path()))
        out.insert(e.path().filename().string());
    return out;
}

// Keys of one to sixteen fields of mixed types, values from small sets so that keys share
// long prefixes.
TEST(ParadoxWriterTables, KeysOfOneToSixteenFieldsComeOutInKeyOrder)
{
    const int types[] = {fldAlpha, fldShort, fldLong, fldDate, fldLogical, fldBcd, fldNumber, fldTime};
    for (int k : {1, 2, 3, 7, 16}) {
        std::vector<FieldSpec> fields;
        static const char* names[] = {"K1", "K2", "K3", "K4", "K5", "K6", "K7", "K8", "K9", "K10", "K11", "K12",
                                      "K13", "K14", "K15", "K16"};
        for (int i = 0; i < k; ++i)
            fields.push_back({names[i], types[i % 8], types[i % 8] == fldBcd ? 2 : 3});
        fields.push_back({"Payload", fldAlpha, 8});
        const TvxTableDesc desc = MakeTable(fields, k);
        Values values(static_cast<unsigned>(k));
        std::vector<TvxRecord> records;
        std::set<std::string> keys;
        for (int n = 0; n < 2000; ++n) {
            TvxRecord r = values.record(desc);
            for (int i = 0; i < k; ++i) // small domains: many records share a prefix
                if (r[static_cast<std::size_t>(i)].kind() == TvxFieldValue::Kind::Integer)
                    r[static_cast<std::size_t>(i)] = TvxFieldValue::Integer(values.pick(3));
                else if (desc.GetField(i)->type() == fldAlpha && !r[static_cast<std::size_t>(i)].isBlank())
                    r[static_cast<std::size_t>(i)] = TvxFieldValue::Bytes(std::string(1, static_cast<char>('a' + values.pick(3))));
            if (keys.insert(canonical({TvxRecord(r.begin(), r.begin() + k)}).front()).second)
                records.push_back(std::move(r));
        }
        TempDir dir;
        write(desc, records, dir, "Keys");
        expectClean(dir, "Keys.DB"); // order and uniqueness of keys, .PX entries
        EXPECT_EQ(canonical(ReadRecords(dir.path() / "Keys.DB")), canonical(records)) << k << " key fields";
        EXPECT_EQ(ReadSourceTable(dir.str(), "Keys.DB").desc.GetIndex(0)->keyFieldCount(), k);
    }
}

TEST(ParadoxWriterTables, LongKeysNeedThreeIndexLevels)
{
    const TvxTableDesc desc = MakeTable({{"Name", fldAlpha, 255}, {"N", fldLong}}, 1);
    std::vector<TvxRecord> records;
    for (int i = 0; i < 1000; ++i)
        records.push_back({TvxFieldValue::Bytes("key " + std::to_string(i * 7919 % 1000)), TvxFieldValue::Integer(i)});
    TempDir dir;
    write(desc, records, dir, "Long");
    const std::vector<std::uint8_t> px = ReadAll(dir.file("Long.PX"));
    EXPECT_EQ(px[ParadoxHeader::IndexLevels], 3);
    expectClean(dir, "Long.DB");
    EXPECT_EQ(PxRecordOracle::Read(dir.file("Long.DB")).records.size(), 1000u);
    EXPECT_EQ(canonical(ReadRecords(dir.path() / "Long.DB")), canonical(records));
}

TEST(ParadoxWriterTables, BlobsOfEverySizeGoWhereTheyFit)
{
    const TvxTableDesc desc =
        MakeTable({{"Id", fldLong}, {"Memo", fldMemo, 20}, {"Picture", fldGraphic, 0}, {"Data", fldBinary, 0}}, 1, 5);
    std::vector<TvxRecord> records;
    for (int i = 0; i < 150; ++i) {
        const std::size_t size = i < 100 ? static_cast<std::size_t>(5 * i + 1) : static_cast<std::size_t>(i * 900);
        std::string bytes(size, '\0');
        for (std::size_t j = 0; j < size; ++j)
            bytes[j] = static_cast<char>('A' + (i + j) % 26);
        records.push_back({TvxFieldValue::Integer(i), TvxFieldValue::Bytes(bytes), TvxFieldValue::Bytes(bytes),
                           i % 3 ? TvxFieldValue::Bytes(bytes + bytes) : TvxFieldValue()});
    }
    TempDir dir;
    write(desc, records, dir, "Blobs");
    expectClean(dir, "Blobs.DB");
    EXPECT_EQ(ReadRecords(dir.path() / "Blobs.DB"), records);
    // Sub-allocated blocks and blocks of their own, the largest spanning many 4 KiB chunks.
    const std::vector<std::uint8_t> mb = ReadAll(dir.file("Blobs.MB"));
    std::set<int> types;
    for (std::size_t at = 0; at < mb.size(); at += 4096u * ParadoxLe16(&mb[at + 1]))
        types.insert(mb[at]);
    EXPECT_EQ(types, (std::set<int>{0, 2, 3}));
}

TEST(ParadoxWriterTables, BlobBlockSharedByRecordsIsWrittenOnce)
{
    // Five records whose memos a damaged .MB shares: each tail patched to the first one's block.
    const TvxTableDesc desc = MakeTable({{"Id", fldLong}, {"Memo", fldMemo, 10}}, 0);
    std::string memo(300000, 'm');
    for (std::size_t i = 0; i < memo.size(); i += 7)
        memo[i] = static_cast<char>('a' + i % 26);
    const std::vector<TvxRecord> records(5, {TvxFieldValue::Integer(1), TvxFieldValue::Bytes(memo)});
    TempDir source;
    write(desc, records, source, "Src");
    std::vector<std::uint8_t> db = ReadAll(source.file("Src.DB"));
    std::optional<std::uint32_t> first;
    for (std::size_t at = 0; at + 8 <= db.size(); ++at)
        if (db[at] == 0xFF && ParadoxLe32(&db[at + 4]) == memo.size()) {
            first = first.value_or(ParadoxLe32(&db[at]));
            PutU32(db, at, *first);
        }
    WriteAll(source.path() / "Src.DB", db);

    ParadoxRecordReader reader(ParadoxFileSource::Open(source.file("Src.DB")),
                               ParadoxFileSource::Open(source.file("Src.MB")), 0);
    TempDir copy;
    const ParadoxWriteResult result = ParadoxWriteTable(desc, reader, copy.str(), "Copy");
    expectClean(copy, "Copy.DB");
    EXPECT_EQ(ReadRecords(copy.path() / "Copy.DB"), records);
    EXPECT_LT(fs::file_size(copy.file("Copy.MB")), 2 * memo.size()) << "one block for the five records";
    EXPECT_GT(fs::file_size(source.file("Src.MB")), 5 * memo.size());
    ASSERT_FALSE(result.warnings.empty());
    EXPECT_NE(result.warnings.back().find("4 blobs share"), std::string::npos) << result.warnings.back();
}

TEST(ParadoxWriterTables, SecondaryIndexesKeepTheirOptionsAndOrder)
{
    TvxTableDesc desc = MakeTable({{"Id", fldLong}, {"Name", fldAlpha, 12}, {"Age", fldShort}, {"Code", fldAlpha, 6}}, 1);
    desc.SetIndexes({*desc.GetIndex(0), SecondaryIndex("", {3}), SecondaryIndex("ByName", {2}, true),
                     SecondaryIndex("AgeName", {3, 2}, false, false, true), SecondaryIndex("CodeOnce", {4}, false, true)});
    Values values(7);
    std::vector<TvxRecord> records;
    for (int i = 0; i < 3000; ++i) {
        std::string name = std::string(1, static_cast<char>("aAbBcC"[values.pick(6)])) + std::to_string(values.pick(50));
        records.push_back({TvxFieldValue::Integer(i * 3 - 4000), TvxFieldValue::Bytes(name),
                           values.pick(10) ? TvxFieldValue::Integer(values.pick(90)) : TvxFieldValue(),
                           TvxFieldValue::Bytes("C" + std::to_string(i))});
    }
    TempDir dir;
    write(desc, records, dir, "People");
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"People.DB", "People.PX", "People.X03", "People.Y03", "People.XG0",
                                                   "People.YG0", "People.XG1", "People.YG1", "People.XG2",
                                                   "People.YG2"}));
    expectClean(dir, "People.DB"); // entry order (case folded, descending), uniqueness, block numbers
    const TvxTableDesc back = ReadSourceTable(dir.str(), "People.DB").desc;
    ASSERT_EQ(back.IndexCount(), 5);
    const auto flags = [](const TvxIndexDesc& x) {
        return std::to_string(x.caseInsensitive()) + std::to_string(x.descending()) + std::to_string(x.unique()) +
               std::to_string(x.maintained()) + x.name();
    };
    EXPECT_EQ(flags(*back.GetIndex(1)), "0001Age");
    EXPECT_EQ(flags(*back.GetIndex(2)), "1001ByName");
    EXPECT_EQ(flags(*back.GetIndex(3)), "0101AgeName");
    EXPECT_EQ(flags(*back.GetIndex(4)), "0011CodeOnce");

    // A unique index over repeated values, a repeated key: nothing is written.
    for (const bool repeatKey : {false, true}) {
        std::vector<TvxRecord> bad = records;
        bad[10][repeatKey ? 0 : 3] = bad[20][repeatKey ? 0 : 3];
        TempDir other;
        try {
            write(desc, bad, other, "People");
            ADD_FAILURE() << "written";
        } catch (const EvxEngineError& e) {
            EXPECT_EQ(e.Code(), vxErrKeyViolation) << e.what();
        }
        EXPECT_TRUE(filesIn(other).empty());
    }
}

TEST(ParadoxWriterTables, ValuesThatDoNotFitAreRefusedNamingRecordAndField)
{
    const TvxTableDesc desc = MakeTable({{"Id", fldShort}, {"Name", fldAlpha, 4}, {"Amount", fldBcd, 2}}, 1);
    const std::vector<std::pair<TvxRecord, std::string>> cases = {
        {{TvxFieldValue::Integer(1), TvxFieldValue::Bytes("Maria"), {}}, "field 2 (Name): 5 bytes"},
        {{TvxFieldValue::Integer(40000), {}, {}}, "field 1 (Id): value 40000"},
        {{TvxFieldValue::Integer(1), {}, TvxFieldValue::Bcd("1.234")}, "field 3 (Amount): \"1.234\" has more than 2"},
        {{TvxFieldValue::Integer(1), TvxFieldValue::Float(1), {}}, "field 2 (Name): value of the wrong kind"},
        {{TvxFieldValue::Integer(1), {}}, "has 2 values for 3 fields"},
    };
    for (const auto& [bad, message] : cases) {
        TempDir dir;
        try {
            write(desc, {{TvxFieldValue::Integer(2), {}, {}}, bad}, dir, "T");
            ADD_FAILURE() << message;
        } catch (const EvxEngineError& e) {
            EXPECT_EQ(e.Code(), vxErrCannotWrite);
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("record 2"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(filesIn(dir).empty());
    }
}

TEST(ParadoxWriterTables, ProtectedTableOpensWithItsPasswordOnly)
{
    TvxTableDesc desc = MakeTable({{"Id", fldAutoInc}, {"Name", fldAlpha, 20}, {"Notes", fldMemo, 5}}, 1);
    desc.SetProtected(true);
    std::vector<TvxRecord> records;
    for (int i = 1; i <= 200; ++i)
        records.push_back({TvxFieldValue::Integer(i), TvxFieldValue::Bytes("name " + std::to_string(i)),
                           TvxFieldValue::Bytes(std::string(static_cast<std::size_t>(i * 37), 'n'))});
    TempDir dir;
    ParadoxWriteOptions options;
    EXPECT_THROW(write(desc, records, dir, "Secret", options), EvxEngineError); // no password given
    options.password = "segredo";
    write(desc, records, dir, "Secret", options);
    expectClean(dir, "Secret.DB");
    const std::uint32_t key = ParadoxPasswordChecksum("segredo");
    EXPECT_EQ(ReadRecords(dir.path() / "Secret.DB", key), records);
    try {
        ReadRecords(dir.path() / "Secret.DB", ParadoxPasswordChecksum("other"));
        ADD_FAILURE() << "read with another password";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired);
    }
    EXPECT_TRUE(ReadSourceTable(dir.str(), "Secret.DB", {"segredo"}).desc.Protected());
    const PxRecordOracle px = PxRecordOracle::Read(dir.file("Secret.DB"));
    ASSERT_EQ(px.records.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(px.records[i][1].text, records[i][1].text());
    // Nothing of the records is in the files as plain text.
    const std::vector<std::uint8_t> db = ReadAll(dir.file("Secret.DB"));
    const std::vector<std::uint8_t> mb = ReadAll(dir.file("Secret.MB"));
    const std::string needle = "name 1";
    EXPECT_EQ(std::search(db.begin(), db.end(), needle.begin(), needle.end()), db.end());
    EXPECT_EQ(std::search(mb.begin(), mb.end(), needle.begin(), needle.end()), mb.end());
}

TEST(ParadoxWriterTables, TwoFieldRuleIsWrittenOnBothSides)
{
    TvxTableDesc master = MakeTable({{"Serie", fldLong}, {"Numero", fldAlpha, 5}, {"Nome", fldAlpha, 20}}, 2, 5);
    TvxTableDesc dependent =
        MakeTable({{"Item", fldLong}, {"Serie", fldLong}, {"Numero", fldAlpha, 5}, {"Qtde", fldShort}}, 1, 5);
    TvxRefIntDesc rule;
    rule.setName("Pedido");
    rule.setKind(TvxRefIntDesc::Dependent);
    rule.setOtherTable("MESTRE.DB");
    rule.setUpdateRule(TvxRefIntDesc::Cascade);
    rule.setFieldCount(2);
    rule.setThisField(0, 2);
    rule.setThisField(1, 3);
    rule.setOtherField(0, 1);
    rule.setOtherField(1, 2);
    dependent.SetRefInts({rule});
    TvxRefIntDesc side = rule;
    side.setKind(TvxRefIntDesc::Master);
    side.setOtherTable("DETALHE.DB");
    side.setThisField(0, 1);
    side.setThisField(1, 2);
    side.setOtherField(0, 2);
    side.setOtherField(1, 3);
    master.SetRefInts({side});

    std::vector<TvxRecord> masters;
    std::vector<TvxRecord> items;
    for (int i = 0; i < 40; ++i) {
        masters.push_back({TvxFieldValue::Integer(i % 4), TvxFieldValue::Bytes("N" + std::to_string(i)),
                           TvxFieldValue::Bytes("pedido")});
        items.push_back({TvxFieldValue::Integer(i), TvxFieldValue::Integer(i % 4),
                         TvxFieldValue::Bytes("N" + std::to_string(i)), TvxFieldValue::Integer(i)});
    }
    TempDir dir;
    ParadoxWriteOptions options;
    options.otherTable = [&](std::string_view name) { return name == "DETALHE.DB" ? &dependent : nullptr; };
    // The dependent has no index over its rule's fields: the master side names the one the
    // dependent gets, after the rule, and says so.
    const ParadoxWriteResult masterResult = write(master, masters, dir, "MESTRE", options);
    ASSERT_EQ(masterResult.warnings.size(), 1u);
    EXPECT_NE(masterResult.warnings.front().find("DETALHE.DB"), std::string::npos);
    const ParadoxWriteResult result = write(dependent, items, dir, "DETALHE");
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings.front().find("\"Pedido\""), std::string::npos);
    expectClean(dir, "MESTRE.DB");
    expectClean(dir, "DETALHE.DB");

    const TvxTableDesc m = ReadSourceTable(dir.str(), "MESTRE.DB").desc;
    const TvxTableDesc d = ReadSourceTable(dir.str(), "DETALHE.DB").desc;
    ASSERT_EQ(m.RefIntCount(), 1);
    ASSERT_EQ(d.RefIntCount(), 1);
    const auto text = [](const TvxRefIntDesc& r) {
        std::string s = r.name() + " " + std::to_string(r.kind()) + " " + r.otherTable() + " " +
                        std::to_string(r.updateRule());
        for (int i = 0; i < r.fieldCount(); ++i)
            s += " " + std::to_string(r.thisField(i)) + ">" + std::to_string(r.otherField(i));
        return s;
    };
    EXPECT_EQ(text(*m.GetRefInt(0)), "Pedido 0 DETALHE.DB 1 1>2 2>3");
    EXPECT_EQ(text(*d.GetRefInt(0)), "Pedido 1 MESTRE.DB 1 2>1 3>2");
    const int rulesIndex = d.FindIndex("Pedido");
    ASSERT_GE(rulesIndex, 0);
    EXPECT_EQ(d.GetIndex(rulesIndex)->keyFieldCount(), 2);
}

TEST(ParadoxWriterTables, SortingOnDiskGivesTheSameFiles)
{
    TvxTableDesc desc = MakeTable({{"Name", fldAlpha, 20}, {"N", fldLong}, {"City", fldAlpha, 10}}, 2);
    desc.SetIndexes({*desc.GetIndex(0), SecondaryIndex("", {3}), SecondaryIndex("ByCity", {3, 2}, true)});
    Values values(11);
    std::vector<TvxRecord> records;
    for (int i = 0; i < 5000; ++i)
        records.push_back({TvxFieldValue::Bytes("n" + std::to_string(values.pick(100000))), TvxFieldValue::Integer(i),
                           TvxFieldValue::Bytes("c" + std::to_string(values.pick(300)))});
    ParadoxWriteOptions options;
    options.updateTime = 1700000000;
    TempDir inMemory;
    write(desc, records, inMemory, "Big", options);
    options.sortMemoryBytes = 4096; // dozens of runs per sort
    TempDir onDisk;
    write(desc, records, onDisk, "Big", options);
    EXPECT_EQ(filesIn(onDisk), filesIn(inMemory));
    for (const auto& name : filesIn(inMemory))
        EXPECT_EQ(ReadAll(onDisk.file(name)), ReadAll(inMemory.file(name))) << name;
    expectClean(onDisk, "Big.DB");
}

} // namespace
} // namespace morvane
