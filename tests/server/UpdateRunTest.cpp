// Whole runs of update scripts made through the builder, on copies of the sample tables; the
// target read back with our reader and with pxlib.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "ServerRunFixture.h"
#include "db/EvxEngineError.h"
#include "model/vxEngineValues.h"
#include "script/vxUpdateServerCodes.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::MakeField;
using test::TvxScriptMaker;

const std::vector<std::string> ZipFiles = {"pd-areas/ZIPCODES.DB", "pd-areas/ZIPCODES.PX", "pd-areas/ZIPCODES.VAL"};
const std::vector<std::string> JoinFiles = {"pd-joins/A.db",  "pd-joins/A.PX",  "pd-joins/A.VAL", "pd-joins/B.db",
                                            "pd-joins/B.PX",  "pd-joins/B.VAL", "pd-joins/C.DB",  "pd-joins/C.PX",
                                            "pd-joins/C.VAL", "pd-joins/C.X02", "pd-joins/C.Y02", "pd-joins/C.X03",
                                            "pd-joins/C.Y03"};

class UpdateRunTest : public test::ServerRunTest
{
protected:
    std::string ZipScript(TvxFieldDesc zipOrCity)
    {
        CopySamples(src, ZipFiles);
        TvxScriptMaker m;
        m.Source(src.string());
        m.AddTable("ZIP", src.string(), "ZIPCODES");
        m.ChangeField("ZIP", zipOrCity.name(), zipOrCity);
        return m.SaveUpdate(tmp.file("zip.vxusp"));
    }
};

std::string Text(const TvxFieldValue& v)
{
    return v.isBlank() ? std::string() : v.text();
}

TEST_F(UpdateRunTest, EveryCommandKindBuildsItsTables)
{
    CopySamples(src, ZipFiles);
    CopySamples(src, JoinFiles);
    const auto sourceBefore = test::Fingerprint(src);
    TvxScriptMaker m;
    m.Source(src.string());
    m.Target(dst.string());
    m.AddTable("ZIP", src.string(), "ZIPCODES");
    m.ChangeField("ZIP", "City", MakeField("City", 3, fldAlpha, 30));
    m.CreateField("ZIP", MakeField("Country", 0, fldAlpha, 3), 1, "USA");
    m.DeleteField("ZIP", "State");
    m.CreateTable("NOTES");
    m.CreateField("NOTES", MakeField("ID", 0, fldLong));
    m.CreateField("NOTES", MakeField("TEXT", 0, fldAlpha, 20));
    m.AddPassword("NOTES", "secret");
    m.AddTable("A", src.string(), "A");
    m.AddTable("B", src.string(), "B");
    m.AddTable("CC", src.string(), "C");
    m.DeleteField("CC", "B");
    m.MoveField(src.string(), "C", "B", "CC"); // from the table CC is copied from
    m.DeleteField("CC", "A");
    m.MoveField(src.string(), "A", "A", "CC"); // from another table, matched through the key

    // The target comes from the script's Add new alias here.
    TvxUpdateServer server;
    server.SetSource(src.string());
    server.SetScriptFile(m.SaveUpdate(tmp.file("all.vxusp")));
    ASSERT_EQ(server.Run(), vxRunOK) << server.Report().message;
    report = server.Report();
    EXPECT_EQ(report.target, dst.string());

    const TvxTableDesc zip = test::Structure(dst, "ZIP");
    ASSERT_EQ(zip.FieldCount(), 3);
    EXPECT_EQ(zip.GetField(0)->name(), "Zip");
    EXPECT_EQ(zip.GetField(1)->name(), "Country");
    EXPECT_EQ(zip.GetField(2)->name(), "City");
    EXPECT_EQ(zip.GetField(2)->units1(), 30);
    EXPECT_TRUE(zip.HasPrimaryKey());
    const auto source = test::ReadAll(src, "ZIPCODES");
    const auto copied = test::ReadAll(dst, "ZIP");
    ASSERT_EQ(copied.size(), source.size());
    ASSERT_EQ(source.size(), 43185u);
    const test::PxTable px = test::PxRead((dst / "ZIP.DB").string(), 2);
    ASSERT_TRUE(px.opened);
    ASSERT_EQ(px.records, 43185);
    for (std::size_t i = 0; i < source.size(); ++i) {
        ASSERT_EQ(copied[i][0], source[i][0]) << i;
        ASSERT_EQ(Text(copied[i][1]), "USA") << i;
        ASSERT_EQ(copied[i][2], source[i][2]) << i;
        ASSERT_EQ(px.alpha[i], Text(source[i][2])) << i;
    }

    // The protected new table opens only with its password.
    TvxParadoxTableReader locked(dst.string(), {});
    EXPECT_THROW(locked.OpenRecords(*locked.FindTable("NOTES")), EvxEngineError);
    EXPECT_TRUE(test::ReadAll(dst, "NOTES", {"secret"}).empty());
    EXPECT_EQ(test::Structure(dst, "NOTES", {"secret"}).FieldCount(), 2);

    // CC: B moved back in from its own table, A from A (found through the key); the rules over
    // the deleted fields went with them, on both sides.
    const TvxTableDesc cc = test::Structure(dst, "CC");
    ASSERT_EQ(cc.FieldCount(), 3);
    EXPECT_EQ(cc.GetField(1)->name(), "B");
    EXPECT_EQ(cc.GetField(2)->name(), "A");
    EXPECT_EQ(cc.RefIntCount(), 0);
    EXPECT_EQ(test::Structure(dst, "A").RefIntCount(), 0);
    const auto rows = test::ReadAll(dst, "CC");
    ASSERT_EQ(rows.size(), 3u);
    for (std::int64_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i][0], TvxFieldValue::Integer(i + 1));
        EXPECT_EQ(rows[i][1], TvxFieldValue::Integer(i + 4));
        EXPECT_EQ(rows[i][2], TvxFieldValue::Integer(i + 1));
    }

    EXPECT_EQ(test::Fingerprint(src), sourceBefore);
    for (const auto& entry : fs::directory_iterator(dst))
        EXPECT_NE(entry.path().filename().string().rfind(".morvane", 0), 0u) << entry.path();
}

TEST_F(UpdateRunTest, ShortenedFieldKeepsTheWholeRecordsItCut)
{
    ASSERT_EQ(Run(ZipScript(MakeField("City", 3, fldAlpha, 12))), vxRunProblems);
    const TvxTableUpdateReport* t = TableReport("ZIP.DB");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->recordsCarried, 43185);
    EXPECT_GT(t->valuesCut, 0);
    EXPECT_EQ(t->problemRecords, t->valuesCut);
    EXPECT_EQ(t->cutExamples.size(), TvxTableUpdateReport::MaxExamples);
    EXPECT_EQ(t->problemTable, "PROBLEM_ZIP.DB");

    const auto kept = test::ReadAll(dst, "PROBLEM_ZIP");
    ASSERT_EQ(static_cast<std::int64_t>(kept.size()), t->problemRecords);
    EXPECT_EQ(test::Structure(dst, "PROBLEM_ZIP").GetField(2)->units1(), 25);
    std::map<std::string, std::string> cityOf;
    for (const auto& r : test::ReadAll(dst, "ZIP"))
        cityOf[Text(r[0])] = Text(r[2]);
    for (const auto& r : kept) {
        EXPECT_GT(Text(r[2]).size(), 12u);
        EXPECT_EQ(cityOf[Text(r[0])], Text(r[2]).substr(0, 12));
    }
    EXPECT_EQ(test::PxRead((dst / "PROBLEM_ZIP.DB").string()).records, t->problemRecords);
}

TEST_F(UpdateRunTest, KeysThatBecomeDuplicatesGoToTheKeyViolationTable)
{
    ASSERT_EQ(Run(ZipScript(MakeField("Zip", 1, fldAlpha, 3))), vxRunProblems);
    const TvxTableUpdateReport* t = TableReport("ZIP.DB");
    ASSERT_TRUE(t);
    EXPECT_GT(t->keyViolations, 0);
    EXPECT_EQ(t->recordsCarried + t->keyViolations, 43185);
    EXPECT_EQ(t->problemRecords, t->recordsCarried); // every key carried is cut

    std::set<std::string> keys;
    for (const auto& r : test::ReadAll(dst, "ZIP"))
        EXPECT_TRUE(keys.insert(Text(r[0])).second) << "duplicate key " << Text(r[0]);
    EXPECT_EQ(static_cast<std::int64_t>(keys.size()), t->recordsCarried);
    const auto violations = test::ReadAll(dst, "KEYVIOL_ZIP");
    ASSERT_EQ(static_cast<std::int64_t>(violations.size()), t->keyViolations);
    const TvxTableDesc kv = test::Structure(dst, "KEYVIOL_ZIP");
    EXPECT_EQ(kv.GetField(0)->units1(), 5);
    EXPECT_FALSE(kv.HasPrimaryKey());
    for (const auto& r : violations) {
        ASSERT_EQ(Text(r[0]).size(), 5u);
        EXPECT_TRUE(keys.contains(Text(r[0]).substr(0, 3)));
    }
    EXPECT_EQ(test::PxRead((dst / "KEYVIOL_ZIP.DB").string()).records, t->keyViolations);
}

TEST_F(UpdateRunTest, DryRunPredictsTheRunAndWritesNothing)
{
    const std::string script = ZipScript(MakeField("Zip", 1, fldAlpha, 3));
    ASSERT_EQ(Run(script, true), vxRunProblems);
    EXPECT_FALSE(fs::exists(dst));
    const nlohmann::json preview = nlohmann::json::parse(report.Json());
    EXPECT_TRUE(preview["dryRun"].get<bool>());
    const auto& t = preview["tables"][0];
    EXPECT_EQ(t["keyViolTable"], "KEYVIOL_ZIP.DB");
    EXPECT_GT(t["keyViolations"].get<int>(), 0);
    EXPECT_EQ(t["checkBreaks"][0]["check"], "primary key");

    ASSERT_EQ(Run(script), vxRunProblems);
    const nlohmann::json run = nlohmann::json::parse(report.Json());
    for (const char* key : {"recordsRead", "recordsCarried", "valuesCut", "problemRecords", "keyViolations"})
        EXPECT_EQ(run["tables"][0][key], t[key]) << key;
}

TEST_F(UpdateRunTest, ProtectedSourceNeedsItsPasswordAndStaysProtected)
{
    CopySamples(src, {"pd-encrypt/encrypted.db"});
    TvxScriptMaker m;
    m.passwords = {"123"};
    m.AddTable("ENC", src.string(), "encrypted");
    const std::string script = m.SaveUpdate(tmp.file("enc.vxusp"));

    EXPECT_EQ(Run(script, true), vxRunPasswordNeeded);
    EXPECT_EQ(report.passwordsNeeded, std::vector<std::string>{"encrypted.db"});
    EXPECT_EQ(Run(script), vxRunPasswordNeeded);
    EXPECT_FALSE(fs::exists(dst));

    ASSERT_EQ(Run(script, false, {"wrong", "123"}), vxRunOK) << report.message;
    TvxParadoxTableReader locked(dst.string(), {});
    EXPECT_THROW(locked.OpenRecords(*locked.FindTable("ENC")), EvxEngineError);
    const auto copied = test::ReadAll(dst, "ENC", {"123"});
    EXPECT_EQ(copied, test::ReadAll(src, "encrypted", {"123"}));
    EXPECT_EQ(copied.size(), 4u);
}

TEST_F(UpdateRunTest, SourceInAReadOnlyDirectoryIsOnlyRead)
{
    const std::string script = ZipScript(MakeField("City", 3, fldAlpha, 12));
    const auto before = test::Fingerprint(src);
    for (const auto& f : fs::directory_iterator(src))
        fs::permissions(f.path(), fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(src, fs::perms::owner_read | fs::perms::owner_exec);
    const int code = Run(script);
    fs::permissions(src, fs::perms::owner_all);
    for (const auto& f : fs::directory_iterator(src))
        fs::permissions(f.path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(code, vxRunProblems) << report.message;
    EXPECT_EQ(test::Fingerprint(src), before);
    EXPECT_EQ(test::ReadAll(dst, "ZIP").size(), 43185u);
}

std::int32_t Day(int y, int m, int d)
{
    std::int32_t day = 0;
    EncodeDate(y, m, d, day);
    return day;
}

// One field of a sample table changed to another type in a real run: the values the new
// table holds and the records kept because their value was cut.
TEST_F(UpdateRunTest, FieldTypeChangesOnRealTables)
{
    struct Case
    {
        const char* table;
        TvxFieldDesc to;
        std::vector<TvxFieldValue> values; // of the changed field, first records
        int problems;
    };
    const auto timeOf = [](int h, int mi, int s) {
        std::int32_t t = 0;
        EncodeTime(h, mi, s * 1000, t);
        return t;
    };
    const Case cases[] = {
        {"long", MakeField("LONG", 2, fldAlpha, 5),
         {TvxFieldValue::Bytes("1"), TvxFieldValue::Bytes("2"), TvxFieldValue()}, 0},
        {"long", MakeField("LONG", 2, fldShort), {TvxFieldValue::Integer(1), TvxFieldValue::Integer(2)}, 0},
        {"long", MakeField("LONG", 2, fldBcd, 2), {TvxFieldValue::Bcd("1.00"), TvxFieldValue::Bcd("2.00")}, 0},
        {"date5", MakeField("DATE", 1, fldTimestamp),
         {TvxFieldValue::Timestamp(EncodeTimeStamp(Day(2018, 1, 1), 0))}, 0},
        {"date5", MakeField("TIME", 2, fldAlpha, 5), {TvxFieldValue::Bytes("10:0:"), TvxFieldValue::Bytes("10:30")}, 3},
        {"timestamp", MakeField("Timestamp", 1, fldDate), {TvxFieldValue(), TvxFieldValue::Date(Day(2020, 2, 1))}, 1},
        {"timestamp", MakeField("Timestamp", 1, fldTime),
         {TvxFieldValue(), TvxFieldValue::Time(timeOf(1, 0, 1))}, 1},
        {"logical", MakeField("BOOL", 1, fldAlpha, 5), {TvxFieldValue::Bytes("True"), TvxFieldValue::Bytes("False")}, 0},
        {"memo", MakeField("MEMO", 2, fldAlpha, 20), {TvxFieldValue::Bytes("01234567890012345678")}, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.to.name() + " to type " + std::to_string(c.to.type()));
        src = tmp.path() / ("source" + std::to_string(n));
        dst = tmp.path() / ("target" + std::to_string(n++));
        std::vector<std::string> files = {std::string("pd-fields/") + c.table + ".db"};
        if (std::string(c.table) == "memo")
            files.insert(files.end(), {"pd-fields/memo.mb", "pd-fields/memo.px"});
        CopySamples(src, files);
        TvxScriptMaker m;
        m.AddTable("T", src.string(), c.table);
        m.ChangeField("T", c.to.name(), c.to);
        const int code = Run(m.SaveUpdate((tmp.path() / (std::to_string(n) + ".vxusp")).string()));
        EXPECT_EQ(code, c.problems ? vxRunProblems : vxRunOK) << report.message;
        const auto rows = test::ReadAll(dst, "T");
        const int pos = test::Structure(dst, "T").FieldNumber(c.to.name()) - 1;
        ASSERT_GE(rows.size(), c.values.size());
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(rows[i][static_cast<std::size_t>(pos)], c.values[i]) << "record " << i;
        ASSERT_EQ(report.tables.size(), 1u);
        EXPECT_EQ(report.tables[0].problemRecords, c.problems);
        // The family keeps its source's letter case: "T.db" from "alpha.db".
        EXPECT_EQ(test::PxRead((dst / "T.db").string()).records, static_cast<int>(rows.size()));
    }
}

} // namespace
} // namespace morvane
